#pragma once
// Integer division that rounds toward minus infinity, as calendars need: the day of
// an instant before 1970, the month of a negative month index. C++ division rounds
// toward zero instead.

#include <QtGlobal>

namespace IntegerMath {

// a / b rounded down; b must not be 0.
constexpr qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The remainder that goes with floorDiv: a - floorDiv(a, b) * b, with the sign of b.
constexpr qint64 floorMod(qint64 a, qint64 b)
{
    return a - floorDiv(a, b) * b;
}

} // namespace IntegerMath
