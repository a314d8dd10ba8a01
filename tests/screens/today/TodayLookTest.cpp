// Renders the Today screen as the snapshot mode does (1380 px wide, full height),
// empty and with the sample greenhouse, and checks that cards, rows and tiles are
// laid out whole and side by side. With OV_LOOK_DIR set, the renders are also
// written there as PNG files to look at.

#include "screens/today/TodayView.h"

#include "kit/OVCard.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNChromeButton.h"
#include "kit/TaskRow.h"
#include "screens/today/ClimateNowGrid.h"
#include "screens/today/ClimateNowTile.h"
#include "screens/today/StatTile.h"
#include "screens/today/WelcomeCard.h"

#include "TodayTestSupport.h"

#include "LookShot.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>

using namespace todaytest;

namespace {

class TodayLookTest : public TodayFixture {
protected:
    void SetUp() override
    {
        TodayFixture::SetUp();
        OVRender::snapshotMode = true;
    }
    void TearDown() override
    {
        OVRender::snapshotMode = false;
        TodayFixture::TearDown();
    }

    static QPixmap render(OVThemeRoot& root, int width, const QString& name)
    {
        return testsupport::lookShot(root, width, name);
    }

    static QRect inWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

    static bool inside(const QWidget* inner, const QWidget* outer) { return inWindow(outer).contains(inWindow(inner)); }

    static TodayView* view(OVThemeRoot& root) { return root.findChild<TodayView*>(); }
};

TEST_F(TodayLookTest, EmptyScreenShowsTheWholeWelcomeCard)
{
    OVThemeRoot root([] { return new TodayView; });
    render(root, 1380, QStringLiteral("today-empty.png"));
    TodayView* today = view(root);
    ASSERT_NE(today, nullptr);
    WelcomeCard* card = today->welcomeCard();
    ASSERT_NE(card, nullptr);
    const QList<QLabel*> steps = card->findChildren<QLabel*>(QStringLiteral("step"));
    ASSERT_EQ(steps.size(), 5);
    for (const QLabel* step : steps) {
        EXPECT_TRUE(inside(step, card));
        EXPECT_GE(step->height(), step->heightForWidth(step->width()));
    }
    EXPECT_TRUE(inside(card->guideButton(), card));
    // The tiles share one row below the card.
    for (const StatTile* tile : today->tiles()) {
        EXPECT_EQ(inWindow(tile).top(), inWindow(today->tiles().first()).top());
        EXPECT_GT(inWindow(tile).top(), inWindow(card).bottom());
    }
}

TEST_F(TodayLookTest, SampleScreenHasTwoEqualColumnsAndWholeTiles)
{
    addSample();
    OVThemeRoot root([] { return new TodayView; });
    render(root, 1380, QStringLiteral("today-sample.png"));
    TodayView* today = view(root);
    ASSERT_NE(today, nullptr);
    EXPECT_EQ(today->welcomeCard(), nullptr);
    ASSERT_FALSE(today->dueRows().isEmpty());
    const QWidget* dueCard = today->findChild<QWidget*>(QStringLiteral("dueCard"));
    const QWidget* climateCard = today->findChild<QWidget*>(QStringLiteral("climateCard"));
    ASSERT_NE(dueCard, nullptr);
    ASSERT_NE(climateCard, nullptr);
    EXPECT_EQ(inWindow(dueCard).top(), inWindow(climateCard).top());
    EXPECT_NEAR(dueCard->width(), climateCard->width(), 2);
    for (const TaskRow* row : today->dueRows())
        EXPECT_TRUE(inside(row, dueCard));
    const QList<ClimateNowTile*> tiles = today->climateGrid()->tiles();
    ASSERT_FALSE(tiles.isEmpty());
    for (const ClimateNowTile* tile : tiles) {
        EXPECT_TRUE(inside(tile, climateCard));
        EXPECT_GE(tile->width(), 190);
        for (const QLabel* line : tile->findChildren<QLabel*>(QStringLiteral("alertLine")))
            EXPECT_TRUE(inside(line, tile));
    }
    // A card's shadow (5 below, blurred by 10) is painted by the card's parent, inside
    // the parent: the lowest card must leave that room, or its shadow is cut off.
    const QList<OVCard*> cards = today->findChildren<OVCard*>();
    ASSERT_FALSE(cards.isEmpty());
    for (const OVCard* card : cards)
        EXPECT_GE(card->parentWidget()->height() - 1 - card->geometry().bottom(), 15)
            << card->objectName().toStdString();
}

} // namespace
