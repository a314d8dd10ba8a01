// Long pages in the real window frame: the body of a page scrolls inside the page,
// the side rail and the page header stay where they are, a picked screen opens at its
// top, and the zoom host scrolls only when the window is too small for the zoomed
// content. The store holds more rows than any window shows.

#include "AppModelReset.h"
#include "TestSupport.h"
#include "app/AppWindow.h"
#include "app/MainWindow.h"
#include "app/RailButton.h"
#include "app/ScreenHost.h"
#include "app/SideRail.h"
#include "kit/KitMetrics.h"
#include "kit/OVHeader.h"
#include "kit/OVPage.h"
#include "kit/OVScroll.h"
#include "kit/QNZoom.h"
#include "kit/QNZoomHost.h"
#include "records/OVPrefs.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

void settle()
{
    for (int i = 0; i < 4; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

class PageScrollTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OVPrefs::remove(QNZoom::key);
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("long.sqlite")));
        for (int i = 0; i < 60; ++i) {
            Plant plant{.crop = QStringLiteral("Bean %1").arg(i, 3, 10, QLatin1Char('0')),
                        .status = PlantStatus::growing};
            store->save(plant);
        }
        for (int i = 0; i < 30; ++i) {
            OVTask task{.kind = TaskKind::maintenance, .title = QStringLiteral("Check vent %1").arg(i)};
            store->save(task);
        }
        OVStore::setShared(store.get());
        AppModel& model = AppModel::shared();
        model.setScreen(Screen::plants);
        testsupport::closeSheetAndAlerts(model);
    }

    void TearDown() override
    {
        window.reset();
        settle();
        OVStore::setShared(nullptr);
        OVPrefs::remove(QNZoom::key);
        KitMetrics::setZoom(1.0);
    }

    void open(QSize size)
    {
        window = std::make_unique<AppWindow>();
        window->resize(size);
        window->show();
        QApplication::setActiveWindow(window.get());
        settle();
    }

    OVPage* page() const { return window->mainWindow()->screenHost()->current()->findChild<OVPage*>(); }
    QScrollBar* pageBar() const { return page()->scroll()->verticalScrollBar(); }
    QPoint inWindow(const QWidget* w) const { return w->mapTo(window.get(), QPoint()); }

    // Turns the wheel `notches` clicks down over the middle of the page's visible body,
    // delivered as the window system does: to the widget under the pointer, passed on
    // to its parents while none takes it.
    void wheel(int notches)
    {
        OVScroll* scroll = page()->scroll();
        const QRect seen = scroll->visibleRegion().boundingRect();
        ASSERT_FALSE(seen.isEmpty());
        const QPoint at = scroll->mapTo(window.get(), seen.center());
        QWidget* target = window->childAt(at);
        ASSERT_NE(target, nullptr);
        ASSERT_TRUE(scroll->isAncestorOf(target));
        for (int i = 0; i < notches; ++i) {
            const QPoint local = target->mapFrom(window.get(), at);
            QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            // sendEvent() would clear the mark; notify() passes an unused wheel upwards.
            QSpontaneKeyEvent::setSpontaneous(&event);
            qApp->notify(target, &event);
        }
        settle();
    }

    QAction* goAction(const QString& title) const
    {
        for (QAction* bar : window->menuBar()->actions())
            if (bar->text() == QStringLiteral("Go"))
                for (QAction* a : bar->menu()->actions())
                    if (a->text() == title)
                        return a;
        return nullptr;
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
    std::unique_ptr<AppWindow> window;
};

} // namespace

