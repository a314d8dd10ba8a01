#include "records/CNumber.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

// Whole text or nothing, with the point as decimal mark whatever the process locale.
TEST(CNumberParse, WholeTextInTheCLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // a comma locale where installed
    EXPECT_EQ(CNumber::parseWhole("1.5"), 1.5);
    EXPECT_FALSE(CNumber::parseWhole("1,5"));
    std::setlocale(LC_NUMERIC, before.c_str());

    EXPECT_EQ(CNumber::parseWhole("-0x1p4"), -16.0);
    EXPECT_TRUE(std::isinf(*CNumber::parseWhole("inf")));
    for (const char* bad : {"", " 1", "\t1", "1 ", "1x", "--1"})
        EXPECT_FALSE(CNumber::parseWhole(bad)) << bad;
    EXPECT_FALSE(CNumber::parseWhole(std::string_view("1\0" "2", 3)));
    // Longer than the stack buffer.
    const std::string longText = "0." + std::string(300, '5');
    EXPECT_NEAR(*CNumber::parseWhole(longText), 0.5555555, 1e-6);
}
