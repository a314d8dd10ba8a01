#pragma once
// Writes a complete example greenhouse into a store, so a new user can learn the
// program on filled screens and the self-check and screenshots have known data.
//
// Everything is placed relative to `now`: a week of climate readings ending at
// `now` (never after it), schedules with a history of completions, a recent pest,
// harvests and costs. The readings hold exactly one value outside its zone's alert
// range: the Main House air temperature of yesterday at 14:00 (94.5 °F against a
// maximum of 90).
//
// Each call adds another full set; nothing checks for an earlier one. The first
// store error ends the call and is rethrown unchanged; records saved before it stay
// (only the reading import is all-or-nothing).

#include <QDateTime>

class OVStore;

namespace SampleData {

void add(OVStore& store, const QDateTime& now = QDateTime::currentDateTimeUtc());

} // namespace SampleData
