#include "screens/climate/TimeAxisMarks.h"

#include <QLocale>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <span>

namespace {

using Step = TimeAxisMarks::Step;
using Unit = TimeAxisMarks::Unit;

// 1970-01-04, a Sunday: two-week steps count their weeks from here, so the same
// Sundays are marked whatever the span.
constexpr qint64 countedSunday = 2440591;
constexpr qint64 unixEpochJulianDay = 2440588; // 1970-01-01

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

bool underADay(Step step) { return step.unit == Unit::second || step.unit == Unit::minute || step.unit == Unit::hour; }

// Every step under a day divides a day, so its boundaries restart at each midnight.
qint64 stepMSecs(Step step)
{
    switch (step.unit) {
    case Unit::second:
        return 1000LL * step.count;
    case Unit::minute:
        return 60000LL * step.count;
    default:
        return 3600000LL * step.count;
    }
}

// The usual length of a step, only to pass over steps far too fine for a span.
qint64 nominalSeconds(Step step)
{
    switch (step.unit) {
    case Unit::second:
        return step.count;
    case Unit::minute:
        return 60LL * step.count;
    case Unit::hour:
        return 3600LL * step.count;
    case Unit::day:
        return 86400LL * step.count;
    case Unit::week:
        return 7 * 86400LL * step.count;
    case Unit::month:
        return 2629746LL * step.count; // a twelfth of a Gregorian year
    case Unit::year:
        return 31556952LL * step.count;
    }
    return 86400;
}

// The first day of a step of a day or longer at or before `date`.
QDate boundaryAtOrBefore(QDate date, Step step)
{
    switch (step.unit) {
    case Unit::day: {
        const qint64 jd = date.toJulianDay();
        return QDate::fromJulianDay(floorDiv(jd, step.count) * step.count);
    }
    case Unit::week: {
        const qint64 sunday = date.toJulianDay() - (Calendar::weekday(date) - 1);
        const qint64 weeks = floorDiv(sunday - countedSunday, 7);
        return QDate::fromJulianDay(countedSunday + 7 * floorDiv(weeks, step.count) * step.count);
    }
    case Unit::month: {
        const int month = date.month() - 1;
        return QDate(date.year(), month - month % step.count + 1, 1);
    }
    case Unit::year: {
        // QDate has no year 0; a span that old is counted from year 1.
        const qint64 year = std::max<qint64>(1, floorDiv(date.year(), step.count) * step.count);
        return QDate(int(year), 1, 1);
    }
    default:
        return date;
    }
}

QDate next(QDate date, Step step)
{
    switch (step.unit) {
    case Unit::week:
        return date.addDays(7LL * step.count);
    case Unit::month:
        return date.addMonths(step.count);
    case Unit::year:
        return date.addYears(step.count);
    default:
        return date.addDays(step.count);
    }
}

// The marks of a step of a day or longer in [from, to]; stops once there are more
// than `limit`.
QList<QDateTime> dayInstants(const QDateTime& from, const QDateTime& to, Step step, const Calendar& calendar, int limit)
{
    QList<QDateTime> out;
    QDate day = boundaryAtOrBefore(calendar.date(from), step);
    // Only the first boundary comes before `from`, so this bound is never reached by
    // a sound zone; it keeps a broken one from looping.
    for (int tries = 0; tries < 4 * limit + 256 && day.isValid(); ++tries, day = next(day, step)) {
        // A skipped midnight still starts its day: the day's first instant.
        const QDateTime at = calendar.startOfDay(day);
        if (!at.isValid() || at > to)
            break;
        if (at < from || (!out.isEmpty() && at <= out.last()))
            continue;
        out.append(at);
        if (out.size() > limit)
            break;
    }
    return out;
}

// Milliseconds the wall clock shows at `local`, counted from 1970-01-01 00:00 on it.
qint64 wallMSecs(const QDateTime& local)
{
    return (local.date().toJulianDay() - unixEpochJulianDay) * 86400000LL + local.time().msecsSinceStartOfDay();
}

// The marks of a step under a day in [from, to]; stops once there are more than
// `limit`. The walk runs through the span's instants rather than its wall times, so
// that the second run of a repeated hour is reached as well as the first.
QList<QDateTime> clockInstants(const QDateTime& from, const QDateTime& to, Step step, const Calendar& calendar,
                               int limit)
{
    const qint64 stepMs = stepMSecs(step);
    auto instant = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()); };
    auto offsetAt = [&](qint64 ms) { return wallMSecs(calendar.local(instant(ms))) - ms; };
    QList<QDateTime> out;
    QSet<qint64> marked; // wall times, each marked at its first instant in the span only
    const qint64 end = to.toMSecsSinceEpoch();
    qint64 t = from.toMSecsSinceEpoch();
    // Each turn marks, passes over a wall time already marked or moves to a clock
    // change, and a sound zone changes its clock a few times a year: the bound only
    // keeps a broken zone from looping.
    for (int tries = 0; tries < 4 * limit + 256 && t <= end; ++tries) {
        const qint64 offset = offsetAt(t);
        const qint64 wall = t + offset;
        const qint64 boundary = -floorDiv(-wall, stepMs) * stepMs; // at or after `wall`
        const qint64 at = t + (boundary - wall);
        if (offsetAt(at) != offset) {
            // The clock changes before it reads `boundary`: go on from the change (the
            // loop ends if that lies past the span). A skipped wall time is thus no
            // mark, and after the clock goes back its boundaries come round again.
            qint64 before = t;
            qint64 after = at;
            while (after - before > 1) {
                const qint64 mid = before + (after - before) / 2;
                (offsetAt(mid) == offset ? before : after) = mid;
            }
            t = after;
            continue;
        }
        if (at > end)
            break;
        if (!marked.contains(boundary)) {
            marked.insert(boundary);
            out.append(instant(at));
            if (out.size() > limit)
                break;
        }
        t = at + 1;
    }
    return out;
}

