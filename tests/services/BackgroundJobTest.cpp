// Long work on background jobs: where it runs and ends, cancelling, and the exports
// that run on jobs writing the same bytes as before and leaving nothing when stopped.

#include "kit/JobProgressBar.h"
#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "services/SampleData.h"
#include "services/TableExport.h"
#include "store/OVStore.h"

#include "JobTestSupport.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>

using testsupport::ScratchDir;
using testsupport::SlowJobs;

namespace {

// A store with the sample greenhouse and 3,000 readings more, shared as the program
// shares its store.
struct JobFixture : ::testing::Test {
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(store.get());
        SampleData::add(*store);
        const qint64 zone = store->zones().first().id;
        QList<Reading> batch;
        for (int i = 0; i < 3000; ++i)
            batch.append(Reading{.zoneID = zone,
                                 .taken = QDateTime(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC).addSecs(60 * i),
                                 .values = {{Metric::temp, 60.5 + i % 7}, {Metric::humidity, 40 + i % 11}},
                                 .note = i % 100 == 0 ? QStringLiteral("a \"quoted\", note") : QString()});
        store->addReadings(batch);
        AppModel::shared().clearMessage();
        saved = FilePanels::backend();
    }
    void TearDown() override
    {
        testsupport::finishJobs();
        FilePanels::backend() = saved;
        OVStore::setShared(nullptr);
    }
    // Runs the event loop until `done` holds (5 s at most).
    static bool waitFor(const std::function<bool()>& done)
    {
        return QTest::qWaitFor(done, 5000);
    }
    QMap<QString, QByteArray> filesIn(const QString& folder) const
    {
        QMap<QString, QByteArray> out;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            out.insert(name, testsupport::readAll(QDir(folder).filePath(name)));
        return out;
    }

    ScratchDir dir;
    std::unique_ptr<OVStore> store;
    FilePanels::Backend saved;
};

} // namespace

TEST(BackgroundJob, WorkRunsOffTheMainThreadEndsOnItAndReportsProgressMeanwhile)
{
    SlowJobs slow(700, 0);
    Qt::HANDLE workThread = nullptr;
    Qt::HANDLE endThread = nullptr;
    std::exception_ptr seen;
    int progressed = 0;
    BackgroundJob* job = BackgroundJob::start(
        QStringLiteral("test"), BackgroundJob::Stop::cancellable,
        [&](JobState& state) {
            workThread = QThread::currentThreadId();
            state.setStage(QStringLiteral("Counting…"), 1000000); // waits 700 ms
            state.advance(420000);
            throw OVError::database(QStringLiteral("disk on fire"));
        },
        [&](std::exception_ptr error) {
            endThread = QThread::currentThreadId();
            seen = error;
        });
    QObject::connect(job, &BackgroundJob::progressed, [&] { ++progressed; });
    EXPECT_TRUE(BackgroundJobs::shared().busy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen != nullptr; }, 5000));
    EXPECT_NE(workThread, QThread::currentThreadId());
    EXPECT_EQ(endThread, QThread::currentThreadId());
    // The main thread kept turning: the progress timer fired while the work slept.
    EXPECT_GE(progressed, 2);
    EXPECT_FALSE(BackgroundJobs::shared().busy());
    EXPECT_FALSE(BackgroundJob::wasCancelled(seen));
    try {
        std::rethrow_exception(seen);
    } catch (const OVError& e) {
        EXPECT_EQ(e.payload(), QStringLiteral("disk on fire"));
    }

    JobState state;
    state.setStage(QStringLiteral("Exporting readings…"), 1000000);
    state.advance(420000);
    EXPECT_EQ(state.text(), QStringLiteral("Exporting readings… 420,000 of 1,000,000"));
    state.advance(700000); // never beyond the total
    EXPECT_EQ(state.text(), QStringLiteral("Exporting readings… 1,000,000 of 1,000,000"));
}

