#include "records/GermTest.h"
#include "records/Greenhouse.h"
#include "records/Harvest.h"
#include "records/LedgerEntry.h"
#include "records/OVTask.h"
#include "records/PestRecord.h"
#include "records/Photo.h"
#include "records/Plant.h"
#include "records/Reading.h"
#include "records/Seed.h"
#include "records/Spot.h"
#include "records/TaskLog.h"
#include "records/Zone.h"
#include "store/OVRecord.h"
#include "store/OVSchema.h"
#include "store/RowCodec.h"
#include "store/SQLiteDB.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

const QDateTime instantA = QDateTime::fromMSecsSinceEpoch(1772884800123, Qt::UTC); // with milliseconds
const QDateTime epoch = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
const OVDay pinnedToday(2031, 7, 15);

// A database made from the schema, with one parent row of each kind at id 1 so
// that sample records can link to them.
struct MappingDB {
    SQLiteDB db{QStringLiteral(":memory:")};
    MappingDB()
    {
        db.exec(OVSchema::text());
        db.exec(QStringLiteral(
            "INSERT INTO greenhouse (id, name) VALUES (1, 'G');"
            "INSERT INTO zone (id, greenhouse_id, name) VALUES (1, 1, 'Z');"
            "INSERT INTO spot (id, zone_id, kind, name) VALUES (1, 1, 'bed', 'B');"
            "INSERT INTO plant (id, crop, status) VALUES (1, 'Tomato', 'growing');"
            "INSERT INTO seed (id, crop) VALUES (1, 'Tomato');"
            "INSERT INTO task (id, kind, rule, start, hour, minute) VALUES (1, 'water', 'once', '2026-03-07', 8, 0);"));
    }

    template <OVRecord T>
    qint64 insert(const T& record)
    {
        const QStringList columns = RowMapping<T>::columns();
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        return db.run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(RowMapping<T>::table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                      RowMapping<T>::values(record));
    }

    SQLRow row(const QString& table, qint64 id)
    {
        const auto rows = db.query(QStringLiteral("SELECT * FROM %1 WHERE id = ?").arg(table), {id});
        return rows.isEmpty() ? SQLRow() : rows.first();
    }

    template <OVRecord T>
    T roundTrip(T record)
    {
        record.id = insert(record);
        return RowMapping<T>::fromRow(row(RowMapping<T>::table, record.id));
    }
};

// Per type: a record with every field set away from its default and every
// optional present, and one with the optionals absent.
template <typename T>
struct Samples;

