#include "modes/SelfTestVideoNotify.h"

#include "services/NetStatus.h"
#include "services/Opener.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <string>

// The watching checks run before the store is needed; a store that does not open
// ends the group with the network override already handed back.
TEST(SelfTestVideoNotifyGroup, StoreThatDoesNotOpenEndsAfterTheWatchingChecks)
{
    testsupport::ScratchDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("notify.sqlite")));
    const Opener::Handler savedOpener = Opener::open;
    QList<QUrl> recorded;
    Opener::open = [&recorded](const QUrl& url) { recorded.append(url); };

    OVTestRun run;
    testing::internal::CaptureStdout();
    OVSelfTest::videoAndNotifyTests(
        run, dir.path(), [&recorded] { return recorded; }, [&recorded] { recorded.clear(); });
    const std::string out = testing::internal::GetCapturedStdout();
    Opener::open = savedOpener;

    EXPECT_EQ(run.passed, 3) << out;
    EXPECT_EQ(run.failed, 1) << out;
    EXPECT_NE(out.find("FAIL  store opens\n"), std::string::npos) << out;
    EXPECT_FALSE(NetStatus::override.has_value());
    // Only the online check opened anything, and only once.
    EXPECT_EQ(recorded.size(), 1);
}