// A job that goes on to its next stage counts that stage from zero: neither the
// state's text nor the window's bar carries the last stage's count over.
TEST(BackgroundJob, ANewStageCountsFromZero)
{
    JobState state;
    state.setStage(QStringLiteral("Reading…"), 10);
    state.advance(10);
    EXPECT_EQ(state.text(), QStringLiteral("Reading… 10 of 10"));
    state.setStage(QStringLiteral("Importing readings…"), 4);
    EXPECT_EQ(state.done(), 0);
    EXPECT_EQ(state.text(), QStringLiteral("Importing readings… 0 of 4"));
    state.advance();
    EXPECT_EQ(state.text(), QStringLiteral("Importing readings… 1 of 4"));
    state.setStage(QStringLiteral("Finishing…"));
    EXPECT_EQ(state.done(), 0);
    EXPECT_EQ(state.total(), -1);
    EXPECT_EQ(state.text(), QStringLiteral("Finishing…"));

    // The bar follows a running job stage by stage; the work waits at the end of each
    // stage until the test has looked.
    QSemaphore looked;
    BackgroundJob* job = BackgroundJob::start(
        QStringLiteral("import"), BackgroundJob::Stop::cancellable,
        [&](JobState& work) {
            work.setStage(QStringLiteral("Reading…"));
            work.advance(7); // steps of a stage whose size is unknown
            looked.acquire();
            work.setStage(QStringLiteral("Importing readings…"), 10);
            work.advance(6);
            looked.acquire();
            work.setStage(QStringLiteral("Checking…"), 4);
            work.advance();
            looked.acquire();
        },
        {});
    const auto release = qScopeGuard([&] {
        looked.release(3);
        testsupport::finishJobs();
    });
    JobProgressBar progress;
    progress.follow(job);
    const auto shows = [&](const QString& text) {
        return QTest::qWaitFor([&] { return progress.text() == text; }, 10000);
    };
    ASSERT_TRUE(shows(QStringLiteral("Reading…"))) << progress.text().toStdString();
    EXPECT_EQ(progress.bar()->maximum(), 0) << "a stage of unknown size moves without an end";
    looked.release();
    ASSERT_TRUE(shows(QStringLiteral("Importing readings… 6 of 10"))) << progress.text().toStdString();
    EXPECT_EQ(progress.bar()->maximum(), 1000);
    EXPECT_EQ(progress.bar()->value(), 600);
    looked.release();
    ASSERT_TRUE(shows(QStringLiteral("Checking… 1 of 4"))) << progress.text().toStdString();
    EXPECT_EQ(progress.bar()->value(), 250);
    looked.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress.isHidden(); }, 10000));
}

TEST(BackgroundJob, CancelStopsWhatMayStopAndWaitsForWhatMayNot)
{
    std::atomic<int> rows{0};
    const auto counting = [&](JobState& state) {
        for (int i = 0; i < 1000; ++i) {
            state.checkCancel();
            ++rows;
            QThread::msleep(2);
        }
    };
    std::exception_ptr cancelledEnd;
    bool ended = false;
    BackgroundJob* job = BackgroundJob::start(QStringLiteral("export"), BackgroundJob::Stop::cancellable, counting,
                                              [&](std::exception_ptr e) {
                                                  cancelledEnd = e;
                                                  ended = true;
                                              });
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows > 10; }, 5000));
    job->cancel();
    job->wait();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(BackgroundJob::wasCancelled(cancelledEnd));
    EXPECT_LT(rows, 1000);

    // A backup ignores cancel; stopAll() cancels the rest and waits for it.
    rows = 0;
    bool backupEnded = false;
    BackgroundJob* backup = BackgroundJob::start(
        QStringLiteral("backup"), BackgroundJob::Stop::runsToEnd,
        [&](JobState& state) {
            for (int i = 0; i < 50; ++i) {
                state.checkCancel();
                ++rows;
                QThread::msleep(2);
            }
        },
        [&](std::exception_ptr e) { backupEnded = !e; });
    EXPECT_EQ(BackgroundJobs::shared().mustFinish(), backup);
    backup->cancel();
    BackgroundJobs::shared().stopAll();
    EXPECT_TRUE(backupEnded);
    EXPECT_EQ(rows, 50);
    EXPECT_EQ(BackgroundJobs::shared().mustFinish(), nullptr);
}

