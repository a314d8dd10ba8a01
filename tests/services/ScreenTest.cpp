#include "services/Screen.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(ScreenRaw, ExactCaseSensitiveMatch)
{
    EXPECT_EQ(Screen::fromRaw("Today"), std::nullopt);
    EXPECT_EQ(Screen::fromRaw(""), std::nullopt);
    EXPECT_EQ(Screen::fromRaw("setting"), std::nullopt);
    for (const Screen s : Screen::allCases())
        EXPECT_EQ(Screen::fromRaw(s.rawValue()), s);
}

TEST(ScreenTable, OrderAndDistinctTitles)
{
    ASSERT_EQ(Screen::allCases().size(), 14);
    EXPECT_EQ(Screen(Screen::schedules).title(), "Watering & Feeding");
    QSet<QString> titles;
    for (const Screen s : Screen::allCases())
        titles.insert(s.title());
    EXPECT_EQ(titles.size(), 14);
}

TEST(ScreenGroups, CoverEveryScreenOnceInOrder)
{
    QList<Screen> joined;
    for (const ScreenGroup& g : Screen::groups())
        joined += g.screens;
    EXPECT_EQ(joined, Screen::allCases());

    const QList<ScreenGroup>& groups = Screen::groups();
    ASSERT_EQ(groups.size(), 5);
    EXPECT_EQ(groups[3].id(), "Learnlibraryvideos");
    EXPECT_EQ(groups[4].name, "");
    EXPECT_EQ(groups[4].id(), "settings");
    EXPECT_EQ(ScreenGroup({"", {}}).id(), "");
}
