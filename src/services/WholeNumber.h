#pragma once
// The readings the plant and seed editors share for typed texts: blanks (spaces and
// tabs, not line breaks; the program's one SpaceTrim rule) trimmed from both ends, and whole decimal numbers with an
// optional sign that must fit in 64 bits. Anything else is "not a number": no
// rounding, no decimal point, no inner spaces.

#include <QString>
#include <optional>

namespace WholeNumber {

// The text without leading and trailing spaces and tabs; line breaks stay.
QString trimBlanks(const QString& text);

// "+5" → 5, "-1" → -1, "2026" → 2026; nothing for "", "2026.0", "12 5", "x" or a
// value beyond the 64-bit range.
std::optional<qint64> parse(const QString& text);

// An optional whole-number box: a blank text gives nothing, a whole number itself;
// false (and `into` untouched) for anything else.
bool readOptional(const QString& text, std::optional<qint64>& into);

} // namespace WholeNumber
