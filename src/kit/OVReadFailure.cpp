#include "kit/OVReadFailure.h"

#include "kit/OVColors.h"

OVReadFailure::OVReadFailure(const QString& reason, QWidget* parent)
    : OVEmpty(QStringLiteral("exclamationmark.triangle.fill"), text(reason),
              QStringLiteral("Nothing is listed here until it can be read."), OVColors::warmLight(),
              parent)
{
    setObjectName(QStringLiteral("readFailure"));
}

QString OVReadFailure::text(const QString& reason)
{
    const QString shown = reason.trimmed().isEmpty() ? QStringLiteral("unknown reason") : reason.trimmed();
    return QStringLiteral("Could not read your data: ") + shown;
}

QString OVReadFailure::nothingDeleted(const QString& reason)
{
    // The question would have to say how much goes with it; it is not asked on a guess.
    QString said = text(reason);
    said[0] = said[0].toLower();
    return QStringLiteral("Nothing was deleted: ") + said + QLatin1Char('.');
}
