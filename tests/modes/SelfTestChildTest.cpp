// The self-check's child modes, run as the real program, and its launcher.

#include "modes/SelfTestChild.h"
#include "modes/SelfTestImage.h"
#include "modes/SelfTestLauncher.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QImage>
#include <gtest/gtest.h>

using testsupport::ScratchDir;

namespace {

OVSelfTest::ChildResult program(const QStringList& arguments)
{
    return OVSelfTest::runChild(arguments, QStringLiteral(ORVANE_BINARY), 60000);
}

QStringList lines(const QString& output)
{
    return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(SelfTestChildRead, NewPathIsAnEmptyStore)
{
    ScratchDir dir;
    const OVSelfTest::ChildResult read = program({QStringLiteral("--ov-child-read"), dir.file(QStringLiteral("NEW.sqlite"))});
    EXPECT_EQ(read.exitCode, 0);
    QStringList expected;
    for (const QString& table : OVStore::tables)
        expected.append(QStringLiteral("COUNT|") + table + QStringLiteral("|0"));
    expected.append(QStringLiteral("DIGEST|e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    EXPECT_EQ(lines(read.output), expected);
    EXPECT_TRUE(read.output.endsWith(QLatin1Char('\n')));
}

TEST(SelfTestChildRead, TextFileIsRefusedSilentlyAndKept)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("notes.txt"));
    ASSERT_TRUE(testsupport::writeAll(path, "plain text, not a database\n"));
    const OVSelfTest::ChildResult read = program({QStringLiteral("--ov-child-read"), path});
    EXPECT_EQ(read.exitCode, 3);
    EXPECT_TRUE(read.output.isEmpty());
    EXPECT_EQ(testsupport::readAll(path), QByteArray("plain text, not a database\n"));

    const OVSelfTest::ChildResult write = program({QStringLiteral("--ov-child-write"), path});
    EXPECT_EQ(write.exitCode, 3);
    EXPECT_TRUE(write.output.isEmpty());
}

TEST(SelfTestChildWrite, TwoWritersGiveTwoRowsPerTable)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("twice.sqlite"));
    const OVSelfTest::ChildResult first = program({QStringLiteral("--ov-child-write"), path});
    const OVSelfTest::ChildResult second = program({QStringLiteral("--ov-child-write"), path});
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(second.exitCode, 0);
    ASSERT_EQ(lines(second.output).size(), 1);
    EXPECT_TRUE(second.output.startsWith(QLatin1String("DIGEST|")));

    const OVSelfTest::ChildResult read = program({QStringLiteral("--ov-child-read"), path});
    EXPECT_EQ(read.exitCode, 0);
    const QStringList got = lines(read.output);
    for (const QString& table : OVStore::tables)
        EXPECT_TRUE(got.contains(QStringLiteral("COUNT|") + table + QStringLiteral("|2"))) << table.toStdString();
    EXPECT_EQ(got.last(), lines(second.output).first());
}

// A write that fails part-way reports the error in its own form and keeps what it
// had written.
TEST(SelfTestChildWrite, FailureAfterOpeningIsReported)
{
    ScratchDir dir;
    const QString path = dir.file(QStringLiteral("guarded.sqlite"));
    {
        OVStore store(path);
        store.db().exec(QStringLiteral(
            "CREATE TRIGGER no_photos BEFORE INSERT ON photo BEGIN SELECT RAISE(ABORT, 'photos are off'); END"));
    }
    const OVSelfTest::ChildResult write = program({QStringLiteral("--ov-child-write"), path});
    EXPECT_EQ(write.exitCode, 4);
    EXPECT_EQ(write.output, QStringLiteral("ERROR|database(\"photos are off\")\n"));
    OVStore store(path);
    EXPECT_EQ(store.count(QStringLiteral("plant")), 1);
    EXPECT_EQ(store.count(QStringLiteral("photo")), 0);
}

TEST(SelfTestChildDispatch, NoChildFlagNoChild)
{
    EXPECT_FALSE(OVSelfTest::handleChild({}).has_value());
    EXPECT_FALSE(OVSelfTest::handleChild({QStringLiteral("orvane"), QStringLiteral("--ov-child-write=x.sqlite")})
                     .has_value());
    EXPECT_FALSE(OVSelfTest::handleChild({QStringLiteral("orvane"), QStringLiteral("--ov-child-read")}).has_value());
}

TEST(SelfTestLauncher, ReportsWhatTheChildDid)
{
    EXPECT_EQ(OVSelfTest::runChild({QStringLiteral("-c"), QStringLiteral("echo hi; echo err >&2; exit 7")},
                                   QStringLiteral("/bin/sh"))
                  .exitCode,
              7);
    const OVSelfTest::ChildResult echoed =
        OVSelfTest::runChild({QStringLiteral("-c"), QStringLiteral("echo hi; echo err >&2")}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(echoed.output, QStringLiteral("hi\n")); // standard error is discarded

    const OVSelfTest::ChildResult garbled =
        OVSelfTest::runChild({QStringLiteral("-c"), QStringLiteral("printf '\\377\\376'; exit 2")}, QStringLiteral("/bin/sh"));
    EXPECT_EQ(garbled.exitCode, 2);
    EXPECT_TRUE(garbled.output.isEmpty());

    const OVSelfTest::ChildResult missing = OVSelfTest::runChild({}, QStringLiteral("/nonexistent/orvane"));
    EXPECT_EQ(missing.exitCode, OVSelfTest::childNotStarted);
}

TEST(SelfTestLauncher, HungChildIsStoppedAtTheTimeLimit)
{
    const OVSelfTest::ChildResult hung =
        OVSelfTest::runChild({QStringLiteral("30")}, QStringLiteral("/bin/sleep"), 300);
    EXPECT_EQ(hung.exitCode, OVSelfTest::childTimedOut);
    EXPECT_TRUE(hung.output.isEmpty());
}

TEST(SelfTestImage, SameEightByEightPictureEveryTime)
{
    const QByteArray png = OVSelfTest::testImageData();
    EXPECT_EQ(png, OVSelfTest::testImageData());
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    const QImage image = QImage::fromData(png);
    EXPECT_EQ(image.size(), QSize(8, 8));
}
