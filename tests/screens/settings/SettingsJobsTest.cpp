// Back Up Now, Restore and Export Everything as background jobs: the outcomes and
// notices of before, the full export showing all eight files (and naming the folder),
// the actions that wait while a job runs, and a restore that keeps what was saved
// while its copy was being prepared.

#include "app/AppMenus.h"
#include "kit/QNChromeButton.h"
#include "screens/settings/ReportsView.h"
#include "screens/settings/SettingsView.h"
#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "store/OVStore.h"
#include "store/SQLiteDB.h"

#include "JobTestSupport.h"
#include "TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using testsupport::ScratchDir;
using testsupport::SlowJobs;

namespace {

class SettingsJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(store.get());
        SampleData::add(*store);
        AppModel::shared().clearMessage();
        AppModel::shared().setConfirm(std::nullopt);
        OVNotify::enabled = false;
        saved = FilePanels::backend();
        FilePanels::backend().save = [this](const QString&, const QList<FileType>&) { return saveAnswer; };
        FilePanels::backend().open = [this](const QList<FileType>&, const QString&) { return openAnswer; };
        FilePanels::backend().folder = [this](const QString&) { return folderAnswer; };
        FilePanels::backend().reveal = [this](const QString& path) { revealed << path; };
        FilePanels::backend().revealItems = [this](const QStringList& paths) { revealedTogether = paths; };
    }
    void TearDown() override
    {
        testsupport::finishJobs();
        FilePanels::backend() = saved;
        OVStore::setShared(nullptr);
        OVNotify::enabled = true;
    }
    QString message() const { return AppModel::shared().message().value_or(QString()); }
    QNChromeButton* button(QWidget& root, const QString& title) const
    {
        for (QNChromeButton* b : root.findChildren<QNChromeButton*>())
            if (b->title() == title)
                return b;
        return nullptr;
    }

    ScratchDir dir;
    std::unique_ptr<OVStore> store;
    FilePanels::Backend saved;
    std::optional<QString> saveAnswer, openAnswer, folderAnswer;
    QStringList revealed;
    QStringList revealedTogether;
};

} // namespace

TEST_F(SettingsJobs, FullExportShowsAllEightFilesAndNamesTheFolder)
{
    folderAnswer = dir.path();
    SettingsView::chooseFolderAndExportAll();
    EXPECT_TRUE(BackgroundJobs::shared().busy());
    testsupport::finishJobs();
    const QString target = QDir(dir.path()).filePath(SettingsView::exportFolderName());
    EXPECT_EQ(message(), QStringLiteral("Exported 8 CSV files to:\n") + QDir::toNativeSeparators(target));
    QStringList expected;
    for (const QString& name : Exporter::fileNames())
        expected << QDir(target).filePath(name);
    EXPECT_EQ(revealedTogether, expected);

    // The same bytes as the export run directly.
    const QString direct = dir.file(QStringLiteral("direct"));
    Exporter::everything(*store, direct);
    for (const QString& name : Exporter::fileNames())
        EXPECT_EQ(testsupport::readAll(QDir(target).filePath(name)), testsupport::readAll(QDir(direct).filePath(name)))
            << name.toStdString();
}