template <>
struct Samples<Greenhouse> {
    static Greenhouse full() { return {0, "North house", "Back garden", "6 x 10 m", "Polycarbonate", "Line one\nline two"}; }
    static Greenhouse bare() { return {.name = "G2"}; }
};
template <>
struct Samples<Zone> {
    static Zone full()
    {
        return {.greenhouseID = 1,
                .name = "Bench side",
                .notes = "n",
                .limits = {{Metric::temp, MetricRange(50, 90.5)},
                           {Metric::humidity, MetricRange(40, std::nullopt)},
                           {Metric::ec, MetricRange(std::nullopt, 2.25)}}};
    }
    static Zone bare() { return {.greenhouseID = 1, .name = "Z2"}; }
};
template <>
struct Samples<Spot> {
    static Spot full() { return {0, 1, SpotKind::bench, "Bench 3", "1 x 4 m", "near the door"}; }
    static Spot bare() { return {.zoneID = 1, .name = "1"}; }
};
template <>
struct Samples<Plant> {
    static Plant full()
    {
        return {0, "Tomato", "Sungold", "Seed swap", "tomato-cherry", OVDay(2026, 2, 28), OVDay(2026, 3, 30),
                OVDay(2026, 7, 1), 1, 1, 1, PlantStatus::fruiting, 12, "staked"};
    }
    static Plant bare() { return {.crop = "Basil"}; }
};
template <>
struct Samples<Photo> {
    static Photo full() { return {0, 1, QByteArray("\xff\xd8\x00\x01jpeg", 8), "First truss", instantA}; }
    static Photo bare() { return {.plantID = 1, .added = epoch}; }
};
template <>
struct Samples<Seed> {
    static Seed full() { return {0, "Tomato", "Sungold", "Acme Seeds", "L-42", 2026, 37.5, "grams", "keep cool"}; }
    static Seed bare() { return {.crop = "Pea", .quantity = 0, .unit = ""}; }
};
template <>
struct Samples<GermTest> {
    static GermTest full() { return {0, 1, OVDay(2026, 1, 5), 20, 17, 9, "paper towel"}; }
    static GermTest bare() { return {.seedID = 1, .started = OVDay(2026, 1, 5)}; }
};
template <>
struct Samples<Reading> {
    static Reading full()
    {
        std::map<Metric, double> values;
        double v = 0.5;
        for (const Metric m : Metric::allCases())
            values[m] = (v += 1.25);
        return {0, 1, instantA, values, "csv", "after watering"};
    }
    static Reading bare() { return {.zoneID = 1, .taken = epoch, .values = {{Metric::co2, 415}}}; }
};
template <>
struct Samples<OVTask> {
    static OVTask full()
    {
        return {0,  TaskKind::maintenance, "filters", "Clean intake filter", 1, 1, "2 l",
                Recurrence::weekly(2, {2, 5}), OVDay(2026, 3, 2), 6, 45, instantA, false, false, "ladder"};
    }
    static OVTask bare() { return {.start = OVDay(2026, 3, 2)}; }
};
template <>
struct Samples<TaskLog> {
    static TaskLog full() { return {0, 1, instantA, "done early"}; }
    static TaskLog bare() { return {.taskID = 1, .doneAt = epoch}; }
};
template <>
struct Samples<PestRecord> {
    static PestRecord full()
    {
        return {0, OVDay(2026, 5, 1), 1, 1, "Aphids", ProblemKind::disorder, 4, "Soap spray", OVDay(2026, 5, 3),
                "Cleared", true, "check weekly"};
    }
    static PestRecord bare() { return {.observed = OVDay(2026, 5, 1), .problem = "Mildew"}; }
};
template <>
struct Samples<Harvest> {
    static Harvest full() { return {0, 1, "Tomato", OVDay(2026, 8, 9), 2.75, HarvestUnit::kg, "A", "first pick"}; }
    static Harvest bare() { return {.crop = "Tomato", .date = OVDay(2026, 8, 9), .unit = HarvestUnit::count}; }
};
template <>
struct Samples<LedgerEntry> {
    static LedgerEntry full()
    {
        return {0, OVDay(2026, 2, 2), "Stakes", LedgerCategory::pestControl, 12, "each", 19.99, "Garden Co", 1,
                "Tomato", "bamboo"};
    }
    static LedgerEntry bare() { return {.date = OVDay(2026, 2, 2), .item = "Power"}; }
};

template <typename T>
class RecordRoundTrip : public ::testing::Test {};

using RecordTypes = ::testing::Types<Greenhouse, Zone, Spot, Plant, Photo, Seed, GermTest, Reading, OVTask, TaskLog,
                                     PestRecord, Harvest, LedgerEntry>;
TYPED_TEST_SUITE(RecordRoundTrip, RecordTypes);

} // namespace

TYPED_TEST(RecordRoundTrip, ColumnsAreTheTableInOrder)
{
    MappingDB m;
    QStringList tableColumns;
    for (const SQLRow& row : m.db.query(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"),
                                        {RowMapping<TypeParam>::table}))
        tableColumns << row.str(QStringLiteral("name"));
    ASSERT_FALSE(tableColumns.isEmpty());
    EXPECT_EQ(tableColumns.takeFirst(), QStringLiteral("id"));
    EXPECT_EQ(RowMapping<TypeParam>::columns(), tableColumns);
    EXPECT_EQ(qsizetype(RowMapping<TypeParam>::values(Samples<TypeParam>::full()).size()), tableColumns.size());
    EXPECT_EQ(qsizetype(RowMapping<TypeParam>::values(Samples<TypeParam>::bare()).size()), tableColumns.size());
}

TYPED_TEST(RecordRoundTrip, SavedRowReadsBackEqual)
{
    MappingDB m;
    for (const TypeParam& sample : {Samples<TypeParam>::full(), Samples<TypeParam>::bare()}) {
        TypeParam expected = sample;
        const TypeParam back = m.roundTrip(sample);
        ASSERT_GT(back.id, 0);
        expected.id = back.id;
        EXPECT_EQ(back, expected);
    }
    EXPECT_NE(Samples<TypeParam>::full(), Samples<TypeParam>::bare());
}

