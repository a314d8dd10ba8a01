#include "kit/KitText.h"

namespace KitText {

QString literal(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return out;
}

} // namespace KitText
