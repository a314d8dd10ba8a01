#include "services/Exporter.h"

#include "records/OVPrefs.h"
#include "services/OVCSV.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include "ExportFixture.h"
#include "JobTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <thread>
#include <utility>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::ScratchDir;

namespace {

const QByteArray crlf("\r\n");

QDateTime utc(int year, int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

QString localStamp(const QDateTime& instant)
{
    return instant.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<QStringList> rowsOf(const QString& csv)
{
    QList<QStringList> rows;
    for (const OVCSV::Row& row : OVCSV::parse(csv))
        rows.append(row.fields);
    return rows;
}

// Caps the size of any file this process writes, so a write fails part way through
// with EFBIG whoever runs the test (root included). Restored when it ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_active = false;
};

using Fixture = ExportFixture;

} // namespace

// ---- Writing everything

TEST(ExporterEverything, EmptyStoreWritesEightHeaderLines)
{
    Fixture f;
    const QString folder = f.dir.file(QStringLiteral("out/QNMR Orvane export 2026-06-10"));
    const QStringList paths = Exporter::everything(f.store, folder);

    const QList<QPair<QString, QByteArray>> expected{
        {"Greenhouses and zones.csv", "Greenhouse,Location,Size,Glazing,Zone,Beds and benches,Alert ranges,Notes"},
        {"Plants.csv", "Crop,Variety,Source,Status,Plants,Sown,Transplanted,Expected harvest,Location,Photos,Notes"},
        {"Seeds.csv", "Crop,Variety,Supplier,Lot,Packed for,Amount,Unit,Germination tests,Latest germination %,"
                      "Latest test date,Notes"},
        {"Climate readings.csv",
         "timestamp,zone,greenhouse,temp_f,humidity,light,co2,soil_moisture,soil_temp_f,ph,ec,source,note"},
        {"Schedules and maintenance.csv", "Type,Category,Title,Where,Amount / product,Repeats,Starts,Time,Next due,"
                                          "Last done,Reminder,Active,Notes"},
        {"Pests and diseases.csv",
         "Seen,Problem,Type,Severity (1-5),Plant,Zone,Treatment,Treated,Result,Resolved,Notes"},
        {"Harvests.csv", "Date,Crop,Plant,Quantity,Unit,Weight (lb),Quality,Notes"},
        {"Supplies and costs.csv", "Date,Item,Category,Quantity,Unit,Cost ($),Vendor,Crop,Notes"},
    };
    ASSERT_EQ(paths.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(paths[i], QDir(folder).filePath(expected[i].first));
        // Exactly the header and CR LF: no byte-order mark, nothing else.
        EXPECT_EQ(testsupport::readAll(paths[i]), expected[i].second + crlf) << expected[i].first.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 8);

    // An existing folder is fine, and its files are replaced.
    EXPECT_EQ(Exporter::everything(f.store, folder), paths);
}

TEST(ExporterEverything, ParentThatIsAFileFailsWithTheSystemReasonAndWritesNothing)
{
    Fixture f;
    const QString blocker = f.dir.file(QStringLiteral("blocker"));
    ASSERT_TRUE(testsupport::writeAll(blocker, "keep"));
    const QStringList before = QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    try {
        Exporter::everything(f.store, blocker + QStringLiteral("/export"));
        FAIL() << "expected a file error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::file);
        EXPECT_TRUE(e.errorDescription().contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
            << e.what();
    }
    EXPECT_EQ(testsupport::readAll(blocker), QByteArray("keep"));
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

// The single-table export fails like everything() when the readings stop part way,
// instead of handing back a shortened table as if it were complete.
TEST(ExporterReadings, ReadFailurePartWayThrows)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    QList<Reading> batch;
    for (int i = 0; i < 3000; ++i)
        batch.append(Reading{.zoneID = zone.id, .taken = utc(2026, 1, 1, 0).addSecs(60 * i),
                             .values = {{Metric::temp, 70.25}}});
    f.store.addReadings(batch);
    ASSERT_EQ(rowsOf(Exporter::readings(f.store)).size(), 3001);

    // The engine is interrupted after some thousands of steps: well inside the
    // readings, after the zone and greenhouse look-ups.
    int calls = 0;
    const auto interrupt = [](void* context) { return ++*static_cast<int*>(context) > 300 ? 1 : 0; };
    sqlite3_progress_handler(f.store.db().handle(), 100, interrupt, &calls);
    try {
        Exporter::readings(f.store);
        ADD_FAILURE() << "expected a database error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
    }
    sqlite3_progress_handler(f.store.db().handle(), 0, nullptr, nullptr);
    EXPECT_GT(calls, 300);
}

TEST(ExporterEverything, FailedWriteKeepsTheOldFileWhole)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    QList<Reading> batch;
    for (int i = 0; i < 3000; ++i)
        batch.append(Reading{.zoneID = zone.id, .taken = utc(2026, 1, 1, 0).addSecs(60 * i),
                             .values = {{Metric::temp, 70.25}, {Metric::humidity, 55}}});
    f.store.addReadings(batch);

    const QString folder = f.dir.file(QStringLiteral("export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString old = QDir(folder).filePath(QStringLiteral("Climate readings.csv"));
    ASSERT_TRUE(testsupport::writeAll(old, "old export\r\n"));
    {
        FileSizeLimit limit(32 * 1024); // the readings file needs well over 100 KiB
        ASSERT_TRUE(limit.active());
        try {
            Exporter::everything(f.store, folder);
            ADD_FAILURE() << "expected a file error";
        } catch (const OVError& e) {
            EXPECT_EQ(e.kind(), OVError::Kind::file);
            EXPECT_EQ(e.payload(), QDir::toNativeSeparators(old) + QStringLiteral(": ") +
                                       QString::fromLocal8Bit(std::strerror(EFBIG)));
        }
    }
    EXPECT_EQ(testsupport::readAll(old), QByteArray("old export\r\n"));
    // Nothing of the run is left: no temporary file, and none of the files before it.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Climate readings.csv")});
}

TEST(ExporterEverything, UnreadableReadingsAreReportedNotLeftOut)
{
    Fixture f;
    f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    f.store.db().exec(QStringLiteral("DROP TABLE reading"));
    const QString folder = f.dir.file(QStringLiteral("export"));
    try {
        Exporter::everything(f.store, folder);
        FAIL() << "expected an error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
    }
    // The three files written before the readings went with the folder it made.
    EXPECT_FALSE(QFileInfo::exists(folder));
}

// ---- Reads that fail

namespace {

// The table whose records make each file's lines, in fileNames() order.
const QStringList ownTables{"greenhouse", "plant", "seed", "reading", "task", "pest", "harvest", "ledger"};

// One table's bytes through writeTable(), or nothing when a read failed.
std::optional<QByteArray> tableBytes(const OVStore& store, qsizetype table)
{
    QByteArray bytes;
    try {
        EXPECT_TRUE(Exporter::writeTable(store, table, [&bytes](const QByteArray& piece) {
            bytes += piece;
            return true;
        }));
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database) << e.what();
        return std::nullopt;
    }
    return bytes;
}

void addSampleWithReadings(OVStore& store)
{
    SampleData::add(store);
    QList<Reading> batch;
    for (const Zone& zone : store.zones())
        batch.append(Reading{.zoneID = zone.id, .taken = utc(2026, 1, 1, 0), .values = {{Metric::temp, 70.5}}});
    store.addReadings(batch);
}

} // namespace

// Whichever table cannot be read, no export hands out a table with its rows or
// cells left out: a table that reads it fails with the engine's reason, the others
// are whole, and the full export fails and removes what it wrote.
TEST(ExporterUnreadable, ADroppedTableFailsEveryExportThatReadsIt)
{
    for (const QString& dropped : OVStore::tables) {
        SCOPED_TRACE(dropped.toStdString());
        Fixture f;
        addSampleWithReadings(f.store);
        QList<QByteArray> whole;
        for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i)
            whole.append(tableBytes(f.store, i).value_or(QByteArray()));
        f.store.db().exec(QStringLiteral("PRAGMA foreign_keys = OFF")); // no cascades: drop this table alone
        f.store.db().exec(QStringLiteral("DROP TABLE ") + dropped);

        bool anyFailed = false;
        for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i) {
            const std::optional<QByteArray> bytes = tableBytes(f.store, i);
            if (ownTables[i] == dropped) {
                EXPECT_FALSE(bytes) << "a table without its records: " << i;
            }
            if (bytes) {
                EXPECT_EQ(*bytes, whole[i]) << i;
            }
            anyFailed = anyFailed || !bytes;
        }

        const QString folder = f.dir.file(QStringLiteral("export"));
        if (!anyFailed) {
            EXPECT_EQ(Exporter::everything(f.store, folder).size(), 8); // the history of done tasks is not exported
            continue;
        }
        try {
            Exporter::everything(f.store, folder);
            ADD_FAILURE() << "expected a database error";
        } catch (const OVError& e) {
            EXPECT_EQ(e.kind(), OVError::Kind::database);
            EXPECT_EQ(e.payload(), QStringLiteral("no such table: ") + dropped);
        }
        EXPECT_FALSE(QFileInfo::exists(folder));
    }
}

