#include "store/OVStore.h"

#include "store/StoreTestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using storetest::errorOf;
using storetest::sha256;
using testsupport::ScratchDir;

namespace {

QStringList column(SQLiteDB& db, const QString& sql)
{
    QStringList texts;
    for (const SQLRow& row : db.query(sql))
        texts << row.str(QStringLiteral("x"));
    return texts;
}

// The state that counts for a later opening: whether the file is a complete store.
bool isCompleteStore(const QString& path)
{
    SQLiteDB db(path, true);
    const qint64 tables = db.scalarInt(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table'"));
    return tables == 13 && db.scalarInt(QStringLiteral("PRAGMA user_version")) == 1 &&
           db.scalarInt(QStringLiteral("PRAGMA application_id")) == OVStore::applicationID;
}

// Opens a store on `path` in a forked child, which exits 0 when the opening succeeded
// and 3 when it threw. When `readyFd` is given, the child writes one byte to it first.
pid_t openInChild(const QString& path, int readyFd = -1)
{
    const pid_t child = fork();
    if (child != 0)
        return child;
    if (readyFd >= 0 && write(readyFd, "g", 1) != 1)
        _exit(4);
    try {
        OVStore store(path);
    } catch (...) {
        _exit(3);
    }
    _exit(0);
}

// What an opening must leave as it found it in a file it accepts: both header fields
// and every schema entry (the journal mode aside, which the store sets).
QStringList headerAndSchema(const QString& path)
{
    SQLiteDB db(path, true);
    QStringList found = column(db, QStringLiteral("SELECT coalesce(sql, name) AS x FROM sqlite_master ORDER BY name"));
    found << QString::number(db.scalarInt(QStringLiteral("PRAGMA application_id")))
          << QString::number(db.scalarInt(QStringLiteral("PRAGMA user_version")));
    return found;
}

QString journalMode(OVStore& store)
{
    return store.db().query(QStringLiteral("PRAGMA journal_mode")).value(0).str(QStringLiteral("journal_mode"));
}

} // namespace

TEST(OVStoreOpening, NewFileInNewFolderGetsSchemaAndHeader)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("a/b/Greenhouse.sqlite"));
    OVStore store(path);
    EXPECT_EQ(store.revision(), 0);
    EXPECT_EQ(store.url(), QUrl::fromLocalFile(path));
    EXPECT_TRUE(QFileInfo(path).isFile());

    SQLiteDB& db = store.db();
    EXPECT_EQ(column(db, QStringLiteral("SELECT name AS x FROM sqlite_master WHERE type='table' ORDER BY rowid")),
              OVStore::tables);
    EXPECT_EQ(column(db, QStringLiteral("SELECT name AS x FROM sqlite_master WHERE type='index' AND sql IS NOT NULL")),
              QStringList{QStringLiteral("reading_zone_time")});
    EXPECT_EQ(db.scalarInt(QStringLiteral("PRAGMA application_id")), 1331057201);
    EXPECT_EQ(db.scalarInt(QStringLiteral("PRAGMA user_version")), 1);

    // What the engine keeps is the schema text, statement by statement.
    const QStringList stored =
        column(db, QStringLiteral("SELECT sql AS x FROM sqlite_master WHERE sql IS NOT NULL ORDER BY rowid"));
    QStringList fromText;
    for (const QString& part : OVStore::schemaSQL().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString statement = part.trimmed();
        if (!statement.isEmpty())
            fromText << statement;
    }
    EXPECT_EQ(stored, fromText);
    EXPECT_EQ(stored.size(), 14);
}

// The header as the sqlite3 command-line tool reads it.
TEST(OVStoreOpening, HeaderAsTheCommandLineToolSeesIt)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty())
        GTEST_SKIP() << "sqlite3 command-line tool not installed";
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Greenhouse.sqlite"));
    { OVStore store(path); }
    QProcess p;
    p.start(tool, {path, QStringLiteral("PRAGMA application_id; PRAGMA user_version")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("1331057201\n1\n"));
}

