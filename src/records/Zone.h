#pragma once
// An area of a greenhouse with its own climate log and alert ranges.
//
// `limits` holds at most one range per metric; a metric without an entry has no
// alert range, and a stored zone never holds an entry with neither bound (the
// save drops those, and reading a row gives no entry for two NULL columns).
// Equality compares every field, but the hash is the id alone.

#include "records/Metric.h"
#include "records/MetricRange.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

class OVStore;

struct Zone {
    qint64 id = 0;
    qint64 greenhouseID = 0;
    QString name{};
    QString notes{};
    std::map<Metric, MetricRange> limits{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Zone&, const Zone&) = default;
};

template <>
struct std::hash<Zone> {
    size_t operator()(const Zone& z) const noexcept { return std::hash<qint64>()(z.id); }
};
