#include "store/OVError.h"
#include "store/SQLiteDB.h"

#include "TestSupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <stdexcept>

using testsupport::ScratchDir;

namespace {

// Runs `f` and returns the OVError it throws; fails the test when it throws nothing.
template <typename F>
OVError errorOf(F&& f)
{
    try {
        f();
    } catch (const OVError& e) {
        return e;
    }
    ADD_FAILURE() << "expected an OVError";
    return OVError::database(QStringLiteral("<nothing thrown>"));
}

QString typeOf(SQLiteDB& db, const QString& sql)
{
    return db.query(sql).value(0).str(QStringLiteral("t"));
}

} // namespace

TEST(SQLiteDBOpening, MissingFolderFailsAndIsNotCreated)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("no/such/folder/x.sqlite"));
    const OVError e = errorOf([&] { SQLiteDB db(path); });
    EXPECT_EQ(e.kind(), OVError::Kind::database);
    EXPECT_EQ(e.payload(), QStringLiteral("unable to open database file"));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("no"))));
}

TEST(SQLiteDBOpening, ReadOnlyNeedsAnExistingFileReadWriteCreatesOne)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("x.sqlite"));
    EXPECT_EQ(errorOf([&] { SQLiteDB db(path, true); }).kind(), OVError::Kind::database);
    EXPECT_FALSE(QFileInfo::exists(path));
    {
        SQLiteDB db(path);
        EXPECT_TRUE(db.isOpen());
        EXPECT_EQ(db.path(), path);
    }
    EXPECT_TRUE(QFileInfo::exists(path));
    SQLiteDB ro(path, true);
    EXPECT_TRUE(ro.isOpen());
}

TEST(SQLiteDBOpening, ForeignKeysOnlyOnReadWriteConnections)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("fk.sqlite"));
    SQLiteDB db(path);
    db.exec(QStringLiteral("CREATE TABLE p (id INTEGER PRIMARY KEY);"
                           "CREATE TABLE c (id INTEGER PRIMARY KEY, p INTEGER REFERENCES p(id));"));
    EXPECT_EQ(db.scalarInt(QStringLiteral("PRAGMA foreign_keys")), 1);
    const OVError e = errorOf([&] { db.run(QStringLiteral("INSERT INTO c (p) VALUES (?)"), {42}); });
    EXPECT_EQ(e.payload(), QStringLiteral("FOREIGN KEY constraint failed"));

    SQLiteDB ro(path, true);
    EXPECT_EQ(ro.scalarInt(QStringLiteral("PRAGMA foreign_keys")), 0);
    EXPECT_EQ(errorOf([&] { ro.run(QStringLiteral("INSERT INTO p DEFAULT VALUES")); }).payload(),
              QStringLiteral("attempt to write a readonly database"));
}

TEST(SQLiteDBOpening, NulInPathIsRefused)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("a")) + QChar(u'\0') + QStringLiteral("b");
    EXPECT_EQ(errorOf([&] { SQLiteDB db(path); }).payload(), QStringLiteral("could not open"));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("a"))));
}

TEST(SQLiteDBRun, ReturnsTheConnectionsLastInsertedRowID)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v)"));
    EXPECT_EQ(db.run(QStringLiteral("INSERT INTO t (v) VALUES (?)"), {1}), 1);
    EXPECT_EQ(db.run(QStringLiteral("INSERT INTO t (id, v) VALUES (40, ?)"), {2}), 40);
    // An update inserts nothing, so the previous insert's id is still reported.
    EXPECT_EQ(db.run(QStringLiteral("UPDATE t SET v = 9 WHERE id = 1")), 40);
    EXPECT_EQ(db.changes(), 1);
    // A statement returning rows counts as success; its rows are dropped.
    EXPECT_NO_THROW(db.run(QStringLiteral("SELECT * FROM t")));
}

