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

// Timers never fire early, only late on a busy machine: the checks below bound the
// waits from below only, and wait for what they expect with generous limits.
TEST(OVDelegate, BurstOfSavesGivesOnePlanAfterTheLast)
{
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("d.sqlite")));
    Plans plans;
    plans.clock.start();
    OVDelegate delegate(&store, nullptr, plans.planner());
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
    const qint64 lastSave = plans.clock.elapsed();
    EXPECT_EQ(plans.at.size(), 1);
    // A change in the middle of the wait starts it again.
    QTest::qWait(OVDelegate::debounceMs / 2);
    Greenhouse late{.name = QStringLiteral("Late")};
    store.save(late);
    const qint64 lateSave = plans.clock.elapsed();
    if (lateSave - lastSave >= OVDelegate::debounceMs * 9 / 10)
        GTEST_SKIP() << "the machine stalled for " << lateSave - lastSave << " ms; the case proves nothing";
    EXPECT_EQ(plans.at.size(), 1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return plans.at.size() >= 2; }, 30000));
    EXPECT_EQ(plans.at.size(), 2);
    // Coarse timers may fire up to 5 % early.
    EXPECT_GE(plans.at.at(1) - lateSave, OVDelegate::debounceMs * 95 / 100);
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
