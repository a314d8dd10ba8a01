// The content digest: a SHA-256 fingerprint of every stored value, used to prove that
// a copy (a backup, a restore, another process) holds byte for byte the same records.
//
// Each value enters as "<table>.<column>=<case>(<payload>)|" with the columns of a row
// in name order. Texts are quoted with backslash escapes and blobs are length-prefixed
// and then hashed byte for byte (a photo whose bytes change, even at the same length,
// changes the digest), so different contents always feed different input.

#include "store/OVStore.h"

#include <QCryptographicHash>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>

namespace {

// Values are fed in chunks: one buffer per digest, flushed into the hash as it fills,
// so a store of any size is fingerprinted in one pass without holding its rows.
class DigestFeed {
public:
    explicit DigestFeed(QCryptographicHash& hash) : m_hash(hash) { m_buffer.reserve(chunk + 1024); }
    ~DigestFeed() { flush(); }

    void add(const char* bytes, qsizetype size)
    {
        m_buffer.append(bytes, size);
        if (m_buffer.size() >= chunk)
            flush();
    }
    void add(QByteArrayView bytes) { add(bytes.data(), bytes.size()); }
    void addQuoted(const char* utf8, qsizetype size)
    {
        m_buffer.append('"');
        for (qsizetype i = 0; i < size; ++i) {
            const char c = utf8[i];
            if (c == '"' || c == '\\')
                m_buffer.append('\\');
            m_buffer.append(c);
        }
        m_buffer.append('"');
        if (m_buffer.size() >= chunk)
            flush();
    }
    void addInteger(qint64 value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        add(digits, end - digits);
    }
    // Shortest text that reads back as the same double, with ".0" on whole numbers.
    void addReal(double value)
    {
        char digits[64];
        char* end = std::to_chars(digits, digits + sizeof digits - 2, value).ptr;
        if (std::find_if(digits, end, [](char c) { return c == '.' || c == 'e' || c == 'n' || c == 'i'; }) == end) {
            *end++ = '.';
            *end++ = '0';
        }
        add(digits, end - digits);
    }
    void flush()
    {
        m_hash.addData(m_buffer);
        m_buffer.clear();
    }

private:
    static constexpr qsizetype chunk = 64 * 1024;
    QCryptographicHash& m_hash;
    QByteArray m_buffer;
};

// Feeds one table, rows by id and each row's columns in name order. Returns false
// when the table could not be read to its end.
bool feedTable(sqlite3* db, const QString& table, DigestFeed& feed)
{
    const QByteArray sql = "SELECT * FROM " + table.toUtf8() + " ORDER BY id";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    const int columnCount = sqlite3_column_count(statement);
    QList<std::pair<QByteArray, int>> columns; // "<table>.<column>=" and its index, by name
    for (int i = 0; i < columnCount; ++i)
        columns.append({QByteArray(sqlite3_column_name(statement, i)), i});
    std::sort(columns.begin(), columns.end()); // ASCII names: byte order
    for (auto& column : columns)
        column.first = table.toUtf8() + '.' + column.first + '=';

    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        for (const auto& [prefix, index] : columns) {
            feed.add(prefix);
            switch (sqlite3_column_type(statement, index)) {
            case SQLITE_INTEGER:
                feed.add("int(", 4);
                feed.addInteger(sqlite3_column_int64(statement, index));
                feed.add(")", 1);
                break;
            case SQLITE_FLOAT:
                feed.add("real(", 5);
                feed.addReal(sqlite3_column_double(statement, index));
                feed.add(")", 1);
                break;
            case SQLITE_TEXT: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
                const int size = sqlite3_column_bytes(statement, index);
                feed.add("text(", 5);
                feed.addQuoted(text ? text : "", size);
                feed.add(")", 1);
                break;
            }
            case SQLITE_BLOB: {
                const void* bytes = sqlite3_column_blob(statement, index);
                const int size = sqlite3_column_bytes(statement, index);
                feed.add("blob(", 5);
                feed.addInteger(size);
                feed.add(" bytes:", 7);
                if (size > 0)
                    feed.add(static_cast<const char*>(bytes), size);
                feed.add(")", 1);
                break;
            }
            default:
                feed.add("null", 4);
                break;
            }
            feed.add("|", 1);
        }
    }
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

} // namespace

QString OVStore::digest() const
{
    sqlite3* db = m_db ? m_db->handle() : nullptr;
    // A table that cannot be read adds nothing. Rows are streamed straight into the
    // hash, so a table that fails part way is noted and the digest made again
    // without it (a rare path: a damaged page).
    QSet<QString> unreadable;
    for (;;) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        bool complete = true;
        {
            DigestFeed feed(hash);
            for (const QString& table : tables) {
                if (unreadable.contains(table) || !db)
                    continue;
                if (!feedTable(db, table, feed)) {
                    unreadable.insert(table);
                    complete = false;
                    break;
                }
            }
        }
        if (complete)
            return QString::fromLatin1(hash.result().toHex());
    }
}
