#include "modes/OVMutation.h"
#include "modes/OVSelfTest.h"
#include "modes/SelfTestPrefs.h"
#include "records/OVPrefs.h"

#include "TestSupport.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>

TEST(OVMutationParse, BlanksCommasAndDuplicates)
{
    EXPECT_TRUE(OVMutation::parse(QString()).isEmpty());
    EXPECT_EQ(OVMutation::parse(QStringLiteral(" a , ,b,,")),
              (QSet<QString>{QStringLiteral("a"), QStringLiteral("b"), QString()}));
    EXPECT_EQ(OVMutation::parse(QStringLiteral("x,x,\tx ")), QSet<QString>{QStringLiteral("x")});
    // Line breaks are not blanks: they stay part of the name.
    EXPECT_EQ(OVMutation::parse(QStringLiteral("a\n")), QSet<QString>{QStringLiteral("a\n")});
}

TEST(OVSelfTestHeader, QuotesTheRawMutationText)
{
    const QDateTime when(QDate(2026, 12, 5), QTime(14, 8, 13), Qt::UTC);
    EXPECT_EQ(OVSelfTest::headerLine(when, QString()),
              QStringLiteral("QNMR Orvane self-test — 2026-12-05T14:08:13Z"));
    EXPECT_EQ(OVSelfTest::headerLine(when, QStringLiteral(" a , ,b,,")),
              QStringLiteral("QNMR Orvane self-test — 2026-12-05T14:08:13Z — MUTATION \" a , ,b,,\": "
                             "failures are EXPECTED"));
}

TEST(OVSelfTestNear, Tolerance)
{
    EXPECT_FALSE(OVSelfTest::near(std::nullopt, 5));
    EXPECT_TRUE(OVSelfTest::near(5.0000005, 5));
    EXPECT_FALSE(OVSelfTest::near(5.000002, 5));
    EXPECT_TRUE(OVSelfTest::near(5.04, 5, 0.05));
    EXPECT_FALSE(OVSelfTest::near(std::nan(""), 5));
}

TEST(OVSelfTestSummary, FailureCountsAndExitCode)
{
    OVTestRun run;
    testing::internal::CaptureStdout();
    run.begin(QStringLiteral("Group"));
    run.check(true, QStringLiteral("held"));
    run.check(false, QStringLiteral("broke — on purpose"));
    run.check(true, QStringLiteral("held again"));
    const int code = OVSelfTest::finish(run);
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(out, "== Group\nPASS  held\nFAIL  broke — on purpose\nPASS  held again\n"
                   "1 FAILED, 2 passed\n");

    OVTestRun clean;
    clean.check(true, QStringLiteral("ok"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(OVSelfTest::finish(clean), 0);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ALL 1 CHECKS PASSED\n");
}

TEST(SelfTestPrefsRestore, SettingsFileIsLeftAsItWas)
{
    // A user with some keys set and others absent.
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    OVPrefs::setValue(OVPrefs::remindersKey, false);
    OVPrefs::setValue(QStringLiteral("qnmr.zoom"), 1.25);
    OVPrefs::sync();
    const QByteArray before = testsupport::readAll(OVPrefs::settingsFilePath());
    ASSERT_FALSE(before.isEmpty());

    SelfTestPrefs saved;
    saved.saveAndPrepare();
    EXPECT_FALSE(OVPrefs::useCelsius());
    EXPECT_TRUE(OVPrefs::remindersOn());
    OVPrefs::setValue(QStringLiteral("qnmr.theme"), QStringLiteral("other"));
    OVPrefs::setValue(QStringLiteral("qnmr.zoom"), 2.0);
    saved.restore();

    EXPECT_EQ(testsupport::readAll(OVPrefs::settingsFilePath()), before);
    EXPECT_FALSE(OVPrefs::contains(QStringLiteral("qnmr.theme")));
    EXPECT_FALSE(OVPrefs::contains(OVPrefs::alertsKey));
    EXPECT_TRUE(OVPrefs::useCelsius());
    EXPECT_FALSE(OVPrefs::remindersOn());
}

TEST(SelfTestPrefsRestore, NoSettingsFileBeforeMeansNoneAfter)
{
    ASSERT_FALSE(QFile::exists(OVPrefs::settingsFilePath()));
    SelfTestPrefs saved;
    saved.saveAndPrepare();
    OVPrefs::sync();
    EXPECT_TRUE(QFile::exists(OVPrefs::settingsFilePath()));
    saved.restore();
    EXPECT_FALSE(QFile::exists(OVPrefs::settingsFilePath()));
    EXPECT_FALSE(OVPrefs::contains(OVPrefs::unitKey));
}

// A settings file that existed is never deleted or shortened: when its bytes could not
// be read before the run, the keys are put back through the settings instead.
TEST(SelfTestPrefsRestore, UnreadableFileIsKeptAndItsKeysPutBack)
{
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    OVPrefs::setValue(QStringLiteral("someone.else"), QStringLiteral("keep me"));
    OVPrefs::sync();
    const QString path = OVPrefs::settingsFilePath();
    const qsizetype before = testsupport::readAll(path).size();
    ASSERT_GT(before, 0);

    const auto realRead = SelfTestPrefs::readFile;
    SelfTestPrefs::readFile = [](const QString&) { return std::optional<QByteArray>(); };
    SelfTestPrefs saved;
    saved.saveAndPrepare();
    SelfTestPrefs::readFile = realRead;
    EXPECT_FALSE(OVPrefs::useCelsius());
    saved.restore();

    ASSERT_TRUE(QFile::exists(path));
    EXPECT_GE(testsupport::readAll(path).size(), before);
    EXPECT_TRUE(OVPrefs::useCelsius());
    EXPECT_EQ(OVPrefs::value(QStringLiteral("someone.else")).toString(), QStringLiteral("keep me"));
    EXPECT_FALSE(OVPrefs::contains(OVPrefs::alertsKey));
}
