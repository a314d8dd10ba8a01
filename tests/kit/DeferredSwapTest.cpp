// DeferredSwap: the new widget takes the old one's place at once; the old one is
// hidden at once and lives until the event loop's next turn (a click handler inside
// it may still be running).

#include "kit/DeferredSwap.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

TEST(DeferredSwap, NewWidgetTakesThePlaceAndTheOldOneGoesLater)
{
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    column->addWidget(new QLabel(QStringLiteral("search")));
    column->addWidget(new QLabel(QStringLiteral("footer")));

    QWidget* current = nullptr;
    auto* first = new QLabel(QStringLiteral("first"));
    DeferredSwap::replace(column, current, first, 1); // nothing yet: inserted at 1
    EXPECT_EQ(current, first);
    EXPECT_EQ(column->indexOf(first), 1);

    auto* second = new QLabel(QStringLiteral("second"));
    QPointer<QWidget> old = first;
    DeferredSwap::replace(column, current, second, 0); // the index only counts without one
    EXPECT_EQ(current, second);
    EXPECT_EQ(column->indexOf(second), 1);
    EXPECT_EQ(column->indexOf(first), -1);
    ASSERT_FALSE(old.isNull()) << "deleted while its handler may still run";
    EXPECT_TRUE(old->isHidden());

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(column->count(), 3);
}
