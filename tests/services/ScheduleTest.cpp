#include "records/Calendar.h"
#include "records/OVDay.h"
#include "records/OVTask.h"
#include "records/Recurrence.h"
#include "services/Schedule.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <limits>

namespace {

const Calendar& denver()
{
    static const Calendar calendar(QTimeZone(QByteArrayLiteral("America/Denver")));
    return calendar;
}

QDateTime utc(int y, int m, int d, int h, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
}

QDateTime local(int y, int m, int d, int h, int min = 0)
{
    return denver().instant(QDate(y, m, d), QTime(h, min));
}

QList<QDateTime> walk(const Recurrence& rule, const OVDay& start, qint64 hour, qint64 minute, qint64 limit,
                      const QDateTime& from = Schedule::distantPast(),
                      const std::optional<QDateTime>& until = std::nullopt)
{
    return Schedule::occurrences(rule, start, hour, minute, denver(), from, until, limit);
}

QStringList days(const QList<QDateTime>& dates)
{
    QStringList out;
    for (const QDateTime& t : dates)
        out.append(OVDay(t, denver()).iso());
    return out;
}

Recurrence parsed(const char* text)
{
    const auto rule = Recurrence::fromEncoded(QString::fromLatin1(text));
    EXPECT_TRUE(rule.has_value()) << text;
    return rule.value_or(Recurrence::once());
}

class ScheduleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!denver().timeZone().isValid() || denver().timeZone().id() != "America/Denver")
            GTEST_SKIP() << "the America/Denver zone is not installed";
    }
};

} // namespace

// Wall-clock arithmetic across daylight-saving changes, pinned to exact UTC instants.
using ScheduleDaylightSaving = ScheduleTest;

TEST_F(ScheduleDaylightSaving, DailyAtEightStaysEightAcrossSpringForward)
{
    const auto d = walk(Recurrence::everyDays(1), OVDay(2026, 3, 7), 8, 0, 3);
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(d[0], utc(2026, 3, 7, 15)); // 08:00 MST (-07:00)
    EXPECT_EQ(d[1], utc(2026, 3, 8, 14)); // 08:00 MDT (-06:00)
    EXPECT_EQ(d[2], utc(2026, 3, 9, 14));
}

TEST_F(ScheduleDaylightSaving, SkippedTimeFiresAtTheEndOfTheGap)
{
    const auto d = walk(Recurrence::everyDays(1), OVDay(2026, 3, 7), 2, 30, 3);
    ASSERT_EQ(d.size(), 3);
    EXPECT_EQ(d[0], utc(2026, 3, 7, 9, 30)); // 02:30 MST
    EXPECT_EQ(d[1], utc(2026, 3, 8, 9));     // 02:30 does not exist: 03:00 MDT
    EXPECT_EQ(d[2], utc(2026, 3, 9, 8, 30)); // back to 02:30, now MDT
    EXPECT_EQ(denver().time(d[1]), QTime(3, 0));
}

TEST_F(ScheduleDaylightSaving, RepeatedHourTakesTheEarlierInstance)
{
    const auto d = walk(Recurrence::everyDays(1), OVDay(2026, 11, 1), 1, 30, 2);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0], utc(2026, 11, 1, 7, 30)); // 01:30 -06:00, not 01:30 -07:00
    EXPECT_EQ(denver().local(d[0]).offsetFromUtc(), -6 * 3600);
    EXPECT_EQ(d[1], utc(2026, 11, 2, 8, 30));
}

TEST_F(ScheduleDaylightSaving, WeeklyCountsCalendarDaysNotHours)
{
    // A weekly 23:30 job across both changes must keep its wall time.
    const auto d = walk(Recurrence::weekly(1, {1}), OVDay(2026, 3, 1), 23, 30, 2);
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(denver().time(d[1]), QTime(23, 30));
    EXPECT_EQ(days(d), (QStringList{"2026-03-01", "2026-03-08"}));
}

// Month ends, leap years and stored rule texts.
using ScheduleMonthEnds = ScheduleTest;

TEST_F(ScheduleMonthEnds, StoredMonthDay31ClampsToShortMonths)
{
    EXPECT_EQ(days(walk(parsed("monthday:1:31"), OVDay(2026, 1, 31), 8, 0, 4)),
              (QStringList{"2026-01-31", "2026-02-28", "2026-03-31", "2026-04-30"}));
}

