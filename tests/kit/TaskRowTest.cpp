// Task rows: overdue marking, Done, history, paused / finished states, compact rows.

#include "kit/TaskRow.h"

#include "screens/schedules/ScheduleTestSupport.h"

#include "LookShot.h"

#include "kit/KitMetrics.h"
#include "kit/OVReadFailure.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "records/Zone.h"
#include "services/Schedule.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

using scheduletest::ScheduleFixture;

namespace {

QStringList tagsOf(const TaskRow& row)
{
    QStringList out;
    for (const OVTag* tag : row.findChildren<OVTag*>())
        out.append(tag->text());
    EXPECT_EQ(out, row.tags());
    return out;
}

std::unique_ptr<TaskRow> rowFor(const OVTask& task, bool compact = false)
{
    return std::make_unique<TaskRow>(task, Schedule::nextDue(task), compact);
}

// Draws at another kit zoom for as long as it lives.
struct ZoomFor {
    explicit ZoomFor(double factor) { KitMetrics::setZoom(factor); }
    ~ZoomFor() { KitMetrics::setZoom(1.0); }
};

// Where a child lies in its row.
QRect placeIn(const QWidget* child, const QWidget* row)
{
    return QRect(child->mapTo(row, QPoint(0, 0)), child->size());
}

} // namespace

class TaskRowTest : public ScheduleFixture {
protected:
    // A daily watering job at 08:00 that began three days ago and was never done.
    OVTask overdueDaily()
    {
        OVTask task;
        task.title = QStringLiteral("Water trays");
        task.start = OVDay::today(now).adding(-3);
        return add(task);
    }
};

TEST_F(TaskRowTest, DoneOnAnOverdueTaskClearsOverdueAndLogsNow)
{
    const OVTask task = overdueDaily();
    auto row = rowFor(task);
    EXPECT_TRUE(row->overdue());
    EXPECT_TRUE(row->highlight());
    EXPECT_EQ(tagsOf(*row), QStringList{QStringLiteral("OVERDUE")});
    EXPECT_TRUE(row->statusLine().startsWith(QStringLiteral("Due ")));
    ASSERT_NE(row->doneButton(), nullptr);

    QTest::mouseClick(row->doneButton(), Qt::LeftButton);
    const OVTask after = *store->get<OVTask>(task.id);
    ASSERT_TRUE(after.lastDone.has_value());
    EXPECT_EQ(*after.lastDone, now);

    // The owner rebuilds on the revision: the new row is no longer overdue.
    TaskRow fresh(after, Schedule::nextDue(after), false);
    EXPECT_FALSE(fresh.overdue());
    EXPECT_FALSE(fresh.highlight());
    EXPECT_TRUE(tagsOf(fresh).isEmpty());
    EXPECT_EQ(fresh.lastDoneLine(), QStringLiteral("Last done ") + OVFormat::dayTime(now));
    fresh.setShowLog(true);
    EXPECT_EQ(fresh.historyLines(), QStringList{QStringLiteral("✓ ") + OVFormat::dayTime(now)});
}

TEST_F(TaskRowTest, TwoQuickDoneClicksGiveTwoEntries)
{
    const OVTask task = overdueDaily();
    auto row = rowFor(task);
    QTest::mouseClick(row->doneButton(), Qt::LeftButton);
    QTest::mouseClick(row->doneButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(store->taskLog(task.id).size(), 2);
    EXPECT_FALSE(AppModel::shared().message().has_value());
}

TEST_F(TaskRowTest, DoneOnADeletedTaskBecomesTheNotice)
{
    const OVTask task = overdueDaily();
    auto row = rowFor(task);
    store->remove<OVTask>(task.id);
    QTest::mouseClick(row->doneButton(), Qt::LeftButton);
    EXPECT_EQ(AppModel::shared().message(), std::optional<QString>(QStringLiteral("That record no longer exists.")));
}

TEST_F(TaskRowTest, HistoryShowsTheNewestTwelveOrNotDoneYet)
{
    const OVTask task = overdueDaily();
    {
        auto row = rowFor(task);
        QTest::mouseClick(row->historyButton(), Qt::LeftButton);
        EXPECT_TRUE(row->showLog());
        EXPECT_EQ(row->historyButton()->title(), QStringLiteral("Hide History"));
        EXPECT_EQ(row->historyLines(), QStringList{QStringLiteral("Not done yet.")});
        QTest::mouseClick(row->historyButton(), Qt::LeftButton);
        EXPECT_FALSE(row->showLog());
        EXPECT_EQ(row->historyButton()->title(), QStringLiteral("History"));
    }
    for (int i = 0; i < 20; ++i)
        store->markDone(task, now.addSecs(-3600 * (20 - i)), i == 19 ? QStringLiteral("soaked") : QString());
    auto row = rowFor(*store->get<OVTask>(task.id));
    row->setShowLog(true);
    const QStringList lines = row->historyLines();
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.first(), QStringLiteral("✓ ") + OVFormat::dayTime(now.addSecs(-3600)) + QStringLiteral(" — soaked"));
    EXPECT_EQ(lines.last(), QStringLiteral("✓ ") + OVFormat::dayTime(now.addSecs(-3600 * 12)));
}

