// How long the main thread stops answering during each long job on the fifteen-year
// store (bench/support/FifteenYears: 1,000,000 readings, 200 photos): the full CSV
// export, the climate screen's one-table export, the climate CSV import (reading and
// preview, then the import), Back Up Now and Restore. Each job is measured twice in
// the same run: run the old way, on the main thread ("main"), and as the program
// runs it now, on a background job ("job"). The stall meter's heartbeat fires every
// 5 ms on the main thread; the counter "stall_ms" is the longest gap between beats,
// "total_ms" the wall time of the whole job. Goal: stall_ms under 100 for every job.
//
// A third run of each job ("job:2") does what the window does meanwhile: every 100 ms
// it saves a greenhouse on the window's own connection and makes a screen's reads
// (the Climate screen's counts and latest reading, the newest harvests, the open pest
// records). "save_ms" and "read_ms" are the longest of each, "save_idle_ms" and
// "read_idle_ms" the same work before the job starts; "failures" counts saves that
// threw and reads that failed. The run's time is the longer of save_ms and read_ms.
// Goal: both under 100, except save_ms during the import: the import writes all its
// rows in one transaction, and the engine lets one connection write at a time, so a
// save waits for that transaction (the import sheet keeps the window from saving
// meanwhile). Its reads must stay under 100.

#include "screens/climate/CSVImportSheet.h"
#include "screens/settings/SettingsView.h"
#include "services/AppModel.h"
#include "services/BackgroundJobs.h"
#include "services/ClimateCSV.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "services/TableExport.h"
#include "store/OVStore.h"
#include "store/SQLiteDB.h"
#include "support/FifteenYears.h"
#include "support/ScreenHarness.h"
#include "support/StallMeter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ov-stall-XXXXXX"));
    return dir;
}

// A scratch copy of the fifteen-year store, shared as the program shares its store.
OVStore& store()
{
    static std::unique_ptr<OVStore> made;
    if (!made) {
        made = std::make_unique<OVStore>(FifteenYears::scratchCopy(scratch().path()));
        OVStore::setShared(made.get());
    }
    return *made;
}

void report(benchmark::State& state, StallMeter& meter)
{
    state.SetIterationTime(meter.elapsedMs() / 1000.0);
    state.counters["stall_ms"] = meter.longestGapMs();
    state.counters["total_ms"] = meter.elapsedMs();
}

bool idle() { return !BackgroundJobs::shared().busy(); }

// The window's own work during a job: one save on the shared store's connection and
// the reads a screen makes, each timed. A save that throws (the lock could not be had
// within the busy timeout) and a read that fails count with the time they took.
class WindowProbe {
public:
    explicit WindowProbe(OVStore& store) : m_store(store) {}

    // Runs the save and the reads once; returns whether both went through.
    bool once(double& saveMs, double& readMs)
    {
        bool ok = true;
        QList<Greenhouse> houses = m_store.greenhouses();
        QElapsedTimer clock;
        if (!houses.isEmpty()) {
            Greenhouse& house = houses.first();
            house.notes = QStringLiteral("probe %1").arg(++m_count);
            clock.start();
            try {
                m_store.save(house);
            } catch (const OVError&) {
                ok = false;
            }
            saveMs = clock.nsecsElapsed() / 1e6;
        }
        const qint64 zone = m_store.zones().value(0).id;
        clock.start();
        const OVStore::ReadWatch watch(m_store);
        watch.read([&] { return m_store.readingCount(zone, QDateTime::currentDateTimeUtc().addDays(-30)); });
        m_store.latestReading(zone);
        watch.read([&] { return m_store.newestHarvests(50); });
        watch.read([&] { return m_store.openPests(); });
        readMs = clock.nsecsElapsed() / 1e6;
        return ok && !watch.failed();
    }

