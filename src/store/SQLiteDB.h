#pragma once
// One SQLite connection over the C interface.
//
// Invariants:
//   - Every failure reaching a caller is an OVError of kind database whose payload is
//     the engine's own message, "could not open" when opening failed without a handle,
//     or "closed" once close() has run. Nothing else is thrown (apart from what a
//     transaction body throws, which is passed on unchanged).
//   - A statement is finalized on success and on failure; a failed prepare leaves none.
//   - Texts are bound with their byte length, so a NUL inside a text is stored whole.
//   - One operation waits at most 3000 ms in total for other connections' locks, however
//     many lock attempts the engine makes on the way (a long write may need the write
//     lock again and again to spill its page cache); then it fails with the engine's
//     "database is locked". An operation is one call of exec, run, query, scalarInt or
//     transaction (body included), or the life of a Deadline that encloses such calls.
//   - An untrusted read-only connection is opened immutable: no lock is taken and no
//     file is ever made beside the opened one (no -wal, -shm or -journal), whatever its
//     header says about its journal.
//   - A read-write connection enforces foreign keys; a read-only one leaves them off.
//   - transaction() runs BEGIN IMMEDIATE / body / COMMIT and on any failure rolls back
//     and rethrows the first failure; transactions do not nest.
//   - After close() the object stays but every operation fails with "closed".
//
// A connection is used from one thread at a time; it has no lock of its own.

#include "store/SQLRow.h"
#include "store/SQLValue.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

class SQLiteDB {
    struct Connection; // the handle, shared with live statements

public:
    // How far the file's own schema is trusted. An untrusted file (a backup chosen by
    // the user) is opened with SQLITE_DBCONFIG_DEFENSIVE on, trusted_schema off, and
    // triggers and views disabled, so nothing stored in the file runs code of its own.
    enum class Trust { trusted, untrusted };

    // Opens or (read-write only) creates the file. Throws OVError::database.
    explicit SQLiteDB(const QString& path, bool readOnly = false, Trust trust = Trust::trusted);

    // The most time one operation may spend waiting for other connections' locks.
    static constexpr int busyTimeoutMs = 3000;

    // Makes the statements run while it lives one operation: their lock waits share one
    // busy timeout, counted from the moment the outermost Deadline (or call) began.
    // For callers that run several statements, or step raw statements of their own.
    class Deadline {
    public:
        explicit Deadline(SQLiteDB& db);
        ~Deadline();
        Deadline(const Deadline&) = delete;
        Deadline& operator=(const Deadline&) = delete;

    private:
        friend class SQLiteDB;
        explicit Deadline(std::shared_ptr<Connection> conn);
        std::shared_ptr<Connection> m_conn;
    };
    ~SQLiteDB();

    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // A compiled statement for repeated use (bulk writes bind it once per row). It may
    // outlive close(): then it fails with "closed", and the file is only let go when
    // the last statement is destroyed.
    class Statement {
    public:
        Statement(Statement&& other) noexcept;
        Statement& operator=(Statement&& other) noexcept;
        ~Statement();
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;

        // Binds, steps once and resets; a row-returning statement's rows are dropped.
        // Returns the connection's last insert row id.
        qint64 run(const SQLArgs& args = {});
        // Binds and steps to the end; the rows in the engine's order.
        QList<SQLRow> query(const SQLArgs& args = {});

    private:
        friend class SQLiteDB;
        Statement(std::shared_ptr<Connection> conn, sqlite3_stmt* stmt);
        void bind(const SQLArgs& args);

        std::shared_ptr<Connection> m_conn;
        sqlite3_stmt* m_stmt = nullptr;
    };

    // One or more statements of plain text, without arguments.
    void exec(const QString& sql);
    // Compiles one statement (the text after the first statement is ignored).
    Statement prepare(const QString& sql);
    // Prepares, binds, steps once, finalizes; the connection's last insert row id
    // (not reset by statements that insert nothing).
    qint64 run(const QString& sql, const SQLArgs& args = {});
    // Prepares, binds, steps to the end, finalizes.
    QList<SQLRow> query(const QString& sql, const SQLArgs& args = {});
    // The first row's single value as an integer; 0 on any failure, without a row, or
    // when the value does not read as an integer. For counts and pragmas only, where
    // 0 is the safe reading.
    qint64 scalarInt(const QString& sql, const SQLArgs& args = {}) noexcept;
    // BEGIN IMMEDIATE, body, COMMIT; ROLLBACK when the body or the COMMIT fails, and
    // the first failure is rethrown (a failing ROLLBACK is never reported). A body must
    // not call transaction() again.
    void transaction(const std::function<void()>& body);
    // Releases the handle; a second call does nothing.
    void close();

    // Rows changed by the last statement (0 when closed).
    int changes() const;
    // The engine's current message, or "closed".
    QString lastError() const;
    const QString& path() const { return m_path; }
    bool isOpen() const;
    // The raw handle for engine calls this class does not wrap; nullptr when closed.
    sqlite3* handle() const;
    // Column `column` of a statement stepped onto a row, by its storage class, as a
    // fetch reads it: for readers that step a raw statement of their own.
    static SQLValue columnValue(sqlite3_stmt* statement, int column);

private:
    QString m_path;
    std::shared_ptr<Connection> m_conn;
};
