#pragma once
// The eight climate quantities a reading can hold and a zone can watch, with their
// column names, labels, units and the closed range of physically possible values.
//
// Invariants: values are always held in the stored unit (temperatures in degrees
// Fahrenheit); only toDisplay()/fromDisplay()/format() look at the Celsius
// preference. allCases() order is the column order of the database and exports.

#include "records/MetricRange.h"
#include "records/RecordEnum.h"

#include <QHashFunctions>
#include <QString>

struct MetricCases {
    enum Case : quint8 { temp, humidity, light, co2, soilMoisture, soilTemp, ph, ec };

protected:
    // Indexed by case number.
    static constexpr EnumText::Entry texts[] = {
        {"temp", u"Air temperature"},
        {"humidity", u"Humidity"},
        {"light", u"Light"},
        {"co2", u"CO₂"},
        {"soilMoisture", u"Soil moisture"},
        {"soilTemp", u"Soil temperature"},
        {"ph", u"Soil / solution pH"},
        {"ec", u"EC (salts)"},
    };
};

class Metric : public RecordEnum<Metric, MetricCases> {
public:
    using RecordEnum::RecordEnum;

    // Both ends are possible values.
    struct Bounds {
        double lowerBound;
        double upperBound;
        bool contains(double v) const { return v >= lowerBound && v <= upperBound; }
    };

    QString column() const;
    QString shortName() const;
    // "°C" for the temperatures when the Celsius preference is on, else fixed.
    QString unit() const;
    QString symbol() const;
    Bounds possible() const;
    bool isTemperature() const { return m_case == temp || m_case == soilTemp; }

    double toDisplay(double v) const;
    double fromDisplay(double v) const;
    // The stored value as shown to people, unit included ("72°F", "65%", "1.40 mS/cm").
    QString format(double v) const;
};

inline size_t qHash(Metric m, size_t seed = 0) noexcept { return qHash(static_cast<int>(Metric::Case(m)), seed); }
