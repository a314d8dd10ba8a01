#include "screens/climate/TimeAxisMarks.h"

#include <QLocale>
#include <QSet>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

using Unit = TimeAxisMarks::Unit;

// English month names whatever the machine's locale.
class TimeAxisMarksTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(saved); }
    const QLocale saved;
};

Calendar zone(const char* name)
{
    const QTimeZone tz(name);
    EXPECT_TRUE(tz.isValid()) << name;
    return Calendar(tz);
}

int minuteOfDay(const QDateTime& local) { return local.time().hour() * 60 + local.time().minute(); }

// Minutes from one local wall time to another, as the wall clock reads them.
qint64 wallMinutes(const QDateTime& a, const QDateTime& b)
{
    return (b.date().toJulianDay() - a.date().toJulianDay()) * 1440 + minuteOfDay(b) - minuteOfDay(a);
}

// Every wall time strictly between two marks that lies on the step is one the clock
// skips, so no mark is missing.
bool onlySkippedBetween(const QDateTime& a, const QDateTime& b, int stepMinutes, const Calendar& cal)
{
    const QDateTime start(a.date(), a.time(), QTimeZone::utc()); // wall arithmetic, no zone rules
    for (qint64 m = stepMinutes; m < wallMinutes(a, b); m += stepMinutes) {
        const QDateTime wall = start.addSecs(m * 60);
        const QDateTime at = cal.instant(wall.date(), wall.time());
        if (cal.local(at).time() == wall.time())
            return false;
    }
    return true;
}

// The rules every set of marks keeps, whatever the span and zone.
void expectSoundMarks(const QDateTime& from, const QDateTime& to, const Calendar& cal)
{
    SCOPED_TRACE(QStringLiteral("%1 .. %2 in %3")
                     .arg(cal.local(from).toString(Qt::ISODate), cal.local(to).toString(Qt::ISODate),
                          QString::fromUtf8(cal.timeZone().id()))
                     .toStdString());
    const TimeAxisMarks::Marks got = TimeAxisMarks::between(from, to, cal);
    const QList<TimeAxisMarks::Mark>& marks = got.marks;
    const TimeAxisMarks::Step step = got.step;
    EXPECT_TRUE(TimeAxisMarks::ladder().contains(step));
    EXPECT_GE(marks.size(), 3);
    EXPECT_LE(marks.size(), 9);

    QSet<QString> labels;
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const QDateTime at = marks[i].at;
        const QDateTime local = cal.local(at);
        EXPECT_GE(at, from);
        EXPECT_LE(at, to);
        EXPECT_FALSE(marks[i].label.isEmpty());
        labels.insert(marks[i].label);
        switch (step.unit) {
        case Unit::minute:
        case Unit::hour: {
            const int stepMinutes = step.unit == Unit::hour ? 60 * step.count : step.count;
            EXPECT_EQ(local.time().second(), 0);
            EXPECT_EQ(local.time().msec(), 0);
            EXPECT_EQ(minuteOfDay(local) % stepMinutes, 0) << local.toString(Qt::ISODate).toStdString();
            if (i > 0) {
                const QDateTime before = cal.local(marks[i - 1].at);
                EXPECT_TRUE(wallMinutes(before, local) == stepMinutes
                            || onlySkippedBetween(before, local, stepMinutes, cal))
                    << before.toString(Qt::ISODate).toStdString() << " -> " << local.toString(Qt::ISODate).toStdString();
            }
            continue;
        }
        default:
            break;
        }
        // A day or longer: each mark starts a local day.
        EXPECT_EQ(at, cal.startOfDay(local.date())) << local.toString(Qt::ISODate).toStdString();
        const QDate day = local.date();
        const QDate before = i > 0 ? cal.local(marks[i - 1].at).date() : QDate();
        switch (step.unit) {
        case Unit::day:
            if (i > 0) {
                EXPECT_EQ(before.daysTo(day), step.count);
            }
            break;
        case Unit::week:
            EXPECT_EQ(Calendar::weekday(day), 1); // Sunday
            if (i > 0) {
                EXPECT_EQ(before.daysTo(day), 7 * step.count);
            }
            break;
        case Unit::month:
            EXPECT_EQ(day.day(), 1);
            EXPECT_EQ((day.month() - 1) % step.count, 0);
            if (i > 0) {
                EXPECT_EQ(before.addMonths(step.count), day);
            }
            break;
        case Unit::year:
            EXPECT_EQ(day.month(), 1);
            EXPECT_EQ(day.day(), 1);
            EXPECT_EQ(day.year() % step.count, 0);
            if (i > 0) {
                EXPECT_EQ(day.year() - before.year(), step.count);
            }
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(labels.size(), marks.size());
}

QStringList labelsOf(const TimeAxisMarks::Marks& marks)
{
    QStringList out;
    for (const TimeAxisMarks::Mark& mark : marks.marks)
        out.append(mark.label);
    return out;
}

} // namespace

