// A list that keeps its row widgets lays them out in the wanted order whatever the
// previous order was, and swaps remade rows in without disturbing the others.

#include "kit/LayoutSync.h"

#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A shown list of fixed-height rows, the first of them hidden, laid out once.
struct RowList {
    QWidget list;
    QVBoxLayout* layout = new QVBoxLayout(&list);
    QList<QWidget*> rows;

    RowList(int count, QSize size)
    {
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (int i = 0; i < count; ++i) {
            auto* row = new QWidget(&list);
            row->setFixedHeight(20);
            layout->addWidget(row);
            rows.append(row);
        }
        layout->addStretch();
        rows[0]->hide();
        list.resize(size);
        list.show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
};

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

TEST(LayoutSync, RowsShownWhileHeldAreLaidOutWhenTheHoldEnds)
{
    RowList held(3, QSize(100, 100));
    QVBoxLayout* layout = held.layout;
    const QList<QWidget*>& rows = held.rows;
    EXPECT_EQ(rows[2]->y(), 20);

    {
        const LayoutSync::Hold hold(layout);
        rows[0]->show();
        rows[2]->hide();
        rows[2]->show();
    }
    EXPECT_TRUE(layout->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(rows[0]->y(), 0);
    EXPECT_EQ(rows[1]->y(), 20);
    EXPECT_EQ(rows[2]->y(), 40);

    // A layout switched off before stays off.
    layout->setEnabled(false);
    { const LayoutSync::Hold hold(layout); }
    EXPECT_FALSE(layout->isEnabled());
}

// The requests that showing and hiding post may be delivered while the layout is
// held (an event loop turning inside a rebuild): they find it switched off and are
// spent. The list must still be laid out once the hold ends, and not before.
TEST(LayoutSync, RequestsDeliveredDuringTheHoldStillEndInALayout)
{
    RowList held(4, QSize(160, 120));
    QVBoxLayout* layout = held.layout;
    const QList<QWidget*>& rows = held.rows;
    ASSERT_EQ(rows[1]->y(), 0);
    ASSERT_EQ(rows[3]->y(), 40);

    {
        const LayoutSync::Hold hold(layout);
        rows[0]->show();
        rows[2]->hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        // Held: nothing moved yet.
        EXPECT_EQ(rows[1]->y(), 0);
        EXPECT_EQ(rows[3]->y(), 40);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(rows[0]->y(), 0);
    EXPECT_EQ(rows[1]->y(), 20);
    EXPECT_EQ(rows[3]->y(), 40);
    EXPECT_EQ(rows[0]->width(), 160); // laid out, not the size a new widget starts with

    // Hiding alone, the other way round.
    {
        const LayoutSync::Hold hold(layout);
        rows[0]->hide();
        rows[1]->hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_EQ(rows[3]->y(), 40);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(rows[3]->y(), 0);
}
