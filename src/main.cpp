// Entry point: command-line modes run headless and exit with their code; otherwise
// the interactive application starts.

#include "app/StartupDispatch.h"
#include "modes/OVSelfTest.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const StartupDispatch dispatch = StartupDispatch::decide(arguments);

    if (dispatch.isCommandLineMode() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QNMR"));
    QApplication::setApplicationName(QStringLiteral("QNMR Orvane"));

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
