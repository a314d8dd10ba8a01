// Quitting while long work runs: an export or an import stops and leaves nothing; a
// backup is finished first, with a notice, and then the window closes by itself.

#include "app/AppWindow.h"
#include "kit/JobProgressBar.h"
#include "screens/climate/CSVImportSheet.h"
#include "screens/settings/SettingsView.h"
#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "store/OVStore.h"
#include "store/SQLiteDB.h"

#include "JobTestSupport.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using testsupport::SlowJobs;

namespace {

class QuitDuringJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(store.get());
        SampleData::add(*store);
        OVNotify::enabled = false;
        AppModel::shared().setMessage(std::nullopt);
        saved = FilePanels::backend();
        FilePanels::backend().reveal = [](const QString&) {};
        FilePanels::backend().revealItems = [](const QStringList&) {};
        window = std::make_unique<AppWindow>();
        window->show();
    }
    void TearDown() override
    {
        testsupport::finishJobs();
        window.reset();
        FilePanels::backend() = saved;
        OVStore::setShared(nullptr);
        OVNotify::enabled = true;
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
    std::unique_ptr<AppWindow> window;
    FilePanels::Backend saved;
};

} // namespace

TEST_F(QuitDuringJob, AnExportStopsAndLeavesNothing)
{
    testsupport::addMinuteReadings(*store, 3000);
    SlowJobs slow(0, 400);
    BackgroundJob* job = SettingsView::exportAll(scratch.path());
    ASSERT_NE(job, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return job->state().done() > 20; }, 5000));
    // The window shows the work while it runs.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return window->jobProgress()->isVisible() &&
                   window->jobProgress()->text().startsWith(QStringLiteral("Exporting readings… "));
        },
        2000))
        << window->jobProgress()->text().toStdString();
    EXPECT_TRUE(window->jobProgress()->text().contains(QStringLiteral(" of ")));

    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(BackgroundJobs::shared().busy());
    EXPECT_FALSE(QFileInfo::exists(QDir(scratch.path()).filePath(SettingsView::exportFolderName())));
    EXPECT_FALSE(AppModel::shared().message());
}

TEST_F(QuitDuringJob, AnImportStopsAndWritesNothing)
{
    const qint64 zone = store->zones().first().id;
    QByteArray text = "timestamp,temp_f\n";
    for (int i = 0; i < 400; ++i)
        text += "2030-01-01 " + QTime(0, 0).addSecs(60 * i).toString(QStringLiteral("HH:mm")).toLatin1() + ",70\n";
    const QString csv = scratch.file(QStringLiteral("log.csv"));
    ASSERT_TRUE(testsupport::writeAll(csv, text));
    FilePanels::backend().open = [csv](const QList<FileType>&, const QString&) { return std::optional(csv); };
    const qint64 before = store->count(QStringLiteral("reading"));
    auto* sheet = new CSVImportSheet(zone, *store);
    sheet->pick();
    testsupport::finishJobs();
    ASSERT_EQ(sheet->result()->ready, 400);

    SlowJobs slow(0, 3000);
    sheet->runImport();
    ASSERT_TRUE(sheet->importing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->importJob()->state().done() > 5; }, 5000));
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(sheet->importing());
    EXPECT_FALSE(sheet->done());
    EXPECT_EQ(store->count(QStringLiteral("reading")), before);
    delete sheet;
}

TEST_F(QuitDuringJob, ABackupIsFinishedFirstThenTheWindowCloses)
{
    const QString target = scratch.file(QStringLiteral("b.ovbackup"));
    FilePanels::backend().save = [target](const QString&, const QList<FileType>&) { return std::optional(target); };
    SlowJobs slow(500, 0);
    ASSERT_NE(SettingsView::backupNow(), nullptr);
    QAction* backupItem = nullptr;
    for (QAction* menu : window->menuBar()->actions())
        for (QAction* item : menu->menu() ? menu->menu()->actions() : QList<QAction*>())
            if (item->text() == QStringLiteral("Back Up Now…"))
                backupItem = item;
    ASSERT_NE(backupItem, nullptr);
    EXPECT_FALSE(backupItem->isEnabled()) << "no second backup while one runs";

    window->close();
    EXPECT_TRUE(window->isVisible()) << "the backup runs to its end before the window goes";
    EXPECT_EQ(AppModel::shared().message(),
              QStringLiteral("Finishing the backup first. QNMR Orvane quits when it is done."));
    window->close(); // asking again changes nothing
    EXPECT_TRUE(window->isVisible());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 5000));
    EXPECT_FALSE(BackgroundJobs::shared().busy());
    EXPECT_TRUE(backupItem->isEnabled());
    SQLiteDB copy(target, true);
    EXPECT_EQ(copy.query(QStringLiteral("PRAGMA integrity_check")).value(0).str(QStringLiteral("integrity_check")),
              QStringLiteral("ok"));
    EXPECT_EQ(copy.scalarInt(QStringLiteral("SELECT count(*) FROM plant")), store->count(QStringLiteral("plant")));
}