TEST_F(JobFixture, ExportsOnAJobWriteTheSameBytes)
{
    const QString plain = dir.file(QStringLiteral("plain"));
    const QString onJob = dir.file(QStringLiteral("job"));
    Exporter::everything(*store, plain);
    JobState state;
    Exporter::everything(*store, onJob, &state);
    EXPECT_EQ(state.total(), store->count(QStringLiteral("reading")));
    const QMap<QString, QByteArray> expected = filesIn(plain);
    ASSERT_EQ(expected.size(), 8);
    EXPECT_EQ(filesIn(onJob), expected);

    // Each table alone, in pieces, gives its file's bytes.
    for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i) {
        QByteArray joined;
        EXPECT_TRUE(Exporter::writeTable(*store, i, [&](const QByteArray& piece) {
            joined += piece;
            return true;
        }));
        EXPECT_EQ(joined, expected.value(Exporter::fileNames()[i])) << i;
    }

    // The screen's Export CSV through its job: asked first, then the same bytes.
    const QString target = dir.file(QStringLiteral("readings.csv"));
    QString suggested;
    FilePanels::backend().save = [&](const QString& name, const QList<FileType>&) {
        suggested = name;
        return std::optional(target);
    };
    QStringList revealed;
    FilePanels::backend().reveal = [&](const QString& path) { revealed << path; };
    FilePanels::backend().revealItems = nullptr;
    ASSERT_NE(TableExport::start(*store, 3), nullptr);
    testsupport::finishJobs();
    EXPECT_EQ(suggested, QStringLiteral("Climate readings.csv"));
    EXPECT_EQ(testsupport::readAll(target), expected.value(QStringLiteral("Climate readings.csv")));
    EXPECT_EQ(revealed, QStringList{target});
    EXPECT_FALSE(AppModel::shared().message());
}

TEST_F(JobFixture, CancelledExportsLeaveNothingBehind)
{
    SlowJobs slow(0, 300);
    // A new folder: it goes with the files.
    const QString folder = dir.file(QStringLiteral("export"));
    auto written = std::make_shared<QStringList>();
    const QString database = store->path();
    BackgroundJob* job = BackgroundJob::start(
        QStringLiteral("export"), BackgroundJob::Stop::cancellable,
        [&, database, written](JobState& state) {
            OVStore worker(database);
            *written = Exporter::everything(worker, folder, &state);
        },
        {});
    ASSERT_TRUE(waitFor([&] { return job->state().done() > 50 && job->state().total() > 0; }));
    job->cancel();
    job->wait();
    EXPECT_FALSE(QFileInfo::exists(folder));

    // A folder that was there keeps what it held; this export's files go.
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(testsupport::writeAll(QDir(folder).filePath(QStringLiteral("mine.txt")), "keep"));
    job = BackgroundJob::start(
        QStringLiteral("export"), BackgroundJob::Stop::cancellable,
        [&, database](JobState& state) {
            OVStore worker(database);
            Exporter::everything(worker, folder, &state);
        },
        {});
    ASSERT_TRUE(waitFor([&] { return job->state().done() > 50 && job->state().total() > 0; }));
    job->cancel();
    job->wait();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("mine.txt")});

    // The one-table export: the file under the chosen name stays as it was.
    const QString target = dir.file(QStringLiteral("readings.csv"));
    ASSERT_TRUE(testsupport::writeAll(target, "old export\r\n"));
    FilePanels::backend().save = [&](const QString&, const QList<FileType>&) { return std::optional(target); };
    QStringList revealed;
    FilePanels::backend().reveal = [&](const QString& path) { revealed << path; };
    job = TableExport::start(*store, 3);
    ASSERT_NE(job, nullptr);
    ASSERT_TRUE(waitFor([&] { return job->state().done() > 50; }));
    job->cancel();
    job->wait();
    EXPECT_EQ(testsupport::readAll(target), QByteArray("old export\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("readings*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("readings.csv")});
    EXPECT_TRUE(revealed.isEmpty());
    EXPECT_FALSE(AppModel::shared().message()) << "a cancel the grower asked for says nothing";
}

