#include "services/SampleData.h"

#include "records/Calendar.h"
#include "services/ClimateAlerts.h"
#include "services/ReferenceLibrary.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QTime>
#include <gtest/gtest.h>

using testsupport::ScratchDir;

namespace {

QDateTime localTime(int year, int month, int day, int hour, int minute = 0)
{
    return Calendar::current().instant(year, month, day, hour, minute);
}

std::optional<OVTask> taskTitled(const OVStore& store, const QString& title)
{
    for (const OVTask& t : store.tasks()) {
        if (t.title == title)
            return t;
    }
    return std::nullopt;
}

} // namespace

TEST(SampleDataAdd, EveningGivesTheWholeSetWithOneAlert)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    const QDateTime now = localTime(2026, 6, 10, 20, 0);
    SampleData::add(store, now);

    EXPECT_EQ(store.count(QStringLiteral("greenhouse")), 1);
    EXPECT_EQ(store.count(QStringLiteral("zone")), 2);
    EXPECT_EQ(store.count(QStringLiteral("spot")), 3);
    EXPECT_EQ(store.count(QStringLiteral("plant")), 3);
    EXPECT_EQ(store.count(QStringLiteral("seed")), 1);
    EXPECT_EQ(store.count(QStringLiteral("germ_test")), 1);
    EXPECT_EQ(store.count(QStringLiteral("reading")), 42); // 20:00 exactly still counts
    EXPECT_EQ(store.count(QStringLiteral("task")), 7);
    // Task 1, then 2-6; task 7 (1 October) starts in the future.
    EXPECT_EQ(store.count(QStringLiteral("task_log")), 6);
    EXPECT_EQ(store.count(QStringLiteral("pest")), 1);
    EXPECT_EQ(store.count(QStringLiteral("harvest")), 2);
    EXPECT_EQ(store.count(QStringLiteral("ledger")), 3);

    const QList<Zone> zones = store.zones();
    ASSERT_EQ(zones.size(), 2);
    const Zone& mainHouse = zones[0].name == QStringLiteral("Main House") ? zones[0] : zones[1];
    const Zone& propagation = zones[0].name == QStringLiteral("Main House") ? zones[1] : zones[0];
    EXPECT_EQ(mainHouse.limits.at(Metric::soilMoisture), MetricRange(25, 60));
    EXPECT_EQ(propagation.limits.count(Metric::soilMoisture), 0u);

    // Exactly one alert in the sample's week: Main House air, yesterday 14:00, above 90.
    const QList<ClimateAlert> alerts = ClimateAlerts::recent(store, 7, now);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0], ClimateAlert(mainHouse.id, Metric::temp, 94.5, 90, ClimateAlert::Side::high,
                                      localTime(2026, 6, 9, 14)));
    EXPECT_TRUE(ClimateAlerts::current(store).isEmpty()); // the newest readings are all in range

    const QList<Reading> mainReadings = store.readings(mainHouse.id, std::nullopt, 100);
    ASSERT_EQ(mainReadings.size(), 21);
    EXPECT_EQ(mainReadings.first().taken, now);
    EXPECT_EQ(mainReadings.last().taken, localTime(2026, 6, 4, 7));
    for (const Reading& r : mainReadings) {
        const bool stuck = r.taken == localTime(2026, 6, 9, 14);
        EXPECT_EQ(r.note, stuck ? QStringLiteral("Sample: vents stuck closed") : QStringLiteral("Sample"));
        EXPECT_EQ(r.values.size(), 5u);
    }
}

TEST(SampleDataAdd, PlantsGetTheirPlaceFilledAndLibraryHarvestDays)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    const QDateTime now = localTime(2026, 6, 10, 20, 0);
    SampleData::add(store, now);

    const QList<Greenhouse> houses = store.greenhouses();
    ASSERT_EQ(houses.size(), 1);
    const QList<Plant> plants = store.plants(); // by crop
    ASSERT_EQ(plants.size(), 3);
    const Plant& basil = plants[0];
    const Plant& lettuce = plants[1];
    const Plant& tomato = plants[2];
    ASSERT_EQ(tomato.crop, QStringLiteral("Tomato"));
    ASSERT_EQ(lettuce.crop, QStringLiteral("Lettuce"));

    for (const Plant& p : plants) {
        ASSERT_TRUE(p.spotID && p.zoneID && p.greenhouseID) << p.crop.toStdString();
        const std::optional<Spot> spot = store.get<Spot>(p.spotID);
        ASSERT_TRUE(spot);
        EXPECT_EQ(*p.zoneID, spot->zoneID);
        EXPECT_EQ(*p.greenhouseID, houses[0].id);
    }
    EXPECT_EQ(store.locationText(tomato), QStringLiteral("Sample Greenhouse · Main House · Bed 1"));

    // The herb's name is what the library matching takes for its reference id.
    EXPECT_EQ(basil.refCropID, QStringLiteral("basil"));
    EXPECT_EQ(basil.crop.toLower(), basil.refCropID);

    const ReferenceLibrary& library = ReferenceLibrary::shared();
    const OVDay today(now);
    const std::optional<RefCrop> tomatoRef = library.crop(QStringLiteral("tomato"));
    ASSERT_TRUE(tomatoRef);
    EXPECT_EQ(tomato.expectedHarvest, tomatoRef->expectedHarvest(today.adding(-55), today.adding(-12)));
    EXPECT_TRUE(tomato.expectedHarvest);
    const std::optional<RefCrop> lettuceRef = library.crop(lettuce.refCropID);
    ASSERT_TRUE(lettuceRef) << lettuce.refCropID.toStdString();
    EXPECT_TRUE(lettuceRef->name.contains(QStringLiteral("leaf"), Qt::CaseInsensitive));
    EXPECT_EQ(lettuce.expectedHarvest, lettuceRef->expectedHarvest(today.adding(-48), std::nullopt));
    // The sample always shows a harvest coming up soon.
    ASSERT_TRUE(lettuce.expectedHarvest);
    EXPECT_LE(std::abs(today.daysTo(*lettuce.expectedHarvest)), 14);
    // Basil has no entry in the shipped library: no day is invented for it.
    EXPECT_EQ(basil.expectedHarvest, library.crop(QStringLiteral("basil"))
                                         ? library.crop(QStringLiteral("basil"))->expectedHarvest(today.adding(-20), {})
                                         : std::nullopt);
}

