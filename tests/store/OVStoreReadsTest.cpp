#include "store/OVStore.h"

#include "StoreLayout.h"
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using storetest::StoreLayout;
using storetest::errorOf;

namespace {

const QDateTime t0 = QDateTime(QDate(2026, 5, 1), QTime(8, 0), Qt::UTC);

Reading readingAt(qint64 zoneID, const QDateTime& taken, std::map<Metric, double> values)
{
    Reading reading;
    reading.zoneID = zoneID;
    reading.taken = taken;
    reading.values = std::move(values);
    return reading;
}

Harvest harvestOn(const OVDay& day, const QString& crop = QStringLiteral("Tomato"))
{
    Harvest harvest;
    harvest.crop = crop;
    harvest.date = day;
    harvest.quantity = 1;
    return harvest;
}

LedgerEntry costOn(const OVDay& day, double cost)
{
    LedgerEntry entry;
    entry.item = QStringLiteral("Compost");
    entry.date = day;
    entry.cost = cost;
    return entry;
}

} // namespace

TEST(OVStoreReads, ReadingCountsAreExactPerZoneSinceAndPerGreenhouse)
{
    StoreLayout s;
    Zone other{.greenhouseID = s.house.id, .name = QStringLiteral("Main")};
    s.store->save(other);
    Greenhouse elsewhere{.name = QStringLiteral("South")};
    s.store->save(elsewhere);
    Zone far{.greenhouseID = elsewhere.id, .name = QStringLiteral("Far")};
    s.store->save(far);

    QList<Reading> batch;
    for (int i = 0; i < 7; ++i)
        batch.append(readingAt(s.zone.id, t0.addSecs(3600 * i), {{Metric::temp, 70}}));
    batch.append(readingAt(other.id, t0, {{Metric::humidity, 50}}));
    batch.append(readingAt(far.id, t0, {{Metric::humidity, 50}}));
    s.store->addReadings(batch);

    EXPECT_EQ(s.store->readingCount(s.zone.id), 7);
    // At or after: the reading taken exactly at `since` counts.
    EXPECT_EQ(s.store->readingCount(s.zone.id, t0.addSecs(3600 * 4)), 3);
    EXPECT_EQ(s.store->readingCount(s.zone.id, t0.addSecs(3600 * 7)), 0);
    EXPECT_EQ(s.store->greenhouseReadingCount(s.house.id), 8);
    EXPECT_EQ(s.store->greenhouseReadingCount(elsewhere.id), 1);
    EXPECT_EQ(s.store->readingCount(9999), 0);
}

TEST(OVStoreReads, PhotoCountsArePerPlantWithoutEmptyOnes)
{
    StoreLayout s;
    Plant a{.crop = QStringLiteral("Basil")};
    Plant b{.crop = QStringLiteral("Mint")};
    s.store->save(a);
    s.store->save(b);
    for (int i = 0; i < 3; ++i) {
        Photo photo{.plantID = a.id, .data = QByteArray("jpeg")};
        s.store->save(photo);
    }
    const QHash<qint64, qint64> counts = s.store->photoCounts();
    EXPECT_EQ(counts.value(a.id), 3);
    EXPECT_FALSE(counts.contains(b.id));
    EXPECT_EQ(counts.size(), 1);
}

TEST(OVStoreReads, CappedAndDatedListsKeepTheirOrderAndBothBounds)
{
    StoreLayout s;
    for (const OVDay& day : {OVDay(2025, 12, 31), OVDay(2026, 1, 1), OVDay(2026, 6, 15), OVDay(2026, 12, 31),
                             OVDay(2027, 1, 1)}) {
        Harvest harvest = harvestOn(day);
        s.store->save(harvest);
        LedgerEntry entry = costOn(day, 2);
        s.store->save(entry);
    }
    // Two on the same day: the higher id comes first, as in harvests().
    Harvest sameDay = harvestOn(OVDay(2027, 1, 1), QStringLiteral("Pepper"));
    s.store->save(sameDay);

    const QList<Harvest> newest = s.store->newestHarvests(2);
    ASSERT_EQ(newest.size(), 2);
    EXPECT_EQ(newest[0].id, sameDay.id);
    EXPECT_EQ(newest[1].date, OVDay(2027, 1, 1));
    EXPECT_EQ(s.store->newestHarvests(0).size(), 0);
    EXPECT_EQ(s.store->newestHarvests(100), s.store->harvests());
    EXPECT_EQ(s.store->newestLedger(3), s.store->ledger().mid(0, 3));

    const QList<Harvest> year = s.store->harvestsBetween(OVDay(2026, 1, 1), OVDay(2026, 12, 31));
    ASSERT_EQ(year.size(), 3);
    EXPECT_EQ(year.first().date, OVDay(2026, 12, 31));
    EXPECT_EQ(year.last().date, OVDay(2026, 1, 1));
    const QList<LedgerEntry> costs = s.store->ledgerBetween(OVDay(2026, 1, 1), OVDay(2026, 12, 31));
    ASSERT_EQ(costs.size(), 3);
    EXPECT_EQ(costs.first().date, OVDay(2026, 12, 31));
}

