// A logger file (timestamp, zone, four metrics; one row a minute) of 100,000 and of
// 1,000,000 rows, read and imported through ClimateCSV::importFile:
//   BM_SqliteImport    reference: the sqlite3 command line's ".import" of the same
//                      file into a plain table of a new database (run as a child)
//   BM_ReadOnly        the reading half alone: the file loaded and turned into
//                      readings, nothing stored
//   BM_ReadAndImport   into an empty zone of a new store
//   BM_Reimport        the same file again into the store that holds it: every row
//                      is a duplicate
//   BM_PeakMemory      the import in a fresh child process (this program started
//                      again): its peak resident memory (ru_maxrss from wait4) less
//                      the peak it had reached just before the import, against the
//                      file size. "/list" does the same through the in-memory
//                      preview (readFile) and the list form of addReadings.
//                      "/sheet" goes the import sheet's road, as the window does:
//                      the preview job, then the import job; preview_MB is the
//                      peak grown by the end of the preview, peak_MB by the end of
//                      the import (both over the peak with the sheet open).
// The x_import counters are each run's time per iteration over the mean time of the
// reference for the same file, measured in the same run.

#include "records/Greenhouse.h"
#include "records/Zone.h"
#include "screens/climate/CSVImportSheet.h"
#include "services/BackgroundJobs.h"
#include "services/ClimateCSV.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* childFlag = "--import-child";

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void appendNumber(std::string& out, double value, int decimals)
{
    char buffer[32];
    const auto done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, done.ptr);
}

void appendTwoDigits(std::string& out, int n)
{
    out.push_back(char('0' + n / 10));
    out.push_back(char('0' + n % 10));
}

// The logger file of `rows` rows, written once per size and kept for the whole run;
// `monthFirst` writes its dates as 1/31/2024 7:05 instead of 2024-01-31 07:05.
QString loggerFile(int rows, bool monthFirst = false)
{
    static std::map<std::pair<int, bool>, QString> made;
    if (const auto known = made.find({rows, monthFirst}); known != made.end())
        return known->second;

    const QString path = scratch().filePath(QStringLiteral("logger-%1%2.csv").arg(rows).arg(monthFirst ? "-us" : ""));
    std::string text = "timestamp,zone,temp_f,humidity,co2,light\n";
    text.reserve(size_t(rows) * 48 + 64);
    QDate day(2024, 1, 1);
    std::string dayText;
    for (int i = 0; i < rows; ++i) {
        const int minuteOfDay = i % 1440;
        if (minuteOfDay == 0) {
            if (i > 0)
                day = day.addDays(1);
            dayText = day.toString(monthFirst ? QStringLiteral("M/d/yyyy ") : QStringLiteral("yyyy-MM-dd "))
                          .toStdString();
        }
        text += dayText;
        appendTwoDigits(text, minuteOfDay / 60);
        text.push_back(':');
        appendTwoDigits(text, minuteOfDay % 60);
        text += ",Logger,";
        appendNumber(text, 55.0 + double(i % 400) / 10.0, 1);
        text.push_back(',');
        appendNumber(text, 40.0 + double(i % 550) / 10.0, 1);
        text.push_back(',');
        appendNumber(text, 400.0 + double(i % 300), 0);
        text.push_back(',');
        appendNumber(text, double((i * 37) % 60000), 0);
        text.push_back('\n');
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()))
        return {};
    made.emplace(std::pair{rows, monthFirst}, path);
    return path;
}

qint64 fileSize(const QString& path) { return QFileInfo(path).size(); }

// A new store at `path` with one greenhouse and its empty zone "Logger".
std::unique_ptr<OVStore> emptyStore(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
    auto store = std::make_unique<OVStore>(path);
    Greenhouse house;
    house.name = QStringLiteral("Bench");
    store->save(house);
    Zone zone;
    zone.greenhouseID = house.id;
    zone.name = QStringLiteral("Logger");
    store->save(zone);
    return store;
}

ClimateCSV::FileImport importInto(OVStore& store, const QString& csv)
{
    return ClimateCSV::importFile(store, csv, std::nullopt, false, QTimeZone::utc());
}

// ---- the reference --------------------------------------------------------------

// Seconds the sqlite3 command line takes to .import the file into a plain table of a
// new database; negative when it could not run.
double sqliteImportOnce(const QString& csv)
{
    const QString db = scratch().filePath(QStringLiteral("reference.sqlite"));
    QFile::remove(db);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral("sqlite3"), {db, QStringLiteral(".import --csv \"%1\" readings").arg(csv)});
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

