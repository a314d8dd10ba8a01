#include "screens/plants/PlantFilter.h"

bool PlantFilter::passes(const Plant& plant) const
{
    if (!search.isEmpty()) {
        const QString text = plant.crop + QLatin1Char(' ') + plant.variety + QLatin1Char(' ') + plant.notes +
                             QLatin1Char(' ') + plant.source;
        if (!text.contains(search, Qt::CaseInsensitive))
            return false;
    }
    if (status == active) {
        if (!(plant.status.active() || plant.status == PlantStatus::planned))
            return false;
    } else if (status != all && plant.status.rawValue() != status) {
        return false;
    }
    if (greenhouse && plant.greenhouseID != greenhouse)
        return false;
    return true;
}

QList<Plant> PlantFilter::apply(const QList<Plant>& plants) const
{
    QList<Plant> out;
    for (const Plant& plant : plants)
        if (passes(plant))
            out.append(plant);
    return out;
}
