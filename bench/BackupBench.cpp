// Backup, backup inspection and the content digest of a database of about 100 MB
// (1,000,000 readings in four zones, each with four of the eight metrics as a
// logger writes them, and 200 photos of 100 KB), against the sqlite3
// command-line tool measured in the same run on the same file: ".backup" for the
// backup and "PRAGMA integrity_check" for the inspection, whose cost it dominates.
// The command-line figures include starting the tool (a few milliseconds).

#include "records/Metric.h"
#include "store/OVStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr qint64 readingCount = 1'000'000;
constexpr int photoCount = 200;
constexpr qsizetype photoBytes = 100 * 1024;

struct Data {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX")};
    QString db;
    QString backup;
    qint64 dbBytes = 0;
    qint64 backupBytes = 0;
    std::unique_ptr<OVStore> store;
};

Data& data()
{
    static Data d;
    return d;
}

void build()
{
    Data& d = data();
    d.db = d.dir.filePath(QStringLiteral("Greenhouse.sqlite"));
    d.backup = d.dir.filePath(QStringLiteral("bench.ovbackup"));
    d.store = std::make_unique<OVStore>(d.db);
    OVStore& store = *d.store;

    Greenhouse house;
    house.name = QStringLiteral("Bench house");
    store.save(house);
    QList<qint64> zones;
    for (int z = 0; z < 4; ++z) {
        Zone zone;
        zone.greenhouseID = house.id;
        zone.name = QStringLiteral("Zone %1").arg(z + 1);
        store.save(zone);
        zones << zone.id;
    }
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    store.save(plant);

    QStringList columns{QStringLiteral("zone_id"), QStringLiteral("taken")};
    for (const Metric m : Metric::allCases())
        columns << m.column();
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");

    QRandomGenerator rng(2026);
    store.db().transaction([&] {
        SQLiteDB::Statement insert = store.db().prepare(QStringLiteral("INSERT INTO reading (") +
                                                        columns.join(QLatin1Char(',')) + QStringLiteral(") VALUES (") +
                                                        marks.join(QLatin1Char(',')) + QLatin1Char(')'));
        const double start = 1.7e9;
        for (qint64 i = 0; i < readingCount; ++i) {
            SQLArgs args{zones[int(i % 4)], start + double(i / 4) * 60.0};
            for (int m = 0; m < 8; ++m)
                args.push_back(m < 4 ? SQLValue::real(double(rng.bounded(10000)) / 100.0) : SQLValue::null());
            insert.run(args);
        }
        SQLiteDB::Statement photo = store.db().prepare(
            QStringLiteral("INSERT INTO photo (plant_id, data, caption, added) VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < photoCount; ++i) {
            QByteArray bytes(photoBytes, Qt::Uninitialized);
            rng.fillRange(reinterpret_cast<quint32*>(bytes.data()), photoBytes / 4);
            photo.run({plant.id, bytes, QStringLiteral("photo %1").arg(i), 1.7e9 + i});
        }
    });
    store.backup(QUrl::fromLocalFile(d.backup));
    d.dbBytes = QFileInfo(d.db).size();
    d.backupBytes = QFileInfo(d.backup).size();
}

double megabytes(qint64 bytes)
{
    return double(bytes) / 1e6;
}

bool runTool(const QStringList& arguments)
{
    QProcess tool;
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.setStandardErrorFile(QProcess::nullDevice());
    tool.start(QStringLiteral("sqlite3"), arguments);
    return tool.waitForFinished(600'000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

void finish(benchmark::State& state, qint64 bytes)
{
    state.counters["MB"] = megabytes(bytes);
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Backup_Orvane(benchmark::State& state)
{
    Data& d = data();
    const QUrl target = QUrl::fromLocalFile(d.dir.filePath(QStringLiteral("ours.ovbackup")));
    for (auto _ : state)
        d.store->backup(target);
    finish(state, d.dbBytes);
}

void BM_Backup_Sqlite3Cli(benchmark::State& state)
{
    Data& d = data();
    const QString target = d.dir.filePath(QStringLiteral("cli.ovbackup"));
    for (auto _ : state) {
        QFile::remove(target);
        if (!runTool({d.db, QStringLiteral(".backup '") + target + QLatin1Char('\'')}))
            state.SkipWithError("sqlite3 .backup failed");
    }
    finish(state, d.dbBytes);
}

void BM_Inspect_Orvane(benchmark::State& state)
{
    Data& d = data();
    const QUrl backup = QUrl::fromLocalFile(d.backup);
    for (auto _ : state) {
        const QMap<QString, qint64> counts = OVStore::inspectBackup(backup);
        if (counts.value(QStringLiteral("reading")) != readingCount)
            state.SkipWithError("wrong reading count");
    }
    finish(state, d.backupBytes);
}

void BM_Inspect_Sqlite3CliIntegrityCheck(benchmark::State& state)
{
    Data& d = data();
    for (auto _ : state) {
        if (!runTool({d.backup, QStringLiteral("PRAGMA integrity_check")}))
            state.SkipWithError("sqlite3 integrity_check failed");
    }
    finish(state, d.backupBytes);
}

void BM_Digest_Orvane(benchmark::State& state)
{
    Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(d.store->digest());
    finish(state, d.dbBytes);
}

} // namespace

BENCHMARK(BM_Backup_Orvane)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Backup_Sqlite3Cli)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Inspect_Orvane)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Inspect_Sqlite3CliIntegrityCheck)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Digest_Orvane)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    build();
    std::printf("database: %.1f MB (%lld readings, %d photos of %lld KB); backup: %.1f MB\n", megabytes(data().dbBytes),
                static_cast<long long>(readingCount), photoCount, static_cast<long long>(photoBytes / 1024),
                megabytes(data().backupBytes));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
