#pragma once
// A scratch store shared as OVStore::shared() for the Greenhouses screen tests, with
// the app model cleared and the temperature unit back to °F for every test.

#include "AppModelReset.h"
#include "records/OVPrefs.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace greenhousetest {

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("Greenhouse.sqlite")));
        OVStore::setShared(store.get());
        AppModel& model = AppModel::shared();
        testsupport::closeSheetAndAlerts(model);
        model.setClimateZoneID(std::nullopt);
        model.setScreen(Screen::greenhouses);
        OVPrefs::remove(OVPrefs::unitKey);
    }

    void TearDown() override
    {
        OVPrefs::remove(OVPrefs::unitKey);
        OVStore::setShared(nullptr);
    }

    static void useCelsius(bool on)
    {
        OVPrefs::setValue(OVPrefs::unitKey, on ? QStringLiteral("C") : QStringLiteral("F"));
    }

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

    Spot addSpot(qint64 zoneID, SpotKind kind, const QString& name, const QString& size = QString())
    {
        Spot spot{.zoneID = zoneID, .kind = kind, .name = name, .size = size};
        store->save(spot);
        return spot;
    }

    // `count` readings of the zone, one a minute, each with an air temperature.
    void addReadings(qint64 zoneID, int count, double temp = 70)
    {
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-30);
        QList<Reading> readings;
        for (int i = 0; i < count; ++i) {
            Reading r;
            r.zoneID = zoneID;
            r.taken = start.addSecs(60 * i);
            r.values = {{Metric::temp, temp}};
            readings << r;
        }
        store->addReadings(readings);
    }

    qint64 rows(const QString& sql) { return store->db().scalarInt(sql); }

    // Runs deferred rebuilds and deletions.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
};

// The texts of the labels below `root` with that object name, in creation order.
inline QStringList labelTexts(const QWidget* root, const QString& objectName)
{
    QStringList texts;
    for (const QLabel* label : root->findChildren<QLabel*>(objectName))
        texts << label->text();
    return texts;
}

} // namespace greenhousetest
