#include "records/OVDay.h"

#include <QLocale>
#include <QSet>
#include <gtest/gtest.h>

#include <utility>

namespace {

const Calendar denver(QTimeZone("America/Denver"));

std::optional<OVDay> parse(const char* text) { return OVDay::fromIso(QString::fromUtf8(text)); }

} // namespace

TEST(OVDayParse, AcceptsPaddedAndUnpaddedForms)
{
    EXPECT_EQ(parse("2026-03-07"), OVDay(2026, 3, 7));
    EXPECT_EQ(parse("2026-03-07")->iso(), "2026-03-07");
    EXPECT_EQ(parse("2026-3-7"), OVDay(2026, 3, 7));
    EXPECT_EQ(parse("2026-3-7")->iso(), "2026-03-07");
    EXPECT_EQ(parse("+2026-+3-07"), OVDay(2026, 3, 7));
    EXPECT_EQ(parse("2026--03-07"), OVDay(2026, 3, 7));
    EXPECT_EQ(parse("-2026-03-07-"), OVDay(2026, 3, 7));
}

TEST(OVDayParse, TrimsSpacesAndTabsButNotLineBreaks)
{
    EXPECT_EQ(parse(" \t2026-03-07\t "), OVDay(2026, 3, 7));
    EXPECT_EQ(parse("\u00a02026-03-07\u2003"), OVDay(2026, 3, 7));
    EXPECT_FALSE(parse("2026-03-07\n"));
    EXPECT_FALSE(parse("\r\n2026-03-07"));
    EXPECT_FALSE(parse("2026 -03-07")); // inner space makes the piece unreadable
}

TEST(OVDayParse, DropsUnreadablePiecesButNeedsExactlyThreeNumbers)
{
    EXPECT_EQ(parse("2026-x-03-07"), OVDay(2026, 3, 7));
    EXPECT_EQ(parse("2026-99999999999999999999-03-07"), OVDay(2026, 3, 7)); // overflows: dropped
    EXPECT_FALSE(parse("2026-03-07-01"));
    EXPECT_FALSE(parse("2026-03"));
    EXPECT_FALSE(parse(""));
    EXPECT_FALSE(parse("---"));
    EXPECT_FALSE(parse("2026-03-07T00:00")); // "07T00:00" is no integer
    EXPECT_FALSE(parse("2026-0x3-07"));
    EXPECT_FALSE(parse("2026-٣-07")); // non-ASCII digits do not count
}

TEST(OVDayParse, RefusesDaysThatDoNotExist)
{
    EXPECT_FALSE(parse("2026-04-31"));
    EXPECT_FALSE(parse("1900-02-29"));
    EXPECT_EQ(parse("2000-02-29"), OVDay(2000, 2, 29));
    EXPECT_FALSE(parse("2026-13-01"));
    EXPECT_FALSE(parse("2026-01-00"));
}

TEST(OVDayParse, YearBoundsAndHugeYears)
{
    EXPECT_FALSE(parse("1800-12-31"));
    EXPECT_EQ(parse("1801-01-01"), OVDay(1801, 1, 1));
    EXPECT_EQ(parse("99999-12-31"), OVDay(99999, 12, 31));
    EXPECT_FALSE(parse("9223372036854775807-01-01"));
    // Out of every calendar's reach: refused, not crashed.
    EXPECT_FALSE(parse("4000000000-01-01"));
}

TEST(OVDayText, IsoPadsLikePrintf)
{
    EXPECT_EQ(OVDay(5, 3, 7).iso(), "0005-03-07");
    EXPECT_EQ(OVDay(-5, 3, 7).iso(), "-005-03-07");
    EXPECT_EQ(OVDay(12345, 12, 31).iso(), "12345-12-31");
    EXPECT_EQ(OVDay(std::numeric_limits<qint64>::min(), 1, 1).iso(), "-9223372036854775808-01-01");
    EXPECT_EQ(OVDay(2026, 3, 7).description(), "2026-03-07");
}

