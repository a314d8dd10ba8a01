#include "store/OVStore.h"

#include "services/SampleData.h"

#include "StoreTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using storetest::errorOf;
using storetest::sha256;
using testsupport::ScratchDir;

namespace {

const QString leftAsItWas = QStringLiteral("Your data was left as it was.");

QUrl url(const QString& path)
{
    return QUrl::fromLocalFile(path);
}

// The sample greenhouse plus one photo of `photoBytes` random bytes (photos make a
// file big enough for the size-limit and kill tests).
void fill(OVStore& store, qsizetype photoBytes = 4096)
{
    SampleData::add(store, QDateTime(QDate(2026, 6, 15), QTime(12, 0), Qt::UTC));
    Photo photo;
    photo.plantID = store.plants().value(0).id;
    photo.data.resize(photoBytes);
    QRandomGenerator rng(7);
    rng.fillRange(reinterpret_cast<quint32*>(photo.data.data()), photoBytes / 4);
    photo.caption = QStringLiteral("leaf");
    store.save(photo);
}

void addGreenhouse(OVStore& store, const QString& name)
{
    Greenhouse g;
    g.name = name;
    store.save(g);
}

// Every name in the folder, hidden ones included.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QStringList leftovers(const QString& folder)
{
    QStringList found;
    for (const QString& name : entries(folder))
        if (name.startsWith(QStringLiteral("restore-")) || name.startsWith(QStringLiteral(".ovbackup-")))
            found << name;
    return found;
}

QString digestOf(const QString& path)
{
    OVStore store(path);
    return store.digest();
}

bool integrityOK(const QString& path)
{
    SQLiteDB db(path, true);
    return db.query(QStringLiteral("PRAGMA integrity_check")).value(0).str(QStringLiteral("integrity_check")) ==
           QLatin1String("ok");
}

// Replaces the store's rename for one test and puts the real one back afterwards.
class RenameGuard {
public:
    using Rename = std::function<std::error_code(const QString&, const QString&)>;
    explicit RenameGuard(const std::function<std::error_code(const Rename& real, const QString&, const QString&)>& hook)
        : m_real(OVStore::renameFile)
    {
        const Rename real = m_real;
        OVStore::renameFile = [hook, real](const QString& from, const QString& to) { return hook(real, from, to); };
    }
    ~RenameGuard() { OVStore::renameFile = m_real; }
    const Rename& real() const { return m_real; }

private:
    Rename m_real;
};

std::error_code refused()
{
    return std::make_error_code(std::errc::permission_denied);
}

// Waits for a child, killing it when it has not ended within a minute.
int waitFor(pid_t child)
{
    int status = 0;
    for (int i = 0; i < 6000; ++i) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return status;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    ADD_FAILURE() << "child hung";
    return status;
}

// A store with data and a backup of a different state of it.
struct Fixture {
    ScratchDir dir;
    QString db = dir.file(QStringLiteral("Greenhouse.sqlite"));
    QString backup = dir.file(QStringLiteral("My backup.ovbackup"));
    QString backupDigest;
    QString liveDigest;

    explicit Fixture(qsizetype photoBytes = 4096)
    {
        OVStore store(db);
        fill(store, photoBytes);
        store.backup(url(backup));
        backupDigest = store.digest();
        addGreenhouse(store, QStringLiteral("After the backup"));
        liveDigest = store.digest();
    }
};

} // namespace

// ---- Writing a backup --------------------------------------------------------------

TEST(OVStoreBackupWrite, ReplacesAnExistingFileAtAPathWithAnApostrophe)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("Greenhouse.sqlite")));
    fill(store);
    const QString target = dir.file(QStringLiteral("Tom's greenhouse.ovbackup"));
    ASSERT_TRUE(testsupport::writeAll(target, QByteArrayLiteral("an older file")));

    store.backup(url(target));

    const QMap<QString, qint64> counts = OVStore::inspectBackup(url(target));
    ASSERT_EQ(counts.size(), 13);
    for (const QString& table : OVStore::tables)
        EXPECT_EQ(counts.value(table, -1), store.count(table)) << table.toStdString();
    EXPECT_EQ(digestOf(target), store.digest());
    EXPECT_TRUE(leftovers(dir.path()).isEmpty()) << leftovers(dir.path()).join(u' ').toStdString();
}

// The open database, its side files and other names for them are refused as a
// target, and the store goes on working.
TEST(OVStoreBackupWrite, OpenDatabaseAsTargetIsRefused)
{
    ScratchDir dir;
    const QString db = dir.file(QStringLiteral("Greenhouse.sqlite"));
    OVStore store(db);
    fill(store);
    QDir().mkpath(dir.file(QStringLiteral("sub")));
    ASSERT_EQ(symlink(db.toUtf8().constData(), dir.file(QStringLiteral("link.ovbackup")).toUtf8().constData()), 0);
    ASSERT_EQ(link(db.toUtf8().constData(), dir.file(QStringLiteral("hard.ovbackup")).toUtf8().constData()), 0);
    const QByteArray before = sha256(db);

    const QStringList targets = {db,
                                 db + QStringLiteral("-journal"),
                                 db + QStringLiteral("-wal"),
                                 db + QStringLiteral("-shm"),
                                 dir.file(QStringLiteral("sub/../Greenhouse.sqlite")),
                                 dir.file(QStringLiteral("link.ovbackup")),
                                 dir.file(QStringLiteral("hard.ovbackup"))};
    for (const QString& target : targets) {
        const OVError e = errorOf([&] { store.backup(url(target)); });
        EXPECT_EQ(e.kind(), OVError::Kind::invalid) << target.toStdString();
        EXPECT_EQ(e.errorDescription(),
                  QStringLiteral("The backup could not be saved: choose a file other than the open database."));
    }
    EXPECT_EQ(sha256(db), before);
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());

    addGreenhouse(store, QStringLiteral("Still working"));
    EXPECT_EQ(store.greenhouses().size(), 2);
    EXPECT_TRUE(integrityOK(db));
}

namespace {

bool writeSmallFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text.constData(), size_t(text.size())) == text.size();
    if (fd >= 0)
        ::close(fd);
    return written;
}

