#include "services/WholeNumber.h"

#include "records/SpaceTrim.h"

#include <charconv>
#include <string>

namespace WholeNumber {

QString trimBlanks(const QString& text) { return SpaceTrim::trimmed(text).toString(); }

std::optional<qint64> parse(const QString& text)
{
    QString digits = text;
    bool negative = false;
    if (digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-'))) {
        negative = digits.startsWith(QLatin1Char('-'));
        digits.remove(0, 1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    // The sign goes back on before reading, so the most negative value still fits.
    std::string ascii;
    if (negative)
        ascii.push_back('-');
    ascii.append(digits.toLatin1().constData());
    qint64 value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size())
        return std::nullopt;
    return value;
}

bool readOptional(const QString& text, std::optional<qint64>& into)
{
    const QString trimmed = trimBlanks(text);
    if (trimmed.isEmpty()) {
        into = std::nullopt;
        return true;
    }
    const std::optional<qint64> number = parse(trimmed);
    if (!number)
        return false;
    into = number;
    return true;
}

} // namespace WholeNumber
