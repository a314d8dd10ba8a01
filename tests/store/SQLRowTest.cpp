#include "store/SQLRow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

SQLRow rowOf(const SQLValue& v)
{
    return SQLRow({{QStringLiteral("c"), v}});
}

const QString c = QStringLiteral("c");

} // namespace

TEST(SQLRowReaders, AbsentColumnAndNullGiveNothing)
{
    for (const SQLRow& row : {SQLRow(), rowOf(SQLValue())}) {
        EXPECT_EQ(row.intValue(c), std::nullopt);
        EXPECT_EQ(row.doubleValue(c), std::nullopt);
        EXPECT_EQ(row.string(c), std::nullopt);
        EXPECT_EQ(row.str(c), QString());
        EXPECT_EQ(row.data(c), std::nullopt);
        EXPECT_FALSE(row.boolValue(c));
    }
}

TEST(SQLRowReaders, IntegerColumn)
{
    const SQLRow row = rowOf(SQLValue::integer(42));
    EXPECT_EQ(row.intValue(c), 42);
    EXPECT_EQ(row.doubleValue(c), 42.0);
    EXPECT_EQ(row.str(c), QStringLiteral("42"));
    EXPECT_EQ(row.data(c), std::nullopt);
    EXPECT_TRUE(row.boolValue(c));
    EXPECT_FALSE(rowOf(SQLValue::integer(0)).boolValue(c));
}

TEST(SQLRowReaders, RealColumn)
{
    EXPECT_EQ(rowOf(SQLValue::real(3.9)).intValue(c), 3);
    EXPECT_EQ(rowOf(SQLValue::real(-3.9)).intValue(c), -3);
    EXPECT_EQ(rowOf(SQLValue::real(2.0)).str(c), QStringLiteral("2.0"));
    EXPECT_EQ(rowOf(SQLValue::real(0.1)).str(c), QStringLiteral("0.1"));
    EXPECT_EQ(rowOf(SQLValue::real(-0.5)).string(c), QStringLiteral("-0.5"));
    EXPECT_FALSE(rowOf(SQLValue::real(0.9)).boolValue(c)); // truncates to 0
    EXPECT_TRUE(rowOf(SQLValue::real(-1.2)).boolValue(c));
    // Values an integer cannot hold give nothing instead of undefined behaviour.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(rowOf(SQLValue::real(1e19)).intValue(c), std::nullopt);
    EXPECT_EQ(rowOf(SQLValue::real(-inf)).intValue(c), std::nullopt);
    EXPECT_EQ(rowOf(SQLValue::real(nan)).intValue(c), std::nullopt);
    EXPECT_EQ(rowOf(SQLValue::real(-9223372036854775808.0)).intValue(c),
              std::numeric_limits<qint64>::min());
    EXPECT_TRUE(rowOf(SQLValue::real(inf)).boolValue(c));
    EXPECT_FALSE(rowOf(SQLValue::real(nan)).boolValue(c));
}

TEST(SQLRowReaders, TextColumn)
{
    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("-7"))).intValue(c), -7);
    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("+7"))).intValue(c), 7);
    for (const char* bad : {"", "-", "12a", " 1", "1 ", "1.0", "0x10", "9223372036854775808", "\u0661"})
        EXPECT_EQ(rowOf(SQLValue::text(QString::fromUtf8(bad))).intValue(c), std::nullopt) << bad;
    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("-9223372036854775808"))).intValue(c),
              std::numeric_limits<qint64>::min());

    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("2.5"))).doubleValue(c), 2.5);
    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("-1e3"))).doubleValue(c), -1000.0);
    for (const char* bad : {"", "2,5", " 2.5", "2.5 ", "2.5x", "abc"})
        EXPECT_EQ(rowOf(SQLValue::text(QString::fromUtf8(bad))).doubleValue(c), std::nullopt) << bad;

    EXPECT_TRUE(rowOf(SQLValue::text(QStringLiteral("1"))).boolValue(c));
    EXPECT_FALSE(rowOf(SQLValue::text(QStringLiteral("yes"))).boolValue(c));
    EXPECT_FALSE(rowOf(SQLValue::text(QStringLiteral("0"))).boolValue(c));
    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("Tomato"))).str(c), QStringLiteral("Tomato"));
    EXPECT_EQ(rowOf(SQLValue::text(QStringLiteral("Tomato"))).data(c), std::nullopt);
}

TEST(SQLRowReaders, BlobColumn)
{
    const SQLRow row = rowOf(SQLValue::blob(QByteArray("\x01\x00\x02", 3)));
    EXPECT_EQ(row.data(c), QByteArray("\x01\x00\x02", 3));
    EXPECT_EQ(row.intValue(c), std::nullopt);
    EXPECT_EQ(row.doubleValue(c), std::nullopt);
    EXPECT_EQ(row.string(c), std::nullopt);
    EXPECT_EQ(row.str(c), QString());
    EXPECT_FALSE(row.boolValue(c));
}

TEST(SQLValueConversion, ImplicitArgumentsPickTheRightClass)
{
    const SQLArgs args = {1, qint64(2), 3u, 4.5f, true, "x", QStringLiteral("y"), QByteArray("z"),
                          std::optional<int>(), std::optional<QString>(QStringLiteral("w")),
                          std::nullopt, nullptr, QDateTime()};
    const std::vector<SQLValue::Type> expected = {
        SQLValue::Type::integer, SQLValue::Type::integer, SQLValue::Type::integer,
        SQLValue::Type::real,    SQLValue::Type::integer, SQLValue::Type::text,
        SQLValue::Type::text,    SQLValue::Type::blob,    SQLValue::Type::null,
        SQLValue::Type::text,    SQLValue::Type::null,    SQLValue::Type::null,
        SQLValue::Type::null};
    ASSERT_EQ(args.size(), expected.size());
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_EQ(args[i].type(), expected[i]) << "argument " << i;
    EXPECT_EQ(args[4], SQLValue::integer(1));
    // Equality is by class and payload: 1 and 1.0 differ.
    EXPECT_NE(SQLValue::integer(1), SQLValue::real(1.0));
}
