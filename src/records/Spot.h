#pragma once
// A bed or bench inside a zone. Hashable over every field.

#include "records/RecordHash.h"
#include "records/SpotKind.h"

#include <QString>
#include <QStringList>

class OVStore;

struct Spot {
    qint64 id = 0;
    qint64 zoneID = 0;
    SpotKind kind = SpotKind::bed;
    QString name{};
    QString size{};
    QString notes{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Spot&, const Spot&) = default;
};

template <>
struct std::hash<Spot> {
    size_t operator()(const Spot& s) const noexcept
    {
        return RecordHash::combine(s.id, s.zoneID, s.kind, s.name, s.size, s.notes);
    }
};