TEST_F(ScheduleMonthEnds, StoredYearlyFeb29FallsOnFeb28InCommonYears)
{
    // Started before the first 29 February: the first occurrence is in a common year.
    EXPECT_EQ(days(walk(parsed("yearly:2:29"), OVDay(2026, 1, 10), 9, 0, 4)),
              (QStringList{"2026-02-28", "2027-02-28", "2028-02-29", "2029-02-28"}));
}

TEST_F(ScheduleMonthEnds, MonthlyDayBeforeTheStartDayBeginsNextMonth)
{
    EXPECT_EQ(days(walk(Recurrence::monthlyDay(1, 5), OVDay(2026, 1, 20), 8, 0, 2)),
              (QStringList{"2026-02-05", "2026-03-05"}));
}

TEST_F(ScheduleMonthEnds, YearlyForApril31LandsOnApril30)
{
    EXPECT_EQ(days(walk(Recurrence::yearly(4, 31), OVDay(2026, 1, 1), 8, 0, 2)),
              (QStringList{"2026-04-30", "2027-04-30"}));
}

// The window: from, until and limit.
using ScheduleWindow = ScheduleTest;

TEST_F(ScheduleWindow, BoundsAreInclusive)
{
    const auto rule = Recurrence::everyDays(1);
    const auto d = walk(rule, OVDay(2026, 6, 1), 8, 0, 50, local(2026, 6, 3, 8), local(2026, 6, 5, 8));
    EXPECT_EQ(days(d), (QStringList{"2026-06-03", "2026-06-04", "2026-06-05"}));
}

TEST_F(ScheduleWindow, EmptyWhenNothingCanFit)
{
    const auto rule = Recurrence::everyDays(1);
    EXPECT_TRUE(walk(rule, OVDay(2026, 6, 1), 8, 0, 0).isEmpty());
    EXPECT_TRUE(walk(rule, OVDay(2026, 6, 1), 8, 0, -3).isEmpty());
    EXPECT_TRUE(walk(rule, OVDay(2026, 6, 1), 8, 0, 5, Schedule::distantPast(), local(2026, 6, 1, 7, 59)).isEmpty());
    EXPECT_TRUE(walk(Recurrence::once(), OVDay(2026, 6, 1), 8, 0, 5, local(2026, 6, 1, 8, 1)).isEmpty());
    EXPECT_TRUE(walk(Recurrence::weekly(1, {}), OVDay(2026, 6, 1), 8, 0, 5).isEmpty());
}

TEST_F(ScheduleWindow, ADayThatDoesNotExistGivesNothing)
{
    EXPECT_TRUE(walk(Recurrence::everyDays(1), OVDay(2026, 2, 30), 8, 0, 5).isEmpty());
}

// Starting long ago: the walk jumps over whole periods and still misses nothing.
using ScheduleSkipAhead = ScheduleTest;

TEST_F(ScheduleSkipAhead, AgreesWithAFullWalkForEveryKind)
{
    const OVDay start(2000, 1, 1);
    const QDateTime from = local(2026, 10, 24, 9);
    const QList<Recurrence> rules{Recurrence::everyDays(1),       Recurrence::everyDays(7),
                                  Recurrence::everyDays(45),      Recurrence::weekly(1, {1, 4, 7}),
                                  Recurrence::weekly(3, {2}),     Recurrence::monthlyDay(1, 31),
                                  Recurrence::monthlyDay(5, 29),  Recurrence::monthlyLast(2),
                                  Recurrence::yearly(2, 29),      Recurrence::yearly(10, 24)};
    for (const Recurrence& rule : rules) {
        QList<QDateTime> expected;
        for (const QDateTime& t : walk(rule, start, 8, 0, Schedule::maxPeriods))
            if (t >= from && expected.size() < 3)
                expected.append(t);
        EXPECT_EQ(walk(rule, start, 8, 0, 3, from), expected) << rule.encoded().toStdString();
        EXPECT_EQ(expected.size(), 3) << rule.encoded().toStdString();
    }
}

TEST_F(ScheduleSkipAhead, FindsDatesBeyondTheStepLimitOfAWalkFromTheStart)
{
    // More than 20,000 days lie between 1901 and 2026: only the skip-ahead gets there.
    const auto d = walk(Recurrence::everyDays(1), OVDay(1901, 1, 1), 8, 0, 2, local(2026, 10, 24, 9));
    EXPECT_EQ(days(d), (QStringList{"2026-10-25", "2026-10-26"}));
}