    // Every 100 ms while a job runs (called at each beat of the stall meter).
    void tick()
    {
        if (m_since.isValid() && m_since.elapsed() < 100)
            return;
        double saveMs = 0;
        double readMs = 0;
        m_failures += once(saveMs, readMs) ? 0 : 1;
        m_longestSave = std::max(m_longestSave, saveMs);
        m_longestRead = std::max(m_longestRead, readMs);
        ++m_rounds;
        m_since.start();
    }

    void report(benchmark::State& state, double idleSaveMs, double idleReadMs) const
    {
        state.SetIterationTime(std::max(m_longestSave, m_longestRead) / 1000.0);
        state.counters["save_ms"] = m_longestSave;
        state.counters["read_ms"] = m_longestRead;
        state.counters["save_idle_ms"] = idleSaveMs;
        state.counters["read_idle_ms"] = idleReadMs;
        state.counters["rounds"] = m_rounds;
        state.counters["failures"] = m_failures;
    }

private:
    OVStore& m_store;
    QElapsedTimer m_since;
    int m_count = 0;
    int m_rounds = 0;
    int m_failures = 0;
    double m_longestSave = 0;
    double m_longestRead = 0;
};

// A job:2 round: the job as the program runs it, with the window's saves and reads
// going on. `done` tells when the job has ended (idle() when not given).
void probe(benchmark::State& state, OVStore& s, const std::function<void()>& job,
           const std::function<bool()>& done = idle)
{
    WindowProbe window(s);
    double idleSave = 0;
    double idleRead = 0;
    window.once(idleSave, idleRead);
    StallMeter meter;
    meter.measure(job, [&] {
        if (done())
            return true;
        window.tick();
        return false;
    });
    window.report(state, idleSave, idleRead);
}

// One round per iteration: `job` starts the work as the program runs it now (the
// benchmark's argument 1, and 2 with the window's saves and reads going on), `direct`
// runs it the old way on the main thread (0).
void measure(benchmark::State& state, const std::function<void()>& job, const std::function<void()>& direct)
{
    const bool onJob = state.range(0) >= 1;
    for (auto _ : state) {
        if (state.range(0) == 2) {
            probe(state, *OVStore::shared(), job);
            continue;
        }
        StallMeter meter;
        bool finished = false;
        meter.measure(
            [&] {
                if (onJob) {
                    job();
                } else {
                    direct();
                    finished = true;
                }
            },
            [&] { return onJob ? idle() : finished; });
        report(state, meter);
    }
}

void BM_ExportEverything(benchmark::State& state)
{
    OVStore& s = store();
    const QString folder = scratch().filePath(QStringLiteral("export"));
    measure(
        state, [&] { SettingsView::exportAll(folder); },
        [&] {
            Exporter::everything(s, QDir(folder).filePath(SettingsView::exportFolderName()));
        });
}
BENCHMARK(BM_ExportEverything)->ArgName("job")->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportReadings(benchmark::State& state)
{
    OVStore& s = store();
    const QString path = scratch().filePath(QStringLiteral("Climate readings.csv"));
    FilePanels::backend().save = [path](const QString&, const QList<FileType>&) { return std::optional(path); };
    measure(
        state, [&] { TableExport::start(s, 3); },
        [&] {
            // The old way: the whole table as one text, then written.
            const QByteArray text = Exporter::readings(s).toUtf8();
            QSaveFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(text);
            file.commit();
        });
}
BENCHMARK(BM_ExportReadings)->ArgName("job")->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// A logger's file of 250,000 rows for one zone, a minute apart, after every reading
// of the store (none is a duplicate).
QString importFile()
{
    const QString path = scratch().filePath(QStringLiteral("logger.csv"));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray text = "timestamp,temp_f,humidity\n";
    QDateTime at = QDateTime::currentDateTimeUtc().addYears(1);
    for (int i = 0; i < 250000; ++i) {
        text += at.addSecs(60 * i).toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1() + ',' +
                QByteArray::number(60 + i % 20) + ',' + QByteArray::number(50 + i % 30) + '\n';
    }
    file.write(text);
    return path;
}

