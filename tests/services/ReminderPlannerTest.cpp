#include "records/Calendar.h"
#include "records/OVTask.h"
#include "services/ReminderPlanner.h"

#include <QHash>
#include <QSet>
#include <gtest/gtest.h>
#include <random>

namespace {

const Calendar& denver()
{
    static const Calendar calendar(QTimeZone(QByteArrayLiteral("America/Denver")));
    return calendar;
}

QDateTime local(int y, int m, int d, int h, int min = 0)
{
    return denver().instant(QDate(y, m, d), QTime(h, min));
}

OVTask task(qint64 id, const Recurrence& rule, const OVDay& start, int hour, int minute = 0)
{
    return OVTask{.id = id, .rule = rule, .start = start, .hour = hour, .minute = minute};
}

const ReminderPlanner::ZoneName noZone = [](std::optional<qint64>) { return QString(); };

// Deterministic mix of every rule kind, start days from 2000 on, some done, paused or quiet.
QList<OVTask> mixedTasks(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    QList<OVTask> tasks;
    for (int i = 0; i < count; ++i) {
        Recurrence rule;
        switch (pick(0, 5)) {
        case 0: rule = Recurrence::everyDays(pick(1, 10)); break;
        case 1: rule = Recurrence::weekly(pick(1, 3), {pick(1, 3), pick(4, 7)}); break;
        case 2: rule = Recurrence::monthlyDay(pick(1, 3), pick(1, 31)); break;
        case 3: rule = Recurrence::monthlyLast(pick(1, 2)); break;
        case 4: rule = Recurrence::yearly(pick(1, 12), pick(1, 31)); break;
        default: rule = Recurrence::once(); break;
        }
        OVTask t = task(i + 1, rule, OVDay(pick(2000, 2026), pick(1, 12), pick(1, 28)), pick(0, 23), pick(0, 59));
        t.remind = pick(0, 9) != 0;
        t.active = pick(0, 9) != 0;
        if (pick(0, 2) == 0)
            t.lastDone = local(2026, 10, pick(1, 30), 12);
        tasks.append(t);
    }
    return tasks;
}

class ReminderPlannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (denver().timeZone().id() != "America/Denver")
            GTEST_SKIP() << "the America/Denver zone is not installed";
    }
};

} // namespace

using ReminderPlannerLimits = ReminderPlannerTest;

TEST_F(ReminderPlannerLimits, EveryPlanKeepsItsInvariants)
{
    const QDateTime now = local(2026, 10, 24, 12, 30);
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const QList<OVTask> tasks = mixedTasks(300, seed);
        const auto plan = ReminderPlanner::plan(tasks, noZone, now, 30, denver());
        ASSERT_LE(plan.size(), ReminderPlanner::maxPending);
        EXPECT_GT(plan.size(), 0);
        QHash<QString, int> perTask;
        QSet<QString> ids;
        for (qsizetype i = 0; i < plan.size(); ++i) {
            EXPECT_GT(plan[i].fire, now) << plan[i].id.toStdString();
            EXPECT_LE(plan[i].fire, local(2026, 11, 23, 12, 30));
            if (i > 0) {
                EXPECT_LE(plan[i - 1].fire, plan[i].fire);
            }
            ids.insert(plan[i].id);
            const QString taskPart = plan[i].id.section(u'.', 0, 2);
            EXPECT_LE(++perTask[taskPart], ReminderPlanner::perTask) << taskPart.toStdString();
        }
        EXPECT_EQ(ids.size(), plan.size());
    }
}

TEST_F(ReminderPlannerLimits, KeepsTheEarliestSixty)
{
    // 63 reminders; task 99 fires earliest each day but comes last: the cut must be by
    // time, not by task order.
    QList<OVTask> tasks;
    for (qint64 id = 1; id <= 20; ++id)
        tasks.append(task(id, Recurrence::everyDays(1), OVDay(2026, 10, 1), 10));
    tasks.append(task(99, Recurrence::everyDays(1), OVDay(2026, 10, 1), 6));
    const auto plan = ReminderPlanner::plan(tasks, noZone, local(2026, 10, 24, 12), 30, denver());
    ASSERT_EQ(plan.size(), ReminderPlanner::maxPending);
    EXPECT_TRUE(plan.first().id.startsWith(QStringLiteral("ov.task.99.")));
    EXPECT_EQ(std::count_if(plan.begin(), plan.end(),
                            [](const ReminderRequest& r) { return r.id.startsWith(QStringLiteral("ov.task.99.")); }),
              3);
}

