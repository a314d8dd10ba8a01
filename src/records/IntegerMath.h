#pragma once
// Integer division that rounds toward minus infinity, as calendars need: the day of
// an instant before 1970, the month of a negative month index. C++ division rounds
// toward zero instead. Also the strict reading of whole numbers in stored texts.

#include <QStringView>
#include <QtGlobal>
#include <optional>

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

// An optional sign, then ASCII digits only, within the 64-bit range; nullopt for
// anything else (blanks, a lone sign, overflow).
inline std::optional<qint64> readDecimal(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Accumulate towards the sign so that the 64-bit minimum reads too.
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const qint64 digit = c.unicode() - u'0';
        if (__builtin_mul_overflow(value, qint64(10), &value)
            || (negative ? __builtin_sub_overflow(value, digit, &value)
                         : __builtin_add_overflow(value, digit, &value)))
            return std::nullopt;
    }
    return value;
}

} // namespace IntegerMath