TEST_F(TimeAxisMarksTest, EverySpanTheChartShowsIsMarkedOnEqualCalendarSteps)
{
    // The chart's periods and the axis of a single reading, ending at odd minutes
    // through a whole year, in zones with summer time, a half-hour offset and none.
    const QList<qint64> spans = {2 * 3600,  86400,       2 * 86400,  7 * 86400,
                                 30 * 86400, 90 * 86400, 365 * 86400};
    for (const char* name : {"America/New_York", "Europe/Berlin", "Asia/Kolkata", "Australia/Adelaide", "UTC"}) {
        const Calendar cal = zone(name);
        for (int k = 0; k < 53; ++k) {
            const QDateTime to = cal.instant(QDate(2026, 1, 3).addDays(7 * k), QTime(16, 5)).addSecs(k * 4217);
            for (qint64 span : spans)
                expectSoundMarks(to.addSecs(-span), to, cal);
            expectSoundMarks(to.addYears(-15), to, cal);
        }
    }
}

TEST_F(TimeAxisMarksTest, SevenDaysNameEveryDayAtItsMidnight)
{
    const Calendar cal = zone("America/New_York");
    const QDateTime from = cal.instant(QDate(2026, 11, 30), QTime(18, 1));
    const QDateTime to = cal.instant(QDate(2026, 12, 7), QTime(16, 5));
    const TimeAxisMarks::Marks got = TimeAxisMarks::between(from, to, cal);
    EXPECT_EQ(got.step, (TimeAxisMarks::Step{Unit::day, 1}));
    EXPECT_EQ(labelsOf(got), QStringList({"Dec 1", "Dec 2", "Dec 3", "Dec 4", "Dec 5", "Dec 6", "Dec 7"}));
    for (const TimeAxisMarks::Mark& mark : got.marks)
        EXPECT_EQ(cal.local(mark.at).time(), QTime(0, 0));
}

TEST_F(TimeAxisMarksTest, LongerSpansNameMonthsAndYearsShorterOnesHours)
{
    const Calendar cal = zone("Europe/Berlin");
    const QDateTime to = cal.instant(QDate(2026, 12, 7), QTime(16, 5));
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(to.addDays(-365), to, cal)),
              QStringList({"Jan 2026", "Mar 2026", "May 2026", "Jul 2026", "Sep 2026", "Nov 2026"}));
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(to.addYears(-15), to, cal)),
              QStringList({"2012", "2014", "2016", "2018", "2020", "2022", "2024", "2026"}));
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(to.addDays(-2), to, cal)),
              QStringList({"Dec 5 18:00", "Dec 6 00:00", "Dec 6 06:00", "Dec 6 12:00", "Dec 6 18:00", "Dec 7 00:00",
                           "Dec 7 06:00", "Dec 7 12:00"}));
    // An axis two hours wide (one reading) is marked every quarter hour.
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(to.addSecs(-3600), to.addSecs(3600), cal)),
              QStringList({"Dec 7 15:15", "Dec 7 15:30", "Dec 7 15:45", "Dec 7 16:00", "Dec 7 16:15", "Dec 7 16:30",
                           "Dec 7 16:45", "Dec 7 17:00"}));
}

