#include "modes/OVSnapshot.h"

#include "kit/KitMetrics.h"
#include "kit/KitStyle.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "records/OVPrefs.h"
#include "services/NetStatus.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <poppler-qt6.h>

using testsupport::ScratchDir;

namespace {

struct SnapshotRun {
    int code = -1;
    QStringList lines;
};

SnapshotRun snapshot(const QString& folder)
{
    SnapshotRun r;
    r.code = OVSnapshot::run(folder, [&](const QString& line) { r.lines.append(line); });
    return r;
}

QString pdfText(const QString& path)
{
    const QByteArray bytes = testsupport::readAll(path);
    std::unique_ptr<Poppler::Document> doc(Poppler::Document::loadFromData(bytes));
    if (!doc || doc->numPages() < 1)
        return {};
    std::unique_ptr<Poppler::Page> page(doc->page(0));
    return page ? page->text(QRectF()) : QString();
}

// Mean luminance of a rectangle of the image, 0…255.
double meanLuma(const QImage& image, const QRect& area)
{
    double sum = 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2)
        for (int x = area.left(); x <= area.right(); x += 2) {
            const QRgb c = image.pixel(x, y);
            sum += 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c);
            ++n;
        }
    return n ? sum / n : 0;
}

} // namespace

TEST(Snapshot, AskedForOnlyWithAFolderAfterTheFlag)
{
    EXPECT_EQ(OVSnapshot::handle({"orvane"}), std::nullopt);
    EXPECT_EQ(OVSnapshot::handle({"orvane", "--ov-snapshot"}), std::nullopt);
    EXPECT_EQ(OVSnapshot::handle({"orvane", "--OV-SNAPSHOT", "x"}), std::nullopt);
    EXPECT_FALSE(OVPrefs::contains(QNMRThemes::key));
    EXPECT_EQ(OVStore::shared(), nullptr);
}

// One whole run: every file in order, the user's look settings and settings file put
// back byte for byte, the sample store left in the folder, the PDF readable.
TEST(Snapshot, WritesEveryFileInOrderAndPutsTheSettingsBack)
{
    OVPrefs::setValue(QNMRThemes::key, "rose-gold");
    OVPrefs::setValue(OVPrefs::unitKey, "C");
    OVPrefs::setValue(QNZoom::key, 1.3);
    OVPrefs::setValue("ov.other", "kept");
    OVPrefs::sync();
    const QByteArray settingsBefore = testsupport::readAll(OVPrefs::settingsFilePath());
    ASSERT_FALSE(settingsBefore.isEmpty());

    ScratchDir scratch;
    const QString out = scratch.file("deeper/out"); // made with its parents
    const SnapshotRun run = snapshot(out);
    EXPECT_EQ(run.code, 0) << run.lines.join("\n").toStdString();
    // Drop-downs, check boxes and date boxes are drawn as the window draws them.
    EXPECT_NE(dynamic_cast<KitStyle*>(QApplication::style()), nullptr);

    QStringList expected;
    for (const OVSnapshot::Shot& s : OVSnapshot::shots())
        expected.append(s.name + ".png");
    expected += {"30-editor-plant.png", "31-editor-zone-alerts.png", "32-editor-maintenance-task.png",
                 "33-help-start.png", "40-cost-report.pdf"};
    QStringList written;
    const QRegularExpression line(R"(^wrote (\S+)(?: (\d+)x(\d+))?$)");
    for (const QString& l : run.lines) {
        const auto m = line.match(l);
        ASSERT_TRUE(m.hasMatch()) << l.toStdString();
        written.append(m.captured(1));
        if (QRegularExpression("^[0-2]\\d-").match(m.captured(1)).hasMatch()) {
            EXPECT_EQ(m.captured(2), "1380") << l.toStdString();
        }
        if (m.captured(1).endsWith(".png")) {
            const QImage img(QDir(out).filePath(m.captured(1)));
            EXPECT_EQ(QString("%1x%2").arg(img.width()).arg(img.height()),
                      m.captured(2) + "x" + m.captured(3));
        }
    }
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(run.lines.contains("wrote 33-help-start.png 1000x760"));

    // Screen shots show the window's side rail: the left 236 points are shaded darker
    // than the wood beside them, and the rail marks the shot's own screen, so two
    // shots of different screens in one theme differ there.
    QMap<QString, QImage> rails;
    for (const OVSnapshot::Shot& s : OVSnapshot::shots()) {
        const QImage img(QDir(out).filePath(s.name + ".png"));
        ASSERT_FALSE(img.isNull()) << s.name.toStdString();
        const QRect railTop(0, 0, 236, 16);
        const QRect woodTop(300, 0, 236, 16);
        EXPECT_LT(meanLuma(img, railTop), meanLuma(img, woodTop) - 3) << s.name.toStdString();
        const QImage rail = img.copy(0, 0, 236, 700);
        for (const OVSnapshot::Shot& other : OVSnapshot::shots())
            if (rails.contains(other.name) && other.theme == s.theme && other.screen != s.screen) {
                EXPECT_NE(rails.value(other.name), rail) << s.name.toStdString() << " vs " << other.name.toStdString();
            }
        rails.insert(s.name, rail);
    }
    EXPECT_EQ(run.lines.last(), "wrote 40-cost-report.pdf");

    EXPECT_EQ(testsupport::readAll(OVPrefs::settingsFilePath()), settingsBefore);
    EXPECT_EQ(QNMRThemes::currentID(), "rose-gold");
    EXPECT_EQ(QNZoom::value(), 1.3);
    EXPECT_EQ(KitMetrics::zoom(), 1.0); // renders never took the stored zoom
    EXPECT_TRUE(QFile::exists(QDir(out).filePath("snapshot-sample.sqlite")));
    EXPECT_EQ(NetStatus::override, std::optional<bool>(true));

    const QString text = pdfText(QDir(out).filePath("40-cost-report.pdf"));
    EXPECT_TRUE(text.contains("Cost per harvest")) << text.toStdString();
    EXPECT_TRUE(text.contains("Sample data")) << text.toStdString();
}

