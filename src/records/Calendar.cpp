#include "records/Calendar.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr qint64 secondsPerDay = 86400;
constexpr qint64 unixEpochJulianDay = 2440588;

// Offsets never exceed a day; the window in which an instant for a given wall
// time can lie is therefore within a day either side of the wall time read as UTC.
int offsetAt(const QTimeZone& zone, qint64 secs)
{
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(secs, Qt::UTC));
}

bool wallSeconds(QDate date, QTime time, qint64& out)
{
    if (!date.isValid() || !time.isValid())
        return false;
    const qint64 days = date.toJulianDay() - unixEpochJulianDay;
    // QDate's range is far larger than what QDateTime can hold in milliseconds.
    constexpr qint64 limitDays = std::numeric_limits<qint64>::max() / 1000 / secondsPerDay - 2;
    if (days > limitDays || days < -limitDays)
        return false;
    out = days * secondsPerDay + time.msecsSinceStartOfDay() / 1000;
    return true;
}

} // namespace

Calendar::Calendar() : m_zone(QTimeZone::systemTimeZone()) {}

Calendar::Calendar(const QTimeZone& zone) : m_zone(zone.isValid() ? zone : QTimeZone::utc()) {}

Calendar Calendar::current() { return Calendar(); }

Calendar Calendar::utc() { return Calendar(QTimeZone::utc()); }

QDateTime Calendar::instant(QDate date, QTime time) const
{
    qint64 wall = 0;
    if (!wallSeconds(date, time, wall))
        return {};
    const int msecs = time.msec();

    // Every offset that could apply near this wall time: those in force a day
    // before, at, and a day after, and the ones in force at each candidate instant.
    std::vector<int> offsets;
    auto note = [&offsets](int o) {
        if (std::find(offsets.begin(), offsets.end(), o) == offsets.end())
            offsets.push_back(o);
    };
    for (qint64 probe : {wall - secondsPerDay, wall, wall + secondsPerDay})
        note(offsetAt(m_zone, probe));
    for (size_t i = 0, n = offsets.size(); i < n; ++i)
        note(offsetAt(m_zone, wall - offsets[i]));

    // Consistent instants: the offset in force at wall - o is o itself. Two of them
    // in a repeated hour; take the earlier.
    std::optional<qint64> best;
    for (int o : offsets) {
        const qint64 t = wall - o;
        if (offsetAt(m_zone, t) == o && (!best || t < *best))
            best = t;
    }
    if (!best) {
        // Skipped wall time: the change happened between wall - maxOffset and
        // wall - minOffset. The first instant after the gap is the change itself.
        const auto [minIt, maxIt] = std::minmax_element(offsets.begin(), offsets.end());
        qint64 lo = wall - *maxIt; // still before the change
        qint64 hi = wall - *minIt; // already after it
        const int before = offsetAt(m_zone, lo);
        while (hi - lo > 1) {
            const qint64 mid = lo + (hi - lo) / 2;
            if (offsetAt(m_zone, mid) == before)
                lo = mid;
            else
                hi = mid;
        }
        return QDateTime::fromSecsSinceEpoch(hi, Qt::UTC);
    }
    return QDateTime::fromMSecsSinceEpoch(*best * 1000 + msecs, Qt::UTC);
}

QDateTime Calendar::instant(qint64 year, int month, int day, int hour, int minute, int second) const
{
    if (year < std::numeric_limits<int>::min() || year > std::numeric_limits<int>::max() || year == 0)
        return {};
    const QDate d(int(year), month, day);
    if (!d.isValid() || d.day() != day || d.month() != month)
        return {};
    return instant(d, QTime(hour, minute, second));
}

QDateTime Calendar::local(const QDateTime& instant) const
{
    if (!instant.isValid())
        return {};
    return instant.toTimeZone(m_zone);
}

QDate Calendar::date(const QDateTime& instant) const { return local(instant).date(); }

QTime Calendar::time(const QDateTime& instant) const { return local(instant).time(); }

QDateTime Calendar::startOfDay(QDate date) const { return instant(date, QTime(0, 0)); }

QDateTime Calendar::addingDays(const QDateTime& from, qint64 days) const
{
    const QDateTime here = local(from);
    if (!here.isValid())
        return {};
    const qint64 jd = here.date().toJulianDay();
    qint64 target = 0;
    if (__builtin_add_overflow(jd, days, &target))
        return {};
    const QDate d = QDate::fromJulianDay(target);
    if (!d.isValid())
        return {};
    return instant(d, here.time());
}

std::optional<qint64> Calendar::wholeDays(const QDateTime& from, const QDateTime& to) const
{
    const QDateTime a = local(from);
    const QDateTime b = local(to);
    if (!a.isValid() || !b.isValid())
        return std::nullopt;
    qint64 n = b.date().toJulianDay() - a.date().toJulianDay();
    // A partial last day does not count: 10:00 to 09:00 the next day is 0 days.
    if (n > 0 && b.time() < a.time())
        --n;
    else if (n < 0 && b.time() > a.time())
        ++n;
    return n;
}

int Calendar::weekday(QDate date)
{
    if (!date.isValid())
        return 0;
    return date.dayOfWeek() % 7 + 1; // Qt: Monday 1 ... Sunday 7
}

int Calendar::weekday(const QDateTime& instant) const { return weekday(date(instant)); }

std::optional<int> Calendar::daysInMonth(qint64 year, int month)
{
    if (month < 1 || month > 12 || year == 0 || year < std::numeric_limits<int>::min()
        || year > std::numeric_limits<int>::max())
        return std::nullopt;
    const QDate first(int(year), month, 1);
    if (!first.isValid())
        return std::nullopt;
    return first.daysInMonth();
}
