// Full rebuilds of the Pests & Diseases, Harvests and Supplies & Costs screens, laid
// out at 1380 px wide on the offscreen platform, over a large store: 3,000 pest
// records, 20,000 harvests and 20,000 cost entries tied to 300 plants in 12 zones.
// Targets: pests under 200 ms, harvests and supplies under 100 ms; one keystroke in
// the supplies search (the list rebuilt for the new text) under 50 ms.
//
// The store is the shared fifteen-year store when the generator is built in;
// otherwise one of the same sizes is made here once per run.

#include "kit/OVRebuilder.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNSearchField.h"
#include "screens/records/HarvestsView.h"
#include "screens/records/PestsView.h"
#include "screens/records/SuppliesView.h"
#include "store/OVStore.h"

#if __has_include("support/FifteenYears.h")
#include "support/FifteenYears.h"
#define OV_BENCH_FIFTEEN_YEARS 1
#endif

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

#ifndef OV_BENCH_FIFTEEN_YEARS
constexpr int pestCount = 3000;
constexpr int harvestCount = 20000;
constexpr int costCount = 20000;
constexpr int plantCount = 300;

QString makeStore(const QString& path)
{
    OVStore store(path);
    QList<qint64> zones;
    QList<qint64> plants;
    const QStringList crops = {QStringLiteral("Tomato"), QStringLiteral("Pepper"), QStringLiteral("Lettuce"),
                               QStringLiteral("Basil"), QStringLiteral("Cucumber"), QStringLiteral("Kale")};
    store.db().transaction([&] {
        for (int h = 0; h < 3; ++h) {
            Greenhouse house{.name = QStringLiteral("House %1").arg(h + 1)};
            store.save(house);
            for (int z = 0; z < 4; ++z) {
                Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Zone %1").arg(z + 1)};
                store.save(zone);
                zones.append(zone.id);
            }
        }
        for (int i = 0; i < plantCount; ++i) {
            Plant plant;
            plant.crop = crops.at(i % crops.size());
            plant.variety = i % 3 ? QStringLiteral("Variety %1").arg(i) : QString();
            store.save(plant);
            plants.append(plant.id);
        }
        const OVDay start(2011, 1, 1);
        for (int i = 0; i < pestCount; ++i) {
            PestRecord pest;
            pest.observed = start.adding(i * 5475 / pestCount);
            pest.problem = QStringLiteral("Aphids on new growth %1").arg(i);
            pest.kind = ProblemKind::allCases().at(size_t(i % 4));
            pest.severity = 1 + i % 5;
            pest.plantID = plants.at(i % plantCount);
            pest.zoneID = zones.at(i % zones.size());
            pest.treatment = i % 2 ? QStringLiteral("Insecticidal soap, 2 tbsp per gallon") : QString();
            pest.result = i % 3 ? QStringLiteral("Gone after 10 days") : QString();
            pest.resolved = i % 4 != 0;
            store.save(pest);
        }
        for (int i = 0; i < harvestCount; ++i) {
            Harvest harvest;
            harvest.plantID = plants.at(i % plantCount);
            harvest.date = start.adding(i * 5800 / harvestCount);
            harvest.quantity = 0.5 + (i % 17) * 0.25;
            harvest.unit = HarvestUnit::allCases().at(size_t(i % 5));
            harvest.quality = i % 2 ? QStringLiteral("Excellent") : QString();
            store.save(harvest);
        }
        for (int i = 0; i < costCount; ++i) {
            LedgerEntry cost;
            cost.date = start.adding(i * 5800 / costCount);
            cost.item = QStringLiteral("Potting mix, 2 cu ft #%1").arg(i);
            cost.category = LedgerCategory::allCases().at(size_t(i % 10));
            cost.cost = 3.5 + (i % 40);
            cost.vendor = i % 2 ? QStringLiteral("Farm Store") : QString();
            cost.plantID = i % 3 ? std::optional<qint64>(plants.at(i % plantCount)) : std::nullopt;
            store.save(cost);
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
    static OVStore store(makeStore(dir.filePath(QStringLiteral("records.sqlite"))));
#endif
    return store;
}

// A screen as the window shows it: inside the theme root, 1380 px wide.
template <typename View>
struct ScreenUnderTest {
    std::unique_ptr<OVThemeRoot> root;
    View* view = nullptr;

    ScreenUnderTest()
    {
        OVStore::setShared(&benchStore());
        OVRender::snapshotMode = false;
        root = std::make_unique<OVThemeRoot>([] { return new View; });
        root->setAttribute(Qt::WA_DontShowOnScreen);
        root->resize(1380, 900);
        root->show();
        QApplication::processEvents();
        view = root->findChild<View*>();
    }

    void settle()
    {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
};

void counters(benchmark::State& state)
{
    OVStore& store = benchStore();
    state.counters["pests"] = double(store.count(QStringLiteral("pest")));
    state.counters["harvests"] = double(store.count(QStringLiteral("harvest")));
    state.counters["costs"] = double(store.count(QStringLiteral("ledger")));
}

void BM_PestsRebuild(benchmark::State& state)
{
    ScreenUnderTest<PestsView> screen;
    for (auto _ : state) {
        screen.view->rebuilder()->rebuildNow();
        screen.settle();
    }
    state.counters["rows"] = double(screen.view->rows().size());
    counters(state);
}
BENCHMARK(BM_PestsRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_HarvestsRebuild(benchmark::State& state)
{
    ScreenUnderTest<HarvestsView> screen;
    for (auto _ : state) {
        screen.view->rebuilder()->rebuildNow();
        screen.settle();
    }
    state.counters["rows"] = double(screen.view->rows().size());
    counters(state);
}
BENCHMARK(BM_HarvestsRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A store revision: the entries are read again, both cards rebuilt.
void BM_SuppliesRebuild(benchmark::State& state)
{
    ScreenUnderTest<SuppliesView> screen;
    for (auto _ : state) {
        benchStore().changed();
        screen.view->yearRebuilder()->rebuildNow();
        screen.view->listRebuilder()->rebuildNow();
        screen.settle();
    }
    state.counters["rows"] = double(screen.view->rows().size());
    counters(state);
}
BENCHMARK(BM_SuppliesRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One typed character: "p", then "po", ... cycling, each followed by the list rebuild.
void BM_SuppliesSearchKeystroke(benchmark::State& state)
{
    ScreenUnderTest<SuppliesView> screen;
    QLineEdit* edit = screen.view->searchField()->lineEdit();
    const QString word = QStringLiteral("potting");
    int typed = 0;
    for (auto _ : state) {
        edit->setText(word.left(typed % word.size() + 1));
        ++typed;
        QApplication::processEvents();
        screen.settle();
    }
    state.counters["rows"] = double(screen.view->rows().size());
    counters(state);
}
BENCHMARK(BM_SuppliesSearchKeystroke)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
