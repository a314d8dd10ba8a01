#include "records/IntegerMath.h"

#include <QString>
#include <gtest/gtest.h>

#include <limits>

TEST(IntegerMath, RoundsTowardMinusInfinity)
{
    static_assert(IntegerMath::floorDiv(7, 2) == 3);
    static_assert(IntegerMath::floorDiv(-7, 2) == -4);
    static_assert(IntegerMath::floorDiv(-8, 2) == -4);
    static_assert(IntegerMath::floorDiv(7, -2) == -4);
    static_assert(IntegerMath::floorMod(-1, 1440) == 1439);
    static_assert(IntegerMath::floorMod(-1440, 1440) == 0);
    EXPECT_EQ(IntegerMath::floorDiv(-1, 86400), -1); // the second before 1970 is on 1969-12-31
}

// Stored numbers read strictly: one sign at most, ASCII digits only, and the whole
// 64-bit range including its minimum, which has no positive counterpart.
TEST(IntegerMath, ReadsWholeNumbersStrictly)
{
    using IntegerMath::readDecimal;
    EXPECT_EQ(readDecimal(u"+42"), 42);
    EXPECT_EQ(readDecimal(u"-7"), -7);
    EXPECT_EQ(readDecimal(u"9223372036854775807"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(readDecimal(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    for (const char16_t* bad : {u"", u"+", u"-", u"+-1", u" 1", u"1 ", u"1.0", u"\u0661", u"9223372036854775808",
                                u"-9223372036854775809"})
        EXPECT_FALSE(readDecimal(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}
