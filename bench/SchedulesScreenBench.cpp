// The schedule screens over a fifteen-year store: a rebuild of the Watering &
// Feeding and of the Maintenance screen (list sorted by next due, rows made or
// kept, the calendar's month placed, laid out at 1380 px wide on the offscreen
// platform) with nothing, one row or every row changed, and the first build,
// and the month calendar's paint with 300 daily tasks (every day holding 300
// placements). Targets: rebuild < 50 ms, calendar paint < 16 ms (one frame).

#include "kit/OVRender.h"
#include "records/Greenhouse.h"
#include "records/Zone.h"
#include "screens/schedules/MonthCalendar.h"
#include "screens/schedules/TasksView.h"
#include "store/OVStore.h"

#if __has_include("support/FifteenYears.h")
#include "support/FifteenYears.h"
#include "support/ScreenHarness.h"
#define OV_HAVE_FIFTEEN_YEARS 1
#endif

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

#ifndef OV_HAVE_FIFTEEN_YEARS
// Stand-in until the shared generator is in place: 300 schedules (240 watering,
// feeding and nutrient checks, 60 maintenance jobs) with 1,000 completions each.
void fill(OVStore& store)
{
    Greenhouse house{.name = QStringLiteral("North House")};
    store.save(house);
    QList<qint64> zones;
    for (int z = 0; z < 4; ++z) {
        Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Bay %1").arg(z + 1)};
        store.save(zone);
        zones.append(zone.id);
    }
    const OVDay start(2011, 3, 1);
    const TaskKind kinds[] = {TaskKind::water, TaskKind::feed, TaskKind::nutrient, TaskKind::maintenance};
    SQLiteDB& db = store.db();
    db.transaction([&] {
        auto insertTask = db.prepare(QStringLiteral(
            "INSERT INTO task (kind, category, title, zone_id, amount, rule, start, hour, minute, last_done, remind, "
            "active) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)"));
        auto insertLog = db.prepare(QStringLiteral("INSERT INTO task_log (task_id, done_at, note) VALUES (?, ?, '')"));
        const double end = QDateTime(QDate(2026, 3, 1), QTime(8, 0), QTimeZone::utc()).toSecsSinceEpoch();
        for (int i = 0; i < 300; ++i) {
            const TaskKind kind = i < 240 ? kinds[i % 3] : TaskKind(TaskKind::maintenance);
            const QString rule = kind == TaskKind::maintenance ? QStringLiteral("monthday:1:%1").arg(1 + i % 28)
                                 : i % 5 == 0 ? QStringLiteral("weeks:1:2,5")
                                              : QStringLiteral("days:%1").arg(1 + i % 7);
            const double last = end - 3600.0 * (i % 200);
            const qint64 id = insertTask.run(
                {kind.rawValue(), kind == TaskKind::maintenance ? QStringLiteral("vents") : QString(),
                 QStringLiteral("Job %1").arg(i, 3, 10, QLatin1Char('0')), zones[i % 4], QStringLiteral("1 gal"),
                 rule, start.iso(), qint64(6 + i % 12), qint64(i % 60), last, qint64(i % 17 != 0)});
            for (int k = 0; k < 1000; ++k)
                insertLog.run({id, last - 86400.0 * 5 * k});
        }
    });
}
#endif

OVStore& benchStore()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static std::unique_ptr<OVStore> store;
    if (!store) {
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
#ifdef OV_HAVE_FIFTEEN_YEARS
        // The rebuild benchmarks change tasks: they work on a copy.
        store = std::make_unique<OVStore>(FifteenYears::scratchCopy(dir->path()));
#else
        store = std::make_unique<OVStore>(dir->filePath(QStringLiteral("schedules.sqlite")));
        fill(*store);
#endif
        OVStore::setShared(store.get());
    }
    return *store;
}

