#include "kit/KitEvents.h"
#include "kit/KitText.h"
#include "kit/QNMRAboutWindow.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRHelpWindow.h"
#include "kit/QNMRKitMenus.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "app/OVSetup.h"
#include "records/OVPrefs.h"
#include "services/Opener.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One line per item: title, shortcuts after a tab, "[x]"/"[ ]" for checkable items,
// "---" for separators, submenus indented.
QString dump(const QMenu* menu, int depth = 0)
{
    QString out;
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            out += indent + "---\n";
            continue;
        }
        QString line = indent + a->text();
        if (a->isCheckable())
            line += a->isChecked() ? " [x]" : " [ ]";
        QStringList keys;
        for (const QKeySequence& k : a->shortcuts())
            keys.append(k.toString(QKeySequence::PortableText));
        if (!keys.isEmpty())
            line += "\t" + keys.join(", ");
        out += line + "\n";
        if (a->menu())
            out += dump(a->menu(), depth + 1);
    }
    return out;
}

class KitMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        OVSetup::configure();
        QMenuBar* bar = window.menuBar();
        bar->addMenu("&File");
        view = bar->addMenu("&View");
        bar->addMenu("&Go");
        theme = bar->addMenu("&Theme");
        help = bar->addMenu("&Help");
        QNMRKitMenus::populateViewMenu(view);
        QNMRKitMenus::populateThemeMenu(theme);
        QNMRKitMenus::populateHelpMenu(help);
    }

    QAction* item(QMenu* menu, const QString& text)
    {
        for (QAction* a : menu->actions()) {
            if (a->text() == text)
                return a;
            if (a->menu())
                if (QAction* inner = item(a->menu(), text))
                    return inner;
        }
        return nullptr;
    }

    QMainWindow window;
    QMenu* view = nullptr;
    QMenu* theme = nullptr;
    QMenu* help = nullptr;
};

} // namespace

TEST_F(KitMenus, StructureOfViewThemeAndHelp)
{
    QStringList titles;
    for (QAction* a : window.menuBar()->actions())
        titles.append(a->text());
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Go", "&Theme", "&Help"}));

    EXPECT_EQ(dump(view), "Zoom In\tCtrl++, Ctrl+=\n"
                          "Zoom Out\tCtrl+-\n"
                          "Actual Size (100%)\tCtrl+0\n"
                          "Zoom Level\n"
                          "  85%\n  100%\n  115%\n  130%\n  150%\n  175%\n  200%\n"
                          "---\n");

    EXPECT_EQ(dump(theme), "Cobalt Gunmetal [ ]\n"
                           "Candy Red Titanium [ ]\n"
                           "Rose Gold [ ]\n"
                           "Lavender Pearl [ ]\n"
                           "Midnight Black [ ]\n"
                           "Brushed Gray [ ]\n"
                           "Redwood Grove [x]\n"
                           "Cedar Sunrise [ ]\n");

    QString expectedHelp = "QNMR Orvane Help\tF1\n---\n";
    for (const QNMRHelpTopic& t : QNMRHelp::allTopics())
        expectedHelp += KitText::literal(t.title) + "\n";
    expectedHelp += "---\nQuenmoor Softworks Website\n---\nAbout QNMR Orvane\n";
    EXPECT_EQ(dump(help), expectedHelp);
    // "&" in topic titles is shown, not taken as a mnemonic.
    EXPECT_NE(item(help, "Screen: Plants && Crops"), nullptr);

    for (QAction* a : view->actions()) {
        if (!a->shortcuts().isEmpty()) {
            EXPECT_EQ(a->shortcutContext(), Qt::ApplicationShortcut);
        }
    }
}

TEST_F(KitMenus, ThemeChecksFollowTheStoredIdAndPickingWritesOnlyThen)
{
    EXPECT_FALSE(OVPrefs::contains(QNMRThemes::key)); // showing the menu wrote nothing

    OVPrefs::setValue(QNMRThemes::key, "no-such-theme");
    emit theme->aboutToShow();
    for (QAction* a : theme->actions())
        EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    EXPECT_EQ(OVPrefs::stringValue(QNMRThemes::key), "no-such-theme");

    QSignalSpy changed(&KitEvents::shared(), &KitEvents::themeChanged);
    item(theme, "Midnight Black")->trigger();
    EXPECT_EQ(OVPrefs::stringValue(QNMRThemes::key), "midnight-black");
    EXPECT_EQ(changed.count(), 1);
    int checked = 0;
    for (QAction* a : theme->actions())
        checked += a->isChecked();
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(item(theme, "Midnight Black")->isChecked());
}

