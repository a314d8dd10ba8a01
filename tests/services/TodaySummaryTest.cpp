#include "services/TodaySummary.h"

#include "store/OVStore.h"

#include "TestSupport.h"

#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const Calendar denver(QTimeZone("America/Denver"));

class TodaySummaryTest : public ::testing::Test {
protected:
    testsupport::ScratchDir dir;
    OVStore store{dir.file(QStringLiteral("today.sqlite"))};
    // 2026-06-10 14:00 in Denver.
    const QDateTime now = denver.instant(QDate(2026, 6, 10), QTime(14, 0));

    OVTask task(const QString& title, Recurrence rule, OVDay start, int hour = 8)
    {
        OVTask t;
        t.title = title;
        t.rule = rule;
        t.start = start;
        t.hour = hour;
        store.save(t);
        return t;
    }

    void plant(const QString& crop, PlantStatus status, std::optional<OVDay> expected)
    {
        Plant p;
        p.crop = crop;
        p.status = status;
        p.expectedHarvest = expected;
        store.save(p);
    }

    void harvest(OVDay date, double quantity, HarvestUnit unit)
    {
        Harvest h;
        h.crop = QStringLiteral("Tomato");
        h.date = date;
        h.quantity = quantity;
        h.unit = unit;
        store.save(h);
    }
};

} // namespace

TEST_F(TodaySummaryTest, EmptyStoreGivesAnEmptySummary)
{
    const TodaySummary summary(store, now, denver);
    EXPECT_TRUE(summary.dueNow.isEmpty());
    EXPECT_TRUE(summary.upcoming.isEmpty());
    EXPECT_TRUE(summary.alerts.isEmpty());
    EXPECT_TRUE(summary.harvestSoon.isEmpty());
    EXPECT_TRUE(summary.openPests.isEmpty());
    EXPECT_EQ(summary.activePlants, 0);
    EXPECT_EQ(summary.poundsThisYear, 0);
}

TEST_F(TodaySummaryTest, TasksFallIntoDueNowOrTheComingWeek)
{
    task(QStringLiteral("later today"), Recurrence::once(), OVDay(2026, 6, 10), 23);
    task(QStringLiteral("overdue"), Recurrence::everyDays(1), OVDay(2026, 6, 9));
    task(QStringLiteral("in six days"), Recurrence::once(), OVDay(2026, 6, 16));
    task(QStringLiteral("in eight days"), Recurrence::once(), OVDay(2026, 6, 18));
    task(QStringLiteral("last minute of the week"), Recurrence::once(), OVDay(2026, 6, 17), 23);
    OVTask paused = task(QStringLiteral("paused"), Recurrence::everyDays(1), OVDay(2026, 6, 1));
    paused.active = false;
    store.save(paused);

    const TodaySummary summary(store, now, denver);
    ASSERT_EQ(summary.dueNow.size(), 2);
    EXPECT_EQ(summary.dueNow[0].task.title, "overdue"); // earliest first
    EXPECT_EQ(summary.dueNow[0].due, denver.instant(QDate(2026, 6, 9), QTime(8, 0)));
    EXPECT_EQ(summary.dueNow[1].task.title, "later today");
    ASSERT_EQ(summary.upcoming.size(), 2);
    EXPECT_EQ(summary.upcoming[0].task.title, "in six days");
    EXPECT_EQ(summary.upcoming[1].task.title, "last minute of the week");
}

TEST_F(TodaySummaryTest, SameDueInstantKeepsTheStoreOrder)
{
    // Saved in reverse; the store lists tasks by kind, then title without regard to case.
    task(QStringLiteral("beta"), Recurrence::once(), OVDay(2026, 6, 10), 20);
    task(QStringLiteral("Alpha"), Recurrence::once(), OVDay(2026, 6, 10), 20);
    task(QStringLiteral("early"), Recurrence::once(), OVDay(2026, 6, 10), 9);
    const TodaySummary summary(store, now, denver);
    ASSERT_EQ(summary.dueNow.size(), 3);
    EXPECT_EQ(summary.dueNow[0].task.title, "early");
    EXPECT_EQ(summary.dueNow[1].task.title, "Alpha");
    EXPECT_EQ(summary.dueNow[2].task.title, "beta");
}

TEST_F(TodaySummaryTest, WeekEndsAtTheLocalEndOfTheSeventhDayAcrossAClockChange)
{
    // Denver leaves daylight saving on 2026-11-01: seven days of 24 hours from
    // 23:59:59 on 28 October would stop at 22:59:59 local on 4 November.
    const QDateTime autumn = denver.instant(QDate(2026, 10, 28), QTime(14, 0));
    task(QStringLiteral("last hour of the week"), Recurrence::once(), OVDay(2026, 11, 4), 23);
    task(QStringLiteral("first hour after it"), Recurrence::once(), OVDay(2026, 11, 5), 0);
    const TodaySummary summary(store, autumn, denver);
    EXPECT_TRUE(summary.dueNow.isEmpty());
    ASSERT_EQ(summary.upcoming.size(), 1);
    EXPECT_EQ(summary.upcoming[0].task.title, "last hour of the week");
}

TEST_F(TodaySummaryTest, HarvestSoonAndActivePlantings)
{
    plant(QStringLiteral("Late"), PlantStatus::fruiting, OVDay(2026, 5, 21)); // 20 days ago
    plant(QStringLiteral("Planned"), PlantStatus::planned, OVDay(2026, 6, 20));
    plant(QStringLiteral("Edge"), PlantStatus::growing, OVDay(2026, 6, 24)); // today + 14
    plant(QStringLiteral("Beyond"), PlantStatus::growing, OVDay(2026, 6, 25));
    plant(QStringLiteral("Done"), PlantStatus::finished, OVDay(2026, 6, 1));
    plant(QStringLiteral("NoDay"), PlantStatus::seedling, std::nullopt);

    const TodaySummary summary(store, now, denver);
    ASSERT_EQ(summary.harvestSoon.size(), 3);
    EXPECT_EQ(summary.harvestSoon[0].crop, "Late");
    EXPECT_EQ(summary.harvestSoon[1].crop, "Planned");
    EXPECT_EQ(summary.harvestSoon[2].crop, "Edge");
    EXPECT_EQ(summary.activePlants, 4); // fruiting, two growing, seedling
}

TEST_F(TodaySummaryTest, PoundsThisYearIgnoreCountsAndOtherYears)
{
    harvest(OVDay(2026, 3, 1), 2, HarvestUnit::kg);
    harvest(OVDay(2026, 6, 1), 8, HarvestUnit::oz);
    harvest(OVDay(2026, 6, 2), 3, HarvestUnit::count);
    harvest(OVDay(2025, 12, 31), 5, HarvestUnit::lb);
    const TodaySummary summary(store, now, denver);
    EXPECT_NEAR(summary.poundsThisYear, 4.9092452436, 1e-9);
}

TEST_F(TodaySummaryTest, OnlyUnresolvedProblemsAreOpen)
{
    PestRecord old;
    old.problem = QStringLiteral("Aphids");
    old.observed = OVDay(2025, 8, 1);
    store.save(old);
    PestRecord fixed;
    fixed.problem = QStringLiteral("Mildew");
    fixed.resolved = true;
    store.save(fixed);
    const TodaySummary summary(store, now, denver);
    ASSERT_EQ(summary.openPests.size(), 1);
    EXPECT_EQ(summary.openPests[0].problem, "Aphids");
}
