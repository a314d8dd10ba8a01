// Today's figures and rows as the grower reads them: the harvested weight in C
// rounding, heavy figures, long names ending in "…", zone names in tool tips as text.

#include "TodayTestSupport.h"
#include "kit/OVLabel.h"
#include "screens/today/ClimateNowTile.h"
#include "screens/today/HarvestSoonRow.h"
#include "screens/today/ProblemRow.h"
#include "screens/today/StatTile.h"
#include "screens/today/TodayView.h"

#include <QApplication>
#include <QTextDocument>

namespace {

void settleToday()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

class TodayFidelityTest : public todaytest::TodayFixture {};

} // namespace

TEST_F(TodayFidelityTest, HarvestedWeightRoundsAsCDoesInAHeavyFigure)
{
    Harvest h;
    h.crop = QStringLiteral("Tomato");
    h.date = today;
    h.quantity = 0.25;
    store->save(h);
    TodayView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(1380, 900);
    view.show();
    settleToday();
    const StatTile* harvested = nullptr;
    for (const StatTile* tile : view.tiles())
        if (tile->title() == QStringLiteral("Harvested this year"))
            harvested = tile;
    ASSERT_TRUE(harvested);
    // 0.25 is exact in binary: "%.1f" rounds the half to even.
    EXPECT_EQ(harvested->value(), QStringLiteral("0.2 lb"));
    for (const StatTile* tile : view.tiles()) {
        const OVLabel* figure = nullptr;
        for (const OVLabel* label : tile->findChildren<OVLabel*>())
            if (label->text() == tile->value())
                figure = label;
        ASSERT_TRUE(figure) << tile->title().toStdString();
        EXPECT_EQ(figure->font().weight(), QFont::ExtraBold) << tile->title().toStdString();
    }
}

TEST_F(TodayFidelityTest, LongNamesEndInAnEllipsis)
{
    PestRecord pest;
    pest.problem = QStringLiteral("Aphids on the underside of every single leaf of the northern bench peppers");
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.variety = QStringLiteral("A very long variety name that cannot possibly fit a narrow row at all");
    const auto check = [](QWidget* row, const QString& name, const QString& full) {
        row->setAttribute(Qt::WA_DontShowOnScreen);
        row->resize(300, 40);
        row->show();
        settleToday();
        const auto* label = row->findChild<OVLabel*>(name);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), full);
        EXPECT_TRUE(label->shownText().endsWith(QChar(0x2026))) << label->shownText().toStdString();
        EXPECT_LT(label->fontMetrics().horizontalAdvance(label->shownText()), label->width() + 1);
        row->resize(1600, 40);
        settleToday();
        EXPECT_EQ(label->shownText(), full);
    };
    ProblemRow problem(pest, AppModel::shared());
    check(&problem, QStringLiteral("problem"), pest.problem);
    HarvestSoonRow harvest(plant, today, AppModel::shared());
    check(&harvest, QStringLiteral("name"), plant.displayName());
}

TEST_F(TodayFidelityTest, ZoneNameInTheToolTipIsText)
{
    Zone zone;
    zone.name = QStringLiteral("<b>x</b>");
    ClimateNowTile tile(zone, QStringLiteral("House · <b>x</b>"), std::nullopt);
    const auto* name = tile.findChild<OVLabel*>(QStringLiteral("zoneTitle"));
    ASSERT_TRUE(name);
    QTextDocument shown;
    if (Qt::mightBeRichText(name->toolTip()))
        shown.setHtml(name->toolTip());
    else
        shown.setPlainText(name->toolTip());
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("House · <b>x</b>"));
}
