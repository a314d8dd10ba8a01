#include "store/RowCodec.h"

#include <cmath>

std::optional<QDateTime> RowCodec::optionalInstant(const SQLRow& row, const QString& column)
{
    const std::optional<double> seconds = row.doubleValue(column);
    // About 285,000 years either side of 1970: far inside both QDateTime's range and
    // the 64-bit milliseconds, so the conversion below can never overflow.
    constexpr double limit = 9.0e12;
    if (!seconds || !std::isfinite(*seconds) || std::fabs(*seconds) > limit)
        return std::nullopt;
    // Instants carry milliseconds; rounding recovers exactly the value that was written.
    const QDateTime result = QDateTime::fromMSecsSinceEpoch(std::llround(*seconds * 1000.0), Qt::UTC);
    if (!result.isValid())
        return std::nullopt;
    return result;
}

QDateTime RowCodec::instant(const SQLRow& row, const QString& column)
{
    return optionalInstant(row, column).value_or(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC));
}

std::optional<OVDay> RowCodec::optionalDay(const SQLRow& row, const QString& column)
{
    const std::optional<QString> text = row.string(column);
    if (!text)
        return std::nullopt;
    return OVDay::fromIso(*text);
}

OVDay RowCodec::day(const SQLRow& row, const QString& column, const std::optional<OVDay>& today)
{
    if (const auto parsed = OVDay::fromIso(row.str(column)))
        return *parsed;
    return today ? *today : OVDay::today();
}
