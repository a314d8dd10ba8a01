#include "screens/climate/TimeAxisMarks.h"

#include <QLocale>

#include <algorithm>

namespace {

using Step = TimeAxisMarks::Step;
using Unit = TimeAxisMarks::Unit;

// 1970-01-04, a Sunday: two-week steps count their weeks from here, so the same
// Sundays are marked whatever the span.
constexpr qint64 countedSunday = 2440591;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

bool underADay(Step step) { return step.unit == Unit::minute || step.unit == Unit::hour; }

int stepMinutes(Step step) { return step.unit == Unit::hour ? 60 * step.count : step.count; }

// The usual length of a step, only to pass over steps far too fine for a span.
qint64 nominalSeconds(Step step)
{
    switch (step.unit) {
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

// A position on the local wall clock: a date and, under a day, minutes into it.
struct Wall {
    QDate date;
    int minute = 0;
};

// The boundary of `step` at or before the local wall time `local`.
Wall boundaryAtOrBefore(const QDateTime& local, Step step)
{
    const QDate date = local.date();
    switch (step.unit) {
    case Unit::minute:
    case Unit::hour: {
        const int minute = local.time().hour() * 60 + local.time().minute();
        return {date, minute - minute % stepMinutes(step)};
    }
    case Unit::day: {
        const qint64 jd = date.toJulianDay();
        return {QDate::fromJulianDay(floorDiv(jd, step.count) * step.count), 0};
    }
    case Unit::week: {
        const qint64 sunday = date.toJulianDay() - (Calendar::weekday(date) - 1);
        const qint64 weeks = floorDiv(sunday - countedSunday, 7);
        return {QDate::fromJulianDay(countedSunday + 7 * floorDiv(weeks, step.count) * step.count), 0};
    }
    case Unit::month: {
        const int month = date.month() - 1;
        return {QDate(date.year(), month - month % step.count + 1, 1), 0};
    }
    case Unit::year: {
        // QDate has no year 0; a span that old is counted from year 1.
        const qint64 year = std::max<qint64>(1, floorDiv(date.year(), step.count) * step.count);
        return {QDate(int(year), 1, 1), 0};
    }
    }
    return {date, 0};
}

Wall next(Wall wall, Step step)
{
    switch (step.unit) {
    case Unit::minute:
    case Unit::hour:
        // Every sub-day step divides a day, so a day's marks restart at midnight.
        wall.minute += stepMinutes(step);
        if (wall.minute >= 24 * 60) {
            wall.minute -= 24 * 60;
            wall.date = wall.date.addDays(1);
        }
        break;
    case Unit::day:
        wall.date = wall.date.addDays(step.count);
        break;
    case Unit::week:
        wall.date = wall.date.addDays(7LL * step.count);
        break;
    case Unit::month:
        wall.date = wall.date.addMonths(step.count);
        break;
    case Unit::year:
        wall.date = wall.date.addYears(step.count);
        break;
    }
    return wall;
}

// The marks of `step` in [from, to]; stops once there are more than `limit`.
QList<QDateTime> instants(const QDateTime& from, const QDateTime& to, Step step, const Calendar& calendar, int limit)
{
    QList<QDateTime> out;
    Wall wall = boundaryAtOrBefore(calendar.local(from), step);
    // Only the boundaries of a repeated hour come before `from`, so this bound is
    // never reached by a sound zone; it keeps a broken one from looping.
    for (int tries = 0; tries < 4 * limit + 256 && wall.date.isValid(); ++tries, wall = next(wall, step)) {
        const QTime time = QTime::fromMSecsSinceStartOfDay(wall.minute * 60000);
        const QDateTime at = calendar.instant(wall.date, time);
        if (!at.isValid() || at > to)
            break;
        if (at < from || (!out.isEmpty() && at <= out.last()))
            continue;
        // A skipped hour is no mark; a skipped midnight still starts its day.
        if (underADay(step) && calendar.time(at) != time)
            continue;
        out.append(at);
        if (out.size() > limit)
            break;
    }
    return out;
}

} // namespace

const QList<TimeAxisMarks::Step>& TimeAxisMarks::ladder()
{
    // Each step at most about 2.5 times the one before, so the finest step with few
    // enough marks still has three or more.
    static const QList<Step> steps = {
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
    const qint64 span = from.secsTo(to);
    const QList<Step>& steps = ladder();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const Step step = steps[i];
        const bool last = i + 1 == steps.size();
        // Far more than maxMarks marks even with a clock change or two inside.
        if (!last && span > 20 * nominalSeconds(step) + 2 * 3600)
            continue;
        QList<QDateTime> at = instants(from, to, step, calendar, maxMarks);
        if (at.size() > maxMarks && !last)
            continue;
        at.resize(std::min<qsizetype>(at.size(), maxMarks));
        Marks out{step, {}};
        out.marks.reserve(at.size());
        for (const QDateTime& instant : at)
            out.marks.append(Mark{instant, label(instant, step, calendar)});
        return out;
    }
    return {};
}
