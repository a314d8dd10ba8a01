#include "services/Schedule.h"

#include "records/OVTask.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 minutesPerDay = 24 * 60;

// A real day from 64-bit parts: no rolling over, nothing outside QDate's range.
QDate makeDate(qint64 year, int month, int day)
{
    if (year < std::numeric_limits<int>::min() || year > std::numeric_limits<int>::max() || year == 0)
        return {};
    const QDate d(int(year), month, day);
    if (!d.isValid() || d.month() != month || d.day() != day)
        return {};
    return d;
}

// `date` moved by `days`; invalid when that leaves the 64-bit or QDate range.
QDate shifted(QDate date, qint64 days)
{
    qint64 jd = 0;
    if (!date.isValid() || __builtin_add_overflow(date.toJulianDay(), days, &jd))
        return {};
    return QDate::fromJulianDay(jd);
}

// The occurrences of one walk share the time of day. Validated tasks keep hour and
// minute within a day; anything else rolls over into the following days the way a
// wall clock would, rather than making the task silently never due. Numbers too
// large for that leave the time invalid, and the walk finds nothing.
struct TimeOfDay {
    qint64 dayCarry = 0;
    QTime time;

    TimeOfDay(qint64 hour, qint64 minute)
    {
        qint64 total = 0;
        if (__builtin_mul_overflow(hour, qint64(60), &total) || __builtin_add_overflow(total, minute, &total))
            return;
        dayCarry = total / minutesPerDay;
        qint64 rest = total % minutesPerDay;
        if (rest < 0) {
            rest += minutesPerDay;
            --dayCarry;
        }
        time = QTime(int(rest / 60), int(rest % 60));
    }
};

class Walk {
public:
    Walk(const Calendar& calendar, qint64 hour, qint64 minute) : m_calendar(calendar), m_tod(hour, minute) {}

    // The instant at the walk's time of day on `date`; invalid when not representable.
    QDateTime at(QDate date) const
    {
        const QDate d = m_tod.dayCarry == 0 ? date : shifted(date, m_tod.dayCarry);
        if (!d.isValid() || !m_tod.time.isValid())
            return {};
        return m_calendar.instant(d, m_tod.time);
    }

private:
    const Calendar& m_calendar;
    TimeOfDay m_tod;
};

// Weekdays as the walk uses them: repeats removed, ascending, only 1...7.
QList<int> cleanWeekdays(const QList<int>& weekdays)
{
    QList<int> out;
    for (int w : weekdays)
        if (w >= 1 && w <= 7)
            out.append(w);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// How many whole periods lie between the first occurrence and `from`, so the walk
// can begin one period before them. Never overestimates.
qint64 periodsToSkip(const Recurrence& rule, qint64 every, qint64 days)
{
    qint64 k = 0;
    switch (rule.kind()) {
    case Recurrence::Kind::everyDays:
        k = days / every;
        break;
    case Recurrence::Kind::weekly: {
        qint64 span = 0;
        k = __builtin_mul_overflow(qint64(7), every, &span) ? 0 : days / span;
        break;
    }
    case Recurrence::Kind::monthlyDay:
    case Recurrence::Kind::monthlyLast:
        k = (days / 31) / every;
        break;
    case Recurrence::Kind::yearly:
        k = days / 366;
        break;
    case Recurrence::Kind::once:
        k = 0;
        break;
    }
    return k >= 1 ? k - 1 : 0;
}

} // namespace

namespace Schedule {

QDateTime distantPast()
{
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc());
}

int daysInMonth(qint64 year, int month, const Calendar&)
{
    return Calendar::daysInMonth(year, month).value_or(30);
}