TEST_F(KitMenus, ZoomCommandsStepRoundAndBound)
{
    QSignalSpy changed(&KitEvents::shared(), &KitEvents::zoomChanged);
    QList<double> seen;
    for (int i = 0; i < 8; ++i) {
        item(view, "Zoom In")->trigger();
        seen.append(QNZoom::value());
    }
    EXPECT_EQ(seen, QList<double>({1.15, 1.3, 1.45, 1.6, 1.75, 1.9, 2.0, 2.0}));
    EXPECT_EQ(OVPrefs::doubleValue(QNZoom::key), 2.0);
    // The step past the top stores the same factor and announces nothing.
    EXPECT_EQ(changed.count(), 7);

    item(view, "Actual Size (100%)")->trigger();
    EXPECT_EQ(QNZoom::value(), 1.0);
    item(view, "Zoom Out")->trigger();
    EXPECT_EQ(QNZoom::value(), 0.85);
    item(view, "Zoom Out")->trigger();
    EXPECT_EQ(QNZoom::value(), 0.85);
    item(view, "115%")->trigger();
    EXPECT_EQ(OVPrefs::doubleValue(QNZoom::key), 1.15);
    item(view, "150%")->trigger();
    EXPECT_EQ(QNZoom::value(), 1.5);
}

TEST_F(KitMenus, ZoomShortcutsWorkFromAnyWindow)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    QApplication::setActiveWindow(&other);
    QTest::keyClick(&other, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(QNZoom::value(), 1.15);
    QTest::keyClick(&other, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(QNZoom::value(), 1.0);
}

TEST_F(KitMenus, F1OpensTheOneHelpWindowAndKeepsItsGeometry)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(QNMRHelpWindow::window(), nullptr);
    QTest::keyClick(&window, Qt::Key_F1);
    QWidget* helpWindow = QNMRHelpWindow::window();
    ASSERT_NE(helpWindow, nullptr);
    EXPECT_TRUE(helpWindow->isVisible());
    EXPECT_EQ(helpWindow->windowTitle(), "QNMR Orvane Help");
    EXPECT_EQ(helpWindow->size(), QSize(860, 600));
    EXPECT_FALSE(helpWindow->testAttribute(Qt::WA_QuitOnClose));

    helpWindow->resize(900, 640);
    helpWindow->close();
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(QNMRHelpWindow::window(), helpWindow);
    EXPECT_TRUE(helpWindow->isVisible());
    EXPECT_EQ(helpWindow->size(), QSize(900, 640));
    helpWindow->close();
}

TEST_F(KitMenus, TopicItemsOpenHelpThereAndWebsiteGoesThroughTheOpener)
{
    QList<std::optional<QString>> opened;
    QNMRHelp::setOpener([&](const std::optional<QString>& id) { opened.append(id); });
    item(help, "Themes and interface zoom")->trigger();
    item(help, "QNMR Orvane Help")->trigger();
    EXPECT_EQ(opened, (QList<std::optional<QString>>{QString("look"), std::nullopt}));

    QList<QUrl> urls;
    const Opener::Handler saved = Opener::open;
    Opener::open = [&](const QUrl& u) { urls.append(u); };
    item(help, "Quenmoor Softworks Website")->trigger();
    Opener::open = saved;
    EXPECT_EQ(urls, QList<QUrl>({QUrl("https://quenmoor.example/")}));

    item(help, "About QNMR Orvane")->trigger();
    ASSERT_NE(QNMRAboutWindow::window(), nullptr);
    EXPECT_TRUE(QNMRAboutWindow::window()->isVisible());
    QNMRAboutWindow::window()->close();
    QNMRHelp::setOpener({});
}