TEST_F(TaskRowTest, PausedAndFinishedTasksHaveNoDoneButton)
{
    OVTask paused = overdueDaily();
    paused.active = false;
    store->save(paused);
    auto pausedRow = rowFor(paused);
    EXPECT_EQ(tagsOf(*pausedRow), QStringList{QStringLiteral("PAUSED")});
    EXPECT_EQ(pausedRow->statusLine(), QStringLiteral("Paused"));
    EXPECT_EQ(pausedRow->doneButton(), nullptr);
    EXPECT_FALSE(pausedRow->showsBell());

    OVTask once;
    once.title = QStringLiteral("Fix the door");
    once.rule = Recurrence::once();
    once.start = OVDay::today(now).adding(-2);
    once = add(once);
    store->markDone(once, now.addSecs(-60));
    auto finished = rowFor(*store->get<OVTask>(once.id));
    EXPECT_EQ(finished->statusLine(), QStringLiteral("Finished"));
    EXPECT_FALSE(finished->overdue());
    EXPECT_EQ(finished->doneButton(), nullptr);
    EXPECT_TRUE(finished->showsBell());
}

TEST_F(TaskRowTest, DueExactlyNowIsNotOverdue)
{
    OVTask task = overdueDaily();
    TaskRow atNow(task, now, false);
    EXPECT_FALSE(atNow.overdue());
    TaskRow justBefore(task, now.addSecs(-1), false);
    EXPECT_TRUE(justBefore.overdue());
}

TEST_F(TaskRowTest, CompactRowsHaveNoRuleLineAndNoHistory)
{
    const OVTask task = overdueDaily();
    auto full = rowFor(task);
    EXPECT_EQ(full->ruleLine(), QStringLiteral("Every day at 8:00"));

    auto compact = rowFor(task, true);
    EXPECT_TRUE(compact->ruleLine().isEmpty());
    EXPECT_EQ(compact->historyButton(), nullptr);
    EXPECT_NE(compact->doneButton(), nullptr);
    EXPECT_NE(compact->editButton(), nullptr);
    compact->setShowLog(true);
    EXPECT_FALSE(compact->showLog());
    EXPECT_EQ(compact->findChild<QWidget*>(QStringLiteral("taskHistory")), nullptr);
}

TEST_F(TaskRowTest, DetailsLineDropsEmptyParts)
{
    addSample();
    const OVTask feed = *titled(QStringLiteral("Feed tomatoes (sample)"));
    EXPECT_TRUE(TaskRow::detailsText(feed, *store).startsWith(QStringLiteral("Feeding · Sample Greenhouse · ")));

    OVTask bare;
    bare.kind = TaskKind::nutrient;
    EXPECT_EQ(TaskRow::detailsText(bare, *store), QStringLiteral("Nutrient / pH check"));

    OVTask odd;
    odd.kind = TaskKind::maintenance;
    odd.category = QStringLiteral("gutters");
    odd.zoneID = feed.zoneID;
    odd.amount = QStringLiteral("Oil");
    EXPECT_EQ(TaskRow::detailsText(odd, *store), store->zoneName(feed.zoneID) + QStringLiteral(" · Oil"));

    // A zone deleted meanwhile leaves its part out; the row still draws.
    store->remove<Zone>(*feed.zoneID);
    OVTask gone = feed;
    EXPECT_FALSE(TaskRow::detailsText(gone, *store).contains(QStringLiteral("Sample Greenhouse")));

    OVTask late = feed;
    late.hour = 8;
    late.minute = 5;
    late.rule = Recurrence::everyDays(7);
    EXPECT_EQ(TaskRow::ruleText(late), QStringLiteral("Every 7 days at 8:05"));
}

TEST_F(TaskRowTest, EditOpensTheTaskSheet)
{
    const OVTask task = overdueDaily();
    auto row = rowFor(task);
    QTest::mouseClick(row->editButton(), Qt::LeftButton);
    const auto& sheet = AppModel::shared().sheet();
    ASSERT_TRUE(sheet.has_value());
    ASSERT_NE(sheet->get<OVTask>(), nullptr);
    EXPECT_EQ(sheet->get<OVTask>()->id, task.id);
}

