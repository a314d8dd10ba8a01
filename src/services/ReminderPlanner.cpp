#include "services/ReminderPlanner.h"

#include "records/OVTask.h"
#include "services/Schedule.h"

#include <QStringList>
#include <algorithm>

namespace ReminderPlanner {

QString identifier(qint64 taskID, const QDateTime& fire)
{
    // msecs / 1000 truncates toward zero, also before 1970.
    const qint64 seconds = fire.toMSecsSinceEpoch() / 1000;
    return QStringLiteral("ov.task.") + QString::number(taskID) + u'.' + QString::number(seconds);
}

QList<ReminderRequest> plan(const QList<OVTask>& tasks, const ZoneName& zoneName, const QDateTime& now,
                            qint64 horizonDays, const Calendar& calendar)
{
    QDateTime horizon = calendar.addingDays(now, horizonDays);
    if (!horizon.isValid())
        horizon = now;
    const QDateTime afterNow = now.addMSecs(1000);

    QList<ReminderRequest> out;
    for (const OVTask& task : tasks) {
        if (!task.active || !task.remind)
            continue;
        const std::optional<QDateTime> firstDue = Schedule::nextDue(task, calendar);
        if (!firstDue)
            continue;
        // An overdue task's missed instants get no reminder: start after now.
        const QDateTime windowStart = afterNow >= *firstDue ? afterNow : *firstDue;
        const QList<QDateTime> dates = Schedule::occurrences(task.rule, task.start, task.hour, task.minute,
                                                             calendar, windowStart, horizon, perTask);

        const QString zone = zoneName ? zoneName(task.zoneID) : QString();
        const QString kindName = task.kind.name();
        QStringList parts{kindName};
        if (!zone.isEmpty())
            parts.append(zone);
        if (!task.amount.isEmpty())
            parts.append(task.amount);
        const QString body = parts.join(QStringLiteral(" \u00B7 "));
        const QString title = task.title.isEmpty() ? kindName : task.title;

        for (const QDateTime& fire : dates)
            out.append(ReminderRequest{identifier(task.id, fire), title, body, fire});
    }

    std::stable_sort(out.begin(), out.end(),
                     [](const ReminderRequest& a, const ReminderRequest& b) { return a.fire < b.fire; });
    if (out.size() > maxPending)
        out.resize(maxPending);
    return out;
}

} // namespace ReminderPlanner