std::map<int, std::pair<double, int>>& referenceTimes() // rows -> (sum of seconds, runs)
{
    static std::map<int, std::pair<double, int>> times;
    return times;
}

void recordReference(int rows, double seconds)
{
    auto& entry = referenceTimes()[rows];
    entry.first += seconds;
    entry.second += 1;
}

// The mean reference time for that file; measured now when BM_SqliteImport did not run.
double referenceSeconds(int rows)
{
    auto known = referenceTimes().find(rows);
    if (known == referenceTimes().end() || known->second.second == 0) {
        for (int i = 0; i < 3; ++i) {
            const double s = sqliteImportOnce(loggerFile(rows));
            if (s < 0)
                return -1;
            recordReference(rows, s);
        }
        known = referenceTimes().find(rows);
    }
    return known->second.first / known->second.second;
}

void reportAgainstReference(benchmark::State& state, int rows, double totalSeconds)
{
    const double reference = referenceSeconds(rows);
    if (reference > 0 && state.iterations() > 0)
        state.counters["x_import"] = totalSeconds / double(state.iterations()) / reference;
    state.counters["file_MB"] = double(fileSize(loggerFile(rows))) / 1e6;
    state.SetItemsProcessed(state.iterations() * rows);
}

// ---- timed runs -------------------------------------------------------------------

void BM_SqliteImport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString csv = loggerFile(rows);
    for (auto _ : state) {
        const double seconds = sqliteImportOnce(csv);
        if (seconds < 0) {
            state.SkipWithError("sqlite3 .import did not run");
            return;
        }
        state.SetIterationTime(seconds);
        recordReference(rows, seconds);
    }
    state.counters["file_MB"] = double(fileSize(csv)) / 1e6;
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_ReadAndImport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString csv = loggerFile(rows);
    const QString db = scratch().filePath(QStringLiteral("import.sqlite"));
    double total = 0;
    for (auto _ : state) {
        std::unique_ptr<OVStore> store = emptyStore(db);
        QElapsedTimer clock;
        clock.start();
        const ClimateCSV::FileImport done = importInto(*store, csv);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (done.added != rows || !done.result.problems.isEmpty())
            state.SkipWithError("not every row was imported");
    }
    reportAgainstReference(state, rows, total);
}

// The reading half alone: the file loaded and every row turned into a reading.
// "/month_first" reads the file with slash dates, which also looks once through the
// date column for day-first dates.
void BM_ReadOnly(benchmark::State& state, bool monthFirst)
{
    const int rows = int(state.range(0));
    const QString csv = loggerFile(rows, monthFirst);
    const QList<Zone> zones = {Zone{.id = 1, .greenhouseID = 1, .name = QStringLiteral("Logger")}};
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const ClimateCSV::FileText file = ClimateCSV::loadFile(csv);
        qint64 count = 0;
        ClimateCSV::streamUtf8(file.text, zones, std::nullopt, false, [&count](Reading&&) { ++count; },
                               QTimeZone::utc());
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (count != rows)
            state.SkipWithError("not every row was read");
    }
    reportAgainstReference(state, rows, total);
}

void BM_Reimport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString csv = loggerFile(rows);
    std::unique_ptr<OVStore> store = emptyStore(scratch().filePath(QStringLiteral("reimport.sqlite")));
    if (importInto(*store, csv).added != rows) {
        state.SkipWithError("the first import failed");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const ClimateCSV::FileImport done = importInto(*store, csv);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (done.added != 0 || done.duplicates != rows)
            state.SkipWithError("not every row was a duplicate");
    }
    reportAgainstReference(state, rows, total);
}

// ---- peak memory ------------------------------------------------------------------

long maxRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The child: a new store, then the import. Writes "<peak before> <peak after the
// preview> <peak after> <added>" (KiB, KiB, KiB, rows) to standard output.
int runChild(const char* mode, const char* csvPath, const char* dbPath)
{
    const QString csv = QString::fromLocal8Bit(csvPath);
    std::unique_ptr<OVStore> store = emptyStore(QString::fromLocal8Bit(dbPath));
    if (std::strcmp(mode, "sheet") == 0) {
        OVNotify::enabled = false;
        FilePanels::backend().open = [csv](const QList<FileType>&, const QString&) {
            return std::optional<QString>(csv);
        };
        CSVImportSheet sheet(std::nullopt, *store);
        const long before = maxRssKiB();
        sheet.pick();
        BackgroundJobs::shared().waitAll();
        const long previewed = maxRssKiB();
        sheet.runImport();
        BackgroundJobs::shared().waitAll();
        // "Imported N reading(s)." when it went well.
        const QStringList words = sheet.done().value_or(QString()).split(u' ');
        const long long added = words.size() > 1 ? words[1].toLongLong() : -1;
        std::printf("%ld %ld %ld %lld\n", before, previewed, maxRssKiB(), added);
        return 0;
    }
    const long before = maxRssKiB();
    qint64 added = 0;
    if (std::strcmp(mode, "list") == 0) {
        const ClimateImportResult preview =
            ClimateCSV::readFile(csv, store->zones(), std::nullopt, false, QTimeZone::utc());
        added = store->addReadings(preview.readings).added;
    } else {
        added = importInto(*store, csv).added;
    }
    std::printf("%ld %ld %ld %lld\n", before, before, maxRssKiB(), static_cast<long long>(added));
    return 0;
}

