#include "screens/plants/PlantListFacts.h"

#include "store/OVStore.h"

#include <QStringList>

PlantListFacts::PlantListFacts(OVStore& store)
{
    for (const Greenhouse& house : store.greenhouses())
        m_houses.insert(house.id, house.name);
    for (const Zone& zone : store.zones())
        m_zones.insert(zone.id, zone.name);
    for (const Spot& spot : store.allSpots())
        m_spots.insert(spot.id, spot.kind.name() + QLatin1Char(' ') + spot.name);
    m_photoCounts = store.photoCounts();
}

QString PlantListFacts::place(const Plant& plant) const
{
    QStringList parts;
    if (plant.greenhouseID && m_houses.contains(*plant.greenhouseID))
        parts.append(m_houses.value(*plant.greenhouseID));
    if (plant.zoneID && m_zones.contains(*plant.zoneID))
        parts.append(m_zones.value(*plant.zoneID));
    if (plant.spotID && m_spots.contains(*plant.spotID))
        parts.append(m_spots.value(*plant.spotID));
    return parts.join(QStringLiteral(" · "));
}
