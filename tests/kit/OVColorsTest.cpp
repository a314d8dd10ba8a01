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
}

TEST_F(OVColorsTest, ValueKeepsTheThemeItWasMadeWith)
{
    const OVColors before;
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    const OVColors after;
    EXPECT_EQ(before.bg(), QColor(0x2B, 0x13, 0x0D));
    EXPECT_EQ(after.bg(), QColor(0x3B, 0x24, 0x16));
}
