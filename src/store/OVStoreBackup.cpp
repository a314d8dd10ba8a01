// Backup, backup inspection and restore: the operations that guard the one database
// file against full disks, bad files, crashes and mistakes.
//
// What they keep true:
//   - A file is only ever put in place by a rename of a complete, synced copy that
//     sits in the same folder, so every name (a backup target, the database itself)
//     holds either its old content or the new one, never a part of either.
//   - A failure removes the temporary files it made; the safety copy of a restore is
//     kept whatever happens, and never overwrites an earlier one.
//   - A file chosen by the user is untrusted input: it is read only through an
//     untrusted read-only connection, and it is copied and the copy inspected again
//     before it replaces anything, so the file that goes in is the file that passed.

#include "store/OVStore.h"
#include "store/RenameNoReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const QString openDatabaseTarget =
    QStringLiteral("The backup could not be saved: choose a file other than the open database.");
const QString noTarget = QStringLiteral("The backup could not be saved: choose a file to save it in.");

const QString notFound = QStringLiteral("the file was not found.");
const QString notDatabase = QStringLiteral("it is not a database file.");
const QString notOurs = QStringLiteral("it was not made by QNMR Orvane.");
const QString newer = QStringLiteral("it was made by a newer version of the app.");
const QString damaged = QStringLiteral("the file is damaged.");
const QString openDatabaseSource = QStringLiteral("it is the database that is open now.");
const QString hasCode =
    QStringLiteral("it contains triggers or views, which QNMR Orvane backups never have.");

const QString leftAsItWas = QStringLiteral("Your data was left as it was.");
const QString stillInUse = QStringLiteral("the database is still in use, so it was not replaced");
// The refusal says what the grower can do about it.
const QString inUse = stillInUse + QStringLiteral(". Close any other program that has it open, then try again.");
const QString storeClosed = QStringLiteral("closed");

QByteArray fsName(const QString& path)
{
    return QFile::encodeName(path);
}

std::error_code lastErrno()
{
    return std::error_code(errno, std::generic_category());
}

bool existsNoFollow(const QString& path)
{
    struct stat st {};
    return ::lstat(fsName(path).constData(), &st) == 0;
}

