#pragma once
// What each row of the plant list shows besides the plant itself: its place text
// and its photo count, read for the whole list at once (three small tables and one
// grouped count) instead of four queries per row. The texts are the ones
// OVStore::locationText gives for each plant. A failed photo count throws the
// store's error.

#include "records/Plant.h"

#include <QHash>
#include <QString>

class OVStore;

class PlantListFacts {
public:
    PlantListFacts() = default;
    explicit PlantListFacts(OVStore& store);

    // Greenhouse, zone and "Bed 1"/"Bench B1" still found, joined with " · ".
    QString place(const Plant& plant) const;
    qint64 photoCount(qint64 plantID) const { return m_photoCounts.value(plantID, 0); }

private:
    QHash<qint64, QString> m_houses;
    QHash<qint64, QString> m_zones;
    QHash<qint64, QString> m_spots;
    QHash<qint64, qint64> m_photoCounts;
};
