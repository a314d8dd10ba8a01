#include "records/Metric.h"

#include "records/OVFormat.h"
#include "records/OVPrefs.h"

#include <cmath>

namespace {

struct MetricInfo {
    const char16_t* raw;
    const char16_t* column;
    const char16_t* name;
    const char16_t* shortName;
    const char16_t* unit; // temperatures: the Fahrenheit unit; see Metric::unit()
    const char16_t* symbol;
    double low;
    double high;
};

const MetricInfo infos[8] = {
    {u"temp", u"temp_f", u"Air temperature", u"Air", u"°F", u"thermometer.medium", -60, 160},
    {u"humidity", u"humidity", u"Humidity", u"RH", u"%", u"humidity", 0, 100},
    {u"light", u"light", u"Light", u"Light", u"lux", u"sun.max", 0, 200000},
    {u"co2", u"co2", u"CO₂", u"CO₂", u"ppm", u"carbon.dioxide.cloud", 0, 20000},
    {u"soilMoisture", u"soil_moisture", u"Soil moisture", u"Soil H₂O", u"%", u"drop", 0, 100},
    {u"soilTemp", u"soil_temp_f", u"Soil temperature", u"Soil temp", u"°F", u"thermometer.low", -60, 160},
    {u"ph", u"ph", u"Soil / solution pH", u"pH", u"", u"testtube.2", 0, 14},
    {u"ec", u"ec", u"EC (salts)", u"EC", u"mS/cm", u"bolt.horizontal", 0, 30},
};

const MetricInfo& info(Metric m) { return infos[int(Metric::Case(m))]; }

bool showsCelsius(Metric m) { return m.isTemperature() && OVPrefs::useCelsius(); }

} // namespace

const std::array<Metric, 8>& Metric::allCases()
{
    static const std::array<Metric, 8> all{temp, humidity, light, co2, soilMoisture, soilTemp, ph, ec};
    return all;
}

std::optional<Metric> Metric::fromRaw(QStringView raw)
{
    for (Metric m : allCases())
        if (raw == QStringView(info(m).raw))
            return m;
    return std::nullopt;
}

QString Metric::rawValue() const { return QString::fromUtf16(info(*this).raw); }
QString Metric::column() const { return QString::fromUtf16(info(*this).column); }
QString Metric::name() const { return QString::fromUtf16(info(*this).name); }
QString Metric::shortName() const { return QString::fromUtf16(info(*this).shortName); }

QString Metric::unit() const
{
    if (showsCelsius(*this))
        return QStringLiteral("°C");
    return QString::fromUtf16(info(*this).unit);
}

QString Metric::symbol() const
{
    return QString::fromUtf16(info(*this).symbol);
}

Metric::Bounds Metric::possible() const { return {info(*this).low, info(*this).high}; }

double Metric::toDisplay(double v) const { return showsCelsius(*this) ? (v + (-32)) * 5 / 9 : v; }

double Metric::fromDisplay(double v) const { return showsCelsius(*this) ? v * 9 / 5 + 32 : v; }

QString Metric::format(double v) const
{
    const double d = toDisplay(v);
    QString number;
    if (isTemperature()) {
        const double r = std::round(d); // halves away from zero, unlike "%.1f"
        number = std::fabs(d - r) < 0.05 ? OVFormat::rounded(r) : OVFormat::fixed(d, 1);
    } else if (m_case == ph || m_case == ec) {
        number = OVFormat::fixed(d, 2);
    } else {
        number = OVFormat::rounded(d);
    }
    const QString u = unit();
    if (u.isEmpty())
        return number;
    if (u.startsWith(u'°') || u == u"%")
        return number + u;
    return number + u' ' + u;
}