// Gives this process (a forked child: a process with threads may not) mounts of its
// own that nothing else sees: as root, a private mount namespace; else as root of a
// user namespace of its own.
bool privateMounts()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const QByteArray uid = QByteArray::number(getuid()), gid = QByteArray::number(getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !writeSmallFile("/proc/self/setgroups", "deny") ||
            !writeSmallFile("/proc/self/uid_map", "0 " + uid + " 1") ||
            !writeSmallFile("/proc/self/gid_map", "0 " + gid + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

} // namespace

// Inode numbers repeat across file systems: a file on another one that has the
// database's number is not the database. Two tmpfs number their files alike from
// the start, so a child process mounts two where only it sees them and asks there.
TEST(OVStoreBackupWrite, AFileOnAnotherFileSystemWithTheDatabasesInodeIsNotIt)
{
    ScratchDir dir;
    const QByteArray first = QFile::encodeName(dir.file(QStringLiteral("first")));
    const QByteArray second = QFile::encodeName(dir.file(QStringLiteral("second")));
    ASSERT_EQ(::mkdir(first.constData(), 0700), 0);
    ASSERT_EQ(::mkdir(second.constData(), 0700), 0);
    enum Answer { notOwn = 0, own = 1, noMounts = 2, noTwin = 3, linkNotOwn = 4, ownByInode = 5 };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!privateMounts() || ::mount("tmpfs", first.constData(), "tmpfs", 0, "size=16m") != 0 ||
            ::mount("tmpfs", second.constData(), "tmpfs", 0, "size=16m") != 0)
            _exit(noMounts);
        const QString db = QFile::decodeName(first) + QStringLiteral("/Greenhouse.sqlite");
        OVStore store(db);
        struct stat live {};
        if (::stat(QFile::encodeName(db).constData(), &live) != 0)
            _exit(noTwin);
        // Another name of the database on its own file system is it: the question is
        // answered by inode here, not by a name, whether it is asked by a name or by a
        // device and inode.
        const QByteArray hard = first + "/hard";
        if (::link(QFile::encodeName(db).constData(), hard.constData()) != 0 || !store.isOwnFile(QFile::decodeName(hard)) ||
            !store.isOwnFile(quint64(live.st_dev), quint64(live.st_ino)))
            _exit(linkNotOwn);
        for (int n = 0; n < 64; ++n) {
            const QByteArray twin = second + "/file" + QByteArray::number(n);
            const int fd = ::open(twin.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            struct stat made {};
            if (fd < 0 || ::fstat(fd, &made) != 0)
                _exit(noTwin);
            ::close(fd);
            if (made.st_ino == live.st_ino && made.st_dev != live.st_dev)
                _exit(store.isOwnFile(QFile::decodeName(twin)) ? own
                      : store.isOwnFile(quint64(made.st_dev), quint64(made.st_ino)) ? ownByInode
                                                                                     : notOwn);
        }
        _exit(noTwin);
    }
    int status = 0;
    ASSERT_TRUE(testsupport::waitForChild(child, status, testsupport::childAnswerMs)) << "the child did not answer";
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == noMounts)
        GTEST_SKIP() << "this system refuses mounts of a process's own";
    if (WEXITSTATUS(status) == noTwin)
        GTEST_SKIP() << "this system's tmpfs numbers its files across mounts";
    EXPECT_EQ(WEXITSTATUS(status), notOwn) << "1: the other file system's file was taken for the database; "
                                              "4: another name of the database was not; "
                                              "5: the other file system's device and inode were taken for it";
}

TEST(OVStoreBackupWrite, FolderAsTargetFailsWithoutLeavingATemporaryFile)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("Greenhouse.sqlite")));
    const QString folder = dir.file(QStringLiteral("taken.ovbackup"));
    QDir().mkpath(folder + QStringLiteral("/inside"));

    const OVError e = errorOf([&] { store.backup(url(folder)); });
    EXPECT_EQ(e.kind(), OVError::Kind::file);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inside")).isDir());
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());
}

TEST(OVStoreBackupWrite, MissingFolderIsADatabaseError)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("Greenhouse.sqlite")));
    const OVError e = errorOf([&] { store.backup(url(dir.file(QStringLiteral("no/such/folder/x.ovbackup")))); });
    EXPECT_EQ(e.kind(), OVError::Kind::database);
}

// A file-size limit stands in for a full disk: the copy fails midway, in a child
// process so the limit stays there.
TEST(OVStoreBackupWrite, CopyFailingMidwayKeepsTheOldBackupWhole)
{
    Fixture f(3 << 20);
    const QByteArray oldBackup = sha256(f.backup);
    ASSERT_GT(QFileInfo(f.db).size(), 2 << 20);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            OVStore store(f.db);
            store.backup(url(f.backup));
        } catch (const OVError& e) {
            _exit(e.kind() == OVError::Kind::database ? 0 : 2);
        } catch (...) {
            _exit(3);
        }
        _exit(1); // the copy should not have fitted
    }
    const int status = waitFor(child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(sha256(f.backup), oldBackup);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
    EXPECT_EQ(digestOf(f.backup), f.backupDigest);
}

// Replaces the store's sync for one test and puts the real one back afterwards.
class SyncGuard {
public:
    using Sync = std::function<std::error_code(const QString&)>;
    explicit SyncGuard(const std::function<std::error_code(const Sync& real, const QString&)>& hook)
        : m_real(OVStore::syncFile)
    {
        const Sync real = m_real;
        OVStore::syncFile = [hook, real](const QString& path) { return hook(real, path); };
    }
    ~SyncGuard() { OVStore::syncFile = m_real; }

private:
    Sync m_real;
};

// The copy reaches the disk before its name is published: the file that is synced
// is the one then renamed onto the target, and the sync comes first.
TEST(OVStoreBackupWrite, CopyIsSyncedBeforeItIsRenamedIntoPlace)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("Greenhouse.sqlite")));
    fill(store);
    const QString target = dir.file(QStringLiteral("Weekly.ovbackup"));
    QStringList steps;
    const SyncGuard sync([&](const SyncGuard::Sync& real, const QString& path) {
        steps << QStringLiteral("sync ") + path;
        return real(path);
    });
    const RenameGuard rename([&](const RenameGuard::Rename& real, const QString& from, const QString& to) {
        steps << QStringLiteral("rename ") + from;
        return real(from, to);
    });

    store.backup(url(target));

    ASSERT_EQ(steps.size(), 2) << steps.join(u'\n').toStdString();
    const QString temp = steps.at(0).mid(5);
    EXPECT_TRUE(steps.at(0).startsWith(QStringLiteral("sync "))) << steps.at(0).toStdString();
    EXPECT_EQ(steps.at(1), QStringLiteral("rename ") + temp);
    EXPECT_EQ(QFileInfo(temp).absolutePath(), QFileInfo(target).absolutePath());
    EXPECT_EQ(digestOf(target), store.digest());
}

