#pragma once
// The eight climate quantities a reading can hold and a zone can watch, with their
// column names, labels, units and the closed range of physically possible values.
//
// Invariants: values are always held in the stored unit (temperatures in degrees
// Fahrenheit); only toDisplay()/fromDisplay()/format() look at the Celsius
// preference. allCases() order is the column order of the database and exports.

#include "records/MetricRange.h"

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

class Metric {
public:
    enum Case : quint8 { temp, humidity, light, co2, soilMoisture, soilTemp, ph, ec };

    // Both ends are possible values.
    struct Bounds {
        double lowerBound;
        double upperBound;
        bool contains(double v) const { return v >= lowerBound && v <= upperBound; }
    };

    constexpr Metric() noexcept = default;
    constexpr Metric(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<Metric, 8>& allCases();
    // The case whose raw value is exactly `raw` (case-sensitive).
    static std::optional<Metric> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    QString column() const;
    QString name() const;
    QString displayName() const { return name(); }
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

private:
    Case m_case = temp;
};

inline size_t qHash(Metric m, size_t seed = 0) noexcept { return qHash(static_cast<int>(Metric::Case(m)), seed); }

template <>
struct std::hash<Metric> {
    size_t operator()(Metric m) const noexcept { return std::hash<int>()(static_cast<int>(Metric::Case(m))); }
};
