// The Settings & Backup screen's refresh (the path, four row counts, the plan count)
// and the Reports screen's rebuild for "All dates" (yield and cost reports over every
// harvest and cost entry, both tables drawn), each laid out at 1380 px wide over the
// fifteen-year store: 20,000 harvests, 20,000 cost entries, 1,000,000 readings.
// Target: under 100 ms each.

#include "screens/settings/ReportsView.h"
#include "screens/settings/SettingsView.h"
#include "store/OVStore.h"
#include "support/FifteenYears.h"
#include "support/ScreenHarness.h"

#include <benchmark/benchmark.h>

namespace {

OVStore& benchStore()
{
    static OVStore store(FifteenYears::storePath());
    OVStore::setShared(&store);
    return store;
}

void BM_SettingsRefresh(benchmark::State& state)
{
    OVStore& store = benchStore();
    ScreenHarness<SettingsView> screen([] { return new SettingsView; });
    for (auto _ : state)
        screen.rebuildAndLayOut();
    state.counters["readings"] = double(store.count(QStringLiteral("reading")));
}
BENCHMARK(BM_SettingsRefresh)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ReportsAllDates(benchmark::State& state)
{
    OVStore& store = benchStore();
    ScreenHarness<ReportsView> screen([] {
        auto* view = new ReportsView;
        view->setPeriod(QStringLiteral("all"));
        return view;
    });
    for (auto _ : state)
        screen.rebuildAndLayOut();
    state.counters["harvests"] = double(store.count(QStringLiteral("harvest")));
    state.counters["costs"] = double(store.count(QStringLiteral("ledger")));
}
BENCHMARK(BM_ReportsAllDates)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