// A sync that fails (a full or failing disk) publishes nothing: the old backup stays
// whole, the copy is removed, and the error names the file.
TEST(OVStoreBackupWrite, FailingSyncKeepsTheOldBackupAndLeavesNothing)
{
    Fixture f;
    const QByteArray oldBackup = sha256(f.backup);
    int renames = 0;
    const SyncGuard sync([](const SyncGuard::Sync&, const QString&) { return std::make_error_code(std::errc::io_error); });
    const RenameGuard rename([&](const RenameGuard::Rename& real, const QString& from, const QString& to) {
        ++renames;
        return real(from, to);
    });
    OVStore store(f.db);

    const OVError e = errorOf([&] { store.backup(url(f.backup)); });
    EXPECT_EQ(e.kind(), OVError::Kind::file);
    EXPECT_EQ(renames, 0);
    EXPECT_EQ(sha256(f.backup), oldBackup);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();

    // The safety copy of a restore is synced the same way: failing, nothing is replaced.
    const OVError restoreError = errorOf([&] { store.restore(url(f.backup)); });
    EXPECT_EQ(restoreError.kind(), OVError::Kind::file);
    EXPECT_EQ(renames, 0);
    EXPECT_EQ(store.digest(), f.liveDigest);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

// ---- Inspection ---------------------------------------------------------------------

namespace {

QString copyOf(const Fixture& f, const QString& name)
{
    const QString path = f.dir.file(name);
    QFile::copy(f.backup, path);
    return path;
}

void alter(const QString& path, const QString& sql)
{
    SQLiteDB db(path);
    db.exec(sql);
}

} // namespace

// Each bad file is refused with its reason, through inspection and through restore,
// and neither touches the live database.
TEST(OVStoreInspection, RefusesBadFilesWithTheirReasonWithoutChangingTheDatabase)
{
    Fixture f;
    struct Case {
        QString name;
        QString path;
        QString reason;
    };
    std::vector<Case> cases;
    const auto add = [&](const QString& name, const QString& path, const QString& reason) {
        cases.push_back({name, path, reason});
    };

    const QString text = f.dir.file(QStringLiteral("text.ovbackup"));
    testsupport::writeAll(text, QByteArrayLiteral("Date,Temp\n2026-06-01,71\n"));
    add(QStringLiteral("text file"), text, QStringLiteral("it is not a database file."));

    const QString empty = f.dir.file(QStringLiteral("empty.ovbackup"));
    testsupport::writeAll(empty, QByteArray());
    add(QStringLiteral("empty file"), empty, QStringLiteral("it was not made by QNMR Orvane."));

    const QString folder = f.dir.file(QStringLiteral("folder.ovbackup"));
    QDir().mkpath(folder);
    add(QStringLiteral("folder"), folder, QStringLiteral("it is not a database file."));

    const QString fifo = f.dir.file(QStringLiteral("pipe.ovbackup"));
    ASSERT_EQ(mkfifo(fifo.toUtf8().constData(), 0600), 0);
    add(QStringLiteral("named pipe"), fifo, QStringLiteral("it is not a database file."));

    add(QStringLiteral("missing file"), f.dir.file(QStringLiteral("missing.ovbackup")),
        QStringLiteral("the file was not found."));
    const QString dangling = f.dir.file(QStringLiteral("dangling.ovbackup"));
    ASSERT_EQ(symlink("nowhere.ovbackup", dangling.toUtf8().constData()), 0);
    add(QStringLiteral("dangling link"), dangling, QStringLiteral("the file was not found."));

    const QString truncated = copyOf(f, QStringLiteral("truncated.ovbackup"));
    ASSERT_TRUE(QFile::resize(truncated, QFileInfo(truncated).size() / 2));
    // The engine already refuses to read the header of a file shorter than it says.
    add(QStringLiteral("truncated"), truncated, QStringLiteral("it is not a database file."));


    const QString flipped = copyOf(f, QStringLiteral("flipped.ovbackup"));
    {
        QByteArray bytes = testsupport::readAll(flipped);
        const qsizetype page = 4096;
        const qsizetype at = (bytes.size() / page / 2) * page;
        for (qsizetype i = at; i < at + 32; ++i)
            bytes[i] = char(bytes[i] ^ 0xFF);
        testsupport::writeAll(flipped, bytes);
    }
    add(QStringLiteral("flipped page"), flipped, QStringLiteral("the file is damaged."));

    // Copies of the backup, each changed by one statement.
    const auto addAltered = [&](const QString& name, const QString& file, const QString& sql, const QString& reason) {
        const QString path = copyOf(f, file);
        alter(path, sql);
        add(name, path, reason);
    };
    addAltered(QStringLiteral("foreign application_id"), QStringLiteral("foreign.ovbackup"),
               QStringLiteral("PRAGMA application_id = 12345"), QStringLiteral("it was not made by QNMR Orvane."));
    addAltered(QStringLiteral("user_version 2"), QStringLiteral("newer.ovbackup"),
               QStringLiteral("PRAGMA user_version = 2"), QStringLiteral("it was made by a newer version of the app."));
    addAltered(QStringLiteral("user_version 0"), QStringLiteral("zero.ovbackup"),
               QStringLiteral("PRAGMA user_version = 0"), QStringLiteral("it was made by a newer version of the app."));
    addAltered(QStringLiteral("harvest dropped"), QStringLiteral("dropped.ovbackup"),
               QStringLiteral("DROP TABLE harvest"), QStringLiteral("the harvest table is missing."));
    addAltered(QStringLiteral("table replaced by a view"), QStringLiteral("view-table.ovbackup"),
               QStringLiteral("DROP TABLE germ_test; CREATE VIEW germ_test AS SELECT * FROM seed"),
               QStringLiteral("the germ_test table is missing."));
    addAltered(QStringLiteral("trigger"), QStringLiteral("trigger.ovbackup"),
               QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON plant BEGIN DELETE FROM harvest; END"),
               QStringLiteral("it contains triggers or views, which QNMR Orvane backups never have."));
    addAltered(QStringLiteral("extra view"), QStringLiteral("view.ovbackup"),
               QStringLiteral("CREATE VIEW extra AS SELECT 1"),
               QStringLiteral("it contains triggers or views, which QNMR Orvane backups never have."));

    OVStore store(f.db);
    const QByteArray liveBytes = sha256(f.db);
    for (const Case& c : cases) {
        const QByteArray candidate = QFileInfo(c.path).isFile() ? sha256(c.path) : QByteArray();
        const OVError inspected = errorOf([&] { OVStore::inspectBackup(url(c.path)); });
        EXPECT_EQ(inspected.kind(), OVError::Kind::badBackup) << c.name.toStdString();
        EXPECT_EQ(inspected.payload().toStdString(), c.reason.toStdString()) << c.name.toStdString();
        const OVError restored = errorOf([&] { store.restore(url(c.path)); });
        EXPECT_EQ(restored.errorDescription().toStdString(),
                  ("This file can't be restored: " + c.reason).toStdString())
            << c.name.toStdString();
        EXPECT_EQ(sha256(f.db), liveBytes) << c.name.toStdString();
        if (!candidate.isEmpty()) {
            EXPECT_EQ(sha256(c.path), candidate) << c.name.toStdString() << " was changed by inspection";
        }
    }
    EXPECT_EQ(store.digest(), f.liveDigest);
    EXPECT_EQ(store.revision(), 0);
    for (const QString& name : entries(f.dir.path()))
        EXPECT_FALSE(name.startsWith(QStringLiteral("Before restore"))) << name.toStdString();
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty());
}

