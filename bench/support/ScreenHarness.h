#pragma once
// A screen as the window shows it, for benchmarks: inside the theme root, laid out
// 1380 px wide on the offscreen platform, full height as in snapshots. rebuildAndLayOut()
// times what a store change costs: the screen's rebuild, the old widgets going and
// the new layout.

#include "kit/OVRebuilder.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"

#include <QApplication>
#include <functional>
#include <memory>

template <typename View>
struct ScreenHarness {
    std::unique_ptr<OVThemeRoot> root;
    View* view = nullptr;

    explicit ScreenHarness(std::function<View*()> make)
    {
        OVRender::snapshotMode = true;
        root = std::make_unique<OVThemeRoot>([make] { return make(); });
        root->setAttribute(Qt::WA_DontShowOnScreen);
        root->resize(1380, 900);
        root->show();
        QApplication::processEvents();
        view = root->template findChild<View*>();
    }

    void settle()
    {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        root->adjustSize();
    }

    void rebuildAndLayOut()
    {
        view->rebuilder()->rebuildNow();
        settle();
    }
};

// main() of a widget benchmark: the offscreen platform unless one is chosen, a
// QApplication, then Google Benchmark.
int runWidgetBenchmarks(int argc, char** argv);
