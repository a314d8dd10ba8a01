#include "store/SQLiteDB.h"

#include "store/StoreTestSupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

#include <stdexcept>

using storetest::errorOf;
using testsupport::ScratchDir;

namespace {
const QString memory = QStringLiteral(":memory:");
}

TEST(SQLiteDBOpening, CreatesOnlyWhatItMay)
{
    ScratchDir dir;
    const QString missingFolder = dir.file(QStringLiteral("no/such/x.sqlite"));
    EXPECT_EQ(errorOf([&] { SQLiteDB db(missingFolder); }),
              OVError::database(QStringLiteral("unable to open database file")));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("no"))));

    const QString path = dir.file(QStringLiteral("x.sqlite"));
    EXPECT_EQ(errorOf([&] { SQLiteDB db(path, true); }).kind(), OVError::Kind::database);
    EXPECT_FALSE(QFileInfo::exists(path));
    { SQLiteDB db(path); }
    EXPECT_TRUE(QFileInfo::exists(path));

    // A NUL would cut the name short and open some other file.
    const QString cut = dir.file(QStringLiteral("a")) + QChar(u'\0') + QStringLiteral("b");
    EXPECT_EQ(errorOf([&] { SQLiteDB db(cut); }), OVError::database(QStringLiteral("could not open")));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("a"))));
}

TEST(SQLiteDBOpening, ForeignKeysOnlyOnReadWriteConnections)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("fk.sqlite"));
    SQLiteDB db(path);
    db.exec(QStringLiteral("CREATE TABLE p (id INTEGER PRIMARY KEY);"
                           "CREATE TABLE c (p INTEGER REFERENCES p(id));"));
    EXPECT_EQ(errorOf([&] { db.run(QStringLiteral("INSERT INTO c VALUES (?)"), {42}); }).payload(),
              QStringLiteral("FOREIGN KEY constraint failed"));
    SQLiteDB ro(path, true);
    EXPECT_EQ(ro.scalarInt(QStringLiteral("PRAGMA foreign_keys")), 0);
}

TEST(SQLiteDBRun, RowIDsAndEngineMessages)
{
    SQLiteDB db(memory);
    db.exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v UNIQUE)"));
    EXPECT_EQ(db.run(QStringLiteral("INSERT INTO t (v) VALUES (?)"), {1}), 1);
    EXPECT_EQ(db.run(QStringLiteral("INSERT INTO t (id, v) VALUES (40, ?)"), {2}), 40);
    // An update inserts nothing: the last insert's id is still reported.
    EXPECT_EQ(db.run(QStringLiteral("UPDATE t SET v = 9 WHERE id = 1")), 40);
    EXPECT_EQ(errorOf([&] { db.run(QStringLiteral("INSERT INTO t (v) VALUES (9)")); }).payload(),
              QStringLiteral("UNIQUE constraint failed: t.v"));
    EXPECT_EQ(errorOf([&] { db.query(QStringLiteral("SELECT * FROM nowhere")); }).payload(),
              QStringLiteral("no such table: nowhere"));
    // The statements before the failing one of a multi-statement text keep their effect.
    EXPECT_EQ(errorOf([&] { db.exec(QStringLiteral("CREATE TABLE a (x); CREATE TABLE a (x)")); }).payload(),
              QStringLiteral("table a already exists"));
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM a")), 0);
}

TEST(SQLiteDBBinding, EveryKindOfArgument)
{
    SQLiteDB db(memory);
    db.exec(QStringLiteral("CREATE TABLE t (a, b, c, d, e, f, g, h)"));
    const QDateTime instant = QDateTime::fromMSecsSinceEpoch(1700000000250LL, Qt::UTC);
    db.run(QStringLiteral("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
           {std::optional<qint64>(), true, instant, QByteArray(), std::optional<double>(2.5), "Tomato",
            quint64(18446744073709551615ULL)});
    const SQLRow row = db.query(QStringLiteral("SELECT *, typeof(d) AS dt FROM t")).value(0);
    EXPECT_TRUE(row.value(QStringLiteral("a")).isNull());
    EXPECT_EQ(row.value(QStringLiteral("b")), SQLValue::integer(1));
    EXPECT_EQ(row.value(QStringLiteral("c")), SQLValue::real(1700000000.25));
    // An empty buffer is a zero-length blob, not NULL.
    EXPECT_EQ(row.str(QStringLiteral("dt")), QStringLiteral("blob"));
    EXPECT_EQ(row.value(QStringLiteral("d")), SQLValue::blob(QByteArray()));
    EXPECT_EQ(row.value(QStringLiteral("e")), SQLValue::real(2.5));
    // A C string is text, never a pointer turned into a boolean.
    EXPECT_EQ(row.value(QStringLiteral("f")), SQLValue::text(QStringLiteral("Tomato")));
    EXPECT_EQ(row.value(QStringLiteral("g")), SQLValue::text(QStringLiteral("18446744073709551615")));
    EXPECT_TRUE(row.value(QStringLiteral("h")).isNull()); // no argument left for it
}

// Text is bound with its byte length: a NUL inside it is stored, not cut.
TEST(SQLiteDBBinding, TextWithNulIsStoredWhole)
{
    SQLiteDB db(memory);
    db.exec(QStringLiteral("CREATE TABLE t (s TEXT)"));
    const QString text = QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd");
    db.run(QStringLiteral("INSERT INTO t VALUES (?)"), {text});
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT length(CAST(s AS BLOB)) FROM t")), 5);
    EXPECT_EQ(db.query(QStringLiteral("SELECT s FROM t")).value(0).str(QStringLiteral("s")), text);
}

TEST(SQLiteDBQuery, LaterDuplicateColumnWinsAndStatementsAreReusable)
{
    SQLiteDB db(memory);
    const QList<SQLRow> dup = db.query(QStringLiteral("SELECT 1 AS a, 2 AS a"));
    ASSERT_EQ(dup.size(), 1);
    EXPECT_EQ(dup[0].size(), 1);
    EXPECT_EQ(dup[0].value(QStringLiteral("a")), SQLValue::integer(2));

    db.exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, v UNIQUE)"));
    SQLiteDB::Statement insert = db.prepare(QStringLiteral("INSERT INTO t (v) VALUES (?)"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(insert.run({i * 10}), i + 1);
    // A failed row leaves the statement usable for the next one.
    EXPECT_EQ(errorOf([&] { insert.run({10}); }).kind(), OVError::Kind::database);
    EXPECT_EQ(insert.run({99}), 4);
    SQLiteDB::Statement select = db.prepare(QStringLiteral("SELECT v FROM t WHERE id = ?"));
    EXPECT_EQ(select.query({2}).value(0).intValue(QStringLiteral("v")), 10);
    EXPECT_EQ(select.query({4}).value(0).intValue(QStringLiteral("v")), 99);
}

TEST(SQLiteDBScalarInt, ZeroOnEveryFailure)
{
    SQLiteDB db(memory);
    for (const char* zero : {"SELECT * FROM nowhere", "SELECT 5 WHERE 0", "SELECT NULL", "SELECT '12a'",
                             "SELECT x'01'", "SELECT 1e300"})
        EXPECT_EQ(db.scalarInt(QString::fromLatin1(zero)), 0) << zero;
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT '-7'")), -7);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT 3.9")), 3);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT -3.9")), -3);
}

