#include "records/OVInfo.h"

#include <QDir>
#include <QStandardPaths>

namespace OVInfo {

QString dataFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = base + QLatin1Char('/') + appName;
    QDir().mkpath(folder);
    return folder;
}

QString databasePath()
{
    const QString fromEnv = qEnvironmentVariable("OV_DB_PATH");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return dataFolder() + QStringLiteral("/Greenhouse.sqlite");
}

QUrl databaseURL()
{
    return QUrl::fromLocalFile(databasePath());
}

} // namespace OVInfo
