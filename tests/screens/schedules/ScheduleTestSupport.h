#pragma once
// A scratch store shared as OVStore::shared(), optionally with the sample
// greenhouse, a pinned task clock, quiet notifications and a clean app model, for
// the schedule screen tests.

#include "AppModelReset.h"
#include "TestSupport.h"

#include "records/OVPrefs.h"
#include "services/AppModel.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "services/TaskClock.h"
#include "store/OVStore.h"

#include <QCoreApplication>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <memory>

namespace scheduletest {

// 10 June 2026, 20:00 local time.
inline QDateTime pinnedNow()
{
    return QDateTime(QDate(2026, 6, 10), QTime(20, 0), QTimeZone::systemTimeZone()).toUTC();
}

// Lets deferred rebuilds, layouts and deletions run.
inline void settleEvents()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ScheduleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("tasks.sqlite")));
        OVStore::setShared(store.get());
        TaskClock::pin(now);
        OVNotify::enabled = false;
        OVNotify::lastPlan.clear();
        OVPrefs::remove(OVPrefs::remindersKey);
        AppModel& model = AppModel::shared();
        testsupport::closeSheetAndAlerts(model);
    }

    void TearDown() override
    {
        TaskClock::reset();
        OVStore::setShared(nullptr);
        store.reset();
    }

    void addSample() { SampleData::add(*store, now); }

    // A stored task built from `task` (id 0 on entry).
    OVTask add(OVTask task)
    {
        store->save(task);
        return task;
    }

    std::optional<OVTask> titled(const QString& title) const
    {
        for (const OVTask& task : store->tasks())
            if (task.title == title)
                return task;
        return std::nullopt;
    }

    static void settle() { settleEvents(); }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
    QDateTime now = pinnedNow();
};

} // namespace scheduletest