struct ChildPeak {
    long beforeKiB = 0;
    long previewKiB = 0;
    long peakKiB = 0; // from wait4
    long long added = 0;
    double seconds = 0;
    bool ok = false;
};

// Starts this program again in child mode and waits for it.
ChildPeak measureChild(const char* mode, const QString& csv)
{
    ChildPeak result;
    int out[2];
    if (pipe(out) != 0)
        return result;
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray csvArg = QFile::encodeName(csv);
    const QByteArray dbArg = QFile::encodeName(scratch().filePath(QStringLiteral("child.sqlite")));
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(self.constData(), self.constData(), childFlag, mode, csvArg.constData(), dbArg.constData(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    if (pid < 0) {
        close(out[0]);
        return result;
    }
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return result;
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    long peakSeen = 0;
    if (std::sscanf(text.c_str(), "%ld %ld %ld %lld", &result.beforeKiB, &result.previewKiB, &peakSeen,
                    &result.added)
        != 4)
        return result;
    result.peakKiB = usage.ru_maxrss;
    result.ok = true;
    return result;
}

void BM_PeakMemory(benchmark::State& state, const char* mode)
{
    const int rows = int(state.range(0));
    const QString csv = loggerFile(rows);
    const double fileBytes = double(fileSize(csv));
    ChildPeak peak;
    for (auto _ : state) {
        peak = measureChild(mode, csv);
        if (!peak.ok || peak.added != rows) {
            state.SkipWithError("the child import failed");
            return;
        }
        state.SetIterationTime(peak.seconds);
    }
    const double grownBytes = double(peak.peakKiB - peak.beforeKiB) * 1024.0;
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["peak_MB"] = grownBytes / 1e6;
    state.counters["x_file"] = grownBytes / fileBytes;
    state.counters["before_MB"] = double(peak.beforeKiB) * 1024.0 / 1e6;
    if (std::strcmp(mode, "sheet") == 0)
        state.counters["preview_MB"] = double(peak.previewKiB - peak.beforeKiB) * 1024.0 / 1e6;
}

void registerAll()
{
    for (const int rows : {100000, 1000000}) {
        const int iterations = rows > 100000 ? 2 : 5;
        benchmark::RegisterBenchmark("BM_SqliteImport", BM_SqliteImport)
            ->Arg(rows)->UseManualTime()->Iterations(iterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ReadOnly", BM_ReadOnly, false)
            ->Arg(rows)->UseManualTime()->Iterations(iterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ReadOnly/month_first", BM_ReadOnly, true)
            ->Arg(rows)->UseManualTime()->Iterations(iterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ReadAndImport", BM_ReadAndImport)
            ->Arg(rows)->UseManualTime()->Iterations(iterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_Reimport", BM_Reimport)
            ->Arg(rows)->UseManualTime()->Iterations(iterations)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_PeakMemory/stream", BM_PeakMemory, "stream")
            ->Arg(rows)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_PeakMemory/list", BM_PeakMemory, "list")
            ->Arg(rows)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    }
    // The sheet also with a file of 3,200,000 rows (about 150 MB).
    for (const int rows : {1000000, 3200000})
        benchmark::RegisterBenchmark("BM_PeakMemory/sheet", BM_PeakMemory, "sheet")
            ->Arg(rows)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], childFlag) == 0) {
        if (std::strcmp(argv[2], "sheet") != 0) {
            QCoreApplication app(argc, argv);
            return runChild(argv[2], argv[3], argv[4]);
        }
        // The sheet is a widget: an offscreen application whose settings stay in the
        // scratch folder.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QByteArray root = scratch().path().toUtf8();
        qputenv("XDG_CONFIG_HOME", root + "/config");
        qputenv("XDG_DATA_HOME", root + "/data");
        QApplication app(argc, argv);
        return runChild(argv[2], argv[3], argv[4]);
    }
    QCoreApplication app(argc, argv);

    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
