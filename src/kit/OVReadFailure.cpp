#include "kit/OVReadFailure.h"

OVReadFailure::OVReadFailure(const QString& reason, QWidget* parent)
    : OVEmpty(QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("Could not read your data"),
              text(reason), parent)
{
    setObjectName(QStringLiteral("readFailure"));
}

QString OVReadFailure::text(const QString& reason)
{
    const QString shown = reason.trimmed().isEmpty() ? QStringLiteral("unknown reason") : reason.trimmed();
    return QStringLiteral("could not read your data: ") + shown;
}

QString OVReadFailure::nothingDeleted(const QString& reason)
{
    // The question would have to say how much goes with it; it is not asked on a guess.
    return QStringLiteral("Nothing was deleted: ") + text(reason) + QLatin1Char('.');
}