TEST(OVStoreOpening, SecondOpeningChangesNothing)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Greenhouse.sqlite"));
    {
        OVStore store(path);
        store.db().run(QStringLiteral("INSERT INTO greenhouse (name) VALUES (?)"), {QStringLiteral("North")});
    }
    const QByteArray before = sha256(path);
    {
        OVStore again(path);
        EXPECT_EQ(again.revision(), 0);
        EXPECT_EQ(again.db().scalarInt(QStringLiteral("SELECT count(*) FROM greenhouse")), 1);
    }
    EXPECT_EQ(sha256(path), before);
}

TEST(OVStoreOpening, CurrentVersionOpensWhateverTheApplicationID)
{
    ScratchDir dir;
    for (const auto& [name, header] :
         {std::pair{"other-id.sqlite", "PRAGMA application_id = 12345; PRAGMA user_version = 1"},
          std::pair{"negative.sqlite", "PRAGMA user_version = -3"}}) {
        const QString path = dir.file(QString::fromLatin1(name));
        {
            SQLiteDB db(path);
            db.exec(QStringLiteral("CREATE TABLE notes (x);") + QString::fromLatin1(header));
        }
        const QStringList before = headerAndSchema(path);
        EXPECT_NO_THROW(OVStore store(path)) << name;
        EXPECT_EQ(headerAndSchema(path), before) << name;
    }
}

TEST(OVStoreOpening, RefusedFilesKeepTheirBytes)
{
    ScratchDir dir;
    const QString newer = dir.file(QStringLiteral("newer.sqlite"));
    {
        OVStore store(newer);
        store.db().run(QStringLiteral("INSERT INTO greenhouse (name) VALUES ('A')"));
        store.db().exec(QStringLiteral("PRAGMA user_version = 2"));
    }
    const QString foreign = dir.file(QStringLiteral("foreign.sqlite"));
    SQLiteDB(foreign).exec(QStringLiteral("CREATE TABLE notes (x); INSERT INTO notes VALUES ('hello')"));
    const QString text = dir.file(QStringLiteral("notes.txt"));
    ASSERT_TRUE(testsupport::writeAll(
        text, QByteArray("hello, this is not a database\nbut a few lines of text\n").repeated(40)));

    const struct {
        QString path;
        QString description;
    } cases[] = {
        {newer, QStringLiteral("The database reported a problem: This database was made by a newer "
                               "version of QNMR Orvane. Please update the app.")},
        {foreign, QStringLiteral("The database reported a problem: This file is not a QNMR Orvane database.")},
        {text, QStringLiteral("The database reported a problem: file is not a database")},
    };
    for (const auto& c : cases) {
        const QByteArray before = sha256(c.path);
        const OVError e = errorOf([&] { OVStore store(c.path); });
        EXPECT_EQ(e.kind(), OVError::Kind::database) << c.path.toStdString();
        EXPECT_EQ(e.errorDescription(), c.description);
        EXPECT_EQ(sha256(c.path), before) << c.path.toStdString();
        EXPECT_FALSE(QFileInfo::exists(c.path + QStringLiteral("-journal")));
    }
}

TEST(OVStoreOpening, UnusableLocations)
{
    ScratchDir dir;
    const QString blocker = dir.file(QStringLiteral("blocker"));
    ASSERT_TRUE(testsupport::writeAll(blocker, "a file where a folder should be"));
    const OVError e = errorOf([&] { OVStore store(blocker + QStringLiteral("/sub/Greenhouse.sqlite")); });
    EXPECT_EQ(e.kind(), OVError::Kind::file);
    EXPECT_TRUE(e.errorDescription().startsWith(blocker + QStringLiteral("/sub: "))) << e.what();
    EXPECT_EQ(testsupport::readAll(blocker), QByteArray("a file where a folder should be"));

    // Without a file name the engine would hand out a temporary database.
    EXPECT_EQ(errorOf([] { OVStore store(QUrl(QStringLiteral("https://quenmoor.example/db"))); }),
              OVError::database(QStringLiteral("could not open")));
}

