// Every screen of the rail side by side over the fifteen-year store (FifteenYears.h):
// the screen as the window makes it (ScreenFactory), inside the theme root at 1380 px
// on the offscreen platform, then a full rebuild of its list part with the layout and
// the old widgets' deletion, as a store change costs, in a 1380 x 900 window. One benchmark per screen, named
// after it, so one run gives the whole table. Goals: under 100 ms per rebuild, under
// 50 ms for the two schedule screens (Watering & Feeding, Maintenance). CPU time is
// reported next to wall time because other work may share the machine.

#include "app/ScreenFactory.h"
#include "kit/OVRebuilder.h"
#include "services/Screen.h"
#include "store/OVStore.h"
#include "support/FifteenYears.h"
#include "kit/OVRender.h"
#include "support/ScreenHarness.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

OVStore& benchStore()
{
    return FifteenYears::sharedScratchStore();
}

// Layout and deletion as the event loop would run them, at the window's own size.
// The screen sits in a plain 1380 x 900 window rather than the theme root: the
// harness's full-height layout paints a wood background as tall as fifteen years of
// rows, which the real window (its content scrolls) never does.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

void BM_ScreenRebuild(benchmark::State& state, Screen screen)
{
    benchStore();
    // As the program runs: content scrolls (snapshot mode would lay out full height).
    OVRender::snapshotMode = false;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScreenFactory::makeScreen(screen));
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.resize(1380, 900);
    window.show();
    QCoreApplication::processEvents();
    settle();
    state.counters["height"] = double(window.height());
    const QList<OVRebuilder*> rebuilders = window.findChildren<OVRebuilder*>();
    if (rebuilders.isEmpty()) {
        state.SkipWithError("the screen has no rebuilder");
        return;
    }
    for (auto _ : state) {
        for (OVRebuilder* rebuilder : rebuilders)
            rebuilder->rebuildNow();
        settle();
    }
    state.counters["rebuilders"] = double(rebuilders.size());
}

const bool registered = [] {
    for (const Screen screen : Screen::allCases()) {
        benchmark::RegisterBenchmark(("BM_ScreenRebuild/" + screen.title().toStdString()).c_str(),
                                     BM_ScreenRebuild, screen)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime()
            ->Iterations(5);
    }
    return true;
}();

} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