TEST(OVStoreReads, OpenPestsLeaveTheResolvedOnesOut)
{
    StoreLayout s;
    PestRecord older{.observed = OVDay(2026, 3, 1), .problem = QStringLiteral("Aphids")};
    PestRecord newer{.observed = OVDay(2026, 4, 1), .problem = QStringLiteral("Mildew")};
    PestRecord done{.observed = OVDay(2026, 5, 1), .problem = QStringLiteral("Thrips"), .resolved = true};
    for (PestRecord* record : {&older, &newer, &done})
        s.store->save(*record);
    const QList<PestRecord> open = s.store->openPests();
    ASSERT_EQ(open.size(), 2);
    EXPECT_EQ(open[0].id, newer.id);
    EXPECT_EQ(open[1].id, older.id);
}

TEST(OVStoreReads, MetricPointsCountReadingsWithoutTheMetricInTheLimit)
{
    StoreLayout s;
    s.store->addReadings({readingAt(s.zone.id, t0, {{Metric::temp, 61.5}}),
                          readingAt(s.zone.id, t0.addSecs(60), {{Metric::humidity, 40}}),
                          readingAt(s.zone.id, t0.addSecs(120), {{Metric::temp, 63.25}})});
    const QList<OVStore::MetricPoint> two = s.store->metricPoints(s.zone.id, Metric::temp, std::nullopt, 2);
    ASSERT_EQ(two.size(), 1); // the newest two readings hold one temperature
    EXPECT_EQ(two[0].taken, t0.addSecs(120));
    EXPECT_EQ(two[0].value, 63.25);
    const QList<OVStore::MetricPoint> since = s.store->metricPoints(s.zone.id, Metric::temp, t0.addSecs(1), 10);
    ASSERT_EQ(since.size(), 1);
    EXPECT_TRUE(s.store->metricPoints(s.zone.id, Metric::temp, std::nullopt, 0).isEmpty());
}

// Every screen read throws the store's error rather than reading as "none".
TEST(OVStoreReads, EveryReadThrowsOnAClosedConnection)
{
    StoreLayout s;
    s.store->db().close();
    const OVError closed = OVError::database(QStringLiteral("closed"));
    EXPECT_EQ(errorOf([&] { s.store->readingCount(s.zone.id); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->readingCount(s.zone.id, t0); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->greenhouseReadingCount(s.house.id); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->photoCounts(); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->newestHarvests(5); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->newestLedger(5); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->harvestsBetween(OVDay(2026, 1, 1), OVDay(2026, 2, 1)); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->ledgerBetween(OVDay(2026, 1, 1), OVDay(2026, 2, 1)); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->openPests(); }), closed);
    EXPECT_EQ(errorOf([&] { s.store->metricPoints(s.zone.id, Metric::temp, std::nullopt, 10); }), closed);
}

TEST(OVStoreReads, AMissingTableIsTheEnginesErrorNotAZero)
{
    StoreLayout s;
    // Another program dropped the table under the open store.
    SQLiteDB other(s.path());
    other.exec(QStringLiteral("PRAGMA foreign_keys = OFF; DROP TABLE reading"));
    const OVError error = errorOf([&] { s.store->readingCount(s.zone.id); });
    EXPECT_EQ(error.kind(), OVError::Kind::database);
    EXPECT_TRUE(error.payload().contains(QStringLiteral("reading"))) << error.payload().toStdString();
    EXPECT_ANY_THROW(s.store->metricPoints(s.zone.id, Metric::temp, std::nullopt, 10));
}