TEST_F(ReminderPlannerLimits, NoHorizonNoReminders)
{
    const QList<OVTask> tasks{task(1, Recurrence::everyDays(1), OVDay(2026, 10, 1), 13)};
    const QDateTime now = local(2026, 10, 24, 12);
    EXPECT_TRUE(ReminderPlanner::plan(tasks, noZone, now, 0, denver()).isEmpty());
    EXPECT_TRUE(ReminderPlanner::plan(tasks, noZone, now, -5, denver()).isEmpty());
    EXPECT_TRUE(ReminderPlanner::plan({}, noZone, now, 30, denver()).isEmpty());
    // A horizon the calendar cannot reach collapses to now.
    EXPECT_TRUE(ReminderPlanner::plan(tasks, noZone, now, std::numeric_limits<qint64>::max(), denver()).isEmpty());
}

TEST_F(ReminderPlannerLimits, DueThisSecondIsNotReminded)
{
    const QList<OVTask> tasks{task(1, Recurrence::once(), OVDay(2026, 10, 24), 12)};
    EXPECT_TRUE(ReminderPlanner::plan(tasks, noZone, local(2026, 10, 24, 12), 30, denver()).isEmpty());
    EXPECT_EQ(ReminderPlanner::plan(tasks, noZone, local(2026, 10, 24, 11, 59), 30, denver()).size(), 1);
}

TEST_F(ReminderPlannerLimits, DoneOneTimeTaskGetsNone)
{
    // Done at its own instant (a completion stamped ahead of this clock): finished.
    OVTask t = task(1, Recurrence::once(), OVDay(2026, 10, 25), 8);
    const QDateTime now = local(2026, 10, 24, 12);
    EXPECT_EQ(ReminderPlanner::plan({t}, noZone, now, 30, denver()).size(), 1);
    t.lastDone = local(2026, 10, 25, 8);
    EXPECT_TRUE(ReminderPlanner::plan({t}, noZone, now, 30, denver()).isEmpty());
}

TEST(ReminderPlannerText, IdentifierTitleAndBody)
{
    OVTask t = task(12, Recurrence::once(), OVDay(2026, 10, 31), 8);
    t.kind = TaskKind::water;
    t.zoneID = 7;
    t.amount = QStringLiteral("2 L");
    std::optional<qint64> askedFor;
    int asked = 0;
    const auto plan = ReminderPlanner::plan(
        {t},
        [&](std::optional<qint64> zone) {
            ++asked;
            askedFor = zone;
            return QStringLiteral("Propagation");
        },
        QDateTime(QDate(2026, 10, 2), QTime(0, 0), QTimeZone::utc()), 30, Calendar::utc());
    ASSERT_EQ(plan.size(), 1);
    EXPECT_EQ(plan[0].id, QStringLiteral("ov.task.12.1793433600"));
    EXPECT_EQ(plan[0].title, QStringLiteral("Watering")); // empty title: the kind's name
    EXPECT_EQ(plan[0].body, QStringLiteral("Watering \u00B7 Propagation \u00B7 2 L"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(askedFor, std::optional<qint64>(7));
}

TEST(ReminderPlannerText, EmptyPartsAreLeftOutAndTitlesAreNotTrimmed)
{
    OVTask t = task(3, Recurrence::once(), OVDay(2026, 10, 31), 8);
    t.kind = TaskKind::nutrient;
    t.title = QStringLiteral(" pH ");
    const auto plan = ReminderPlanner::plan({t}, noZone, QDateTime(QDate(2026, 10, 2), QTime(0, 0), QTimeZone::utc()),
                                            30, Calendar::utc());
    ASSERT_EQ(plan.size(), 1);
    EXPECT_EQ(plan[0].title, QStringLiteral(" pH "));
    EXPECT_EQ(plan[0].body, QStringLiteral("Nutrient / pH check"));
}

TEST(ReminderPlannerText, EqualFireTimesKeepTaskOrder)
{
    const OVDay day(2026, 10, 2);
    const QList<OVTask> tasks{task(5, Recurrence::everyDays(1), day, 8), task(2, Recurrence::everyDays(1), day, 8)};
    const auto plan = ReminderPlanner::plan(tasks, noZone, QDateTime(QDate(2026, 10, 2), QTime(0, 0), QTimeZone::utc()),
                                            30, Calendar::utc());
    ASSERT_EQ(plan.size(), 6);
    for (int i = 0; i < 6; i += 2) {
        EXPECT_TRUE(plan[i].id.startsWith(QStringLiteral("ov.task.5.")));
        EXPECT_TRUE(plan[i + 1].id.startsWith(QStringLiteral("ov.task.2.")));
    }
}
