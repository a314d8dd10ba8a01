// parseNumber reads exactly as the climate CSV's number reader does.

#include "kit/ParseNumber.h"
#include "services/OVCSV.h"

#include <gtest/gtest.h>

TEST(ParseNumber, ReadsAsTheCSVNumberReader)
{
    EXPECT_EQ(parseNumber(QStringLiteral("1,250")), 1250.0);
    EXPECT_EQ(parseNumber(QStringLiteral("2,5")), 2.5);
    EXPECT_EQ(parseNumber(QStringLiteral("1,5000")), 1.5);
    EXPECT_EQ(parseNumber(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_EQ(parseNumber(QStringLiteral("45%")), 45.0);
    EXPECT_EQ(parseNumber(QStringLiteral("70 °f")), 70.0);
    // A point present: every comma is a thousands separator.
    EXPECT_DOUBLE_EQ(*parseNumber(QStringLiteral("1.234,5")), 1.2345);
    for (const char* blank : {"", "   ", "abc", "inf", "nan", "12 kg"})
        EXPECT_FALSE(parseNumber(QString::fromUtf8(blank))) << blank;
    for (const char* text : {"1,234.5", "0,125", "1,,5", "1e3", "-3,5", "72°F", "1.234,5"})
        EXPECT_EQ(parseNumber(QString::fromUtf8(text)), OVCSV::number(QString::fromUtf8(text))) << text;
}
