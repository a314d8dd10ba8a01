#include "services/Exporter.h"

#include "records/Calendar.h"
#include "records/MaintenanceCategory.h"
#include "records/OVFormat.h"
#include "services/FilePanels.h"
#include "services/JobState.h"
#include "services/LocalTimestamp.h"
#include "services/OVCSV.h"
#include "services/Schedule.h"
#include "store/OVStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString listSeparator = QStringLiteral("; ");

QString dayCell(const std::optional<OVDay>& day) { return day ? day->iso() : QString(); }
QString dayTimeCell(const std::optional<QDateTime>& instant)
{
    return instant ? OVFormat::dayTime(*instant) : QString();
}
QString amountCell(double value) { return OVFormat::num(value, 2); }
QString moneyCell(double value) { return OVFormat::fixed(value, 2); }
QString integerCell(qint64 value) { return QString::number(value); } // never locale-dependent
QString flagCell(bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); }

QString plantName(const OVStore& store, std::optional<qint64> plantID)
{
    const std::optional<Plant> plant = store.get<Plant>(plantID);
    return plant ? plant->displayName() : QString();
}

QString alertRanges(const Zone& zone)
{
    static const QString none = QString(QChar(0x2013));
    static const QString through = QString(QChar(0x2026));
    QStringList parts;
    for (const Metric m : Metric::allCases()) {
        const auto range = zone.limits.find(m);
        if (range == zone.limits.end())
            continue;
        const MetricRange& r = range->second;
        parts.append(m.shortName() + u' ' + (r.min ? m.format(*r.min) : none) + through +
                     (r.max ? m.format(*r.max) : none));
    }
    return parts.join(listSeparator);
}

// ---- Readings, one line at a time

QStringList readingHeader()
{
    QStringList header{QStringLiteral("timestamp"), QStringLiteral("zone"), QStringLiteral("greenhouse")};
    for (const Metric m : Metric::allCases())
        header.append(m.column());
    header << QStringLiteral("source") << QStringLiteral("note");
    return header;
}

QString csvLine(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        line += OVCSV::escape(fields[i]);
    }
    return line + crlf;
}

// Makes the CSV line of each reading. One per export: the time zone is read once.
class ReadingLines {
public:
    // The zone and greenhouse cells, escaped once for all readings of the zone.
    void setZone(const QString& zoneName, const QString& houseName)
    {
        m_zoneCells = OVCSV::escape(zoneName) + u',' + OVCSV::escape(houseName);
    }

    const QString& line(const Reading& reading)
    {
        char buffer[512]; // "%.2f" of the largest double needs 312 characters
        m_line.clear();
        m_line += OVCSV::escape(QString::fromLatin1(buffer, m_stamp.write(reading.taken, buffer)));
        m_line += u',';
        m_line += m_zoneCells;
        auto value = reading.values.begin();
        for (const Metric m : Metric::allCases()) {
            m_line += u',';
            while (value != reading.values.end() && value->first < m)
                ++value;
            if (value != reading.values.end() && value->first == m) {
                const auto end = std::to_chars(buffer, buffer + sizeof buffer, value->second,
                                               std::chars_format::fixed, 2).ptr;
                m_line += OVCSV::escape(QString::fromLatin1(buffer, end - buffer));
            }
        }
        m_line += u',';
        m_line += OVCSV::escape(reading.source);
        m_line += u',';
        m_line += OVCSV::escape(reading.note);
        m_line += crlf;
        return m_line;
    }

private:
    LocalTimestamp m_stamp;
    QString m_zoneCells;
    QString m_line;
};

// The error that ends an export whose reads did not all succeed. The store reads a
// failed query as "nothing", so a table built from it would look complete with rows
// or cells left out; the watch that heard of the failure gives its reason.
OVError readFailure(const OVStore::ReadWatch& reads)
{
    return OVError::database(reads.failed() ? reads.reason() : QStringLiteral("the records could not be read"));
}