TEST(ExporterUnreadable, AClosedConnectionFailsEveryTableAndKeepsAnExistingFolder)
{
    Fixture f;
    addSampleWithReadings(f.store);
    const QString folder = f.dir.file(QStringLiteral("export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(testsupport::writeAll(QDir(folder).filePath(QStringLiteral("mine.txt")), "keep"));
    f.store.db().close();

    for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i)
        EXPECT_FALSE(tableBytes(f.store, i)) << i;
    EXPECT_THROW(Exporter::readings(f.store), OVError);
    try {
        Exporter::everything(f.store, folder);
        ADD_FAILURE() << "expected a database error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("mine.txt")});
}

// ---- Readings

TEST(ExporterReadings, ZonesByGreenhouseThenNameEachOldestFirst)
{
    Fixture f;
    const qint64 first = f.addHouse(QStringLiteral("Zed"));
    const qint64 second = f.addHouse(QStringLiteral("Alpha"));
    const Zone late = f.addZone(second, QStringLiteral("aa"));
    const Zone b = f.addZone(first, QStringLiteral("b"));
    const Zone a = f.addZone(first, QStringLiteral("A2"));
    f.store.addReadings({
        Reading{.zoneID = b.id, .taken = utc(2026, 3, 2, 9), .values = {{Metric::humidity, 55}}},
        Reading{.zoneID = b.id, .taken = utc(2026, 3, 1, 9), .values = {{Metric::temp, 70.125}}},
        Reading{.zoneID = late.id, .taken = utc(2026, 1, 1, 9), .values = {{Metric::ec, 1.5}}},
        Reading{.zoneID = a.id, .taken = utc(2026, 5, 1, 9, 30).addMSecs(999), .values = {{Metric::co2, 420}},
                .source = QStringLiteral("csv"), .note = QStringLiteral("=1+1, checked")},
    });

    const QList<QStringList> rows = rowsOf(Exporter::readings(f.store));
    ASSERT_EQ(rows.size(), 5);
    QStringList zones;
    for (qsizetype i = 1; i < rows.size(); ++i)
        zones.append(rows[i][1]);
    EXPECT_EQ(zones, (QStringList{"A2", "b", "b", "aa"}));

    // Only humidity measured: 55.00 there, the seven other metric cells empty.
    const QStringList humid = rows[3];
    ASSERT_EQ(humid.size(), 13);
    EXPECT_EQ(humid[0], localStamp(utc(2026, 3, 2, 9)));
    EXPECT_EQ(humid[2], QStringLiteral("Zed"));
    EXPECT_EQ(humid.mid(3, 8), (QStringList{"", "55.00", "", "", "", "", "", ""}));
    EXPECT_EQ(humid[11], QStringLiteral("manual"));
    EXPECT_EQ(rows[2][3], QStringLiteral("70.12")); // "%.2f": the exact binary value, halves to even
    // No fractional seconds in the timestamp.
    EXPECT_EQ(rows[1][0], localStamp(utc(2026, 5, 1, 9, 30)));
    EXPECT_EQ(rows[1][12], QStringLiteral("=1+1, checked"));
}

TEST(ExporterReadings, EveryReadingOfABigZoneWithoutACap)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    // Inserted newest first; two share one instant and must keep their id order.
    auto& db = f.store.db();
    db.transaction([&] {
        auto insert = db.prepare(QStringLiteral("INSERT INTO reading (zone_id, taken, temp_f, note) VALUES (?, ?, ?, ?)"));
        for (int i = 6000; i >= 1; --i)
            insert.run({zone.id, 1.7e9 + 60.0 * i, double(i), QString::number(i)});
        insert.run({zone.id, 1.7e9 + 60.0, 0.5, QStringLiteral("tie")});
    });
    const QList<QStringList> rows = rowsOf(Exporter::readings(f.store));
    ASSERT_EQ(rows.size(), 6002);
    EXPECT_EQ(rows[1][12], QStringLiteral("1"));
    EXPECT_EQ(rows[2][12], QStringLiteral("tie"));
    EXPECT_EQ(rows[6001][12], QStringLiteral("6000"));
    EXPECT_EQ(rows[6001][3], QStringLiteral("6000.00"));
}

// ---- Tables

TEST(ExporterTables, GreenhouseLinesAndAlertRanges)
{
    Fixture f;
    Greenhouse house{.name = QStringLiteral("Main"), .location = QStringLiteral("North"), .size = QStringLiteral("10 × 20"),
                     .glazing = QStringLiteral("Glass"), .notes = QStringLiteral("house notes")};
    f.store.save(house);
    Zone hot{.greenhouseID = house.id, .name = QStringLiteral("Hot"), .notes = QStringLiteral("zone notes")};
    hot.limits = {{Metric::temp, MetricRange(std::nullopt, 86)}};
    f.store.save(hot);
    Zone cold{.greenhouseID = house.id, .name = QStringLiteral("Cold")};
    cold.limits = {{Metric::humidity, MetricRange(40, 85)}, {Metric::temp, MetricRange(50, std::nullopt)}};
    f.store.save(cold);
    Spot bench{.zoneID = cold.id, .kind = SpotKind::bench, .name = QStringLiteral("B1")};
    Spot bed{.zoneID = cold.id, .kind = SpotKind::bed, .name = QStringLiteral("2")};
    f.store.save(bench);
    f.store.save(bed);
    Greenhouse empty{.name = QStringLiteral("Spare"), .notes = QStringLiteral("unused")};
    f.store.save(empty);

    QList<QStringList> rows = rowsOf(Exporter::greenhouses(f.store));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[1], (QStringList{"Main", "North", "10 × 20", "Glass", "Cold", "Bed 2; Bench B1",
                                    "Air 50°F…–; RH 40%…85%", ""}));
    EXPECT_EQ(rows[2], (QStringList{"Main", "North", "10 × 20", "Glass", "Hot", "", "Air –…86°F", "zone notes"}));
    EXPECT_EQ(rows[3], (QStringList{"Spare", "", "", "", "", "", "", "unused"}));

    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    rows = rowsOf(Exporter::greenhouses(f.store));
    OVPrefs::remove(OVPrefs::unitKey);
    EXPECT_EQ(rows[2][6], QStringLiteral("Air –…30°C"));
}

