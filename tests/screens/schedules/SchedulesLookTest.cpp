// Renders both schedule screens, the task editor and a busy month over the sample
// greenhouse as the snapshot mode does, and checks the pictures: every task row lies
// whole in the picture and has something drawn in it, the editor's buttons show
// whole, and a month's chips are really painted. With OV_LOOK_DIR set, the renders
// are also written there as PNG files to look at.

#include "ScheduleTestSupport.h"

#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNChromeButton.h"
#include "kit/TaskRow.h"
#include "screens/schedules/MonthCalendar.h"
#include "screens/schedules/TaskEditor.h"
#include "screens/schedules/TasksView.h"

#include "LookShot.h"

#include <QImage>

using scheduletest::ScheduleFixture;
using testsupport::coloursIn;
using testsupport::placeIn;
using testsupport::wholeIn;

class SchedulesLook : public ScheduleFixture {
protected:
    void SetUp() override
    {
        ScheduleFixture::SetUp();
        OVRender::snapshotMode = true;
    }
    void TearDown() override
    {
        OVRender::snapshotMode = false;
        ScheduleFixture::TearDown();
    }

    void expectRowsDrawn(const QList<TaskKind>& kinds, Screen screen, const QString& name)
    {
        OVThemeRoot root([kinds, screen] { return new TasksView(kinds, screen); });
        const QImage shot = testsupport::lookShot(root, 1380, name).toImage();
        EXPECT_EQ(shot.width(), 1380);
        const auto* view = root.findChild<TasksView*>();
        ASSERT_NE(view, nullptr);
        EXPECT_GE(view->rows().size(), 2) << name.toStdString();
        for (const TaskRow* row : view->rows()) {
            EXPECT_TRUE(wholeIn(row, &root, shot)) << name.toStdString();
            EXPECT_GE(coloursIn(shot, placeIn(row, &root)), 3) << name.toStdString() << " row drawn flat";
        }
    }

    void expectEditorWhole(const OVTask& task, const QString& name)
    {
        OVThemeRoot root([task] { return new TaskEditor(task, *OVStore::shared()); });
        const QImage shot = testsupport::lookShot(root, 740, name).toImage();
        int shown = 0;
        for (const QNChromeButton* button : root.findChildren<QNChromeButton*>()) {
            if (!button->isVisibleTo(&root))
                continue;
            ++shown;
            EXPECT_TRUE(wholeIn(button, &root, shot)) << name.toStdString() << ": " << button->title().toStdString();
        }
        EXPECT_GE(shown, 2) << name.toStdString();
    }
};

TEST_F(SchedulesLook, ScreensAndEditorShowWhole)
{
    addSample();
    expectRowsDrawn(TasksView::scheduleKinds(), Screen::schedules, QStringLiteral("schedules.png"));
    expectRowsDrawn(TasksView::maintenanceKinds(), Screen::maintenance, QStringLiteral("maintenance.png"));
    expectEditorWhole(*titled(QStringLiteral("Check and oil vent openers (sample)")), QStringLiteral("task-editor.png"));
    expectEditorWhole(*titled(QStringLiteral("Check runoff pH and EC (sample)")),
                      QStringLiteral("task-editor-weekly.png"));
}

// The chips of a busy month are painted: the busy day's cell differs from the same
// cell of the month without tasks, and the picture is no shorter.
TEST_F(SchedulesLook, BusyMonthPaintsItsChips)
{
    QList<OVTask> busy;
    for (int i = 1; i <= 5; ++i) {
        OVTask task;
        task.title = QStringLiteral("Busy day job number %1").arg(i);
        task.start = OVDay::today(now);
        task.rule = i <= 3 ? Recurrence::everyDays(1) : Recurrence::once();
        busy.append(task);
    }
    const OVDay month = OVDay(OVDay::today(now).year, OVDay::today(now).month, 1);
    OVThemeRoot busyRoot([busy, month] { return new MonthCalendar(month, busy); });
    const QImage busyShot = testsupport::lookShot(busyRoot, 900, QStringLiteral("calendar-busy.png")).toImage();
    OVThemeRoot emptyRoot([month] { return new MonthCalendar(month); });
    const QImage emptyShot = testsupport::lookShot(emptyRoot, 900).toImage();

    const auto* calendar = busyRoot.findChild<MonthCalendar*>();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->cellTexts(OVDay::today(now).day).size(), MonthCalendar::chipLimit + 1);
    EXPECT_GE(busyShot.height(), emptyShot.height());
    EXPECT_NE(busyShot.copy(0, 0, 900, emptyShot.height()), emptyShot);
}
