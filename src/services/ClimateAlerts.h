#pragma once
// Compares readings with their zones' alert ranges and gives the alerts found.
// Nothing is kept: every call works the alerts out afresh from the store.
//
// Order kept by every operation: within one reading metric by metric in
// Metric::allCases() order, a low alert before a high one; current() in the
// store's zone order; recent() newest first, ties in zone, reading and check order.
// A value equal to a limit is no alert.

#include "records/Metric.h"
#include "records/MetricRange.h"
#include "services/ClimateAlert.h"

#include <QDateTime>
#include <QList>
#include <map>

class OVStore;
struct Reading;

namespace ClimateAlerts {

// The alerts of one reading against one zone's limits.
QList<ClimateAlert> check(const Reading& reading, const std::map<Metric, MetricRange>& limits);

// The alerts of every zone's newest reading, zone by zone.
QList<ClimateAlert> current(const OVStore& store);

// The alerts of every reading taken at or after now - days x 86,400 s (readings after
// `now` included, at most 5000 per zone), newest first. Days are whole 86,400 s,
// whatever the calendar or daylight saving does.
QList<ClimateAlert> recent(const OVStore& store, int days = 7,
                           const QDateTime& now = QDateTime::currentDateTimeUtc());

} // namespace ClimateAlerts
