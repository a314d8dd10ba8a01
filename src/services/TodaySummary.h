#pragma once
// What the Today dashboard shows, computed in one pass over the store: tasks due
// now and in the coming week, current climate alerts, plantings whose harvest is
// near, open problems, how many plantings are under way and the pounds picked this
// calendar year. A plain value: it keeps no reference to the store and never throws
// (an unreadable store gives an empty summary).

#include "records/Calendar.h"
#include "records/OVTask.h"
#include "records/PestRecord.h"
#include "records/Plant.h"
#include "services/ClimateAlert.h"

#include <QDateTime>
#include <QList>

class OVStore;

struct DueItem {
    OVTask task;
    QDateTime due;

    qint64 id() const { return task.id; }
};

struct TodaySummary {
    QList<DueItem> dueNow;
    QList<DueItem> upcoming;
    QList<ClimateAlert> alerts;
    QList<Plant> harvestSoon;
    QList<PestRecord> openPests;
    qint64 activePlants = 0;
    double poundsThisYear = 0;

    TodaySummary() = default;
    explicit TodaySummary(OVStore& store, const QDateTime& now = QDateTime::currentDateTimeUtc(),
                          const Calendar& calendar = Calendar::current());
};
