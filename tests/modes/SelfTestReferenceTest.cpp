#include "modes/SelfTestReference.h"
#include "services/ReferenceLibrary.h"

#include "TestSupport.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Runs the group on a library and returns its lines without the heading.
QStringList runGroup(const ReferenceLibrary& lib, OVTestRun& run)
{
    testing::internal::CaptureStdout();
    OVSelfTest::referenceTests(run, lib);
    std::fflush(stdout);
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_FALSE(lines.isEmpty());
    if (!lines.isEmpty()) {
        EXPECT_EQ(lines.takeFirst(),
                  QStringLiteral("== Crop Library and video list (bundled data, sources, no invented numbers)"));
    }
    return lines;
}

} // namespace

// A data folder without the three files: the checks that need data fail, the ones
// about "every" entry hold, and nothing crashes.
TEST(SelfTestReferenceGroup, EmptyLibraryFailsWithoutCrashing)
{
    testsupport::ScratchDir dir;
    const ReferenceLibrary empty(dir.path());
    OVTestRun run;
    const QStringList lines = runGroup(empty, run);
    ASSERT_EQ(lines.size(), 23);
    const QList<int> failing{1, 2, 3, 12, 13, 14, 16, 17, 18, 19};
    for (int i = 1; i <= 23; ++i) {
        const bool shouldFail = failing.contains(i);
        EXPECT_EQ(lines[i - 1].startsWith(QStringLiteral("FAIL  ")), shouldFail)
            << "check " << i << ": " << lines[i - 1].toStdString();
    }
    EXPECT_EQ(run.failed, failing.size());
    EXPECT_EQ(lines[0], QStringLiteral("FAIL  all 3 data files load with no bad rows: reference-sources.csv 0/0, "
                                       "reference-crops.csv 0/0, videos.csv 0/0"));
    EXPECT_EQ(lines[2], QStringLiteral("FAIL  34 sources: 0"));
}

// One bad value fails exactly the check that guards it.
TEST(SelfTestReferenceGroup, OneWrongSourceDateFailsCheckSixAlone)
{
    testsupport::ScratchDir dir;
    for (const char* name : {"reference-crops.csv", "videos.csv"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(ORVANE_SOURCE_DATA_DIR "/") + QLatin1String(name),
                                dir.file(QLatin1String(name))));
    QByteArray sources = testsupport::readAll(QStringLiteral(ORVANE_SOURCE_DATA_DIR "/reference-sources.csv"));
    const qsizetype at = sources.lastIndexOf("2026-12-06");
    ASSERT_GT(at, 0);
    sources.replace(at, 10, "2026-12-6"); // the same day, written differently
    ASSERT_TRUE(testsupport::writeAll(dir.file(QStringLiteral("reference-sources.csv")), sources));

    const ReferenceLibrary lib(dir.path());
    OVTestRun run;
    const QStringList lines = runGroup(lib, run);
    ASSERT_EQ(lines.size(), 23);
    EXPECT_EQ(run.failed, 1);
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("FAIL  every source is a university extension web page")));
}
