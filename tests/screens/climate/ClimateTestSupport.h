#pragma once
// A scratch store shared as OVStore::shared() for the Climate screen tests, with the
// app model's navigation and the notification switches reset around each test.

#include "AppModelReset.h"
#include "records/Greenhouse.h"
#include "records/OVPrefs.h"
#include "records/Zone.h"
#include "services/AppModel.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include <memory>

namespace climatetest {

class ClimateFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("climate.sqlite")));
        OVStore::setShared(store.get());
        AppModel& model = AppModel::shared();
        model.setClimateZoneID(std::nullopt);
        testsupport::closeSheetAndAlerts(model);
        OVNotify::enabled = false; // lines are still recorded in sentAlerts
        OVNotify::sentAlerts.clear();
        OVPrefs::remove(OVPrefs::unitKey);
        OVPrefs::remove(OVPrefs::alertsKey);
    }
    void TearDown() override
    {
        OVPrefs::remove(OVPrefs::unitKey);
        AppModel::shared().setSheet(std::nullopt);
        OVStore::setShared(nullptr);
    }

    // The sample greenhouse: Main House (first in zone order) and Propagation.
    void addSample(const QDateTime& now = QDateTime::currentDateTimeUtc()) { SampleData::add(*store, now); }
    Zone zoneNamed(const QString& name) const
    {
        for (const Zone& zone : store->zones())
            if (zone.name == name)
                return zone;
        ADD_FAILURE() << "no zone " << name.toStdString();
        return Zone{};
    }
    // A greenhouse with one empty zone, limits as given.
    Zone addZone(const QString& house, const QString& name, std::map<Metric, MetricRange> limits = {})
    {
        Greenhouse gh;
        gh.name = house;
        store->save(gh);
        Zone zone;
        zone.greenhouseID = gh.id;
        zone.name = name;
        zone.limits = std::move(limits);
        store->save(zone);
        return zone;
    }
    // `count` readings of the zone a minute apart, the newest a minute before now.
    void addReadings(qint64 zoneID, int count, const QDateTime& newest = QDateTime::currentDateTimeUtc().addSecs(-60))
    {
        QList<Reading> readings;
        for (int i = 0; i < count; ++i) {
            Reading r;
            r.zoneID = zoneID;
            r.taken = newest.addSecs(-60 * qint64(i));
            r.values = {{Metric::temp, 60.0 + i % 20}, {Metric::humidity, 70}};
            readings.append(r);
        }
        store->addReadings(readings);
    }

    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
};

} // namespace climatetest
