#include "services/ClimateAlerts.h"

#include "records/Reading.h"
#include "records/Zone.h"
#include "store/OVStore.h"

#include <algorithm>

namespace ClimateAlerts {

QList<ClimateAlert> check(const Reading& reading, const std::map<Metric, MetricRange>& limits)
{
    QList<ClimateAlert> alerts;
    for (const Metric metric : Metric::allCases()) {
        const auto value = reading.values.find(metric);
        const auto range = limits.find(metric);
        if (value == reading.values.end() || range == limits.end())
            continue;
        const double v = value->second;
        // Strict comparisons: a value on the limit is still in range. A NaN compares
        // false both ways and so never alerts.
        if (range->second.min && v < *range->second.min)
            alerts.append(ClimateAlert(reading.zoneID, metric, v, *range->second.min, ClimateAlert::Side::low,
                                       reading.taken));
        if (range->second.max && v > *range->second.max)
            alerts.append(ClimateAlert(reading.zoneID, metric, v, *range->second.max, ClimateAlert::Side::high,
                                       reading.taken));
    }
    return alerts;
}

QList<ClimateAlert> current(const OVStore& store)
{
    QList<ClimateAlert> alerts;
    for (const Zone& zone : store.zones()) {
        if (const std::optional<Reading> newest = store.latestReading(zone.id))
            alerts.append(check(*newest, zone.limits));
    }
    return alerts;
}

QList<ClimateAlert> recent(const OVStore& store, int days, const QDateTime& now)
{
    const QDateTime start = now.addSecs(-qint64(days) * 86400);
    QList<ClimateAlert> alerts;
    for (const Zone& zone : store.zones()) {
        for (const Reading& reading : store.readings(zone.id, start))
            alerts.append(check(reading, zone.limits));
    }
    std::stable_sort(alerts.begin(), alerts.end(),
                     [](const ClimateAlert& a, const ClimateAlert& b) { return a.taken > b.taken; });
    return alerts;
}

} // namespace ClimateAlerts
