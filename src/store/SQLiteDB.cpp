#include "store/SQLiteDB.h"

#include "store/OVError.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <exception>
#include <sqlite3.h>
#include <thread>
#include <vector>

struct SQLiteDB::Connection {
    sqlite3* handle = nullptr;
    // The end of the current operation's lock waits, and how many Deadlines are open.
    std::chrono::steady_clock::time_point deadline{};
    int depth = 0;
    // Set when a lock wait of the current operation ran out. A statement the engine
    // lets go on after a failed wait (a page-cache spill is only skipped) is then
    // interrupted, so the operation ends now instead of working on towards a commit
    // that cannot get the lock either.
    bool gaveUp = false;

    // The engine's own busy-timeout handler counts every lock attempt afresh, so a
    // write that must retry the lock many times could wait 3 s for each. This one
    // waits only until the operation's deadline. A statement stepped outside any
    // operation gets a deadline of its own at its first wait.
    static int waitForLock(void* context, int attempt)
    {
        using Clock = std::chrono::steady_clock;
        auto* conn = static_cast<Connection*>(context);
        const Clock::time_point now = Clock::now();
        if (conn->depth == 0 && attempt == 0)
            conn->deadline = now + std::chrono::milliseconds(busyTimeoutMs);
        if (now >= conn->deadline) {
            conn->gaveUp = true;
            return 0;
        }
        // Short sleeps first, as the engine's own handler does, so a lock held briefly
        // costs little; never past the deadline.
        static constexpr int steps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
        const int stepMs = steps[std::min<size_t>(size_t(attempt), std::size(steps) - 1)];
        std::this_thread::sleep_for(
            std::min<Clock::duration>(std::chrono::milliseconds(stepMs), conn->deadline - now));
        return 1;
    }

    static int stopAfterGivingUp(void* context)
    {
        const auto* conn = static_cast<const Connection*>(context);
        return conn->gaveUp && conn->depth > 0 ? 1 : 0;
    }

    // The engine's message; an interruption after a lock wait ran out reads as what
    // it is, the lock held by someone else.
    QString failure() const
    {
        if (gaveUp && handle && sqlite3_errcode(handle) == SQLITE_INTERRUPT)
            return QStringLiteral("database is locked");
        return handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QStringLiteral("closed");
    }
};

namespace {

using Clock = std::chrono::steady_clock;

const QString closedText = QStringLiteral("closed");

QString messageOf(sqlite3* h)
{
    return h ? QString::fromUtf8(sqlite3_errmsg(h)) : closedText;
}

[[noreturn]] void throwClosed()
{
    throw OVError::database(closedText);
}

// A file name as an SQLite URI: every byte but unreserved ones and "/" percent-encoded,
// so "?", "#" and "%" in a name stay part of it.
QByteArray uriOf(const QByteArray& name)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray uri = "file:";
    for (const char c : name) {
        const uchar u = uchar(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '/' || u == '-' ||
            u == '.' || u == '_' || u == '~') {
            uri.append(c);
        } else {
            uri.append('%');
            uri.append(hex[u >> 4]);
            uri.append(hex[u & 0xF]);
        }
    }
    return uri;
}

} // namespace

SQLValue SQLiteDB::columnValue(sqlite3_stmt* st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return SQLValue::integer(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        return SQLValue::real(sqlite3_column_double(st, i));
    case SQLITE_TEXT: {
        // Text first, then its byte count: the count is only valid for the form asked.
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        const int bytes = sqlite3_column_bytes(st, i);
        return SQLValue::text(text ? QString::fromUtf8(text, bytes) : QString());
    }
    case SQLITE_BLOB: {
        const void* blob = sqlite3_column_blob(st, i);
        const int bytes = sqlite3_column_bytes(st, i);
        if (!blob || bytes <= 0)
            return SQLValue::blob(QByteArray(""));
        return SQLValue::blob(QByteArray(static_cast<const char*>(blob), bytes));
    }
    default:
        return SQLValue::null();
    }
}

// ---- Deadline -------------------------------------------------------------------

SQLiteDB::Deadline::Deadline(SQLiteDB& db) : Deadline(db.m_conn) {}

