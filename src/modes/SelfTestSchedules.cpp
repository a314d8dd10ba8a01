#include "modes/SelfTestSchedules.h"

#include "records/Calendar.h"
#include "records/OVDay.h"
#include "records/OVTask.h"
#include "records/Recurrence.h"
#include "services/ReminderPlanner.h"
#include "services/Schedule.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <functional>

namespace OVSelfTest {

namespace {

struct Denver {
    QTimeZone zone{QByteArrayLiteral("America/Denver")};
    Calendar calendar{zone};

    bool known() const { return zone.isValid(); }

    QDateTime at(int y, int m, int d, int hour, int minute = 0) const
    {
        return calendar.instant(QDate(y, m, d), QTime(hour, minute));
    }

    QStringList days(const QList<QDateTime>& dates) const
    {
        QStringList out;
        for (const QDateTime& t : dates)
            out.append(OVDay(t, calendar).iso());
        return out;
    }

    QList<QDateTime> walk(const Recurrence& rule, const OVDay& start, int hour, int minute, qint64 limit) const
    {
        return Schedule::occurrences(rule, start, hour, minute, calendar, Schedule::distantPast(), std::nullopt,
                                     limit);
    }
};

OVTask reminderTask(qint64 id, TaskKind kind, const QString& title, const Recurrence& rule, const OVDay& start,
                    int hour)
{
    return OVTask{.id = id, .kind = kind, .title = title, .rule = rule, .start = start, .hour = hour, .minute = 0,
                  .remind = true, .active = true};
}

int countPrefixed(const QList<ReminderRequest>& plan, const QString& prefix)
{
    return int(std::count_if(plan.begin(), plan.end(),
                             [&prefix](const ReminderRequest& r) { return r.id.startsWith(prefix); }));
}

} // namespace

void recurrenceTests(OVTestRun& run)
{
    run.begin(QStringLiteral("Schedules: repeats, daylight saving, month ends, leap years, reminders"));

    const Denver tz;
    // Without the zone every expected day and time is meaningless: each check fails.
    auto check = [&run, &tz](const QString& label, const std::function<bool()>& holds) {
        run.check(tz.known() && holds(), label);
    };

    // Occurrence walk.
    const QList<QDateTime> march = tz.walk(Recurrence::everyDays(1), OVDay(2026, 3, 6), 8, 0, 5);
    check(QStringLiteral("daily 8:00 stays 8:00 across the March 8 2026 clock change (Denver)"), [&] {
        return std::all_of(march.begin(), march.end(), [&](const QDateTime& t) {
            const QTime local = tz.calendar.time(t);
            return local.hour() == 8 && local.minute() == 0;
        });
    });
    check(QStringLiteral("the spring-forward day is 23 hours long"),
          [&] { return march.size() == 5 && march[1].secsTo(march[2]) == 82800; });
    check(QStringLiteral("the fall-back day is 25 hours and 8:00 stays 8:00 (Nov 1 2026)"), [&] {
        const auto d = tz.walk(Recurrence::everyDays(1), OVDay(2026, 10, 31), 8, 0, 3);
        return d.size() == 3 && d[0].secsTo(d[1]) == 90000 && tz.calendar.time(d[1]).hour() == 8;
    });
    check(QStringLiteral("a 2:30 AM job still happens on the day the clock skips 2:00–3:00"), [&] {
        const auto d = tz.walk(Recurrence::everyDays(1), OVDay(2026, 3, 7), 2, 30, 3);
        return d.size() == 3 && OVDay(d[1], tz.calendar) == OVDay(2026, 3, 8);
    });
    check(QStringLiteral("monthly on day 31 → last day of shorter months (Feb 28, Apr 30, Jun 30)"), [&] {
        return tz.days(tz.walk(Recurrence::monthlyDay(1, 31), OVDay(2026, 1, 31), 8, 0, 6))
               == QStringList{"2026-01-31", "2026-02-28", "2026-03-31", "2026-04-30", "2026-05-31", "2026-06-30"};
    });
    check(QStringLiteral("day 30 in leap-year February → Feb 29 2028"), [&] {
        return tz.days(tz.walk(Recurrence::monthlyDay(1, 30), OVDay(2028, 1, 30), 8, 0, 3))
               == QStringList{"2028-01-30", "2028-02-29", "2028-03-30"};
    });
    check(QStringLiteral("last day of the month across a year end and a leap February"), [&] {
        return tz.days(tz.walk(Recurrence::monthlyLast(1), OVDay(2027, 11, 15), 8, 0, 4))
               == QStringList{"2027-11-30", "2027-12-31", "2028-01-31", "2028-02-29"};
    });
    check(QStringLiteral("every 3 months crosses the year correctly"), [&] {
        return tz.days(tz.walk(Recurrence::monthlyDay(3, 15), OVDay(2026, 11, 15), 8, 0, 3))
               == QStringList{"2026-11-15", "2027-02-15", "2027-05-15"};
    });
    check(QStringLiteral("yearly on Feb 29 → Feb 28 in other years"), [&] {
        return tz.days(tz.walk(Recurrence::yearly(2, 29), OVDay(2028, 2, 29), 8, 0, 5))
               == QStringList{"2028-02-29", "2029-02-28", "2030-02-28", "2031-02-28", "2032-02-29"};
    });
    check(QStringLiteral("every 2 weeks on Mon + Thu, starting on a Wednesday"), [&] {
        return tz.days(tz.walk(Recurrence::weekly(2, {2, 5}), OVDay(2026, 10, 21), 8, 0, 5))
               == QStringList{"2026-10-22", "2026-11-02", "2026-11-05", "2026-11-16", "2026-11-19"};
    });
    check(QStringLiteral("every 3 days across the end of February"), [&] {
        return tz.days(tz.walk(Recurrence::everyDays(3), OVDay(2026, 2, 26), 8, 0, 3))
               == QStringList{"2026-02-26", "2026-03-01", "2026-03-04"};
    });
    check(QStringLiteral("a one-time job happens once"),
          [&] { return tz.walk(Recurrence::once(), OVDay(2026, 5, 1), 8, 0, 5).size() == 1; });
    check(QStringLiteral("a job started in 2000 finds its next date quickly and correctly"), [&] {
        const auto d = Schedule::occurrences(Recurrence::everyDays(1), OVDay(2000, 1, 1), 8, 0, tz.calendar,
                                             tz.at(2026, 10, 24, 9), std::nullopt, 1);
        return !d.isEmpty() && d.first() == tz.at(2026, 10, 25, 8);
    });

    // Due dates and stored rules.
    OVTask w = reminderTask(0, TaskKind::water, QStringLiteral("W"), Recurrence::everyDays(1), OVDay(2026, 3, 1), 8);
    check(QStringLiteral("next due is the first repeat after it was last done"), [&] {
        w.lastDone = tz.at(2026, 3, 8, 9);
        const auto due = Schedule::nextDue(w, tz.calendar);
        w.lastDone.reset();
        return due && *due == tz.at(2026, 3, 9, 8);
    });
    check(QStringLiteral("never done: next due is the first date"), [&] {
        const auto due = Schedule::nextDue(w, tz.calendar);
        return due && *due == tz.at(2026, 3, 1, 8);
    });
    check(QStringLiteral("a missed job shows as overdue"),
          [&] { return Schedule::isOverdue(w, tz.at(2026, 3, 2, 8), tz.calendar); });
    check(QStringLiteral("a one-time job that is done is finished"), [&] {
        OVTask once = w;
        once.rule = Recurrence::once();
        once.lastDone = tz.at(2026, 3, 1, 9);
        return !Schedule::nextDue(once, tz.calendar);
    });
    check(QStringLiteral("a paused job has no due date"), [&] {
        OVTask paused = w;
        paused.active = false;
        return !Schedule::nextDue(paused, tz.calendar);
    });
    check(QStringLiteral("every repeat rule saves and loads exactly"), [&] {
        const QList<Recurrence> rules{Recurrence::once(),          Recurrence::everyDays(3),
                                      Recurrence::weekly(2, {2, 5}), Recurrence::monthlyDay(1, 31),
                                      Recurrence::monthlyLast(2),  Recurrence::yearly(2, 29)};
        return std::all_of(rules.begin(), rules.end(), [](const Recurrence& r) {
            const auto back = Recurrence::fromEncoded(r.encoded());
            return back && *back == r;
        });
    });
    check(QStringLiteral("broken repeat rules are refused"), [&] {
        const QStringList texts{"", "days:0", "weeks:1:", "weeks:1:9", "monthday:1:32", "yearly:13:1", "nonsense"};
        return std::all_of(texts.begin(), texts.end(),
                           [](const QString& t) { return !Recurrence::fromEncoded(t).has_value(); });
    });

    // Reminders.
    const QDateTime now = tz.at(2026, 10, 24, 12);
    const OVTask daily = reminderTask(1, TaskKind::water, QStringLiteral("Daily"), Recurrence::everyDays(1),
                                      OVDay(2026, 10, 1), 8);
    const OVTask monthly = reminderTask(2, TaskKind::maintenance, QStringLiteral("Monthly"),
                                        Recurrence::monthlyDay(1, 31), OVDay(2026, 10, 31), 9);
    OVTask quiet = daily;
    quiet.id = 3;
    quiet.remind = false;
    OVTask paused = daily;
    paused.id = 4;
    paused.active = false;
    const QList<ReminderRequest> plan =
        tz.known() ? ReminderPlanner::plan({daily, monthly, quiet, paused},
                                           [](std::optional<qint64>) { return QStringLiteral("Zone"); }, now,
                                           30, tz.calendar)
                   : QList<ReminderRequest>();

    check(QStringLiteral("reminders are never scheduled in the past (an overdue daily job starts tomorrow)"), [&] {
        return std::all_of(plan.begin(), plan.end(), [&](const ReminderRequest& r) { return r.fire > now; });
    });
    check(QStringLiteral("up to 3 reminders per job within 30 days (monthly: only Oct 31; Nov 30 is past 30 days)"),
          [&] { return countPrefixed(plan, "ov.task.1.") == 3 && countPrefixed(plan, "ov.task.2.") == 1; });
    check(QStringLiteral("no reminders for jobs with reminders off or paused"),
          [&] { return countPrefixed(plan, "ov.task.3.") == 0 && countPrefixed(plan, "ov.task.4.") == 0; });
    check(QStringLiteral("reminders in time order with unique ids"), [&] {
        QList<ReminderRequest> sorted = plan;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const ReminderRequest& a, const ReminderRequest& b) { return a.fire < b.fire; });
        QSet<QString> ids;
        for (const ReminderRequest& r : plan)
            ids.insert(r.id);
        return sorted == plan && ids.size() == plan.size();
    });
    check(QStringLiteral("monthly reminder on Oct 31 at its time"), [&] {
        const auto it = std::find_if(plan.begin(), plan.end(),
                                     [](const ReminderRequest& r) { return r.id.startsWith("ov.task.2."); });
        return it != plan.end() && OVDay(it->fire, tz.calendar) == OVDay(2026, 10, 31);
    });
    check(QStringLiteral("never more than 60 pending reminders (the desktop keeps at most 64)"), [&] {
        QList<OVTask> many;
        for (qint64 id = 1; id <= 40; ++id) {
            OVTask copy = daily;
            copy.id = id;
            many.append(copy);
        }
        const auto big = ReminderPlanner::plan(many, [](std::optional<qint64>) { return QString(); }, now, 30,
                                               tz.calendar);
        return big.size() == ReminderPlanner::maxPending;
    });
}

} // namespace OVSelfTest
