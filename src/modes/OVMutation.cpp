#include "modes/OVMutation.h"

#include "records/SpaceTrim.h"

#include <QStringList>

namespace OVMutation {

QSet<QString>& active()
{
    static QSet<QString> names;
    return names;
}

bool on(const QString& name) { return active().contains(name); }

QSet<QString> parse(const QString& raw)
{
    QSet<QString> names;
    const QStringList pieces = raw.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        // Blanks and tabs (Unicode space separators), never line breaks.
        names.insert(SpaceTrim::trimmedString(piece));
    }
    return names;
}

} // namespace OVMutation
