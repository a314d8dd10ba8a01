// Start to first painted window, each start a fresh process on the offscreen platform:
//   BM_BareWindow                 a Qt Widgets program showing an empty 1380 x 900 window
//   BM_FrameStart/empty           the application's window path (single-copy check, kit
//                                 set-up, store opening, main window) on an empty store
//   BM_FrameStart/fifteen_years   the same on the fifteen-year store (FifteenYears.h)
// Each frame iteration also starts the bare program, so the counter `vs_bare` (frame
// time over bare time, same run, same machine load) is the figure to compare with the
// goal of at most 2. With OV_BENCH_TRACE set, `StartupBench --frame` prints the time
// of each start-up step to stderr.

#include "app/AppWindow.h"
#include "app/OVSetup.h"
#include "app/ScreenFactory.h"
#include "app/SingleInstance.h"
#include "kit/QNMRHelpWindow.h"
#include "records/OVInfo.h"
#include "store/OVStore.h"
#include "support/FifteenYears.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Ends the event loop right after the first paint of any widget of `window`.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* window) : m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == m_window) {
                m_done = true;
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_done = false;
};

int runBare(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(1380, 900);
    FirstPaint watch(&window);
    app.installEventFilter(&watch);
    window.show();
    return app.exec();
}

// The steps of the program's interactive start, up to its first painted window.
int runFrame(int argc, char** argv)
{
    QElapsedTimer trace;
    trace.start();
    const bool tracing = qEnvironmentVariableIsSet("OV_BENCH_TRACE");
    const auto step = [&](const char* what) {
        if (tracing)
            std::fprintf(stderr, "%6.1f ms  %s\n", double(trace.nsecsElapsed()) / 1e6, what);
    };
    QApplication app(argc, argv);
    step("application");
    QCoreApplication::setOrganizationName(QStringLiteral("QNMR"));
    QCoreApplication::setApplicationName(QStringLiteral("QNMR Orvane"));
    SingleInstance instance(SingleInstance::serverName(OVInfo::databasePath()));
    if (instance.anotherCopyRuns())
        return 3;
    step("single-copy check");
    OVSetup::configure();
    QNMRHelpWindow::installOpener();
    ScreenFactory::installCommands();
    step("kit set-up");
    QString failure;
    const std::unique_ptr<OVStore> store = OVSetup::openStore(failure);
    if (!store)
        return 2;
    step("store");
    AppWindow window;
    step("window built");
    FirstPaint watch(&window);
    app.installEventFilter(&watch);
    window.show();
    step("shown");
    const int code = app.exec();
    step("painted");
    return code;
}

QString self;

// Milliseconds from starting the process to its exit after the first paint.
double timeStart(const QString& mode, const QProcessEnvironment& env)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(self, {mode});
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

QProcessEnvironment scratchEnvironment(const QTemporaryDir& dir, const QString& database)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(name), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("OV_DB_PATH"), database);
    return env;
}

void BM_BareWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    const QProcessEnvironment env = scratchEnvironment(dir, dir.filePath(QStringLiteral("unused.sqlite")));
    for (auto _ : state) {
        const double ms = timeStart(QStringLiteral("--bare"), env);
        if (ms < 0) {
            state.SkipWithError("the bare program failed");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}

void BM_FrameStart(benchmark::State& state)
{
    QTemporaryDir dir;
    QString database = dir.filePath(QStringLiteral("empty.sqlite"));
    if (state.range(0) == 1) {
        const QString copy = FifteenYears::scratchCopy(dir.path());
        database = copy;
    }
    const QProcessEnvironment env = scratchEnvironment(dir, database);
    timeStart(QStringLiteral("--frame"), env); // the empty store is created once, untimed
    double frameTotal = 0;
    double bareTotal = 0;
    for (auto _ : state) {
        const double frame = timeStart(QStringLiteral("--frame"), env);
        state.PauseTiming();
        const double bare = timeStart(QStringLiteral("--bare"), env);
        state.ResumeTiming();
        if (frame < 0 || bare < 0) {
            state.SkipWithError("a start failed");
            break;
        }
        frameTotal += frame;
        bareTotal += bare;
        state.SetIterationTime(frame / 1000.0);
    }
    if (bareTotal > 0) {
        state.counters["vs_bare"] = frameTotal / bareTotal;
        state.counters["bare_ms"] = bareTotal / double(state.iterations());
    }
    state.SetLabel(state.range(0) == 1 ? "fifteen years (1M readings, 2000 plants, 110 MB)" : "empty store");
}

} // namespace

BENCHMARK(BM_BareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FrameStart)->ArgName("fifteen_years")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0)
        return runBare(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--frame") == 0)
        return runFrame(argc, argv);
    QCoreApplication app(argc, argv);
    self = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
