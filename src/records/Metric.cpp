#include "records/Metric.h"

#include "records/OVFormat.h"
#include "records/OVPrefs.h"

#include <cmath>

namespace {

// Indexed by case number, like the raw and display texts.
struct MetricInfo {
    const char16_t* column;
    const char16_t* shortName;
    const char16_t* unit; // temperatures: the Fahrenheit unit; see Metric::unit()
    const char16_t* symbol;
    double low;
    double high;
};

const MetricInfo infos[] = {
    {u"temp_f", u"Air", u"°F", u"thermometer.medium", -60, 160},
    {u"humidity", u"RH", u"%", u"humidity", 0, 100},
    {u"light", u"Light", u"lux", u"sun.max", 0, 200000},
    {u"co2", u"CO₂", u"ppm", u"carbon.dioxide.cloud", 0, 20000},
    {u"soil_moisture", u"Soil H₂O", u"%", u"drop", 0, 100},
    {u"soil_temp_f", u"Soil temp", u"°F", u"thermometer.low", -60, 160},
    {u"ph", u"pH", u"", u"testtube.2", 0, 14},
    {u"ec", u"EC", u"mS/cm", u"bolt.horizontal", 0, 30},
};
static_assert(std::size(infos) == 8);

const MetricInfo& info(Metric m) { return infos[int(Metric::Case(m))]; }

bool showsCelsius(Metric m) { return m.isTemperature() && OVPrefs::useCelsius(); }

} // namespace

QString Metric::column() const { return QString::fromUtf16(info(*this).column); }
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
