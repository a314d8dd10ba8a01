#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemes.h"
#include "kit/QNUI.h"
#include "records/OVPrefs.h"

#include <gtest/gtest.h>

TEST(QNMRKitHostName, FirstNameFallsBackInOrder)
{
    EXPECT_EQ(QNMRKitHost::initialAppName(QString("Shown"), QString("plain")), "Shown");
    EXPECT_EQ(QNMRKitHost::initialAppName(std::nullopt, QString("plain")), "plain");
    EXPECT_EQ(QNMRKitHost::initialAppName(QString(""), QString("plain")), "plain");
    EXPECT_EQ(QNMRKitHost::initialAppName(std::nullopt, std::nullopt), "QNMR App");
}

TEST(QNMRKitHostTheme, DefaultSourceFollowsTheStoredTheme)
{
    OVPrefs::remove(QNMRThemes::key);
    QNMRThemes::setCurrentID("midnight-black");
    EXPECT_EQ(QNMRKitHost::theme()().bg, QNMRThemes::named("midnight-black").kitTheme().bg);
    EXPECT_EQ(QNUI::shared().theme().text, QNMRThemes::named("midnight-black").kitTheme().text);
    QNMRThemes::setCurrentID("brushed-gray");
    EXPECT_EQ(QNUI::shared().theme().bg, QNMRThemes::named("brushed-gray").kitTheme().bg);
    EXPECT_NE(QNMRThemes::named("brushed-gray").kitTheme().bg, QNMRThemes::named("midnight-black").kitTheme().bg);
    OVPrefs::remove(QNMRThemes::key);
}

TEST(QNMRKitHostTheme, ReplaceableAndNeverEmpty)
{
    QNKitTheme fixed;
    fixed.bg = Qt::red;
    QNMRKitHost::setTheme([fixed] { return fixed; });
    EXPECT_EQ(QNUI::shared().theme().bg, QColor(Qt::red));
    QNMRKitHost::setTheme({}); // an empty source puts the default back
    ASSERT_TRUE(bool(QNMRKitHost::theme()));
    EXPECT_EQ(QNMRKitHost::theme()().bg, QNMRThemes::current().kitTheme().bg);
}