TEST(SQLiteDBRun, FailuresCarryTheEnginesMessage)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    EXPECT_EQ(errorOf([&] { db.run(QStringLiteral("SELEC 1")); }).payload(),
              QStringLiteral("near \"SELEC\": syntax error"));
    EXPECT_EQ(errorOf([&] { db.query(QStringLiteral("SELECT * FROM nowhere")); }).payload(),
              QStringLiteral("no such table: nowhere"));
    EXPECT_EQ(errorOf([&] { db.exec(QStringLiteral("CREATE TABLE a (x); CREATE TABLE a (x)")); })
                  .payload(),
              QStringLiteral("table a already exists"));
    // The first statement of a failing multi-statement text keeps its effect.
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM a")), 0);
    db.exec(QStringLiteral("CREATE TABLE u (x UNIQUE)"));
    db.run(QStringLiteral("INSERT INTO u VALUES (1)"));
    EXPECT_EQ(errorOf([&] { db.run(QStringLiteral("INSERT INTO u VALUES (1)")); }).payload(),
              QStringLiteral("UNIQUE constraint failed: u.x"));
}

TEST(SQLiteDBBinding, EveryKindOfArgument)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (a, b, c, d, e, f, g, h, i, j)"));
    const std::optional<qint64> absent;
    const std::optional<double> present = 2.5;
    const QDateTime instant = QDateTime::fromMSecsSinceEpoch(1700000000250LL, Qt::UTC);
    db.run(QStringLiteral("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
           {absent, true, instant, QByteArray(), present, "Tomato", quint64(18446744073709551615ULL),
            std::string("x\xC3\xA9"), nullptr, -3});
    const SQLRow row = db.query(QStringLiteral("SELECT * FROM t")).value(0);
    EXPECT_TRUE(row.value(QStringLiteral("a")).isNull());
    EXPECT_EQ(row.value(QStringLiteral("b")), SQLValue::integer(1));
    EXPECT_EQ(row.value(QStringLiteral("c")), SQLValue::real(1700000000.25));
    // An empty buffer is a zero-length blob, not NULL.
    EXPECT_EQ(row.value(QStringLiteral("d")).type(), SQLValue::Type::blob);
    EXPECT_EQ(typeOf(db, QStringLiteral("SELECT typeof(d) AS t FROM t")), QStringLiteral("blob"));
    EXPECT_EQ(row.value(QStringLiteral("e")), SQLValue::real(2.5));
    // A C string is text, never a pointer turned into a boolean.
    EXPECT_EQ(row.value(QStringLiteral("f")), SQLValue::text(QStringLiteral("Tomato")));
    EXPECT_EQ(row.value(QStringLiteral("g")), SQLValue::text(QStringLiteral("18446744073709551615")));
    EXPECT_EQ(row.value(QStringLiteral("h")), SQLValue::text(QStringLiteral("x\u00E9")));
    EXPECT_TRUE(row.value(QStringLiteral("i")).isNull());
    EXPECT_EQ(row.value(QStringLiteral("j")), SQLValue::integer(-3));
}

// Text is bound with its byte length: a NUL inside it is stored, not cut.
TEST(SQLiteDBBinding, TextWithNulIsStoredWhole)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (s TEXT)"));
    const QString text = QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd");
    db.run(QStringLiteral("INSERT INTO t VALUES (?)"), {text});
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT length(CAST(s AS BLOB)) FROM t")), 5);
    EXPECT_EQ(db.query(QStringLiteral("SELECT s FROM t")).value(0).str(QStringLiteral("s")), text);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t WHERE s = ?"), {text}), 1);
}

TEST(SQLiteDBBinding, MissingArgumentsAreNullSurplusOnesDropped)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (a, b)"));
    db.run(QStringLiteral("INSERT INTO t VALUES (?, ?)"), {1});
    db.run(QStringLiteral("INSERT INTO t VALUES (?, ?)"), {1, 2, 3});
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t WHERE b IS NULL")), 1);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t WHERE b = 2")), 1);
}

