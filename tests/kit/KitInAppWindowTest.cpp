// The kit's menus, zoom host and theme inside the application's real window.

#include "app/AppWindow.h"
#include "app/OVSetup.h"
#include "kit/KitEvents.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRKitMenus.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "kit/QNZoomHost.h"
#include "records/OVPrefs.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include "TestSupport.h"
#include "LookShot.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList titles(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions()) {
        QString line = a->isSeparator() ? QStringLiteral("---") : a->text();
        if (a->isCheckable())
            line += a->isChecked() ? " [x]" : " [ ]";
        if (!a->shortcuts().isEmpty()) {
            QStringList keys;
            for (const QKeySequence& k : a->shortcuts())
                keys.append(k.toString(QKeySequence::PortableText));
            line += "\t" + keys.join(", ");
        }
        out.append(line);
    }
    return out;
}

class KitInAppWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        OVSetup::configure();
        store = std::make_unique<OVStore>(scratch.file("g.sqlite"));
        SampleData::add(*store);
        OVStore::setShared(store.get());
    }
    void TearDown() override { OVStore::setShared(nullptr); }

    QMenu* menu(AppWindow& w, const QString& title)
    {
        for (QAction* a : w.menuBar()->actions())
            if (a->text() == title)
                return a->menu();
        return nullptr;
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
};

} // namespace

TEST_F(KitInAppWindow, MenuBarOrderAndKitMenus)
{
    AppWindow w;
    QStringList bar;
    for (QAction* a : w.menuBar()->actions())
        bar.append(a->text());
    EXPECT_EQ(bar, QStringList({"File", "View", "Go", "Theme", "Help"}));

    EXPECT_EQ(titles(menu(w, "View")), QStringList({"Zoom In\tCtrl++, Ctrl+=", "Zoom Out\tCtrl+-",
                                                    "Actual Size (100%)\tCtrl+0", "Zoom Level", "---"}));
    const QStringList theme = titles(menu(w, "Theme"));
    ASSERT_EQ(theme.size(), 8);
    EXPECT_EQ(theme.filter("[x]"), QStringList({"Redwood Grove [x]"}));
    const QStringList help = titles(menu(w, "Help"));
    EXPECT_EQ(help.first(), "QNMR Orvane Help\tF1");
    EXPECT_EQ(help.size(), 2 + QNMRHelp::allTopics().size() + 4);
    EXPECT_EQ(help.mid(help.size() - 4),
              QStringList({"---", "Quenmoor Softworks Website", "---", "About QNMR Orvane"}));
}

TEST_F(KitInAppWindow, ZoomScrollsAt130NotAt85AndScalesTheLayout)
{
    AppWindow w;
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QApplication::processEvents();
    auto* host = w.findChild<QNZoomHost*>();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->size(), QSize(1380, 900));

    for (const double z : {0.85, 1.0, 1.5}) {
        QNZoom::setValue(z);
        emit KitEvents::shared().zoomChanged();
        QApplication::processEvents();
        testsupport::keepLook(w.grab().toImage(), QString("main-zoom-%1.png").arg(int(z * 100)));
    }
    QNZoom::setValue(1.3);
    emit KitEvents::shared().zoomChanged();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.findChild<QNZoomHost*>()->horizontalScrollBar()->isVisible(); }, 3000));
    host = w.findChild<QNZoomHost*>();
    EXPECT_TRUE(host->scrolls());
    EXPECT_TRUE(host->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(host->verticalScrollBar()->isVisible());
    QNZoom::setValue(0.85);
    emit KitEvents::shared().zoomChanged();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.findChild<QNZoomHost*>()->horizontalScrollBar()->isVisible(); }, 3000));
    host = w.findChild<QNZoomHost*>();
    EXPECT_FALSE(host->scrolls());
    EXPECT_FALSE(host->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(host->verticalScrollBar()->isVisible());
}

TEST_F(KitInAppWindow, PickingMidnightBlackRepaintsTheMainWindow)
{
    AppWindow w;
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QApplication::processEvents();
    const QImage before = w.grab().toImage();
    for (QAction* a : menu(w, "Theme")->actions())
        if (a->text() == "Midnight Black")
            a->trigger();
    EXPECT_EQ(OVPrefs::stringValue(QNMRThemes::key), "midnight-black");
    QImage after;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (after = w.grab().toImage()) != before; }, 3000));
    testsupport::keepLook(after, "main-midnight.png");
}
