#include "records/OVFormat.h"

#include <QLocale>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <locale.h>

namespace {

// Switches the process to German number conventions for one test: the C library
// locale when one is installed, Qt's default locale always.
class GermanNumbers {
public:
    GermanNumbers()
    {
        m_savedQt = QLocale();
        if (const char* current = setlocale(LC_ALL, nullptr))
            m_savedC = current;
        if (setlocale(LC_ALL, "de_DE.UTF-8")) {
            m_cLocale = true;
        } else if (locale_t de = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", locale_t(nullptr))) {
            m_threadLocale = de;
            m_previous = uselocale(de);
            m_cLocale = true;
        }
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~GermanNumbers()
    {
        if (m_threadLocale) {
            uselocale(m_previous);
            freelocale(m_threadLocale);
        }
        setlocale(LC_ALL, m_savedC.c_str());
        QLocale::setDefault(m_savedQt);
    }
    bool cLibraryIsGerman() const { return m_cLocale; }

private:
    QLocale m_savedQt;
    std::string m_savedC = "C";
    locale_t m_threadLocale = locale_t(nullptr);
    locale_t m_previous = locale_t(nullptr);
    bool m_cLocale = false;
};

constexpr double infinity = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(OVFormatNum, WholeValuesDropTheFractionBelowTwoDigits)
{
    EXPECT_EQ(OVFormat::num(3.0), "3");
    EXPECT_EQ(OVFormat::num(2.5), "2.5");
    EXPECT_EQ(OVFormat::num(3.0, 2), "3.00");
    EXPECT_EQ(OVFormat::num(1.4, 2), "1.40");
    EXPECT_EQ(OVFormat::num(2.25, 0), "2");
    EXPECT_EQ(OVFormat::num(2.6, 0), "3");
    EXPECT_EQ(OVFormat::num(-4.0), "-4");
    EXPECT_EQ(OVFormat::num(-0.0), "0");
    EXPECT_EQ(OVFormat::num(0.04), "0.0");
    EXPECT_EQ(OVFormat::num(-0.04), "-0.0"); // printf keeps the sign of a value that rounds to zero
}

TEST(OVFormatNum, FractionsRoundLikePrintf)
{
    // C rounding works on the exact binary value; exact halves go to even.
    EXPECT_EQ(OVFormat::num(2.5, 0), "2");
    EXPECT_EQ(OVFormat::num(3.5, 0), "4");
    EXPECT_EQ(OVFormat::num(0.125, 2), "0.12");
    EXPECT_EQ(OVFormat::num(1.005, 2), "1.00"); // 1.005 is slightly below in binary
    EXPECT_EQ(OVFormat::num(0.15, 1), "0.1");
    EXPECT_EQ(OVFormat::num(-1.25, 1), "-1.2");
}

TEST(OVFormatNum, HugeAndNonFiniteValuesNeverConvertToIntegers)
{
    EXPECT_EQ(OVFormat::num(1e20), "100000000000000000000");
    EXPECT_EQ(OVFormat::num(-9.3e18, 0), "-9300000000000000000");
    EXPECT_EQ(OVFormat::num(9223372036854775808.0), "9223372036854775808");
    EXPECT_EQ(OVFormat::num(std::numeric_limits<double>::max()).size(), 309);
    EXPECT_EQ(OVFormat::num(std::numeric_limits<double>::max(), 2).size(), 312);
    EXPECT_EQ(OVFormat::num(infinity), "inf");
    EXPECT_EQ(OVFormat::num(-infinity, 2), "-inf");
    EXPECT_TRUE(OVFormat::num(notANumber).endsWith("nan"));
    EXPECT_EQ(OVFormat::rounded(infinity), "inf");
    EXPECT_EQ(OVFormat::rounded(1e300).size(), 301);
    EXPECT_TRUE(OVFormat::rounded(notANumber).endsWith("nan"));
}

TEST(OVFormatFixed, PrecisionEdges)
{
    EXPECT_EQ(OVFormat::fixed(1.0 / 3, -1), "0.333333"); // printf's default precision
    EXPECT_EQ(OVFormat::fixed(5e-324, 1074).right(3), "625");
    EXPECT_EQ(OVFormat::fixed(1.5, 100000).size(), 1102); // capped, still exact
    EXPECT_EQ(OVFormat::rounded(-0.4), "0");
    EXPECT_EQ(OVFormat::rounded(-0.5), "-1");
    EXPECT_EQ(OVFormat::rounded(2.5), "3");
}

TEST(OVFormatLocale, GermanLocaleKeepsPointAndCRounding)
{
    GermanNumbers german;
    if (!german.cLibraryIsGerman())
        RecordProperty("note", "no German C locale installed; only Qt's default locale is German");
    EXPECT_EQ(OVFormat::fixed(12.5, 0), "12");
    EXPECT_EQ(OVFormat::fixed(2.5, 0), "2");
    EXPECT_EQ(OVFormat::fixed(1234.5, 2), "1234.50");
    EXPECT_EQ(OVFormat::num(2.5), "2.5");
    EXPECT_EQ(OVFormat::parseDouble(u"2.5"), 2.5);
    EXPECT_FALSE(OVFormat::parseDouble(u"2,5"));
    // The user-facing date and money texts do follow the locale.
    EXPECT_EQ(OVFormat::cash(12.5), QString::fromUtf8("12,50\u00a0$"));
}

TEST(OVFormatParse, WholeTextInCLocale)
{
    EXPECT_EQ(OVFormat::parseDouble(u"-12.75"), -12.75);
    EXPECT_EQ(OVFormat::parseDouble(u"1e3"), 1000.0);
    EXPECT_FALSE(OVFormat::parseDouble(u""));
    EXPECT_FALSE(OVFormat::parseDouble(u" 1"));
    EXPECT_FALSE(OVFormat::parseDouble(u"1 "));
    EXPECT_FALSE(OVFormat::parseDouble(u"1.2.3"));
    EXPECT_FALSE(OVFormat::parseDouble(u"12abc"));
    EXPECT_FALSE(OVFormat::parseDouble(QStringView(u"1\0" "5", 3)));
}

TEST(OVFormatDates, EnglishStyles)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QDateTime local(QDate(2026, 3, 7), QTime(8, 5));
    EXPECT_EQ(OVFormat::day(local), "Mar 7, 2026");
    EXPECT_EQ(OVFormat::time(local), "8:05 AM");
    EXPECT_EQ(OVFormat::dayTime(local), "Mar 7, 2026, 8:05 AM");
    EXPECT_EQ(OVFormat::cash(1234.5), "$1,234.50");
    EXPECT_EQ(OVFormat::cash(-3), "-$3.00");
    QLocale::setDefault(saved);
}

// Without a language set, Qt's C locale has seconds in its short time format; task
// times in lists and exports still show hours and minutes only.
TEST(OVFormatDates, ShortTimeNeverShowsSeconds)
{
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    const QDateTime local(QDate(2026, 12, 10), QTime(9, 0, 42));
    EXPECT_EQ(OVFormat::time(local), "09:00");
    EXPECT_FALSE(OVFormat::dayTime(local).contains(QLatin1String(":42")));
    EXPECT_TRUE(OVFormat::dayTime(local).endsWith(QLatin1String("09:00")));
    QLocale::setDefault(saved);
}