// ---- Restore ------------------------------------------------------------------------

TEST(OVStoreRestore, SafetyCopyHoldsThePreviousDataAndNothingElseIsLeft)
{
    Fixture f;
    OVStore store(f.db);
    const QDateTime now(QDate(2026, 3, 7), QTime(9, 5, 3));

    const QUrl safety = store.restore(url(f.backup), now);

    EXPECT_EQ(safety.toLocalFile(), f.dir.file(QStringLiteral("Before restore 2026-03-07 090503.sqlite")));
    EXPECT_EQ(store.digest(), f.backupDigest);
    EXPECT_EQ(store.revision(), 1);
    EXPECT_EQ(digestOf(safety.toLocalFile()), f.liveDigest);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.db + QStringLiteral("-journal")));
}

TEST(OVStoreRestore, SafetyCopiesNeverOverwriteEachOther)
{
    Fixture f;
    OVStore store(f.db);
    const QDateTime now(QDate(2026, 3, 7), QTime(9, 5, 3));
    const QString first = f.dir.file(QStringLiteral("Before restore 2026-03-07 090503.sqlite"));

    EXPECT_EQ(store.restore(url(f.backup), now).toLocalFile(), first);
    const QByteArray firstBytes = sha256(first);
    addGreenhouse(store, QStringLiteral("Between the restores"));
    const QString between = store.digest();
    testsupport::writeAll(f.dir.file(QStringLiteral("Before restore 2026-03-07 090503 (3).sqlite")), "mine");

    const QString second = store.restore(url(f.backup), now).toLocalFile();
    const QString third = store.restore(url(f.backup), now).toLocalFile();

    EXPECT_EQ(second, f.dir.file(QStringLiteral("Before restore 2026-03-07 090503 (2).sqlite")));
    EXPECT_EQ(third, f.dir.file(QStringLiteral("Before restore 2026-03-07 090503 (4).sqlite")));
    EXPECT_EQ(sha256(first), firstBytes);
    EXPECT_EQ(digestOf(second), between);
    EXPECT_EQ(testsupport::readAll(f.dir.file(QStringLiteral("Before restore 2026-03-07 090503 (3).sqlite"))),
              QByteArray("mine"));
}

// A save while the restore was prepared makes the swap take a fresh safety copy; the
// earlier one stays beside it under its own name, with the data it was taken with.
TEST(OVStoreRestore, FreshSafetyCopyKeepsTheEarlierOne)
{
    Fixture f;
    OVStore store(f.db);
    const QDateTime now(QDate(2026, 3, 7), QTime(9, 5, 3));
    const OVStore::RestorePlan plan = OVStore::prepareRestore(f.db, url(f.backup), now);
    addGreenhouse(store, QStringLiteral("Saved while the copy was prepared"));
    const QString withIt = store.digest();

    const QString safety = store.finishRestore(plan, 0).toLocalFile();

    EXPECT_EQ(plan.safety, f.dir.file(QStringLiteral("Before restore 2026-03-07 090503.sqlite")));
    EXPECT_EQ(safety, f.dir.file(QStringLiteral("Before restore 2026-03-07 090503 (2).sqlite")));
    EXPECT_EQ(digestOf(plan.safety), f.liveDigest);
    EXPECT_EQ(digestOf(safety), withIt);
    EXPECT_EQ(store.digest(), f.backupDigest);
}

// The file is swapped where it really lies: a database reached through a link keeps
// its link, and the incoming copy is made beside the real file.
TEST(OVStoreRestore, DatabaseReachedThroughALinkKeepsItsLink)
{
    Fixture f;
    QDir().mkpath(f.dir.file(QStringLiteral("app")));
    const QString linked = f.dir.file(QStringLiteral("app/Greenhouse.sqlite"));
    ASSERT_EQ(symlink(f.db.toUtf8().constData(), linked.toUtf8().constData()), 0);
    OVStore store(linked);

    const QUrl safety = store.restore(url(f.backup));

    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(digestOf(f.db), f.backupDigest);
    EXPECT_EQ(store.digest(), f.backupDigest);
    EXPECT_EQ(QFileInfo(safety.toLocalFile()).absolutePath(), f.dir.file(QStringLiteral("app")));
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

TEST(OVStoreRestore, FailingSwapLeavesTheDataAsItWas)
{
    Fixture f;
    OVStore store(f.db);
    const QByteArray liveBytes = sha256(f.db);
    RenameGuard guard([&](const auto& real, const QString& from, const QString& to) {
        return to == f.db ? refused() : real(from, to);
    });

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });

    EXPECT_EQ(e.kind(), OVError::Kind::badBackup);
    EXPECT_TRUE(e.payload().startsWith(QStringLiteral("the copy could not be put in place (") + f.db));
    EXPECT_TRUE(e.payload().endsWith(QStringLiteral("). ") + leftAsItWas)) << e.payload().toStdString();
    EXPECT_EQ(sha256(f.db), liveBytes);
    EXPECT_EQ(store.digest(), f.liveDigest);
    EXPECT_EQ(store.revision(), 1);
    addGreenhouse(store, QStringLiteral("Still working"));
    EXPECT_EQ(store.greenhouses().size(), 3);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

// The swap happens and the reopened file is then refused (here: marked as newer
// right after the swap): the previous file itself is put back, byte for byte.
TEST(OVStoreRestore, FailureAfterTheSwapPutsThePreviousFileBack)
{
    Fixture f;
    OVStore store(f.db);
    const QByteArray liveBytes = sha256(f.db);
    RenameGuard guard([&](const auto& real, const QString& from, const QString& to) {
        const std::error_code e = real(from, to);
        if (!e && to == f.db && from.endsWith(QStringLiteral(".sqlite")))
            alter(to, QStringLiteral("PRAGMA user_version = 7"));
        return e;
    });

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });

    EXPECT_TRUE(e.payload().endsWith(leftAsItWas)) << e.payload().toStdString();
    EXPECT_TRUE(e.payload().contains(QStringLiteral("newer version"))) << e.payload().toStdString();
    EXPECT_EQ(sha256(f.db), liveBytes);
    EXPECT_EQ(store.digest(), f.liveDigest);
    EXPECT_EQ(store.revision(), 1);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

