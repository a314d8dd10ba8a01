#include "services/WholeNumber.h"

#include "records/IntegerMath.h"
#include "records/SpaceTrim.h"

namespace WholeNumber {

QString trimBlanks(const QString& text) { return SpaceTrim::trimmed(text).toString(); }

std::optional<qint64> parse(const QString& text) { return IntegerMath::readDecimal(text); }

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
