#include "modes/OVMutation.h"

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
        qsizetype start = 0;
        qsizetype end = piece.size();
        // Blanks and tabs (Unicode space separators), never line breaks.
        auto blank = [](QChar c) {
            return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
        };
        while (start < end && blank(piece.at(start)))
            ++start;
        while (end > start && blank(piece.at(end - 1)))
            --end;
        names.insert(piece.mid(start, end - start));
    }
    return names;
}

} // namespace OVMutation