TEST(ExporterTables, SeedsTasksHarvestsAndGuardedNotes)
{
    Fixture f;
    Seed untested{.crop = QStringLiteral("Beet"), .quantity = 12.5};
    f.store.save(untested);
    Seed tested{.crop = QStringLiteral("Carrot"), .year = 2026, .quantity = 400};
    f.store.save(tested);
    GermTest older{.seedID = tested.id, .started = OVDay(2026, 1, 1), .sown = 10, .sprouted = 2};
    GermTest newer{.seedID = tested.id, .started = OVDay(2026, 2, 1), .sown = 10, .sprouted = 9};
    f.store.save(older);
    f.store.save(newer);
    QList<QStringList> rows = rowsOf(Exporter::seeds(f.store));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1].mid(4, 6), (QStringList{"", "12.50", "seeds", "0", "", ""}));
    EXPECT_EQ(rows[2].mid(4, 6), (QStringList{"2026", "400.00", "seeds", "2", "90", "2026-02-01"}));

    OVTask paused{.title = QStringLiteral("Vents"), .start = OVDay(2026, 1, 1)};
    paused.category = QStringLiteral("not a known category");
    paused.hour = 7;
    paused.minute = 5;
    paused.active = false;
    f.store.save(paused);
    rows = rowsOf(Exporter::tasks(f.store));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][1], QStringLiteral("not a known category"));
    EXPECT_EQ(rows[1][7], QStringLiteral("07:05"));
    EXPECT_EQ(rows[1][8], QString()); // no next due for a paused task
    EXPECT_EQ(rows[1].mid(10, 2), (QStringList{"yes", "no"}));

    Harvest ounces{.crop = QStringLiteral("Bean"), .date = OVDay(2026, 7, 1), .quantity = 8, .unit = HarvestUnit::oz,
                   .notes = QStringLiteral("=HYPERLINK(\"x\")")};
    f.store.save(ounces);
    const QString text = Exporter::harvests(f.store);
    rows = rowsOf(text);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].mid(3, 3), (QStringList{"8.00", "oz", "0.50"}));
    // The formula guard: quoted (it holds quotes), so it is doubled, not run.
    EXPECT_TRUE(text.contains(QStringLiteral("\"=HYPERLINK(\"\"x\"\")\"\r\n"))) << text.toStdString();
}

