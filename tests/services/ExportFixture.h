#pragma once
// A store in a scratch folder, for the exporter's tests and those of its folder.

#include "store/OVStore.h"

#include "TestSupport.h"

struct ExportFixture {
    testsupport::ScratchDir dir;
    OVStore store{dir.file(QStringLiteral("g.sqlite"))};

    Zone addZone(qint64 houseID, const QString& name)
    {
        Zone zone{.greenhouseID = houseID, .name = name};
        store.save(zone);
        return zone;
    }
    qint64 addHouse(const QString& name)
    {
        Greenhouse house{.name = name};
        store.save(house);
        return house.id;
    }
};
