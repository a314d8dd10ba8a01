#include "modes/SelfTestAlerts.h"

#include "records/OVPrefs.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <string>

// The nine probe checks need no store; a store that does not open ends the group
// before the unit preference is touched.
TEST(SelfTestAlertsGroup, StoreThatDoesNotOpenEndsAfterTheProbes)
{
    testsupport::ScratchDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("alerts.sqlite")));
    OVPrefs::remove(OVPrefs::unitKey);

    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::alertTests(run, dir.path());
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(run.passed, 9) << out;
    EXPECT_EQ(run.failed, 1) << out;
    EXPECT_NE(out.find("PASS  alert text explains what is wrong\nFAIL  store opens\n"), std::string::npos) << out;
    EXPECT_FALSE(OVPrefs::contains(OVPrefs::unitKey));
}