TEST_F(TimeAxisMarksTest, ClockChangesKeepMarksOnTheLocalCalendar)
{
    // Spring forward in Berlin (02:00 -> 03:00 on Mar 29): midnights stay midnights,
    // one day of the week has 23 hours.
    const Calendar berlin = zone("Europe/Berlin");
    const QDateTime springTo = berlin.instant(QDate(2026, 4, 1), QTime(9, 30));
    const TimeAxisMarks::Marks week = TimeAxisMarks::between(springTo.addDays(-7), springTo, berlin);
    expectSoundMarks(springTo.addDays(-7), springTo, berlin);
    EXPECT_EQ(labelsOf(week), QStringList({"Mar 26", "Mar 27", "Mar 28", "Mar 29", "Mar 30", "Mar 31", "Apr 1"}));
    ASSERT_EQ(week.marks.size(), 7);
    EXPECT_EQ(week.marks[3].at.secsTo(week.marks[4].at), 23 * 3600);

    // Fall back in New York (02:00 -> 01:00 on Nov 1): a day across it is marked every
    // three hours of the wall clock; the repeated hour is marked once.
    const Calendar ny = zone("America/New_York");
    const QDateTime fallFrom = ny.instant(QDate(2026, 10, 31), QTime(20, 0));
    const QDateTime fallTo = fallFrom.addSecs(25 * 3600); // 20:00 the next day by the clock
    expectSoundMarks(fallFrom, fallTo, ny);
    const TimeAxisMarks::Marks day = TimeAxisMarks::between(fallFrom, fallTo, ny);
    EXPECT_EQ(labelsOf(day), QStringList({"Oct 31 21:00", "Nov 1 00:00", "Nov 1 03:00", "Nov 1 06:00", "Nov 1 09:00",
                                          "Nov 1 12:00", "Nov 1 15:00", "Nov 1 18:00"}));
    ASSERT_GE(day.marks.size(), 3);
    EXPECT_EQ(day.marks[1].at.secsTo(day.marks[2].at), 4 * 3600);

    // Marks every two hours across the spring gap (02:00 -> 03:00 on Mar 8) leave out
    // the 02:00 that never happens rather than mark 03:00 off the step.
    const QDateTime gapFrom = ny.instant(QDate(2026, 3, 7), QTime(20, 30));
    const QDateTime gapTo = gapFrom.addSecs(13 * 3600);
    expectSoundMarks(gapFrom, gapTo, ny);
    const TimeAxisMarks::Marks hours = TimeAxisMarks::between(gapFrom, gapTo, ny);
    EXPECT_EQ(labelsOf(hours), QStringList({"Mar 7 22:00", "Mar 8 00:00", "Mar 8 04:00", "Mar 8 06:00", "Mar 8 08:00",
                                            "Mar 8 10:00"}));
    ASSERT_EQ(hours.marks.size(), 6);
    EXPECT_EQ(hours.marks[1].at.secsTo(hours.marks[2].at), 3 * 3600);
}

TEST_F(TimeAxisMarksTest, EmptyOrBackwardSpansHaveNoMarks)
{
    const Calendar cal = Calendar::utc();
    const QDateTime t = cal.instant(QDate(2026, 6, 1), QTime(8, 0, 30));
    EXPECT_TRUE(TimeAxisMarks::between(t, t.addSecs(-60), cal).marks.isEmpty());
    EXPECT_TRUE(TimeAxisMarks::between(QDateTime(), t, cal).marks.isEmpty());
}

