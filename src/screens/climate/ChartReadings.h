#pragma once
// What the climate chart needs of a zone's readings, read straight from the store's
// statement: the time and one metric's stored value of the newest readings of a
// period (at most the chart's cap), newest first. The same rows as
// OVStore::readings(zone, since, limit) gives, without building whole records, so a
// drawing of thousands of points stays cheap. Readings without the metric give no
// point. A failing query gives no points (the chart then says it has none).

#include "records/Metric.h"
#include "screens/climate/ClimateChart.h"

#include <QDateTime>
#include <QList>
#include <optional>

class OVStore;

class ChartReadings {
public:
    static constexpr int cap = 5000;

    // Stored values (temperatures in °F), newest first (ties: higher id first).
    static QList<ClimateChart::Point> load(OVStore& store, qint64 zoneID, Metric metric,
                                           const std::optional<QDateTime>& since, int limit = cap);
};
