// The Settings & Backup and Reports screens over a scratch store: backup, restore
// and export with injected file dialogs, the settings switches, the counts, the
// report tables and their files.

#include "app/AppCommands.h"
#include "app/ScreenFactory.h"
#include "kit/OVLabel.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "records/OVPrefs.h"
#include "kit/SegmentedPicker.h"
#include "screens/settings/ReportTable.h"
#include "screens/settings/ReportsView.h"
#include "screens/settings/SettingsView.h"
#include "services/AppModel.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "store/OVStore.h"
#include "store/SQLiteDB.h"
#include "JobTestSupport.h"
#include "TestSupport.h"

#include <poppler-qt6.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace {

using testsupport::ScratchDir;

// Dialog answers for one test; the real backend comes back afterwards.
class FakePanels {
public:
    FakePanels() : m_saved(FilePanels::backend())
    {
        FilePanels::backend().save = [this](const QString& name, const QList<FileType>&) {
            suggested = name;
            return saveAnswer;
        };
        FilePanels::backend().open = [this](const QList<FileType>&, const QString&) { return openAnswer; };
        FilePanels::backend().folder = [this](const QString&) { return folderAnswer; };
        FilePanels::backend().reveal = [this](const QString& path) { revealed << path; };
    }
    ~FakePanels() { FilePanels::backend() = m_saved; }

    std::optional<QString> saveAnswer, openAnswer, folderAnswer;
    QString suggested;
    QStringList revealed;

private:
    FilePanels::Backend m_saved;
};

class SettingsScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(store.get());
        AppModel::shared().clearMessage();
        AppModel::shared().setConfirm(std::nullopt);
        OVNotify::enabled = false;
    }
    void TearDown() override
    {
        OVStore::setShared(nullptr);
        OVNotify::enabled = true;
    }
    QString message() const { return AppModel::shared().message().value_or(QString()); }

    ScratchDir dir;
    std::unique_ptr<OVStore> store;
    FakePanels panels;
};

QStringList allTexts(QWidget* root)
{
    QStringList out;
    for (QLabel* l : root->findChildren<QLabel*>())
        out << l->text();
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>())
        out << b->text() << b->toolTip();
    for (QNChromeButton* b : root->findChildren<QNChromeButton*>())
        out << b->title();
    return out;
}

} // namespace

TEST_F(SettingsScreens, BackupNowSuggestsTheDayAndRefusesTheOpenDatabase)
{
    SampleData::add(*store);
    const QString digest = store->digest();
    EXPECT_EQ(SettingsView::backupName(OVDay(2026, 3, 14)), QStringLiteral("Greenhouse backup 2026-03-14.ovbackup"));

    panels.saveAnswer = dir.file(QStringLiteral("b.ovbackup"));
    SettingsView::backupNow();
    testsupport::finishJobs();
    EXPECT_EQ(panels.suggested, SettingsView::backupName());
    EXPECT_EQ(message(), QStringLiteral("Backup saved:\n") + *panels.saveAnswer);
    EXPECT_EQ(panels.revealed, QStringList{*panels.saveAnswer});
    EXPECT_TRUE(QFile::exists(*panels.saveAnswer));

    // The open database itself is refused and stays as it was.
    panels.saveAnswer = store->path();
    SettingsView::backupNow();
    testsupport::finishJobs();
    EXPECT_EQ(message(), QStringLiteral("The backup could not be saved: choose a file other than the open database."));
    EXPECT_EQ(store->digest(), digest);

    // A cancelled dialog says nothing.
    AppModel::shared().clearMessage();
    panels.saveAnswer.reset();
    SettingsView::backupNow();
    testsupport::finishJobs();
    EXPECT_FALSE(AppModel::shared().message());
}

