// The Climate screen and the climate CSV import sheet over large data:
//   BM_ClimateRefresh/<days>/<markers>   a full drawing of the screen (zone list,
//        readings query, count query, chart, the 60 rows), laid out at 1380 px wide on
//        the offscreen platform, for the periods 7 days, 90 days and All (0). markers
//        0: dots stamped by the line series (light markers), 1: a separate scatter
//        series. Target: under 100 ms.
//   BM_ClimateRefreshAndPaint/<days>/<markers>   the same plus painting the page.
//   BM_SheetPreview     the sheet reading a 100,000-row logger file and showing its
//                       preview (pick()). Target: under 1 s.
//   BM_SqliteImport     reference: the sqlite3 command line's ".import" of that file
//                       into a plain table of a new database (a child process).
//   BM_SheetImport      the sheet's Import of that file into an empty zone of a new
//                       store (the previewed text read again row by row into the
//                       store, the summary, the alert check). x_import = its time over the reference's, measured
//                       in the same run. Target: within 3x.
//
// The screen store is the shared fifteen-year store when its generator is built in;
// otherwise one of 3 greenhouses, 12 zones and 1,000,000 readings spread over the
// fifteen years up to now is made once per run.

#include "kit/OVRebuilder.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "records/Greenhouse.h"
#include "screens/climate/CSVImportSheet.h"
#include "screens/climate/ClimateChart.h"
#include "screens/climate/ClimateView.h"
#include "services/AppModel.h"
#include "services/BackgroundJobs.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#if __has_include("support/FifteenYears.h")
#include "support/FifteenYears.h"
#define OV_BENCH_FIFTEEN_YEARS 1
#endif

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLayout>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <charconv>
#include <map>
#include <memory>
#include <string>

namespace {

QTemporaryDir& scratch()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
    return dir;
}

#ifndef OV_BENCH_FIFTEEN_YEARS
constexpr int greenhouseCount = 3;
constexpr int zonesPerGreenhouse = 4;
constexpr qint64 readingCount = 1000000;

// Readings round-robin over the zones, evenly spaced over fifteen years ending now,
// inserted in one transaction.
QString makeStore(const QString& path)
{
    OVStore store(path);
    QList<qint64> zones;
    for (int h = 0; h < greenhouseCount; ++h) {
        Greenhouse house{.name = QStringLiteral("House %1").arg(h + 1)};
        store.save(house);
        for (int z = 0; z < zonesPerGreenhouse; ++z) {
            Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Zone %1").arg(z + 1)};
            zone.limits = {{Metric::temp, MetricRange(55, 90)}, {Metric::humidity, MetricRange(40, 85)}};
            store.save(zone);
            zones.append(zone.id);
        }
    }
    const double end = double(QDateTime::currentSecsSinceEpoch()) - 60;
    const double step = 15.0 * 365.25 * 86400.0 / double(readingCount);
    SQLiteDB& db = store.db();
    db.transaction([&] {
        SQLiteDB::Statement insert = db.prepare(
            QStringLiteral("INSERT INTO reading (zone_id, taken, temp_f, humidity, light, co2, source, note) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, '')"));
        const QString manual = QStringLiteral("manual");
        for (qint64 i = 0; i < readingCount; ++i) {
            const double f = double(i % 24) / 23.0;
            insert.run({zones[int(i % zones.size())], end - step * double(readingCount - 1 - i), 58 + 34 * f,
                        70 - 22 * f, 1000.0 * double(i % 50), 400 + double(i % 300), manual});
        }
    });
    return path;
}
#endif

OVStore& screenStore()
{
#ifdef OV_BENCH_FIFTEEN_YEARS
    static OVStore store(FifteenYears::storePath());
#else
    // Made once and kept beside the benchmark, so later runs start at once.
    static const QString path = [] {
        const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/climate-bench.sqlite");
        if (QFile::exists(file)) {
            OVStore existing(file);
            if (existing.count(QStringLiteral("reading")) == readingCount)
                return file;
        }
        QFile::remove(file);
        return makeStore(file);
    }();
    static OVStore store(path);
#endif
    return store;
}

// The zone with the most readings, so every period has the most to show.
qint64 busiestZone(OVStore& store)
{
    qint64 best = 0;
    qint64 most = -1;
    for (const Zone& zone : store.zones()) {
        const qint64 n = store.readingCount(zone.id);
        if (n > most) {
            most = n;
            best = zone.id;
        }
    }
    return best;
}

struct ScreenUnderTest {
    std::unique_ptr<OVThemeRoot> root;
    ClimateView* view = nullptr;

    explicit ScreenUnderTest(int days)
    {
        OVStore::setShared(&screenStore());
        AppModel::shared().setClimateZoneID(busiestZone(screenStore()));
        OVRender::snapshotMode = true;
        root = std::make_unique<OVThemeRoot>([] { return new ClimateView; });
        root->setAttribute(Qt::WA_DontShowOnScreen);
        root->resize(1380, 900);
        root->show();
        QApplication::processEvents();
        view = root->findChild<ClimateView*>();
        view->setDays(days);
        rebuildAndLayOut();
    }

    void rebuildAndLayOut()
    {
        view->setDays(view->days()); // a full drawing, not only the chart
        view->rebuilder()->rebuildNow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        root->adjustSize();
    }
};

void setMarkers(const benchmark::State& state)
{
    ClimateChart::markers = state.range(1) == 0 ? ClimateChart::Markers::light : ClimateChart::Markers::scatter;
}

void reportScreen(benchmark::State& state, const ScreenUnderTest& screen)
{
    state.counters["points"] = double(screen.view->chart() ? screen.view->chart()->pointCount() : 0);
    state.counters["rows"] = double(screen.view->rows().size());
    state.counters["zone_readings"] =
        double(screenStore().readingCount(*screen.view->selectedZoneID()));
    state.counters["store_readings"] = double(screenStore().count(QStringLiteral("reading")));
}

