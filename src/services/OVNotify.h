#pragma once
// The one place that hands notifications to the desktop: task reminders (planned by
// ReminderPlanner, kept pending in NotificationCentre until due) and climate-alert
// batches (delivered at once).
//
// Invariants: while `enabled` is false nothing reaches the notification centre or
// the bus, yet `lastPlan` and `sentAlerts` are still kept, so the self-check and
// the snapshot mode can read what would have been sent. `lastPlan` holds the plan
// of the latest reschedule as soon as it returns. Rescheduling removes every
// pending "ov.task." request before adding the new plan; other requests stay.
// All of it runs on the main thread; nothing blocks and nothing throws, also
// without a session bus.

#include "records/Calendar.h"
#include "services/ClimateAlert.h"
#include "services/ReminderRequest.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class OVStore;

namespace OVNotify {

// Master switch; the self-check and the snapshot mode set it to false.
inline bool enabled = true;
// The answer of the latest permission request; nothing until one came.
inline std::optional<bool> authorized;
// The reminders of the latest reschedule (empty when reminders are off).
inline QList<ReminderRequest> lastPlan;
// Every alert line built since the process started, in order.
inline QStringList sentAlerts;

inline const QString taskPrefix = QStringLiteral("ov.task.");
inline const QString alertPrefix = QStringLiteral("ov.alert.");
// The most alert lines one batch shows.
inline constexpr int alertLinesShown = 4;

// Asks whether the desktop's notification service answers; the answer lands in
// `authorized` later, on the main thread.
void requestPermission();

// Calls `callback` once with the permission state: at once with nothing while
// disabled, else later on the main thread with true (the service answers) or
// false (no bus or no service). `authorized` is not changed.
void refreshStatus(std::function<void(std::optional<bool>)> callback);

// Makes `plan` the latest plan and, when enabled, the pending task reminders. Each
// reminder fires at the start of the minute its fire time falls in on `calendar`'s
// clock (in a repeated hour, in the pass of the fire time), never before that minute.
void install(const QList<ReminderRequest>& plan, const Calendar& calendar = Calendar::current());

// Replans the task reminders of `store` (30 days ahead, the current calendar) and
// installs the plan; the plan is empty, and no task is read, when reminders are
// switched off.
void reschedule(const OVStore& store, const QDateTime& now = QDateTime::currentDateTimeUtc());

// One notification for a batch of climate alerts, when climate alerts are on and the
// batch is not empty: the first four alerts as "<zone>: <alert text>" lines (also
// kept in `sentAlerts`), titled "Climate alert" or "<n> climate alerts" after the
// whole batch.
void climateAlerts(const QList<ClimateAlert>& alerts, const std::function<QString(qint64)>& zoneName);

} // namespace OVNotify
