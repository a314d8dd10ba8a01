#include "modes/SelfTestBackup.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <string>

// The group's folder cannot hold a store: the heading and one failure, nothing else.
TEST(SelfTestBackupGroup, StoreThatDoesNotOpenGivesOneLine)
{
    testsupport::ScratchDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("backup-test/Greenhouse.sqlite")));

    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::backupTests(run, dir.path());
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(out, "== Backup and restore\nFAIL  store opens\n");
    EXPECT_EQ(run.failed, 1);
    EXPECT_EQ(run.passed, 0);
}