TYPED_TEST(RecordRoundTrip, EmptyRowGivesFallbacksWithoutFailing)
{
    const TypeParam record = RowMapping<TypeParam>::fromRow(SQLRow());
    EXPECT_EQ(record.id, 0);
    EXPECT_EQ(RowMapping<TypeParam>::values(record).size(), size_t(RowMapping<TypeParam>::columns().size()));
}

TEST(RecordMappingStorage, ZoneStoresOnlyTheBoundsItHas)
{
    MappingDB m;
    Zone zone = Samples<Zone>::bare();
    zone.limits[Metric::humidity] = MetricRange(40, std::nullopt);
    zone.id = m.insert(zone);
    const SQLRow row = m.row(RowMapping<Zone>::table, zone.id);
    EXPECT_EQ(row.value(QStringLiteral("humidity_min")), SQLValue::real(40));
    for (const QString& column : RowMapping<Zone>::columns().mid(3)) {
        if (column != QStringLiteral("humidity_min")) {
            EXPECT_TRUE(row.value(column).isNull()) << column.toStdString();
        }
    }
    const Zone back = RowMapping<Zone>::fromRow(row);
    ASSERT_EQ(back.limits.size(), 1u);
    EXPECT_EQ(back.limits.at(Metric::humidity), MetricRange(40, std::nullopt));
}

TEST(RecordMappingStorage, EncodingsInTheRow)
{
    MappingDB m;
    const SQLRow reading = m.row(RowMapping<Reading>::table, m.insert(Samples<Reading>::bare()));
    EXPECT_EQ(reading.value(QStringLiteral("co2")), SQLValue::real(415));
    EXPECT_TRUE(reading.value(QStringLiteral("temp_f")).isNull());
    EXPECT_EQ(RowMapping<Reading>::fromRow(reading).values.size(), 1u);

    const SQLRow task = m.row(RowMapping<OVTask>::table, m.insert(Samples<OVTask>::full()));
    EXPECT_EQ(task.value(QStringLiteral("kind")), SQLValue::text("maintenance"));
    EXPECT_EQ(task.value(QStringLiteral("rule")), SQLValue::text("weeks:2:2,5"));
    EXPECT_EQ(task.value(QStringLiteral("start")), SQLValue::text("2026-03-02"));
    EXPECT_EQ(task.value(QStringLiteral("last_done")), SQLValue::real(1772884800.123));
    EXPECT_EQ(task.value(QStringLiteral("remind")), SQLValue::integer(0));

    const SQLRow photo = m.row(RowMapping<Photo>::table, m.insert(Samples<Photo>::bare()));
    EXPECT_EQ(photo.value(QStringLiteral("data")).type(), SQLValue::Type::blob); // empty bytes are not NULL
    EXPECT_EQ(photo.value(QStringLiteral("added")), SQLValue::real(0));
}

TEST(RecordMappingFallbacks, UnknownEnumTextsTakeTheColumnFallback)
{
    MappingDB m;
    m.db.exec(QStringLiteral(
        "INSERT INTO spot (id, zone_id, kind, name) VALUES (5, 1, 'Bench', 'x');"
        "INSERT INTO plant (id, crop, status) VALUES (5, 'x', 'Growing');"
        "INSERT INTO task (id, kind, rule, start, hour, minute) VALUES (5, 'weed', 'days:0', '2026-03-07', 8, 0);"
        "INSERT INTO task (id, kind, rule, start, hour, minute) VALUES (6, '', 'nonsense', '2026-03-07', 8, 0);"
        "INSERT INTO task (id, kind, rule, start, hour, minute) VALUES (7, 'feed', 'days:3', '2026-03-07', 8, 0);"
        "INSERT INTO pest (id, observed, problem, kind, severity) VALUES (5, '2026-03-07', 'x', 'virus', 2);"
        "INSERT INTO harvest (id, crop, date, quantity, unit) VALUES (5, 'x', '2026-03-07', 1, 'stone');"
        "INSERT INTO ledger (id, date, item, category, cost) VALUES (5, '2026-03-07', 'x', 'pestcontrol', 1);"));
    EXPECT_EQ(RowMapping<Spot>::fromRow(m.row("spot", 5)).kind, SpotKind::bed);
    EXPECT_EQ(RowMapping<Plant>::fromRow(m.row("plant", 5)).status, PlantStatus::planned);
    for (const qint64 id : {5, 6}) {
        const OVTask task = RowMapping<OVTask>::fromRow(m.row("task", id));
        EXPECT_EQ(task.kind, TaskKind::maintenance);
        EXPECT_EQ(task.rule, Recurrence::once());
    }
    const OVTask feed = RowMapping<OVTask>::fromRow(m.row("task", 7));
    EXPECT_EQ(feed.kind, TaskKind::feed);
    EXPECT_EQ(feed.rule, Recurrence::everyDays(3));
    EXPECT_EQ(RowMapping<PestRecord>::fromRow(m.row("pest", 5)).kind, ProblemKind::other);
    EXPECT_EQ(RowMapping<Harvest>::fromRow(m.row("harvest", 5)).unit, HarvestUnit::lb);
    EXPECT_EQ(RowMapping<LedgerEntry>::fromRow(m.row("ledger", 5)).category, LedgerCategory::other);
}

