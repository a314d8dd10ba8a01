#include "services/RefCrop.h"

QStringList RefCrop::allSourceKeys() const
{
    QStringList keys;
    for (const QStringList* list : {&tempSources, &germSources, &spacingSources, &maturitySources}) {
        for (const QString& key : *list) {
            if (!keys.contains(key))
                keys.append(key);
        }
    }
    return keys;
}

QString RefCrop::maturityText() const
{
    if (!maturityLow)
        return QStringLiteral("—");
    QString text = QString::number(*maturityLow);
    if (maturityHigh && *maturityHigh != *maturityLow)
        text += QStringLiteral("–") + QString::number(*maturityHigh);
    text += QStringLiteral(" days");
    if (maturityFrom == QLatin1String("transplant"))
        text += QStringLiteral(" from transplanting");
    else if (maturityFrom == QLatin1String("seed"))
        text += QStringLiteral(" from seeding");
    else
        text += QStringLiteral(" from planting (seed or transplant)");
    return text;
}

std::optional<OVDay> RefCrop::expectedHarvest(std::optional<OVDay> sow,
                                              std::optional<OVDay> transplant,
                                              const Calendar& calendar) const
{
    if (!maturityLow)
        return std::nullopt;
    const bool fromSeed = maturityFrom == QLatin1String("seed");
    const std::optional<OVDay> base =
        fromSeed ? (sow ? sow : transplant) : (transplant ? transplant : sow);
    if (!base)
        return std::nullopt;
    return base->adding(*maturityLow, calendar);
}
