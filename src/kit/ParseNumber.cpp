#include "kit/ParseNumber.h"

#include "services/OVCSV.h"

std::optional<double> parseNumber(const QString& text)
{
    return OVCSV::number(text);
}