TEST_F(SettingsScreens, RestoreRefusesWhatIsNotABackupAndAsksBeforeReplacing)
{
    SampleData::add(*store);
    panels.saveAnswer = dir.file(QStringLiteral("good.ovbackup"));
    SettingsView::backupNow();
    testsupport::finishJobs();
    const QString backupDigest = store->digest();
    store->db().exec(QStringLiteral("DELETE FROM greenhouse")); store->changed();
    const QString before = store->digest();
    ASSERT_NE(before, backupDigest);
    SettingsView view(*store, AppModel::shared());

    QFile text(dir.file(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just some words\n");
    text.close();
    {
        SQLiteDB foreign(dir.file(QStringLiteral("foreign.sqlite")));
        foreign.exec(QStringLiteral("CREATE TABLE notes(x TEXT)"));
    }
    for (const QString& bad : {text.fileName(), dir.file(QStringLiteral("foreign.sqlite")),
                               dir.file(QStringLiteral("missing.ovbackup"))}) {
        AppModel::shared().clearMessage();
        panels.openAnswer = bad;
        view.restore();
        testsupport::finishJobs();
        EXPECT_TRUE(message().startsWith(QStringLiteral("This file can't be restored: "))) << bad.toStdString();
        EXPECT_FALSE(AppModel::shared().confirm());
        EXPECT_EQ(store->digest(), before);
    }

    panels.openAnswer = *panels.saveAnswer;
    view.restore();
    testsupport::finishJobs();
    ASSERT_TRUE(AppModel::shared().confirm());
    const ConfirmRequest request = *AppModel::shared().confirm();
    EXPECT_EQ(request.title, QStringLiteral("Restore this backup?"));
    EXPECT_EQ(request.button, QStringLiteral("Restore"));
    EXPECT_TRUE(request.message.startsWith(QStringLiteral("It holds 1 greenhouse(s), ")));
    EXPECT_EQ(store->digest(), before) << "nothing changes before the answer";

    request.action();
    testsupport::finishJobs();
    EXPECT_EQ(store->digest(), backupDigest);
    ASSERT_TRUE(message().startsWith(QStringLiteral("Restored. Your previous records were saved as:\n")));
    const QString safety = message().section(QLatin1Char('\n'), 1);
    EXPECT_TRUE(QFileInfo(safety).fileName().startsWith(QStringLiteral("Before restore ")));
    EXPECT_TRUE(QFile::exists(safety));
}

TEST_F(SettingsScreens, ExportWritesTheDatedFolderAndReplacesItTheSameDay)
{
    SampleData::add(*store);
    panels.folderAnswer = dir.path();
    SettingsView::chooseFolderAndExportAll();
    testsupport::finishJobs();
    const QString target = QDir(dir.path()).filePath(QStringLiteral("QNMR Orvane export ") + OVDay::today().iso());
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), Exporter::fileNames().size());
    EXPECT_TRUE(message().endsWith(target));

    const QByteArray first = testsupport::readAll(QDir(target).filePath(Exporter::fileNames().first()));
    store->db().exec(QStringLiteral("DELETE FROM greenhouse")); store->changed();
    SettingsView::chooseFolderAndExportAll();
    testsupport::finishJobs();
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), Exporter::fileNames().size());
    EXPECT_NE(testsupport::readAll(QDir(target).filePath(Exporter::fileNames().first())), first);

    // A folder that cannot be made is reported, nothing revealed.
    panels.revealed.clear();
    QFile blocker(dir.file(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    panels.folderAnswer = blocker.fileName();
    SettingsView::chooseFolderAndExportAll();
    testsupport::finishJobs();
    EXPECT_TRUE(message().startsWith(QStringLiteral("The export could not be written: ")));
    EXPECT_TRUE(panels.revealed.isEmpty());
}

TEST_F(SettingsScreens, SwitchesChangeSettingsOnlyAndCountsAreReal)
{
    SettingsView view(*store, AppModel::shared());
    EXPECT_EQ(view.countsText(), QStringLiteral("0 plants · 0 readings · 0 harvests · 0 photos"));
    SampleData::add(*store);
    const QString digest = store->digest();
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(view.countsText(),
              QString::number(store->count(QStringLiteral("plant"))) + QStringLiteral(" plants · ")
                  + QString::number(store->count(QStringLiteral("reading"))) + QStringLiteral(" readings · ")
                  + QString::number(store->count(QStringLiteral("harvest"))) + QStringLiteral(" harvests · ")
                  + QString::number(store->count(QStringLiteral("photo"))) + QStringLiteral(" photos"));

    // The unit changes the display only.
    const qint64 revision = store->revision();
    emit view.unitPicker()->activated(1);
    EXPECT_TRUE(OVPrefs::useCelsius());
    EXPECT_EQ(store->revision(), revision + 1);
    EXPECT_EQ(store->digest(), digest);
    emit view.unitPicker()->activated(0);
    EXPECT_FALSE(OVPrefs::useCelsius());

    // Reminders off empties the plan; on plans again.
    OVNotify::reschedule(*store);
    view.remindersBox()->click();
    EXPECT_FALSE(OVPrefs::remindersOn());
    EXPECT_TRUE(OVNotify::lastPlan.isEmpty());
    EXPECT_EQ(view.planText(), QStringLiteral("0 reminder(s) scheduled for the next 30 days."));
    view.remindersBox()->click();
    EXPECT_TRUE(OVPrefs::remindersOn());
    EXPECT_FALSE(OVNotify::lastPlan.isEmpty());
    EXPECT_EQ(view.permissionLabel()->text(), QStringLiteral("Desktop notifications haven't been checked yet."));
}

TEST_F(SettingsScreens, NoTextNamesAnotherPlatform)
{
    SettingsView settings(*store, AppModel::shared());
    ReportsView reports(*store);
    QStringList texts = allTexts(&settings) + allTexts(&reports);
    texts << SettingsView::permissionText(true) << SettingsView::permissionText(false);
    for (const QString& text : texts)
        for (const char* word : {"Finder", "Time Machine", "Numbers", "macOS", "Mac ", "System Settings"})
            EXPECT_FALSE(text.contains(QLatin1String(word))) << text.toStdString();
}

TEST_F(SettingsScreens, ReportsFollowThePeriodAndWriteWhatTheyShow)
{
    SampleData::add(*store);
    ReportsView view(*store);
    view.setPeriod(QStringLiteral("all"));
    view.rebuilder()->rebuildNow();
    ASSERT_FALSE(view.yieldTable().rows.isEmpty());
    EXPECT_EQ(view.periodText(), QStringLiteral("All dates"));

    // From after to: only header and total (and the shared-costs row).
    view.setPeriod(QStringLiteral("custom"));
    view.setCustomRange(OVDay(2030, 5, 2), OVDay(2030, 5, 1));
    view.rebuilder()->rebuildNow();
    EXPECT_TRUE(view.yieldTable().rows.isEmpty());
    EXPECT_EQ(view.costTable().rows.size(), 1);

    // The CSV holds the table, total last.
    view.setPeriod(QStringLiteral("all"));
    view.rebuilder()->rebuildNow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QString csvPath = dir.file(QStringLiteral("Yield per crop.csv"));
    panels.saveAnswer = csvPath;
    QList<QNChromeButton*> csvButtons, pdfButtons;
    for (QNChromeButton* b : view.findChildren<QNChromeButton*>()) {
        if (b->title() == QStringLiteral("Export CSV"))
            csvButtons << b;
        if (b->title() == QStringLiteral("Export PDF"))
            pdfButtons << b;
    }
    ASSERT_EQ(csvButtons.size(), 2);
    csvButtons.first()->click();
    const QString csv = QString::fromUtf8(testsupport::readAll(csvPath));
    QStringList lines = csv.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), view.yieldTable().rows.size() + 2);
    EXPECT_TRUE(lines.last().contains(view.yieldTable().total.first()));

    panels.saveAnswer = dir.file(QStringLiteral("Cost per harvest.pdf"));
    pdfButtons.last()->click();
    std::unique_ptr<Poppler::Document> doc(
        Poppler::Document::loadFromData(testsupport::readAll(*panels.saveAnswer)));
    ASSERT_TRUE(doc);
    const QString page = std::unique_ptr<Poppler::Page>(doc->page(0))->text(QRectF());
    EXPECT_TRUE(page.contains(QStringLiteral("Cost per harvest")));
    EXPECT_TRUE(page.contains(QStringLiteral("All dates · made ")));
}

