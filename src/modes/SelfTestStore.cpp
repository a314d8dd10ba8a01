#include "modes/SelfTestStore.h"

#include "records/Greenhouse.h"

#include <QDir>

namespace OVSelfTest {

std::unique_ptr<OVStore> openGroupStore(OVTestRun& run, const QString& folder, const QString& name)
{
    try {
        return std::make_unique<OVStore>(QDir(folder).filePath(name));
    } catch (...) {
        run.check(false, QStringLiteral("store opens"));
        return nullptr;
    }
}

QList<Zone> trySaveZones(OVStore& store, const QStringList& names, const std::map<Metric, MetricRange>& limits)
{
    Greenhouse greenhouse;
    greenhouse.name = QStringLiteral("G");
    trySave(store, greenhouse);
    QList<Zone> zones;
    for (const QString& name : names) {
        Zone zone;
        zone.greenhouseID = greenhouse.id;
        zone.name = name;
        zone.limits = limits;
        trySave(store, zone);
        zones.append(zone);
    }
    return zones;
}

} // namespace OVSelfTest
