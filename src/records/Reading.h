#pragma once
// One climate reading of a zone at one instant.
//
// `values` holds the metrics that were measured, in the stored units
// (temperatures in degrees Fahrenheit); a metric without an entry was not
// measured. `taken` is an instant in UTC; a new value takes the current instant.
// `source` is "manual", or "csv" for imported readings.

#include "records/Metric.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <map>

class OVStore;

struct Reading {
    qint64 id = 0;
    qint64 zoneID = 0;
    QDateTime taken = QDateTime::currentDateTimeUtc();
    std::map<Metric, double> values{};
    QString source = QStringLiteral("manual");
    QString note{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Reading&, const Reading&) = default;
};
