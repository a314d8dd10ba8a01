// The full CSV export (Exporter::everything) of a store holding N climate readings,
// against the sqlite3 command line writing the same reading rows as CSV
// (".mode csv") from the same file, measured in the same run.
//
// Counters: rows and output bytes of the readings file, and the growth of the peak
// resident memory during the export (the peak is reset just before it), which must
// not grow with N. After the run, the ratio export / sqlite3 is printed per size.

#include "records/Metric.h"
#include "services/ExportFolder.h"
#include "services/Exporter.h"
#include "services/JobState.h"
#include "store/OVStore.h"
#include "support/FifteenYears.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

struct Data {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<OVStore> store;
};

// One store per size, made once: two greenhouses, four zones, the readings spread
// over them a minute apart, inserted with one prepared statement in one transaction.
Data& data(qint64 readings)
{
    static std::map<qint64, Data> made;
    Data& d = made[readings];
    if (d.store)
        return d;
    d.dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
    d.store = std::make_unique<OVStore>(d.dir->filePath(QStringLiteral("bench.sqlite")));
    OVStore& store = *d.store;
    QList<qint64> zones;
    for (int h = 0; h < 2; ++h) {
        Greenhouse house{.name = QStringLiteral("House %1").arg(h + 1)};
        store.save(house);
        for (int z = 0; z < 2; ++z) {
            Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Zone %1").arg(z + 1)};
            store.save(zone);
            zones.append(zone.id);
        }
    }
    SQLiteDB& db = store.db();
    db.transaction([&] {
        SQLiteDB::Statement insert = db.prepare(QStringLiteral(
            "INSERT INTO reading (zone_id, taken, temp_f, humidity, light, co2, soil_moisture, source, note) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QString manual = QStringLiteral("manual");
        const QString plain;
        const QString noted = QStringLiteral("vents stuck, \"check\"");
        for (qint64 i = 0; i < readings; ++i) {
            const double f = double(i % 24) / 23.0;
            insert.run({zones[int(i % zones.size())], 1.7e9 + 60.0 * double(i), 58 + 24 * f, 70 - 22 * f,
                        2000 + 30000 * f, 430 - 30 * f, 44 - 8 * f, manual, i % 100 == 0 ? noted : plain});
        }
    });
    return d;
}

// A size line of /proc/self/status ("VmHWM", "VmRSS") in KiB; -1 when unreadable.
qint64 statusKiB(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = field + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Resets the peak resident size to the current one (Linux "clear_refs" 5).
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

std::map<qint64, double> bestExport;
std::map<qint64, double> bestReference;

void BM_ExporterEverything(benchmark::State& state)
{
    const qint64 n = state.range(0);
    Data& d = data(n);
    const QString folder = d.dir->filePath(QStringLiteral("export"));
    qint64 growth = 0;
    double best = 1e300;
    for (auto _ : state) {
        resetPeak();
        const qint64 before = statusKiB("VmRSS");
        QElapsedTimer timer;
        timer.start();
        const QStringList files = Exporter::everything(*d.store, folder);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        best = std::min(best, seconds);
        growth = std::max(growth, statusKiB("VmHWM") - before);
        benchmark::DoNotOptimize(files);
    }
    bestExport[n] = best;
    state.counters["readings"] = double(n);
    state.counters["csv_MB"] = double(QFileInfo(QDir(folder).filePath(QStringLiteral("Climate readings.csv"))).size()) / 1e6;
    state.counters["peak_rss_growth_KiB"] = double(growth);
}

// The same rows (same columns, order and number text) straight from the engine.
void BM_Sqlite3CsvReference(benchmark::State& state)
{
    const qint64 n = state.range(0);
    Data& d = data(n);
    QStringList cells{QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', r.taken, 'unixepoch', 'localtime') AS timestamp"),
                      QStringLiteral("z.name AS zone"), QStringLiteral("g.name AS greenhouse")};
    for (const Metric m : Metric::allCases())
        cells.append(QStringLiteral("CASE WHEN r.%1 IS NULL THEN NULL ELSE printf('%.2f', r.%1) END AS %1").arg(m.column()));
    cells << QStringLiteral("r.source") << QStringLiteral("r.note");
    const QString out = d.dir->filePath(QStringLiteral("reference.csv"));
    const QString script = QStringLiteral(".headers on\n.mode csv\n.output '") + out + QStringLiteral("'\nSELECT ") +
                           cells.join(QStringLiteral(", ")) +
                           QStringLiteral(" FROM reading r JOIN zone z ON z.id = r.zone_id "
                                          "LEFT JOIN greenhouse g ON g.id = z.greenhouse_id "
                                          "ORDER BY z.greenhouse_id, z.name COLLATE NOCASE, r.taken, r.id;\n");
    double best = 1e300;
    for (auto _ : state) {
        QProcess sqlite;
        sqlite.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), d.store->path()});
        sqlite.write(script.toUtf8());
        sqlite.closeWriteChannel();
        if (!sqlite.waitForFinished(600000) || sqlite.exitCode() != 0) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        best = std::min(best, seconds);
    }
    bestReference[n] = best;
    state.counters["csv_MB"] = double(QFileInfo(out).size()) / 1e6;
}

// The next export's tidy of a run cut after it had put four of its files in place,
// the climate readings among them, over an earlier export of the fifteen-year store:
// each of those files is checked to be the run's own by its size and digest, and the
// earlier files go back. Timed to the tidy's end (the export is cancelled right
// after it); x_export compares it with a whole export of the same store, measured in
// the same run.
void BM_ExportTidyOfACutRun(benchmark::State& state)
{
    OVStore& store = FifteenYears::sharedScratchStore();
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
    const QString folder = dir.filePath(QStringLiteral("export"));
    QElapsedTimer whole;
    whole.start();
    Exporter::everything(store, folder);
    const double exportSeconds = double(whole.nsecsElapsed()) / 1e9;
    double best = 1e300;
    for (auto _ : state) {
        {
            // The fifth file cannot be put in place, and the four before it cannot be
            // put back: the run is left cut, for the next export to take back.
            const auto rename = ExportFolder::renameFile;
            int renames = 0;
            ExportFolder::renameFile = [&](const QString& from, const QString& to) {
                return ++renames >= 5 ? std::make_error_code(std::errc::io_error) : rename(from, to);
            };
            try {
                Exporter::everything(store, folder);
            } catch (const OVError&) {
            }
            ExportFolder::renameFile = rename;
        }
        JobState job;
        job.requestCancel();
        QElapsedTimer timer;
        timer.start();
        try {
            Exporter::everything(store, folder, &job);
        } catch (const JobCancelled&) {
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        best = std::min(best, seconds);
    }
    if (QDir(folder).entryList(QDir::Files | QDir::Hidden).size() != 8)
        state.SkipWithError("the cut run was not tidied");
    state.counters["readings"] = double(FifteenYears::readings);
    state.counters["csv_MB"] =
        double(QFileInfo(QDir(folder).filePath(QStringLiteral("Climate readings.csv"))).size()) / 1e6;
    state.counters["x_export"] = best / exportSeconds;
}

BENCHMARK(BM_ExporterEverything)->Arg(100000)->Arg(1000000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sqlite3CsvReference)->Arg(100000)->Arg(1000000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTidyOfACutRun)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [n, seconds] : bestExport) {
        const auto reference = bestReference.find(n);
        if (reference != bestReference.end() && reference->second > 0)
            std::printf("%lld readings: export %.3f s, sqlite3 %.3f s, ratio %.2f\n", static_cast<long long>(n),
                        seconds, reference->second, seconds / reference->second);
    }
    return 0;
}
