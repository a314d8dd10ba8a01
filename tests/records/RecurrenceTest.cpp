#include "records/Recurrence.h"

#include <gtest/gtest.h>

namespace {

std::optional<Recurrence> parse(const char* text) { return Recurrence::fromEncoded(QString::fromUtf8(text)); }

bool roundTrips(const Recurrence& r) { return Recurrence::fromEncoded(r.encoded()) == r; }

} // namespace

TEST(RecurrenceParse, EveryDays)
{
    EXPECT_EQ(parse("days:3"), Recurrence::everyDays(3));
    EXPECT_EQ(parse("days:+3"), Recurrence::everyDays(3));
    EXPECT_EQ(parse("days:003"), Recurrence::everyDays(3));
    EXPECT_EQ(parse("days:3:9"), Recurrence::everyDays(3));
    for (const char* refused : {"days:0", "days:-2", "days: 3", "days:3 ", "days", "days::3", "DAYS:3",
                                "Days:3", "", "days:", "days:+", "days:-", "days:+-3", "days:3.0",
                                "days:0x3", " days:3", "days:３"})
        EXPECT_FALSE(parse(refused)) << refused;
}

TEST(RecurrenceParse, SixtyFourBitCounts)
{
    const auto huge = parse("days:9223372036854775807");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->every(), std::numeric_limits<qint64>::max());
    EXPECT_EQ(huge->encoded(), "days:9223372036854775807");
    EXPECT_EQ(huge->summary(), "Every 9223372036854775807 days");
    EXPECT_TRUE(roundTrips(*huge));
    EXPECT_FALSE(parse("days:9223372036854775808"));
    EXPECT_FALSE(parse("days:-9223372036854775808"));
    EXPECT_FALSE(parse("days:99999999999999999999999"));
    EXPECT_EQ(parse("weeks:9223372036854775807:1")->every(), std::numeric_limits<qint64>::max());
    EXPECT_EQ(parse("monthlast:9223372036854775807")->summary(), "Every 9223372036854775807 months on the last day");
    EXPECT_FALSE(parse("monthday:1:9223372036854775807"));
    EXPECT_FALSE(parse("yearly:-9223372036854775808:1"));
    // A day that only fits after truncation to 32 bits must still be refused.
    EXPECT_FALSE(parse("monthday:1:4294967297"));
    EXPECT_FALSE(parse("yearly:4294967298:1"));
}

TEST(RecurrenceParse, WeeklyListsAreCleanedButNeedThreeFields)
{
    EXPECT_EQ(parse("weeks:1:4,2,4"), Recurrence::weekly(1, {2, 4}));
    EXPECT_EQ(parse("weeks:1:2,,9,x,7"), Recurrence::weekly(1, {2, 7}));
    EXPECT_EQ(parse("weeks:2:+5,-1,,1"), Recurrence::weekly(2, {1, 5}));
    EXPECT_EQ(parse("weeks:1:,,3,"), Recurrence::weekly(1, {3}));
    EXPECT_EQ(parse("weeks:1:99999999999999999999,3"), Recurrence::weekly(1, {3}));
    for (const char* refused : {"weeks:1:9", "weeks:1:0,8", "weeks:1:", "weeks:1:2:5", "weeks:0:2", "weeks:1",
                                "weeks::2", "weeks:-1:2", "weeks:1:,", "weeks:1:4294967298"})
        EXPECT_FALSE(parse(refused)) << refused;
}

TEST(RecurrenceParse, MonthlyYearlyAndOnce)
{
    EXPECT_EQ(parse("monthday:1:31"), Recurrence::monthlyDay(1, 31));
    EXPECT_EQ(parse("monthday:3:15:extra"), Recurrence::monthlyDay(3, 15));
    EXPECT_EQ(parse("monthlast:3"), Recurrence::monthlyLast(3));
    EXPECT_EQ(parse("yearly:2:29"), Recurrence::yearly(2, 29));
    EXPECT_EQ(parse("yearly:2:30"), Recurrence::yearly(2, 30));
    EXPECT_EQ(parse("yearly:4:31"), Recurrence::yearly(4, 31));
    EXPECT_EQ(parse("once"), Recurrence::once());
    EXPECT_EQ(parse("once:"), Recurrence::once());
    EXPECT_EQ(parse("once:anything:at:all"), Recurrence::once());
    for (const char* refused : {"monthday:1:0", "monthday:1:32", "monthday:0:5", "monthday:1", "monthlast:0",
                                "monthlast", "yearly:0:5", "yearly:13:1", "yearly:2", "yearly:2:0",
                                "ONCE", "once ", "nonsense", ":once", "weekly:1:2"})
        EXPECT_FALSE(parse(refused)) << refused;
}

