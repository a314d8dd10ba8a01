#include "services/TodaySummary.h"

#include "records/OVDay.h"
#include "services/ClimateAlerts.h"
#include "services/Schedule.h"
#include "store/OVStore.h"

#include <algorithm>

namespace {

// 23:59:59 of the local day of `now`; `now` itself when the calendar cannot form it.
QDateTime endOfToday(const QDateTime& now, const Calendar& calendar)
{
    const QDateTime end = calendar.instant(calendar.date(now), QTime(23, 59, 59));
    return end.isValid() ? end : now;
}

} // namespace

TodaySummary::TodaySummary(OVStore& store, const QDateTime& now, const Calendar& calendar)
{
    const QDateTime todayEnd = endOfToday(now, calendar);
    QDateTime weekEnd = calendar.addingDays(todayEnd, 7);
    if (!weekEnd.isValid())
        weekEnd = todayEnd;

    for (const OVTask& task : store.tasks()) {
        const std::optional<QDateTime> due = Schedule::nextDue(task, calendar);
        if (!due)
            continue;
        if (*due <= todayEnd)
            dueNow.append(DueItem{task, *due});
        else if (*due <= weekEnd)
            upcoming.append(DueItem{task, *due});
    }
    const auto byDue = [](const DueItem& a, const DueItem& b) { return a.due < b.due; };
    std::stable_sort(dueNow.begin(), dueNow.end(), byDue);
    std::stable_sort(upcoming.begin(), upcoming.end(), byDue);

    alerts = ClimateAlerts::current(store);

    const OVDay today(now, calendar);
    const OVDay horizon = today.adding(14, calendar);
    activePlants = store.activePlantCount();
    for (const Plant& plant : store.unfinishedPlantsWithHarvestDay()) {
        if (plant.status == PlantStatus::finished || plant.status == PlantStatus::failed)
            continue;
        if (!plant.expectedHarvest || *plant.expectedHarvest > horizon)
            continue;
        harvestSoon.append(plant);
    }
    std::stable_sort(harvestSoon.begin(), harvestSoon.end(), [&](const Plant& a, const Plant& b) {
        return a.expectedHarvest.value_or(today) < b.expectedHarvest.value_or(today);
    });

    // Only the rows that can count are read: years of records must not slow the
    // dashboard down. Each row is still checked as it reads back.
    // A failed read counts as none here; the screen's own ReadWatch hears of it.
    const OVStore::ReadWatch reads(store);
    for (const PestRecord& pest : reads.read([&] { return store.openPests(); })) {
        if (!pest.resolved)
            openPests.append(pest);
    }

    poundsThisYear = store.poundsHarvestedIn(calendar.date(now).year());
}