// Hands the header line and then every reading's line to `sink`, zones in the
// store's zone order (greenhouse id, then name), each zone's readings oldest first.
// Returns false as soon as `sink` does. Throws OVError::database when any read fails
// (the zone list, a zone's greenhouse, a zone's readings), whatever was handed out.
// With a job: one step per reading, and a cancel request is honoured between rows
// (JobCancelled leaves through `sink`'s owner, which discards what it wrote).
bool streamReadings(const OVStore& store, const std::function<bool(const QString&)>& sink, JobState* job = nullptr)
{
    const OVStore::ReadWatch reads(store);
    const auto checkReads = [&reads] {
        if (reads.failed())
            throw readFailure(reads);
    };
    if (job)
        job->setStage(QStringLiteral("Exporting readings…"), store.count(QStringLiteral("reading")));
    const QList<Zone> zones = store.zones();
    checkReads();
    if (!sink(csvLine(readingHeader())))
        return false;
    ReadingLines lines;
    for (const Zone& zone : zones) {
        const std::optional<Greenhouse> house = store.get<Greenhouse>(zone.greenhouseID);
        checkReads();
        lines.setZone(zone.name, house ? house->name : QString());
        bool sinkFailed = false;
        const bool complete = store.eachReading(zone.id, [&](const Reading& reading) {
            if (job) {
                job->checkCancel();
                job->advance();
            }
            sinkFailed = !sink(lines.line(reading));
            return !sinkFailed;
        });
        if (sinkFailed)
            return false;
        if (!complete)
            throw readFailure(reads);
    }
    return true;
}

// ---- Files

// What tells a file the exporter wrote from any other under its name: its size and
// a digest of its bytes. Both survive a copy with the times kept and a drive unplugged
// and plugged in again, which hands out new inode numbers on FAT and exFAT; no clock
// is involved, so a clock set back or a time kept by mv or cp -p cannot mislead it.
struct FileIdentity {
    qint64 size = -1;
    QByteArray digest; // hex
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Fast, and no accidental match is ever met.
constexpr QCryptographicHash::Algorithm identityDigest = QCryptographicHash::Blake2b_256;

// Buffers UTF-8 text into a file in large writes, and takes the identity of what it
// wrote on the way.
class FileSink {
public:
    explicit FileSink(QFileDevice& file) : m_file(file) { m_buffer.reserve(chunk + 4096); }

    bool add(const QString& text)
    {
        m_buffer += text.toUtf8();
        return m_buffer.size() < chunk || flush();
    }

    // A short write is retried: only the call that fails outright carries the
    // system's reason (for example "File too large") into errorString().
    bool flush()
    {
        if (!FilePanels::writeAll(m_file, m_buffer))
            return false;
        m_hash.addData(m_buffer);
        m_size += m_buffer.size();
        m_buffer.clear();
        return true;
    }

    // The identity of the bytes written so far.
    FileIdentity identity() const { return {m_size, m_hash.result().toHex()}; }

private:
    static constexpr qsizetype chunk = 1 << 16;
    QFileDevice& m_file;
    QByteArray m_buffer;
    QCryptographicHash m_hash{identityDigest};
    qint64 m_size = 0;
};

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
// of the file it replaces. The token, 128 random bits, is the run's own, so these
// names are never a person's, nor an earlier run's.
const QString hiddenTag = QStringLiteral(".orvane-export-");
const QString datedFolderPrefix = QStringLiteral("QNMR Orvane export ");
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

// What a run records, synced, before it puts anything in place: for each of the
// eight names, whether a file stood there, and the identity of the new file it puts
// there. Its last line marks it whole; a run whose record is not whole has placed
// nothing. Kept as ".orvane-export-<token>.record" beside the files.
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

    // The record in `path`, or nothing when it is not a whole record for the eight
    // files (cut while it was written, or not ours).
    static std::optional<RunRecord> read(const QString& path, qsizetype files)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
        if (lines.size() != files + 3 || lines.first() != heading || lines[files + 1] != ending ||
            !lines.last().isEmpty())
            return std::nullopt;
        RunRecord record;
        for (qsizetype i = 1; i <= files; ++i) {
            const QList<QByteArray> fields = lines[i].split(' ');
            bool ok = false;
            Entry entry;
            if (fields.size() != 3 || (fields[0] != "0" && fields[0] != "1"))
                return std::nullopt;
            entry.earlier = fields[0] == "1";
            entry.placed.size = fields[1].toLongLong(&ok);
            entry.placed.digest = fields[2];
            if (!ok || entry.placed.digest.isEmpty())
                return std::nullopt;
            record.entries.append(entry);
        }
        return record;
    }
};