TEST(OVStoreReadWatch, HearsOfFailuresThatTheQueriesReadAsNothing)
{
    StoreLayout s;
    {
        const OVStore::ReadWatch reads(*s.store);
        EXPECT_EQ(s.store->greenhouses().size(), 1);
        EXPECT_EQ(s.store->count(QStringLiteral("zone")), 1);
        EXPECT_FALSE(reads.failed());
        EXPECT_TRUE(reads.reason().isEmpty());
    }
    s.store->db().close();

    const OVStore::ReadWatch outer(*s.store);
    {
        const OVStore::ReadWatch inner(*s.store);
        // The never-throwing queries still give nothing, but the watches know why.
        EXPECT_TRUE(s.store->plants().isEmpty());
        EXPECT_EQ(s.store->count(QStringLiteral("plant")), 0);
        EXPECT_EQ(s.store->photoCount(1), 0);
        EXPECT_FALSE(s.store->get<Zone>(s.zone.id).has_value());
        EXPECT_TRUE(inner.failed());
        EXPECT_EQ(inner.reason(), QStringLiteral("closed"));
    }
    EXPECT_TRUE(outer.failed());

    // read() turns a thrown failure into the empty value and keeps the first reason.
    const OVStore::ReadWatch counting(*s.store);
    EXPECT_EQ(counting.read([&] { return s.store->readingCount(s.zone.id); }), 0);
    EXPECT_TRUE(counting.read([&] { return s.store->newestHarvests(3); }).isEmpty());
    EXPECT_EQ(counting.reason(), QStringLiteral("closed"));
}

// Two reads that fail for different reasons: a watch tells the first one's, however
// the failures reach it; a watch begun between them hears only the second.
TEST(OVStoreReadWatch, KeepsTheFirstOfTwoDifferentReasons)
{
    StoreLayout s;
    // Another program dropped a table under the open store.
    SQLiteDB other(s.path());
    other.exec(QStringLiteral("PRAGMA foreign_keys = OFF; DROP TABLE reading"));
    const OVStore::ReadWatch watch(*s.store);
    EXPECT_EQ(watch.read([&] { return s.store->readingCount(s.zone.id); }), 0);
    const QString first = watch.reason();
    EXPECT_TRUE(first.contains(QStringLiteral("reading"))) << first.toStdString();
    EXPECT_NE(first, QStringLiteral("closed"));

    const OVStore::ReadWatch later(*s.store);
    s.store->db().close();
    EXPECT_TRUE(s.store->plants().isEmpty()); // read as nothing, heard by both
    EXPECT_EQ(watch.reason(), first);
    EXPECT_EQ(later.reason(), QStringLiteral("closed"));

    // A failure that read() itself notes first, then one the store hands on.
    StoreLayout t;
    const OVStore::ReadWatch own(*t.store);
    EXPECT_EQ(own.read([]() -> qint64 { throw OVError::database(QStringLiteral("first")); }), 0);
    t.store->db().close();
    EXPECT_TRUE(own.read([&] { return t.store->newestHarvests(3); }).isEmpty());
    EXPECT_TRUE(t.store->zones().isEmpty());
    EXPECT_EQ(own.reason(), QStringLiteral("first"));
}

TEST(OVStoreReadWatch, AWatchOnlyHearsOfItsOwnStoreAndItsOwnLifetime)
{
    StoreLayout broken;
    StoreLayout sound;
    broken.store->db().close();
    EXPECT_TRUE(broken.store->zones().isEmpty()); // before any watch: heard by none

    const OVStore::ReadWatch reads(*sound.store);
    EXPECT_TRUE(broken.store->zones().isEmpty());
    EXPECT_FALSE(reads.failed());
    EXPECT_EQ(sound.store->zones().size(), 1);
    EXPECT_FALSE(reads.failed());
}

// The checks before a save read the store too; when they cannot, the save says so
// instead of refusing for a made-up reason or quietly dropping a link.
TEST(OVStoreReadWatch, ASaveWhoseChecksCannotReadFailsWithTheReadsError)
{
    StoreLayout s;
    Plant plant{.crop = QStringLiteral("Basil")};
    s.store->save(plant);
    s.store->db().close();
    Photo photo{.plantID = plant.id, .data = QByteArray("jpeg")};
    EXPECT_EQ(errorOf([&] { s.store->save(photo); }), OVError::database(QStringLiteral("closed")));
    OVTask task;
    task.zoneID = s.zone.id;
    EXPECT_EQ(errorOf([&] { s.store->save(task); }), OVError::database(QStringLiteral("closed")));
    EXPECT_EQ(task.zoneID, s.zone.id);
}
