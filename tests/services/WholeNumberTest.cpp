#include "services/WholeNumber.h"

#include <gtest/gtest.h>

#include <limits>

TEST(WholeNumberRead, SignsDigitsAndRange)
{
    EXPECT_EQ(WholeNumber::parse("2026"), 2026);
    EXPECT_EQ(WholeNumber::parse("+5"), 5);
    EXPECT_EQ(WholeNumber::parse("-1"), -1);
    EXPECT_EQ(WholeNumber::parse("-9223372036854775808"), std::numeric_limits<qint64>::min());
    for (const char* bad : {"", "+", "2026.0", "12 5", "x7", "9223372036854775808", "٣"})
        EXPECT_EQ(WholeNumber::parse(bad), std::nullopt) << bad;
    EXPECT_EQ(WholeNumber::trimBlanks(" \t12\t "), "12");
    EXPECT_EQ(WholeNumber::trimBlanks("\n12"), "\n12");
}
