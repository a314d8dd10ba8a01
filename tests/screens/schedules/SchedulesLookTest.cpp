// Renders both schedule screens and the task editor over the sample greenhouse to
// PNG files for a person to look at. Runs only when OV_SHOTS_DIR names a folder.

#include "ScheduleTestSupport.h"

#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "screens/schedules/MonthCalendar.h"
#include "screens/schedules/TaskEditor.h"
#include "screens/schedules/TasksView.h"

#include "LookShot.h"

#include <QDir>
#include <QPixmap>

using scheduletest::ScheduleFixture;

namespace {

bool shoot(const std::function<QWidget*()>& make, int width, const QString& path)
{
    OVThemeRoot root(make);
    return testsupport::lookShot(root, width).save(path);
}

} // namespace

class SchedulesLook : public ScheduleFixture {};

TEST_F(SchedulesLook, WritesPNGs)
{
    const QString out = qEnvironmentVariable("OV_SHOTS_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set OV_SHOTS_DIR to write the pictures";
    QDir().mkpath(out);
    addSample();
    OVRender::snapshotMode = true;
    EXPECT_TRUE(shoot([] { return new TasksView(TasksView::scheduleKinds(), Screen::schedules); }, 1380,
                      out + QStringLiteral("/schedules.png")));
    EXPECT_TRUE(shoot([] { return new TasksView(TasksView::maintenanceKinds(), Screen::maintenance); }, 1380,
                      out + QStringLiteral("/maintenance.png")));
    const OVTask vents = *titled(QStringLiteral("Check and oil vent openers (sample)"));
    EXPECT_TRUE(shoot([vents] { return new TaskEditor(vents, *OVStore::shared()); }, 740, out + QStringLiteral("/task-editor.png")));
    OVTask weekly = *titled(QStringLiteral("Check runoff pH and EC (sample)"));
    EXPECT_TRUE(shoot([weekly] { return new TaskEditor(weekly, *OVStore::shared()); }, 740, out + QStringLiteral("/task-editor-weekly.png")));
    QList<OVTask> busy;
    for (int i = 1; i <= 5; ++i) {
        OVTask task;
        task.title = QStringLiteral("Busy day job number %1").arg(i);
        task.start = OVDay::today(now);
        task.rule = i <= 3 ? Recurrence::everyDays(1) : Recurrence::once();
        busy.append(task);
    }
    const OVDay month = OVDay::today(now);
    EXPECT_TRUE(shoot([busy, month] { return new MonthCalendar(OVDay(month.year, month.month, 1), busy); }, 900,
                      out + QStringLiteral("/calendar-busy.png")));
    OVRender::snapshotMode = false;
}