TEST_F(SettingsJobs, ABackupRunningHoldsBackASecondBackupAndARestore)
{
    SettingsView view(*store, AppModel::shared());
    QNChromeButton* backupButton = button(view, QStringLiteral("Back Up Now…"));
    QNChromeButton* restoreButton = button(view, QStringLiteral("Restore From Backup…"));
    QNChromeButton* exportButton = button(view, QStringLiteral("Export Everything as CSV Files…"));
    ASSERT_TRUE(backupButton && restoreButton && exportButton);
    EXPECT_TRUE(backupButton->isEnabled());

    saveAnswer = dir.file(QStringLiteral("first.ovbackup"));
    BackgroundJob* job = nullptr;
    {
        SlowJobs slow(400, 0);
        job = SettingsView::backupNow();
        ASSERT_NE(job, nullptr);
        EXPECT_FALSE(backupButton->isEnabled());
        EXPECT_FALSE(restoreButton->isEnabled());
        EXPECT_TRUE(exportButton->isEnabled()) << "an export may run beside a backup";
        saveAnswer = dir.file(QStringLiteral("second.ovbackup"));
        EXPECT_EQ(SettingsView::backupNow(), nullptr);
        openAnswer = dir.file(QStringLiteral("first.ovbackup"));
        EXPECT_EQ(view.restore(), nullptr);
        job->cancel(); // a backup runs to its end
        testsupport::finishJobs();
    }
    EXPECT_TRUE(backupButton->isEnabled());
    EXPECT_TRUE(restoreButton->isEnabled());
    EXPECT_EQ(message(), QStringLiteral("Backup saved:\n") + dir.file(QStringLiteral("first.ovbackup")));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("second.ovbackup"))));
    {
        SQLiteDB copy(dir.file(QStringLiteral("first.ovbackup")), true);
        EXPECT_EQ(copy.scalarInt(QStringLiteral("SELECT count(*) FROM plant")), store->count(QStringLiteral("plant")));
    }

    // A restore from the view, then its question, then the swap: all on jobs.
    const QString backupDigest = store->digest();
    store->db().exec(QStringLiteral("DELETE FROM harvest"));
    store->changed();
    {
        SlowJobs slow(300, 0);
        ASSERT_NE(view.restore(), nullptr);
        EXPECT_FALSE(exportButton->isEnabled()) << "nothing else starts during a restore";
        testsupport::finishJobs();
    }
    ASSERT_TRUE(AppModel::shared().confirm());
    AppModel::shared().confirm()->action();
    testsupport::finishJobs();
    EXPECT_EQ(store->digest(), backupDigest);
    EXPECT_TRUE(message().startsWith(QStringLiteral("Restored. Your previous records were saved as:\n")));
    EXPECT_TRUE(exportButton->isEnabled());
}

TEST_F(SettingsJobs, ARecordSavedWhileARestoreIsPreparedIsInTheSafetyCopy)
{
    const QString backup = dir.file(QStringLiteral("b.ovbackup"));
    store->backup(QUrl::fromLocalFile(backup));
    const qint64 revision = store->revision();
    const OVStore::RestorePlan plan =
        OVStore::prepareRestore(store->path(), QUrl::fromLocalFile(backup), QDateTime::currentDateTime());
    ASSERT_TRUE(QFileInfo::exists(plan.safety));

    // Saved on the main thread after the first safety copy was taken.
    Greenhouse late{.name = QStringLiteral("Saved meanwhile")};
    store->save(late);
    const QUrl safety = store->finishRestore(plan, revision);
    EXPECT_NE(safety.toLocalFile(), plan.safety);
    EXPECT_TRUE(QFileInfo::exists(plan.safety)) << "a safety copy is never deleted";
    OVStore before(safety.toLocalFile());
    EXPECT_TRUE(before.get<Greenhouse>(late.id).has_value());
    EXPECT_FALSE(store->get<Greenhouse>(late.id).has_value());

    // Unchanged meanwhile: the prepared copy is the one kept.
    const qint64 again = store->revision();
    const OVStore::RestorePlan quiet =
        OVStore::prepareRestore(store->path(), QUrl::fromLocalFile(backup), QDateTime::currentDateTime());
    EXPECT_EQ(store->finishRestore(quiet, again).toLocalFile(), quiet.safety);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("restore-*")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(SettingsJobs, FullExportOfATableThatCannotBeReadSaysSoAndLeavesNothing)
{
    store->db().exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    store->db().exec(QStringLiteral("DROP TABLE harvest"));
    folderAnswer = dir.path();
    SettingsView::chooseFolderAndExportAll();
    testsupport::finishJobs();
    EXPECT_EQ(message(), QStringLiteral("The export could not be written: The database reported a problem: "
                                        "no such table: harvest"));
    EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath(SettingsView::exportFolderName())));
    EXPECT_TRUE(revealed.isEmpty());
    EXPECT_TRUE(revealedTogether.isEmpty());
}

