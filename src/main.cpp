// Entry point: command-line modes run headless and exit with their code; otherwise
// the interactive application starts.

#include "app/AppWindow.h"
#include "app/DisplayCheck.h"
#include "app/OVDelegate.h"
#include "app/OVSetup.h"
#include "app/ScreenFactory.h"
#include "app/SingleInstance.h"
#include "app/StartupDispatch.h"
#include "kit/QNMRHelpWindow.h"
#include "kit/QtFilePanels.h"
#include "modes/OVSelfTest.h"
#include "modes/OVSnapshot.h"
#include "modes/SelfTestChild.h"
#include "records/OVInfo.h"
#include "services/BackgroundJobs.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// The interactive start: one copy per database, kit and store, then the window.
int runWindow()
{
    // Before the store opens, so a second copy writes nothing (it only asks the first
    // copy to come to the front).
    SingleInstance instance(SingleInstance::serverName(OVInfo::databasePath()));
    if (instance.anotherCopyRuns())
        return 0;

    // A single copy runs now, so temporary files of ours that a killed backup or
    // restore left in the data folder belong to nobody.
    OVStore::removeStaleTemporaryFiles(QFileInfo(OVInfo::databasePath()).absolutePath());

    OVSetup::configure();
    OVSetup::styleApplication();
    QtFilePanels::install();
    QNMRHelpWindow::installOpener();
    ScreenFactory::installCommands();

    QString failure;
    const std::unique_ptr<OVStore> store = OVSetup::openStore(failure);
    if (!store) {
        std::fprintf(stderr, "%s\n", failure.toLocal8Bit().constData());
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
            QMessageBox box(QMessageBox::Critical, OVInfo::appName, failure, QMessageBox::Ok);
            box.setTextFormat(Qt::PlainText);
            box.exec();
        }
        return 1;
    }

    AppWindow window;
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, &AppWindow::bringToFront);
    window.show();

    // The launch work waits for a running event loop.
    OVDelegate delegate(store.get());
    QTimer::singleShot(0, &delegate, &OVDelegate::launch);
    const int code = QApplication::exec();
    // Whatever still runs ends before the store and the window go (an export or
    // import is cancelled, a backup or restore finished).
    BackgroundJobs::shared().stopAll();
    return code;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const StartupDispatch dispatch = StartupDispatch::decide(arguments);

    if (dispatch.isCommandLineMode() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    const auto nameApplication = [] {
        QCoreApplication::setOrganizationName(QStringLiteral("QNMR"));
        QCoreApplication::setApplicationName(QStringLiteral("QNMR Orvane"));
        // Matches the installed menu entry, so the desktop shows its name and icon.
        QGuiApplication::setDesktopFileName(QStringLiteral("example.quenmoor.Orvane"));
    };

    // A child of the self-check only opens its store, prints and ends: no widgets, no
    // window, none of the launch work of a normal start.
    if (dispatch.mode == StartupDispatch::Mode::ChildWrite || dispatch.mode == StartupDispatch::Mode::ChildRead) {
        QGuiApplication app(argc, argv);
        nameApplication();
        return OVSelfTest::handleChild(arguments).value_or(1);
    }

    if (!dispatch.isCommandLineMode()) {
        if (const auto missing = DisplayCheck::missingDisplayMessage(QProcessEnvironment::systemEnvironment(),
                                                                     arguments)) {
            std::fprintf(stderr, "%s\n", missing->toLocal8Bit().constData());
            return 1;
        }
    }

    QApplication app(argc, argv);
    nameApplication();

    switch (dispatch.mode) {
    case StartupDispatch::Mode::Snapshot:
        return OVSnapshot::handle(arguments).value_or(1);
    case StartupDispatch::Mode::SelfTest:
        return OVSelfTest::run();
    default:
        break;
    }
    return runWindow();
}
