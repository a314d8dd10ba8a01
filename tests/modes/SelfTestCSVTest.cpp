#include "modes/SelfTestCSV.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <string>

TEST(SelfTestCSVGroup, AllChecksPassOnAScratchFolder)
{
    testsupport::ScratchDir dir;
    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::csvTests(run, dir.path());
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(run.failed, 0) << out;
    EXPECT_EQ(run.passed, 21) << out;
    EXPECT_EQ(out.rfind("== Climate CSV import (good rows, bad rows, units, duplicates)\n", 0), 0u) << out;
    EXPECT_NE(out.find("PASS  bad rows listed with their line numbers: [6, 7, 8, 9, 10]\n"), std::string::npos);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("csv.sqlite"))));
}

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