TEST(RecurrenceText, EncodingAndRoundTrip)
{
    EXPECT_EQ(Recurrence::everyDays(3).encoded(), "days:3");
    EXPECT_EQ(Recurrence::weekly(2, {5, 2}).encoded(), "weeks:2:2,5");
    EXPECT_EQ(Recurrence::weekly(1, {3, 3, 1}).encoded(), "weeks:1:1,3,3");
    EXPECT_EQ(Recurrence::monthlyLast(3).encoded(), "monthlast:3");
    EXPECT_EQ(Recurrence::everyDays(-2).encoded(), "days:-2");
    EXPECT_EQ(Recurrence::everyDays(std::numeric_limits<qint64>::min()).encoded(), "days:-9223372036854775808");

    for (const Recurrence& canonical :
         {Recurrence::everyDays(1), Recurrence::weekly(2, {2, 5}), Recurrence::weekly(1, {1, 2, 3, 4, 5, 6, 7}),
          Recurrence::monthlyDay(1, 31), Recurrence::monthlyLast(3), Recurrence::yearly(2, 29),
          Recurrence::yearly(12, 31), Recurrence::once()})
        EXPECT_TRUE(roundTrips(canonical)) << canonical.encoded().toStdString();

    // Values that validation must refuse: they do not come back equal.
    for (const Recurrence& loose :
         {Recurrence::weekly(1, {5, 2}), Recurrence::weekly(1, {2, 2}), Recurrence::weekly(1, {}),
          Recurrence::weekly(1, {0, 2}), Recurrence::everyDays(0), Recurrence::monthlyDay(0, 5),
          Recurrence::monthlyDay(1, 0), Recurrence::monthlyLast(0), Recurrence::yearly(13, 1),
          Recurrence::weekly(0, {2})})
        EXPECT_FALSE(roundTrips(loose)) << loose.encoded().toStdString();
}

TEST(RecurrenceText, Summaries)
{
    EXPECT_EQ(Recurrence::everyDays(1).summary(), "Every day");
    EXPECT_EQ(Recurrence::everyDays(2).summary(), "Every 2 days");
    EXPECT_EQ(Recurrence::weekly(1, {4, 2}).summary(), "Every week on Mon, Wed");
    EXPECT_EQ(Recurrence::weekly(2, {5, 2}).summary(), "Every 2 weeks on Mon, Thu");
    EXPECT_EQ(Recurrence::weekly(1, {7, 1, 1}).summary(), "Every week on Sun, Sun, Sat");
    EXPECT_EQ(Recurrence::monthlyDay(1, 28).summary(), "Every month on day 28");
    EXPECT_EQ(Recurrence::monthlyDay(1, 29).summary(), "Every month on day 29 (or the last day of shorter months)");
    EXPECT_EQ(Recurrence::monthlyLast(3).summary(), "Every 3 months on the last day");
    EXPECT_EQ(Recurrence::yearly(2, 29).summary(), "Every year on Feb 29 (Feb 28 in other years)");
    EXPECT_EQ(Recurrence::yearly(2, 28).summary(), "Every year on Feb 28");
    EXPECT_EQ(Recurrence::once().summary(), "One time");
    // Out-of-table numbers never index past the name lists.
    EXPECT_EQ(Recurrence::yearly(13, 1).summary(), "Every year on ? 1");
    EXPECT_EQ(Recurrence::weekly(1, {0, 8}).summary(), "Every week on ?, ?");
}

TEST(RecurrenceValue, EqualityComparesKindAndValuesInOrder)
{
    EXPECT_EQ(Recurrence(), Recurrence::once());
    EXPECT_NE(Recurrence::weekly(1, {2, 5}), Recurrence::weekly(1, {5, 2}));
    EXPECT_NE(Recurrence::everyDays(1), Recurrence::monthlyLast(1));
    EXPECT_NE(Recurrence::monthlyDay(1, 5), Recurrence::monthlyDay(2, 5));
}
