#pragma once
// One picking of a crop. `crop` is what joins harvests to plants and costs in the
// reports (by cropKey), not `plantID`. A new harvest is dated today (set `date`
// in the initializer to pin the day).

#include "records/HarvestUnit.h"
#include "records/OVDay.h"

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct Harvest {
    qint64 id = 0;
    std::optional<qint64> plantID{};
    QString crop{};
    OVDay date = OVDay::today();
    double quantity = 0;
    HarvestUnit unit = HarvestUnit::lb;
    QString quality{};
    QString notes{};

    // The weight in pounds; nullopt for a harvest counted in pieces.
    std::optional<double> pounds() const
    {
        const auto factor = unit.pounds();
        return factor ? std::optional<double>(quantity * *factor) : std::nullopt;
    }

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Harvest&, const Harvest&) = default;
};
