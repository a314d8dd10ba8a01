#include "services/ExportFolder.h"

#include "services/FilePanels.h"
#include "store/OVError.h"
#include "store/OVStore.h"

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

// Reads `fd` to its end in pieces of `pieceSize` bytes, handing each to `take`, which
// returns false to stop early; the system's error when a read fails.
std::error_code readPieces(int fd, qsizetype pieceSize, const std::function<bool(QByteArrayView)>& take)
{
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return lastErrno();
        if (got == 0 || !take(QByteArrayView(buffer.constData(), got)))
            return {};
    }
}

// Opens the file at `path` for reading, unless it is not a regular file (symbolic
// links are not followed) or it is one of the open store's files: those are never
// opened here, since closing any descriptor of a file drops every lock the process
// holds on it, the engine's included. -1 with `error` clear where there is nothing
// to read; -1 with the system's error where the file could not be opened.
int openUnlessLive(const QString& path, const OVStore& store, std::error_code& error)
{
    error.clear();
    struct stat st {};
    if (::lstat(fsName(path).constData(), &st) != 0) {
        if (errno != ENOENT)
            error = lastErrno();
        return -1;
    }
    if (!S_ISREG(st.st_mode) || store.isOwnFile(path))
        return -1;
    const int fd = ::open(fsName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && errno != ENOENT && errno != ELOOP && errno != ENXIO)
        error = lastErrno();
    return fd;
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
        const int fd = openUnlessLive(path, store, error);
        if (fd < 0)
            return error;
        QByteArray text;
        error = readFile(fd, maxRecordSize, text);
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
    const int fd = openUnlessLive(path, store, error);
    if (fd < 0)
        return error;
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return lastErrno();
    if (!S_ISREG(st.st_mode) || st.st_size != identity.size)
        return {};
    QCryptographicHash hash(identityDigest);
    if (const std::error_code error = readPieces(fd, 1 << 20, [&hash](QByteArrayView piece) {
            hash.addData(piece);
            return true;
        }))
        return error;
    same = hash.result().toHex() == identity.digest;
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

const QString unaccounted =
    QStringLiteral("an export that was cut off left no whole record of what it placed, so the earlier files it "
                   "kept were left as they are");
const QString unordered = QStringLiteral("the exports cut off in this folder cannot be put in the order they ran, "
                                         "so the earlier files they kept were left as they are");

// Orders cut runs latest first. A run that gave a second name to a file another run
// had placed came after that run. A name tells this only where the other run's own
// second name there holds different bytes: where a table did not change, the file a
// run placed and the earlier one it kept are alike, and either run's second name
// could be either file. Where what the names tell contradicts itself, the order
// cannot be told, and this throws (OVError::file naming a record) before anything
// changes. Only a folder written without the exporter's tidy (an earlier version,
// two computers sharing a drive, a copied folder) can hold more than one cut run.
void latestFirst(std::vector<RunLeftovers*>& runs, const OVStore& store)
{
    if (runs.size() < 2)
        return;
    const auto holds = [&store](const QString& path, const FileIdentity& identity) {
        bool same = false;
        return !path.isEmpty() && !hasIdentity(path, identity, store, same) && same;
    };
    const auto after = [&holds](const RunLeftovers* later, const RunLeftovers* earlier) {
        if (!earlier->plan)
            return false;
        for (qsizetype i = 0; i < later->previous.size(); ++i) {
            // A cut run with a whole record had written every temporary copy: the
            // ones gone were placed.
            if (!earlier->temporaries[i].isEmpty())
                continue;
            const FileIdentity& placed = earlier->plan->entries[i].placed;
            if (holds(later->previous[i], placed) && !holds(earlier->previous[i], placed))
                return true;
        }
        return false;
    };
    std::vector<RunLeftovers*> left = runs, ordered;
    while (!left.empty()) {
        const auto next = std::find_if(left.begin(), left.end(), [&](const RunLeftovers* run) {
            return std::none_of(left.begin(), left.end(),
                                [&](const RunLeftovers* other) { return other != run && after(other, run); });
        });
        if (next == left.end())
            throwFileError(left.front()->record, unordered);
        ordered.push_back(*next);
        left.erase(next);
    }
    runs = ordered;
}

// Takes the cut runs back under one name, latest run first: where the file under the
// name is exactly the run's own new file, its second name goes back over it, or,
// where no file stood there before the run, it goes. Where no entry stands under the
// name, or a folder does, the second name goes back too (over a folder it fails).
// A second name of the very file under the name (the run was cut between giving it
// and placing its own) is an extra link, left for the removals. Any other file there
// is a person's and stays. Returns whether anything changed.
bool takeBack(const QDir& folder, const QStringList& names, qsizetype index, const std::vector<RunLeftovers*>& cut,
              const OVStore& store)
{
    const QString target = folder.filePath(names[index]);
    bool changed = false;
    for (RunLeftovers* run : cut) {
        QString& previous = run->previous[index];
        struct stat st {};
        const bool present = ::lstat(fsName(target).constData(), &st) == 0;
        if (!present && errno != ENOENT)
            throwFileError(target, errno);
        if (present && extraLink(previous, target))
            continue;
        bool own = false;
        if (present && run->plan)
            if (const std::error_code error = hasIdentity(target, run->plan->entries[index].placed, store, own))
                throwFileError(target, error.value());
        if (!previous.isEmpty() && (own || !present || S_ISDIR(st.st_mode))) {
            if (const std::error_code error = renameFile(previous, target)) {
                if (changed)
                    syncFolder(folder);
                throwFileError(target, error.value());
            }
            previous.clear();
            changed = true;
        } else if (own && previous.isEmpty() && !run->plan->entries[index].earlier) {
            if (const std::error_code error = removeFile(target); error && !gone(error)) {
                if (changed)
                    syncFolder(folder);
                throwFileError(target, error.value());
            }
            changed = true;
        }
    }
    return changed;
}

// Removes a leftover; for a cut run's, a failure throws, naming the file.
void removeLeftover(const QString& path, bool cut)
{
    const std::error_code error = removeFile(path);
    if (error && !gone(error) && cut)
        throwFileError(path, error.value());
}

} // namespace

