// AdaptiveGridLayout: equal columns as the width allows, and a grid that follows
// items added or taken while it is shown.

#include "kit/AdaptiveGridLayout.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QWidget* box(int height)
{
    auto* b = new QWidget;
    b->setFixedHeight(height);
    return b;
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST(AdaptiveGridLayout, SharesTheWidthAmongEqualColumns)
{
    QWidget host;
    auto* grid = new AdaptiveGridLayout(200, 10, &host);
    QWidget* a = box(40);
    QWidget* b = box(60);
    QWidget* c = box(30);
    grid->addWidget(a);
    grid->addWidget(b);
    grid->addWidget(c);
    EXPECT_EQ(grid->columnsFor(409), 1);
    EXPECT_EQ(grid->columnsFor(410), 2);
    EXPECT_EQ(grid->columnsFor(10), 1);

    // Two columns of (431 - 10) / 2 = 210; a row is as tall as its tallest item.
    EXPECT_EQ(grid->heightForWidth(431), 60 + 10 + 30);
    grid->setGeometry(QRect(0, 0, 431, 100));
    EXPECT_EQ(a->geometry(), QRect(0, 10, 210, 40)); // centred in its row
    EXPECT_EQ(b->geometry(), QRect(220, 0, 210, 60));
    EXPECT_EQ(c->geometry(), QRect(0, 70, 210, 30));
    EXPECT_EQ(grid->heightForWidth(300), 40 + 10 + 60 + 10 + 30);
}

// Items added to or taken from a shown grid are laid out again without anything
// else asking for it.
TEST(AdaptiveGridLayout, FollowsItemsAddedAndTakenWhileShown)
{
    QWidget host;
    host.setAttribute(Qt::WA_DontShowOnScreen);
    auto* grid = new AdaptiveGridLayout(200, 10, &host);
    QWidget* a = box(40);
    QWidget* b = box(40);
    grid->addWidget(a);
    grid->addWidget(b);
    host.resize(410, 300);
    host.show();
    settle();
    ASSERT_EQ(b->geometry(), QRect(210, 0, 200, 40));
    // Taking the widget from the grid without hiding it: only the grid knows.

    QWidget* c = box(40);
    grid->addWidget(c);
    settle();
    EXPECT_EQ(c->geometry(), QRect(0, 50, 200, 40));

    delete grid->takeAt(0); // `a` stays a child, no longer laid out
    settle();
    EXPECT_EQ(b->geometry(), QRect(0, 0, 200, 40));
    EXPECT_EQ(c->geometry(), QRect(210, 0, 200, 40));

    // Back in the grid, still shown: nothing but the grid can say it moved.
    grid->addWidget(a);
    settle();
    EXPECT_EQ(a->geometry(), QRect(0, 50, 200, 40));
}