TEST(RecordMappingFallbacks, ImpossibleDays)
{
    MappingDB m;
    m.db.exec(QStringLiteral(
        "INSERT INTO plant (id, crop, status, sow_date, transplant_date, expected_harvest) "
        "VALUES (5, 'x', 'growing', '2026-02-30', '', 'soon');"
        "INSERT INTO germ_test (id, seed_id, started, sown, sprouted) VALUES (5, 1, '2026-02-30', 10, 1);"
        "INSERT INTO pest (id, observed, problem, kind, severity, treated) VALUES (5, '', 'x', 'pest', 2, '2026-04-31');"
        "INSERT INTO harvest (id, crop, date, quantity, unit) VALUES (5, 'x', 'yesterday', 1, 'lb');"
        "INSERT INTO ledger (id, date, item, category, cost) VALUES (5, '2025-02-29', 'x', 'other', 1);"
        "INSERT INTO task (id, kind, rule, start, hour, minute) VALUES (5, 'water', 'once', ' 2026-3-7 ', 8, 0);"));
    const Plant plant = RowMapping<Plant>::fromRow(m.row("plant", 5));
    EXPECT_FALSE(plant.sowDate || plant.transplantDate || plant.expectedHarvest);
    EXPECT_EQ(RowMapping<GermTest>::fromRow(m.row("germ_test", 5), pinnedToday).started, pinnedToday);
    const PestRecord pest = RowMapping<PestRecord>::fromRow(m.row("pest", 5), pinnedToday);
    EXPECT_EQ(pest.observed, pinnedToday);
    EXPECT_FALSE(pest.treated.has_value());
    EXPECT_EQ(RowMapping<Harvest>::fromRow(m.row("harvest", 5), pinnedToday).date, pinnedToday);
    EXPECT_EQ(RowMapping<LedgerEntry>::fromRow(m.row("ledger", 5), pinnedToday).date, pinnedToday);
    // A readable day is kept whatever `today` is.
    EXPECT_EQ(RowMapping<OVTask>::fromRow(m.row("task", 5), pinnedToday).start, OVDay(2026, 3, 7));
    // Without a pinned day the real one is used (read on both sides, for midnight).
    const OVDay before = OVDay::today();
    const OVDay unpinned = RowMapping<Harvest>::fromRow(m.row("harvest", 5)).date;
    EXPECT_TRUE(unpinned == before || unpinned == OVDay::today());
}