// Exporting twice on one day reuses the dated folder. A second run that is cancelled
// or cannot read its readings leaves the first run's eight files byte for byte; one
// that succeeds replaces all eight.
TEST_F(SettingsJobs, AFailedOrCancelledExportLeavesAnEarlierExportAsItWas)
{
    testsupport::addMinuteReadings(*store, 3000);
    const QDir target(QDir(dir.path()).filePath(SettingsView::exportFolderName()));
    const auto writeEarlier = [&] {
        ASSERT_TRUE(QDir().mkpath(target.path()));
        for (const QString& name : Exporter::fileNames())
            ASSERT_TRUE(testsupport::writeAll(target.filePath(name), "earlier " + name.toUtf8()));
    };
    const auto expectEarlier = [&](const char* run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(target.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 8);
        for (const QString& name : Exporter::fileNames())
            EXPECT_EQ(testsupport::readAll(target.filePath(name)), "earlier " + name.toUtf8()) << name.toStdString();
        EXPECT_TRUE(revealedTogether.isEmpty());
    };
    writeEarlier();

    {
        SlowJobs slow(0, 400);
        BackgroundJob* job = SettingsView::exportAll(dir.path());
        ASSERT_NE(job, nullptr);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return job->state().stage().startsWith(QStringLiteral("Exporting readings")) &&
                         job->state().done() > 20; },
            5000));
        job->cancel();
        testsupport::finishJobs();
    }
    expectEarlier("cancelled during the readings");
    EXPECT_FALSE(AppModel::shared().message());

    SettingsView::exportAll(dir.path());
    testsupport::finishJobs();
    ASSERT_EQ(revealedTogether.size(), 8) << message().toStdString();
    const QString direct = dir.file(QStringLiteral("direct"));
    Exporter::everything(*store, direct);
    for (const QString& name : Exporter::fileNames())
        EXPECT_EQ(testsupport::readAll(target.filePath(name)), testsupport::readAll(QDir(direct).filePath(name)))
            << name.toStdString();
    EXPECT_EQ(target.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 8);

    revealedTogether.clear();
    writeEarlier();
    store->db().exec(QStringLiteral("DROP TABLE reading"));
    SettingsView::exportAll(dir.path());
    testsupport::finishJobs();
    EXPECT_EQ(message(), QStringLiteral("The export could not be written: The database reported a problem: "
                                        "no such table: reading"));
    expectEarlier("readings that cannot be read");
}