QList<QDateTime> occurrences(const Recurrence& rule, const OVDay& start, qint64 hour, qint64 minute,
                             const Calendar& calendar, const QDateTime& fromIn,
                             const std::optional<QDateTime>& until, qint64 limit)
{
    QList<QDateTime> out;
    if (limit <= 0)
        return out;

    // A start day that is no real day anchors nothing.
    const QDate startDate = makeDate(start.year, start.month, start.day);
    if (!startDate.isValid())
        return out;
    const Walk walk(calendar, hour, minute);
    const QDateTime first = walk.at(startDate);
    if (!first.isValid())
        return out;

    const QDateTime from = fromIn.isValid() ? fromIn : distantPast();
    const qint64 every = std::max<qint64>(1, rule.every());

    qint64 skip = 0;
    if (rule.kind() != Recurrence::Kind::once && from > first) {
        const qint64 days = std::max<qint64>(0, calendar.wholeDays(first, from).value_or(0));
        skip = periodsToSkip(rule, every, days);
    }

    const bool weekly = rule.kind() == Recurrence::Kind::weekly;
    const int firstWeekday = weekly ? Calendar::weekday(calendar.date(first)) : 0;
    const QList<int> weekdays = weekly ? cleanWeekdays(rule.weekdays()) : QList<int>();

    // Returns false when the walk is over (until passed or limit reached).
    auto take = [&](const QDateTime& t, bool dropBeforeFirst) {
        if (!t.isValid())
            return true;
        if (dropBeforeFirst && t < first)
            return true;
        if (t < from)
            return true;
        if (until && t > *until)
            return false;
        out.append(t);
        return out.size() < limit;
    };

    // The month a monthly period falls in; false when the arithmetic overflows.
    auto monthOf = [&](qint64 i, qint64& year, int& month) {
        qint64 m = 0;
        if (__builtin_mul_overflow(every, i, &m) || __builtin_add_overflow(m, qint64(start.month - 1), &m))
            return false;
        if (__builtin_add_overflow(start.year, m / 12, &year))
            return false;
        month = int(m - 12 * (m / 12) + 1);
        return true;
    };

    for (qint64 examined = 0, i = skip; examined < maxPeriods; ++examined, ++i) {
        switch (rule.kind()) {
        case Recurrence::Kind::everyDays: {
            qint64 offset = 0;
            if (__builtin_mul_overflow(every, i, &offset))
                return out;
            if (!take(walk.at(shifted(startDate, offset)), false))
                return out;
            break;
        }
        case Recurrence::Kind::weekly: {
            qint64 base = 0;
            if (__builtin_mul_overflow(every, i, &base) || __builtin_mul_overflow(base, qint64(7), &base))
                return out;
            // From the start day back to the Sunday that opens the block, then on to w.
            base -= firstWeekday - 1;
            for (int w : weekdays) {
                qint64 offset = 0;
                if (__builtin_add_overflow(base, qint64(w - 1), &offset))
                    return out;
                if (!take(walk.at(shifted(startDate, offset)), true))
                    return out;
            }
            break;
        }
        case Recurrence::Kind::monthlyDay:
        case Recurrence::Kind::monthlyLast: {
            qint64 year = 0;
            int month = 0;
            if (!monthOf(i, year, month))
                return out;
            const int length = daysInMonth(year, month, calendar);
            const int day = rule.kind() == Recurrence::Kind::monthlyLast ? length : std::min(rule.day(), length);
            if (!take(walk.at(makeDate(year, month, day)), true))
                return out;
            break;
        }
        case Recurrence::Kind::yearly: {
            qint64 year = 0;
            if (__builtin_add_overflow(start.year, i, &year))
                return out;
            const int day = std::min(rule.day(), daysInMonth(year, rule.month(), calendar));
            if (!take(walk.at(makeDate(year, rule.month(), day)), true))
                return out;
            break;
        }
        case Recurrence::Kind::once:
            if (i > 0)
                return out;
            take(first, false);
            break;
        }
        if (out.size() >= limit)
            break;
    }
    return out;
}

std::optional<QDateTime> nextDue(const OVTask& task, const Calendar& calendar)
{
    if (!task.active)
        return std::nullopt;
    QDateTime from = distantPast();
    if (task.lastDone && task.lastDone->isValid())
        from = task.lastDone->addMSecs(1000);
    const QList<QDateTime> found =
        occurrences(task.rule, task.start, task.hour, task.minute, calendar, from, std::nullopt, 1);
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

bool isOverdue(const OVTask& task, const QDateTime& now, const Calendar& calendar)
{
    const auto due = nextDue(task, calendar);
    return due && *due < now;
}

} // namespace Schedule
