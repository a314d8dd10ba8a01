// The content digest: a SHA-256 fingerprint of every stored value, used to prove that
// a copy (a backup, a restore, another process) holds byte for byte the same records.
//
// Each value enters as "<table>.<column>=<case>(<payload>)|" with the columns of a row
// in name order. Texts are quoted with backslash escapes and blobs are length-prefixed
// and then hashed byte for byte (a photo whose bytes change, even at the same length,
// changes the digest), so different contents always feed different input.

#include "store/OVStore.h"

#include <QCryptographicHash>

#include <algorithm>

namespace {

QByteArray quoted(const QString& text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size() + 2);
    out.append('"');
    for (const char c : utf8) {
        if (c == '"' || c == '\\')
            out.append('\\');
        out.append(c);
    }
    out.append('"');
    return out;
}

void addValue(QCryptographicHash& hash, const SQLValue& value)
{
    switch (value.type()) {
    case SQLValue::Type::integer:
        hash.addData(QByteArray("int(") + QByteArray::number(value.asInteger()) + ')');
        break;
    case SQLValue::Type::real:
        hash.addData(QByteArray("real(") + SQLValue::realText(value.asReal()).toUtf8() + ')');
        break;
    case SQLValue::Type::text:
        hash.addData(QByteArray("text(") + quoted(value.asText()) + ')');
        break;
    case SQLValue::Type::blob: {
        const QByteArray bytes = value.asBlob();
        hash.addData(QByteArray("blob(") + QByteArray::number(bytes.size()) + QByteArray(" bytes:"));
        hash.addData(bytes);
        hash.addData(QByteArrayView(")"));
        break;
    }
    case SQLValue::Type::null:
        hash.addData(QByteArrayView("null"));
        break;
    }
}

} // namespace

QString OVStore::digest() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& table : tables) {
        QList<SQLRow> rows;
        try {
            rows = m_db->query(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY id"));
        } catch (const OVError&) {
            continue; // an unreadable table adds nothing
        }
        const QByteArray tablePrefix = table.toUtf8() + '.';
        for (const SQLRow& row : rows) {
            QStringList columns = row.values.keys();
            std::sort(columns.begin(), columns.end()); // ASCII names: code-unit order is byte order
            for (const QString& column : columns) {
                hash.addData(tablePrefix + column.toUtf8() + '=');
                addValue(hash, row.values.value(column));
                hash.addData(QByteArrayView("|"));
            }
        }
    }
    return QString::fromLatin1(hash.result().toHex());
}
