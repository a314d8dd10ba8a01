#include "app/OVSetup.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "modes/SelfTestLook.h"
#include "records/OVPrefs.h"

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

TEST(SelfTestLookGroup, PassesAndLeavesTheKeysAsDocumented)
{
    OVSetup::configure();
    OVPrefs::setValue(QNZoom::key, 1.75);
    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::lookAndHelpTests(run);
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(run.failed, 0) << out;
    EXPECT_EQ(run.passed, 26) << out;
    EXPECT_EQ(out.rfind("== Look: themes and zoom; Help; QNMR wording\n", 0), 0u);
    EXPECT_NE(out.find("PASS  QNMR Kit's 6 themes plus 2 redwood themes: Cobalt Gunmetal, Candy "
                       "Red Titanium, Rose Gold, Lavender Pearl, Midnight Black, Brushed Gray, "
                       "Redwood Grove, Cedar Sunrise\n"),
              std::string::npos);
    EXPECT_NE(out.find("PASS  interface zoom limited to 85%–200% (asked 300% → 200%, 50% → 85%)\n"),
              std::string::npos);
    EXPECT_NE(out.find("PASS  name shows QNMR; credit and link to quenmoor.example\n"),
              std::string::npos);
    EXPECT_FALSE(OVPrefs::contains(QNZoom::key));
    EXPECT_EQ(QNMRThemes::currentID(), "cedar-sunrise");
}