// Only regular files under our own hidden names are touched. Before anything
// changes, every cut run is accounted for: its record read, and the runs put in
// order. All put-backs come before any removal, and the temporaries, which mark a
// run as cut, go before the records, last: a tidy killed part way is finished by the
// next. A put-back or removal of a cut run's leftover that fails throws, naming the
// file; what was put back before it stays so.
void tidyLeftovers(const QDir& folder, const QStringList& names, const OVStore& store)
{
    static const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QStringLiteral("\\.(.+)\\.orvane-export-([0-9a-f]{32})\\.(tmp|previous)")));
    static const QRegularExpression records(
        QRegularExpression::anchoredPattern(QStringLiteral("\\.orvane-export-([0-9a-f]{32})\\.record")));
    std::map<QString, RunLeftovers> runs;
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        struct stat st {};
        if (::lstat(fsName(folder.filePath(entry)).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (const QRegularExpressionMatch record = records.match(entry); record.hasMatch()) {
            runs.try_emplace(record.captured(1), names.size()).first->second.record = folder.filePath(entry);
            continue;
        }
        const QRegularExpressionMatch match = ours.match(entry);
        const qsizetype target = match.hasMatch() ? names.indexOf(match.captured(1)) : -1;
        if (target < 0)
            continue;
        RunLeftovers& run = runs.try_emplace(match.captured(2), names.size()).first->second;
        (match.captured(3) == u"tmp" ? run.temporaries : run.previous)[target] = folder.filePath(entry);
    }
    if (runs.empty())
        return;

    std::vector<RunLeftovers*> cut;
    for (auto& [token, run] : runs) {
        if (!run.cut())
            continue;
        if (!run.record.isEmpty())
            if (const std::error_code error = RunRecord::read(run.record, names.size(), store, run.plan))
                throwFileError(run.record, error.value());
        // A run records what it will do before it gives any file a second name, so
        // without a whole record it placed nothing (a second name that is an extra
        // link of its name holds nothing else), or it cannot be accounted for.
        if (!run.plan)
            for (qsizetype i = 0; i < names.size(); ++i)
                if (!run.previous[i].isEmpty() && !extraLink(run.previous[i], folder.filePath(names[i])))
                    throwFileError(run.record.isEmpty() ? run.previous[i] : run.record, unaccounted);
        cut.push_back(&run);
    }
    latestFirst(cut, store);
    bool changed = false;
    for (qsizetype i = 0; i < names.size(); ++i)
        changed = takeBack(folder, names, i, cut, store) || changed;
    if (changed)
        syncFolder(folder);

    // Every second name still there is now a mere extra link, an earlier file that a
    // finished run or a person replaced, or the copy of an earlier cut run.
    for (const auto& [token, run] : runs)
        for (const QString& previous : run.previous)
            if (!previous.isEmpty())
                removeLeftover(previous, run.cut());
    for (const auto& [token, run] : runs)
        for (const QString& temp : run.temporaries)
            if (!temp.isEmpty())
                removeLeftover(temp, true);
    for (const auto& [token, run] : runs)
        if (!run.record.isEmpty())
            removeLeftover(run.record, run.cut());
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

std::function<std::error_code(const QString&)> removeFile = [](const QString& path) {
    return ::unlink(fsName(path).constData()) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(int)> syncFile = [](int fd) {
    return ::fsync(fd) == 0 ? std::error_code() : lastErrno();
};

std::function<std::error_code(int, qint64, QByteArray&)> readFile = [](int fd, qint64 limit, QByteArray& bytes) {
    bytes.clear();
    return readPieces(fd, 4096, [&bytes, limit](QByteArrayView piece) {
        bytes.append(piece);
        return bytes.size() < limit;
    });
};

std::function<std::error_code(int)> lockFolder = [](int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? std::error_code() : lastErrno();
};

} // namespace ExportFolder
