// The job progress bar sits outside the content a zoom change rebuilds (the status
// bar, a sheet): it takes the new zoom itself.

#include "kit/JobProgressBar.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/QNChromeButton.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// The sizes the bar should have at the kit's zoom now.
void expectSizesAtCurrentZoom(const JobProgressBar& bar)
{
    const QLabel* label = bar.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), KitMetrics::font(12).pointSizeF());
    EXPECT_EQ(bar.bar()->width(), KitMetrics::px(220));
    EXPECT_DOUBLE_EQ(bar.cancelButton()->font().pointSizeF(), KitMetrics::font(11, QFont::Bold).pointSizeF());
    EXPECT_EQ(bar.layout()->spacing(), KitMetrics::px(10));
}

} // namespace

TEST(JobProgressBarZoom, FollowsAZoomChangeWhileShown)
{
    JobProgressBar bar;
    bar.show();
    settle();
    expectSizesAtCurrentZoom(bar);
    const int cancelWidth = bar.cancelButton()->sizeHint().width();

    for (const double zoom : {2.0, 0.85}) {
        SCOPED_TRACE(zoom);
        KitMetrics::setZoom(zoom);
        emit KitEvents::shared().zoomChanged();
        settle();
        expectSizesAtCurrentZoom(bar);
    }
    KitMetrics::setZoom(2.0);
    emit KitEvents::shared().zoomChanged();
    settle();
    EXPECT_GT(bar.cancelButton()->sizeHint().width(), cancelWidth * 3 / 2);
    KitMetrics::setZoom(1.0);
}
