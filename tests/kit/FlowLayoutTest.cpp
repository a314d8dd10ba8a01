// FlowLayout wraps strictly at the width and measures 600 wide unless told otherwise.

#include "kit/FlowLayout.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

QWidget* box(int w, int h)
{
    auto* b = new QWidget;
    b->setFixedSize(w, h);
    return b;
}

} // namespace

TEST(FlowLayout, WrapsStrictlyAtTheWidth)
{
    QWidget host;
    auto* flow = new FlowLayout(&host, 10, 6);
    QWidget* a = box(100, 20);
    QWidget* b = box(100, 30);
    QWidget* c = box(100, 20);
    flow->addWidget(a);
    flow->addWidget(b);
    flow->addWidget(c);

    // 100 + 10 + 100 = 210 fits exactly; the third wraps.
    EXPECT_EQ(flow->heightForWidth(210), 30 + 6 + 20);
    flow->setGeometry(QRect(0, 0, 210, 56));
    EXPECT_EQ(a->geometry(), QRect(0, 0, 100, 20));
    EXPECT_EQ(b->geometry(), QRect(110, 0, 100, 30));
    EXPECT_EQ(c->geometry(), QRect(0, 36, 100, 20));
    // One pixel less and the second wraps too.
    EXPECT_EQ(flow->heightForWidth(209), 20 + 6 + 30 + 6 + 20);
    // Everything on one line when wide enough.
    EXPECT_EQ(flow->heightForWidth(320), 30);
}

TEST(FlowLayout, PutsAnOversizedItemAloneAndMeasures600Wide)
{
    QWidget host;
    auto* flow = new FlowLayout(&host, 8, 8);
    QWidget* small = box(50, 10);
    QWidget* wide = box(400, 10);
    QWidget* after = box(50, 10);
    flow->addWidget(small);
    flow->addWidget(wide);
    flow->addWidget(after);
    flow->setGeometry(QRect(0, 0, 300, 100));
    EXPECT_EQ(small->y(), 0);
    EXPECT_EQ(wide->pos(), QPoint(0, 18));
    EXPECT_EQ(after->pos(), QPoint(0, 36));

    EXPECT_EQ(flow->sizeHint().width(), 600);
    EXPECT_EQ(flow->sizeHint().height(), flow->heightForWidth(600));
    flow->setPreferredWidth(320);
    EXPECT_EQ(flow->sizeHint().width(), 320);
}

// Heights measured before an item is added or taken are not given again after.
TEST(FlowLayout, ForgetsMeasuredHeightsWhenItemsChange)
{
    QWidget host;
    auto* flow = new FlowLayout(&host, 10, 6);
    flow->addWidget(box(100, 20));
    flow->addWidget(box(100, 20));
    EXPECT_EQ(flow->heightForWidth(210), 20);
    flow->addWidget(box(100, 30));
    EXPECT_EQ(flow->heightForWidth(210), 20 + 6 + 30);
    delete flow->takeAt(2);
    EXPECT_EQ(flow->heightForWidth(210), 20);
}