void BM_ClimateRefresh(benchmark::State& state)
{
    setMarkers(state);
    ScreenUnderTest screen(int(state.range(0)));
    for (auto _ : state)
        screen.rebuildAndLayOut();
    reportScreen(state, screen);
}
BENCHMARK(BM_ClimateRefresh)
    ->ArgsProduct({{7, 90, 0}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

void BM_ClimateRefreshAndPaint(benchmark::State& state)
{
    setMarkers(state);
    ScreenUnderTest screen(int(state.range(0)));
    for (auto _ : state) {
        screen.rebuildAndLayOut();
        benchmark::DoNotOptimize(screen.root->grab());
    }
    reportScreen(state, screen);
}
BENCHMARK(BM_ClimateRefreshAndPaint)
    ->ArgsProduct({{7, 90, 0}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

// ---- the import sheet -----------------------------------------------------------------

constexpr int fileRows = 100000;

void appendNumber(std::string& out, double value, int decimals)
{
    char buffer[32];
    const auto done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, done.ptr);
}

// A logger file: timestamp, zone, four metrics, one row a minute, written once.
QString loggerFile()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    std::string text = "timestamp,zone,temp_f,humidity,co2,light\n";
    text.reserve(size_t(fileRows) * 48);
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc());
    QDate day;
    std::string dayText;
    for (int i = 0; i < fileRows; ++i) {
        const QDateTime t = start.addSecs(60 * qint64(i));
        if (t.date() != day) {
            day = t.date();
            dayText = day.toString(QStringLiteral("yyyy-MM-dd ")).toStdString();
        }
        text += dayText + t.time().toString(QStringLiteral("HH:mm")).toStdString() + ",Logger,";
        appendNumber(text, 55.0 + double(i % 400) / 10.0, 1);
        text.push_back(',');
        appendNumber(text, 40.0 + double(i % 550) / 10.0, 1);
        text.push_back(',');
        appendNumber(text, 400.0 + double(i % 300), 0);
        text.push_back(',');
        appendNumber(text, double((i * 37) % 60000), 0);
        text.push_back('\n');
    }
    const QString file = scratch().filePath(QStringLiteral("logger-100000.csv"));
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(text.data(), qint64(text.size()));
    path = file;
    return path;
}

// A new store with one greenhouse and its empty zone "Logger".
std::unique_ptr<OVStore> loggerStore(const QString& path, qint64* zoneID)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path + QStringLiteral("-wal"));
    auto store = std::make_unique<OVStore>(path);
    Greenhouse house{.name = QStringLiteral("Bench")};
    store->save(house);
    Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Logger")};
    zone.limits = {{Metric::temp, MetricRange(50, 90)}};
    store->save(zone);
    *zoneID = zone.id;
    return store;
}

void chooseLoggerFile()
{
    FilePanels::backend().open = [](const QList<FileType>&, const QString&) {
        return std::optional<QString>(loggerFile());
    };
}

std::pair<double, int>& referenceTime()
{
    static std::pair<double, int> sum{0, 0};
    return sum;
}

// Seconds for sqlite3's .import of the file into a new database; negative on failure.
double sqliteImportOnce()
{
    const QString db = scratch().filePath(QStringLiteral("reference.sqlite"));
    QFile::remove(db);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("sqlite3"), {db, QStringLiteral(".import --csv \"%1\" readings").arg(loggerFile())});
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    referenceTime().first += seconds;
    referenceTime().second += 1;
    return seconds;
}

void BM_SheetPreview(benchmark::State& state)
{
    qint64 zoneID = 0;
    auto store = loggerStore(scratch().filePath(QStringLiteral("preview.sqlite")), &zoneID);
    chooseLoggerFile();
    CSVImportSheet sheet(zoneID, *store);
    for (auto _ : state) {
        sheet.pick();
        BackgroundJobs::shared().waitAll();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (!sheet.result() || sheet.result()->ready != fileRows)
        state.SkipWithError("the preview did not read every row");
    state.counters["rows"] = fileRows;
}
BENCHMARK(BM_SheetPreview)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_SqliteImport(benchmark::State& state)
{
    loggerFile();
    for (auto _ : state) {
        const double seconds = sqliteImportOnce();
        if (seconds < 0) {
            state.SkipWithError("sqlite3 .import did not run");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["rows"] = fileRows;
}
BENCHMARK(BM_SqliteImport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SheetImport(benchmark::State& state)
{
    chooseLoggerFile();
    OVNotify::enabled = false;
    double total = 0;
    for (auto _ : state) {
        qint64 zoneID = 0;
        auto store = loggerStore(scratch().filePath(QStringLiteral("import.sqlite")), &zoneID);
        CSVImportSheet sheet(zoneID, *store);
        sheet.pick();
        BackgroundJobs::shared().waitAll();
        QElapsedTimer clock;
        clock.start();
        sheet.runImport();
        BackgroundJobs::shared().waitAll();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (!sheet.done() || !sheet.done()->startsWith(QStringLiteral("Imported %1 ").arg(fileRows)))
            state.SkipWithError("not every row was imported");
    }
    if (referenceTime().second == 0)
        for (int i = 0; i < 3; ++i)
            sqliteImportOnce();
    if (referenceTime().second > 0 && state.iterations() > 0)
        state.counters["x_import"] =
            total / double(state.iterations()) / (referenceTime().first / referenceTime().second);
    state.counters["rows"] = fileRows;
}
BENCHMARK(BM_SheetImport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and data of the run stay in its scratch folder.
    const QByteArray root = scratch().path().toUtf8();
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    OVNotify::enabled = false;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
