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

// Buffers UTF-8 text into a file in large writes.
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
        m_buffer.clear();
        return true;
    }

private:
    static constexpr qsizetype chunk = 1 << 16;
    QFileDevice& m_file;
    QByteArray m_buffer;
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
        pending.target = target;
        pending.temp = temp;
        pending.previous = m_folder.filePath(hiddenName(name, m_token, previousSuffix));
        m_files.append(pending);
        discard.dismiss();
    }

    // Renames every temporary copy over its target. When one rename fails, the
    // targets already replaced get their earlier files back (or go, where there was
    // none), so the folder holds either the whole earlier set or the whole new one.
    // Once the last copy is in place the export has finished, and the second names
    // of the earlier files go; one that cannot be removed is left to the next tidy.
    QStringList place()
    {
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
        return targets;
    }

private:
    struct Pending {
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
                } else {
                    QFile::remove(file.target);
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
    bool m_keepTemporaries = false;
};

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// What one killed run left in a folder, by file: its temporary copies and the second
// names of the earlier files, all under the run's own token.
struct RunLeftovers {
    explicit RunLeftovers(qsizetype files) : temporaries(files), previous(files) {}
    QStringList temporaries;
    QStringList previous;
    timespec newest{}; // the latest modification time among them

    // A run that still has a temporary copy was cut while it wrote or placed its
    // files; one with none left had put all of them in place.
    bool cut() const
    {
        return std::any_of(temporaries.begin(), temporaries.end(), [](const QString& t) { return !t.isEmpty(); });
    }
};

bool later(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// Takes back, then removes, what runs killed part way left in `folder` (see
// everything()), in one pass. Only regular files under our own hidden names for the
// eight files are touched. All put-backs come before any removal, and the
// temporaries, which mark a run as cut, go last: a put-back that fails leaves every
// leftover where it was, and a tidy killed part way is finished by the next.
void tidyLeftovers(const QDir& folder)
{
    static const QRegularExpression ours(QRegularExpression::anchoredPattern(
        QStringLiteral("\\.(.+)\\.orvane-export-([0-9a-f]{32})\\.(tmp|previous)")));
    const QStringList& names = Exporter::fileNames();
    std::map<QString, RunLeftovers> runs;
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        const QRegularExpressionMatch match = ours.match(entry);
        const qsizetype target = match.hasMatch() ? names.indexOf(match.captured(1)) : -1;
        struct stat st {};
        if (target < 0 || ::lstat(fsName(folder.filePath(entry)).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        RunLeftovers& run = runs.try_emplace(match.captured(2), names.size()).first->second;
        (match.captured(3) == u"tmp" ? run.temporaries : run.previous)[target] = folder.filePath(entry);
        if (later(st.st_mtim, run.newest))
            run.newest = st.st_mtim;
    }
    if (runs.empty())
        return;

    // The cut runs, earliest first: where several left a second name of one file,
    // the earliest run's holds what stood there before any of them.
    std::vector<const RunLeftovers*> cut;
    for (const auto& [token, run] : runs)
        if (run.cut())
            cut.push_back(&run);
    std::stable_sort(cut.begin(), cut.end(),
                     [](const RunLeftovers* a, const RunLeftovers* b) { return later(b->newest, a->newest); });

    bool putBack = false;
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString earliest;
        timespec lastRun{};
        for (const RunLeftovers* run : cut) {
            if (run->previous[i].isEmpty())
                continue;
            if (earliest.isEmpty())
                earliest = run->previous[i];
            lastRun = run->newest;
        }
        if (earliest.isEmpty())
            continue;
        const QString target = folder.filePath(names[i]);
        struct stat now {}, kept {};
        if (::lstat(fsName(earliest).constData(), &kept) != 0)
            continue;
        if (::lstat(fsName(target).constData(), &now) == 0) {
            if (sameFile(kept, now))
                continue;
            // Changed since the cut run (by a person: the exporter writes nothing
            // there after it), allowing for file systems that keep times to two
            // seconds: it stays, and the earlier file goes with the other leftovers.
            if (!S_ISDIR(now.st_mode) && now.st_mtim.tv_sec > lastRun.tv_sec + 2)
                continue;
        }
        if (const std::error_code error = Exporter::renameFile(earliest, target)) {
            if (putBack)
                syncFolder(folder);
            throwFileError(target, error.value());
        }
        putBack = true;
    }
    if (putBack)
        syncFolder(folder);

    // Every second name still there is now a mere extra link, an earlier file that a
    // finished run or a person replaced, or the copy of a later cut run.
    for (const auto& [token, run] : runs)
        for (const QString& previous : run.previous)
            if (struct stat st {}; !previous.isEmpty() && ::lstat(fsName(previous).constData(), &st) == 0)
                Exporter::removeFile(previous);
    for (const auto& [token, run] : runs)
        for (const QString& temp : run.temporaries)
            if (!temp.isEmpty())
                Exporter::removeFile(temp);
}

// Tidies the other dated export folders in `parent` the same way: a run killed on
// another day left its files in that day's folder, which no later export of the day
// would reach. A put-back that fails there leaves that folder as it is; it does not
// stop this export. Symbolic links are not followed.
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
    std::error_code error;
    const bool existed = std::filesystem::exists(target, error);
    std::filesystem::create_directories(target, error);
    if (error)
        throw OVError::file(QDir::toNativeSeparators(folder), error);
    if (existed)
        tidyLeftovers(QDir(folder));
    tidyOtherExportFolders(QFileInfo(QDir::cleanPath(folder)).dir(), QDir::cleanPath(folder));

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
