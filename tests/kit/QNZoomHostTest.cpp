#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNZoom.h"
#include "kit/QNZoomHost.h"
#include "app/OVSetup.h"
#include "app/ScreenFactory.h"
#include "LookShot.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QSize mainMinimum(1180, 760);

// Stores and announces the factor; waits for the host's rebuild when one is due.
void setZoom(double z, QNZoomHost* host = nullptr)
{
    QSignalSpy rebuilt(host ? static_cast<QObject*>(host) : &KitEvents::shared(),
                       host ? SIGNAL(rebuilt()) : SIGNAL(zoomChanged()));
    const bool due = host && QNZoom::clamp(z) != host->zoom();
    QNZoom::setValue(z);
    emit KitEvents::shared().zoomChanged();
    if (due) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return rebuilt.count() > 0; }, 3000));
    }
    QTest::qWait(10);
}

// A zoom host at 1380 x 900 around a page, as the main window holds it.
struct HostedPage {
    int built = 0;
    QNZoomHost host{[this] {
                        ++built;
                        return ScreenFactory::placeholderScreen(Screen::today);
                    },
                    mainMinimum};
    HostedPage()
    {
        host.setAttribute(Qt::WA_DontShowOnScreen);
        host.resize(1380, 900);
        host.show();
        QApplication::processEvents();
    }
};

} // namespace

TEST(ZoomHost, LayoutRuleAndScrollBarsAt1380x900)
{
    OVSetup::configure();
    HostedPage page;
    EXPECT_EQ(page.host.zoom(), 1.0);
    EXPECT_FALSE(page.host.scrolls());
    EXPECT_EQ(page.host.content()->size(), QSize(1380, 900));

    setZoom(1.3, &page.host);
    EXPECT_EQ(page.host.zoom(), 1.3);
    EXPECT_EQ(KitMetrics::zoom(), 1.3);
    EXPECT_TRUE(page.host.scrolls());
    EXPECT_EQ(page.host.layoutSize(), QSizeF(1180, 760));
    EXPECT_EQ(page.host.content()->size(), QSize(1534, 988));
    EXPECT_TRUE(page.host.horizontalScrollBar()->isVisible());
    EXPECT_TRUE(page.host.verticalScrollBar()->isVisible());

    setZoom(0.85, &page.host);
    EXPECT_FALSE(page.host.scrolls());
    EXPECT_NEAR(page.host.layoutSize().width(), 1380 / 0.85, 1e-9);
    EXPECT_NEAR(page.host.layoutSize().height(), 900 / 0.85, 1e-9);
    EXPECT_EQ(page.host.content()->size(), QSize(1380, 900));
    EXPECT_FALSE(page.host.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(page.host.verticalScrollBar()->isVisible());
}

TEST(ZoomHost, OneExtraPixelKeepsScrollBarsHidden)
{
    QNZoomHost host([] { return new QWidget; }, QSize(1001, 601));
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.resize(1000, 600);
    host.show();
    QApplication::processEvents();
    EXPECT_FALSE(host.scrolls());
    host.resize(999, 600);
    QApplication::processEvents();
    EXPECT_TRUE(host.scrolls());
}

TEST(ZoomHost, ZoomChangeRebuildsOnceAndKeepsThePlaceInPoints)
{
    OVSetup::configure();
    HostedPage page;
    setZoom(1.5, &page.host);
    EXPECT_EQ(page.built, 2);
    page.host.horizontalScrollBar()->setValue(200);
    page.host.verticalScrollBar()->setValue(100);
    // Several announcements in one turn give one rebuild.
    QNZoom::setValue(1.75);
    emit KitEvents::shared().zoomChanged();
    emit KitEvents::shared().zoomChanged();
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.built == 3; }, 3000));
    QTest::qWait(10);
    EXPECT_EQ(page.built, 3);
    EXPECT_EQ(page.host.rebuildCount(), 2);
    // The same place of the page, now drawn 1.75 / 1.5 times larger.
    EXPECT_EQ(page.host.horizontalScrollBar()->value(), 233);
    EXPECT_EQ(page.host.verticalScrollBar()->value(), 117);
    // The same factor stored again (Zoom In at the top) changes nothing.
    setZoom(1.75);
    EXPECT_EQ(page.built, 3);
}

// The main window's layout at three zooms: the same layout, scaled. The grabs are kept
// in OV_LOOK_DIR, when set, for looking at.
TEST(ZoomHost, SameLayoutScaledAtThreeZooms)
{
    OVSetup::configure();
    QMap<double, QRect> titleAt;
    for (const double z : {0.85, 1.0, 1.5}) {
        QNZoom::setValue(z);
        OVThemeRoot root([] {
            return new QNZoomHost([] { return ScreenFactory::placeholderScreen(Screen::today); }, mainMinimum);
        });
        root.setAttribute(Qt::WA_DontShowOnScreen);
        root.resize(1380, 900);
        root.show();
        QApplication::processEvents();
        testsupport::keepLook(root.grab().toImage(), QString("zoom-%1.png").arg(int(z * 100)));
        QLabel* title = nullptr;
        for (QLabel* l : root.findChildren<QLabel*>())
            if (l->text() == "Today")
                title = l;
        ASSERT_NE(title, nullptr);
        titleAt[z] = QRect(title->mapTo(&root, QPoint(0, 0)), title->size());
    }
    // Positions and sizes scale with the zoom (within rounding of whole pixels per step).
    for (const double z : {0.85, 1.5}) {
        EXPECT_NEAR(titleAt[z].x(), titleAt[1.0].x() * z, 6) << z;
        EXPECT_NEAR(titleAt[z].y(), titleAt[1.0].y() * z, 6) << z;
        EXPECT_NEAR(titleAt[z].height(), titleAt[1.0].height() * z, 3) << z;
    }
}

// A resize never moves the view by itself, also while late layouts settle, and a
// burst of resizes updates the scroll bars once, after the burst.
TEST(ZoomHost, ResizingKeepsTheScrollPlace)
{
    OVSetup::configure();
    HostedPage page;
    setZoom(1.5, &page.host);
    page.host.horizontalScrollBar()->setValue(200);
    page.host.verticalScrollBar()->setValue(100);
    for (const int w : {1370, 1360, 1350, 1340})
        page.host.resize(w, 880);
    // Nothing decided yet: the bars follow once the burst is over.
    page.host.resize(2000, 1300);
    EXPECT_TRUE(page.host.scrolls());
    QApplication::processEvents();
    EXPECT_FALSE(page.host.scrolls()) << "1180 x 760 at 1.5 fits 2000 x 1300";
    page.host.resize(1340, 880);
    QApplication::processEvents();
    page.host.horizontalScrollBar()->setValue(200);
    page.host.verticalScrollBar()->setValue(100);
    page.host.resize(1330, 870);
    QTest::qWait(1800);
    EXPECT_EQ(page.host.horizontalScrollBar()->value(), 200);
    EXPECT_EQ(page.host.verticalScrollBar()->value(), 100);
    setZoom(1.0);
}
