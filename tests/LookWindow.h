#pragma once
// The application's window at its smallest layout, for tests of what fits a narrow
// window: content laid out at 1180 x 760 points and drawn at a zoom, off screen, on
// the shared store. The zoom goes back to 1.0 when it closes. With OV_LOOK_DIR set,
// keep() saves a picture of the window there.

#include "LookShot.h"

#include "app/AppWindow.h"
#include "app/MainWindow.h"
#include "app/ScreenHost.h"
#include "kit/KitMetrics.h"
#include "kit/OVPage.h"
#include "kit/QNZoom.h"
#include "records/OVPrefs.h"
#include "services/AppModel.h"

#include <QApplication>
#include <QMenuBar>
#include <memory>

namespace testsupport {

class LookWindow {
public:
    LookWindow(Screen screen, double zoom)
    {
        QNZoom::setValue(zoom);
        AppModel::shared().setScreen(screen);
        window = std::make_unique<AppWindow>();
        window->setAttribute(Qt::WA_DontShowOnScreen);
        window->resize(qRound(1180 * zoom), qRound(760 * zoom) + window->menuBar()->sizeHint().height());
        window->show();
        settle();
    }
    ~LookWindow()
    {
        window.reset();
        settle();
        OVPrefs::remove(QNZoom::key);
        KitMetrics::setZoom(1.0);
    }

    OVPage* page() const { return window->mainWindow()->screenHost()->current()->findChild<OVPage*>(); }
    void keep(const QString& name) const { keepLook(window->grab().toImage(), name); }

    static void settle()
    {
        for (int i = 0; i < 4; ++i) {
            settleLook();
            QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
    }

    std::unique_ptr<AppWindow> window;
};

} // namespace testsupport
