#include "store/SQLRow.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const QString c = QStringLiteral("c");

SQLRow rowOf(const SQLValue& v)
{
    return SQLRow({{c, v}});
}

SQLRow textRow(const char* utf8)
{
    return rowOf(SQLValue::text(QString::fromUtf8(utf8)));
}

} // namespace

TEST(SQLRowReaders, AbsentNullAndBlobReadAsNothing)
{
    for (const SQLRow& row : {SQLRow(), rowOf(SQLValue()), rowOf(SQLValue::blob("\x01"))}) {
        EXPECT_EQ(row.intValue(c), std::nullopt);
        EXPECT_EQ(row.doubleValue(c), std::nullopt);
        EXPECT_EQ(row.str(c), QString());
        EXPECT_FALSE(row.boolValue(c));
    }
    EXPECT_EQ(rowOf(SQLValue::blob(QByteArray("\0\1", 2))).data(c), QByteArray("\0\1", 2));
    EXPECT_EQ(rowOf(SQLValue::integer(1)).data(c), std::nullopt);
}

TEST(SQLRowReaders, NumbersAcrossStorageClasses)
{
    EXPECT_EQ(rowOf(SQLValue::real(-3.9)).intValue(c), -3);
    EXPECT_EQ(rowOf(SQLValue::integer(42)).str(c), QStringLiteral("42"));
    EXPECT_EQ(rowOf(SQLValue::real(2.0)).str(c), QStringLiteral("2.0"));
    EXPECT_EQ(rowOf(SQLValue::real(0.1)).str(c), QStringLiteral("0.1"));
    EXPECT_EQ(textRow("-7").intValue(c), -7);
    EXPECT_EQ(textRow("-9223372036854775808").intValue(c), std::numeric_limits<qint64>::min());
    for (const char* bad : {"", "-", "12a", " 1", "1.0", "9223372036854775808", "\u0661"})
        EXPECT_EQ(textRow(bad).intValue(c), std::nullopt) << bad;
    EXPECT_EQ(textRow("2.5").doubleValue(c), 2.5);
    for (const char* bad : {"", "2,5", " 2.5", "2.5 ", "abc"})
        EXPECT_EQ(textRow(bad).doubleValue(c), std::nullopt) << bad;

    // Reals an integer cannot hold read as nothing (or false), never as garbage.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {1e19, -inf, nan})
        EXPECT_EQ(rowOf(SQLValue::real(v)).intValue(c), std::nullopt) << v;
    EXPECT_FALSE(rowOf(SQLValue::real(nan)).boolValue(c));
    EXPECT_TRUE(rowOf(SQLValue::real(inf)).boolValue(c));
}

TEST(SQLRowReaders, Booleans)
{
    EXPECT_TRUE(textRow("1").boolValue(c));
    EXPECT_FALSE(textRow("yes").boolValue(c));
    EXPECT_FALSE(rowOf(SQLValue::real(0.9)).boolValue(c)); // truncates to 0
    EXPECT_TRUE(rowOf(SQLValue::integer(-2)).boolValue(c));
}

TEST(SQLValueConversion, ImplicitArgumentsPickTheRightClass)
{
    using T = SQLValue::Type;
    const SQLArgs args = {1, 3u, 4.5f, true, "x", QByteArray("z"), std::optional<int>(),
                          std::optional<QString>(QStringLiteral("w")), nullptr, QDateTime()};
    const std::vector<T> expected = {T::integer, T::integer, T::real, T::integer, T::text,
                                     T::blob,    T::null,    T::text, T::null,    T::null};
    ASSERT_EQ(args.size(), expected.size());
    for (size_t i = 0; i < args.size(); ++i)
        EXPECT_EQ(args[i].type(), expected[i]) << "argument " << i;
    EXPECT_NE(SQLValue::integer(1), SQLValue::real(1.0));
}