// ---- Numbers

TEST(ExporterNumbers, CommaDecimalLocaleStillWritesPoints)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    f.store.addReadings({Reading{.zoneID = zone.id, .taken = utc(2026, 3, 1, 9), .values = {{Metric::ph, 6.25}}}});
    Seed seed{.crop = QStringLiteral("Pea"), .quantity = 1.5};
    f.store.save(seed);
    LedgerEntry cost{.date = OVDay(2026, 1, 1), .item = QStringLiteral("Mix"), .quantity = 2.5, .cost = 1234.5};
    f.store.save(cost);
    Harvest harvest{.crop = QStringLiteral("Pea"), .date = OVDay(2026, 7, 1), .quantity = 1.25,
                    .unit = HarvestUnit::kg};
    f.store.save(harvest);

    // No comma-decimal locale may be installed for the C library; Qt's default locale
    // is set either way, and the C locale too when the system has one.
    const QLocale oldDefault;
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name))
            break;
    }
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));

    const QString folder = f.dir.file(QStringLiteral("export"));
    const QStringList paths = Exporter::everything(f.store, folder);
    QLocale::setDefault(oldDefault);
    std::setlocale(LC_ALL, oldC.c_str());

    const auto cells = [&](int file) { return rowsOf(QString::fromUtf8(testsupport::readAll(paths[file]))); };
    EXPECT_EQ(cells(2)[1][5], QStringLiteral("1.50"));
    EXPECT_EQ(cells(3)[1][9], QStringLiteral("6.25"));
    EXPECT_EQ(cells(6)[1].mid(3, 3), (QStringList{"1.25", "kg", "2.76"}));
    EXPECT_EQ(cells(7)[1][3], QStringLiteral("2.50"));
    EXPECT_EQ(cells(7)[1][5], QStringLiteral("1234.50"));
}