TEST(OVDayOrder, ByYearThenMonthThenDay)
{
    EXPECT_LT(OVDay(2026, 1, 5), OVDay(2026, 2, 1));
    EXPECT_LT(OVDay(2025, 12, 31), OVDay(2026, 1, 1));
    EXPECT_FALSE(OVDay(2026, 1, 2) < OVDay(2026, 1, 2));
    const QSet<OVDay> days{OVDay(2026, 1, 2), OVDay(2026, 1, 2), OVDay(2026, 2, 1)};
    EXPECT_EQ(days.size(), 2);
}

TEST(OVDayArithmetic, MonthAndLeapBoundaries)
{
    EXPECT_EQ(OVDay(2026, 1, 31).adding(1, denver), OVDay(2026, 2, 1));
    EXPECT_EQ(OVDay(2024, 3, 1).adding(-1, denver), OVDay(2024, 2, 29));
    EXPECT_EQ(OVDay(2026, 12, 31).adding(1, denver), OVDay(2027, 1, 1));
    EXPECT_EQ(OVDay(2026, 3, 7).adding(0, denver), OVDay(2026, 3, 7));
    EXPECT_EQ(OVDay(2024, 2, 29).daysTo(OVDay(2025, 3, 1), denver), 366);
    EXPECT_EQ(OVDay(2025, 3, 1).daysTo(OVDay(2024, 2, 29), denver), -366);
    // Days whose fields roll over count as the day they roll over to.
    EXPECT_EQ(OVDay(2026, 2, 30).daysTo(OVDay(2026, 3, 5), denver), 3);
    EXPECT_EQ(OVDay(2026, 3, 5).daysTo(OVDay(2026, 2, 30), denver), -3);
    EXPECT_EQ(OVDay(2026, 13, 1).daysTo(OVDay(2027, 1, 2), denver), 1);
    EXPECT_EQ(OVDay(2027, 1, 2).daysTo(OVDay(2026, 13, 1), denver), -1);
}

TEST(OVDayArithmetic, DaylightSavingChanges)
{
    // 8 March 2026 is 23 hours long in Denver, 1 November 2026 is 25 hours long. In
    // Auckland, noon falls on the previous UTC date in summer (+13) and on its own in
    // winter (+12), so a count of UTC dates would be a day off across its changes.
    const Calendar auckland(QTimeZone("Pacific/Auckland"));
    const std::pair<const Calendar*, OVDay> changes[] = {{&denver, OVDay(2026, 3, 8)},
                                                         {&denver, OVDay(2026, 11, 1)},
                                                         {&auckland, OVDay(2026, 9, 27)},
                                                         {&auckland, OVDay(2026, 4, 5)}};
    for (const auto& [calendar, change] : changes) {
        SCOPED_TRACE(change.iso().toStdString());
        const OVDay before = change.adding(-1, *calendar), after = change.adding(1, *calendar);
        EXPECT_EQ(before.adding(1, *calendar), change);
        EXPECT_EQ(before.adding(2, *calendar), after);
        EXPECT_EQ(after.adding(-2, *calendar), before);
        EXPECT_EQ(before.daysTo(after, *calendar), 2);
        EXPECT_EQ(after.daysTo(before, *calendar), -2);
        EXPECT_EQ(before.daysTo(change, *calendar), 1);
    }
    EXPECT_EQ(OVDay(2026, 3, 8).adding(-1, denver), OVDay(2026, 3, 7));
    EXPECT_EQ(OVDay(2026, 1, 1).daysTo(OVDay(2027, 1, 1), denver), 365);
    EXPECT_EQ(OVDay(2026, 1, 1).adding(365, denver), OVDay(2027, 1, 1));
}