TEST(RecordMappingFallbacks, NullAndMissingColumns)
{
    // Rows the schema itself would refuse (NOT NULL) can still come from a damaged
    // or foreign file; they read as the column fallbacks, not as new-record defaults.
    const SQLRow nulls(QHash<QString, SQLValue>{
        {"id", SQLValue::integer(9)},         {"kind", SQLValue()},     {"rule", SQLValue()},
        {"hour", SQLValue()},                 {"minute", SQLValue()},   {"remind", SQLValue()},
        {"quantity", SQLValue()},             {"severity", SQLValue()}, {"sown", SQLValue()},
        {"unit", SQLValue()},                 {"source", SQLValue()},   {"added", SQLValue()},
        {"data", SQLValue::text("not bytes")}, {"taken", SQLValue()},   {"zone_id", SQLValue::text("seven")},
        {"temp_f", SQLValue::text("n/a")},    {"co2", SQLValue::text("415")}});

    const OVTask task = RowMapping<OVTask>::fromRow(nulls, pinnedToday);
    EXPECT_EQ(task.id, 9);
    EXPECT_EQ(task.kind, TaskKind::maintenance);
    EXPECT_EQ(task.rule, Recurrence::once());
    EXPECT_EQ(task.hour, 8);
    EXPECT_EQ(task.minute, 0);
    EXPECT_FALSE(task.remind);
    EXPECT_FALSE(task.active);
    EXPECT_EQ(task.start, pinnedToday);
    EXPECT_FALSE(task.zoneID.has_value());

    EXPECT_EQ(RowMapping<Plant>::fromRow(nulls).quantity, 1);
    EXPECT_EQ(RowMapping<LedgerEntry>::fromRow(nulls).quantity, 1);
    EXPECT_EQ(RowMapping<Seed>::fromRow(nulls).quantity, 0);
    EXPECT_EQ(RowMapping<Seed>::fromRow(nulls).unit, QString());
    EXPECT_EQ(RowMapping<Harvest>::fromRow(nulls).quantity, 0);
    EXPECT_EQ(RowMapping<PestRecord>::fromRow(nulls).severity, 2);
    EXPECT_EQ(RowMapping<GermTest>::fromRow(nulls).sown, 0);

    const Photo photo = RowMapping<Photo>::fromRow(nulls);
    EXPECT_TRUE(photo.data.isEmpty());
    EXPECT_EQ(photo.added, epoch);

    const Reading reading = RowMapping<Reading>::fromRow(nulls);
    EXPECT_EQ(reading.zoneID, 0);
    EXPECT_EQ(reading.taken, epoch);
    EXPECT_EQ(reading.source, QString());
    ASSERT_EQ(reading.values.size(), 1u); // "n/a" is no number, "415" is
    EXPECT_EQ(reading.values.at(Metric::co2), 415.0);
}

TEST(RecordMappingFallbacks, UnusableInstantsReadAsTheEpoch)
{
    for (const double seconds : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity(), 1e300, -1e19}) {
        const SQLRow row(QHash<QString, SQLValue>{{"done_at", SQLValue::real(seconds)},
                                                  {"last_done", SQLValue::real(seconds)}});
        EXPECT_EQ(RowMapping<TaskLog>::fromRow(row).doneAt, epoch) << seconds;
        EXPECT_FALSE(RowMapping<OVTask>::fromRow(row).lastDone.has_value()) << seconds;
    }
    // Whole seconds written as an integer by another program still read.
    const SQLRow integer(QHash<QString, SQLValue>{{"done_at", SQLValue::integer(86400)}});
    EXPECT_EQ(RowMapping<TaskLog>::fromRow(integer).doneAt, QDateTime::fromSecsSinceEpoch(86400, Qt::UTC));
    // Before 1970 is an ordinary instant.
    const SQLRow early(QHash<QString, SQLValue>{{"done_at", SQLValue::real(-1.5)}});
    EXPECT_EQ(RowMapping<TaskLog>::fromRow(early).doneAt, QDateTime::fromMSecsSinceEpoch(-1500, Qt::UTC));
}

TEST(RecordMappingFallbacks, TaskCategoryIsKeptAsStored)
{
    MappingDB m;
    OVTask task = Samples<OVTask>::bare();
    task.kind = TaskKind::maintenance;
    task.category = QStringLiteral("greenhouse cat");
    EXPECT_EQ(m.roundTrip(task).category, QStringLiteral("greenhouse cat"));
}

// Records are plain values: the row mapping lives in the store, and nothing under
// src/records reaches up into it.
TEST(RowMappingLayers, NoRecordFileIncludesTheStore)
{
    const QDir records(QStringLiteral(ORVANE_SOURCE_DATA_DIR) + QStringLiteral("/../src/records"));
    const QStringList files = records.entryList({QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files);
    ASSERT_GT(files.size(), 13);
    for (const QString& name : files) {
        QFile file(records.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        EXPECT_FALSE(text.contains(QStringLiteral("#include \"store/"))) << name.toStdString();
    }
}
