#include "kit/OVColors.h"
#include "kit/OVThemes.h"
#include "kit/QNMRThemes.h"
#include "records/OVPrefs.h"

#include <gtest/gtest.h>

namespace {

class OVColorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QNMRThemes::registerThemes(OVThemes::extras());
        QNMRThemes::setDefaultID(OVThemes::groveID);
        OVPrefs::remove(QNMRThemes::key);
    }
    void TearDown() override
    {
        QNMRThemes::setDefaultID("cobalt-gunmetal");
        OVPrefs::remove(QNMRThemes::key);
    }
};

} // namespace

TEST_F(OVColorsTest, RedwoodGroveWhenNothingIsStored)
{
    const OVColors c;
    EXPECT_EQ(c.t.id, "redwood-grove");
    EXPECT_EQ(c.bg(), QColor(43, 19, 13));
    EXPECT_EQ(c.accent(), QColor(46, 125, 50));
    EXPECT_EQ(c.text(), QColor(0xFF, 0xF4, 0xEA));
}

TEST_F(OVColorsTest, ValueKeepsTheThemeItWasMadeWith)
{
    const OVColors before;
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    const OVColors after;
    EXPECT_EQ(before.bg(), QColor(0x2B, 0x13, 0x0D));
    EXPECT_EQ(after.bg(), QColor(0x3B, 0x24, 0x16));
    EXPECT_EQ(after.dim(), QColor(0xF0, 0xD9, 0xC2));
}

TEST_F(OVColorsTest, FixedColoursAreTheSameInEveryTheme)
{
    for (const QNMRTheme& theme : QNMRThemes::all()) {
        QNMRThemes::setCurrentID(theme.id);
        const OVColors c;
        EXPECT_EQ(c.t.id, theme.id);
        EXPECT_EQ(c.leaf(), QColor::fromRgbF(0.48f, 0.80f, 0.43f)) << theme.id.toStdString();
        EXPECT_EQ(c.alert(), QColor::fromRgbF(1.0f, 0.55f, 0.35f));
        EXPECT_NEAR(c.inset().alphaF(), 0.28, 0.002);
        EXPECT_EQ(c.inset().red(), 0);
    }
}
