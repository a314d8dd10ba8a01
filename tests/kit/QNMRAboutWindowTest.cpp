#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/QNMRAboutWindow.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemes.h"
#include "app/OVSetup.h"
#include "services/Opener.h"
#include "LookShot.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList texts(QWidget* w)
{
    QStringList out;
    for (const QLabel* l : w->findChildren<QLabel*>())
        if (!l->text().isEmpty() && l->isVisibleTo(w))
            out.append(l->text());
    return out;
}

} // namespace

TEST(AboutWindow, FixedSizeTitleAndLines)
{
    OVSetup::configure();
    QNMRAboutWindow::show();
    QWidget* w = QNMRAboutWindow::window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "About QNMR Orvane");
    EXPECT_EQ(w->size(), QSize(440, 380));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_FALSE(w->testAttribute(Qt::WA_QuitOnClose));
    QApplication::processEvents();

    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_EQ(texts(w).join("|").toStdString(),
              (QStringList({"QNMR Orvane", "Version 1.0.0"}) + OVSetup::aboutLines() +
               QStringList({"by Quenmoor Softworks (QNMR)", "© " + year + " Quenmoor Softworks"}))
                  .join("|")
                  .toStdString());
    auto* link = w->findChild<QPushButton*>("makerLink");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), "quenmoor.example");
    QList<QUrl> opened;
    const Opener::Handler saved = Opener::open;
    Opener::open = [&](const QUrl& u) { opened.append(u); };
    QTest::mouseClick(link, Qt::LeftButton);
    Opener::open = saved;
    EXPECT_EQ(opened, QList<QUrl>({QUrl("https://quenmoor.example/")}));

    testsupport::keepLook(w->grab().toImage(), "about.png");

    // Shown again: the same window, retitled, with fresh content.
    QNMRKitHost::setAppName("Greenbook");
    QNMRAboutWindow::show();
    QApplication::processEvents();
    EXPECT_EQ(QNMRAboutWindow::window(), w);
    EXPECT_EQ(w->windowTitle(), "About Greenbook");
    EXPECT_TRUE(texts(w).contains("Greenbook"));
    EXPECT_FALSE(texts(w).contains("QNMR Orvane"));
    w->close();
}

TEST(AboutWindow, RepaintsInTheNewTheme)
{
    OVSetup::configure();
    QNMRAboutWindow::show();
    QWidget* w = QNMRAboutWindow::window();
    QApplication::processEvents();
    const QImage before = w->grab().toImage();
    QNMRThemes::setCurrentID("midnight-black");
    QImage after;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (after = w->grab().toImage()) != before; }, 3000));
    EXPECT_NE(before, after);
    testsupport::keepLook(after, "about-midnight.png");
    w->close();
}

// Kit sizes carry the interface zoom, so the fixed window grows with it.
TEST(AboutWindow, FollowsTheInterfaceZoom)
{
    OVSetup::configure();
    QNMRAboutWindow::show();
    QWidget* w = QNMRAboutWindow::window();
    KitMetrics::setZoom(1.5);
    emit KitEvents::shared().zoomChanged();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->size() == QSize(660, 570); }, 2000));
    const QLabel* name = nullptr;
    for (const QLabel* l : w->findChildren<QLabel*>())
        if (l->text() == "QNMR Orvane" && l->isVisibleTo(w))
            name = l;
    ASSERT_NE(name, nullptr);
    EXPECT_NEAR(QFontInfo(name->font()).pixelSize(), 36, 1);
    KitMetrics::setZoom(1.0);
    w->close();
}
