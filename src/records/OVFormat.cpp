#include "records/OVFormat.h"

#include "records/CNumber.h"

#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <clocale>
#include <cmath>
#include <locale.h>
#include <stdlib.h>
#include <vector>

namespace {

// Qt has no medium date style; derive it from the long one by dropping the weekday
// and abbreviating the month ("dddd, MMMM d, yyyy" -> "MMM d, yyyy").
QString mediumDateFormat(const QLocale& locale)
{
    // Asked for every date a list shows; the regular expressions are the costly part.
    thread_local QLocale cachedFor(QLocale::c());
    thread_local QString cached;
    if (!cached.isEmpty() && cachedFor == locale)
        return cached;
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression leadingWeekday(QStringLiteral("^\\s*dddd[\\s,.،，]*"));
    static const QRegularExpression trailingWeekday(QStringLiteral("[\\s,.،，]*dddd\\s*$"));
    format.remove(leadingWeekday);
    format.remove(trailingWeekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    cachedFor = locale;
    cached = format;
    return format;
}

// Hours and minutes. The C locale's short format (used when no language is set)
// carries seconds, which a short time never shows.
QString shortTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss"));
    format.remove(QStringLiteral(".ss"));
    return format;
}


} // namespace

namespace OVFormat {

QString day(const QDateTime& instant)
{
    const QLocale locale;
    return locale.toString(instant.toLocalTime(), mediumDateFormat(locale));
}

QString dayTime(const QDateTime& instant)
{
    const QLocale locale;
    return locale.toString(instant.toLocalTime(),
                           mediumDateFormat(locale) + QStringLiteral(", ") + shortTimeFormat(locale));
}

QString time(const QDateTime& instant)
{
    const QLocale locale;
    return locale.toString(instant.toLocalTime(), shortTimeFormat(locale));
}

QString money(double value)
{
    // Qt writes some negative amounts in accounting brackets ("($3.00)"); a plain
    // leading minus sign reads as the same number in every locale.
    const QLocale locale;
    // The C/POSIX locale has no currency format of its own (Qt would write "52.23$"):
    // the plain "$%.2f" reads right everywhere.
    if (locale.language() == QLocale::C)
        return (value < 0 ? QStringLiteral("-$") : QStringLiteral("$")) + fixed(std::abs(value), 2);
    if (value < 0)
        return locale.negativeSign() + locale.toCurrencyString(-value, QStringLiteral("$"));
    return locale.toCurrencyString(value, QStringLiteral("$"));
}

QString cash(double value)
{
    const QString text = money(value);
    return text.isEmpty() ? u'$' + fixed(value, 2) : text;
}

std::string fixedStd(double value, int digits)
{
    if (digits < 0)
        digits = 6; // printf's meaning of a negative precision
    digits = std::min(digits, 1100); // beyond this every digit of a double is zero
    // Largest finite double has 309 integer digits; sign and point add two.
    std::vector<char> buffer(size_t(digits) + 320);
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, digits);
    if (result.ec != std::errc())
        return {};
    return std::string(buffer.data(), result.ptr);
}

QString fixed(double value, int digits) { return QString::fromStdString(fixedStd(value, digits)); }

QString rounded(double value)
{
    if (!std::isfinite(value))
        return fixed(value, 0);
    const double r = std::round(value); // halves away from zero
    // "%.0f" of a whole double is its exact integer text, at any magnitude; no
    // integer conversion is needed. Zero drops its sign.
    return r == 0 ? QStringLiteral("0") : fixed(r, 0);
}

QString num(double value, int digits)
{
    if (digits < 2 && std::isfinite(value) && value == std::round(value))
        return value == 0 ? QStringLiteral("0") : fixed(value, 0);
    return fixed(value, digits);
}

std::optional<double> parseDouble(QStringView text)
{
    if (text.isEmpty() || text.front().isSpace())
        return std::nullopt;
    const QByteArray bytes = text.toUtf8();
    return CNumber::parseWhole(std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace OVFormat
