#include "modes/SelfTestCSV.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <string>

// A folder in the way of the store file: the two codec checks still run, then one
// failure and the group ends.
TEST(SelfTestCSVGroup, StoreThatDoesNotOpenEndsTheGroup)
{
    testsupport::ScratchDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("csv.sqlite")));
    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::csvTests(run, dir.path());
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(run.passed, 2) << out;
    EXPECT_EQ(run.failed, 1) << out;
    EXPECT_NE(out.find("FAIL  store opens\n"), std::string::npos) << out;
}
