// The two schedule screens: which tasks, in which order, banner, calendar card,
// the add and export actions, and rebuilding on store changes.

#include "JobTestSupport.h"
#include "ScheduleTestSupport.h"

#include "kit/OVCard.h"
#include "kit/OVEmpty.h"
#include "kit/QNChromeButton.h"
#include "kit/TaskRow.h"
#include "records/OVFormat.h"
#include "screens/schedules/MonthCalendar.h"
#include "screens/schedules/TasksView.h"
#include "services/FilePanels.h"

#include <QTest>

using scheduletest::ScheduleFixture;

namespace {

QStringList titlesOf(const QList<TaskRow*>& rows)
{
    QStringList out;
    for (const TaskRow* row : rows)
        out.append(row->task().title);
    return out;
}

} // namespace

class TasksViewTest : public ScheduleFixture {
protected:
    OVTask job(TaskKind kind, const QString& title, const OVDay& start, int hour = 8)
    {
        OVTask task;
        task.kind = kind;
        task.title = title;
        task.start = start;
        task.hour = hour;
        task.rule = Recurrence::everyDays(7);
        return add(task);
    }
};

TEST_F(TasksViewTest, ListsOnlyItsKindsSoonestFirstPausedAndFinishedLast)
{
    const OVDay today = OVDay::today(now);
    job(TaskKind::water, QStringLiteral("Water later"), today.adding(3));
    job(TaskKind::water, QStringLiteral("Water yesterday"), today.adding(-1));
    job(TaskKind::nutrient, QStringLiteral("Check pH today"), today, 9);
    OVTask paused = job(TaskKind::feed, QStringLiteral("Paused feed"), today);
    paused.active = false;
    store->save(paused);
    OVTask pausedWater = job(TaskKind::water, QStringLiteral("A paused water"), today);
    pausedWater.active = false;
    store->save(pausedWater);
    OVTask finished = job(TaskKind::water, QStringLiteral("Finished once"), today.adding(-5));
    finished.rule = Recurrence::once();
    store->save(finished);
    store->markDone(finished, now.addSecs(-100));
    job(TaskKind::maintenance, QStringLiteral("Oil vents"), today);
    // Same minute: the store's order (feed before water).
    job(TaskKind::feed, QStringLiteral("Feed at nine"), today.adding(1), 9);
    job(TaskKind::water, QStringLiteral("Water at nine"), today.adding(1), 9);

    TasksView schedules(TasksView::scheduleKinds(), Screen::schedules);
    EXPECT_EQ(titlesOf(schedules.rows()),
              (QStringList{QStringLiteral("Water yesterday"), QStringLiteral("Check pH today"),
                           QStringLiteral("Feed at nine"), QStringLiteral("Water at nine"),
                           QStringLiteral("Water later"), QStringLiteral("Paused feed"),
                           QStringLiteral("A paused water"), QStringLiteral("Finished once")}));
    EXPECT_TRUE(schedules.rows().first()->overdue());

    TasksView maintenance(TasksView::maintenanceKinds(), Screen::maintenance);
    EXPECT_TRUE(maintenance.maintenanceMode());
    EXPECT_EQ(titlesOf(maintenance.rows()), QStringList{QStringLiteral("Oil vents")});
}

TEST_F(TasksViewTest, EmptyScreensAndTheCalendarCard)
{
    TasksView schedules(TasksView::scheduleKinds(), Screen::schedules);
    TasksView maintenance(TasksView::maintenanceKinds(), Screen::maintenance);
    EXPECT_NE(schedules.listCard()->findChild<OVEmpty*>(), nullptr);
    EXPECT_TRUE(schedules.calendarCard()->isHidden());
    EXPECT_NE(maintenance.listCard()->findChild<OVEmpty*>(), nullptr);
    EXPECT_FALSE(maintenance.calendarCard()->isHidden());
    EXPECT_EQ(maintenance.month(), OVDay(2026, 6, 1));
}

