// A full rebuild of the Greenhouses screen, laid out at 1380 px wide on the offscreen
// platform, over a large store: 3 greenhouses, 12 zones with alert ranges and beds
// and benches, 1,000,000 climate readings. The rebuild reads the greenhouses, each
// card's zones, and per zone row its newest reading and its spots. Target: under
// 100 ms. A second case adds painting the whole page (a grab) for reference.
//
// The store is the shared fifteen-year store when the generator is built in;
// otherwise one of the same sizes is made here once per run.

#include "kit/OVRebuilder.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "screens/greenhouses/GreenhouseCard.h"
#include "screens/greenhouses/GreenhousesView.h"
#include "store/OVStore.h"

#if __has_include("support/FifteenYears.h")
#include "support/FifteenYears.h"
#include "support/ScreenHarness.h"
#define OV_BENCH_FIFTEEN_YEARS 1
#endif

#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int greenhouseCount = 3;
constexpr int zonesPerGreenhouse = 4;
constexpr qint64 readingCount = 1000000;

#ifndef OV_BENCH_FIFTEEN_YEARS
// Three greenhouses of four zones, each zone with two ranges, two beds and a bench;
// the readings spread over the zones a minute apart, inserted in one transaction.
QString makeStore(const QString& path)
{
    OVStore store(path);
    QList<qint64> zones;
    for (int h = 0; h < greenhouseCount; ++h) {
        Greenhouse house{.name = QStringLiteral("House %1").arg(h + 1), .location = QStringLiteral("Yard"),
                         .size = QStringLiteral("12 × 20 ft"), .glazing = QStringLiteral("Polycarbonate")};
        store.save(house);
        for (int z = 0; z < zonesPerGreenhouse; ++z) {
            Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Zone %1").arg(z + 1)};
            zone.limits = {{Metric::temp, MetricRange(55, 90)}, {Metric::humidity, MetricRange(40, 85)}};
            store.save(zone);
            zones.append(zone.id);
            for (int s = 0; s < 3; ++s) {
                Spot spot{.zoneID = zone.id, .kind = s < 2 ? SpotKind::bed : SpotKind::bench,
                          .name = QString::number(s + 1), .size = QStringLiteral("4 × 10 ft")};
                store.save(spot);
            }
        }
    }
    SQLiteDB& db = store.db();
    db.transaction([&] {
        SQLiteDB::Statement insert = db.prepare(QStringLiteral(
            "INSERT INTO reading (zone_id, taken, temp_f, humidity, source, note) VALUES (?, ?, ?, ?, ?, '')"));
        const QString manual = QStringLiteral("manual");
        for (qint64 i = 0; i < readingCount; ++i) {
            const double f = double(i % 24) / 23.0;
            insert.run({zones[int(i % zones.size())], 1.3e9 + 60.0 * double(i), 58 + 24 * f, 70 - 22 * f, manual});
        }
    });
    return path;
}
#endif

OVStore& benchStore()
{
#ifdef OV_BENCH_FIFTEEN_YEARS
    static OVStore store(FifteenYears::storePath());
#else
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
    static OVStore store(makeStore(dir.filePath(QStringLiteral("greenhouses.sqlite"))));
#endif
    return store;
}

// The screen as the window shows it: inside the theme root, 1380 px wide.
struct ScreenUnderTest {
    std::unique_ptr<OVThemeRoot> root;
    GreenhousesView* view = nullptr;

    ScreenUnderTest()
    {
        OVStore::setShared(&benchStore());
        OVRender::snapshotMode = true;
        root = std::make_unique<OVThemeRoot>([] { return new GreenhousesView; });
        root->setAttribute(Qt::WA_DontShowOnScreen);
        root->resize(1380, 900);
        root->show();
        QApplication::processEvents();
        view = root->findChild<GreenhousesView*>();
    }

    void rebuildAndLayOut()
    {
        view->rebuilder()->rebuildNow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        root->adjustSize();
    }
};

void BM_GreenhousesRebuild(benchmark::State& state)
{
    ScreenUnderTest screen;
    for (auto _ : state)
        screen.rebuildAndLayOut();
    state.counters["greenhouses"] = double(screen.view->cards().size());
    state.counters["readings"] = double(benchStore().count(QStringLiteral("reading")));
}
BENCHMARK(BM_GreenhousesRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GreenhousesRebuildAndPaint(benchmark::State& state)
{
    ScreenUnderTest screen;
    for (auto _ : state) {
        screen.rebuildAndLayOut();
        benchmark::DoNotOptimize(screen.root->grab());
    }
}
BENCHMARK(BM_GreenhousesRebuildAndPaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
