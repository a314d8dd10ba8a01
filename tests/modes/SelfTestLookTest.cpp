#include "modes/SelfTestLook.h"

#include <gtest/gtest.h>

TEST(SelfTestLookPredicates, ScreenTopics)
{
    const QList<QNMRHelpTopic> topics = {{"screen-today", "T", "b", {}},
                                         {"screen-plants", "P", "b", {}}};
    EXPECT_TRUE(OVSelfTest::everyScreenHasTopic({}, {}));
    EXPECT_TRUE(OVSelfTest::everyScreenHasTopic({Screen::today, Screen::plants}, topics));
    EXPECT_FALSE(OVSelfTest::everyScreenHasTopic({Screen::today, Screen::seeds}, topics));
    EXPECT_FALSE(OVSelfTest::everyScreenHasTopic({Screen::today}, {{"today", "T", "b", {}}}));
}

TEST(SelfTestLookPredicates, MakerNamedOnlyInFull)
{
    EXPECT_TRUE(OVSelfTest::makerNamedInFull("by Quenmoor Softworks (QNMR)"));
    EXPECT_TRUE(OVSelfTest::makerNamedInFull(""));
    EXPECT_FALSE(OVSelfTest::makerNamedInFull("Quenmoor Softworks and Quenmoor"));
    EXPECT_FALSE(OVSelfTest::makerNamedInFull("QuenmoorSoftworks"));
    EXPECT_TRUE(OVSelfTest::makerNamedInFull("quenmoor")); // the check is case-sensitive
}