TEST(ReportTableLook, BandsElisionAndAlignment)
{
    ReportTableText table{{QStringLiteral("Crop"), QStringLiteral("lb")},
                          {{QStringLiteral("Tomato"), QStringLiteral("12.50")},
                           {QString(200, QLatin1Char('x')), QStringLiteral("1.00")}},
                          {QStringLiteral("ALL CROPS"), QStringLiteral("13.50")}};
    ReportTable view(table);
    const auto rows = view.rows();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows.first().bold);
    EXPECT_TRUE(rows.last().bold);
    EXPECT_GT(rows.at(1).background.alphaF(), rows.at(2).background.alphaF()) << "first data row is the darker band";
    const QString elided = view.cellText(QString(200, QLatin1Char('x')), false, 80);
    EXPECT_TRUE(elided.endsWith(QChar(0x2026)));
    EXPECT_LT(elided.size(), 200);

    // Numbers end at the right edge: the last column's ink reaches further right than
    // the first column's.
    view.resize(400, view.sizeHint().height());
    const QImage image = view.grab().toImage();
    const int rowY = image.height() * 3 / 8;
    int rightmost = 0;
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, rowY)) > 150)
            rightmost = x;
    EXPECT_GT(rightmost, 340);
}

TEST_F(SettingsScreens, FileMenuBackupGoesToSettingsFirst)
{
    ScreenFactory::installCommands();
    AppModel::shared().setScreen(Screen::plants);
    panels.saveAnswer.reset();
    AppCommands::backUpNow();
    testsupport::finishJobs();
    EXPECT_EQ(AppModel::shared().screen(), Screen::settings);
    EXPECT_EQ(panels.suggested, SettingsView::backupName());

    panels.folderAnswer = dir.path();
    AppCommands::exportEverything();
    testsupport::finishJobs();
    EXPECT_TRUE(QFileInfo(QDir(dir.path()).filePath(SettingsView::exportFolderName())).isDir());
}
