#pragma once
// A scratch store with a small layout (one greenhouse, one zone, one bed) for the
// record-operation tests.

#include "store/OVStore.h"

#include "TestSupport.h"

#include <memory>

namespace storetest {

struct StoreLayout {
    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
    Greenhouse house;
    Zone zone;
    Spot bed;

    StoreLayout()
    {
        store = std::make_unique<OVStore>(path());
        house.name = QStringLiteral("North");
        store->save(house);
        zone.greenhouseID = house.id;
        zone.name = QStringLiteral("Propagation");
        store->save(zone);
        bed.zoneID = zone.id;
        bed.name = QStringLiteral("1");
        store->save(bed);
    }

    QString path() const { return dir.file(QStringLiteral("store.sqlite")); }
    OVStore& operator*() { return *store; }
    OVStore* operator->() { return store.get(); }
};

inline QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

} // namespace storetest