// A second Export Everything while one runs is refused from every entry point, and
// the first one ends with its eight files: two runs would share the dated folder.
// Every entry point (Settings, Reports, the File menu) waits while one runs, and is
// back once it ends, however it ends: done, cancelled or failed.
TEST_F(SettingsJobs, OneFullExportAtATime)
{
    testsupport::addMinuteReadings(*store, 3000);
    SettingsView view(*store, AppModel::shared());
    ReportsView reports(*store);
    QMenuBar bar;
    AppMenus::build(&bar, nullptr);
    QNChromeButton* exportButton = button(view, QStringLiteral("Export Everything as CSV Files…"));
    QNChromeButton* reportsButton = button(reports, QStringLiteral("Export Everything (CSV)"));
    QAction* menuItem = nullptr;
    for (QAction* action : bar.findChildren<QAction*>())
        if (action->text() == QStringLiteral("Export Everything as CSV…"))
            menuItem = action;
    ASSERT_TRUE(exportButton && reportsButton && menuItem);
    const auto entryPoints = [&] {
        return QList<bool>{exportButton->isEnabled(), reportsButton->isEnabled(), menuItem->isEnabled()};
    };
    const QList<bool> waiting{false, false, false};
    const QList<bool> ready{true, true, true};
    EXPECT_EQ(entryPoints(), ready);
    folderAnswer = dir.path();
    {
        SlowJobs slow(0, 300);
        ASSERT_NE(SettingsView::exportAll(dir.path()), nullptr);
        EXPECT_EQ(entryPoints(), waiting);
        EXPECT_EQ(SettingsView::exportAll(dir.path()), nullptr);
        EXPECT_EQ(message(), QStringLiteral("An export is already running."));
        AppModel::shared().clearMessage();
        SettingsView::chooseFolderAndExportAll();
        EXPECT_EQ(message(), QStringLiteral("An export is already running."));
        EXPECT_EQ(BackgroundJobs::shared().running().size(), 1);
        testsupport::finishJobs();
    }
    EXPECT_EQ(entryPoints(), ready);
    const QString target = QDir(dir.path()).filePath(SettingsView::exportFolderName());
    EXPECT_EQ(message(), QStringLiteral("Exported 8 CSV files to:\n") + QDir::toNativeSeparators(target));
    const QString direct = dir.file(QStringLiteral("direct"));
    Exporter::everything(*store, direct);
    for (const QString& name : Exporter::fileNames())
        EXPECT_EQ(testsupport::readAll(QDir(target).filePath(name)), testsupport::readAll(QDir(direct).filePath(name)))
            << name.toStdString();
    EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 8);

    {
        SlowJobs slow(0, 300);
        BackgroundJob* job = SettingsView::exportAll(dir.path());
        ASSERT_NE(job, nullptr);
        EXPECT_EQ(entryPoints(), waiting);
        job->cancel();
        testsupport::finishJobs();
    }
    EXPECT_EQ(entryPoints(), ready) << "after a cancel";

    AppModel::shared().clearMessage();
    {
        SlowJobs slow(300, 0);
        testsupport::FailingJobs failing;
        ASSERT_NE(SettingsView::exportAll(dir.path()), nullptr);
        EXPECT_EQ(entryPoints(), waiting);
        testsupport::finishJobs();
    }
    EXPECT_TRUE(message().startsWith(QStringLiteral("The export could not be written"))) << message().toStdString();
    EXPECT_EQ(entryPoints(), ready) << "after a failure";
}

// Another program with the file open would refuse the swap: the restore says so at
// once, before a safety copy of the whole database is written for nothing.
TEST_F(SettingsJobs, ARestoreRefusedForAnotherConnectionWritesNoSafetyCopy)
{
    const QString backup = dir.file(QStringLiteral("earlier.ovbackup"));
    store->backup(QUrl::fromLocalFile(backup));
    SQLiteDB other(store->path());
    other.query(QStringLiteral("SELECT count(*) FROM plant"));
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(SettingsView::runRestore(*store, AppModel::shared(), QUrl::fromLocalFile(backup)), nullptr);
    EXPECT_EQ(message(), QStringLiteral("The database reported a problem: the database is still in use, so it was "
                                        "not replaced. Close any other program that has it open, then try again."));
    testsupport::finishJobs();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

// A store left closed (its reopen failed) has nothing in use: the restore says the
// store is closed, and starts nothing.
TEST_F(SettingsJobs, ARestoreOfAClosedStoreSaysItIsClosed)
{
    const QString backup = dir.file(QStringLiteral("earlier.ovbackup"));
    store->backup(QUrl::fromLocalFile(backup));
    store->db().close();
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(SettingsView::runRestore(*store, AppModel::shared(), QUrl::fromLocalFile(backup)), nullptr);
    EXPECT_EQ(message(), QStringLiteral("The database reported a problem: closed"));
    EXPECT_FALSE(BackgroundJobs::shared().busy());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

// The open database chosen as the backup is refused by the first step, before the
// question: inspected without its log, it would be described with counts it does
// not hold.
TEST_F(SettingsJobs, RestoringTheOpenDatabaseIsRefusedBeforeTheQuestion)
{
    SettingsView view(*store, AppModel::shared());
    const QString digest = store->digest();
    openAnswer = store->path();
    ASSERT_NE(view.restore(), nullptr);
    testsupport::finishJobs();
    EXPECT_FALSE(AppModel::shared().confirm());
    EXPECT_EQ(message(), QStringLiteral("This file can't be restored: it is the database that is open now."));
    EXPECT_EQ(store->digest(), digest);
}