// A schema that cannot be written leaves the empty file, which the next opening
// initialises normally.
TEST(OVStoreOpening, FailedCreationRollsBackToAnEmptyFile)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Greenhouse.sqlite"));
    ASSERT_TRUE(testsupport::writeAll(path, QByteArray()));
    ASSERT_TRUE(QDir().mkdir(path + QStringLiteral("-journal"))); // the engine cannot make its journal
    const OVError e = errorOf([&] { OVStore store(path); });
    EXPECT_EQ(e.kind(), OVError::Kind::database);
    EXPECT_EQ(QFileInfo(path).size(), 0);

    ASSERT_TRUE(QDir().rmdir(path + QStringLiteral("-journal")));
    EXPECT_NO_THROW(OVStore store(path));
    EXPECT_TRUE(isCompleteStore(path));
}

// The schema and both header fields are one transaction: killing the process at any
// moment of a creation leaves a file that the next opening accepts.
TEST(OVStoreOpening, KilledDuringCreationNeverLeavesARefusedFile)
{
    ScratchDir dir;
    QElapsedTimer clock;
    clock.start();
    { OVStore probe(dir.file(QStringLiteral("probe.sqlite"))); }
    const qint64 creationMicros = std::max<qint64>(clock.nsecsElapsed() / 1000, 200);

    const int runs = 40;
    int finished = 0;
    int interrupted = 0;
    int hotJournals = 0; // killed inside the schema transaction
    for (int i = 0; i < runs; ++i) {
        const QString path = dir.file(QStringLiteral("run%1/Greenhouse.sqlite").arg(i));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = openInChild(path, ready[1]);
        ASSERT_GT(child, 0);
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        // Spread the kills over the whole creation and a little beyond.
        usleep(useconds_t(creationMicros * 3 / 2 * i / runs));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "run " << i;
            ++finished;
        } else {
            ++interrupted;
            if (QFileInfo(path + QStringLiteral("-journal")).size() > 0)
                ++hotJournals;
        }

        EXPECT_NO_THROW(OVStore reopened(path)) << "run " << i;
        EXPECT_TRUE(isCompleteStore(path)) << "run " << i;
    }
    EXPECT_GT(interrupted, 0);
    RecordProperty("finished", finished);
    RecordProperty("interrupted", interrupted);
    RecordProperty("hotJournals", hotJournals);
}

// Processes that open the same new file at the same moment all get the one store:
// whoever takes the write lock second finds the schema made and does not make it again.
TEST(OVStoreOpening, SimultaneousFirstOpeningsAllSucceed)
{
    ScratchDir dir;
    for (int round = 0; round < 5; ++round) {
        const QString path = dir.file(QStringLiteral("shared%1.sqlite").arg(round));
        std::vector<pid_t> children;
        for (int i = 0; i < 6; ++i)
            children.push_back(openInChild(path));
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        EXPECT_TRUE(isCompleteStore(path));
    }
}

// ---- Journal mode ------------------------------------------------------------------

TEST(OVStoreJournal, NewAndOlderFilesRunInTheWriteAheadLogWithFullSync)
{
    ScratchDir dir;
    const QString made = dir.file(QStringLiteral("new.sqlite"));
    const QString older = dir.file(QStringLiteral("older.sqlite"));
    { OVStore store(older); }
    {
        SQLiteDB db(older); // a file from before, in the rollback journal
        db.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
    for (const QString& path : {made, older}) {
        OVStore store(path);
        EXPECT_EQ(journalMode(store), QStringLiteral("wal")) << path.toStdString();
        EXPECT_EQ(store.db().scalarInt(QStringLiteral("PRAGMA synchronous")), 2) << path.toStdString();
        store.db().run(QStringLiteral("INSERT INTO greenhouse (name) VALUES (?)"), {QStringLiteral("North")});
        EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral("-wal")));
    }
    // The last connection to close writes the log into the file: the file alone holds
    // every commit.
    for (const QString& path : {made, older}) {
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal"))) << path.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-shm"))) << path.toStdString();
        SQLiteDB db(path, true, SQLiteDB::Trust::untrusted); // the file only, no log
        EXPECT_EQ(db.scalarInt(QStringLiteral("SELECT count(*) FROM greenhouse")), 1) << path.toStdString();
    }
}

