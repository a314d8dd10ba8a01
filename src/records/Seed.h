#pragma once
// A seed packet in the inventory. `year` is the season the packet was packed
// for, absent when unknown. Hashable over every field.

#include "records/RecordHash.h"

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct Seed {
    qint64 id = 0;
    QString crop{};
    QString variety{};
    QString supplier{};
    QString lot{};
    std::optional<qint64> year{};
    double quantity = 0;
    QString unit = QStringLiteral("seeds");
    QString notes{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Seed&, const Seed&) = default;
};

template <>
struct std::hash<Seed> {
    size_t operator()(const Seed& s) const noexcept
    {
        return RecordHash::combine(s.id, s.crop, s.variety, s.supplier, s.lot, s.year, s.quantity, s.unit, s.notes);
    }
};
