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
    EXPECT_TRUE(TimeAxisMarks::between(t, t.addSecs(20), cal).marks.isEmpty()); // no whole minute inside
}
