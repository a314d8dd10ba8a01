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

TEST(OVDelegate, BurstOfSavesGivesOnePlanASecondAfterTheLast)
{
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("d.sqlite")));
    Plans plans;
    plans.clock.start();
    OVDelegate delegate(&store, nullptr, plans.planner());
    delegate.launch();
    ASSERT_EQ(plans.at.size(), 1); // the launch plan, nothing debounced for it
    QTest::qWait(1300);
    EXPECT_EQ(plans.at.size(), 1);

    qint64 lastSave = 0;
    for (int i = 0; i < 10; ++i) {
        Greenhouse house{.name = QStringLiteral("House %1").arg(i)};
        store.save(house);
        lastSave = plans.clock.elapsed();
        QTest::qWait(45);
    }
    QTest::qWait(1500);
    ASSERT_EQ(plans.at.size(), 2);
    const qint64 delay = plans.at.at(1) - lastSave;
    EXPECT_GE(delay, 950);
    EXPECT_LE(delay, 1400);
}

TEST(OVDelegate, HeartbeatRaisesTheRevisionOncePerTick)
{
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("d.sqlite")));
    Plans plans;
    plans.clock.start();
    OVDelegate delegate(&store, nullptr, plans.planner(), 400);
    EXPECT_EQ(OVDelegate(&store).heartbeatInterval(), 3600 * 1000);
    delegate.launch();
    const qint64 before = store.revision();
    QTest::qWait(1000); // two ticks at 400 and 800 ms
    EXPECT_EQ(store.revision() - before, 2);
}

TEST(OVDelegate, WithoutAStoreOnlyTheNetworkMonitorStarts)
{
    int plans = 0;
    OVDelegate delegate(nullptr, nullptr, [&plans](const OVStore&, const QDateTime&) { ++plans; });
    delegate.launch();
    EXPECT_TRUE(NetStatus::shared().started());
    EXPECT_EQ(plans, 0);
}
