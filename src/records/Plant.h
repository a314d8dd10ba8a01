#pragma once
// A planting of one crop, optionally placed in a greenhouse, zone and bed.
//
// Location links are optional ids; once saved they agree with each other (the
// most specific place chosen decides the others). `refCropID` names a crop of the
// reference library, "" when none. Hashable over every field.

#include "records/OVDay.h"
#include "records/PlantStatus.h"
#include "records/RecordHash.h"

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct Plant {
    qint64 id = 0;
    QString crop{};
    QString variety{};
    QString source{};
    QString refCropID{};
    std::optional<OVDay> sowDate{};
    std::optional<OVDay> transplantDate{};
    std::optional<OVDay> expectedHarvest{};
    std::optional<qint64> greenhouseID{};
    std::optional<qint64> zoneID{};
    std::optional<qint64> spotID{};
    PlantStatus status = PlantStatus::planned;
    qint64 quantity = 1; // number of plants
    QString notes{};

    // The crop, followed by " — " and the variety when there is one; neither is trimmed.
    QString displayName() const;

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Plant&, const Plant&) = default;
};

template <>
struct std::hash<Plant> {
    size_t operator()(const Plant& p) const noexcept
    {
        return RecordHash::combine(p.id, p.crop, p.variety, p.source, p.refCropID, p.sowDate, p.transplantDate,
                                   p.expectedHarvest, p.greenhouseID, p.zoneID, p.spotID, p.status, p.quantity,
                                   p.notes);
    }
};