void BM_ClimateImport(benchmark::State& state)
{
    const bool onJob = state.range(0) >= 1;
    OVStore& s = store();
    const QString path = importFile();
    FilePanels::backend().open = [path](const QList<FileType>&, const QString&) { return std::optional(path); };
    const qint64 zone = s.zones().first().id;
    for (auto _ : state) {
        // The same rows each round: the previous round's are taken out first.
        s.db().exec(QStringLiteral("DELETE FROM reading WHERE taken > ") +
                    QString::number(QDateTime::currentDateTimeUtc().addMonths(6).toSecsSinceEpoch()));
        CSVImportSheet sheet(zone, s);
        int phase = 0;
        // Reading and preview first, then the import.
        const auto jobDone = [&] {
            if (phase == 0 && !sheet.reading()) {
                phase = 1;
                sheet.runImport();
            }
            return phase == 1 && !sheet.importing();
        };
        if (state.range(0) == 2) {
            probe(state, s, [&] { sheet.pick(); }, jobDone);
            continue;
        }
        StallMeter meter;
        bool finished = false;
        meter.measure(
            [&] {
                if (onJob) {
                    sheet.pick();
                } else {
                    const ClimateImportResult result = ClimateCSV::readFile(path, s.zones(), zone, false);
                    s.addReadings(result.readings);
                    finished = true;
                }
            },
            [&] { return onJob ? jobDone() : finished; });
        report(state, meter);
    }
}
BENCHMARK(BM_ClimateImport)->ArgName("job")->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BackUpNow(benchmark::State& state)
{
    OVStore& s = store();
    const QString path = scratch().filePath(QStringLiteral("bench.ovbackup"));
    FilePanels::backend().save = [path](const QString&, const QList<FileType>&) { return std::optional(path); };
    measure(
        state, [&] { SettingsView::backupNow(); },
        [&] {
            s.backup(QUrl::fromLocalFile(path));
        });
}
BENCHMARK(BM_BackUpNow)->ArgName("job")->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Restore(benchmark::State& state)
{
    OVStore& s = store();
    const QString path = scratch().filePath(QStringLiteral("restore.ovbackup"));
    if (!QFile::exists(path))
        s.backup(QUrl::fromLocalFile(path));
    measure(
        state, [&] { SettingsView::runRestore(s, AppModel::shared(), QUrl::fromLocalFile(path)); },
        [&] {
            s.restore(QUrl::fromLocalFile(path));
        });
}
BENCHMARK(BM_Restore)->ArgName("job")->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// A restore refused because another program has the file open and has read it: how
// long the grower waits for the refusal ("total_ms"), and the files it leaves beside
// the database ("files_left": a safety copy written for nothing would count).
void BM_RestoreRefused(benchmark::State& state)
{
    OVStore& s = store();
    const QString path = scratch().filePath(QStringLiteral("restore.ovbackup"));
    if (!QFile::exists(path))
        s.backup(QUrl::fromLocalFile(path));
    SQLiteDB other(s.path());
    other.query(QStringLiteral("SELECT count(*) FROM greenhouse"));
    const QDir folder = QFileInfo(s.path()).dir();
    const qsizetype before = folder.count();
    AppModel::shared().clearMessage();
    QString refusal;
    measure(
        state, [&] { SettingsView::runRestore(s, AppModel::shared(), QUrl::fromLocalFile(path)); },
        [&] {
            try {
                s.restore(QUrl::fromLocalFile(path));
            } catch (const OVError& e) {
                refusal = e.errorDescription();
            }
        });
    refusal += AppModel::shared().message().value_or(QString());
    state.counters["files_left"] = double(QDir(folder.path()).count() - before);
    state.counters["refused"] = refusal.contains(QStringLiteral("still in use")) ? 1 : 0;
}
BENCHMARK(BM_RestoreRefused)->ArgName("job")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    // Nothing is shown in a file manager during the run.
    FilePanels::backend().reveal = [](const QString&) {};
    FilePanels::backend().revealItems = [](const QStringList&) {};
    return runWidgetBenchmarks(argc, argv);
}
