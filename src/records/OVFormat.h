#pragma once
// The shared formatters every screen, report and export uses for days, times,
// numbers and money. Date and money text follow the user's locale and zone;
// C-style number text ("%.Nf") always has a point as decimal mark and C rounding
// whatever the locale, and never converts a non-finite or huge value to an integer.

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>

namespace OVFormat {

// Date styles: medium date; medium date + short time; short time. In the current
// locale and the system zone (instants are shown in local time).
QString day(const QDateTime& instant);
QString dayTime(const QDateTime& instant);
QString time(const QDateTime& instant);

// Currency text of a dollar amount in the user's locale ("$%.2f" under the C/POSIX
// locale), a leading minus sign for negative amounts.
QString money(double value);
// money(value), or "$%.2f" when that gives no text.
QString cash(double value);

// A whole value with fewer than 2 digits prints as an integer ("3"); anything else
// as "%.<digits>f".
QString num(double value, int digits = 1);

// "%.<digits>f" of value: std::to_chars fixed, point as decimal mark, C rounding
// (the nearest representable value's exact decimal, halves to even).
QString fixed(double value, int digits);
std::string fixedStd(double value, int digits);

// The integer nearest to value, halves away from zero, as decimal text. Values that
// are not finite or lie beyond the 64-bit range print through fixed(value, 0).
QString rounded(double value);

// Parses a whole text as a double in the C locale (no spaces, nothing left over);
// nullopt otherwise.
std::optional<double> parseDouble(QStringView text);

} // namespace OVFormat