TEST(OVStoreRestore, UndoFallsBackToTheSafetyCopy)
{
    Fixture f;
    OVStore store(f.db);
    int calls = 0;
    RenameGuard guard([&](const auto& real, const QString& from, const QString& to) {
        if (to != f.db)
            return real(from, to);
        ++calls;
        if (calls == 2) // putting the previous file back
            return refused();
        const std::error_code e = real(from, to);
        if (calls == 1)
            alter(to, QStringLiteral("PRAGMA user_version = 7"));
        return e;
    });

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });

    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(e.payload().endsWith(leftAsItWas)) << e.payload().toStdString();
    EXPECT_EQ(store.digest(), f.liveDigest);
    addGreenhouse(store, QStringLiteral("Still working"));
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

// When nothing can be put back, the message says so and names the safety copy,
// which holds the data from before the restore.
TEST(OVStoreRestore, UndoThatFailsNamesTheSafetyCopy)
{
    Fixture f;
    OVStore store(f.db);
    int calls = 0;
    RenameGuard guard([&](const auto& real, const QString& from, const QString& to) {
        if (to != f.db)
            return real(from, to);
        if (++calls > 1)
            return refused();
        const std::error_code e = real(from, to);
        alter(to, QStringLiteral("PRAGMA user_version = 7"));
        return e;
    });

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });

    EXPECT_FALSE(e.payload().contains(leftAsItWas)) << e.payload().toStdString();
    QString safety;
    for (const QString& name : entries(f.dir.path()))
        if (name.startsWith(QStringLiteral("Before restore ")))
            safety = f.dir.file(name);
    ASSERT_FALSE(safety.isEmpty());
    EXPECT_TRUE(e.payload().contains(QLatin1Char('"') + safety + QLatin1Char('"'))) << e.payload().toStdString();
    EXPECT_EQ(digestOf(safety), f.liveDigest);
    EXPECT_EQ(store.revision(), 0);

    // The store is left closed. A restore asked for again says so, as every other
    // operation on it does, not that another program has the file; it writes nothing.
    const QStringList before = entries(f.dir.path());
    EXPECT_EQ(errorOf([&] { store.restore(url(f.backup)); }), OVError::database(QStringLiteral("closed")));
    EXPECT_EQ(entries(f.dir.path()), before);
}

TEST(OVStoreRestore, LiveStatementRefusesTheRestoreBeforeTheSwap)
{
    Fixture f;
    OVStore store(f.db);
    SQLiteDB::Statement held = store.db().prepare(QStringLiteral("SELECT count(*) FROM plant"));

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });

    EXPECT_EQ(e.kind(), OVError::Kind::database);
    EXPECT_EQ(store.digest(), f.liveDigest);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty());
    addGreenhouse(store, QStringLiteral("Still working"));
}

// A backup bigger than the room left: the copy into place fails, the store stays
// open on its unchanged data and the safety copy stays.
TEST(OVStoreRestore, CopyFailureLeavesTheStoreOpenAndUnchanged)
{
    ScratchDir dir;
    const QString big = dir.file(QStringLiteral("big.ovbackup"));
    {
        OVStore source(dir.file(QStringLiteral("source.sqlite")));
        fill(source, 3 << 20);
        source.backup(url(big));
    }
    const QString db = dir.file(QStringLiteral("Greenhouse.sqlite"));
    QString before;
    {
        OVStore store(db);
        fill(store);
        before = store.digest();
    }

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            OVStore store(db);
            try {
                store.restore(url(big));
                _exit(1);
            } catch (const OVError& e) {
                if (e.kind() != OVError::Kind::file)
                    _exit(2);
            }
            if (store.digest() != before || store.revision() != 0)
                _exit(3);
            addGreenhouse(store, QStringLiteral("Still working"));
        } catch (...) {
            _exit(4);
        }
        _exit(0);
    }
    const int status = waitFor(child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(leftovers(dir.path()).isEmpty()) << leftovers(dir.path()).join(u' ').toStdString();
    int safetyCopies = 0;
    for (const QString& name : entries(dir.path()))
        safetyCopies += name.startsWith(QStringLiteral("Before restore ")) ? 1 : 0;
    EXPECT_EQ(safetyCopies, 1);
}

// ---- Restore killed midway ------------------------------------------------------

namespace {

// What the next start finds after a restore was killed: either the old or the new
// data, in a file that opens and passes the integrity check.
void expectOldOrNew(const Fixture& f, const char* when)
{
    QString found;
    EXPECT_NO_THROW(found = digestOf(f.db)) << when;
    EXPECT_TRUE(found == f.liveDigest || found == f.backupDigest) << when;
    EXPECT_TRUE(integrityOK(f.db)) << when;
}

} // namespace

// Killed right before and right after the swap itself.
TEST(OVStoreRestoreKilled, AtTheSwapLeavesOldOrNewData)
{
    for (const bool afterSwap : {false, true}) {
        Fixture f;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const auto real = OVStore::renameFile;
            OVStore::renameFile = [&](const QString& from, const QString& to) {
                if (to != f.db)
                    return real(from, to);
                if (!afterSwap)
                    raise(SIGKILL);
                const std::error_code e = real(from, to);
                raise(SIGKILL);
                return e;
            };
            try {
                OVStore store(f.db);
                store.restore(url(f.backup));
            } catch (...) {
            }
            _exit(0);
        }
        const int status = waitFor(child);
        ASSERT_TRUE(WIFSIGNALED(status));
        expectOldOrNew(f, afterSwap ? "after the swap" : "before the swap");
        const QString expected = afterSwap ? f.backupDigest : f.liveDigest;
        EXPECT_EQ(digestOf(f.db), expected);
    }
}

// Killed at moments spread over the whole restore, from the inspection to the reopen
// and a little beyond.
TEST(OVStoreRestoreKilled, AtAnyMomentLeavesOldOrNewData)
{
    Fixture f(6 << 20);
    const QString pristine = f.dir.file(QStringLiteral("pristine.sqlite"));
    ASSERT_TRUE(QFile::copy(f.db, pristine));

    qint64 fullMicros = 0;
    {
        ScratchDir probe;
        const QString db = probe.file(QStringLiteral("Greenhouse.sqlite"));
        QFile::copy(pristine, db);
        QElapsedTimer clock;
        clock.start();
        OVStore store(db);
        store.restore(url(f.backup));
        fullMicros = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);
    }

    const int runs = 30;
    int sawOld = 0;
    int sawNew = 0;
    for (int i = 0; i < runs; ++i) {
        QFile::remove(f.db);
        ASSERT_TRUE(QFile::copy(pristine, f.db));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            try {
                OVStore store(f.db);
                const char go = 'g';
                if (write(ready[1], &go, 1) != 1)
                    _exit(4);
                store.restore(url(f.backup));
            } catch (...) {
                _exit(3);
            }
            _exit(0);
        }
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        usleep(useconds_t(fullMicros * 3 / 2 * i / runs));
        kill(child, SIGKILL);
        waitFor(child);

        const QByteArray when = "kill " + QByteArray::number(i);
        expectOldOrNew(f, when.constData());
        (digestOf(f.db) == f.liveDigest ? sawOld : sawNew) += 1;
    }
    EXPECT_GT(sawOld, 0);
    RecordProperty("old", sawOld);
    RecordProperty("new", sawNew);
}