TEST(SQLiteDBQuery, RowsInOrderAndLaterDuplicateColumnWins)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    const QList<SQLRow> dup = db.query(QStringLiteral("SELECT 1 AS a, 2 AS a"));
    ASSERT_EQ(dup.size(), 1);
    EXPECT_EQ(dup[0].values.size(), 1);
    EXPECT_EQ(dup[0].value(QStringLiteral("a")), SQLValue::integer(2));

    db.exec(QStringLiteral("CREATE TABLE t (n); INSERT INTO t VALUES (3), (1), (2)"));
    const QList<SQLRow> rows = db.query(QStringLiteral("SELECT n FROM t WHERE n > ? ORDER BY n"), {1});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].intValue(QStringLiteral("n")), 2);
    EXPECT_EQ(rows[1].intValue(QStringLiteral("n")), 3);
    EXPECT_TRUE(db.query(QStringLiteral("SELECT n FROM t WHERE n > 9")).isEmpty());
    // A text with no statement in it does not compile into anything.
    EXPECT_EQ(errorOf([&] { db.query(QStringLiteral("  -- nothing")); }).kind(),
              OVError::Kind::database);
}

TEST(SQLiteDBQuery, PreparedStatementIsReusedWithNewArguments)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v UNIQUE)"));
    SQLiteDB::Statement insert = db.prepare(QStringLiteral("INSERT INTO t (v) VALUES (?)"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(insert.run({i * 10}), i + 1);
    // A failure leaves the statement usable for the next row.
    EXPECT_EQ(errorOf([&] { insert.run({10}); }).payload(), QStringLiteral("UNIQUE constraint failed: t.v"));
    EXPECT_EQ(insert.run({99}), 6);
    SQLiteDB::Statement select = db.prepare(QStringLiteral("SELECT v FROM t WHERE id = ?"));
    EXPECT_EQ(select.query({2}).value(0).intValue(QStringLiteral("v")), 10);
    EXPECT_EQ(select.query({6}).value(0).intValue(QStringLiteral("v")), 99);
}

TEST(SQLiteDBScalarInt, ZeroOnEveryFailure)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT * FROM nowhere")), 0);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT 5 WHERE 0")), 0);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT NULL")), 0);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT '12a'")), 0);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT x'01'")), 0);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT '-7'")), -7);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT 3.9")), 3);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT -3.9")), -3);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT 1e300")), 0);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT ?"), {qint64(-9223372036854775807LL - 1)}),
              -9223372036854775807LL - 1);
}

TEST(SQLiteDBTransaction, BodyFailureLeavesNoTrace)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (x)"));
    const OVError e = errorOf([&] {
        db.transaction([&] {
            db.run(QStringLiteral("INSERT INTO t VALUES (1)"));
            throw OVError::invalid(QStringLiteral("Stop here."));
        });
    });
    EXPECT_EQ(e, OVError::invalid(QStringLiteral("Stop here.")));
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t")), 0);

    db.transaction([&] { db.run(QStringLiteral("INSERT INTO t VALUES (2)")); });
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t")), 1);
}

TEST(SQLiteDBTransaction, FirstErrorWinsOverAFailingRollback)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (x)"));
    // The body ends the transaction itself, so the ROLLBACK that follows fails too.
    const OVError e = errorOf([&] {
        db.transaction([&] {
            db.run(QStringLiteral("INSERT INTO t VALUES (1)"));
            db.exec(QStringLiteral("ROLLBACK"));
            throw OVError::database(QStringLiteral("first"));
        });
    });
    EXPECT_EQ(e.payload(), QStringLiteral("first"));
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t")), 0);

    // Exceptions of other types pass through unchanged, after the rollback.
    EXPECT_THROW(db.transaction([&] {
        db.run(QStringLiteral("INSERT INTO t VALUES (1)"));
        throw std::runtime_error("not a store error");
    }),
                 std::runtime_error);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t")), 0);
    EXPECT_NO_THROW(db.exec(QStringLiteral("BEGIN; COMMIT"))); // no transaction left open
}

TEST(SQLiteDBTransaction, FailedCommitRollsBackAndReportsTheCommitError)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE p (id INTEGER PRIMARY KEY);"
                           "CREATE TABLE c (p INTEGER REFERENCES p(id))"));
    const OVError e = errorOf([&] {
        db.transaction([&] {
            db.exec(QStringLiteral("PRAGMA defer_foreign_keys = ON"));
            db.run(QStringLiteral("INSERT INTO c VALUES (7)")); // checked only at COMMIT
        });
    });
    EXPECT_EQ(e.payload(), QStringLiteral("FOREIGN KEY constraint failed"));
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM c")), 0);
    EXPECT_NO_THROW(db.exec(QStringLiteral("BEGIN; COMMIT")));
}

