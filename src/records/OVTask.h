#pragma once
// A scheduled job: watering, feeding, a nutrient check or maintenance, repeating
// by `rule` from the day `start` at `hour`:`minute` local time.
//
// The time of day is kept as two numbers and never rebuilt through "today at
// h:m", so a daylight-saving day cannot move it. `category` is plain text (a
// MaintenanceCategory raw value, or ""), so a category no case knows survives a
// save unchanged. A new task is a daily watering job starting today at 08:00
// that reminds and is active (set `start` in the initializer to pin the day).

#include "records/OVDay.h"
#include "records/Recurrence.h"
#include "records/TaskKind.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct OVTask {
    qint64 id = 0;
    TaskKind kind = TaskKind::water;
    QString category{};
    QString title{};
    std::optional<qint64> zoneID{};
    std::optional<qint64> plantID{};
    QString amount{}; // free text: how much water or feed
    Recurrence rule = Recurrence::everyDays(1);
    OVDay start = OVDay::today();
    qint64 hour = 8;
    qint64 minute = 0;
    std::optional<QDateTime> lastDone{};
    bool remind = true;
    bool active = true;
    QString notes{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const OVTask&, const OVTask&) = default;
};
