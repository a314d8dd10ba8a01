#include "services/Exporter.h"

#include "services/ExportFolder.h"

#include "records/Calendar.h"
#include "records/MaintenanceCategory.h"
#include "records/OVFormat.h"
#include "services/JobState.h"
#include "services/LocalTimestamp.h"
#include "services/OVCSV.h"
#include "services/Schedule.h"
#include "store/OVStore.h"

#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <filesystem>
#include <functional>
#include <optional>

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

} // namespace

namespace Exporter {

QString folderName(const OVDay& day) { return ExportFolder::datedFolderPrefix + day.iso(); }

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
    const ExportFolder::Lock lock(parent.path());
    const bool existed = std::filesystem::exists(target, error);
    std::filesystem::create_directories(target, error);
    if (error)
        throw OVError::file(QDir::toNativeSeparators(folder), error);
    if (existed)
        ExportFolder::tidyLeftovers(QDir(folder), fileNames(), store);
    ExportFolder::tidyOtherExportFolders(parent, QDir::cleanPath(folder), fileNames(), store);

    try {
        ExportFolder::PendingFiles files{QDir(folder)};
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
                    files.write(fileNames()[i], [&store, job](ExportFolder::FileSink& sink) {
                        return streamReadings(store, [&sink](const QString& line) { return sink.add(line); }, job);
                    });
                } else {
                    files.write(fileNames()[i], [&texts, i](ExportFolder::FileSink& sink) { return sink.add(texts[i]); });
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