TEST_F(JobFixture, OneTableExportFailuresAreSaidAsBefore)
{
    // A folder where the file should go: the write cannot be put in place.
    const QString target = dir.file(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(target));
    FilePanels::backend().save = [&](const QString&, const QList<FileType>&) { return std::optional(target); };
    QStringList revealed;
    FilePanels::backend().reveal = [&](const QString& path) { revealed << path; };
    ASSERT_NE(TableExport::start(*store, 6), nullptr);
    testsupport::finishJobs();
    ASSERT_TRUE(AppModel::shared().message());
    EXPECT_TRUE(AppModel::shared().message()->startsWith(QStringLiteral("The file could not be saved: ")))
        << AppModel::shared().message()->toStdString();
    EXPECT_TRUE(revealed.isEmpty());

    // The open database is never saved over: nothing starts.
    AppModel::shared().clearMessage();
    const QString database = store->path();
    const QByteArray before = testsupport::readAll(database);
    FilePanels::backend().save = [&](const QString&, const QList<FileType>&) { return std::optional(database); };
    EXPECT_EQ(TableExport::start(*store, 6), nullptr);
    EXPECT_EQ(AppModel::shared().message(),
              QStringLiteral("The file could not be saved: choose a file other than the open database."));
    EXPECT_EQ(testsupport::readAll(database), before);

    // A cancelled dialog starts nothing.
    FilePanels::backend().save = [](const QString&, const QList<FileType>&) { return std::optional<QString>(); };
    EXPECT_EQ(TableExport::start(*store, 6), nullptr);
    EXPECT_FALSE(BackgroundJobs::shared().busy());
}

// Each screen's Export CSV of a table the store cannot read: the job says so, and the
// file already under the chosen name stays as it was, with no partial file beside it.
TEST_F(JobFixture, OneTableExportsOfUnreadableTablesFailAndKeepTheOldFile)
{
    store->db().exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    for (const char* table : {"greenhouse", "plant", "seed", "zone", "task", "pest", "harvest", "ledger"})
        store->db().exec(QStringLiteral("DROP TABLE ") + QLatin1String(table));
    QStringList revealed;
    FilePanels::backend().reveal = [&](const QString& path) { revealed << path; };
    for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i) {
        const QString name = QStringLiteral("table%1").arg(i);
        const QString target = dir.file(name + QStringLiteral(".csv"));
        ASSERT_TRUE(testsupport::writeAll(target, "old export\r\n"));
        FilePanels::backend().save = [&](const QString&, const QList<FileType>&) { return std::optional(target); };
        AppModel::shared().clearMessage();
        ASSERT_NE(TableExport::start(*store, i), nullptr);
        testsupport::finishJobs();
        const QString message = AppModel::shared().message().value_or(QString());
        EXPECT_TRUE(message.startsWith(QStringLiteral("The export could not be written: The database reported a "
                                                      "problem: no such table: ")))
            << i << ": " << message.toStdString();
        EXPECT_EQ(testsupport::readAll(target), QByteArray("old export\r\n")) << i;
        EXPECT_EQ(QDir(dir.path()).entryList({name + u'*'}, QDir::Files | QDir::Hidden),
                  QStringList{name + QStringLiteral(".csv")});
    }
    EXPECT_TRUE(revealed.isEmpty());
}