// Whether the entry at `path` is a regular file with exactly the bytes `identity`
// describes; the system's error when it cannot be read to tell. Symbolic links are
// not followed.
std::error_code hasIdentity(const QString& path, const FileIdentity& identity, bool& same)
{
    same = false;
    const int fd = ::open(fsName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ELOOP || errno == ENOENT || errno == ENXIO ? std::error_code() : lastErrno();
    const auto closing = qScopeGuard([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return lastErrno();
    if (!S_ISREG(st.st_mode) || st.st_size != identity.size)
        return {};
    QCryptographicHash hash(identityDigest);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return lastErrno();
        if (got == 0)
            break;
        hash.addData(QByteArrayView(buffer.constData(), got));
    }
    same = hash.result().toHex() == identity.digest;
    return {};
}

// The files of one export, each written complete to a temporary file beside its
// target before any target is touched, then put in place together. Until then a
// failure, a cancel or an exception takes only the temporary files away: whatever
// stood under the targets' names (an earlier export of the same day) stays as it was.
class PendingFiles {
public:
    explicit PendingFiles(const QDir& folder) : m_folder(folder) {}
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;
    ~PendingFiles()
    {
        if (m_keepTemporaries)
            return;
        for (const Pending& file : m_files)
            if (!file.placed)
                QFile::remove(file.temp);
        if (m_recorded)
            QFile::remove(recordPath());
    }

    // Writes one file's temporary copy and syncs it to the disk. A failure names
    // the target with the system's reason; an exception from `fill` (a failed read,
    // a cancel) passes through. Either way the copy is gone.
    void write(const QString& name, const std::function<bool(FileSink&)>& fill)
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
        if (::fsync(file.handle()) != 0)
            throwFileError(target, errno);
        file.close();
        Pending pending;
        pending.identity = sink.identity();
        pending.target = target;
        pending.temp = temp;
        pending.previous = m_folder.filePath(hiddenName(name, m_token, previousSuffix));
        m_files.append(pending);
        discard.dismiss();
    }

    // Records what the run is about to do, then renames every temporary copy over
    // its target. When one rename fails, the targets already replaced get their
    // earlier files back (or go, where there was none), so the folder holds either
    // the whole earlier set or the whole new one. Once the last copy is in place the
    // export has finished, and the second names of the earlier files go, then the
    // record; one that cannot be removed is left to the next tidy.
    QStringList place()
    {
        record();
        for (qsizetype i = 0; i < m_files.size(); ++i) {
            Pending& file = m_files[i];
            if (const int error = keepEarlier(file)) {
                undo(i);
                throwFileError(file.target, error);
            }
            if (const std::error_code error = Exporter::renameFile(file.temp, file.target)) {
                undo(i);
                throwFileError(file.target, error.value());
            }
            file.placed = true;
        }
        syncFolder(m_folder);
        QStringList targets;
        for (const Pending& file : m_files) {
            if (!file.kept.isEmpty())
                Exporter::removeFile(file.kept);
            targets.append(file.target);
        }
        Exporter::removeFile(recordPath());
        m_recorded = false;
        return targets;
    }

private:
    QString recordPath() const { return m_folder.filePath(hiddenTag + m_token + recordSuffix); }

    // Writes the run's record and makes it, and the temporary copies' names, durable
    // before anything is put in place, so that the tidy of a run cut while placing
    // knows which files under the names are its own.
    void record()
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
        if (::fsync(file.handle()) != 0)
            throwFileError(m_folder.path(), errno);
        file.close();
        syncFolder(m_folder);
    }

    struct Pending {
        FileIdentity identity; // of the temporary copy, and so of the file it becomes
        QString target;
        QString temp;
        QString previous;       // the name `kept` takes
        QString kept;           // a second name of the earlier file under `target`
        bool movedAside = false; // `kept` is that file's only name now
        bool placed = false;
    };

    // Gives the file now under `target` a second name, so it can be put back by one
    // rename: a hard link, or where the file system has none, the file moved aside.
    // Returns the system's error when neither can be done.
    static int keepEarlier(Pending& file)
    {
        struct stat st {};
        if (::lstat(fsName(file.target).constData(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (S_ISDIR(st.st_mode))
            return EISDIR; // a rename over a folder fails; nothing is to be kept
        if (Exporter::linkFile(file.target, file.previous)) {
            if (const std::error_code error = Exporter::renameFile(file.target, file.previous))
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
    void undo(qsizetype failed)
    {
        for (qsizetype i = failed; i >= 0; --i) {
            Pending& file = m_files[i];
            if (file.placed || file.movedAside) {
                if (!file.kept.isEmpty()) {
                    if (Exporter::renameFile(file.kept, file.target))
                        m_keepTemporaries = true;
                } else if (const std::error_code error = Exporter::removeFile(file.target);
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

    QDir m_folder;
    QString m_token = runToken();
    QList<Pending> m_files;
    bool m_recorded = false;       // the record is there
    bool m_keepTemporaries = false; // the run could not be taken back whole: the tidy will
};

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

// Orders cut runs latest first. A run that gave a second name to a file another run
// had put in place came after that run. Only a folder written without the exporter's
// tidy (an earlier version, two computers sharing a drive, a copied folder) can hold
// more than one cut run.
void latestFirst(std::vector<RunLeftovers*>& runs)
{
    if (runs.size() < 2)
        return;
    const auto after = [](const RunLeftovers* later, const RunLeftovers* earlier) {
        if (!earlier->plan)
            return false;
        for (qsizetype i = 0; i < later->previous.size(); ++i) {
            bool same = false;
            if (!later->previous[i].isEmpty() && !hasIdentity(later->previous[i], earlier->plan->entries[i].placed, same) &&
                same)
                return true;
        }
        return false;
    };
    std::vector<RunLeftovers*> left = runs, ordered;
    while (!left.empty()) {
        // The first run no other run came after; the first of all where none is.
        auto next = std::find_if(left.begin(), left.end(), [&](const RunLeftovers* run) {
            return std::none_of(left.begin(), left.end(),
                                [&](const RunLeftovers* other) { return other != run && after(other, run); });
        });
        if (next == left.end())
            next = left.begin();
        ordered.push_back(*next);
        left.erase(next);
    }
    runs = ordered;
}

// Takes the cut runs back under one name, latest run first: where the file under the
// name is exactly the run's own new file, its second name goes back over it, or,
// where no file stood there before the run, it goes. Where no entry stands under the
// name, or a folder does, the second name goes back too (over a folder it fails).
// Any other file there is a person's and stays. Returns whether anything changed.
bool takeBack(const QDir& folder, qsizetype index, const std::vector<RunLeftovers*>& cut)
{
    const QString target = folder.filePath(Exporter::fileNames()[index]);
    bool changed = false;
    for (RunLeftovers* run : cut) {
        struct stat st {};
        const bool present = ::lstat(fsName(target).constData(), &st) == 0;
        if (!present && errno != ENOENT)
            throwFileError(target, errno);
        bool own = false;
        if (present && run->plan)
            if (const std::error_code error = hasIdentity(target, run->plan->entries[index].placed, own))
                throwFileError(target, error.value());
        QString& previous = run->previous[index];
        if (!previous.isEmpty() && (own || !present || S_ISDIR(st.st_mode))) {
            if (const std::error_code error = Exporter::renameFile(previous, target)) {
                if (changed)
                    syncFolder(folder);
                throwFileError(target, error.value());
            }
            previous.clear();
            changed = true;
        } else if (own && previous.isEmpty() && !run->plan->entries[index].earlier) {
            if (const std::error_code error = Exporter::removeFile(target); error && !gone(error)) {
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
    const std::error_code error = Exporter::removeFile(path);
    if (error && !gone(error) && cut)
        throwFileError(path, error.value());
}

// Takes back, then removes, what runs killed part way left in `folder` (see
// everything()), in one pass. Only regular files under our own hidden names are
// touched. All put-backs come before any removal, and the temporaries, which mark a
// run as cut, go before the records, last: a tidy killed part way is finished by the
// next. A put-back or removal of a cut run's leftover that fails throws, naming the
// file; what was put back before it stays so.
void tidyLeftovers(const QDir& folder)
{
    static const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QStringLiteral("\\.(.+)\\.orvane-export-([0-9a-f]{32})\\.(tmp|previous)")));
    static const QRegularExpression records(
        QRegularExpression::anchoredPattern(QStringLiteral("\\.orvane-export-([0-9a-f]{32})\\.record")));
    const QStringList& names = Exporter::fileNames();
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
            run.plan = RunRecord::read(run.record, names.size());
        cut.push_back(&run);
    }
    latestFirst(cut);
    bool changed = false;
    for (qsizetype i = 0; i < names.size(); ++i)
        changed = takeBack(folder, i, cut) || changed;
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

// Tidies the other dated export folders in `parent` the same way: a run killed on
// another day left its files in that day's folder, which no later export of the day
// would reach. A put-back or removal that fails there leaves the rest of that folder
// as it is (what was put back before it stays so); it does not stop this export.
// Symbolic links are not followed.
void tidyOtherExportFolders(const QDir& parent, const QString& target)
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
            tidyLeftovers(QDir(parent.filePath(name)));
        } catch (const OVError&) {
        }
    }
}

// An advisory lock on the folder the dated export folders stand in, held for one
// export's tidy, writing and placing. Another export into it, from this process or
// another (on another computer too, where the file system passes such locks on),
// fails at once rather than take this run for a cut one. Where the file system takes
// no lock on a folder, none is held and the export goes on.
class ExportLock {
public:
    explicit ExportLock(const QString& parent)
        : m_fd(::open(fsName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd < 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            return;
        ::close(m_fd);
        throw OVError::invalid(
            QStringLiteral("Another export is being written into this folder; try again when it has finished."));
    }
    ~ExportLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    ExportLock(const ExportLock&) = delete;
    ExportLock& operator=(const ExportLock&) = delete;

private:
    int m_fd;
};

} // namespace

namespace Exporter {

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

QString folderName(const OVDay& day) { return datedFolderPrefix + day.iso(); }

const QStringList& fileNames()
{
    static const QStringList names{
        QStringLiteral("Greenhouses and zones.csv"), QStringLiteral("Plants.csv"),
        QStringLiteral("Seeds.csv"),                 QStringLiteral("Climate readings.csv"),
        QStringLiteral("Schedules and maintenance.csv"), QStringLiteral("Pests and diseases.csv"),
        QStringLiteral("Harvests.csv"),              QStringLiteral("Supplies and costs.csv"),
    };
    return names;
}

QString greenhouses(const OVStore& store)
{
    const QStringList header{QStringLiteral("Greenhouse"), QStringLiteral("Location"), QStringLiteral("Size"),
                             QStringLiteral("Glazing"),    QStringLiteral("Zone"),     QStringLiteral("Beds and benches"),
                             QStringLiteral("Alert ranges"), QStringLiteral("Notes")};
    QList<QStringList> rows;
    for (const Greenhouse& house : store.greenhouses()) {
        const QList<Zone> zones = store.zones(house.id);
        if (zones.isEmpty()) {
            rows.append({house.name, house.location, house.size, house.glazing, QString(), QString(), QString(),
                         house.notes});
            continue;
        }
        for (const Zone& zone : zones) {
            QStringList spots;
            for (const Spot& spot : store.spots(zone.id))
                spots.append(spot.kind.name() + u' ' + spot.name);
            rows.append({house.name, house.location, house.size, house.glazing, zone.name,
                         spots.join(listSeparator), alertRanges(zone), zone.notes});
        }
    }
    return OVCSV::write(header, rows);
}

QString plants(const OVStore& store)
{
    const QStringList header{QStringLiteral("Crop"),     QStringLiteral("Variety"),      QStringLiteral("Source"),
                             QStringLiteral("Status"),   QStringLiteral("Plants"),       QStringLiteral("Sown"),
                             QStringLiteral("Transplanted"), QStringLiteral("Expected harvest"),
                             QStringLiteral("Location"), QStringLiteral("Photos"),       QStringLiteral("Notes")};
    QList<QStringList> rows;
    for (const Plant& p : store.plants()) {
        rows.append({p.crop, p.variety, p.source, p.status.name(), integerCell(p.quantity), dayCell(p.sowDate),
                     dayCell(p.transplantDate), dayCell(p.expectedHarvest), store.locationText(p),
                     integerCell(store.photoCount(p.id)), p.notes});
    }
    return OVCSV::write(header, rows);
}

QString seeds(const OVStore& store)
{
    const QStringList header{QStringLiteral("Crop"),   QStringLiteral("Variety"), QStringLiteral("Supplier"),
                             QStringLiteral("Lot"),    QStringLiteral("Packed for"), QStringLiteral("Amount"),
                             QStringLiteral("Unit"),   QStringLiteral("Germination tests"),
                             QStringLiteral("Latest germination %"), QStringLiteral("Latest test date"),
                             QStringLiteral("Notes")};
    QList<QStringList> rows;
    for (const Seed& s : store.seeds()) {
        const QList<GermTest> tests = store.germTests(s.id); // newest start day first
        const bool tested = !tests.isEmpty();
        rows.append({s.crop, s.variety, s.supplier, s.lot, s.year ? integerCell(*s.year) : QString(),
                     amountCell(s.quantity), s.unit, integerCell(tests.size()),
                     tested ? OVFormat::fixed(tests.first().rate(), 0) : QString(),
                     tested ? tests.first().started.iso() : QString(), s.notes});
    }
    return OVCSV::write(header, rows);
}

QString readings(const OVStore& store)
{
    QString text;
    streamReadings(store, [&text](const QString& line) {
        text += line;
        return true;
    });
    return text;
}

QString tasks(const OVStore& store)
{
    const QStringList header{QStringLiteral("Type"),    QStringLiteral("Category"),  QStringLiteral("Title"),
                             QStringLiteral("Where"),   QStringLiteral("Amount / product"), QStringLiteral("Repeats"),
                             QStringLiteral("Starts"),  QStringLiteral("Time"),      QStringLiteral("Next due"),
                             QStringLiteral("Last done"), QStringLiteral("Reminder"), QStringLiteral("Active"),
                             QStringLiteral("Notes")};
    const Calendar calendar = Calendar::current();
    const QChar zero(u'0');
    QList<QStringList> rows;
    for (const OVTask& t : store.tasks()) {
        const std::optional<MaintenanceCategory> category = MaintenanceCategory::fromRaw(t.category);
        rows.append({t.kind.name(), category ? category->name() : t.category, t.title, store.zoneName(t.zoneID),
                     t.amount, t.rule.summary(), t.start.iso(),
                     QStringLiteral("%1:%2").arg(t.hour, 2, 10, zero).arg(t.minute, 2, 10, zero),
                     dayTimeCell(Schedule::nextDue(t, calendar)), dayTimeCell(t.lastDone), flagCell(t.remind),
                     flagCell(t.active), t.notes});
    }
    return OVCSV::write(header, rows);
}

QString pests(const OVStore& store)
{
    const QStringList header{QStringLiteral("Seen"),      QStringLiteral("Problem"), QStringLiteral("Type"),
                             QStringLiteral("Severity (1-5)"), QStringLiteral("Plant"), QStringLiteral("Zone"),
                             QStringLiteral("Treatment"), QStringLiteral("Treated"), QStringLiteral("Result"),
                             QStringLiteral("Resolved"),  QStringLiteral("Notes")};
    QList<QStringList> rows;
    for (const PestRecord& p : store.pests()) {
        rows.append({p.observed.iso(), p.problem, p.kind.name(), integerCell(p.severity), plantName(store, p.plantID),
                     store.zoneName(p.zoneID), p.treatment, dayCell(p.treated), p.result, flagCell(p.resolved),
                     p.notes});
    }
    return OVCSV::write(header, rows);
}

QString harvests(const OVStore& store)
{
    const QStringList header{QStringLiteral("Date"),     QStringLiteral("Crop"), QStringLiteral("Plant"),
                             QStringLiteral("Quantity"), QStringLiteral("Unit"), QStringLiteral("Weight (lb)"),
                             QStringLiteral("Quality"),  QStringLiteral("Notes")};
    QList<QStringList> rows;
    for (const Harvest& h : store.harvests()) {
        const std::optional<double> pounds = h.pounds();
        rows.append({h.date.iso(), h.crop, plantName(store, h.plantID), amountCell(h.quantity), h.unit.rawValue(),
                     pounds ? moneyCell(*pounds) : QString(), h.quality, h.notes});
    }
    return OVCSV::write(header, rows);
}

QString ledger(const OVStore& store)
{
    const QStringList header{QStringLiteral("Date"), QStringLiteral("Item"),     QStringLiteral("Category"),
                             QStringLiteral("Quantity"), QStringLiteral("Unit"), QStringLiteral("Cost ($)"),
                             QStringLiteral("Vendor"), QStringLiteral("Crop"),   QStringLiteral("Notes")};
    QList<QStringList> rows;
    for (const LedgerEntry& e : store.ledger()) {
        rows.append({e.date.iso(), e.item, e.category.name(), amountCell(e.quantity), e.unit, moneyCell(e.cost),
                     e.vendor, e.crop, e.notes});
    }
    return OVCSV::write(header, rows);
}

namespace {

constexpr qsizetype readingsTable = 3;

QString stageText(qsizetype table)
{
    static const char* const names[] = {"greenhouses and zones", "plants", "seeds", "readings",
                                        "schedules and maintenance", "pests and diseases", "harvests",
                                        "supplies and costs"};
    return QStringLiteral("Exporting ") + QString::fromLatin1(names[table]) + QStringLiteral("…");
}

using Builder = QString (*)(const OVStore&);

// The builders of the small tables in fileNames() order; the readings have none.
const Builder* tableBuilders()
{
    static const Builder builders[] = {greenhouses, plants, seeds, nullptr, tasks, pests, harvests, ledger};
    return builders;
}

// The text of a small table, built under a watch on every read it makes (its
// records and the look-ups for their cells): a failed read throws OVError::database
// instead of giving a table that only looks complete.
QString checkedText(const OVStore& store, qsizetype table)
{
    const OVStore::ReadWatch reads(store);
    QString text = tableBuilders()[table](store);
    if (reads.failed())
        throw readFailure(reads);
    return text;
}

} // namespace

QStringList everything(const OVStore& store, const QString& folder, JobState* job)
{
    const std::filesystem::path target(folder.toStdU16String());
    const QDir parent = QFileInfo(QDir::cleanPath(folder)).dir();
    std::error_code error;
    // The lock is taken before the folder is made; where its parent cannot be made,
    // making the folder fails below with the reason.
    std::filesystem::create_directories(parent.path().toStdU16String(), error);
    const ExportLock lock(parent.path());
    const bool existed = std::filesystem::exists(target, error);
    std::filesystem::create_directories(target, error);
    if (error)
        throw OVError::file(QDir::toNativeSeparators(folder), error);
    if (existed)
        tidyLeftovers(QDir(folder));
    tidyOtherExportFolders(parent, QDir::cleanPath(folder));

    try {
        PendingFiles files{QDir(folder)};
        {
            // The small tables are made before any file is written; the readings,
            // which may be millions of rows, go straight from the store into their
            // file. All eight are read from one snapshot, so they agree with each
            // other even when the window saves meanwhile.
            const OVStore::ReadSnapshot snapshot(store);
            QStringList texts;
            for (qsizetype i = 0; i < fileNames().size(); ++i) {
                if (job) {
                    job->checkCancel();
                    job->setStage(stageText(i));
                }
                texts.append(i == readingsTable ? QString() : checkedText(store, i));
            }
            for (qsizetype i = 0; i < fileNames().size(); ++i) {
                if (job)
                    job->checkCancel();
                if (i == readingsTable) {
                    files.write(fileNames()[i], [&store, job](FileSink& sink) {
                        return streamReadings(store, [&sink](const QString& line) { return sink.add(line); }, job);
                    });
                } else {
                    files.write(fileNames()[i], [&texts, i](FileSink& sink) { return sink.add(texts[i]); });
                }
            }
        }
        // Past this point the export is no longer cancelled: the eight files are
        // complete and only their renames are left.
        return files.place();
    } catch (...) {
        // Nothing of a failed or cancelled export stays: its temporary files are gone
        // already, and the folder goes too when this run made it and nothing else is
        // in it.
        if (!existed)
            std::filesystem::remove(target, error);
        throw;
    }
}

bool writeTable(const OVStore& store, qsizetype table, const std::function<bool(const QByteArray&)>& sink,
                JobState* job)
{
    // A table and the look-ups for its cells from one snapshot.
    const OVStore::ReadSnapshot snapshot(store);
    if (table == readingsTable) {
        QByteArray chunk;
        const auto flush = [&] {
            const bool ok = sink(chunk);
            chunk.clear();
            return ok;
        };
        const bool all = streamReadings(
            store,
            [&](const QString& line) {
                chunk += line.toUtf8();
                return chunk.size() < (1 << 16) || flush();
            },
            job);
        return all && (chunk.isEmpty() || flush());
    }
    if (job)
        job->setStage(stageText(table));
    const QByteArray text = checkedText(store, table).toUtf8();
    if (job)
        job->checkCancel();
    return sink(text);
}

} // namespace Exporter
