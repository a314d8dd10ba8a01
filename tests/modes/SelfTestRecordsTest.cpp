#include "modes/SelfTestRecords.h"

#include "store/OVStore.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <string>

// A folder in the way of the store file: the heading, one failure, nothing else, and
// the shared store is left alone.
TEST(SelfTestRecordsGroup, StoreThatDoesNotOpenGivesOneLine)
{
    testsupport::ScratchDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("records.sqlite")));
    OVStore* const sharedBefore = OVStore::shared();

    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::recordTests(run, dir.path());
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(out, "== Records: create, edit and delete for every type, with validation\n"
                   "FAIL  store opens\n");
    EXPECT_EQ(run.passed, 0);
    EXPECT_EQ(run.failed, 1);
    EXPECT_EQ(OVStore::shared(), sharedBefore);
}