namespace {

// The rules of a short span's marks: two to maxMarks inside it, oldest first, on the
// step's whole seconds (or the span's ends), labels distinct and naming their marks.
void expectShortSpanMarks(const QDateTime& from, const QDateTime& to, const Calendar& cal)
{
    SCOPED_TRACE(QStringLiteral("%1 .. %2 in %3")
                     .arg(cal.local(from).toString(Qt::ISODateWithMs), cal.local(to).toString(Qt::ISODateWithMs),
                          QString::fromUtf8(cal.timeZone().id()))
                     .toStdString());
    const TimeAxisMarks::Marks got = TimeAxisMarks::between(from, to, cal);
    ASSERT_GE(got.marks.size(), 2);
    EXPECT_LE(got.marks.size(), TimeAxisMarks::maxMarks);
    QSet<QString> labels;
    for (qsizetype i = 0; i < got.marks.size(); ++i) {
        const TimeAxisMarks::Mark& mark = got.marks[i];
        EXPECT_GE(mark.at, from);
        EXPECT_LE(mark.at, to);
        if (i > 0) {
            EXPECT_GT(mark.at, got.marks[i - 1].at);
        }
        const QTime local = cal.local(mark.at).time();
        EXPECT_TRUE(mark.label.contains(local.toString(got.step.unit == Unit::second ? "HH:mm:ss" : "HH:mm")))
            << mark.label.toStdString();
        if (got.step.unit == Unit::second && got.step.count > 0) {
            EXPECT_EQ(local.msecsSinceStartOfDay() % (1000 * got.step.count), 0) << mark.label.toStdString();
        }
        labels.insert(mark.label);
    }
    EXPECT_EQ(labels.size(), got.marks.size());
}

// For a step of minutes or hours in a zone whose offsets are whole minutes: walks
// the span minute by minute and expects a mark at each instant whose wall time lies
// on the step and was not reached before.
void expectEachWallTimeAtItsFirstInstant(const QDateTime& from, const QDateTime& to, const Calendar& cal)
{
    SCOPED_TRACE(QStringLiteral("%1 .. %2").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)).toStdString());
    const TimeAxisMarks::Marks got = TimeAxisMarks::between(from, to, cal);
    ASSERT_TRUE(got.step.unit == Unit::minute || got.step.unit == Unit::hour);
    const int stepMinutes = got.step.unit == Unit::hour ? 60 * got.step.count : got.step.count;
    QList<QDateTime> expected;
    QSet<QString> seen;
    QDateTime x = QDateTime::fromSecsSinceEpoch((from.toSecsSinceEpoch() + 59) / 60 * 60, QTimeZone::utc());
    for (; x <= to; x = x.addSecs(60)) {
        const QDateTime local = cal.local(x);
        const QString wall = local.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        if (minuteOfDay(local) % stepMinutes == 0 && !seen.contains(wall)) {
            seen.insert(wall);
            expected.append(x);
        }
    }
    QList<QDateTime> marked;
    QSet<QString> labels;
    for (const TimeAxisMarks::Mark& mark : got.marks) {
        marked.append(mark.at);
        labels.insert(mark.label);
        EXPECT_EQ(mark.label, TimeAxisMarks::label(mark.at, got.step, cal));
    }
    EXPECT_EQ(marked, expected);
    EXPECT_GE(marked.size(), 3);
    EXPECT_EQ(labels.size(), marked.size());
}

} // namespace

TEST_F(TimeAxisMarksTest, SpansOfAMinuteOrTwoAreMarkedInSecondsAndShorterOnesAtTheirEnds)
{
    const Calendar cal = zone("America/New_York");
    const QDateTime t = cal.instant(QDate(2026, 6, 1), QTime(8, 0, 12, 345));

    // Two readings 40 s apart: every five seconds, the label to the second.
    const TimeAxisMarks::Marks forty = TimeAxisMarks::between(t, t.addSecs(40), cal);
    EXPECT_EQ(forty.step, (TimeAxisMarks::Step{Unit::second, 5}));
    EXPECT_EQ(labelsOf(forty), QStringList({"Jun 1 08:00:15", "Jun 1 08:00:20", "Jun 1 08:00:25", "Jun 1 08:00:30",
                                            "Jun 1 08:00:35", "Jun 1 08:00:40", "Jun 1 08:00:45", "Jun 1 08:00:50"}));
    // 90 s holding one whole minute: every 15 s.
    const QDateTime at20 = cal.instant(QDate(2026, 6, 1), QTime(8, 0, 20));
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(at20, at20.addSecs(90), cal)),
              QStringList({"Jun 1 08:00:30", "Jun 1 08:00:45", "Jun 1 08:01:00", "Jun 1 08:01:15", "Jun 1 08:01:30",
                           "Jun 1 08:01:45"}));
    // 90 s holding two whole minutes is marked at them, as before.
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(at20.addSecs(30), at20.addSecs(120), cal)),
              QStringList({"Jun 1 08:01", "Jun 1 08:02"}));
    // 20 s starting on a whole second.
    const QDateTime at30 = Calendar::utc().instant(QDate(2026, 6, 1), QTime(8, 0, 30));
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(at30, at30.addSecs(20), Calendar::utc())),
              QStringList({"Jun 1 08:00:30", "Jun 1 08:00:35", "Jun 1 08:00:40", "Jun 1 08:00:45", "Jun 1 08:00:50"}));

    // Under two seconds: the span's ends, to the millisecond when they share a second.
    const TimeAxisMarks::Marks split = TimeAxisMarks::between(t, t.addMSecs(900), cal);
    EXPECT_EQ(labelsOf(split), QStringList({"Jun 1 08:00:12", "Jun 1 08:00:13"}));
    ASSERT_EQ(split.marks.size(), 2);
    EXPECT_EQ(split.marks[0].at, t);
    EXPECT_EQ(split.marks[1].at, t.addMSecs(900));
    EXPECT_EQ(labelsOf(TimeAxisMarks::between(t, t.addMSecs(400), cal)),
              QStringList({"Jun 1 08:00:12.345", "Jun 1 08:00:12.745"}));

    // Spans up to four minutes from odd moments, also across midnight and across the
    // hour New York repeats, are never left with fewer than two marks.
    const QList<QDateTime> starts = {t, cal.instant(QDate(2026, 6, 1), QTime(23, 58, 31, 500)),
                                     cal.instant(QDate(2026, 11, 1), QTime(1, 58, 40)),
                                     cal.instant(QDate(2026, 11, 1), QTime(1, 20)).addSecs(3600)};
    for (const QDateTime& start : starts)
        for (qint64 ms : {1100, 2000, 3100, 7000, 19999, 40000, 59000, 61000, 90000, 119000, 150000, 240000})
            for (int k = 0; k < 8; ++k)
                expectShortSpanMarks(start.addMSecs(k * 7919), start.addMSecs(k * 7919 + ms), cal);
}