QList<QDateTime> instants(const QDateTime& from, const QDateTime& to, Step step, const Calendar& calendar, int limit)
{
    return underADay(step) ? clockInstants(from, to, step, calendar, limit)
                           : dayInstants(from, to, step, calendar, limit);
}

// The finest of `steps` whose marks number at most maxMarks. Only when `takeLast`
// does the last step count as fitting whatever its number (its first maxMarks kept);
// otherwise no step fitting gives no marks.
TimeAxisMarks::Marks finest(const QDateTime& from, const QDateTime& to, const Calendar& calendar,
                            std::span<const Step> steps, bool takeLast)
{
    const qint64 span = from.secsTo(to);
    constexpr int maxMarks = TimeAxisMarks::maxMarks;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step step = steps[i];
        const bool last = takeLast && i + 1 == steps.size();
        // Far more than maxMarks marks even with a clock change or two inside.
        if (!last && span > 20 * nominalSeconds(step) + 2 * 3600)
            continue;
        QList<QDateTime> at = instants(from, to, step, calendar, maxMarks);
        if (at.size() > maxMarks && !last)
            continue;
        at.resize(std::min<qsizetype>(at.size(), maxMarks));
        TimeAxisMarks::Marks out{step, {}};
        out.marks.reserve(at.size());
        for (const QDateTime& instant : at)
            out.marks.append(TimeAxisMarks::Mark{instant, TimeAxisMarks::label(instant, step, calendar)});
        return out;
    }
    return {};
}

} // namespace

const QList<TimeAxisMarks::Step>& TimeAxisMarks::ladder()
{
    // Each step at most about 2.5 times the one before, so the finest step with few
    // enough marks still has three or more.
    static const QList<Step> steps = {
        {Unit::second, 1},  {Unit::second, 2},  {Unit::second, 5},
        {Unit::second, 10}, {Unit::second, 15}, {Unit::second, 30},
        {Unit::minute, 1}, {Unit::minute, 2}, {Unit::minute, 5}, {Unit::minute, 10}, {Unit::minute, 15},
        {Unit::minute, 30}, {Unit::hour, 1},  {Unit::hour, 2},    {Unit::hour, 3},    {Unit::hour, 6},
        {Unit::hour, 12},   {Unit::day, 1},   {Unit::day, 2},     {Unit::day, 3},     {Unit::week, 1},
        {Unit::week, 2},    {Unit::month, 1}, {Unit::month, 2},   {Unit::month, 3},   {Unit::month, 6},
        {Unit::year, 1},    {Unit::year, 2},  {Unit::year, 5},    {Unit::year, 10},   {Unit::year, 20},
        {Unit::year, 50},   {Unit::year, 100}, {Unit::year, 200}, {Unit::year, 500},  {Unit::year, 1000},
    };
    return steps;
}

QString TimeAxisMarks::label(const QDateTime& instant, Step step, const Calendar& calendar)
{
    QString format;
    switch (step.unit) {
    case Unit::second:
        format = QStringLiteral("MMM d HH:mm:ss");
        break;
    case Unit::minute:
    case Unit::hour:
        // The day too: a chart of two days has two marks at each hour of the day.
        format = QStringLiteral("MMM d HH:mm");
        break;
    case Unit::day:
    case Unit::week:
        format = QStringLiteral("MMM d");
        break;
    case Unit::month:
        format = QStringLiteral("MMM yyyy");
        break;
    case Unit::year:
        format = QStringLiteral("yyyy");
        break;
    }
    return QLocale().toString(calendar.local(instant), format);
}

TimeAxisMarks::Marks TimeAxisMarks::between(const QDateTime& from, const QDateTime& to, const Calendar& calendar)
{
    if (!from.isValid() || !to.isValid() || to < from)
        return {};
    const std::span<const Step> steps(ladder().constData(), size_t(ladder().size()));
    const auto minutes = std::find(steps.begin(), steps.end(), Step{Unit::minute, 1});
    const std::span<const Step> underAMinute(steps.begin(), minutes);
    const std::span<const Step> rest(minutes, steps.end());

    Marks out = finest(from, to, calendar, rest, true);
    if (out.marks.size() >= 2)
        return out;
    // A minute or two: whole minutes cannot name the span twice.
    out = finest(from, to, calendar, underAMinute, false);
    if (out.marks.size() >= 2)
        return out;

    // Too short for two whole seconds: the span's own ends, to the millisecond when
    // the second does not tell them apart.
    out = Marks{Step{Unit::second, 0}, {}};
    const Step seconds{Unit::second, 1};
    out.marks.append(Mark{from, label(from, seconds, calendar)});
    if (to == from)
        return out;
    out.marks.append(Mark{to, label(to, seconds, calendar)});
    if (out.marks[0].label == out.marks[1].label)
        for (Mark& mark : out.marks)
            mark.label = QLocale().toString(calendar.local(mark.at), QStringLiteral("MMM d HH:mm:ss.zzz"));
    return out;
}