TEST(SQLiteDBTransaction, RollbackKeepsTheFirstError)
{
    SQLiteDB db(memory);
    db.exec(QStringLiteral("CREATE TABLE p (id INTEGER PRIMARY KEY); CREATE TABLE c (p REFERENCES p(id))"));
    const auto count = [&] { return db.scalarInt(QStringLiteral("SELECT count(*) FROM c")); };
    const auto insert = [&] { db.run(QStringLiteral("INSERT INTO c VALUES (NULL)")); };

    // The body's error, even when the body ended the transaction so ROLLBACK fails too.
    EXPECT_EQ(errorOf([&] {
                  db.transaction([&] {
                      insert();
                      db.exec(QStringLiteral("ROLLBACK"));
                      throw OVError::invalid(QStringLiteral("first"));
                  });
              }),
              OVError::invalid(QStringLiteral("first")));
    // Errors of other types pass through unchanged, after the rollback.
    EXPECT_THROW(db.transaction([&] {
        insert();
        throw std::runtime_error("not a store error");
    }),
                 std::runtime_error);
    // A failing COMMIT is rolled back and reported.
    EXPECT_EQ(errorOf([&] {
                  db.transaction([&] {
                      db.exec(QStringLiteral("PRAGMA defer_foreign_keys = ON"));
                      db.run(QStringLiteral("INSERT INTO c VALUES (7)")); // checked at COMMIT
                  });
              }).payload(),
              QStringLiteral("FOREIGN KEY constraint failed"));
    EXPECT_EQ(count(), 0);

    db.transaction(insert);
    EXPECT_EQ(count(), 1);
    EXPECT_NO_THROW(db.exec(QStringLiteral("BEGIN; COMMIT"))); // no transaction left open
}

// Another connection holding the write lock makes a writer wait out the busy timeout
// and then fail with the engine's own text.
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
    EXPECT_EQ(errorOf([&] { writer.transaction([] { ADD_FAILURE() << "body ran"; }); }),
              OVError::database(QStringLiteral("database is locked")));
    EXPECT_GE(clock.elapsed(), 2500);

    holder.exec(QStringLiteral("COMMIT"));
    EXPECT_NO_THROW(writer.run(QStringLiteral("INSERT INTO t VALUES (1)")));
}

TEST(SQLiteDBClosing, EveryCallFailsWithClosed)
{
    SQLiteDB db(memory);
    db.exec(QStringLiteral("CREATE TABLE t (x)"));
    SQLiteDB::Statement kept = db.prepare(QStringLiteral("INSERT INTO t VALUES (?)"));
    db.close();
    db.close(); // harmless
    const OVError closed = OVError::database(QStringLiteral("closed"));
    EXPECT_EQ(errorOf([&] { db.exec(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.run(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.query(QStringLiteral("SELECT 1")); }), closed);
    EXPECT_EQ(errorOf([&] { db.transaction([] { ADD_FAILURE() << "body ran"; }); }), closed);
    EXPECT_EQ(errorOf([&] { kept.run({1}); }), closed);
    EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT 1")), 0);
    EXPECT_EQ(db.lastError(), QStringLiteral("closed"));
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
            "CREATE TABLE t (x); CREATE TABLE log (x); CREATE VIEW v AS SELECT x FROM t;"
            "CREATE TRIGGER t_ins AFTER INSERT ON t BEGIN INSERT INTO log VALUES (new.x); END;"));
        maker.run(QStringLiteral("INSERT INTO t VALUES (1)"));
        ASSERT_EQ(maker.scalarInt(QStringLiteral("SELECT count(*) FROM log")), 1);
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
}
