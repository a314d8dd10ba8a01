#pragma once
// Decides which task reminders should be pending: for every active task with its
// reminder on, up to three coming due instants within a horizon.
//
// Planning is pure (no store, no notification service). A plan never holds an
// instant at or before `now`, never more than three reminders of one task and
// never more than maxPending reminders in all; it is sorted by fire time (stable:
// equal times keep task order, then date order).

#include "records/Calendar.h"
#include "services/ReminderRequest.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct OVTask;

namespace ReminderPlanner {

// The most reminders a plan keeps (the desktop keeps at most 64 of ours pending).
inline constexpr int maxPending = 60;
// The most reminders one task contributes.
inline constexpr int perTask = 3;

using ZoneName = std::function<QString(std::optional<qint64>)>;

// `zoneName` is asked once per planned task, during the call only.
QList<ReminderRequest> plan(const QList<OVTask>& tasks, const ZoneName& zoneName,
                            const QDateTime& now = QDateTime::currentDateTimeUtc(), qint64 horizonDays = 30,
                            const Calendar& calendar = Calendar::current());

// "ov.task." + task id + "." + whole seconds since 1970 of `fire` (toward zero).
QString identifier(qint64 taskID, const QDateTime& fire);

} // namespace ReminderPlanner
