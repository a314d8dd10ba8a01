// The page scroller: full height in snapshot mode, vertical scrolling otherwise.

#include "kit/OVPage.h"
#include "kit/OVRender.h"
#include "kit/OVScroll.h"
#include "kit/OVThemeRoot.h"

#include <QApplication>
#include <QScrollBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

QWidget* tallPage()
{
    auto* page = new OVPage(Screen::plants, QStringLiteral("Subtitle"));
    auto* block = new QWidget;
    block->setObjectName(QStringLiteral("block"));
    block->setFixedHeight(3000);
    page->content()->addWidget(block);
    return page;
}

// Lays the root out at this width and the height it asks for, as the snapshot does.
QImage grabAtWidth(QWidget& root, int width)
{
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(width, 900);
    root.show();
    QApplication::processEvents();
    int height = root.sizeHint().height();
    if (root.layout()->hasHeightForWidth())
        height = std::max(height, root.layout()->totalHeightForWidth(width));
    root.resize(width, std::max(height, root.minimumSizeHint().height()));
    QApplication::processEvents();
    return root.grab().toImage();
}

} // namespace

TEST(OVScroll, SnapshotModeLaysTheWholePageOut)
{
    OVRender::snapshotMode = true;
    {
        OVThemeRoot root(tallPage);
        const QImage image = grabAtWidth(root, 1380);
        auto* block = root.findChild<QWidget*>(QStringLiteral("block"));
        auto* scroll = root.findChild<OVScroll*>();
        EXPECT_EQ(image.width(), 1380);
        EXPECT_GE(image.height(), 3000 + 24);
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(block->height(), 3000);
        // The block's bottom edge lies inside the grab.
        EXPECT_LE(block->mapTo(&root, QPoint(0, block->height())).y(), image.height());
    }
    OVRender::snapshotMode = false;
}

TEST(OVScroll, ScrollsVerticallyOnlyOtherwise)
{
    OVThemeRoot root(tallPage);
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(1380, 900);
    root.show();
    QApplication::processEvents();
    auto* scroll = root.findChild<OVScroll*>();
    EXPECT_EQ(root.height(), 900);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 2000);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}
