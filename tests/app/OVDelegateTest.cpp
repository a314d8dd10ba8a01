// Reminder planning at run time: once at launch, once a second after a burst of
// store changes, and the hourly heartbeat (with a short interval here).

#include "TestSupport.h"
#include "app/OVDelegate.h"
#include "services/NetStatus.h"
#include "store/OVStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Plans {
    QList<qint64> at; // milliseconds on the test's clock
    QElapsedTimer clock;
    OVDelegate::Planner planner()
    {
        return [this](const OVStore&, const QDateTime&) { at.append(clock.elapsed()); };
    }
};

} // namespace

// Timers never fire early, only late on a busy machine, and a save may take long
// after its change was announced: every bound below is taken from the moment a
// change is announced (heard before the debounce restarts), never from when a save
// returns, and the waits are for what is expected, with generous limits.
TEST(OVDelegate, BurstOfSavesGivesOnePlanAfterTheLast)
{
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("d.sqlite")));
    Plans plans;
    plans.clock.start();
    OVDelegate delegate(&store, nullptr, plans.planner());
    // Connected before the delegate's own connection, so each change is noted just
    // before the debounce (re)starts.
    QList<qint64> announced;
    QObject context;
    QObject::connect(&store, &OVStore::revisionChanged, &context,
                     [&] { announced.append(plans.clock.elapsed()); });
    delegate.launch();
    ASSERT_EQ(plans.at.size(), 1); // the launch plan, nothing debounced for it
    // The revision current at launch never starts the debounce.
    QTest::qWait(OVDelegate::debounceMs + 200);
    EXPECT_EQ(plans.at.size(), 1);

    // Saves without the event loop in between: no plan can come inside the burst.
    for (int i = 0; i < 10; ++i) {
        Greenhouse house{.name = QStringLiteral("House %1").arg(i)};
        store.save(house);
    }
    ASSERT_EQ(announced.size(), 10);
    EXPECT_EQ(plans.at.size(), 1);
    // A change in the middle of the wait starts it again.
    QTest::qWait(OVDelegate::debounceMs / 2);
    const qint64 beforeLate = plans.clock.elapsed();
    // The burst's debounce started after its last announcement; it may have run out
    // only if the event loop turned that long after it.
    if (beforeLate - announced.last() >= OVDelegate::debounceMs * 9 / 10)
        GTEST_SKIP() << "the machine stalled for " << beforeLate - announced.last() << " ms; the case proves nothing";
    EXPECT_EQ(plans.at.size(), 1);
    Greenhouse late{.name = QStringLiteral("Late")};
    store.save(late);
    ASSERT_EQ(announced.size(), 11);
    EXPECT_EQ(plans.at.size(), 1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return plans.at.size() >= 2; }, 60000));
    // Nothing else is pending: a second plan for the same burst would come within a
    // debounce interval.
    QTest::qWait(OVDelegate::debounceMs + 200);
    EXPECT_EQ(plans.at.size(), 2);
    // Coarse timers may fire up to 5 % early, and a millisecond more: Qt drops the
    // fraction of a millisecond from the due time before rounding it.
    EXPECT_GE(plans.at.at(1) - announced.last(), OVDelegate::debounceMs * 95 / 100 - 1);
}

// Each heartbeat raises the revision by exactly one: the revisions seen go up one at
// a time, however many ticks a loaded machine manages.
TEST(OVDelegate, HeartbeatRaisesTheRevisionOncePerTick)
{
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("d.sqlite")));
    Plans plans;
    plans.clock.start();
    OVDelegate delegate(&store, nullptr, plans.planner(), 50);
    EXPECT_EQ(OVDelegate(&store).heartbeatInterval(), OVDelegate::heartbeatMs);
    delegate.launch();
    const qint64 before = store.revision();
    QList<qint64> seen;
    QObject context;
    QObject::connect(&store, &OVStore::revisionChanged, &context, [&] { seen.append(store.revision()); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() >= 3; }, 30000));
    for (qsizetype i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen.at(i), before + 1 + i);
}

TEST(OVDelegate, WithoutAStoreOnlyTheNetworkMonitorStarts)
{
    int plans = 0;
    OVDelegate delegate(nullptr, nullptr, [&plans](const OVStore&, const QDateTime&) { ++plans; });
    delegate.launch();
    EXPECT_TRUE(NetStatus::shared().started());
    EXPECT_EQ(plans, 0);
}
