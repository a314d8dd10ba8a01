// Money reads "$52.23" under the C/POSIX locale and the locale's own text elsewhere.

#include "records/OVFormat.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(MoneyLocale, CLocaleUsesDollarFirstAndOthersTheirOwnText)
{
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(OVFormat::money(52.23), QStringLiteral("$52.23"));
    EXPECT_EQ(OVFormat::money(-3), QStringLiteral("-$3.00"));
    EXPECT_EQ(OVFormat::money(0.125), QStringLiteral("$0.12"));
    EXPECT_EQ(OVFormat::cash(1234.5), QStringLiteral("$1234.50"));

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(OVFormat::money(52.23), QStringLiteral("$52.23"));
    EXPECT_EQ(OVFormat::money(1234.5), QStringLiteral("$1,234.50"));

    const QLocale german(QLocale::German, QLocale::Germany);
    QLocale::setDefault(german);
    EXPECT_EQ(OVFormat::money(52.23), german.toCurrencyString(52.23, QStringLiteral("$")));
    QLocale::setDefault(before);
}