TEST(SQLiteDBTransaction, NestingFailsWithoutLeavingATransactionOpen)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (x)"));
    const OVError e = errorOf([&] {
        db.transaction([&] {
            db.run(QStringLiteral("INSERT INTO t VALUES (1)"));
            db.transaction([] {});
        });
    });
    EXPECT_EQ(e.payload(), QStringLiteral("cannot start a transaction within a transaction"));
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM t")), 0);
}

// A second connection holding the write lock makes a writer wait for the busy
// timeout and then fail with the engine's own text.
TEST(SQLiteDBLocking, WriterWaitsForTheBusyTimeoutThenFails)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("locked.sqlite"));
    SQLiteDB writer(path);
    writer.exec(QStringLiteral("CREATE TABLE t (x)"));
    SQLiteDB holder(path);
    holder.exec(QStringLiteral("BEGIN IMMEDIATE"));

    QElapsedTimer clock;
    clock.start();
    const OVError e = errorOf([&] { writer.run(QStringLiteral("INSERT INTO t VALUES (1)")); });
    const qint64 waited = clock.elapsed();
    EXPECT_EQ(e.payload(), QStringLiteral("database is locked"));
    EXPECT_GE(waited, 2500);

    const OVError t = errorOf([&] { writer.transaction([] {}); });
    EXPECT_EQ(t.payload(), QStringLiteral("database is locked"));

    holder.exec(QStringLiteral("COMMIT"));
    EXPECT_NO_THROW(writer.run(QStringLiteral("INSERT INTO t VALUES (1)")));
}

TEST(SQLiteDBClosing, EveryCallFailsWithClosed)
{
    SQLiteDB db(QStringLiteral(":memory:"));
    db.exec(QStringLiteral("CREATE TABLE t (x)"));
    SQLiteDB::Statement kept = db.prepare(QStringLiteral("INSERT INTO t VALUES (?)"));
    db.close();
    db.close(); // harmless
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(db.handle(), nullptr);
    const OVError closed = OVError::database(QStringLiteral("closed"));
    EXPECT_EQ(errorOf([&] { db.exec(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.run(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.query(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.prepare(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.transaction([] { ADD_FAILURE() << "body ran"; }); }), closed);
    EXPECT_EQ(errorOf([&] { kept.run({1}); }), closed);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT 1")), 0);
    EXPECT_EQ(db.lastError(), QStringLiteral("closed"));
    EXPECT_EQ(db.changes(), 0);
}

// An untrusted file's stored code (triggers, views) never runs, and the connection
// refuses to edit the schema behind the engine's back.
TEST(SQLiteDBUntrusted, StoredCodeDoesNotRun)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("untrusted.sqlite"));
    {
        SQLiteDB maker(path);
        maker.exec(QStringLiteral(
            "CREATE TABLE t (x); CREATE TABLE log (x);"
            "CREATE TRIGGER t_ins AFTER INSERT ON t BEGIN INSERT INTO log VALUES (new.x); END;"
            "CREATE VIEW v AS SELECT x FROM t;"));
    }
    {
        SQLiteDB trusted(path);
        trusted.run(QStringLiteral("INSERT INTO t VALUES (1)"));
        EXPECT_EQ(trusted.scalarInt(QStringLiteral("SELECT count(*) FROM log")), 1);
    }
    SQLiteDB untrusted(path, false, SQLiteDB::Trust::untrusted);
    untrusted.run(QStringLiteral("INSERT INTO t VALUES (2)"));
    EXPECT_EQ(untrusted.scalarInt(QStringLiteral("SELECT count(*) FROM log")), 1);
    EXPECT_EQ(errorOf([&] { untrusted.query(QStringLiteral("SELECT * FROM v")); }).kind(),
              OVError::Kind::database);
    untrusted.exec(QStringLiteral("PRAGMA writable_schema = ON"));
    EXPECT_EQ(errorOf([&] {
                  untrusted.run(QStringLiteral("UPDATE sqlite_master SET sql = 'x' WHERE name = 't'"));
              }).kind(),
              OVError::Kind::database);
    EXPECT_EQ(untrusted.scalarInt(QStringLiteral("PRAGMA trusted_schema")), 0);
}
