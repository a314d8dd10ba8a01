// The Today screen over the fifteen-year store (12 zones with 1,000,000 readings,
// 2,000 plants of which 600 active, 300 schedules with 300,000 completions, 3,000
// pest records, 20,000 harvests): a full rebuild of the shown screen at 1380 px on
// the offscreen platform (summary, welcome check, tiles, both columns, the climate
// grid, layout and the old content's deletion), after one task was marked done
// (the usual store change) and with nothing changed; the summary alone; and the
// screen made and shown from nothing. Target: rebuild < 100 ms.

#include "kit/OVRebuilder.h"
#include "kit/OVRender.h"
#include "kit/TaskRow.h"
#include "screens/today/ClimateNowGrid.h"
#include "screens/today/TodayView.h"
#include "services/TodaySummary.h"
#include "store/OVStore.h"
#include "support/FifteenYears.h"
#include "support/ScreenHarness.h"

#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A scratch copy of the cached store: the "done" case writes.
OVStore& benchStore()
{
    return FifteenYears::sharedScratchStore();
}

// Lets the layout settle and the replaced widgets go, as the event loop would.
void settle(QWidget& view)
{
    view.layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void counters(benchmark::State& state, const TodayView& view)
{
    OVStore& store = benchStore();
    state.counters["due_rows"] = double(view.dueRows().size());
    state.counters["upcoming_rows"] = double(view.upcomingRows().size());
    state.counters["zone_tiles"] = double(view.climateGrid()->tiles().size());
    state.counters["harvest_rows"] = double(view.harvestRows().size());
    state.counters["problem_rows"] = double(view.problemRows().size());
    state.counters["tasks"] = double(store.count(QStringLiteral("task")));
    state.counters["pests"] = double(store.count(QStringLiteral("pest")));
    state.counters["readings"] = double(store.count(QStringLiteral("reading")));
}

// Argument 0: nothing changed; 1: one due task marked done before each rebuild.
void BM_TodayRebuild(benchmark::State& state)
{
    OVStore& store = benchStore();
    OVRender::snapshotMode = true;
    TodayView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(1380, 900);
    view.show();
    QCoreApplication::processEvents();
    settle(view);
    QDateTime at = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        if (state.range(0) == 1) {
            state.PauseTiming();
            const QList<TaskRow*> rows = view.dueRows();
            if (!rows.isEmpty()) {
                at = at.addSecs(1);
                store.markDone(rows.first()->task(), at, QString());
            }
            state.ResumeTiming();
        }
        view.rebuilder()->rebuildNow();
        settle(view);
    }
    counters(state, view);
}

void BM_TodaySummary(benchmark::State& state)
{
    OVStore& store = benchStore();
    for (auto _ : state) {
        TodaySummary summary(store);
        benchmark::DoNotOptimize(summary.activePlants);
    }
}

void BM_TodayFirstBuild(benchmark::State& state)
{
    benchStore();
    OVRender::snapshotMode = true;
    for (auto _ : state) {
        TodayView view;
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(1380, 900);
        view.show();
        settle(view);
        state.PauseTiming();
        view.hide();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_TodayRebuild)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);
BENCHMARK(BM_TodaySummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TodayFirstBuild)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