SQLiteDB::Deadline::Deadline(std::shared_ptr<Connection> conn) : m_conn(std::move(conn))
{
    if (m_conn && m_conn->depth++ == 0) {
        m_conn->deadline = Clock::now() + std::chrono::milliseconds(busyTimeoutMs);
        m_conn->gaveUp = false;
    }
}

SQLiteDB::Deadline::~Deadline()
{
    if (m_conn && --m_conn->depth == 0)
        m_conn->gaveUp = false;
}

// ---- Statement ------------------------------------------------------------------

SQLiteDB::Statement::Statement(std::shared_ptr<Connection> conn, sqlite3_stmt* stmt)
    : m_conn(std::move(conn)), m_stmt(stmt)
{
}

SQLiteDB::Statement::Statement(Statement&& other) noexcept
    : m_conn(std::move(other.m_conn)), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

SQLiteDB::Statement& SQLiteDB::Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_conn = std::move(other.m_conn);
        m_stmt = other.m_stmt;
        other.m_stmt = nullptr;
    }
    return *this;
}

SQLiteDB::Statement::~Statement()
{
    // Finalizing is allowed after the connection was closed; the last finalize lets
    // the engine release a connection that close() could only mark as closing.
    sqlite3_finalize(m_stmt);
}

void SQLiteDB::Statement::bind(const SQLArgs& args)
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    // Bind results are not examined: surplus arguments fall away and placeholders
    // without an argument stay NULL.
    int index = 1;
    for (const SQLValue& arg : args) {
        switch (arg.type()) {
        case SQLValue::Type::integer:
            sqlite3_bind_int64(m_stmt, index, arg.asInteger());
            break;
        case SQLValue::Type::real:
            sqlite3_bind_double(m_stmt, index, arg.asReal());
            break;
        case SQLValue::Type::text: {
            const QByteArray utf8 = arg.asText().toUtf8();
            sqlite3_bind_text64(m_stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        case SQLValue::Type::blob: {
            const QByteArray bytes = arg.asBlob();
            // A null data pointer would bind NULL; an empty buffer is a zero-length blob.
            if (bytes.isEmpty())
                sqlite3_bind_zeroblob(m_stmt, index, 0);
            else
                sqlite3_bind_blob64(m_stmt, index, bytes.constData(),
                                    sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        case SQLValue::Type::null:
            sqlite3_bind_null(m_stmt, index);
            break;
        }
        ++index;
    }
}

qint64 SQLiteDB::Statement::run(const SQLArgs& args)
{
    sqlite3* h = m_conn ? m_conn->handle : nullptr;
    if (!h || !m_stmt)
        throwClosed();
    const Deadline operation(m_conn);
    bind(args);
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const QString message = m_conn->failure();
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        throw OVError::database(message);
    }
    const qint64 rowID = sqlite3_last_insert_rowid(h);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return rowID;
}

QList<SQLRow> SQLiteDB::Statement::query(const SQLArgs& args)
{
    sqlite3* h = m_conn ? m_conn->handle : nullptr;
    if (!h || !m_stmt)
        throwClosed();
    const Deadline operation(m_conn);
    bind(args);

    const int columns = sqlite3_column_count(m_stmt);
    auto names = std::make_shared<SQLRow::Columns>();
    names->reserve(columns);
    for (int i = 0; i < columns; ++i) {
        const char* name = sqlite3_column_name(m_stmt, i);
        names->insert(name ? QString::fromUtf8(name) : QString(), i); // later wins
    }
    const std::shared_ptr<const SQLRow::Columns> shared = std::move(names);

    QList<SQLRow> rows;
    for (;;) {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            QList<SQLValue> cells;
            cells.reserve(columns);
            for (int i = 0; i < columns; ++i)
                cells.append(columnValue(m_stmt, i));
            rows.append(SQLRow(shared, std::move(cells)));
        } else if (rc == SQLITE_DONE) {
            break;
        } else {
            const QString message = m_conn->failure();
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
            throw OVError::database(message);
        }
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return rows;
}

// ---- SQLiteDB ---------------------------------------------------------------------

SQLiteDB::SQLiteDB(const QString& path, bool readOnly, Trust trust)
    : m_path(path), m_conn(std::make_shared<Connection>())
{
    // A NUL would silently cut the name short and open some other file.
    if (path.contains(QChar(u'\0')))
        throw OVError::database(QStringLiteral("could not open"));

    sqlite3* h = nullptr;
    int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    QByteArray name = QFile::encodeName(path);
    if (readOnly && trust == Trust::untrusted) {
        // Immutable: the engine takes no lock and opens no journal, so nothing is
        // written beside a file the user only asked us to look at (a file whose header
        // says write-ahead log would otherwise get -wal and -shm files).
        name = uriOf(name) + "?immutable=1";
        flags |= SQLITE_OPEN_URI;
    }
    if (sqlite3_open_v2(name.constData(), &h, flags, nullptr) != SQLITE_OK) {
        const QString message =
            h ? QString::fromUtf8(sqlite3_errmsg(h)) : QStringLiteral("could not open");
        sqlite3_close(h);
        throw OVError::database(message);
    }
    m_conn->handle = h;
    sqlite3_busy_handler(h, Connection::waitForLock, m_conn.get());
    sqlite3_progress_handler(h, 1000, Connection::stopAfterGivingUp, m_conn.get());

    if (trust == Trust::untrusted) {
        sqlite3_db_config(h, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(h, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    }

    if (!readOnly) {
        try {
            exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        } catch (...) {
            close();
            throw;
        }
    }
}

SQLiteDB::~SQLiteDB()
{
    close();
}

void SQLiteDB::close()
{
    if (m_conn && m_conn->handle) {
        sqlite3_close_v2(m_conn->handle);
        m_conn->handle = nullptr;
    }
}

bool SQLiteDB::isOpen() const
{
    return handle() != nullptr;
}

sqlite3* SQLiteDB::handle() const
{
    return m_conn ? m_conn->handle : nullptr;
}

int SQLiteDB::changes() const
{
    sqlite3* h = handle();
    return h ? sqlite3_changes(h) : 0;
}

QString SQLiteDB::lastError() const
{
    return messageOf(handle());
}

void SQLiteDB::exec(const QString& sql)
{
    sqlite3* h = handle();
    if (!h)
        throwClosed();
    const Deadline operation(m_conn);
    const QByteArray utf8 = sql.toUtf8();
    char* error = nullptr;
    if (sqlite3_exec(h, utf8.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message =
            m_conn->gaveUp || !error ? m_conn->failure() : QString::fromUtf8(error);
        sqlite3_free(error);
        throw OVError::database(message);
    }
    sqlite3_free(error);
}

SQLiteDB::Statement SQLiteDB::prepare(const QString& sql)
{
    sqlite3* h = handle();
    if (!h)
        throwClosed();
    const Deadline operation(m_conn);
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    // The byte count includes the terminating NUL, which spares the engine a copy.
    const int rc = sqlite3_prepare_v2(h, utf8.constData(), int(utf8.size()) + 1, &st, nullptr);
    if (rc != SQLITE_OK || !st) {
        const QString message = m_conn->failure();
        sqlite3_finalize(st);
        throw OVError::database(message);
    }
    return Statement(m_conn, st);
}

qint64 SQLiteDB::run(const QString& sql, const SQLArgs& args)
{
    const Deadline operation(m_conn);
    Statement st = prepare(sql);
    return st.run(args);
}

QList<SQLRow> SQLiteDB::query(const QString& sql, const SQLArgs& args)
{
    const Deadline operation(m_conn);
    Statement st = prepare(sql);
    return st.query(args);
}

qint64 SQLiteDB::scalarInt(const QString& sql, const SQLArgs& args) noexcept
{
    try {
        const Deadline operation(m_conn);
        Statement st = prepare(sql);
        st.bind(args);
        if (sqlite3_step(st.m_stmt) != SQLITE_ROW || sqlite3_column_count(st.m_stmt) < 1)
            return 0;
        return columnValue(st.m_stmt, 0).toInteger().value_or(0);
    } catch (...) {
        return 0;
    }
}

void SQLiteDB::transaction(const std::function<void()>& body)
{
    // One deadline from BEGIN to COMMIT: the page-cache spills of a long body and the
    // commit share the busy timeout with taking the write lock.
    const Deadline operation(m_conn);
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        if (body)
            body();
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        const std::exception_ptr first = std::current_exception();
        // The failure is recorded; the rollback itself must not be interrupted.
        m_conn->gaveUp = false;
        try {
            exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
            // The first failure is the one worth reporting.
        }
        std::rethrow_exception(first);
    }
}