TEST_F(PageScrollTest, WheelScrollsOnlyThePageAndPickedScreensOpenAtTheirTop)
{
    open(QSize(1380, 900));
    QNZoomHost* host = window->zoomHost();
    // Large enough for the minimum: the content is exactly the window's size.
    EXPECT_FALSE(host->scrolls());
    EXPECT_EQ(host->content()->size(), host->viewport()->size());
    EXPECT_EQ(host->verticalScrollBar()->maximum(), 0);

    ASSERT_NE(page(), nullptr);
    EXPECT_GT(pageBar()->maximum(), 0) << "the page is no longer than the window";
    EXPECT_TRUE(pageBar()->isVisible());
    EXPECT_LE(inWindow(page()->scroll()).y() + page()->scroll()->height(), window->height());

    SideRail* rail = window->mainWindow()->rail();
    const QPoint railAt = inWindow(rail);
    const QPoint headerAt = inWindow(page()->header());
    wheel(3);
    EXPECT_GT(pageBar()->value(), 0);
    EXPECT_EQ(host->verticalScrollBar()->value(), 0);
    EXPECT_EQ(inWindow(rail), railAt);
    EXPECT_EQ(inWindow(page()->header()), headerAt);

    // Picked from the rail: Maintenance opens at its top, header where Plants had it.
    RailButton* maintenance = nullptr;
    for (RailButton* b : rail->buttons())
        if (b->screen() == Screen::maintenance)
            maintenance = b;
    ASSERT_NE(maintenance, nullptr);
    QTest::mouseClick(maintenance, Qt::LeftButton);
    settle();
    ASSERT_EQ(AppModel::shared().screen(), Screen::maintenance);
    EXPECT_GT(pageBar()->maximum(), 0);
    EXPECT_EQ(pageBar()->value(), 0);
    EXPECT_EQ(inWindow(page()->header()), headerAt);

    // Picked from the Go menu after scrolling Maintenance down.
    wheel(3);
    EXPECT_GT(pageBar()->value(), 0);
    EXPECT_EQ(inWindow(rail), railAt);
    QAction* plants = goAction(QStringLiteral("Plants && Crops"));
    ASSERT_NE(plants, nullptr);
    plants->trigger();
    settle();
    ASSERT_EQ(AppModel::shared().screen(), Screen::plants);
    EXPECT_EQ(pageBar()->value(), 0);
    EXPECT_EQ(inWindow(page()->header()), headerAt);
    EXPECT_EQ(inWindow(rail), railAt);
}

TEST_F(PageScrollTest, AtTwiceTheSizeASmallWindowScrollsBothWaysAndThePageInside)
{
    QNZoom::setValue(2.0);
    open(QSize(1280, 800));
    QNZoomHost* host = window->zoomHost();
    ASSERT_DOUBLE_EQ(host->zoom(), 2.0);
    EXPECT_TRUE(host->scrolls());
    // Laid out at the minimum: 1180 x 760 points at twice the size.
    EXPECT_EQ(host->content()->size(), QSize(2360, 1520));
    EXPECT_GT(host->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(host->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(host->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(host->verticalScrollBar()->isVisible());

    // The page still ends inside the zoomed content and scrolls by itself.
    EXPECT_LE(page()->scroll()->mapTo(host->content(), QPoint()).y() + page()->scroll()->height(), 1520);
    EXPECT_GT(pageBar()->maximum(), 0);
    wheel(2);
    EXPECT_GT(pageBar()->value(), 0);
    EXPECT_EQ(host->verticalScrollBar()->value(), 0);

    // With the window scrolled down, a screen picked from the Go menu still shows its top.
    host->verticalScrollBar()->setValue(host->verticalScrollBar()->maximum());
    host->horizontalScrollBar()->setValue(40);
    QAction* maintenance = goAction(QStringLiteral("Maintenance"));
    ASSERT_NE(maintenance, nullptr);
    maintenance->trigger();
    settle();
    ASSERT_EQ(AppModel::shared().screen(), Screen::maintenance);
    EXPECT_EQ(host->verticalScrollBar()->value(), 0);
    EXPECT_EQ(host->horizontalScrollBar()->value(), 40);
    EXPECT_EQ(pageBar()->value(), 0);
    EXPECT_GT(pageBar()->maximum(), 0);
}
