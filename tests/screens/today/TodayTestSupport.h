#pragma once
// A scratch store shared as OVStore::shared() for the Today screen tests, with the
// task clock pinned, quiet notifications, °F and a clean app model.

#include "AppModelReset.h"
#include "TestSupport.h"

#include "records/OVPrefs.h"
#include "services/AppModel.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "services/TaskClock.h"
#include "store/OVStore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <memory>

namespace todaytest {

// 10 June 2026, 20:00 local time.
inline QDateTime pinnedNow()
{
    return QDateTime(QDate(2026, 6, 10), QTime(20, 0), QTimeZone::systemTimeZone()).toUTC();
}

// Lets deferred rebuilds, layouts and deletions run.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class TodayFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("today.sqlite")));
        OVStore::setShared(store.get());
        TaskClock::pin(now);
        OVNotify::enabled = false;
        OVPrefs::remove(OVPrefs::unitKey);
        AppModel& model = AppModel::shared();
        testsupport::closeSheetAndAlerts(model);
        model.setClimateZoneID(std::nullopt);
        model.setScreen(Screen::today);
    }

    void TearDown() override
    {
        TaskClock::reset();
        OVStore::setShared(nullptr);
        store.reset();
    }

    void addSample() { SampleData::add(*store, now); }

    Greenhouse addGreenhouse(const QString& name)
    {
        Greenhouse house;
        house.name = name;
        store->save(house);
        return house;
    }

    Zone addZone(qint64 greenhouseID, const QString& name, std::map<Metric, MetricRange> limits = {})
    {
        Zone zone{.greenhouseID = greenhouseID, .name = name};
        zone.limits = std::move(limits);
        store->save(zone);
        return zone;
    }

    // A one-time task at `hour` on `day`, never done.
    OVTask addTask(const QString& title, const OVDay& day, int hour = 8)
    {
        OVTask task;
        task.title = title;
        task.rule = Recurrence::once();
        task.start = day;
        task.hour = hour;
        store->save(task);
        return task;
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
    QDateTime now = pinnedNow();
    OVDay today{2026, 6, 10};
};

} // namespace todaytest
