#include "kit/QNMRAbout.h"

#include "records/OVInfo.h"


namespace QNMRAbout {
namespace {

QStringList& linesStorage()
{
    static QStringList lines;
    return lines;
}

} // namespace

const QStringList& extraLines() { return linesStorage(); }

void setExtraLines(const QStringList& lines) { linesStorage() = lines; }

QString version(const std::optional<QString>& shortVersion, const std::optional<QString>& build)
{
    const QString shortText =
        shortVersion && !shortVersion->isEmpty() ? *shortVersion : QStringLiteral("1.0");
    if (build && !build->isEmpty())
        return QStringLiteral("Version ") + shortText + QStringLiteral(" (") + *build +
               QLatin1Char(')');
    return QStringLiteral("Version ") + shortText;
}

QString version()
{
    // The build's own version is the one source; there is no separate build number.
    return version(OVInfo::version, std::nullopt);
}

QString copyrightLine(const QDate& today)
{
    return QStringLiteral("© ") + QString::number(today.year()) +
           QStringLiteral(" Quenmoor Softworks");
}

QString creditLine() { return OVInfo::creditLine; }

} // namespace QNMRAbout
