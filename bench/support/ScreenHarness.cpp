#include "support/ScreenHarness.h"

#include "services/OVNotify.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

int runWidgetBenchmarks(int argc, char** argv)
{
    // Settings and data written during a run stay in its scratch folder, and no
    // reminder reaches the desktop.
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/ov-bench-home-XXXXXX"));
    qputenv("XDG_CONFIG_HOME", scratch.path().toUtf8() + "/config");
    qputenv("XDG_DATA_HOME", scratch.path().toUtf8() + "/data");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    OVNotify::enabled = false;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
