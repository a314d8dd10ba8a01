#pragma once
// How field types that SQLite has no class for are read back from a result row.
// Writing needs no helper: SQLValue takes QDateTime (REAL seconds since 1970 UTC),
// OVDay goes in as its iso() text, enumerations as rawValue(), rules as encoded().
//
// Readers never fail. Each gives the type's fallback (or nothing, for the optional
// forms) when the column is missing, NULL or does not read as the type, so a row
// that another program or an older build damaged still loads.

#include "records/OVDay.h"
#include "store/SQLRow.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace RowCodec {

// REAL seconds since 1970-01-01 00:00:00 UTC; nothing when the column is missing,
// NULL, not a number, not finite or beyond the range of instants.
std::optional<QDateTime> optionalInstant(const SQLRow& row, const QString& column);
// As above, with 1970-01-01 00:00:00 UTC in place of nothing.
QDateTime instant(const SQLRow& row, const QString& column);

// A "yyyy-mm-dd" text naming a real day; nothing otherwise (also for 30 February).
std::optional<OVDay> optionalDay(const SQLRow& row, const QString& column);
// As above, with `today` (the current day when not given) in place of nothing.
OVDay day(const SQLRow& row, const QString& column, const std::optional<OVDay>& today = std::nullopt);

// The case whose raw value is the column's text exactly; `fallback` otherwise
// (also for NULL, which reads as "").
template <typename E>
E enumeration(const SQLRow& row, const QString& column, E fallback)
{
    return E::fromRaw(row.str(column)).value_or(fallback);
}

} // namespace RowCodec
