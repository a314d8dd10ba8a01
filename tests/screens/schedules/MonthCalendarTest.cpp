// The month grid: day cells, leading blanks, month stepping, chips and "+N more".

#include "ScheduleTestSupport.h"

#include "kit/QNChromeButton.h"
#include "screens/schedules/MonthCalendar.h"

#include <QSignalSpy>
#include <QTest>

using scheduletest::ScheduleFixture;

namespace {

OVTask daily(const QString& title, const OVDay& start, int hour = 8)
{
    OVTask task;
    task.title = title;
    task.start = start;
    task.hour = hour;
    return task;
}

} // namespace

class MonthCalendarTest : public ScheduleFixture {};

TEST_F(MonthCalendarTest, DayCellsAndLeadingBlanks)
{
    MonthCalendar leap(OVDay(2028, 2, 17));
    EXPECT_EQ(leap.month(), OVDay(2028, 2, 1));
    EXPECT_EQ(leap.dayCount(), 29);
    MonthCalendar plain(OVDay(2027, 2, 1));
    EXPECT_EQ(plain.dayCount(), 28);

    MonthCalendar saturday(OVDay(2028, 1, 1)); // 1 January 2028 is a Saturday
    EXPECT_EQ(saturday.leadingBlanks(), 6);
    MonthCalendar sunday(OVDay(2026, 2, 1)); // 1 February 2026 is a Sunday
    EXPECT_EQ(sunday.leadingBlanks(), 0);
}

TEST_F(MonthCalendarTest, ChevronsWrapTheYear)
{
    MonthCalendar calendar(OVDay(2025, 12, 1));
    QSignalSpy spy(&calendar, &MonthCalendar::monthChanged);
    QTest::mouseClick(calendar.nextButton(), Qt::LeftButton);
    EXPECT_EQ(calendar.month(), OVDay(2026, 1, 1));
    QTest::mouseClick(calendar.previousButton(), Qt::LeftButton);
    EXPECT_EQ(calendar.month(), OVDay(2025, 12, 1));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(MonthCalendar::shift(OVDay(2026, 1, 31), -1), OVDay(2025, 12, 1));
    EXPECT_TRUE(calendar.title().endsWith(QStringLiteral(" 2025")));
}

TEST_F(MonthCalendarTest, ChipsFollowTheListAndCountTheRest)
{
    const OVDay first(2026, 6, 1);
    QList<OVTask> tasks;
    for (int i = 1; i <= 5; ++i)
        tasks.append(daily(QStringLiteral("Job %1").arg(i), first));
    tasks[2].active = false; // paused: placed nowhere
    tasks.append(daily(QStringLiteral("Job 6"), first));

    MonthCalendar calendar(first, tasks);
    EXPECT_EQ(calendar.titlesOn(1), (QStringList{QStringLiteral("Job 1"), QStringLiteral("Job 2"),
                                                 QStringLiteral("Job 4"), QStringLiteral("Job 5"),
                                                 QStringLiteral("Job 6")}));
    EXPECT_EQ(calendar.cellTexts(1), (QStringList{QStringLiteral("Job 1"), QStringLiteral("Job 2"),
                                                  QStringLiteral("Job 4"), QStringLiteral("+2 more")}));

    calendar.setTasks(tasks.mid(0, 3));
    EXPECT_EQ(calendar.cellTexts(30), (QStringList{QStringLiteral("Job 1"), QStringLiteral("Job 2")}));
}

TEST_F(MonthCalendarTest, TasksArePlacedFromTheirStartOnly)
{
    OVTask mid = daily(QStringLiteral("From the 15th"), OVDay(2026, 6, 15));
    OVTask once = daily(QStringLiteral("One time"), OVDay(2026, 6, 3));
    once.rule = Recurrence::once();
    once.lastDone = now; // done occurrences stay on the calendar
    MonthCalendar calendar(OVDay(2026, 6, 1), {mid, once});
    EXPECT_TRUE(calendar.titlesOn(14).isEmpty());
    EXPECT_EQ(calendar.titlesOn(15), QStringList{QStringLiteral("From the 15th")});
    EXPECT_EQ(calendar.titlesOn(30), QStringList{QStringLiteral("From the 15th")});
    EXPECT_EQ(calendar.titlesOn(3), QStringList{QStringLiteral("One time")});

    calendar.setMonth(OVDay(2026, 7, 1));
    EXPECT_EQ(calendar.titlesOn(31), QStringList{QStringLiteral("From the 15th")});
    EXPECT_EQ(calendar.titlesOn(3), QStringList{QStringLiteral("From the 15th")});
}
