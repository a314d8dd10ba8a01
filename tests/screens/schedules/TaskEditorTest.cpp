// The task editor: form by type, rule state and preview, save, delete, and the
// mended faults (time of day kept as a time, stored intervals never clamped, a task
// deleted meanwhile).

#include "ScheduleTestSupport.h"

#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVStepper.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "records/Calendar.h"
#include "screens/schedules/TaskEditor.h"
#include "screens/schedules/ToggleChip.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <ctime>

using scheduletest::ScheduleFixture;

namespace {

void pick(QComboBox* combo, const QVariant& data)
{
    const int index = combo->findData(data);
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// The stepper's "+" (up) or "−" (down) button.
void step(OVStepper* stepper, bool up, int times = 1)
{
    const QList<QToolButton*> buttons = stepper->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(buttons[up ? 1 : 0], Qt::LeftButton);
}

QString stepperText(OVStepper* stepper)
{
    return stepper->findChild<QLabel*>()->text();
}

} // namespace

class TaskEditorTest : public ScheduleFixture {
protected:
    OVTask stored(const QString& rule, TaskKind kind = TaskKind::water)
    {
        OVTask task;
        task.kind = kind;
        task.title = QStringLiteral("Water trays");
        task.rule = *Recurrence::fromEncoded(rule);
        task.start = OVDay(2026, 5, 20);
        return add(task);
    }
};

TEST_F(TaskEditorTest, TitleAndFieldsFollowTheType)
{
    TaskEditor editor{OVTask{}, *OVStore::shared()};
    EXPECT_EQ(editor.title(), QStringLiteral("New Watering Task"));
    EXPECT_EQ(editor.deleteButton(), nullptr);
    EXPECT_TRUE(editor.categoryField()->isHidden());
    EXPECT_FALSE(editor.plantField()->isHidden());
    EXPECT_EQ(editor.titleField()->placeholderText(), QStringLiteral("Water propagation trays"));

    pick(editor.typePicker(), QStringLiteral("maintenance"));
    EXPECT_EQ(editor.title(), QStringLiteral("New Maintenance Task"));
    EXPECT_FALSE(editor.categoryField()->isHidden());
    EXPECT_EQ(editor.categoryPicker()->currentIndex(), -1); // none chosen until picked
    EXPECT_TRUE(editor.plantField()->isHidden());
    EXPECT_EQ(editor.titleField()->placeholderText(), QStringLiteral("Check and oil vent openers"));
    EXPECT_EQ(editor.amountField()->findChild<QLabel*>()->text(), QStringLiteral("PARTS / SUPPLIES"));

    // Saved without a pick, the maintenance task keeps an empty category.
    ASSERT_TRUE(editor.saveTask());
    const OVTask saved = store->tasks().first();
    EXPECT_TRUE(saved.category.isEmpty());
    EXPECT_EQ(saved.title, QStringLiteral("Maintenance"));

    // Opened again, an empty maintenance category shows as "Other".
    TaskEditor reopened(saved, *OVStore::shared());
    EXPECT_EQ(reopened.item().category, QStringLiteral("other"));
    EXPECT_EQ(reopened.categoryPicker()->currentText(), QStringLiteral("Other"));
}

TEST_F(TaskEditorTest, NonMaintenanceSaveStoresAnEmptyCategory)
{
    TaskEditor editor{OVTask{}, *OVStore::shared()};
    pick(editor.typePicker(), QStringLiteral("maintenance"));
    pick(editor.categoryPicker(), QStringLiteral("fans"));
    pick(editor.typePicker(), QStringLiteral("feed"));
    ASSERT_TRUE(editor.saveTask());
    EXPECT_TRUE(store->tasks().first().category.isEmpty());
    EXPECT_EQ(store->tasks().first().kind, TaskKind::feed);
}

TEST_F(TaskEditorTest, WeeklyWithoutADayHasNoPreviewAndStoresNothing)
{
    AppModel::shared().setSheet(EditSheet(OVTask{}));
    TaskEditor editor{OVTask{}, *OVStore::shared()};
    QTest::mouseClick(editor.ruleChip(QStringLiteral("weeks")), Qt::LeftButton);
    EXPECT_EQ(editor.ruleKind(), QStringLiteral("weeks"));
    EXPECT_FALSE(editor.weekdayRow()->isHidden());
    EXPECT_TRUE(editor.weekdayChip(2)->isChecked());
    QTest::mouseClick(editor.weekdayChip(2), Qt::LeftButton);
    EXPECT_TRUE(editor.weekdays().isEmpty());
    EXPECT_TRUE(editor.previewLabel()->isHidden());

    EXPECT_FALSE(editor.saveTask());
    EXPECT_EQ(editor.error(), std::optional<QString>(QStringLiteral("Choose at least one weekday.")));
    EXPECT_EQ(editor.frame()->error(), editor.error());
    EXPECT_EQ(store->count(QStringLiteral("task")), 0);
    EXPECT_TRUE(AppModel::shared().sheet().has_value());

    QTest::mouseClick(editor.weekdayChip(4), Qt::LeftButton);
    EXPECT_FALSE(editor.previewLabel()->isHidden());
}

TEST_F(TaskEditorTest, SavedRuleIsCanonical)
{
    TaskEditor editor{OVTask{}, *OVStore::shared()};
    QTest::mouseClick(editor.ruleChip(QStringLiteral("weeks")), Qt::LeftButton);
    step(editor.everyStepper(), true);
    EXPECT_EQ(stepperText(editor.everyStepper()), QStringLiteral("Every 2 week(s)"));
    // Clicked Sat, then Wed, then Sat off again: ascending, whatever the order.
    QTest::mouseClick(editor.weekdayChip(7), Qt::LeftButton);
    QTest::mouseClick(editor.weekdayChip(5), Qt::LeftButton);
    QTest::mouseClick(editor.weekdayChip(7), Qt::LeftButton);
    ASSERT_TRUE(editor.saveTask());
    EXPECT_EQ(store->tasks().first().rule.encoded(), QStringLiteral("weeks:2:2,5"));
}

TEST_F(TaskEditorTest, RuleControlsFollowTheKindAndKeepUnusedValues)
{
    TaskEditor editor(stored(QStringLiteral("monthday:3:31")), *OVStore::shared());
    EXPECT_EQ(editor.ruleKind(), QStringLiteral("monthday"));
    EXPECT_EQ(editor.every(), 3);
    EXPECT_EQ(editor.monthDay(), 31);
    EXPECT_EQ(editor.yearMonth(), 5); // from the start day

    QTest::mouseClick(editor.ruleChip(QStringLiteral("yearly")), Qt::LeftButton);
    EXPECT_TRUE(editor.everyStepper()->isHidden());
    EXPECT_FALSE(editor.monthField()->isHidden());
    EXPECT_FALSE(editor.dayStepper()->isHidden());
    EXPECT_EQ(editor.currentRule(), Recurrence::yearly(5, 31));

    QTest::mouseClick(editor.ruleChip(QStringLiteral("monthlast")), Qt::LeftButton);
    EXPECT_FALSE(editor.everyStepper()->isHidden());
    EXPECT_TRUE(editor.dayStepper()->isHidden());
    QTest::mouseClick(editor.ruleChip(QStringLiteral("once")), Qt::LeftButton);
    EXPECT_TRUE(editor.everyStepper()->isHidden());
    EXPECT_TRUE(editor.monthField()->isHidden());
    QTest::mouseClick(editor.ruleChip(QStringLiteral("monthday")), Qt::LeftButton);
    EXPECT_EQ(editor.currentRule(), Recurrence::monthlyDay(3, 31));

    // The steppers stop at their ends.
    step(editor.dayStepper(), true, 3);
    EXPECT_EQ(editor.monthDay(), 31);
    step(editor.everyStepper(), false, 5);
    EXPECT_EQ(editor.every(), 1);

    TaskEditor yearly(stored(QStringLiteral("yearly:2:29")), *OVStore::shared());
    EXPECT_EQ(yearly.yearMonth(), 2);
    EXPECT_EQ(yearly.monthDay(), 29);
    EXPECT_EQ(yearly.every(), 1);
}

TEST_F(TaskEditorTest, PreviewFollowsTimeAndStart)
{
    OVTask task;
    task.start = OVDay(2026, 6, 12);
    TaskEditor editor(task, *OVStore::shared());
    const QString first = editor.previewLabel()->text();
    EXPECT_TRUE(first.startsWith(QStringLiteral("Every day. Next: "))) << first.toStdString();
    EXPECT_EQ(first.count(QStringLiteral(" · ")), 4);

    editor.timeEdit()->setTime(QTime(17, 45));
    const QString later = editor.previewLabel()->text();
    EXPECT_NE(later, first);
    EXPECT_EQ(editor.hm(), std::make_pair(17, 45));
    editor.startPicker()->setDay(OVDay(2026, 7, 1));
    emit editor.startPicker()->changed();
    EXPECT_NE(editor.previewLabel()->text(), later);
    EXPECT_EQ(store->count(QStringLiteral("task")), 0);

    OVTask past;
    past.rule = Recurrence::once();
    past.start = OVDay(2026, 1, 2);
    TaskEditor once(past, *OVStore::shared());
    EXPECT_EQ(once.previewLabel()->text(), QStringLiteral("One time. Next: none"));
}

TEST_F(TaskEditorTest, DeleteClosesFirstThenAsks)
{
    OVTask task = stored(QStringLiteral("days:1"));
    store->markDone(task, now.addSecs(-60));
    AppModel::shared().setSheet(EditSheet(task));
    TaskEditor editor(task, *OVStore::shared());
    editor.titleField()->setText(QString());
    QTest::keyClicks(editor.titleField(), QStringLiteral("Water trays"));
    ASSERT_NE(editor.deleteButton(), nullptr);
    QTest::mouseClick(editor.deleteButton(), Qt::LeftButton);

    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    const auto& confirm = AppModel::shared().confirm();
    ASSERT_TRUE(confirm.has_value());
    EXPECT_EQ(confirm->title, QStringLiteral("Delete “Water trays”?"));
    EXPECT_TRUE(confirm->message.startsWith(QStringLiteral("Its done-history is deleted too.")));
    EXPECT_EQ(store->count(QStringLiteral("task")), 1); // nothing before the answer

    OVNotify::lastPlan.append(ReminderRequest{});
    confirm->action();
    EXPECT_EQ(store->count(QStringLiteral("task")), 0);
    EXPECT_EQ(store->count(QStringLiteral("task_log")), 0);
    EXPECT_TRUE(OVNotify::lastPlan.isEmpty()); // replanned without the task
}

TEST_F(TaskEditorTest, SaveReplansRemindersAndCloses)
{
    OVTask fresh;
    fresh.start = OVDay::today(now);
    AppModel::shared().setSheet(EditSheet(fresh));
    TaskEditor editor(fresh, *OVStore::shared());
    QTest::keyClicks(editor.titleField(), QStringLiteral("Mist cuttings"));
    ASSERT_TRUE(editor.saveTask());
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    EXPECT_GT(editor.item().id, 0);
    EXPECT_FALSE(OVNotify::lastPlan.isEmpty());
    for (const ReminderRequest& request : OVNotify::lastPlan)
        EXPECT_TRUE(request.id.startsWith(QStringLiteral("ov.task.%1.").arg(editor.item().id)));
}

// M12: the task was deleted while its editor was open.
TEST_F(TaskEditorTest, SavingADeletedTaskSaysItNoLongerExists)
{
    const OVTask task = stored(QStringLiteral("days:2"));
    AppModel::shared().setSheet(EditSheet(task));
    TaskEditor editor(task, *OVStore::shared());
    store->remove<OVTask>(task.id);
    EXPECT_FALSE(editor.saveTask());
    EXPECT_EQ(editor.error(), std::optional<QString>(QStringLiteral("That record no longer exists.")));
    EXPECT_TRUE(AppModel::shared().sheet().has_value());
}

// M11: an interval beyond the stepper's range opens and saves unchanged.
TEST_F(TaskEditorTest, StoredIntervalAboveTheStepperIsKept)
{
    const OVTask task = stored(QStringLiteral("days:400"));
    TaskEditor editor(task, *OVStore::shared());
    EXPECT_EQ(editor.every(), 400);
    EXPECT_EQ(stepperText(editor.everyStepper()), QStringLiteral("Every 400 day(s)"));
    ASSERT_TRUE(editor.saveTask());
    EXPECT_EQ(store->get<OVTask>(task.id)->rule.encoded(), QStringLiteral("days:400"));

    const OVTask huge = stored(QStringLiteral("weeks:9000000000:3"));
    TaskEditor wide(huge, *OVStore::shared());
    EXPECT_EQ(stepperText(wide.everyStepper()), QStringLiteral("Every 9000000000 week(s)"));
    ASSERT_TRUE(wide.saveTask());
    EXPECT_EQ(store->get<OVTask>(huge.id)->rule.encoded(), QStringLiteral("weeks:9000000000:3"));
}

// M10: the time of day is a time, not "today at h:m" — on a spring-forward day
// 02:30 does not exist as a local time today, and must not become 03:00 or 03:30.
TEST_F(TaskEditorTest, TimeOfDaySurvivesASpringForwardDay)
{
    testsupport::EnvGuard zone("TZ", "America/Denver");
    tzset();
    const Calendar denver(QTimeZone("America/Denver"));
    if (Calendar::current().timeZone().id() != denver.timeZone().id())
        GTEST_SKIP() << "the process zone could not be set to America/Denver";
    TaskClock::pin(denver.instant(QDate(2026, 3, 8), QTime(10, 0)));

    OVTask task = stored(QStringLiteral("days:1"));
    task.hour = 2;
    task.minute = 30;
    store->save(task);
    TaskEditor editor(task, *OVStore::shared());
    EXPECT_EQ(editor.time(), QTime(2, 30));
    EXPECT_EQ(editor.timeEdit()->time(), QTime(2, 30));
    ASSERT_TRUE(editor.saveTask());
    const OVTask saved = *store->get<OVTask>(task.id);
    EXPECT_EQ(saved.hour, 2);
    EXPECT_EQ(saved.minute, 30);
}
