#include "services/OVNotify.h"

#include "records/Calendar.h"
#include "records/OVPrefs.h"
#include "services/NotificationBus.h"
#include "services/NotificationCentre.h"
#include "services/ReminderPlanner.h"
#include "store/OVStore.h"

#include <QUuid>

namespace OVNotify {

namespace {

// The minute a reminder's trigger names: the start of the minute the fire time falls
// in on the calendar's clock, in the same pass of a repeated hour. Rebuilding it from
// the wall time would land in the first pass, an hour early for a fire time in the
// second.
QDateTime triggerInstant(const QDateTime& fire, const Calendar& calendar)
{
    const QDateTime local = calendar.local(fire);
    if (!local.isValid())
        return {};
    const QTime t = local.time();
    return fire.addMSecs(-qint64(t.second() * 1000 + t.msec()));
}

} // namespace

void requestPermission()
{
    if (!enabled)
        return;
    NotificationBus::shared().checkService([](bool answered) { authorized = answered; });
}

void refreshStatus(std::function<void(std::optional<bool>)> callback)
{
    if (!callback)
        return;
    if (!enabled) {
        callback(std::nullopt);
        return;
    }
    NotificationBus::shared().checkService(
        [callback = std::move(callback)](bool answered) { callback(std::optional<bool>(answered)); });
}

void install(const QList<ReminderRequest>& plan, const Calendar& calendar)
{
    lastPlan = plan;
    if (!enabled)
        return;

    NotificationCentre& centre = NotificationCentre::shared();
    QStringList stale;
    for (const QString& id : centre.pendingIdentifiers())
        if (id.startsWith(taskPrefix))
            stale.append(id);
    centre.removePending(stale);

    for (const ReminderRequest& r : plan) {
        const QString body = r.body.isEmpty() ? QStringLiteral("Due now") : r.body;
        const QDateTime trigger = triggerInstant(r.fire, calendar);
        // A fire time the calendar cannot place keeps its own instant rather than
        // turning into an immediate notification.
        centre.add(r.id, r.title, body, trigger.isValid() ? trigger : r.fire);
    }
}

void reschedule(const OVStore& store, const QDateTime& now)
{
    const Calendar calendar = Calendar::current();
    QList<ReminderRequest> plan;
    if (OVPrefs::remindersOn())
        plan = ReminderPlanner::plan(
            store.tasks(), [&store](std::optional<qint64> zone) { return store.zoneName(zone); }, now, 30,
            calendar);
    install(plan, calendar);
}

void climateAlerts(const QList<ClimateAlert>& alerts, const std::function<QString(qint64)>& zoneName)
{
    if (!OVPrefs::alertsOn() || alerts.isEmpty())
        return;
    QStringList lines;
    for (qsizetype i = 0; i < alerts.size() && i < alertLinesShown; ++i)
        lines.append((zoneName ? zoneName(alerts[i].zoneID) : QString()) + QStringLiteral(": ") + alerts[i].text());
    sentAlerts.append(lines);
    if (!enabled)
        return;
    const QString title = alerts.size() == 1 ? QStringLiteral("Climate alert")
                                             : QString::number(alerts.size()) + QStringLiteral(" climate alerts");
    const QString id = alertPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    NotificationCentre::shared().add(id, title, lines.join(u'\n'), std::nullopt);
}

} // namespace OVNotify