// M13: a file that cannot be written is reported and fails the run, which goes on;
// a stale database's side files are removed before the sample store is made.
TEST(Snapshot, UnwritableFilesFailTheRunAndStaleSideFilesGo)
{
    ScratchDir scratch;
    const QString out = scratch.path();
    // Folders where the files should go: no write can succeed, even as root.
    QDir(out).mkdir("01-today.png");
    QDir(out).mkdir("40-cost-report.pdf");
    testsupport::writeAll(scratch.file("snapshot-sample.sqlite"), "old");
    for (const char* side : {"-journal", "-wal", "-shm"})
        testsupport::writeAll(scratch.file(QString("snapshot-sample.sqlite") + side), "stale side file");

    const SnapshotRun run = snapshot(out);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.lines.first(), "could not write 01-today.png");
    EXPECT_EQ(run.lines.last(), "could not write 40-cost-report.pdf");
    EXPECT_EQ(run.lines.filter("could not").size(), 2);
    EXPECT_EQ(run.lines.filter(QRegularExpression("^wrote ")).size(), 25); // the rest went on
    for (const char* side : {"-journal", "-wal", "-shm"})
        EXPECT_NE(testsupport::readAll(scratch.file(QString("snapshot-sample.sqlite") + side)),
                  "stale side file")
            << side;
    EXPECT_FALSE(OVPrefs::contains(QNMRThemes::key));
    EXPECT_FALSE(OVPrefs::contains(OVPrefs::unitKey));
    EXPECT_FALSE(QFile::exists(OVPrefs::settingsFilePath()));
}

TEST(Snapshot, StoreThatCannotBeMadeEndsTheRunWithSettingsBack)
{
    ScratchDir scratch;
    // A file where the folder should be: neither the folder nor the store can be made.
    testsupport::writeAll(scratch.file("taken"), "x");
    const SnapshotRun run = snapshot(scratch.file("taken"));
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.lines, QStringList({"could not open sample database"}));
    EXPECT_FALSE(OVPrefs::contains(QNMRThemes::key));
    EXPECT_FALSE(QFile::exists(OVPrefs::settingsFilePath()));
}

// When the settings file's old bytes cannot be written back, the look settings the
// run changed still hold the user's values: they are put back one by one first.
TEST(Snapshot, SettingsComeBackWhenTheFileCannotBeRewritten)
{
    OVPrefs::setValue(QNMRThemes::key, "rose-gold");
    OVPrefs::setValue(OVPrefs::unitKey, "C");
    OVPrefs::setValue(QNZoom::key, 1.3);
    OVPrefs::sync();
    const auto real = OVSnapshot::rewriteFile;
    int rewrites = 0;
    OVSnapshot::rewriteFile = [&](const QString&, const QByteArray&) {
        ++rewrites;
        return false;
    };
    ScratchDir scratch;
    const SnapshotRun run = snapshot(scratch.path());
    OVSnapshot::rewriteFile = real;

    EXPECT_EQ(run.code, 0) << run.lines.join("\n").toStdString();
    EXPECT_EQ(rewrites, 1);
    EXPECT_EQ(OVPrefs::stringValue(OVPrefs::unitKey), std::optional<QString>("C"));
    EXPECT_EQ(QNMRThemes::currentID(), "rose-gold");
    EXPECT_EQ(QNZoom::value(), 1.3);
    // And in the file itself, as a later start reads it.
    const QString file = QString::fromUtf8(testsupport::readAll(OVPrefs::settingsFilePath()));
    EXPECT_TRUE(file.contains("tempUnit=C")) << file.toStdString();
}
