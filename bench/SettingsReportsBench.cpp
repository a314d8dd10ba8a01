// The Settings & Backup screen's refresh (the path, four row counts, the plan count)
// and the Reports screen's rebuild for "All dates" (yield and cost reports over every
// harvest and cost entry, both tables drawn), each laid out at 1380 px wide over the
// fifteen-year store: 20,000 harvests, 20,000 cost entries, 1,000,000 readings.
// Target: under 100 ms each. Beside them, the reports' figures alone: from the store's
// per-crop sums (what the screen uses) and from the record lists (the reference).

#include "screens/settings/ReportsView.h"
#include "screens/settings/SettingsView.h"
#include "services/Reports.h"
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

// The two report tables for "All dates" from the store's per-crop sums, and from the
// record lists as a reference in the same run. Counter `equal` is 1 when every cell of
// both tables is the same either way.
ReportTableText yieldFromLists(OVStore& store)
{
    return Reports::yieldTable(Reports::yield(store.harvests(), std::nullopt, std::nullopt));
}

ReportTableText costFromLists(OVStore& store)
{
    return Reports::costTable(Reports::costs(store.harvests(), store.ledger(), std::nullopt, std::nullopt));
}

bool sameTable(const ReportTableText& a, const ReportTableText& b)
{
    return a.header == b.header && a.rows == b.rows && a.total == b.total;
}

void BM_ReportSumsAllDates(benchmark::State& state)
{
    OVStore& store = benchStore();
    ReportTableText yield;
    ReportTableText cost;
    for (auto _ : state) {
        const Reports::BothReports reports = Reports::fromStore(store, std::nullopt, std::nullopt);
        yield = Reports::yieldTable(reports.yield);
        cost = Reports::costTable(reports.costs);
    }
    state.counters["equal"] = sameTable(yield, yieldFromLists(store)) && sameTable(cost, costFromLists(store)) ? 1 : 0;
    state.counters["harvests"] = double(store.count(QStringLiteral("harvest")));
    state.counters["costs"] = double(store.count(QStringLiteral("ledger")));
}
BENCHMARK(BM_ReportSumsAllDates)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ReportListsAllDates(benchmark::State& state)
{
    OVStore& store = benchStore();
    for (auto _ : state) {
        benchmark::DoNotOptimize(yieldFromLists(store));
        benchmark::DoNotOptimize(costFromLists(store));
    }
}
BENCHMARK(BM_ReportListsAllDates)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
