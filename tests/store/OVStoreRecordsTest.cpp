// Generic save, fetch and delete, and the named queries.

#include "store/OVStore.h"

#include "StoreLayout.h"
#include "StoreTestSupport.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <sqlite3.h>

using storetest::errorOf;
using storetest::StoreLayout;
using storetest::utc;

namespace {

// What the sqlite3 command-line tool answers for `sql` on `path`.
QString sqlite3Answer(const QString& path, const QString& sql)
{
    QProcess tool;
    tool.start(QStringLiteral("sqlite3"), {path, sql});
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0)
        return QStringLiteral("<sqlite3 failed: %1>").arg(QString::fromUtf8(tool.readAllStandardError()));
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(OVStoreSave, InsertThenUpdateTheSameRow)
{
    StoreLayout s;
    const qint64 before = s->revision();
    Greenhouse house;
    house.name = QStringLiteral("South");
    s->save(house);
    EXPECT_GT(house.id, 0);
    EXPECT_EQ(s->revision(), before + 1);

    house.name = QStringLiteral("South Range");
    s->save(house);
    EXPECT_EQ(s->revision(), before + 2);
    EXPECT_EQ(s->count(QStringLiteral("greenhouse")), 2);
    EXPECT_EQ(s->get<Greenhouse>(house.id)->name, QStringLiteral("South Range"));
}

TEST(OVStoreSave, RowThatIsGoneIsNotCreated)
{
    StoreLayout s;
    Greenhouse house;
    house.name = QStringLiteral("Gone");
    s->save(house);
    s->remove<Greenhouse>(house.id);
    const qint64 before = s->revision();

    EXPECT_EQ(errorOf([&] { s->save(house); }), OVError::notFound());
    Greenhouse invented = house;
    invented.id = 12345;
    EXPECT_EQ(errorOf([&] { s->save(invented); }), OVError::notFound());
    EXPECT_EQ(s->count(QStringLiteral("greenhouse")), 1); // the layout's own
    EXPECT_EQ(s->revision(), before);
}

// Another process deletes the row between the checks of a save and its UPDATE: the
// engine asks the authorizer about the UPDATE just before it runs, which is where a
// second connection removes the row here.
TEST(OVStoreSave, RowDeletedByAnotherConnectionJustBeforeTheUpdateIsNotFound)
{
    StoreLayout s;
    Greenhouse house;
    house.name = QStringLiteral("Doomed");
    s->save(house);
    SQLiteDB other(s->path());
    struct Hook {
        SQLiteDB* other;
        qint64 id;
        bool fired = false;
    } hook{&other, house.id};
    const auto authorize = [](void* context, int action, const char*, const char*, const char*, const char*) {
        auto* h = static_cast<Hook*>(context);
        if (action == SQLITE_UPDATE && !h->fired) {
            h->fired = true;
            h->other->run(QStringLiteral("DELETE FROM greenhouse WHERE id = ?"), {h->id});
        }
        return SQLITE_OK;
    };
    sqlite3_set_authorizer(s->db().handle(), authorize, &hook);
    const qint64 before = s->revision();
    house.name = QStringLiteral("Renamed");
    EXPECT_EQ(errorOf([&] { s->save(house); }), OVError::notFound());
    sqlite3_set_authorizer(s->db().handle(), nullptr, nullptr);
    EXPECT_TRUE(hook.fired);
    EXPECT_EQ(s->revision(), before);
    EXPECT_FALSE(s->get<Greenhouse>(house.id).has_value());
}

// The table name is pasted into the statement: only the thirteen names pass.
TEST(OVStoreCount, OnlyTheThirteenTables)
{
    StoreLayout s;
    for (const QString& table : OVStore::tables)
        EXPECT_GE(s->count(table), 0) << table.toStdString();
    EXPECT_EQ(s->count(QStringLiteral("greenhouse")), 1);
    for (const char* bad : {"greenhouse WHERE 0", "sqlite_master", "Greenhouse", "", "zone; DROP TABLE plant"}) {
        const OVError error = errorOf([&] { s->count(QString::fromLatin1(bad)); });
        EXPECT_EQ(error.kind(), OVError::Kind::database) << bad;
    }
    EXPECT_EQ(s->count(QStringLiteral("plant")), s->plants().size());
}

TEST(OVStoreSave, RefusedOrFailedSaveChangesNothing)
{
    StoreLayout s;
    int announced = 0;
    QObject::connect(s.store.get(), &OVStore::revisionChanged, [&announced] { ++announced; });
    Greenhouse blank;
    EXPECT_EQ(errorOf([&] { s->save(blank); }).kind(), OVError::Kind::invalid);
    EXPECT_EQ(announced, 0);

    // Another connection holds the write lock: the insert fails with the engine's
    // text after the busy timeout, and the record keeps id 0.
    SQLiteDB holder(s.path());
    holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
    Greenhouse house;
    house.name = QStringLiteral("Blocked");
    const OVError e = errorOf([&] { s->save(house); });
    holder.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(e, OVError::database(QStringLiteral("database is locked")));
    EXPECT_EQ(house.id, 0);
    EXPECT_EQ(announced, 0);
    EXPECT_EQ(s->count(QStringLiteral("greenhouse")), 1);
}

TEST(OVStoreDelete, ZoneTakesItsPlacesAndReadingsAndClearsLinks)
{
    StoreLayout s;
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.spotID = s.bed.id;
    s->save(plant);
    Spot bench;
    bench.zoneID = s.zone.id;
    bench.kind = SpotKind::bench;
    bench.name = QStringLiteral("B");
    s->save(bench);
    OVTask task;
    task.zoneID = s.zone.id;
    s->save(task);
    PestRecord pest;
    pest.problem = QStringLiteral("Aphids");
    pest.zoneID = s.zone.id;
    s->save(pest);
    Reading reading;
    reading.zoneID = s.zone.id;
    reading.values = {{Metric::temp, 70.0}};
    s->addReadings({reading});

    const qint64 before = s->revision();
    s->remove<Zone>(s.zone.id);
    EXPECT_EQ(s->revision(), before + 1);

    // Checked by another program on the file itself.
    const QString file = s.path();
    EXPECT_EQ(sqlite3Answer(file, QStringLiteral("SELECT count(*) FROM zone")), QStringLiteral("0"));
    EXPECT_EQ(sqlite3Answer(file, QStringLiteral("SELECT count(*) FROM spot")), QStringLiteral("0"));
    EXPECT_EQ(sqlite3Answer(file, QStringLiteral("SELECT count(*) FROM reading")), QStringLiteral("0"));
    EXPECT_EQ(sqlite3Answer(file, QStringLiteral("SELECT count(*) || '|' || count(zone_id) || '|' || count(spot_id) || "
                                                 "'|' || count(greenhouse_id) FROM plant")),
              QStringLiteral("1|0|0|1"));
    EXPECT_EQ(sqlite3Answer(file, QStringLiteral("SELECT count(*) || '|' || count(zone_id) FROM task")),
              QStringLiteral("1|0"));
    EXPECT_EQ(sqlite3Answer(file, QStringLiteral("SELECT count(*) || '|' || count(zone_id) FROM pest")),
              QStringLiteral("1|0"));
}

TEST(OVStoreDelete, MissingIdSucceedsFailureThrows)
{
    StoreLayout s;
    const qint64 before = s->revision();
    EXPECT_NO_THROW(s->remove<Plant>(98765));
    EXPECT_EQ(s->revision(), before + 1);

    SQLiteDB holder(s.path());
    holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
    EXPECT_EQ(errorOf([&] { s->remove<Greenhouse>(s.house.id); }).kind(), OVError::Kind::database);
    holder.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(s->revision(), before + 1);
    EXPECT_TRUE(s->get<Greenhouse>(s.house.id).has_value());
}

TEST(OVStoreFetch, BadConditionGivesNothing)
{
    StoreLayout s;
    EXPECT_TRUE(s->fetch<Zone>(QStringLiteral("no_such_column = ?"), {1}).isEmpty());
    EXPECT_TRUE(s->fetch<Zone>(QString(), {}, QStringLiteral("nonsense(")).isEmpty());
    EXPECT_FALSE(s->get<Zone>(std::nullopt).has_value());
    EXPECT_EQ(s->fetch<Zone>().size(), 1);
}

TEST(OVStoreQueries, OrderingRules)
{
    StoreLayout s;
    Spot bench;
    bench.zoneID = s.zone.id;
    bench.kind = SpotKind::bench;
    bench.name = QStringLiteral("A");
    s->save(bench);
    const QList<Spot> spots = s->spots(s.zone.id);
    ASSERT_EQ(spots.size(), 2);
    EXPECT_EQ(spots[0].kind, SpotKind::bed);

    // Tasks sort by the stored kind text, not by the kinds' declared order.
    for (const TaskKind kind : {TaskKind::water, TaskKind::maintenance, TaskKind::feed, TaskKind::nutrient}) {
        OVTask task;
        task.kind = kind;
        s->save(task);
    }
    QStringList kinds;
    for (const OVTask& t : s->tasks())
        kinds.append(t.kind.rawValue());
    EXPECT_EQ(kinds, (QStringList{"feed", "maintenance", "nutrient", "water"}));

    // NOCASE folds A to Z only.
    for (const char* crop : {"banana", "Apple", "Ébène", "apple"}) {
        Plant plant;
        plant.crop = QString::fromUtf8(crop);
        s->save(plant);
    }
    QStringList crops;
    for (const Plant& p : s->plants())
        crops.append(p.crop);
    EXPECT_EQ(crops, (QStringList{"Apple", "apple", "banana", QStringLiteral("Ébène")}));
}

TEST(OVStoreQueries, NewestFirstListsBreakTiesByHigherId)
{
    StoreLayout s;
    Seed seed;
    seed.crop = QStringLiteral("Lettuce");
    s->save(seed);
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    s->save(plant);
    OVTask task;
    s->save(task);

    // Saved out of day order, with two records on one day each: that day's later row
    // comes first.
    QList<qint64> germIDs, pestIDs, harvestIDs, ledgerIDs;
    for (const int day : {2, 9, 9, 5}) {
        GermTest test;
        test.seedID = seed.id;
        test.started = OVDay(2026, 4, day);
        s->save(test);
        germIDs.append(test.id);
        PestRecord pest;
        pest.problem = QStringLiteral("Aphids");
        pest.observed = OVDay(2026, 4, day);
        s->save(pest);
        pestIDs.append(pest.id);
        Harvest harvest;
        harvest.crop = QStringLiteral("Kale");
        harvest.quantity = 1;
        harvest.date = OVDay(2026, 4, day);
        s->save(harvest);
        harvestIDs.append(harvest.id);
        LedgerEntry entry;
        entry.item = QStringLiteral("Twine");
        entry.date = OVDay(2026, 4, day);
        s->save(entry);
        ledgerIDs.append(entry.id);
    }
    const auto idsOf = [](const auto& records) {
        QList<qint64> ids;
        for (const auto& r : records)
            ids.append(r.id);
        return ids;
    };
    const auto expected = [](const QList<qint64>& saved) { return QList<qint64>{saved[2], saved[1], saved[3], saved[0]}; };
    EXPECT_EQ(idsOf(s->germTests(seed.id)), expected(germIDs));
    EXPECT_EQ(idsOf(s->pests()), expected(pestIDs));
    EXPECT_EQ(idsOf(s->harvests()), expected(harvestIDs));
    EXPECT_EQ(idsOf(s->ledger()), expected(ledgerIDs));
    EXPECT_TRUE(s->germTests(seed.id + 1).isEmpty());

    // Completions newest first; photos oldest first, one instant broken by lower id.
    s->markDone(task, utc(2026, 4, 2, 8, 0, 0));
    s->markDone(task, utc(2026, 4, 9, 8, 0, 0));
    s->markDone(task, utc(2026, 4, 5, 8, 0, 0));
    QList<QDateTime> doneAt;
    for (const TaskLog& log : s->taskLog(task.id))
        doneAt.append(log.doneAt);
    EXPECT_EQ(doneAt, (QList<QDateTime>{utc(2026, 4, 9, 8, 0, 0), utc(2026, 4, 5, 8, 0, 0), utc(2026, 4, 2, 8, 0, 0)}));

    QList<qint64> photoIDs;
    for (const QDateTime& added : {utc(2026, 4, 9, 8, 0, 0), utc(2026, 4, 2, 8, 0, 0), utc(2026, 4, 9, 8, 0, 0)}) {
        Photo photo;
        photo.plantID = plant.id;
        photo.data = QByteArray("jpeg");
        photo.added = added;
        s->save(photo);
        photoIDs.append(photo.id);
    }
    EXPECT_EQ(idsOf(s->photos(plant.id)), (QList<qint64>{photoIDs[1], photoIDs[0], photoIDs[2]}));
}

TEST(OVStoreQueries, LayoutListsGroupByParentThenName)
{
    StoreLayout s;
    Greenhouse south;
    south.name = QStringLiteral("annex");
    s->save(south);
    // North (the layout's) keeps the lower id, so zones group under it first.
    Zone b;
    b.greenhouseID = s.house.id;
    b.name = QStringLiteral("bench room");
    s->save(b);
    Zone a;
    a.greenhouseID = south.id;
    a.name = QStringLiteral("Alpha");
    s->save(a);
    Zone c;
    c.greenhouseID = s.house.id;
    c.name = QStringLiteral("Cold frame");
    s->save(c);

    QStringList names;
    for (const Greenhouse& g : s->greenhouses())
        names.append(g.name);
    EXPECT_EQ(names, (QStringList{"annex", "North"}));

    names.clear();
    for (const Zone& z : s->zones())
        names.append(z.name);
    EXPECT_EQ(names, (QStringList{"bench room", "Cold frame", "Propagation", "Alpha"}));
    names.clear();
    for (const Zone& z : s->zones(s.house.id))
        names.append(z.name);
    EXPECT_EQ(names, (QStringList{"bench room", "Cold frame", "Propagation"}));

    // Places group by zone first: the layout zone's bench before the later zone's beds.
    Spot bench;
    bench.zoneID = s.zone.id;
    bench.kind = SpotKind::bench;
    bench.name = QStringLiteral("A");
    s->save(bench);
    for (const char* name : {"z", "b"}) {
        Spot bed;
        bed.zoneID = a.id;
        bed.name = QString::fromLatin1(name);
        s->save(bed);
    }
    names.clear();
    for (const Spot& spot : s->allSpots())
        names.append(spot.name);
    EXPECT_EQ(names, (QStringList{"1", "A", "b", "z"}));

    Seed second;
    second.crop = QStringLiteral("lettuce");
    second.variety = QStringLiteral("b");
    s->save(second);
    Seed first;
    first.crop = QStringLiteral("Lettuce");
    first.variety = QStringLiteral("A");
    s->save(first);
    Seed basil;
    basil.crop = QStringLiteral("Basil");
    s->save(basil);
    names.clear();
    for (const Seed& seed : s->seeds())
        names.append(seed.crop + u'/' + seed.variety);
    EXPECT_EQ(names, (QStringList{"Basil/", "Lettuce/A", "lettuce/b"}));
}

TEST(OVStoreQueries, ReadingsNewestFirstWithLimitAndSince)
{
    StoreLayout s;
    QList<Reading> batch;
    for (int minute = 0; minute < 5; ++minute) {
        Reading r;
        r.zoneID = s.zone.id;
        r.taken = utc(2026, 6, 1, 7, minute, 0);
        r.values = {{Metric::humidity, 50.0 + minute}};
        batch.append(r);
    }
    s->addReadings(batch);
    // Two readings of one instant (the import would skip the second; a save does not).
    Reading twin = batch.last();
    twin.values = {{Metric::humidity, 99.0}};
    s->save(twin);

    const QList<Reading> newest = s->readings(s.zone.id, std::nullopt, 3);
    ASSERT_EQ(newest.size(), 3);
    EXPECT_EQ(newest[0].id, twin.id);
    EXPECT_EQ(newest[1].values.at(Metric::humidity), 54.0);
    EXPECT_EQ(s->readings(s.zone.id, utc(2026, 6, 1, 7, 3, 0)).size(), 3);
    EXPECT_EQ(s->latestReading(s.zone.id)->id, twin.id);
    EXPECT_FALSE(s->latestReading(s.zone.id + 100).has_value());
}

TEST(OVStoreQueries, ZoneNameAndLocationText)
{
    StoreLayout s;
    EXPECT_EQ(s->zoneName(s.zone.id), QStringLiteral("North · Propagation"));
    EXPECT_EQ(s->zoneName(std::nullopt), QString());
    EXPECT_EQ(s->zoneName(4711), QString());

    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.spotID = s.bed.id;
    s->save(plant);
    EXPECT_EQ(s->locationText(plant), QStringLiteral("North · Propagation · Bed 1"));
    EXPECT_EQ(s->locationText(Plant()), QString());

    // A greenhouse without a name leaves the zone's name alone.
    SQLiteDB(s.path()).run(QStringLiteral("UPDATE greenhouse SET name = '' WHERE id = ?"), {s.house.id});
    EXPECT_EQ(s->zoneName(s.zone.id), QStringLiteral("Propagation"));

    Photo photo;
    photo.plantID = plant.id;
    photo.data = QByteArray("x");
    s->save(photo);
    Photo second = photo;
    second.id = 0;
    s->save(second);
    EXPECT_EQ(s->photoCount(plant.id), 2);
    EXPECT_EQ(s->photoCount(plant.id + 1), 0);
}