TEST_F(ScheduleSkipAhead, NextDueOfALongRunningTask)
{
    OVTask task;
    task.rule = Recurrence::everyDays(1);
    task.start = OVDay(2000, 1, 1);
    task.hour = 8;
    task.minute = 0;
    task.lastDone = local(2026, 10, 24, 8, 0).addSecs(30);
    EXPECT_EQ(Schedule::nextDue(task, denver()), local(2026, 10, 25, 8));
    // Done at the very second it was due: the next one is tomorrow's.
    task.lastDone = local(2026, 10, 24, 8);
    EXPECT_EQ(Schedule::nextDue(task, denver()), local(2026, 10, 25, 8));
    EXPECT_FALSE(Schedule::isOverdue(task, local(2026, 10, 25, 8), denver()));
    EXPECT_TRUE(Schedule::isOverdue(task, local(2026, 10, 25, 8, 1), denver()));
}

// Numbers no validated task holds: the walk ends quietly, without undefined behaviour.
using ScheduleOverflow = ScheduleTest;

TEST_F(ScheduleOverflow, HugeCountsGiveTheFirstPeriodOnly)
{
    const OVDay start(2026, 3, 1); // a Sunday
    const auto huge = std::numeric_limits<qint64>::max();
    const QList<std::pair<Recurrence, QStringList>> cases{
        {parsed("days:9223372036854775807"), {"2026-03-01"}},
        {Recurrence::weekly(huge, {1, 2, 3, 4, 5, 6, 7}),
         {"2026-03-01", "2026-03-02", "2026-03-03", "2026-03-04", "2026-03-05", "2026-03-06", "2026-03-07"}},
        {Recurrence::monthlyDay(huge, 31), {"2026-03-31"}},
        {Recurrence::monthlyLast(huge), {"2026-03-31"}},
    };
    for (const auto& [rule, expected] : cases) {
        const auto found = walk(rule, start, 8, 0, 10);
        EXPECT_EQ(days(found), expected) << rule.encoded().toStdString();
        ASSERT_FALSE(found.isEmpty());
        EXPECT_TRUE(walk(rule, start, 8, 0, 10, found.last().addSecs(1)).isEmpty()) << rule.encoded().toStdString();
    }
}

TEST_F(ScheduleOverflow, FarFromTimesAndYearsEndQuietly)
{
    const QDateTime farFuture(QDate(200000000, 1, 1), QTime(0, 0), QTimeZone::utc());
    for (const QDateTime& t : walk(Recurrence::yearly(2, 29), OVDay(2026, 1, 1), 8, 0, 3, farFuture))
        EXPECT_GE(t, farFuture);
    EXPECT_TRUE(walk(Recurrence::everyDays(1), OVDay(std::numeric_limits<qint64>::max(), 1, 1), 8, 0, 3).isEmpty());
    EXPECT_TRUE(walk(Recurrence::everyDays(1), OVDay(2147483000, 12, 1), 8, 0, 3).isEmpty());
    // A count below 1 counts as 1.
    EXPECT_EQ(days(walk(Recurrence::everyDays(-4), OVDay(2026, 3, 1), 8, 0, 2)),
              (QStringList{"2026-03-01", "2026-03-02"}));
}

TEST_F(ScheduleOverflow, OutOfRangeTimesOfDayRollOverOrGiveNothing)
{
    EXPECT_EQ(walk(Recurrence::once(), OVDay(2026, 3, 1), 25, 0, 1), QList<QDateTime>{local(2026, 3, 2, 1)});
    EXPECT_TRUE(walk(Recurrence::once(), OVDay(2026, 3, 1), std::numeric_limits<qint64>::max(), 0, 1).isEmpty());
    EXPECT_TRUE(walk(Recurrence::everyDays(1), OVDay(2026, 3, 1), 0, std::numeric_limits<qint64>::min(), 1).isEmpty());
}

TEST(ScheduleDaysInMonth, LeapYearsAndUnknownMonths)
{
    const Calendar calendar = Calendar::utc();
    EXPECT_EQ(Schedule::daysInMonth(2028, 2, calendar), 29);
    EXPECT_EQ(Schedule::daysInMonth(2100, 2, calendar), 28);
    EXPECT_EQ(Schedule::daysInMonth(2026, 12, calendar), 31);
    EXPECT_EQ(Schedule::daysInMonth(2026, 13, calendar), 30);
    EXPECT_EQ(Schedule::daysInMonth(std::numeric_limits<qint64>::max(), 1, calendar), 30);
}