bool isRegularFile(const QString& path)
{
    struct stat st {};
    return ::stat(fsName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

void removeQuietly(const QString& path)
{
    ::unlink(fsName(path).constData());
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

// The name a path stands for once links in it are followed; a file that does not
// exist yet is named by its resolved folder and its own name.
QString resolved(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

bool sameInode(const QString& a, const QString& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(fsName(a).constData(), &sa) == 0 && ::stat(fsName(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Whether writing `target` would hit the open database or one of the engine's side
// files, under any of the names it can be reached by.
// The names of the database and its side files, as opened and with links followed.
QStringList databaseAndSideNames(const QString& database)
{
    QStringList names;
    for (const QString& base : {database, resolved(database)})
        for (const char* side : {"", "-journal", "-wal", "-shm"})
            names.append(base + QLatin1String(side));
    return names;
}

bool isDatabaseOrSideFile(const QString& target, const QString& database)
{
    const QString wanted = resolved(target);
    for (const QString& candidate : databaseAndSideNames(database))
        if (wanted == candidate || wanted == resolved(candidate) || sameInode(target, candidate))
            return true;
    return false;
}

// Forces a file's bytes to the disk, so that a rename never publishes a name whose
// content a power cut could still take away.
std::error_code fsyncPath(const QString& path)
{
    const int fd = ::open(fsName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return lastErrno();
    std::error_code error;
    if (::fsync(fd) != 0)
        error = lastErrno();
    ::close(fd);
    return error;
}

// Makes the renames in a folder durable; best effort (some file systems refuse it).
void syncFolder(const QString& folder)
{
    const int fd = ::open(fsName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString uuidText()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void useRollbackJournal(const QString& path);

// Sends the pages written to a file so far to the disk and waits for them. A copy of
// the whole database written in one go would otherwise sit in memory until its final
// sync, and every commit of the window's connection, which waits for the disk, would
// queue behind all of it; sent a little at a time, only a little is ever ahead.
void writeOut(int fd)
{
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
}

// writeOut() every few milliseconds for a file that the engine writes (a copy made
// by VACUUM INTO), from a thread of its own, while the object lives.
class WritePacer {
public:
    explicit WritePacer(const QString& path) : m_path(fsName(path)), m_thread([this] { run(); }) {}
    ~WritePacer()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    WritePacer(const WritePacer&) = delete;
    WritePacer& operator=(const WritePacer&) = delete;

private:
    void run()
    {
        int fd = -1;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(5), [this] { return m_stop; })) {
            lock.unlock();
            if (fd < 0) // the copy exists once the engine has begun it
                fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
            if (fd >= 0)
                writeOut(fd);
            lock.lock();
        }
        if (fd >= 0)
            ::close(fd);
    }

    const QByteArray m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread; // last: it starts once everything above is in place
};

// A consistent copy of the open database in a new file of `folder`, synced to disk.
// The copy stands alone: everything committed, the part the database still keeps in
// its -wal file included, is in the one file, and its header asks for the rollback
// journal, so opening it makes no -wal or -shm beside it. Throws OVError::database
// from the copy or OVError::file from the sync; nothing is left behind then.
QString vacuumIntoTemporary(SQLiteDB& db, const QString& folder)
{
    const QString temp = folder + QStringLiteral("/.ovbackup-") + uuidText() + QStringLiteral(".tmp");
    QString quoted = temp;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    try {
        const WritePacer pacer(temp);
        db.exec(QStringLiteral("VACUUM INTO '") + quoted + QLatin1Char('\''));
    } catch (...) {
        // A copy that failed midway can leave the engine's journal of it as well.
        removeQuietly(temp);
        removeQuietly(temp + QStringLiteral("-journal"));
        throw;
    }
    try {
        useRollbackJournal(temp);
    } catch (...) {
        removeQuietly(temp);
        throw;
    }
    if (const std::error_code error = OVStore::syncFile(temp)) {
        removeQuietly(temp);
        throw OVError::file(temp, error);
    }
    return temp;
}

// Moves `from` to `to` unless `to` is taken. False when it is taken (nothing moved);
// other failures are thrown as OVError::file.
bool placeWithoutReplacing(const QString& from, const QString& to)
{
    const std::error_code error = renameNoReplace(from, to);
    if (!error)
        return true;
    if (error == std::errc::file_exists)
        return false;
    if (error != std::errc::operation_not_supported)
        throw OVError::file(to, error);
    // Neither is supported here: a last look, then a plain rename.
    if (existsNoFollow(to))
        return false;
    if (const std::error_code error = OVStore::renameFile(from, to))
        throw OVError::file(to, error);
    return true;
}

// The safety copy of a restore, under the first free name of "Before restore <time>",
// " (2)", " (3)", ...: an earlier safety copy is never overwritten.
QString writeSafetyCopy(SQLiteDB& db, const QString& folder, const QDateTime& now)
{
    const QString base = folder + QStringLiteral("/Before restore ") +
                         now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    const QString temp = vacuumIntoTemporary(db, folder);
    try {
        for (int n = 1; n <= 10000; ++n) {
            const QString name = n == 1 ? base + QStringLiteral(".sqlite")
                                        : base + QStringLiteral(" (%1).sqlite").arg(n);
            if (!existsNoFollow(name) && placeWithoutReplacing(temp, name)) {
                syncFolder(folder);
                return name;
            }
        }
        throw OVError::file(base + QStringLiteral(".sqlite"), std::make_error_code(std::errc::file_exists));
    } catch (...) {
        removeQuietly(temp);
        throw;
    }
}

// A file descriptor closed when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

void copyOpened(int in, int out, const QString& from, const QString& to)
{
    std::vector<char> buffer(size_t(1) << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw OVError::file(from, lastErrno());
        }
        if (got == 0)
            return;
        const char* data = buffer.data();
        size_t left = size_t(got);
        while (left > 0) {
            const ssize_t written = ::write(out, data, left);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                throw OVError::file(to, lastErrno());
            }
            data += written;
            left -= size_t(written);
        }
        writeOut(out);
    }
}

// Copies a regular file byte for byte into a new file (never an existing one) and
// syncs it. Throws OVError::file with the system's text; a partial copy is removed.
void copyFile(const QString& from, const QString& to)
{
    // Non-blocking, so that a pipe put where a file was expected cannot stall the open.
    Descriptor in(::open(fsName(from).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.fd < 0)
        throw OVError::file(from, lastErrno());
    struct stat st {};
    if (::fstat(in.fd, &st) != 0)
        throw OVError::file(from, lastErrno());
    if (!S_ISREG(st.st_mode))
        throw OVError::file(from, std::make_error_code(std::errc::invalid_argument));

    Descriptor out(::open(fsName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.fd < 0)
        throw OVError::file(to, lastErrno());
    try {
        copyOpened(in.fd, out.fd, from, to);
        if (::fsync(out.fd) != 0)
            throw OVError::file(to, lastErrno());
        const int fd = out.fd;
        out.fd = -1;
        if (::close(fd) != 0)
            throw OVError::file(to, lastErrno());
    } catch (...) {
        removeQuietly(to);
        throw;
    }
}

// Gives a copied database file the rollback journal a new database uses. A file whose
// header asks for a write-ahead log would make the engine create -wal and -shm files
// beside it and keep the live database in that mode for good. The two header bytes are
// what the engine itself writes when it leaves WAL mode; any log content belonged to
// the original's side files, which are never part of a backup.
void useRollbackJournal(const QString& path)
{
    Descriptor fd(::open(fsName(path).constData(), O_RDWR | O_CLOEXEC));
    if (fd.fd < 0)
        throw OVError::file(path, lastErrno());
    unsigned char header[20] = {};
    if (::pread(fd.fd, header, sizeof header, 0) != ssize_t(sizeof header))
        return; // too short to be a database; the inspection refuses it
    if (std::memcmp(header, "SQLite format 3", 16) != 0 || (header[18] != 2 && header[19] != 2))
        return;
    const unsigned char legacy[2] = {1, 1};
    if (::pwrite(fd.fd, legacy, sizeof legacy, 18) != ssize_t(sizeof legacy) || ::fsync(fd.fd) != 0)
        throw OVError::file(path, lastErrno());
}

// Our own temporary names: a backup's copy in the making (and its journal), and a
// restore's incoming copy (with any side file) and its second name for the old file.
const QRegularExpression& backupTemporaryName()
{
    static const QRegularExpression name(QStringLiteral(
        "^\\.ovbackup-[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\.tmp(-journal)?$"));
    return name;
}

const QRegularExpression& restoreTemporaryName()
{
    static const QRegularExpression name(QStringLiteral(
        "^restore-[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"
        "\\.(sqlite(-journal|-wal|-shm)?|previous)$"));
    return name;
}

// Removes the regular files of `folder` whose names match and whose last change lies
// at least `minimumAge` before `now`. Links and everything else are left alone.
void removeMatching(const QString& folder, const QList<const QRegularExpression*>& patterns,
                    std::chrono::seconds minimumAge, const QDateTime& now)
{
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        bool ours = false;
        for (const QRegularExpression* pattern : patterns)
            ours = ours || pattern->match(entry.fileName()).hasMatch();
        if (!ours)
            continue;
        struct stat st {};
        if (::lstat(fsName(entry.filePath()).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const QDateTime changed = QDateTime::fromSecsSinceEpoch(qint64(st.st_mtime), Qt::UTC);
        if (changed.secsTo(now) >= minimumAge.count())
            removeQuietly(entry.filePath());
    }
}

// The engine's side files of the database, under its own name and, when it is reached
// through a link, under the name of the file itself.
void removeSideFiles(const QString& live, const QString& real)
{
    for (const char* side : {"-journal", "-wal", "-shm"}) {
        removeQuietly(live + QLatin1String(side));
        if (real != live)
            removeQuietly(real + QLatin1String(side));
    }
}

// Takes the engine's exclusive lock on the database file of an idle connection,
// which is granted only while no other connection, of any process, holds a lock on
// it. On success the lock is kept until the connection closes; otherwise the
// connection is left with the lock it had (shared in the write-ahead log, none in
// the rollback journal, where it keeps none between statements).
// With `keep` false the exclusive lock is given back at once, as a question only.
bool lockedForSwap(sqlite3* handle, bool keep = true)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(handle, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return false;
    const char* mode = nullptr;
    sqlite3_stmt* statement = nullptr;
    bool logged = false;
    if (sqlite3_prepare_v2(handle, "PRAGMA journal_mode", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && (mode = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))))
        logged = std::strcmp(mode, "wal") == 0;
    sqlite3_finalize(statement);
    const bool locked = file->pMethods->xLock(file, SQLITE_LOCK_SHARED) == SQLITE_OK &&
                        file->pMethods->xLock(file, SQLITE_LOCK_EXCLUSIVE) == SQLITE_OK;
    if (!locked || !keep)
        file->pMethods->xUnlock(file, logged ? SQLITE_LOCK_SHARED : SQLITE_LOCK_NONE);
    return locked;
}

// Whether the file is open anywhere else, in this process or another, under any
// user. A connection that has opened a database but not read it yet holds no lock
// the engine could report, yet its first read would go to the file through the
// handle it already has. The kernel grants a write lease only on a file that no other
// handle is open on; it is given back at once. Where leases are not to be had (some
// network file systems, a file of another owner) the answer is no: the engine's
// locks have spoken for every connection that has read the file.
// Asked only once the store's own connection has closed, with no lock of any other
// connection of this process on the file (the swap's exclusive lock has shown it):
// closing the descriptor it opens drops every lock the process holds on the file.
bool openElsewhere(const QString& path)
{
    const int fd = ::open(fsName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool open = false;
    // A lease that is broken meanwhile is signalled to its holder: with SIGURG, which
    // is ignored unless asked for, rather than SIGIO, which would end the process.
    if (::fcntl(fd, F_SETSIG, SIGURG) == 0) {
        if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0)
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
        else
            open = errno == EAGAIN;
    }
    ::close(fd);
    return open;
}

QString describe(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

} // namespace

void OVStore::removeStaleTemporaryFiles(const QString& folder)
{
    removeMatching(folder, {&backupTemporaryName(), &restoreTemporaryName()}, std::chrono::seconds(0),
                   QDateTime::currentDateTimeUtc());
}

std::function<std::error_code(const QString&)> OVStore::syncFile = fsyncPath;

bool OVStore::isOwnFile(const QString& file) const
{
    return isDatabaseOrSideFile(file, path());
}

bool OVStore::isOwnFile(quint64 device, quint64 inode) const
{
    for (const QString& candidate : databaseAndSideNames(path())) {
        struct stat st {};
        if (::stat(fsName(candidate).constData(), &st) == 0 && quint64(st.st_dev) == device &&
            quint64(st.st_ino) == inode)
            return true;
    }
    return false;
}

std::function<std::error_code(const QString&, const QString&)> OVStore::renameFile =
    [](const QString& from, const QString& to) {
        if (::rename(fsName(from).constData(), fsName(to).constData()) != 0)
            return lastErrno();
        return std::error_code();
    };

void OVStore::backup(const QUrl& url)
{
    const QString target = url.toLocalFile();
    if (target.isEmpty() || QFileInfo(target).fileName().isEmpty())
        throw OVError::invalid(noTarget);
    if (isDatabaseOrSideFile(target, path()))
        throw OVError::invalid(openDatabaseTarget);

    const QString folder = folderOf(target);
    // What a killed backup left here before; an hour's age keeps a copy that another
    // copy of the program is making right now.
    removeMatching(folder, {&backupTemporaryName()}, std::chrono::hours(1), QDateTime::currentDateTimeUtc());
    const QString temp = vacuumIntoTemporary(*m_db, folder);
    if (const std::error_code error = renameFile(temp, target)) {
        removeQuietly(temp);
        throw OVError::file(target, error);
    }
    syncFolder(folder);
}

QMap<QString, qint64> OVStore::inspectBackup(const QUrl& url)
{
    const QString file = url.toLocalFile();
    struct stat st {};
    if (file.isEmpty() || (::stat(fsName(file).constData(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)))
        throw OVError::badBackup(notFound);
    // A folder, a pipe or a device is never handed to the engine: opening a pipe
    // would wait for a writer forever.
    if (!S_ISREG(st.st_mode))
        throw OVError::badBackup(notDatabase);

    std::unique_ptr<SQLiteDB> db;
    try {
        db = std::make_unique<SQLiteDB>(file, true, SQLiteDB::Trust::untrusted);
    } catch (const OVError&) {
        throw OVError::badBackup(notDatabase);
    }

    // From here on a refusal closes the connection as the pointer goes.
    std::optional<qint64> appID;
    try {
        appID = db->query(QStringLiteral("PRAGMA application_id")).value(0).intValue(QStringLiteral("application_id"));
    } catch (const OVError&) {
    }
    if (!appID)
        throw OVError::badBackup(notDatabase);
    if (*appID != applicationID)
        throw OVError::badBackup(notOurs);
    if (db->scalarInt(QStringLiteral("PRAGMA user_version")) != schemaVersion)
        throw OVError::badBackup(newer);

    QString integrity;
    try {
        integrity = db->query(QStringLiteral("PRAGMA integrity_check")).value(0).str(QStringLiteral("integrity_check"));
    } catch (const OVError&) {
    }
    if (integrity != QLatin1String("ok"))
        throw OVError::badBackup(damaged);

    QMap<QString, qint64> counts;
    for (const QString& table : tables) {
        std::optional<qint64> n;
        try {
            n = db->query(QStringLiteral("SELECT count(*) AS n FROM ") + table).value(0).intValue(QStringLiteral("n"));
        } catch (const OVError&) {
        }
        if (!n)
            throw OVError::badBackup(QStringLiteral("the ") + table + QStringLiteral(" table is missing."));
        counts.insert(table, *n);
    }

    // Nothing in a backup may run code once the file is the live database.
    qint64 code = -1;
    try {
        code = db->query(QStringLiteral("SELECT count(*) AS n FROM sqlite_master WHERE type IN ('trigger', 'view')"))
                   .value(0)
                   .intValue(QStringLiteral("n"))
                   .value_or(-1);
    } catch (const OVError&) {
    }
    if (code < 0)
        throw OVError::badBackup(damaged);
    if (code > 0)
        throw OVError::badBackup(hasCode);

    db->close();
    return counts;
}

QUrl OVStore::restore(const QUrl& url, const QDateTime& now)
{
    const qint64 before = m_revision;
    refuseRestoreWhileInUse();
    return finishRestore(prepareRestore(path(), url, now, m_db.get()), before);
}

void OVStore::refuseRestoreWhileInUse()
{
    // The same question as at the swap, asked before the slow half: a restore that
    // would be refused there writes no safety copy of the whole database first.
    // A store left closed by a failed reopen is not in use by anyone: it says so as
    // every other operation on it does.
    sqlite3* handle = m_db->handle();
    if (!handle)
        throw OVError::database(storeClosed);
    if (!lockedForSwap(handle, false))
        throw OVError::database(inUse);
}

QMap<QString, qint64> OVStore::inspectForRestore(const QString& databasePath, const QUrl& url)
{
    // The open database is no backup of itself: its latest commits may sit in its -wal
    // file, which a copy of the file alone would leave behind (and which inspecting
    // the file alone would not count).
    if (isDatabaseOrSideFile(url.toLocalFile(), databasePath))
        throw OVError::badBackup(openDatabaseSource);
    return inspectBackup(url);
}

OVStore::RestorePlan OVStore::prepareRestore(const QString& live, const QUrl& url, const QDateTime& now,
                                             SQLiteDB* connection)
{
    inspectForRestore(live, url);

    // The swap happens on the real file, so a database reached through a link keeps
    // its link, and the incoming copy is made on the same file system as the file it
    // replaces (a rename cannot cross file systems).
    const QString real = QFileInfo::exists(live) ? QFileInfo(live).canonicalFilePath() : live;
    const QString realFolder = folderOf(real);

    RestorePlan plan;
    plan.now = now;
    plan.id = uuidText();
    if (connection) {
        plan.safety = writeSafetyCopy(*connection, folderOf(live), now);
    } else {
        SQLiteDB own(live, true);
        plan.safety = writeSafetyCopy(own, folderOf(live), now);
    }

    plan.incoming = realFolder + QStringLiteral("/restore-") + plan.id + QStringLiteral(".sqlite");
    copyFile(url.toLocalFile(), plan.incoming);
    try {
        useRollbackJournal(plan.incoming);
        // The chosen file may have changed since it was inspected: what goes in is
        // the copy, so the copy is what must pass.
        inspectBackup(QUrl::fromLocalFile(plan.incoming));
    } catch (...) {
        removeQuietly(plan.incoming);
        throw;
    }
    return plan;
}

void OVStore::dropRestore(const RestorePlan& plan)
{
    if (!plan.incoming.isEmpty())
        removeQuietly(plan.incoming);
}

QUrl OVStore::finishRestore(const RestorePlan& plan, qint64 revisionAtStart)
{
    const QString live = path();
    const QString real = QFileInfo::exists(live) ? QFileInfo(live).canonicalFilePath() : live;
    const QString realFolder = folderOf(real);
    const QString incoming = plan.incoming;
    const QString aside = realFolder + QStringLiteral("/restore-") + plan.id + QStringLiteral(".previous");
    QString safety = plan.safety;
    // A record written here while the copy was being prepared elsewhere is not in
    // that safety copy: take a new one now, so nothing the grower saved is lost. The
    // earlier copy stays beside it, as every safety copy does.
    if (m_revision != revisionAtStart) {
        try {
            safety = writeSafetyCopy(*m_db, folderOf(live), plan.now);
        } catch (...) {
            removeQuietly(incoming);
            throw;
        }
    }

    // Closing must really let go of the file: an open transaction or a statement
    // still alive would keep the old file in use under the new one.
    sqlite3* handle = m_db->handle();
    if (!handle || !sqlite3_get_autocommit(handle) || sqlite3_next_stmt(handle, nullptr)) {
        removeQuietly(incoming);
        throw OVError::database(handle ? inUse : storeClosed);
    }
    // In write-ahead-log mode the latest commits may sit in the -wal file only. They
    // are written into the database file first, and the log emptied, so the file
    // renamed aside below holds every commit and no side file removed here takes
    // data with it. The checkpoint cannot finish while another connection reads or
    // writes: then the file is still in use.
    std::optional<qint64> busy;
    try {
        busy = m_db->query(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")).value(0).intValue(QStringLiteral("busy"));
    } catch (const OVError&) {
    }
    if (busy.value_or(1) != 0) {
        removeQuietly(incoming);
        throw OVError::database(inUse);
    }
    // A connection of another process that is open but idle holds no lock that the
    // checkpoint waits for, yet it would go on writing into a log that the swap
    // unlinks, and lose what it saves. Every connection that has read the file keeps
    // a shared lock on it until it closes (in the write-ahead log, even when idle), so
    // the engine's exclusive lock is granted only while no other connection has it
    // open. It is held until the close, so none can begin meanwhile.
    if (!lockedForSwap(handle)) {
        removeQuietly(incoming);
        throw OVError::database(inUse);
    }
    m_db->close();
    // Nor may any connection that has opened the file without reading it yet.
    if (openElsewhere(real)) {
        removeQuietly(incoming);
        const QString reopenFailure = reopenAsItIs(live);
        // Left closed, the store cannot be restored by trying again: no advice then.
        if (!reopenFailure.isEmpty())
            throw OVError::database(stillInUse + QStringLiteral(", and it could not be opened again (") +
                                    reopenFailure + QStringLiteral(")"));
        throw OVError::database(inUse);
    }
    removeSideFiles(live, real);

    // A second name for the current file, so it can be put back by one rename. Where
    // the file system has no hard links, the safety copy serves instead.
    const bool haveAside = ::link(fsName(real).constData(), fsName(aside).constData()) == 0;

    bool swapped = false;
    QString failure;
    try {
        if (const std::error_code error = renameFile(incoming, real))
            throw OVError::file(real, error);
        swapped = true;
        syncFolder(realFolder);
        openConnection(live);
        migrate();
        useWriteAheadLog();
    } catch (const std::exception& error) {
        failure = describe(error);
    }

    if (failure.isEmpty()) {
        if (haveAside)
            removeQuietly(aside);
        changed();
        return QUrl::fromLocalFile(safety);
    }

    // Undo: put the previous file back under its name, then reopen it as it is. A log
    // the new file may have left would be read as the previous file's: it goes first.
    m_db->close();
    if (swapped)
        removeSideFiles(live, real);
    bool putBack = !swapped;
    QString putBackFailure;
    if (swapped && haveAside) {
        if (const std::error_code error = renameFile(aside, real))
            putBackFailure = OVError::file(real, error).errorDescription();
        else
            putBack = true;
    }
    if (!putBack) {
        const QString again = realFolder + QStringLiteral("/restore-") + uuidText() + QStringLiteral(".sqlite");
        try {
            copyFile(safety, again);
            if (const std::error_code error = renameFile(again, real))
                throw OVError::file(real, error);
            putBack = true;
        } catch (const std::exception& error) {
            removeQuietly(again);
            if (putBackFailure.isEmpty())
                putBackFailure = describe(error);
        }
    }
    removeQuietly(incoming);
    if (putBack) {
        syncFolder(realFolder);
        if (haveAside)
            removeQuietly(aside);
    }

    const QString safetyNote = QStringLiteral(" Your data from before the restore is in \"") + safety +
                               QStringLiteral("\".");
    if (!putBack)
        throw OVError::badBackup(QStringLiteral("the copy could not be put in place (") + failure +
                                 QStringLiteral("), and your data could not be put back (") + putBackFailure +
                                 QStringLiteral(").") + safetyNote);

    const QString reopenFailure = reopenAsItIs(live);
    if (!reopenFailure.isEmpty())
        throw OVError::badBackup(QStringLiteral("the copy could not be put in place (") + failure +
                                 QStringLiteral("), and your data could not be opened again (") + reopenFailure +
                                 QStringLiteral(").") + safetyNote);

    changed();
    throw OVError::badBackup(QStringLiteral("the copy could not be put in place (") + failure + QStringLiteral("). ") +
                             leftAsItWas);
}

QString OVStore::reopenAsItIs(const QString& live)
{
    // Without creating anything: a missing file must not become an empty store.
    if (!isRegularFile(live))
        return OVError::file(live, std::make_error_code(std::errc::no_such_file_or_directory)).errorDescription();
    try {
        openConnection(live);
        useWriteAheadLog();
    } catch (const OVError& error) {
        return error.errorDescription();
    }
    return QString();
}
