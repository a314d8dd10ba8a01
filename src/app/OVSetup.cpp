#include "app/OVSetup.h"

#include "app/OVHelp.h"
#include "kit/OVThemeRoot.h"
#include "kit/OVThemes.h"
#include "kit/QNMRAbout.h"
#include "kit/QNMRKit.h"
#include "kit/QNMRThemes.h"
#include "records/OVInfo.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>

// Outside any namespace, as the resource system requires.
static void registerDesktopResources() { Q_INIT_RESOURCE(desktop); }

namespace OVSetup {

QStringList aboutLines()
{
    return {QStringLiteral("Greenhouse records, climate logs, schedules, harvests and costs."),
            QStringLiteral("Crop Library from university extension sources (checked ") +
                OVInfo::dataCheckedISO + QStringLiteral(").")};
}

void configure()
{
    // The default goes first, so nothing resolved during installation ever sees the
    // kit's own default theme.
    QNMRThemes::setDefaultID(OVThemes::groveID);
    QNMRKit::install(OVInfo::appName, OVHelp::topics(), OVThemes::extras());
    QNMRAbout::setExtraLines(aboutLines());
}

QIcon applicationIcon()
{
    registerDesktopResources();
    return QIcon(QStringLiteral(":/desktop/example.quenmoor.Orvane.svg"));
}

void styleApplication()
{
    QApplication::setWindowIcon(applicationIcon());
    OVThemeRoot::styleApplication();
}

QString fallbackName(const OVDay& today)
{
    return QStringLiteral("Greenhouse (opened ") + today.iso() + QStringLiteral(").sqlite");
}

QString fallbackNotice(const QString& error, const QString& path)
{
    return QStringLiteral("Your greenhouse database could not be opened (") + error +
           QStringLiteral("). It was left untouched at ") + path +
           QStringLiteral(". A new empty database was opened instead; restore a backup from Settings & Backup.");
}

QString failureMessage(const QString& error, const QString& path, const QString& fallbackError,
                       const QString& fallbackPath)
{
    return QStringLiteral("Your greenhouse database could not be opened (") + error +
           QStringLiteral("). It was left untouched at ") + path +
           QStringLiteral(". A new database could not be opened either at ") + fallbackPath + QStringLiteral(" (") +
           fallbackError + QStringLiteral("). QNMR Orvane cannot start.");
}

std::unique_ptr<OVStore> openStore(QString& failure, const OVDay& today)
{
    failure.clear();
    const QString path = OVInfo::databasePath();
    QString firstError;
    try {
        auto store = std::make_unique<OVStore>(OVInfo::databaseURL());
        OVStore::setShared(store.get());
        return store;
    } catch (const OVError& error) {
        firstError = error.errorDescription();
    }

    const QString fallback = QDir(OVInfo::dataFolder()).filePath(fallbackName(today));
    std::unique_ptr<OVStore> store;
    try {
        store = std::make_unique<OVStore>(QUrl::fromLocalFile(fallback));
    } catch (const OVError& error) {
        failure = failureMessage(firstError, path, error.errorDescription(), fallback);
        return nullptr;
    }
    OVStore::setShared(store.get());
    // Shown once the window observes the model, i.e. when the event loop runs.
    const QString notice = fallbackNotice(firstError, path);
    QTimer::singleShot(0, QCoreApplication::instance(), [notice] { AppModel::shared().setMessage(notice); });
    return store;
}

const QList<Screen>& goMenu()
{
    static const QList<Screen> screens{Screen::today,     Screen::greenhouses, Screen::plants,
                                       Screen::climate,   Screen::schedules,   Screen::maintenance,
                                       Screen::harvests,  Screen::reports,     Screen::library};
    return screens;
}

} // namespace OVSetup