// ---- Journal modes and side files ----------------------------------------------------

namespace {

// Names in the folder that the engine makes beside a database.
QStringList sideFiles(const QString& folder)
{
    QStringList found;
    for (const QString& name : entries(folder))
        if (name.endsWith(QStringLiteral("-wal")) || name.endsWith(QStringLiteral("-shm")) ||
            name.endsWith(QStringLiteral("-journal")))
            found << name;
    return found;
}

// A copy of the fixture's backup switched to write-ahead logging, as a copy of a
// database that another program ran in WAL mode would be.
QString walBackup(const Fixture& f)
{
    const QString path = copyOf(f, QStringLiteral("wal.ovbackup"));
    {
        SQLiteDB db(path);
        db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray header = file.read(20);
    EXPECT_EQ(header.mid(18, 2), QByteArray("\x02\x02", 2));
    return path;
}

} // namespace

TEST(OVStoreInspection, WritesNothingBesideTheInspectedFile)
{
    Fixture f;
    // 27 bytes: the engine's magic text, page size 512, read and write versions 2 (WAL).
    const QString stub = f.dir.file(QStringLiteral("stub.ovbackup"));
    QByteArray bytes("SQLite format 3", 16);
    bytes += QByteArray("\x02\x00\x02\x02", 4) + QByteArray(7, '\0');
    ASSERT_EQ(bytes.size(), 27);
    ASSERT_TRUE(testsupport::writeAll(stub, bytes));
    EXPECT_EQ(errorOf([&] { OVStore::inspectBackup(url(stub)); }).kind(), OVError::Kind::badBackup);

    const QString wal = walBackup(f);
    ASSERT_TRUE(sideFiles(f.dir.path()).isEmpty()) << sideFiles(f.dir.path()).join(u' ').toStdString();
    const QByteArray walBytes = testsupport::readAll(wal);
    EXPECT_EQ(OVStore::inspectBackup(url(wal)).value(QStringLiteral("plant")), 3);

    EXPECT_TRUE(sideFiles(f.dir.path()).isEmpty()) << sideFiles(f.dir.path()).join(u' ').toStdString();
    EXPECT_EQ(testsupport::readAll(wal), walBytes);
    EXPECT_EQ(testsupport::readAll(stub), bytes);
}

TEST(OVStoreRestore, WalBackupComesInWithTheJournalOfANewDatabase)
{
    Fixture f;
    const QString wal = walBackup(f);
    OVStore store(f.db);
    store.restore(url(wal), QDateTime(QDate(2026, 3, 7), QTime(9, 5, 3)));

    EXPECT_EQ(store.digest(), f.backupDigest);
    EXPECT_EQ(store.db().query(QStringLiteral("PRAGMA journal_mode")).value(0).str(QStringLiteral("journal_mode")),
              QStringLiteral("wal"));
    addGreenhouse(store, QStringLiteral("Written after the restore"));
    // Only the open database's own log; nothing beside the backup or the safety copy.
    EXPECT_EQ(sideFiles(f.dir.path()),
              QStringList({QStringLiteral("Greenhouse.sqlite-shm"), QStringLiteral("Greenhouse.sqlite-wal")}));
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
    // A new database's own journal mode, for a database opened afresh as well.
    OVStore fresh(f.dir.file(QStringLiteral("new.sqlite")));
    EXPECT_EQ(fresh.db().query(QStringLiteral("PRAGMA journal_mode")).value(0).str(QStringLiteral("journal_mode")),
              QStringLiteral("wal"));
}

// The backup of a store whose latest commits still sit in its log: one file that holds
// them all and asks for the rollback journal, so opening or inspecting it makes no
// side file beside it.
TEST(OVStoreBackupWrite, CopyOfAStoreInTheWriteAheadLogStandsAlone)
{
    Fixture f;
    OVStore store(f.db);
    addGreenhouse(store, QStringLiteral("Only in the log so far"));
    ASSERT_GT(QFileInfo(f.db + QStringLiteral("-wal")).size(), 0);
    ScratchDir shelf;
    const QString copy = shelf.file(QStringLiteral("Weekly.ovbackup"));

    store.backup(url(copy));

    const QByteArray header = testsupport::readAll(copy).left(20);
    EXPECT_EQ(header.mid(18, 2), QByteArray("\x01\x01", 2));
    EXPECT_EQ(OVStore::inspectBackup(url(copy)).value(QStringLiteral("greenhouse")), store.count(QStringLiteral("greenhouse")));
    EXPECT_EQ(entries(shelf.path()), QStringList{QStringLiteral("Weekly.ovbackup")});
    EXPECT_EQ(digestOf(copy), store.digest());
}

// The commits that sit in the log when a restore begins are in the file renamed
// aside: a swap that fails takes none of them with it, even where closing the store
// does not write the log into the file.
TEST(OVStoreRestore, CommitsStillInTheLogSurviveAFailingSwap)
{
    Fixture f;
    OVStore store(f.db);
    ASSERT_EQ(sqlite3_db_config(store.db().handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr), SQLITE_OK);
    addGreenhouse(store, QStringLiteral("Only in the log so far"));
    const QString withIt = store.digest();
    RenameGuard guard([&](const auto& real, const QString& from, const QString& to) {
        return to == f.db ? refused() : real(from, to);
    });

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });

    EXPECT_TRUE(e.payload().endsWith(leftAsItWas)) << e.payload().toStdString();
    EXPECT_EQ(store.digest(), withIt);
    store.db().close();
    EXPECT_EQ(digestOf(f.db), withIt);
}

namespace {

const OVError stillInUse = OVError::database(QStringLiteral(
    "the database is still in use, so it was not replaced. Close any other program that has it open, then try again."));

} // namespace

