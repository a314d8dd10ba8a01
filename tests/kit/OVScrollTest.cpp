// The page scroller: full height in snapshot mode, vertical scrolling otherwise; the
// columns of pages and sheets give wrapping text the height it needs at their width.

#include "kit/OVEditorFrame.h"
#include "kit/OVLabel.h"
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

// A page or sheet narrower than its text's natural width: the text wraps onto more
// lines than in its size hint and still gets their height, with the room to spare
// below it, in a short page and in a long one that scrolls.
TEST(OVScroll, PageAndSheetColumnsGiveWrappingTextItsHeightAtTheirWidth)
{
    const QString words = QStringLiteral("Adds a greenhouse with zones, plants, readings, schedules, harvests and "
                                         "costs so you can try every screen. ")
                              .repeated(3);
    const auto check = [](QWidget& root, QSize size) {
        root.setAttribute(Qt::WA_DontShowOnScreen);
        root.resize(size);
        root.show();
        QApplication::processEvents();
        QApplication::processEvents();
        for (const auto* label : root.findChildren<OVLabel*>(QStringLiteral("long"))) {
            ASSERT_GT(label->width(), 0);
            EXPECT_LT(label->width(), label->sizeHint().width());
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->width() << " px wide";
        }
    };
    for (int blockHeight : {0, 3000}) {
        SCOPED_TRACE(blockHeight);
        OVThemeRoot page([&words, blockHeight] {
            auto* p = new OVPage(Screen::settings, QStringLiteral("Subtitle"));
            auto* label = new OVLabel(words);
            label->setObjectName(QStringLiteral("long"));
            label->setWrapping(true);
            p->content()->addWidget(label);
            auto* block = new QWidget;
            block->setFixedHeight(blockHeight);
            p->content()->addWidget(block);
            return p;
        });
        check(page, QSize(360, 900));

        OVEditorFrame frame(QStringLiteral("Edit"), QStringLiteral("leaf.fill"), 300);
        auto* label = new OVLabel(words);
        label->setObjectName(QStringLiteral("long"));
        label->setWrapping(true);
        frame.body()->addWidget(label);
        auto* block = new QWidget;
        block->setFixedHeight(blockHeight);
        frame.body()->addWidget(block);
        check(frame, QSize(300, 700));
    }
}