TEST(ExporterNumbers, HugeAndNonFiniteValuesArePrintedNotConverted)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    Harvest harvest{.crop = QStringLiteral("Pea"), .date = OVDay(2026, 7, 1), .quantity = 1};
    f.store.save(harvest);
    LedgerEntry cost{.date = OVDay(2026, 1, 1), .item = QStringLiteral("Mix")};
    f.store.save(cost);
    Seed seed{.crop = QStringLiteral("Pea")};
    f.store.save(seed);
    // Values no editor lets through, as a damaged or foreign file may hold them.
    f.store.db().exec(QStringLiteral("UPDATE harvest SET quantity = 1e300; UPDATE ledger SET cost = -1e999;"
                                     "UPDATE seed SET quantity = 9.3e18;"
                                     "INSERT INTO reading (zone_id, taken, light) VALUES (") +
                      QString::number(zone.id) + QStringLiteral(", 0, 1e999)"));

    const QStringList harvestRow = rowsOf(Exporter::harvests(f.store))[1];
    EXPECT_EQ(harvestRow[3].size(), 304); // 301 integer digits, the point, two decimals
    EXPECT_TRUE(harvestRow[3].startsWith(QStringLiteral("1000000000000000052504760255204420248704468581108")));
    EXPECT_TRUE(harvestRow[3].endsWith(QStringLiteral(".00")));
    EXPECT_EQ(rowsOf(Exporter::ledger(f.store))[1][5], QStringLiteral("-inf"));
    EXPECT_EQ(rowsOf(Exporter::seeds(f.store))[1][5], QStringLiteral("9300000000000000000.00"));
    EXPECT_EQ(rowsOf(Exporter::readings(f.store))[1][5], QStringLiteral("inf"));
}

// The eight files come from one snapshot of the store: a harvest saved by another
// connection after the export has begun reading is in none of them, though the
// harvests are read after it was saved.
TEST(ExporterEverything, TablesComeFromTheStoreAsItWasWhenTheExportBegan)
{
    Fixture f;
    f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    const QString folder = f.dir.file(QStringLiteral("export"));
    JobState job;
    std::optional<OVError> failure;
    {
        const testsupport::SlowJobs slow(150, 0);
        std::thread worker([&] {
            try {
                OVStore own(f.store.path());
                Exporter::everything(own, folder, &job);
            } catch (const OVError& error) {
                failure = error;
            }
        });
        // The second stage begins once the first table has been read.
        QString first;
        for (int i = 0; i < 3000 && (first.isEmpty() || job.stage() == first); ++i) {
            if (first.isEmpty())
                first = job.stage();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        Harvest late{.crop = QStringLiteral("Late crop"), .date = OVDay(2026, 6, 1), .quantity = 1};
        f.store.save(late);
        worker.join();
    }
    ASSERT_FALSE(failure) << failure->errorDescription().toStdString();
    const QString harvests = QString::fromUtf8(testsupport::readAll(QDir(folder).filePath(QStringLiteral("Harvests.csv"))));
    EXPECT_FALSE(harvests.contains(QStringLiteral("Late crop")));
    EXPECT_EQ(rowsOf(harvests).size(), 1); // the header alone
}
