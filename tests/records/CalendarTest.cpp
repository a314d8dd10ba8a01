#include "records/Calendar.h"

#include <gtest/gtest.h>

namespace {

const Calendar denver(QTimeZone("America/Denver"));

QDateTime utc(int y, int mo, int d, int h, int mi = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone::utc());
}

} // namespace

TEST(CalendarInstant, OrdinaryWallTimeMapsToItsOffset)
{
    EXPECT_EQ(denver.instant(QDate(2026, 3, 7), QTime(8, 0)), utc(2026, 3, 7, 15)); // MST, UTC-7
    EXPECT_EQ(denver.instant(QDate(2026, 3, 9), QTime(8, 0)), utc(2026, 3, 9, 14)); // MDT, UTC-6
    EXPECT_EQ(denver.instant(QDate(2026, 3, 7), QTime(8, 0)).timeSpec(), Qt::UTC);
}

TEST(CalendarInstant, SkippedWallTimeGivesFirstInstantAfterTheGap)
{
    // 02:00 jumps to 03:00 MDT, which is 09:00 UTC.
    EXPECT_EQ(denver.instant(QDate(2026, 3, 8), QTime(2, 30)), utc(2026, 3, 8, 9));
    EXPECT_EQ(denver.instant(QDate(2026, 3, 8), QTime(2, 0)), utc(2026, 3, 8, 9));
    EXPECT_EQ(denver.instant(QDate(2026, 3, 8), QTime(3, 0)), utc(2026, 3, 8, 9));
    EXPECT_EQ(denver.instant(QDate(2026, 3, 8), QTime(1, 59)), utc(2026, 3, 8, 8, 59));
}

TEST(CalendarInstant, RepeatedWallTimeGivesTheEarlierInstant)
{
    // 01:30 happens first in MDT (07:30 UTC), then again in MST (08:30 UTC).
    EXPECT_EQ(denver.instant(QDate(2026, 11, 1), QTime(1, 30)), utc(2026, 11, 1, 7, 30));
    EXPECT_EQ(denver.instant(QDate(2026, 11, 1), QTime(2, 0)), utc(2026, 11, 1, 9));
}

TEST(CalendarInstant, WholeSkippedDayAndMidnightGap)
{
    // Samoa skipped 30 December 2011, jumping from UTC-10 to UTC+14.
    const Calendar apia(QTimeZone("Pacific/Apia"));
    EXPECT_EQ(apia.instant(QDate(2011, 12, 30), QTime(12, 0)), utc(2011, 12, 30, 10));
    EXPECT_EQ(apia.date(apia.instant(QDate(2011, 12, 30), QTime(12, 0))), QDate(2011, 12, 31));

    // São Paulo began summer time at midnight: 4 November 2018 started at 01:00.
    const Calendar saoPaulo(QTimeZone("America/Sao_Paulo"));
    EXPECT_EQ(saoPaulo.startOfDay(QDate(2018, 11, 4)), utc(2018, 11, 4, 3));
}

TEST(CalendarInstant, UnformableInputsGiveInvalid)
{
    EXPECT_FALSE(denver.instant(QDate(), QTime(1, 0)).isValid());
    EXPECT_FALSE(denver.instant(QDate(2026, 1, 1), QTime()).isValid());
    EXPECT_FALSE(denver.instant(2026, 2, 30).isValid());
    EXPECT_FALSE(denver.instant(2026, 13, 1).isValid());
    EXPECT_FALSE(denver.instant(qint64(1) << 40, 1, 1).isValid());
    EXPECT_TRUE(denver.instant(2024, 2, 29, 12).isValid());
    // QDate holds years far beyond what QDateTime can; neither may crash.
    EXPECT_FALSE(denver.instant(QDate(2000000000, 1, 1), QTime(12, 0)).isValid());
}

TEST(CalendarArithmetic, AddingDaysKeepsTheWallTime)
{
    const QDateTime before = denver.instant(QDate(2026, 3, 7), QTime(8, 0));
    const QDateTime after = denver.addingDays(before, 2);
    EXPECT_EQ(denver.time(after), QTime(8, 0));
    EXPECT_EQ(denver.date(after), QDate(2026, 3, 9));
    EXPECT_EQ(before.secsTo(after), 47 * 3600);

    EXPECT_FALSE(denver.addingDays(before, std::numeric_limits<qint64>::max()).isValid());
    EXPECT_FALSE(denver.addingDays(before, std::numeric_limits<qint64>::min()).isValid());
    EXPECT_FALSE(denver.addingDays(QDateTime(), 1).isValid());
}

TEST(CalendarArithmetic, WholeDaysCountsWallClockDays)
{
    const QDateTime a = denver.instant(QDate(2026, 10, 31), QTime(12, 0));
    const QDateTime b = denver.instant(QDate(2026, 11, 2), QTime(12, 0)); // 49 hours later
    EXPECT_EQ(denver.wholeDays(a, b), 2);
    EXPECT_EQ(denver.wholeDays(b, a), -2);
    EXPECT_EQ(denver.wholeDays(a, denver.instant(QDate(2026, 11, 2), QTime(11, 0))), 1);
    EXPECT_EQ(denver.wholeDays(b, denver.instant(QDate(2026, 10, 31), QTime(13, 0))), -1);
    EXPECT_FALSE(denver.wholeDays(a, QDateTime()).has_value());
}

TEST(CalendarFields, WeekdaysStartOnSunday)
{
    EXPECT_EQ(Calendar::weekday(QDate(2026, 10, 18)), 1); // Sunday
    EXPECT_EQ(Calendar::weekday(QDate(2026, 10, 21)), 4); // Wednesday
    EXPECT_EQ(Calendar::weekday(QDate(2026, 10, 24)), 7); // Saturday
    EXPECT_EQ(Calendar::weekday(QDate()), 0);
    // 23:30 on a Saturday in Denver is already Sunday in UTC.
    EXPECT_EQ(denver.weekday(utc(2026, 10, 25, 5, 30)), 7);
}

TEST(CalendarFields, DaysInMonth)
{
    EXPECT_EQ(Calendar::daysInMonth(2028, 2), 29);
    EXPECT_EQ(Calendar::daysInMonth(2100, 2), 28);
    EXPECT_EQ(Calendar::daysInMonth(2026, 4), 30);
    EXPECT_FALSE(Calendar::daysInMonth(2026, 0).has_value());
    EXPECT_FALSE(Calendar::daysInMonth(2026, 13).has_value());
    EXPECT_FALSE(Calendar::daysInMonth(std::numeric_limits<qint64>::max(), 1).has_value());
}
