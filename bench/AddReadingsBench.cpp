// Bulk reading import into a zone that already holds 500,000 readings:
//   BM_AddReadings            100,000 new readings through OVStore::addReadings
//   BM_AddReadingsDuplicates  the same 100,000 again, every one a duplicate
//   BM_RawInsert              reference: the same rows through one prepared INSERT
//                             in one transaction, straight on the SQLite C interface
// Each timed run starts from the same 500,000 rows; the rows a run added are removed
// with the timer paused.

#include "store/OVStore.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <vector>

namespace {

constexpr qint64 existingRows = 500000;
constexpr qint64 newRows = 100000;
constexpr qint64 firstMinute = 29000000; // minutes since 1970, in 2025

Reading readingAtMinute(qint64 zoneID, qint64 minute)
{
    Reading r;
    r.zoneID = zoneID;
    r.taken = QDateTime::fromSecsSinceEpoch(minute * 60 + 17, Qt::UTC);
    r.values = {{Metric::temp, 60.0 + double(minute % 200) / 10.0},
                {Metric::humidity, 40.0 + double(minute % 50)},
                {Metric::co2, 400.0 + double(minute % 300)}};
    r.source = QStringLiteral("csv");
    return r;
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<OVStore> store;
    qint64 zoneID = 0;
    QList<Reading> batch; // the 100,000 readings every run imports
    double batchStart = 0;

    Fixture()
    {
        store = std::make_unique<OVStore>(dir.filePath(QStringLiteral("bench.sqlite")));
        Greenhouse house;
        house.name = QStringLiteral("Bench");
        store->save(house);
        Zone zone;
        zone.greenhouseID = house.id;
        zone.name = QStringLiteral("Logger");
        store->save(zone);
        zoneID = zone.id;

        QList<Reading> history;
        history.reserve(existingRows);
        for (qint64 i = 0; i < existingRows; ++i)
            history.append(readingAtMinute(zoneID, firstMinute + i));
        store->addReadings(history);

        batch.reserve(newRows);
        for (qint64 i = 0; i < newRows; ++i)
            batch.append(readingAtMinute(zoneID, firstMinute + existingRows + i));
        batchStart = double((firstMinute + existingRows) * 60);
    }

    void removeBatch()
    {
        store->db().run(QStringLiteral("DELETE FROM reading WHERE taken >= ?"), {batchStart});
    }

    qint64 readingCount() { return store->count(QStringLiteral("reading")); }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_AddReadings(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        const OVStore::ImportCounts counts = f.store->addReadings(f.batch);
        state.PauseTiming();
        if (counts.added != newRows)
            state.SkipWithError("not every reading was added");
        f.removeBatch();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * newRows);
}

void BM_AddReadingsDuplicates(benchmark::State& state)
{
    Fixture& f = fixture();
    f.store->addReadings(f.batch);
    for (auto _ : state) {
        const OVStore::ImportCounts counts = f.store->addReadings(f.batch);
        if (counts.duplicates != newRows)
            state.SkipWithError("not every reading was a duplicate");
    }
    state.SetItemsProcessed(state.iterations() * newRows);
    f.removeBatch();
}

void BM_RawInsert(benchmark::State& state)
{
    Fixture& f = fixture();
    sqlite3* db = f.store->db().handle();
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO reading (zone_id, taken, temp_f, humidity, light, co2, soil_moisture, "
                           "soil_temp_f, ph, ec, source, note) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &insert, nullptr);
        for (const Reading& r : f.batch) {
            sqlite3_bind_int64(insert, 1, r.zoneID);
            sqlite3_bind_double(insert, 2, double(r.taken.toMSecsSinceEpoch()) / 1000.0);
            int column = 3;
            for (const Metric m : Metric::allCases()) {
                const auto value = r.values.find(m);
                if (value == r.values.end())
                    sqlite3_bind_null(insert, column);
                else
                    sqlite3_bind_double(insert, column, value->second);
                ++column;
            }
            const QByteArray source = r.source.toUtf8();
            sqlite3_bind_text(insert, 11, source.constData(), int(source.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 12, "", 0, SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE)
                state.SkipWithError("insert failed");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        f.removeBatch();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * newRows);
}

} // namespace

BENCHMARK(BM_RawInsert)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AddReadings)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AddReadingsDuplicates)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
