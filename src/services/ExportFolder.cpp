#include "services/ExportFolder.h"

#include "services/FilePanels.h"
#include "store/OVError.h"
#include "store/OVStore.h"
#include "store/RenameNoReplace.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ExportFolder {

const QString datedFolderPrefix = QStringLiteral("QNMR Orvane export ");

namespace {

[[noreturn]] void throwFileError(const QString& path, const QString& reason)
{
    throw OVError::file(QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason);
}

[[noreturn]] void throwFileError(const QString& path, int error)
{
    throwFileError(path, QString::fromLocal8Bit(std::strerror(error)));
}

QByteArray fsName(const QString& path) { return QFile::encodeName(path); }

std::error_code lastErrno() { return std::error_code(errno, std::generic_category()); }

// The hidden names a run gives its files: ".<name>.orvane-export-<token>.tmp" for a
// copy being written and ".<name>.orvane-export-<token>.previous" for the second name
// of the file it replaces. The token is 128 random bits, the run's own: another
// run draws the same one only by a chance too small to plan for, and a person's
// file has such a name only when it was given one on purpose.
const QString hiddenTag = QStringLiteral(".orvane-export-");
const QString temporarySuffix = QStringLiteral(".tmp");
const QString previousSuffix = QStringLiteral(".previous");
const QString recordSuffix = QStringLiteral(".record");

QString runToken()
{
    QRandomGenerator* random = QRandomGenerator::system();
    return QStringLiteral("%1%2").arg(random->generate64(), 16, 16, QChar(u'0')).arg(random->generate64(), 16, 16,
                                                                                      QChar(u'0'));
}

QString hiddenName(const QString& name, const QString& token, const QString& suffix)
{
    return u'.' + name + hiddenTag + token + suffix;
}

// Makes renames in `folder` durable; best effort (some file systems refuse it).
void syncFolder(const QDir& folder)
{
    const int fd = ::open(fsName(folder.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Opens the regular file at `path` for reading, unless it is one of the open store's
// files: those are never opened here, since closing any descriptor of a file drops
// every lock the process holds on it, the engine's included. What is checked is the
// very file that is then read: the name is opened once, as a path only (which opens
// no file for reading, and whose close drops no lock), without following a symbolic
// link; its device and inode are compared with the store's files, and the file is read
// through that descriptor, whatever the name stands for by then. -1 with `error`
// clear where there is nothing to read (no entry, or no regular file); -1 with the
// system's error where it could not be opened.
int openUnlessStoreFile(const QString& path, const OVStore& store, std::error_code& error)
{
    error.clear();
    const int pathFd = ::open(fsName(path).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (pathFd < 0) {
        if (errno != ENOENT)
            error = lastErrno();
        return -1;
    }
    const auto closing = qScopeGuard([pathFd] { ::close(pathFd); });
    struct stat st {};
    if (::fstat(pathFd, &st) != 0) {
        error = lastErrno();
        return -1;
    }
    if (!S_ISREG(st.st_mode) || store.isOwnFile(quint64(st.st_dev), quint64(st.st_ino)))
        return -1;
    int fd = -1;
    error = openFile(pathFd, fd);
    return error ? -1 : fd;
}

// What a run records, synced, before it puts anything in place: for each of the
// eight names, whether a file stood there, and the identity of the new file it puts
// there. Its last line marks it whole: a run cut before that line was on the disk
// had given no file a second name and placed nothing. Kept as
// ".orvane-export-<token>.record" beside the files.
struct RunRecord {
    struct Entry {
        bool earlier = false;
        FileIdentity placed;
    };
    QList<Entry> entries;

    static constexpr const char* heading = "QNMR Orvane export run";
    static constexpr const char* ending = "end";

    QByteArray text() const
    {
        QByteArray out = QByteArray(heading) + '\n';
        for (const Entry& entry : entries)
            out += (entry.earlier ? "1 " : "0 ") + QByteArray::number(entry.placed.size) + ' ' +
                   entry.placed.digest + '\n';
        return out + ending + '\n';
    }

    // Reads the record in `path` into `record`: nothing when there is none or it is
    // not a whole record for `files` files (cut while it was written, or not ours);
    // the system's error when it could not be read.
    static std::error_code read(const QString& path, qsizetype files, const OVStore& store,
                                std::optional<RunRecord>& record)
    {
        record.reset();
        std::error_code error;
        const int fd = openUnlessStoreFile(path, store, error);
        if (fd < 0)
            return error;
        QByteArray text;
        error = readFile(fd, [&text](QByteArrayView piece) {
            text.append(piece);
            return text.size() < maxRecordSize;
        });
        ::close(fd);
        if (error)
            return error;
        const QList<QByteArray> lines = text.split('\n');
        if (lines.size() != files + 3 || lines.first() != heading || lines[files + 1] != ending ||
            !lines.last().isEmpty())
            return {};
        RunRecord whole;
        for (qsizetype i = 1; i <= files; ++i) {
            const QList<QByteArray> fields = lines[i].split(' ');
            bool ok = false;
            Entry entry;
            if (fields.size() != 3 || (fields[0] != "0" && fields[0] != "1"))
                return {};
            entry.earlier = fields[0] == "1";
            entry.placed.size = fields[1].toLongLong(&ok);
            entry.placed.digest = fields[2];
            if (!ok || entry.placed.digest.isEmpty())
                return {};
            whole.entries.append(entry);
        }
        record = std::move(whole);
        return {};
    }

    static constexpr qint64 maxRecordSize = 64 * 1024;
};

// Whether the entry at `path` is a regular file with exactly the bytes `identity`
// describes; the system's error when it cannot be read to tell. Symbolic links are
// not followed, and the open store's files are never opened: they are no export's.
std::error_code hasIdentity(const QString& path, const FileIdentity& identity, const OVStore& store, bool& same)
{
    same = false;
    std::error_code error;
    const int fd = openUnlessStoreFile(path, store, error);
    if (fd < 0)
        return error;
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return lastErrno();
    if (st.st_size != identity.size)
        return {};
    QCryptographicHash hash(identityDigest);
    qint64 size = 0;
    if (const std::error_code error = readFile(fd, [&hash, &size](QByteArrayView piece) {
            hash.addData(piece);
            size += piece.size();
            return true;
        }))
        return error;
    same = size == identity.size && hash.result().toHex() == identity.digest;
    return {};
}

} // namespace

bool FileSink::flush()
{
    if (!FilePanels::writeAll(m_file, m_buffer))
        return false;
    m_hash.addData(m_buffer);
    m_size += m_buffer.size();
    m_buffer.clear();
    return true;
}

PendingFiles::PendingFiles(const QDir& folder) : m_folder(folder), m_token(runToken()) {}

PendingFiles::~PendingFiles()
{
    if (m_keepTemporaries)
        return;
    for (const Pending& file : m_files)
        if (!file.placed)
            QFile::remove(file.temp);
    if (m_recorded)
        QFile::remove(recordPath());
}

void PendingFiles::write(const QString& name, const std::function<bool(FileSink&)>& fill)
{
    const QString target = m_folder.filePath(name);
    const QString temp = m_folder.filePath(hiddenName(name, m_token, temporarySuffix));
    // Made as a new file would be (0666 less the umask); a file it replaces
    // passes its own permissions on.
    const int fd = ::open(fsName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throwFileError(target, errno);
    struct stat earlier {};
    if (::stat(fsName(target).constData(), &earlier) == 0 && S_ISREG(earlier.st_mode))
        ::fchmod(fd, earlier.st_mode & 07777);

    auto discard = qScopeGuard([&temp] { QFile::remove(temp); });
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throwFileError(target, file.errorString());
    }
    FileSink sink(file);
    if (!fill(sink) || !sink.flush() || !file.flush())
        throwFileError(target, file.errorString());
    if (const std::error_code error = syncFile(file.handle()))
        throwFileError(target, error.value());
    file.close();
    Pending pending;
    pending.identity = sink.identity();
    pending.target = target;
    pending.temp = temp;
    pending.previous = m_folder.filePath(hiddenName(name, m_token, previousSuffix));
    m_files.append(pending);
    discard.dismiss();
}

QStringList PendingFiles::place()
{
    record();
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        Pending& file = m_files[i];
        if (const int error = keepEarlier(file)) {
            undo(i);
            throwFileError(file.target, error);
        }
        if (const std::error_code error = renameFile(file.temp, file.target)) {
            undo(i);
            throwFileError(file.target, error.value());
        }
        file.placed = true;
    }
    syncFolder(m_folder);
    QStringList targets;
    for (const Pending& file : m_files) {
        if (!file.kept.isEmpty())
            removeFile(file.kept);
        targets.append(file.target);
    }
    removeFile(recordPath());
    m_recorded = false;
    return targets;
}

QString PendingFiles::recordPath() const { return m_folder.filePath(hiddenTag + m_token + recordSuffix); }

// Writes the run's record and makes it, and the temporary copies' names, durable
// before anything is put in place, so that the tidy of a run cut while placing
// knows which files under the names are its own.
void PendingFiles::record()
{
    RunRecord record;
    for (const Pending& file : m_files) {
        struct stat st {};
        record.entries.append({::lstat(fsName(file.target).constData(), &st) == 0, file.identity});
    }
    const QByteArray text = record.text();
    const int fd = ::open(fsName(recordPath()).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throwFileError(m_folder.path(), errno);
    m_recorded = true;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throwFileError(m_folder.path(), file.errorString());
    }
    if (!FilePanels::writeAll(file, text) || !file.flush())
        throwFileError(m_folder.path(), file.errorString());
    if (const std::error_code error = syncFile(file.handle()))
        throwFileError(m_folder.path(), error.value());
    file.close();
    syncFolder(m_folder);
}

// Gives the file now under `target` a second name, so it can be put back by one
// rename: a hard link, or where the file system has none, the file moved aside.
// Returns the system's error when neither can be done.
int PendingFiles::keepEarlier(Pending& file)
{
    struct stat st {};
    if (::lstat(fsName(file.target).constData(), &st) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR; // a rename over a folder fails; nothing is to be kept
    if (linkFile(file.target, file.previous)) {
        if (const std::error_code error = renameFile(file.target, file.previous))
            return error.value();
        file.movedAside = true;
    }
    file.kept = file.previous;
    return 0;
}

// Takes back the renames of the files before `failed` and the second name of
// the one that failed; the temporary copies go with the destructor. Where an
// earlier file cannot be put back, the temporaries stay: they mark the run as cut,
// so the next export's tidy puts it back.
void PendingFiles::undo(qsizetype failed)
{
    for (qsizetype i = failed; i >= 0; --i) {
        Pending& file = m_files[i];
        if (file.placed || file.movedAside) {
            if (!file.kept.isEmpty()) {
                if (renameFile(file.kept, file.target))
                    m_keepTemporaries = true;
            } else if (const std::error_code error = removeFile(file.target);
                       error && error != std::errc::no_such_file_or_directory) {
                m_keepTemporaries = true;
            }
        } else if (!file.kept.isEmpty()) {
            QFile::remove(file.kept);
        }
        file.placed = false;
    }
    syncFolder(m_folder);
}

namespace {

// What one killed run left in a folder, by file: its temporary copies, the second
// names of the earlier files and its record, all under the run's own token.
struct RunLeftovers {
    explicit RunLeftovers(qsizetype files) : temporaries(files), previous(files) {}
    QStringList temporaries;
    QStringList previous;
    QString record;
    std::optional<RunRecord> plan; // what its record says, for a cut run whose record is whole
    std::error_code recordError;   // why the record of a cut run could not be read

    // A run that still has a temporary copy was cut while it wrote or placed its
    // files; one with none left had put all of them in place.
    bool cut() const
    {
        return std::any_of(temporaries.begin(), temporaries.end(), [](const QString& t) { return !t.isEmpty(); });
    }
};

bool gone(const std::error_code& error) { return error == std::errc::no_such_file_or_directory; }

// Whether the second name `previous` is the very file that stands under `target`:
// a mere extra link, left by a run cut between giving it and placing its own file.
bool extraLink(const QString& previous, const QString& target)
{
    struct stat kept {}, named {};
    return !previous.isEmpty() && ::lstat(fsName(previous).constData(), &kept) == 0 &&
           ::lstat(fsName(target).constData(), &named) == 0 && kept.st_dev == named.st_dev &&
           kept.st_ino == named.st_ino;
}

// The tidy of one folder (see tidyLeftovers). Every failure throws OVError::file
// naming the file, after making durable what was put back before it.
class FolderTidy {
public:
    FolderTidy(const QDir& folder, const QStringList& names, const OVStore& store)
        : m_folder(folder), m_names(names), m_store(store)
    {
    }

    void run()
    {
        collect();
        if (m_runs.empty())
            return;
        // Cut runs that may have placed a file, and those of them that keep an earlier
        // file under a second name that is not going back to an empty name.
        std::vector<RunLeftovers*> placing;
        bool keeping = false, unaccounted = false;
        for (auto& [token, run] : m_runs) {
            if (!run.cut())
                continue;
            if (!run.record.isEmpty())
                run.recordError = RunRecord::read(run.record, m_names.size(), m_store, run.plan);
            const bool keeps = keepsEarlierFiles(run);
            keeping = keeping || keeps;
            // A run writes its whole record before it gives any file a second name:
            // without one, a run that keeps an earlier file cannot be accounted for.
            unaccounted = unaccounted || run.recordError || (keeps && !run.plan);
            if (run.plan || run.recordError || keeps)
                placing.push_back(&run);
        }
        unaccounted = unaccounted || (keeping && placing.size() > 1);
        if (!unaccounted && placing.size() == 1 && placing.front()->plan)
            for (qsizetype i = 0; i < m_names.size(); ++i)
                takeBack(i, *placing.front());
        if (putBackWhereEmpty() || unaccounted)
            stop();
        if (changed())
            syncFolder(m_folder);

        // Every second name still there is now a mere extra link, or an earlier file
        // that a finished run or a person replaced: it goes, but while no file stands
        // under its name (a folder there is none), it is the only copy of that file.
        for (auto& [token, run] : m_runs)
            for (qsizetype i = 0; i < m_names.size(); ++i)
                if (!run.previous[i].isEmpty() && fileStands(i))
                    removeLeftover(run.previous[i], run.cut());
        for (const auto& [token, run] : m_runs)
            for (const QString& temp : run.temporaries)
                if (!temp.isEmpty())
                    removeLeftover(temp, true);
        for (const auto& [token, run] : m_runs)
            if (!run.record.isEmpty())
                removeLeftover(run.record, run.cut());
    }

private:
    // Finds the runs' leftovers: second names of any kind but folders (never opened,
    // so a FIFO cannot block nor a link be followed), temporaries and records that are
    // regular files.
    void collect()
    {
        static const QRegularExpression ours(QRegularExpression::anchoredPattern(
            QStringLiteral("\\.(.+)\\.orvane-export-([0-9a-f]{32})\\.(tmp|previous)")));
        static const QRegularExpression records(
            QRegularExpression::anchoredPattern(QStringLiteral("\\.orvane-export-([0-9a-f]{32})\\.record")));
        for (const QString& entry : m_folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name)) {
            struct stat st {};
            if (::lstat(fsName(m_folder.filePath(entry)).constData(), &st) != 0 || S_ISDIR(st.st_mode))
                continue;
            if (const QRegularExpressionMatch record = records.match(entry); record.hasMatch()) {
                if (S_ISREG(st.st_mode))
                    runOf(record.captured(1)).record = m_folder.filePath(entry);
                continue;
            }
            const QRegularExpressionMatch match = ours.match(entry);
            const qsizetype target = match.hasMatch() ? m_names.indexOf(match.captured(1)) : -1;
            const bool temporary = match.captured(3) == u"tmp";
            if (target < 0 || (temporary && !S_ISREG(st.st_mode)))
                continue;
            RunLeftovers& run = runOf(match.captured(2));
            (temporary ? run.temporaries : run.previous)[target] = m_folder.filePath(entry);
        }
    }

    RunLeftovers& runOf(const QString& token) { return m_runs.try_emplace(token, m_names.size()).first->second; }

    QString target(qsizetype index) const { return m_folder.filePath(m_names[index]); }

    [[noreturn]] void fail(const QString& path, int error)
    {
        if (changed())
            syncFolder(m_folder);
        throwFileError(path, error);
    }

    // Whether no entry stands under the name `index`; the entry's kind in `mode`.
    bool nameEmpty(qsizetype index, mode_t* mode = nullptr)
    {
        struct stat st {};
        if (::lstat(fsName(target(index)).constData(), &st) == 0) {
            if (mode)
                *mode = st.st_mode;
            return false;
        }
        if (errno != ENOENT)
            fail(target(index), errno);
        return true;
    }

    // Whether an entry other than a folder stands under the name `index`.
    bool fileStands(qsizetype index)
    {
        mode_t mode = 0;
        return !nameEmpty(index, &mode) && !S_ISDIR(mode);
    }

    // The second names kept for the name `index`, of every run.
    std::vector<QString*> secondNames(qsizetype index)
    {
        std::vector<QString*> kept;
        for (auto& [token, run] : m_runs)
            if (!run.previous[index].isEmpty())
                kept.push_back(&run.previous[index]);
        return kept;
    }

    // Whether `run` keeps an earlier file under a second name that neither is a mere
    // extra link of its name nor goes back to a name that stands empty.
    bool keepsEarlierFiles(const RunLeftovers& run)
    {
        for (qsizetype i = 0; i < m_names.size(); ++i)
            if (!run.previous[i].isEmpty() && !extraLink(run.previous[i], target(i)) &&
                !(nameEmpty(i) && secondNames(i).size() == 1))
                return true;
        return false;
    }

    // Renames `previous` back to the name `index`, where no entry stands: a rename
    // that replaces nothing, so an entry that appeared meanwhile stays, and the
    // put-back fails.
    void putBack(QString& previous, qsizetype index)
    {
        if (const std::error_code error = renameNoReplace(previous, target(index)))
            fail(target(index), error.value());
        previous.clear();
    }

    // Every name that stands empty and has exactly one second name gets it back.
    // Returns whether a name that stands empty has several, which cannot be told apart.
    bool putBackWhereEmpty()
    {
        bool several = false;
        for (qsizetype i = 0; i < m_names.size(); ++i) {
            if (!nameEmpty(i))
                continue;
            const std::vector<QString*> kept = secondNames(i);
            if (kept.size() == 1) {
                putBack(*kept.front(), i);
                m_putBack = true;
            }
            several = several || kept.size() > 1;
        }
        return several;
    }

    // Takes the one cut run back under the name `index` by its record: where the file
    // under the name is exactly the run's own new file, its second name goes back
    // over it, or, where no file stood there before the run, it goes. Where no entry
    // stands under the name the second name goes back too; over a folder it fails. A
    // second name of the very file under the name is an extra link, left for the
    // removals. Any other file there is a person's and stays.
    void takeBack(qsizetype index, RunLeftovers& run)
    {
        const QString name = target(index);
        QString& previous = run.previous[index];
        struct stat st {};
        if (::lstat(fsName(name).constData(), &st) != 0) {
            if (errno != ENOENT)
                fail(name, errno);
            if (!previous.isEmpty()) {
                putBack(previous, index);
                m_takenBack = true;
            }
            return;
        }
        if (extraLink(previous, name))
            return;
        const RunRecord::Entry& entry = run.plan->entries[index];
        bool own = false;
        if (const std::error_code error = hasIdentity(name, entry.placed, m_store, own))
            fail(name, error.value());
        if (!previous.isEmpty() && (own || S_ISDIR(st.st_mode))) {
            if (const std::error_code error = renameFile(previous, name))
                fail(name, error.value());
            previous.clear();
            m_takenBack = true;
        } else if (own && previous.isEmpty() && !entry.earlier) {
            if (const std::error_code error = removeFile(name); error && !gone(error))
                fail(name, error.value());
            m_takenBack = true;
        }
    }

    // Ends the tidy of a folder it cannot account for. An unreadable record is named
    // with the system's reason; otherwise the folder, with what lies in it, what the
    // tidy changed there and the safe ways on.
    [[noreturn]] void stop()
    {
        for (const auto& [token, run] : m_runs)
            if (run.recordError)
                fail(run.record, run.recordError.value());
        if (changed())
            syncFolder(m_folder);
        QStringList done;
        if (m_takenBack)
            done.append(QStringLiteral("one cut-off export, which was taken back"));
        if (m_putBack)
            done.append(QStringLiteral("earlier files put back under names that stood empty"));
        const QString butFor =
            done.isEmpty() ? QString() : QStringLiteral(" but for ") + done.join(QStringLiteral(", and "));
        throwFileError(
            m_folder.path(),
            QStringLiteral("an export into this folder was cut off, and which of the files in it are the earlier ones "
                           "cannot be told, so nothing in it was changed%1. The earlier files are the hidden files in "
                           "it whose names end in \".previous\": choose another folder for the export, or move those "
                           "files out of this one.")
                .arg(butFor));
    }

    // Removes a leftover; for a cut run's, a failure throws, naming the file.
    void removeLeftover(const QString& path, bool cut)
    {
        const std::error_code error = removeFile(path);
        if (error && !gone(error) && cut)
            fail(path, error.value());
    }

    const QDir& m_folder;
    const QStringList& m_names;
    const OVStore& m_store;
    std::map<QString, RunLeftovers> m_runs;
    // Whether something was put back or removed under a name: by the take-back of the
    // one cut run (its own second names going back to empty names included), or by a
    // second name going back to an empty name after it.
    bool m_takenBack = false;
    bool m_putBack = false;
    bool changed() const { return m_takenBack || m_putBack; }
};

} // namespace

void tidyLeftovers(const QDir& folder, const QStringList& names, const OVStore& store)
{
    FolderTidy(folder, names, store).run();
}

// A run killed on another day left its files in that day's folder, which no later
// export of the day would reach. Symbolic links are not followed.
void tidyOtherExportFolders(const QDir& parent, const QString& target, const QStringList& names,
                            const OVStore& store)
{
    static const QRegularExpression dated(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(datedFolderPrefix) + QStringLiteral("([0-9]{4}-[0-9]{2}-[0-9]{2})")));
    const QString self = QFileInfo(target).fileName();
    for (const QString& name : parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
        const QRegularExpressionMatch match = dated.match(name);
        if (name == self || !match.hasMatch() ||
            !QDate::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd")).isValid())
            continue;
        try {
            tidyLeftovers(QDir(parent.filePath(name)), names, store);
        } catch (const OVError&) {
        }
    }
}

Lock::Lock(const QString& parent) : m_fd(::open(fsName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_fd < 0)
        return;
    const std::error_code error = lockFolder(m_fd);
    if (!error)
        return;
    ::close(m_fd);
    m_fd = -1;
    if (error == std::errc::operation_would_block)
        throw OVError::invalid(
            QStringLiteral("Another export is being written into this folder; try again when it has finished."));
}

Lock::~Lock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::function<std::error_code(const QString&, const QString&)> renameFile = [](const QString& from,
                                                                              const QString& to) {
    return ::rename(fsName(from).constData(), fsName(to).constData()) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(const QString&, const QString&)> linkFile = [](const QString& existing,
                                                                            const QString& newName) {
    return ::link(fsName(existing).constData(), fsName(newName).constData()) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(const QString&, const QString&)> renameNoReplace = [](const QString& from,
                                                                                   const QString& to) {
    const std::error_code error = ::renameNoReplace(from, to);
    if (error != std::errc::operation_not_supported)
        return error;
    // Neither is to be had here: a last look, then a plain rename.
    struct stat st {};
    if (::lstat(fsName(to).constData(), &st) == 0)
        return std::make_error_code(std::errc::file_exists);
    return ::rename(fsName(from).constData(), fsName(to).constData()) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(const QString&)> removeFile = [](const QString& path) {
    return ::unlink(fsName(path).constData()) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(int)> syncFile = [](int fd) {
    return ::fsync(fd) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(int, const std::function<bool(QByteArrayView)>&)> readFile =
    [](int fd, const std::function<bool(QByteArrayView)>& take) {
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), size_t(buffer.size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return lastErrno();
            if (got == 0 || !take(QByteArrayView(buffer.constData(), got)))
                return std::error_code();
        }
    };

std::function<std::error_code(int, int&)> openFile = [](int pathFd, int& fd) {
    fd = ::open(QStringLiteral("/proc/self/fd/%1").arg(pathFd).toLatin1().constData(),
                O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    return fd >= 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(int)> lockFolder = [](int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? std::error_code() : lastErrno();
};

} // namespace ExportFolder