TEST(SampleDataAdd, TaskHistoryFollowsTheRules)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    const QDateTime now = localTime(2026, 11, 1, 12, 0);
    SampleData::add(store, now);

    const auto water = taskTitled(store, QStringLiteral("Water propagation trays (sample)"));
    ASSERT_TRUE(water);
    EXPECT_EQ(water->lastDone, now.addSecs(-86400));
    const auto glazing = taskTitled(store, QStringLiteral("Wash the glazing inside and out (sample)"));
    ASSERT_TRUE(glazing);
    EXPECT_EQ(glazing->lastDone, localTime(2026, 3, 15, 9, 30));
    const auto heaters = taskTitled(store, QStringLiteral("Test heater and thermostat before frost (sample)"));
    ASSERT_TRUE(heaters);
    EXPECT_EQ(heaters->lastDone, localTime(2026, 10, 1, 9, 30));
    const auto vents = taskTitled(store, QStringLiteral("Check and oil vent openers (sample)"));
    ASSERT_TRUE(vents);
    EXPECT_EQ(vents->lastDone, localTime(2026, 11, 1, 10, 0)); // due 09:30, done half an hour later
    EXPECT_EQ(vents->rule.encoded(), QStringLiteral("monthday:1:1"));
    const auto runoff = taskTitled(store, QStringLiteral("Check runoff pH and EC (sample)"));
    ASSERT_TRUE(runoff);
    EXPECT_EQ(runoff->rule.encoded(), QStringLiteral("weeks:1:2"));
    // 1 November 2026 is a Sunday: the last Monday is 26 October.
    EXPECT_EQ(runoff->lastDone, localTime(2026, 10, 26, 10, 30));
}

TEST(SampleDataAdd, EarlyCallLeavesOutWhatHasNotHappenedYet)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    SampleData::add(store, localTime(2026, 2, 1, 10, 0));
    // Today's 14:00 and 20:00 readings lie ahead: 19 time points of 21.
    EXPECT_EQ(store.count(QStringLiteral("reading")), 38);
    // Both yearly jobs start later this year: no history.
    for (const QString& title : {QStringLiteral("Wash the glazing inside and out (sample)"),
                                 QStringLiteral("Test heater and thermostat before frost (sample)")}) {
        const auto task = taskTitled(store, title);
        ASSERT_TRUE(task);
        EXPECT_FALSE(task->lastDone) << title.toStdString();
        EXPECT_TRUE(store.taskLog(task->id).isEmpty());
    }
}

TEST(SampleDataAdd, TwiceWritesTwoFullSets)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    const QDateTime now = localTime(2026, 6, 10, 20, 0);
    SampleData::add(store, now);
    SampleData::add(store, now);
    EXPECT_EQ(store.count(QStringLiteral("greenhouse")), 2);
    EXPECT_EQ(store.count(QStringLiteral("zone")), 4);
    EXPECT_EQ(store.count(QStringLiteral("reading")), 84);
    EXPECT_EQ(store.count(QStringLiteral("task_log")), 12);
    EXPECT_EQ(ClimateAlerts::recent(store, 7, now).size(), 2);
}

TEST(SampleDataAdd, FirstFailureStopsAndKeepsWhatWasSaved)
{
    ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("s.sqlite")));
    store.db().exec(QStringLiteral(
        "CREATE TRIGGER no_tasks BEFORE INSERT ON task BEGIN SELECT RAISE(ABORT, 'tasks refused'); END"));
    try {
        SampleData::add(store, localTime(2026, 6, 10, 20, 0));
        FAIL() << "expected the store's error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
        EXPECT_TRUE(e.payload().contains(QStringLiteral("tasks refused"))) << e.what();
    }
    EXPECT_EQ(store.count(QStringLiteral("greenhouse")), 1);
    EXPECT_EQ(store.count(QStringLiteral("reading")), 42);
    EXPECT_EQ(store.count(QStringLiteral("task")), 0);
    EXPECT_EQ(store.count(QStringLiteral("pest")), 0);
    EXPECT_EQ(store.count(QStringLiteral("ledger")), 0);
}
