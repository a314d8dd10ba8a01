// Small looks of the kit: a segmented picker with no valid choice, page margins with
// and without a scroll bar, and the shadow a shrinking card leaves behind.

#include "TestSupport.h"
#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVPage.h"
#include "kit/OVScroll.h"
#include "kit/SegmentedPicker.h"
#include "records/OVPrefs.h"
#include "screens/settings/SettingsView.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Remembers every area it was asked to paint.
class PaintLog : public QWidget {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override { painted += event->region(); }
};

} // namespace

TEST(KitFidelity, SegmentedPickerWithoutAValidIndexChoosesNothing)
{
    SegmentedPicker picker({QStringLiteral("A"), QStringLiteral("B")});
    picker.setCurrentIndex(1);
    picker.setCurrentIndex(7);
    EXPECT_EQ(picker.currentIndex(), -1);
    picker.setCurrentIndex(-3);
    EXPECT_EQ(picker.currentIndex(), -1);
    // The keyboard still reaches a segment from there.
    QTest::keyClick(&picker, Qt::Key_Right);
    EXPECT_EQ(picker.currentIndex(), 0);

    // The settings' unit picker with a stray stored unit shows neither °F nor °C.
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("units.sqlite")));
    OVStore::setShared(&store);
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("K"));
    {
        SettingsView settings;
        EXPECT_EQ(settings.unitPicker()->currentIndex(), -1);
    }
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    {
        SettingsView settings;
        EXPECT_EQ(settings.unitPicker()->currentIndex(), 1);
    }
    OVPrefs::remove(OVPrefs::unitKey);
    OVStore::setShared(nullptr);
}

TEST(KitFidelity, PageMarginsStayWhenTheScrollBarShows)
{
    const auto rightGap = [](int contentHeight) {
        OVPage page(Screen::plants, QStringLiteral("Subtitle"));
        auto* block = new QWidget;
        block->setFixedHeight(contentHeight);
        page.content()->addWidget(block);
        page.setAttribute(Qt::WA_DontShowOnScreen);
        page.resize(900, 600);
        page.show();
        settle();
        const bool bar = page.scroll()->verticalScrollBar()->isVisible();
        const QRect at(block->mapTo(&page, QPoint(0, 0)), block->size());
        return std::make_pair(bar, std::make_pair(at.left(), page.width() - 1 - at.right()));
    };
    const auto [barShort, gapsShort] = rightGap(100);
    const auto [barTall, gapsTall] = rightGap(3000);
    ASSERT_FALSE(barShort);
    ASSERT_TRUE(barTall);
    EXPECT_EQ(gapsShort.first, KitMetrics::px(24));
    EXPECT_EQ(gapsShort.second, KitMetrics::px(24));
    EXPECT_EQ(gapsTall, gapsShort);
}

TEST(KitFidelity, ShrinkingCardRepaintsItsOldShadow)
{
    PaintLog parent;
    parent.setAttribute(Qt::WA_DontShowOnScreen);
    parent.resize(600, 600);
    auto* card = new OVCard;
    card->setParent(&parent);
    card->setGeometry(50, 50, 400, 400);
    parent.show();
    settle();
    QTest::qWait(20);
    parent.painted = QRegion();
    card->resize(400, 100);
    settle();
    QTest::qWait(20);
    // Just below where the bottom edge was: the old shadow's band.
    EXPECT_TRUE(parent.painted.contains(QPoint(250, 50 + 400 + KitMetrics::px(6))));
    EXPECT_TRUE(parent.painted.contains(QPoint(250, 50 + 400 + KitMetrics::px(12))));
}