// A reader in the middle of its snapshot keeps the log from being written into the
// file: the restore is refused before anything changes.
TEST(OVStoreRestore, ReaderOfAnotherConnectionRefusesTheRestore)
{
    Fixture f;
    OVStore store(f.db);
    SQLiteDB reader(f.db);
    reader.exec(QStringLiteral("BEGIN"));
    reader.query(QStringLiteral("SELECT count(*) FROM plant"));
    addGreenhouse(store, QStringLiteral("After the reader began"));
    const QString now = store.digest();

    const OVError e = errorOf([&] { store.restore(url(f.backup)); });
    reader.exec(QStringLiteral("COMMIT"));

    EXPECT_EQ(e, stillInUse);
    EXPECT_EQ(store.digest(), now);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

namespace {

// A connection through the engine's own interface, as any other program makes one.
struct PlainConnection {
    sqlite3* db = nullptr;
    explicit PlainConnection(const QString& path) { sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr); }
    ~PlainConnection() { sqlite3_close(db); }
    qint64 number(const char* sql) const
    {
        sqlite3_stmt* statement = nullptr;
        qint64 n = -1;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
            n = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return n;
    }
    bool run(const char* sql) const { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

} // namespace

// Another connection that is open but idle holds no lock a checkpoint waits for; had
// the file been swapped under it, its next save would have gone into a log the swap
// unlinked, reported done and lost. Whether it has read the file or only opened it,
// the restore is refused and changes nothing, and its save lands in the live file.
// One that has read the file is seen before the safety copy: none is written. Once
// it has closed, the restore goes ahead.
TEST(OVStoreRestore, AnIdleConnectionRefusesTheRestoreAndKeepsItsSave)
{
    for (const bool hasRead : {true, false}) {
        SCOPED_TRACE(hasRead ? "read once" : "only opened");
        Fixture f;
        OVStore store(f.db);
        const qint64 houses = store.count(QStringLiteral("greenhouse"));
        auto other = std::make_unique<PlainConnection>(f.db);
        if (hasRead) {
            ASSERT_EQ(other->number("SELECT count(*) FROM greenhouse"), houses);
        }
        const QByteArray liveBytes = sha256(f.db);
        const QStringList before = entries(f.dir.path());

        EXPECT_EQ(errorOf([&] { store.restore(url(f.backup)); }), stillInUse);
        EXPECT_EQ(sha256(f.db), liveBytes);
        if (hasRead) {
            EXPECT_EQ(entries(f.dir.path()), before) << "no safety copy for a refused restore";
        }
        EXPECT_EQ(store.digest(), f.liveDigest);
        EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();

        ASSERT_TRUE(other->run("INSERT INTO greenhouse (name) VALUES ('Saved by the other program')"));
        EXPECT_EQ(other->number("SELECT count(*) FROM greenhouse"), houses + 1);
        EXPECT_EQ(store.count(QStringLiteral("greenhouse")), houses + 1);
        addGreenhouse(store, QStringLiteral("Still working"));
        EXPECT_EQ(other->number("SELECT count(*) FROM greenhouse"), houses + 2);

        other.reset();
        EXPECT_NO_THROW(store.restore(url(f.backup)));
        EXPECT_EQ(store.digest(), f.backupDigest);
    }
}

// A connection that first reads the file while the backup is being copied in (after
// the check made before the slow half) is still found at the swap: the refusal there
// gives the same advice, and nothing changes.
TEST(OVStoreRestore, AReaderThatArrivesDuringThePreparationRefusesTheSwap)
{
    Fixture f;
    OVStore store(f.db);
    const qint64 houses = store.count(QStringLiteral("greenhouse"));
    const OVStore::RestorePlan plan =
        OVStore::prepareRestore(f.db, url(f.backup), QDateTime::currentDateTime(), &store.db());
    const QStringList prepared = entries(f.dir.path());
    PlainConnection other(f.db);
    ASSERT_EQ(other.number("SELECT count(*) FROM greenhouse"), houses);
    const QByteArray liveBytes = sha256(f.db);

    const OVError e = errorOf([&] { store.finishRestore(plan, store.revision()); });
    EXPECT_EQ(e, stillInUse) << e.payload().toStdString();
    EXPECT_EQ(sha256(f.db), liveBytes);
    EXPECT_EQ(store.digest(), f.liveDigest);
    EXPECT_EQ(other.number("SELECT count(*) FROM greenhouse"), houses);
    QStringList left = prepared;
    left.removeAll(QFileInfo(plan.incoming).fileName());
    EXPECT_EQ(entries(f.dir.path()), left) << "the incoming copy goes; the safety copy stays";
}

namespace {

// The greenhouses a new connection of another process counts, or -1.
qint64 greenhousesSeenElsewhere(const QString& db)
{
    return testsupport::askAnotherProcess<qint64>(
        [&db] { return PlainConnection(db).number("SELECT count(*) FROM greenhouse"); }, -1);
}

} // namespace

// The same with the other connection in another process, the way a second program
// holds the file: it reads once and stays open while the restore is tried. The
// refusal leaves the store its own lock: when the other program closes, it must not
// take the log with it as the last one out, or the store's next save would be lost.
TEST(OVStoreRestore, AnIdleConnectionOfAnotherProcessRefusesTheRestore)
{
    Fixture f;
    const qint64 houses = OVStore(f.db).count(QStringLiteral("greenhouse"));
    // The child starts with no connection of this process open, so it shares nothing
    // of this process's engine but the file.
    int ready[2];
    int go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        close(go[1]);
        int code = 0;
        {
            PlainConnection other(f.db);
            code = other.number("SELECT count(*) FROM greenhouse") == houses ? 0 : 2;
            char byte = 0;
            if (write(ready[1], &byte, 1) != 1 || read(go[0], &byte, 1) != 1)
                code = 3;
            if (code == 0 && !other.run("INSERT INTO greenhouse (name) VALUES ('Saved by the other program')"))
                code = 4;
            if (code == 0 && other.number("SELECT count(*) FROM greenhouse") != houses + 1)
                code = 5;
        }
        _exit(code);
    }
    close(ready[1]);
    close(go[0]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    OVStore store(f.db);

    EXPECT_EQ(errorOf([&] { store.restore(url(f.backup)); }), stillInUse);
    EXPECT_EQ(store.digest(), f.liveDigest);

    ASSERT_EQ(write(go[1], &byte, 1), 1);
    const int status = waitFor(child);
    close(ready[0]);
    close(go[1]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(store.count(QStringLiteral("greenhouse")), houses + 1);
    addGreenhouse(store, QStringLiteral("Saved after the other program closed"));
    EXPECT_EQ(greenhousesSeenElsewhere(f.db), houses + 2);

    EXPECT_NO_THROW(store.restore(url(f.backup)));
    EXPECT_EQ(store.digest(), f.backupDigest);
}

// A checkpoint that does not finish leaves commits in the log that the swap would
// unlink: the restore stops there, whatever else would let it go ahead.
TEST(OVStoreRestore, ACheckpointThatFailsRefusesTheRestore)
{
    Fixture f;
    OVStore store(f.db);
    addGreenhouse(store, QStringLiteral("Only in the log so far"));
    const QString withIt = store.digest();
    const OVStore::RestorePlan plan =
        OVStore::prepareRestore(f.db, url(f.backup), QDateTime::currentDateTime(), &store.db());
    sqlite3_progress_handler(store.db().handle(), 1, [](void*) { return 1; }, nullptr);
    const OVError e = errorOf([&] { store.finishRestore(plan, store.revision()); });
    sqlite3_progress_handler(store.db().handle(), 0, nullptr, nullptr);

    EXPECT_EQ(e, stillInUse);
    EXPECT_EQ(store.digest(), withIt);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

// The open database is no backup of itself, under any of its names: a copy of the
// file alone would leave out the commits still in its log.
TEST(OVStoreRestore, OpenDatabaseIsRefusedAsTheBackup)
{
    Fixture f;
    OVStore store(f.db);
    addGreenhouse(store, QStringLiteral("Only in the log so far"));
    const QString withIt = store.digest();
    const QString hard = f.dir.file(QStringLiteral("hard.ovbackup"));
    ASSERT_EQ(link(f.db.toUtf8().constData(), hard.toUtf8().constData()), 0);

    for (const QString& source : {f.db, hard}) {
        const OVError e = errorOf([&] { store.restore(url(source)); });
        EXPECT_EQ(e, OVError::badBackup(QStringLiteral("it is the database that is open now.")));
    }
    EXPECT_EQ(store.digest(), withIt);
    EXPECT_EQ(store.revision(), 1);
    EXPECT_TRUE(leftovers(f.dir.path()).isEmpty()) << leftovers(f.dir.path()).join(u' ').toStdString();
}

// ---- Stale temporary files ---------------------------------------------------------

namespace {

const QString someID = QStringLiteral("0b1c2d3e-4f50-4a6b-8c7d-9e0f1a2b3c4d");
const QString otherID = QStringLiteral("aaaaaaaa-bbbb-4ccc-8ddd-eeeeeeeeeeee");

// Writes a small file whose last change lies `age` seconds back.
void leave(const QString& path, qint64 age)
{
    ASSERT_TRUE(testsupport::writeAll(path, "left behind"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-age), QFileDevice::FileModificationTime));
}

} // namespace

TEST(OVStoreStaleFiles, BackupRemovesOnlyItsOwnTemporariesOlderThanAnHour)
{
    Fixture f;
    ScratchDir target;
    const QString oldCopy = QStringLiteral(".ovbackup-") + someID + QStringLiteral(".tmp");
    leave(target.file(oldCopy), 2 * 3600);
    leave(target.file(oldCopy + QStringLiteral("-journal")), 2 * 3600);
    const QStringList kept = {QStringLiteral(".ovbackup-") + otherID + QStringLiteral(".tmp"), // recent
                              QStringLiteral(".ovbackup-notes.tmp"),
                              QStringLiteral("restore-") + someID + QStringLiteral(".sqlite"),
                              QStringLiteral("holiday.tmp")};
    leave(target.file(kept[0]), 60);
    for (const QString& name : kept.mid(1))
        leave(target.file(name), 2 * 3600);

    OVStore store(f.db);
    store.backup(url(target.file(QStringLiteral("Weekly.ovbackup"))));

    QStringList expected = kept;
    expected << QStringLiteral("Weekly.ovbackup");
    expected.sort();
    EXPECT_EQ(entries(target.path()), expected);
}

TEST(OVStoreStaleFiles, StartUpRemovesEveryTemporaryOfTheDatabaseFolder)
{
    Fixture f;
    const QString restore = QStringLiteral("restore-") + someID;
    for (const QString& name : {restore + QStringLiteral(".sqlite"), restore + QStringLiteral(".sqlite-journal"),
                                restore + QStringLiteral(".sqlite-wal"), restore + QStringLiteral(".sqlite-shm"),
                                restore + QStringLiteral(".previous"),
                                QStringLiteral(".ovbackup-") + otherID + QStringLiteral(".tmp")})
        leave(f.dir.file(name), 5);
    leave(f.dir.file(QStringLiteral("restore-notes.sqlite")), 5);
    // A link under our name is not our file: it is left alone, and so is its target.
    const QString link = QStringLiteral(".ovbackup-12345678-1234-4234-8234-123456789abc.tmp");
    ASSERT_TRUE(QFile::link(f.backup, f.dir.file(link)));
    const QStringList before = entries(f.dir.path());

    OVStore::removeStaleTemporaryFiles(f.dir.path());

    QStringList expected;
    for (const QString& name : before)
        if (!name.startsWith(restore) && !name.startsWith(QStringLiteral(".ovbackup-")))
            expected << name;
    expected << link;
    expected.sort();
    EXPECT_EQ(entries(f.dir.path()), expected);
    EXPECT_TRUE(expected.contains(QStringLiteral("Greenhouse.sqlite")));
    EXPECT_TRUE(expected.contains(QStringLiteral("restore-notes.sqlite")));
    EXPECT_EQ(digestOf(f.db), f.liveDigest);
    EXPECT_TRUE(QFileInfo::exists(f.backup));
}

// Only whole names are ours: a file that starts exactly like one of our temporaries
// but carries a tail (a user's copy, another program's file) is never removed, by the
// start-up clean-up or by a backup's tidy of its target folder.
TEST(OVStoreStaleFiles, NamesThatOnlyStartLikeOursStay)
{
    Fixture f;
    const QString restore = QStringLiteral("restore-") + someID;
    const QString backup = QStringLiteral(".ovbackup-") + otherID + QStringLiteral(".tmp");
    const QStringList tails = {restore + QStringLiteral(".sqlite.keep"),  restore + QStringLiteral(".sqlite-wal2"),
                               restore + QStringLiteral(".previous.old"), restore + QStringLiteral(".sqlitex"),
                               QStringLiteral("x") + restore + QStringLiteral(".sqlite"),
                               backup + QStringLiteral(".bak"),          backup + QStringLiteral("-journal~")};
    for (const QString& name : tails)
        leave(f.dir.file(name), 2 * 3600);
    leave(f.dir.file(restore + QStringLiteral(".sqlite")), 2 * 3600); // ours: goes
    leave(f.dir.file(backup), 2 * 3600);                              // ours: goes

    OVStore::removeStaleTemporaryFiles(f.dir.path());
    for (const QString& name : tails)
        EXPECT_TRUE(QFileInfo::exists(f.dir.file(name))) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.dir.file(restore + QStringLiteral(".sqlite"))));
    EXPECT_FALSE(QFileInfo::exists(f.dir.file(backup)));

    leave(f.dir.file(backup), 2 * 3600);
    OVStore store(f.db);
    store.backup(url(f.dir.file(QStringLiteral("Weekly.ovbackup"))));
    for (const QString& name : tails)
        EXPECT_TRUE(QFileInfo::exists(f.dir.file(name))) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(f.dir.file(backup)));
}
