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
}

TEST_F(OVColorsTest, ValueKeepsTheThemeItWasMadeWith)
{
    const OVColors before;
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    const OVColors after;
    EXPECT_EQ(before.t.id, OVThemes::groveID);
    EXPECT_EQ(after.t.id, OVThemes::cedarID);
    EXPECT_EQ(before.bg(), QNMRThemes::named(OVThemes::groveID).bg.color());
    EXPECT_NE(before.bg(), after.bg());
}