TEST_F(TaskRowTest, LongTitlesStopEightPointsBeforeDone)
{
    OVTask task = overdueDaily();
    task.title = QString(QStringLiteral("Check and oil every vent opener on the north side ")).repeated(4);
    task = add(task);
    for (const bool compact : {false, true}) {
        SCOPED_TRACE(compact ? "compact" : "full");
        auto row = rowFor(task, compact);
        row->resize(520, row->sizeHint().height());
        row->show();
        QApplication::processEvents();
        ASSERT_NE(row->doneButton(), nullptr);
        const QRect text = row->textArea();
        const int done = row->doneButton()->mapTo(row.get(), QPoint(0, 0)).x();
        EXPECT_GE(done - (text.x() + text.width()), 8) << "text ends at " << text.right() << ", Done at " << done;
    }
}

// The tags and the bell stand right after the title as drawn (shortened or whole), in
// the text area, at every zoom and width; nothing of them covers Done or takes its clicks.
TEST_F(TaskRowTest, TagsAndBellFollowTheShownTitleAndStayOffTheButtons)
{
    OVTask task = overdueDaily();
    task.title = QString(QStringLiteral("Oil the vent openers on the north wall; ")).repeated(2);
    ASSERT_GE(task.title.size(), 80);
    task = add(task);
    OVTask paused = task;
    paused.active = false;
    for (const double zoom : {1.0, 2.0}) {
        const ZoomFor zoomed(zoom);
        for (const OVTask& shown : {task, paused}) {
            for (const int points : {700, 420, 300}) {
                for (const bool compact : {false, true}) {
                    SCOPED_TRACE(QStringLiteral("zoom %1, %2 points, %3%4")
                                     .arg(zoom)
                                     .arg(points)
                                     .arg(compact ? "compact" : "full")
                                     .arg(shown.active ? "" : ", paused")
                                     .toStdString());
                    TaskRow row(shown, now.addSecs(-3600), compact);
                    row.resize(KitMetrics::px(points), row.sizeHint().height());
                    row.show();
                    QApplication::processEvents();
                    const QRect area = row.textArea();
                    const QRect title = row.titleRect();
                    const QRect done = placeIn(row.doneButton(), &row);
                    int end = title.right();
                    int shownTags = 0;
                    for (const OVTag* tag : row.findChildren<OVTag*>()) {
                        if (!tag->isVisible())
                            continue;
                        ++shownTags;
                        const QRect place = tag->geometry();
                        EXPECT_GT(place.left(), end) << "tag at " << place.left() << ", text ends at " << end;
                        EXPECT_LE(place.left() - end, KitMetrics::px(6) + 2);
                        EXPECT_LE(place.right(), area.right());
                        EXPECT_FALSE(place.intersects(done));
                        end = place.right();
                    }
                    const QRect bell = row.bellRect();
                    if (!bell.isEmpty()) {
                        EXPECT_GT(bell.left(), end);
                        EXPECT_LE(bell.right(), area.right() + 1);
                    }
                    if (!compact)
                        testsupport::keepLook(row.grab().toImage(), QStringLiteral("task-row-%1-%2%3.png")
                                                                        .arg(int(zoom * 100))
                                                                        .arg(points)
                                                                        .arg(shown.active ? "" : "-paused"));
                    // A tag gives way before the title is gone altogether.
                    EXPECT_FALSE(row.shownTitle().isEmpty());
                    // The top of Done, where a tag used to lie, is Done's.
                    EXPECT_EQ(row.childAt(done.center().x(), done.top() + 2), row.doneButton());
                    if (points >= 420) {
                        // Room enough: the title gives way, every tag and the bell are shown.
                        EXPECT_TRUE(row.shownTitle().endsWith(QStringLiteral("…")));
                        EXPECT_EQ(shownTags, row.tags().size());
                        EXPECT_EQ(!bell.isEmpty(), row.showsBell());
                    }
                }
            }
        }
    }
    // A title with room to spare is drawn whole, its tag right after it.
    OVTask shortTitle = task;
    shortTitle.title = QStringLiteral("Vents");
    TaskRow row(shortTitle, now.addSecs(-3600), false);
    row.resize(700, row.sizeHint().height());
    row.show();
    QApplication::processEvents();
    EXPECT_EQ(row.shownTitle(), QStringLiteral("Vents"));
    const QRect tag = row.findChild<OVTag*>()->geometry();
    EXPECT_LE(tag.left() - row.titleRect().right(), 8);
}

TEST_F(TaskRowTest, AHistoryThatCannotBeReadSaysSoInsteadOfNotDoneYet)
{
    const OVTask task = overdueDaily();
    store->markDone(task, now.addSecs(-60));
    auto row = rowFor(*store->get<OVTask>(task.id));
    store->db().close();
    row->setShowLog(true);
    EXPECT_EQ(row->historyLines(), QStringList{OVReadFailure::text(QStringLiteral("closed"))});
}