// Lets the layout settle and the replaced widgets go, as the event loop would.
void settle(QWidget& view)
{
    view.layout()->activate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void counters(benchmark::State& state, const TasksView& view)
{
    OVStore& store = benchStore();
    state.counters["rows"] = double(view.rows().size());
    state.counters["tasks"] = double(store.count(QStringLiteral("task")));
    state.counters["history"] = double(store.count(QStringLiteral("task_log")));
}

enum class Change { none, oneDone, everyRow, oneEdited };

// One rebuild of a shown screen at 1380 px: with nothing changed, after one task
// was marked done (the usual case), with every row changed (the worst case), or
// after one task's time was edited (the calendar places its month again).
void rebuildScreen(benchmark::State& state, const QList<TaskKind>& kinds, Screen screen, Change change)
{
    OVStore& store = benchStore();
    // As in the window: the page scrolls, so only the rows in view are painted.
    OVRender::snapshotMode = false;
    TasksView view(kinds, screen);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(1380, 900);
    view.show();
    QCoreApplication::processEvents();
    const QList<OVTask> tasks = TasksView::tasksOfKinds(store, kinds);
    QDateTime at = QDateTime(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc());
    qint64 n = 0;
    for (auto _ : state) {
        if (change == Change::oneDone) {
            state.PauseTiming();
            at = at.addSecs(60);
            store.db().exec(QStringLiteral("UPDATE task SET last_done = %1 WHERE id = %2")
                                .arg(at.toSecsSinceEpoch())
                                .arg(tasks[n++ % tasks.size()].id));
            state.ResumeTiming();
        } else if (change == Change::oneEdited) {
            // A new time of day: the calendar places the month again.
            state.PauseTiming();
            store.db().exec(QStringLiteral("UPDATE task SET minute = %1 WHERE id = %2")
                                .arg(n % 60)
                                .arg(tasks[n % tasks.size()].id));
            ++n;
            state.ResumeTiming();
        } else if (change == Change::everyRow) {
            state.PauseTiming();
            at = at.addSecs(60);
            store.db().exec(QStringLiteral("UPDATE task SET last_done = %1").arg(at.toSecsSinceEpoch()));
            state.ResumeTiming();
        }
        view.rebuildNow();
        settle(view);
    }
    counters(state, view);
}

void BM_WateringFeedingRebuild(benchmark::State& state)
{
    rebuildScreen(state, TasksView::scheduleKinds(), Screen::schedules, Change(state.range(0)));
}

void BM_MaintenanceRebuild(benchmark::State& state)
{
    rebuildScreen(state, TasksView::maintenanceKinds(), Screen::maintenance, Change(state.range(0)));
}

// The screen made, laid out and shown from nothing (switching to it).
void BM_WateringFeedingFirstBuild(benchmark::State& state)
{
    benchStore();
    OVRender::snapshotMode = false;
    for (auto _ : state) {
        TasksView view(TasksView::scheduleKinds(), Screen::schedules);
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(1380, 900);
        view.show();
        settle(view);
        state.PauseTiming();
        view.hide();
        state.ResumeTiming();
    }
}

QList<OVTask> dailyTasks(int n)
{
    QList<OVTask> tasks;
    for (int i = 0; i < n; ++i) {
        OVTask task;
        task.title = QStringLiteral("Daily job %1").arg(i);
        task.start = OVDay(2026, 1, 1);
        task.hour = 6 + i % 12;
        tasks.append(task);
    }
    return tasks;
}

void BM_CalendarPaint300Daily(benchmark::State& state)
{
    MonthCalendar calendar(OVDay(2026, 7, 1), dailyTasks(300));
    calendar.setAttribute(Qt::WA_DontShowOnScreen);
    calendar.resize(1300, calendar.sizeHint().height());
    calendar.show();
    QCoreApplication::processEvents();
    QImage image(calendar.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::black);
        calendar.render(&image);
    }
    state.counters["chips_per_day"] = double(calendar.titlesOn(15).size());
}

void BM_CalendarPlace300Daily(benchmark::State& state)
{
    MonthCalendar calendar(OVDay(2026, 7, 1), dailyTasks(300));
    int m = 0;
    for (auto _ : state)
        calendar.setMonth(OVDay(2026, 7 + (++m % 2), 1));
}

} // namespace

// Argument: 0 nothing changed, 1 one task marked done, 2 every row changed, 3 one
// task's time edited.
BENCHMARK(BM_WateringFeedingRebuild)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1)->Arg(2)->Arg(3);
BENCHMARK(BM_MaintenanceRebuild)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1)->Arg(2)->Arg(3);
BENCHMARK(BM_WateringFeedingFirstBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalendarPaint300Daily)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalendarPlace300Daily)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
