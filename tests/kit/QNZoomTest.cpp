#include "kit/QNZoom.h"
#include "records/OVPrefs.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class QNZoomTest : public ::testing::Test {
protected:
    void SetUp() override { OVPrefs::remove(QNZoom::key); }
    void TearDown() override { OVPrefs::remove(QNZoom::key); }
};

} // namespace

TEST(QNZoomClamp, RoundsToTwoDecimalsWithinRange)
{
    EXPECT_EQ(QNZoom::clamp(1.15), 1.15); // 115 lies a hair below 1.15 * 100
    EXPECT_EQ(QNZoom::clamp(1.234), 1.23);
    EXPECT_EQ(QNZoom::clamp(1.125), 1.13); // an exact half goes away from zero
    EXPECT_EQ(QNZoom::clamp(0.5), 0.85);
    EXPECT_EQ(QNZoom::clamp(3.0), 2.0);
    EXPECT_EQ(QNZoom::clamp(1.15 + 0.15), 1.3);
}

TEST(QNZoomClamp, NonFiniteFactorsStayDrawable)
{
    EXPECT_EQ(QNZoom::clamp(std::numeric_limits<double>::infinity()), 2.0);
    EXPECT_EQ(QNZoom::clamp(-std::numeric_limits<double>::infinity()), 0.85);
    EXPECT_EQ(QNZoom::clamp(std::numeric_limits<double>::quiet_NaN()), 1.0);
}

TEST_F(QNZoomTest, NothingStoredIsActualSize)
{
    EXPECT_EQ(QNZoom::value(), 1.0);
    OVPrefs::setValue(QNZoom::key, 0.0);
    EXPECT_EQ(QNZoom::value(), 1.0);
    OVPrefs::setValue(QNZoom::key, QStringLiteral("big"));
    EXPECT_EQ(QNZoom::value(), 1.0);
}

TEST_F(QNZoomTest, SetterStoresTheClampedFactor)
{
    QNZoom::setValue(3.0);
    EXPECT_EQ(OVPrefs::doubleValue(QNZoom::key), 2.0);
    QNZoom::setValue(0.5);
    EXPECT_EQ(OVPrefs::doubleValue(QNZoom::key), 0.85);
    QNZoom::setValue(1.3);
    EXPECT_EQ(QNZoom::value(), 1.3);
}

TEST_F(QNZoomTest, StrayStoredValueIsCorrectedOnReadOnly)
{
    OVPrefs::setValue(QNZoom::key, 7.5);
    EXPECT_EQ(QNZoom::value(), 2.0);
    EXPECT_EQ(OVPrefs::doubleValue(QNZoom::key), 7.5);
    // After a restart the settings file gives the factor back as text.
    OVPrefs::setValue(QNZoom::key, QStringLiteral("1.456"));
    EXPECT_EQ(QNZoom::value(), 1.46);
}

TEST_F(QNZoomTest, SteppingLandsOnExactValues)
{
    QList<double> seen;
    for (int i = 0; i < 8; ++i) {
        QNZoom::setValue(QNZoom::value() + QNZoom::step);
        seen.append(QNZoom::value());
    }
    EXPECT_EQ(seen, QList<double>({1.15, 1.3, 1.45, 1.6, 1.75, 1.9, 2.0, 2.0}));
    QNZoom::setValue(0.9);
    QNZoom::setValue(QNZoom::value() - QNZoom::step);
    EXPECT_EQ(QNZoom::value(), 0.85);
}