// A worker's long read (an export, a backup) and the window's saves, or a worker's
// write and the window's reads, go on side by side.
TEST(OVStoreJournal, ReadersAndTheWriterDoNotWaitForEachOther)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("Greenhouse.sqlite")));
    for (const QString& name : {QStringLiteral("North"), QStringLiteral("South"), QStringLiteral("East")}) {
        Greenhouse house{.name = name};
        store.save(house);
    }

    // Another connection halfway through reading every greenhouse.
    SQLiteDB worker(store.path());
    sqlite3_stmt* read = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(worker.handle(), "SELECT name FROM greenhouse ORDER BY id", -1, &read, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(read), SQLITE_ROW);
    Greenhouse late{.name = QStringLiteral("Saved during the read")};
    EXPECT_NO_THROW(store.save(late));
    // The reader goes on in the snapshot it began with.
    int rows = 1;
    while (sqlite3_step(read) == SQLITE_ROW)
        ++rows;
    sqlite3_finalize(read);
    EXPECT_EQ(rows, 3);

    // Another connection in the middle of a write: the window reads what was committed.
    worker.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    worker.run(QStringLiteral("INSERT INTO greenhouse (name) VALUES ('Not yet committed')"));
    const OVStore::ReadWatch watch(store);
    EXPECT_EQ(store.greenhouses().size(), 4);
    EXPECT_EQ(watch.read([&] { return store.newestHarvests(10); }).size(), 0);
    EXPECT_FALSE(watch.failed()) << watch.reason().toStdString();
    worker.exec(QStringLiteral("COMMIT"));
    EXPECT_EQ(store.greenhouses().size(), 5);
}

// Where the engine cannot make the log beside the file (a folder that cannot be
// written), a file in the rollback journal still opens and reads as it always did.
// The store is opened in a child process that cannot write to the folder.
TEST(OVStoreJournal, FolderThatCannotBeWrittenKeepsTheRollbackJournal)
{
    ScratchDir dir;
    const QString folder = dir.file(QStringLiteral("shelf"));
    const QString path = folder + QStringLiteral("/Greenhouse.sqlite");
    {
        OVStore store(path);
        store.db().run(QStringLiteral("INSERT INTO greenhouse (name) VALUES (?)"), {QStringLiteral("North")});
    }
    {
        SQLiteDB db(path);
        db.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                      QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther));

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The superuser writes anywhere: the child gives that up first.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(5);
        try {
            OVStore store(path);
            if (store.greenhouses().size() != 1 || journalMode(store) != QStringLiteral("delete"))
                _exit(2);
        } catch (...) {
            _exit(3);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
}

TEST(OVStoreRevision, RisesByOneAndAnnouncesEachValue)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Greenhouse.sqlite"));
    OVStore store(path);
    QList<qint64> announced;
    QObject::connect(&store, &OVStore::revisionChanged, [&](qint64 r) { announced << r; });
    store.changed();
    store.changed();
    EXPECT_EQ(store.revision(), 2);
    EXPECT_EQ(announced, (QList<qint64>{1, 2}));
    OVStore other(path);
    EXPECT_EQ(other.revision(), 0);
}

TEST(OVStoreShared, AssignedStoreUntilItIsDestroyed)
{
    ScratchDir dir;
    EXPECT_EQ(OVStore::shared(), nullptr);
    {
        OVStore store(dir.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(&store);
        EXPECT_EQ(OVStore::shared(), &store);
    }
    EXPECT_EQ(OVStore::shared(), nullptr);
}
