// Reminder planning for 1,000 tasks of every rule kind, a third of them started in
// 2000, against two references measured in the same run: the same tasks all started
// this month (long-running tasks must not cost more), and 1,000 bare wall-time to
// instant conversions (the unit of work every occurrence needs).

#include "records/Calendar.h"
#include "records/OVTask.h"
#include "services/ReminderPlanner.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

const Calendar& denver()
{
    static const Calendar calendar(QTimeZone(QByteArrayLiteral("America/Denver")));
    return calendar;
}

QDateTime planningNow() { return denver().instant(QDate(2026, 10, 24), QTime(12, 0)); }

QList<OVTask> tasks(bool longRunning)
{
    std::mt19937 rng(42);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    QList<OVTask> out;
    for (int i = 0; i < 1000; ++i) {
        OVTask t;
        t.id = i + 1;
        switch (i % 6) {
        case 0: t.rule = Recurrence::everyDays(pick(1, 7)); break;
        case 1: t.rule = Recurrence::weekly(pick(1, 2), {2, 5}); break;
        case 2: t.rule = Recurrence::monthlyDay(1, pick(1, 31)); break;
        case 3: t.rule = Recurrence::monthlyLast(pick(1, 3)); break;
        case 4: t.rule = Recurrence::yearly(pick(1, 12), pick(1, 31)); break;
        default: t.rule = Recurrence::everyDays(1); break;
        }
        t.start = longRunning && i % 3 == 0 ? OVDay(2000, 1, 1 + i % 28) : OVDay(2026, 10, 1 + i % 28);
        t.hour = pick(5, 20);
        t.minute = pick(0, 59);
        if (i % 4 == 0)
            t.lastDone = planningNow().addDays(-pick(0, 5));
        out.append(t);
    }
    return out;
}

void plan(benchmark::State& state, bool longRunning)
{
    const QList<OVTask> list = tasks(longRunning);
    const QDateTime now = planningNow();
    const auto zoneName = [](std::optional<qint64>) { return QStringLiteral("Zone"); };
    for (auto _ : state) {
        auto result = ReminderPlanner::plan(list, zoneName, now, 30, denver());
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * list.size());
}

void BM_Plan1000TasksSomeFrom2000(benchmark::State& state) { plan(state, true); }
void BM_Plan1000TasksAllRecent(benchmark::State& state) { plan(state, false); }

void BM_Reference1000WallTimeConversions(benchmark::State& state)
{
    const QDate day(2026, 10, 25);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            auto t = denver().instant(day.addDays(i % 60), QTime(8, i % 60));
            benchmark::DoNotOptimize(t);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

} // namespace

BENCHMARK(BM_Plan1000TasksSomeFrom2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plan1000TasksAllRecent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference1000WallTimeConversions)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