TEST(OVDayArithmetic, MidnightGapAndSkippedDay)
{
    // São Paulo's clocks skipped 00:00-01:00 on 4 November 2018; days still count whole.
    const Calendar saoPaulo(QTimeZone("America/Sao_Paulo"));
    EXPECT_EQ(OVDay(2018, 11, 3).daysTo(OVDay(2018, 11, 5), saoPaulo), 2);
    EXPECT_EQ(OVDay(2018, 11, 3).adding(1, saoPaulo), OVDay(2018, 11, 4));
    // Days whose clocks skip midnight start at 01:00; counts over and up to them are
    // still whole days, in both directions.
    const std::pair<const char*, OVDay> noMidnight[] = {{"America/Santiago", OVDay(2026, 9, 6)},
                                                        {"America/Havana", OVDay(2027, 3, 14)},
                                                        {"Africa/Cairo", OVDay(2027, 4, 30)},
                                                        {"Asia/Beirut", OVDay(2027, 3, 28)}};
    for (const auto& [zone, day] : noMidnight) {
        SCOPED_TRACE(zone);
        const Calendar calendar{QTimeZone(zone)};
        ASSERT_EQ(calendar.time(calendar.instant(day.year, day.month, day.day)), QTime(1, 0));
        const OVDay before = day.adding(-1, calendar), after = day.adding(1, calendar);
        EXPECT_EQ(after, OVDay(day.year, day.month, day.day).adding(1, Calendar::utc()));
        EXPECT_EQ(before.daysTo(day, calendar), 1);
        EXPECT_EQ(day.daysTo(before, calendar), -1);
        EXPECT_EQ(day.daysTo(after, calendar), 1);
        EXPECT_EQ(after.daysTo(day, calendar), -1);
        EXPECT_EQ(before.daysTo(after, calendar), 2);
        EXPECT_EQ(after.daysTo(before, calendar), -2);
        EXPECT_EQ(day.daysTo(day, calendar), 0);
    }
    // Samoa has no 30 December 2011: the day after the 29th is the 31st.
    const Calendar apia(QTimeZone("Pacific/Apia"));
    EXPECT_EQ(OVDay(2011, 12, 29).adding(1, apia), OVDay(2011, 12, 31));
}

TEST(OVDayArithmetic, ExtremeCountsFallBackWithoutOverflow)
{
    const OVDay start(2026, 3, 7);
    EXPECT_EQ(start.adding(std::numeric_limits<qint64>::max(), denver), start);
    EXPECT_EQ(start.adding(std::numeric_limits<qint64>::min(), denver), start);
    // Unformable days fall back to the current instant rather than failing.
    const QDateTime pinned(QDate(2026, 5, 1), QTime(12, 0), QTimeZone::utc());
    EXPECT_EQ(OVDay(std::numeric_limits<qint64>::max(), 1, 1).date(denver, 12, 0, pinned), pinned);
    EXPECT_EQ(OVDay(std::numeric_limits<qint64>::max(), 12, 1).date(denver, 12, 0, pinned), pinned);
    EXPECT_EQ(OVDay(std::numeric_limits<qint64>::max(), 1, 1).daysTo(OVDay(std::numeric_limits<qint64>::max(), 1, 1), denver), 0);
}

TEST(OVDayInstants, NoonAndRollOver)
{
    EXPECT_EQ(OVDay(2026, 3, 7).date(denver),
              QDateTime(QDate(2026, 3, 7), QTime(19, 0), QTimeZone::utc()));
    EXPECT_EQ(OVDay(2026, 3, 8).date(denver, 2, 30),
              QDateTime(QDate(2026, 3, 8), QTime(9, 0), QTimeZone::utc()));
    // The plain initializer checks nothing; such days roll over like calendar arithmetic.
    EXPECT_EQ(denver.date(OVDay(2026, 2, 30).date(denver)), QDate(2026, 3, 2));
    EXPECT_EQ(denver.date(OVDay(2026, 13, 1).date(denver)), QDate(2027, 1, 1));
    EXPECT_EQ(denver.date(OVDay(2026, 1, 0).date(denver)), QDate(2025, 12, 31));
    EXPECT_EQ(OVDay(denver.instant(QDate(2026, 3, 7), QTime(23, 30)), denver), OVDay(2026, 3, 7));
    EXPECT_EQ(OVDay(denver.instant(QDate(2026, 3, 7), QTime(23, 30)), Calendar::utc()), OVDay(2026, 3, 8));
    EXPECT_EQ(OVDay(QDateTime(), denver), OVDay(2000, 1, 1));
    EXPECT_EQ(OVDay::today(QDateTime(QDate(2026, 3, 8), QTime(5, 0), QTimeZone::utc()), denver),
              OVDay(2026, 3, 7));
}

TEST(OVDayInstants, DisplayUsesMediumDateOfTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(OVDay(2026, 3, 7).display(), "Mar 7, 2026");
    QLocale::setDefault(saved);
}
