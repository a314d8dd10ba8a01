// A list that keeps its row widgets lays them out in the wanted order whatever the
// previous order was, and swaps remade rows in without disturbing the others.

#include "kit/LayoutSync.h"

#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QList<QWidget*> laidOut(QBoxLayout* layout)
{
    QList<QWidget*> out;
    for (int i = 0; i < layout->count(); ++i)
        out.append(layout->itemAt(i)->widget());
    return out;
}

} // namespace

TEST(LayoutSync, FollowsEveryChangeOfOrderAndSwapsRemadeRowsInPlace)
{
    QWidget list;
    auto* layout = new QVBoxLayout(&list);
    QList<QWidget*> current;
    auto* a = new QWidget(&list);
    auto* b = new QWidget(&list);
    auto* c = new QWidget(&list);
    LayoutSync::apply(layout, current, {a, b, c});
    EXPECT_EQ(laidOut(layout), (QList<QWidget*>{a, b, c}));

    // b remade: the new widget takes b's place and a keeps its layout item.
    QLayoutItem* aItem = layout->itemAt(0);
    auto* b2 = new QWidget(&list);
    LayoutSync::apply(layout, current, {a, b2, c});
    EXPECT_EQ(laidOut(layout), (QList<QWidget*>{a, b2, c}));
    EXPECT_EQ(layout->itemAt(0), aItem);
    EXPECT_EQ(current, (QList<QWidget*>{a, b2, c}));
    delete b;

    // Moved, added and removed rows.
    LayoutSync::apply(layout, current, {c, a, b2});
    EXPECT_EQ(laidOut(layout), (QList<QWidget*>{c, a, b2}));
    auto* d = new QWidget(&list);
    LayoutSync::apply(layout, current, {c, d, a, b2});
    EXPECT_EQ(laidOut(layout), (QList<QWidget*>{c, d, a, b2}));
    LayoutSync::apply(layout, current, {d, b2});
    EXPECT_EQ(laidOut(layout), (QList<QWidget*>{d, b2}));

    // A row deleted behind the list's back is noticed: the layout is refilled.
    delete d;
    LayoutSync::apply(layout, current, {b2});
    EXPECT_EQ(laidOut(layout), QList<QWidget*>{b2});
    LayoutSync::apply(layout, current, {});
    EXPECT_EQ(layout->count(), 0);
}
