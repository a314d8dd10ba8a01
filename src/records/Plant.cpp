#include "records/Plant.h"

QString Plant::displayName() const
{
    if (variety.isEmpty())
        return crop;
    return crop + QStringLiteral(" \u2014 ") + variety;
}