TEST_F(TasksViewTest, CalendarOrderDiffersByScreen)
{
    // Daily jobs from today: store order is B then Z, due order Z (7:00) then B (9:00).
    const OVDay today = OVDay::today(now);
    for (TaskKind kind : {TaskKind::water, TaskKind::maintenance}) {
        OVTask b = job(kind, QStringLiteral("B job"), today, 9);
        b.rule = Recurrence::everyDays(1);
        store->save(b);
        OVTask z = job(kind, QStringLiteral("Z job"), today, 7);
        z.rule = Recurrence::everyDays(1);
        store->save(z);
    }
    const QStringList storeOrder{QStringLiteral("B job"), QStringLiteral("Z job")};
    const QStringList dueOrder{QStringLiteral("Z job"), QStringLiteral("B job")};

    TasksView schedules(TasksView::scheduleKinds(), Screen::schedules);
    EXPECT_EQ(titlesOf(schedules.rows()), dueOrder);
    EXPECT_EQ(schedules.calendar()->titlesOn(today.day + 1), storeOrder);

    TasksView maintenance(TasksView::maintenanceKinds(), Screen::maintenance);
    EXPECT_EQ(titlesOf(maintenance.rows()), dueOrder);
    EXPECT_EQ(maintenance.calendar()->titlesOn(today.day + 1), dueOrder);
}

TEST_F(TasksViewTest, RemindersOffBannerOnBothScreens)
{
    addSample();
    TasksView on(TasksView::scheduleKinds(), Screen::schedules);
    EXPECT_TRUE(on.banner()->isHidden());
    OVPrefs::setValue(OVPrefs::remindersKey, false);
    TasksView schedules(TasksView::scheduleKinds(), Screen::schedules);
    TasksView maintenance(TasksView::maintenanceKinds(), Screen::maintenance);
    EXPECT_FALSE(schedules.banner()->isHidden());
    EXPECT_FALSE(maintenance.banner()->isHidden());
    EXPECT_EQ(schedules.rows().size(), 3);
    EXPECT_EQ(maintenance.rows().size(), 4);
}

TEST_F(TasksViewTest, AddOpensTheEditorOnANewTaskOfTheScreen)
{
    TasksView schedules(TasksView::scheduleKinds(), Screen::schedules);
    QTest::mouseClick(schedules.findChild<QWidget*>(QStringLiteral("addButton")), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    const OVTask water = *AppModel::shared().sheet()->get<OVTask>();
    EXPECT_EQ(water.id, 0);
    EXPECT_EQ(water.kind, TaskKind::water);
    EXPECT_EQ(water.rule, Recurrence::everyDays(1));
    EXPECT_TRUE(water.category.isEmpty());

    TasksView maintenance(TasksView::maintenanceKinds(), Screen::maintenance);
    const OVTask on31 = maintenance.newTask(OVDay(2026, 8, 31));
    EXPECT_EQ(on31.kind, TaskKind::maintenance);
    EXPECT_EQ(on31.category, QStringLiteral("vents"));
    EXPECT_EQ(on31.rule.encoded(), QStringLiteral("monthday:1:31"));
    EXPECT_EQ(on31.start, OVDay(2026, 8, 31));
}

TEST_F(TasksViewTest, ExportWritesEveryTaskFromEitherScreen)
{
    addSample();
    const QString target = dir.file(QStringLiteral("out.csv"));
    QString suggested;
    FilePanels::Backend saved = FilePanels::backend();
    FilePanels::backend().save = [&](const QString& name, const QList<FileType>&) {
        suggested = name;
        return std::optional<QString>(target);
    };
    FilePanels::backend().reveal = [](const QString&) {};
    TasksView schedules(TasksView::scheduleKinds(), Screen::schedules);
    schedules.exportCSV();
    testsupport::finishJobs();
    FilePanels::backend() = saved;
    EXPECT_EQ(suggested, QStringLiteral("Schedules and maintenance.csv"));
    const QString text = QString::fromUtf8(testsupport::readAll(target));
    EXPECT_TRUE(text.contains(QStringLiteral("Check and oil vent openers (sample)")));
    EXPECT_TRUE(text.contains(QStringLiteral("Water propagation trays (sample)")));
}

TEST_F(TasksViewTest, RebuildsOnStoreChangesAndKeepsOpenHistory)
{
    addSample();
    TasksView view(TasksView::scheduleKinds(), Screen::schedules);
    view.resize(1380, 900);
    view.show();
    settle();
    const int before = view.rebuildCount();
    TaskRow* first = view.rows().first();
    const qint64 id = first->task().id;
    first->setShowLog(true);
    const qsizetype logged = store->taskLog(id).size();

    QTest::mouseClick(first->doneButton(), Qt::LeftButton);
    QTest::mouseClick(first->doneButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(view.rebuildCount(), before + 1);
    EXPECT_EQ(store->taskLog(id).size(), logged + 2);
    TaskRow* again = nullptr;
    for (TaskRow* row : view.rows())
        if (row->task().id == id)
            again = row;
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->showLog());
    EXPECT_EQ(again->historyLines().first(), QStringLiteral("✓ ") + OVFormat::dayTime(now));
}
