#include "records/Metric.h"
#include "records/OVPrefs.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// Turns the Celsius preference on for one scope and removes it afterwards.
struct CelsiusOn {
    CelsiusOn() { OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C")); }
    ~CelsiusOn() { OVPrefs::remove(OVPrefs::unitKey); }
};

} // namespace

TEST(MetricCases, RawValuesAreCaseNamesNotColumns)
{
    EXPECT_EQ(Metric::fromRaw(u"soilMoisture"), Metric(Metric::soilMoisture));
    EXPECT_FALSE(Metric::fromRaw(u"soil_moisture"));
    EXPECT_FALSE(Metric::fromRaw(u"Temp"));
    EXPECT_FALSE(Metric::fromRaw(u""));
    for (Metric m : Metric::allCases())
        EXPECT_EQ(Metric::fromRaw(m.rawValue()), m);
}

TEST(MetricCases, PossibleRangesIncludeBothEnds)
{
    const Metric temp = Metric::temp, ph = Metric::ph;
    EXPECT_TRUE(temp.possible().contains(-60));
    EXPECT_TRUE(temp.possible().contains(160));
    EXPECT_FALSE(temp.possible().contains(-60.1));
    EXPECT_FALSE(temp.possible().contains(160.1));
    EXPECT_TRUE(ph.possible().contains(0));
    EXPECT_TRUE(ph.possible().contains(14));
    EXPECT_FALSE(ph.possible().contains(14.01));
    EXPECT_FALSE(ph.possible().contains(std::numeric_limits<double>::quiet_NaN()));
}

TEST(MetricConversion, OnlyTemperaturesFollowThePreference)
{
    const Metric temp = Metric::temp, humidity = Metric::humidity;
    EXPECT_EQ(temp.toDisplay(212), 212);
    EXPECT_EQ(temp.fromDisplay(100), 100);
    EXPECT_EQ(temp.unit(), "°F");
    CelsiusOn celsius;
    EXPECT_EQ(temp.unit(), "°C");
    EXPECT_EQ(Metric(Metric::soilTemp).unit(), "°C");
    EXPECT_EQ(humidity.unit(), "%");
    EXPECT_DOUBLE_EQ(temp.toDisplay(212), 100);
    EXPECT_DOUBLE_EQ(temp.fromDisplay(100), 212);
    EXPECT_EQ(humidity.toDisplay(64.5), 64.5);
    EXPECT_EQ(humidity.fromDisplay(64.5), 64.5);
    for (double v : {-60.0, -40.0, 0.0, 32.0, 72.06, 159.99})
        EXPECT_NEAR(temp.fromDisplay(temp.toDisplay(v)), v, 1e-9);
}

TEST(MetricFormat, TemperaturesShowOneDecimalUnlessNearlyWhole)
{
    const Metric temp = Metric::temp;
    EXPECT_EQ(temp.format(72.0), "72°F");
    EXPECT_EQ(temp.format(72.04), "72°F");
    EXPECT_EQ(temp.format(72.06), "72.1°F");
    EXPECT_EQ(temp.format(72.5), "72.5°F");
    EXPECT_EQ(temp.format(-0.04), "0°F");
    EXPECT_EQ(temp.format(-12.96), "-13°F");
    CelsiusOn celsius;
    EXPECT_EQ(temp.format(212.0), "100°C");
    EXPECT_EQ(temp.format(70.0), "21.1°C");
    EXPECT_EQ(Metric(Metric::soilTemp).format(32.0), "0°C");
}

TEST(MetricFormat, HalvesRoundAwayFromZeroUnlikePrintfCells)
{
    EXPECT_EQ(Metric(Metric::humidity).format(64.5), "65%");
    EXPECT_EQ(Metric(Metric::light).format(2.5), "3 lux"); // "%.0f" would give 2
    EXPECT_EQ(Metric(Metric::light).format(1200), "1200 lux");
    EXPECT_EQ(Metric(Metric::co2).format(449.5), "450 ppm");
    EXPECT_EQ(Metric(Metric::soilMoisture).format(0.4), "0%");
    EXPECT_EQ(Metric(Metric::ph).format(6.2), "6.20");
    EXPECT_EQ(Metric(Metric::ec).format(1.4), "1.40 mS/cm");
    EXPECT_EQ(Metric(Metric::ec).format(0.125), "0.12 mS/cm"); // two-decimal metrics keep C rounding
}

TEST(MetricFormat, ValuesBeyondTheIntegerRangeFormatSafely)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Metric(Metric::light).format(1e19), "10000000000000000000 lux");
    EXPECT_EQ(Metric(Metric::humidity).format(-inf), "-inf%");
    EXPECT_EQ(Metric(Metric::temp).format(inf), "inf°F");
    EXPECT_TRUE(Metric(Metric::co2).format(std::numeric_limits<double>::quiet_NaN()).contains("nan"));
    EXPECT_EQ(Metric(Metric::temp).format(1e300).size(), 301 + 2);
}