TEST_F(TimeAxisMarksTest, OneInstantHasOneMarkAtIt)
{
    // The span of a single reading, off and on a whole minute.
    const Calendar cal = zone("America/New_York");
    for (const QTime time : {QTime(8, 0, 12, 345), QTime(8, 0)}) {
        const QDateTime t = cal.instant(QDate(2026, 6, 1), time);
        const TimeAxisMarks::Marks one = TimeAxisMarks::between(t, t, cal);
        ASSERT_EQ(one.marks.size(), 1);
        EXPECT_EQ(one.marks[0].at, t);
        EXPECT_EQ(one.marks[0].label, cal.local(t).toString(QStringLiteral("MMM d HH:mm:ss")));
    }
}

TEST_F(TimeAxisMarksTest, TheRepeatedHoursSecondRunIsMarked)
{
    // New York's clock goes back from 02:00 EDT to 01:00 EST on Nov 1.
    const Calendar ny = zone("America/New_York");
    const QDateTime from = ny.instant(QDate(2026, 11, 1), QTime(1, 5)).addSecs(3600); // 01:05 EST
    const QDateTime to = from.addSecs(45 * 60);
    ASSERT_EQ(ny.local(from).offsetFromUtc(), -5 * 3600);
    expectSoundMarks(from, to, ny);
    const TimeAxisMarks::Marks second = TimeAxisMarks::between(from, to, ny);
    EXPECT_EQ(second.step, (TimeAxisMarks::Step{Unit::minute, 10}));
    EXPECT_EQ(labelsOf(second),
              QStringList({"Nov 1 01:10", "Nov 1 01:20", "Nov 1 01:30", "Nov 1 01:40", "Nov 1 01:50"}));
    for (const TimeAxisMarks::Mark& mark : second.marks)
        EXPECT_EQ(ny.local(mark.at).offsetFromUtc(), -5 * 3600) << mark.label.toStdString();

    // From 01:50 EDT into the second run: each wall time is marked at its first
    // instant in the span, so the second run carries only the times the first did not.
    const QDateTime edt = ny.instant(QDate(2026, 11, 1), QTime(1, 50));
    const TimeAxisMarks::Marks across = TimeAxisMarks::between(edt, edt.addSecs(50 * 60), ny);
    EXPECT_EQ(labelsOf(across), QStringList({"Nov 1 01:50", "Nov 1 01:00", "Nov 1 01:10", "Nov 1 01:20",
                                             "Nov 1 01:30", "Nov 1 01:40"}));

    // Starts all through both runs, spans from a few minutes to three hours: the marks
    // are exactly the first instants in the span of the wall times on the step.
    for (int m = 0; m < 120; m += 7)
        for (qint64 span : {5 * 60, 30 * 60, 50 * 60, 90 * 60, 3 * 3600}) {
            const QDateTime start = ny.instant(QDate(2026, 11, 1), QTime(1, 0)).addSecs(m * 60 + 13);
            expectEachWallTimeAtItsFirstInstant(start, start.addSecs(span), ny);
        }
}
