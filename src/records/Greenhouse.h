#pragma once
// A greenhouse: the top of the layout that zones, beds and benches hang from.
//
// Like every record: `id` is the SQLite row id, 0 until first saved; equality
// compares every field; the mapping to its table row is defined with the store.
// Hashable over every field.

#include "records/RecordHash.h"

#include <QString>
#include <QStringList>

class OVStore;

struct Greenhouse {
    qint64 id = 0;
    QString name{};
    QString location{};
    QString size{};
    QString glazing{};
    QString notes{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Greenhouse&, const Greenhouse&) = default;
};

template <>
struct std::hash<Greenhouse> {
    size_t operator()(const Greenhouse& g) const noexcept
    {
        return RecordHash::combine(g.id, g.name, g.location, g.size, g.glazing, g.notes);
    }
};
