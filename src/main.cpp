// Entry point: command-line modes run headless and exit with their code; otherwise
// the interactive application starts.

#include "app/DisplayCheck.h"
#include "app/StartupDispatch.h"
#include "modes/OVSelfTest.h"
#include "modes/SelfTestChild.h"

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>

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
    case StartupDispatch::Mode::SelfTest:
        return OVSelfTest::run();
    default:
        break;
    }

    std::fputs("QNMR Orvane: the main window is not part of this build yet; run with --selftest.\n",
               stderr);
    return 1;
}
