// The climate-now grid: its hint, tile order, values, alert colouring and lines.

#include "screens/today/ClimateNowGrid.h"
#include "screens/today/ClimateNowTile.h"

#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "records/OVPrefs.h"

#include "TodayTestSupport.h"

#include <QLabel>

using namespace todaytest;

namespace {

class ClimateNowGridTest : public TodayFixture {
protected:
    Reading addReading(qint64 zoneID, std::map<Metric, double> values)
    {
        Reading reading;
        reading.zoneID = zoneID;
        reading.taken = now.addSecs(-3600);
        reading.values = std::move(values);
        store->save(reading);
        return reading;
    }

    static QStringList texts(const ClimateNowTile& tile)
    {
        QStringList out;
        for (const OVLabel* label : tile.valueLabels())
            out.append(label->text());
        return out;
    }
};

TEST_F(ClimateNowGridTest, NoZonesShowsOnlyTheHint)
{
    addGreenhouse(QStringLiteral("Empty"));
    ClimateNowGrid grid;
    EXPECT_TRUE(grid.showsHint());
    EXPECT_TRUE(grid.tiles().isEmpty());
    const QList<QLabel*> labels = grid.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.first()->text(), QStringLiteral("Add a zone to a greenhouse to start logging its climate."));
}

TEST_F(ClimateNowGridTest, TilesFollowGreenhouseThenZoneNameAndNameTheirHouse)
{
    const Greenhouse first = addGreenhouse(QStringLiteral("North"));
    const Greenhouse second = addGreenhouse(QStringLiteral("A-frame"));
    addZone(second.id, QStringLiteral("Aisle"));
    addZone(first.id, QStringLiteral("Cold frame"));
    addZone(first.id, QStringLiteral("bench"));
    ClimateNowGrid grid;
    QStringList titles;
    for (const ClimateNowTile* tile : grid.tiles())
        titles.append(tile->title());
    EXPECT_EQ(titles, (QStringList{"North · bench", "North · Cold frame", "A-frame · Aisle"}));

    // A zone without readings: its name and the note, no alert, no highlight.
    const ClimateNowTile* tile = grid.tiles().first();
    EXPECT_FALSE(tile->highlight());
    EXPECT_TRUE(tile->alertLines().isEmpty());
    EXPECT_NE(tile->findChild<QLabel*>(QStringLiteral("noReadings")), nullptr);
}

TEST_F(ClimateNowGridTest, OutOfRangeValuesAreColouredAndListed)
{
    const Greenhouse house = addGreenhouse(QStringLiteral("House"));
    const Zone zone = addZone(house.id, QStringLiteral("Bay"),
                              {{Metric::temp, MetricRange(50, 90)}, {Metric::humidity, MetricRange(40, 80)}});
    addReading(zone.id, {{Metric::temp, 72}, {Metric::humidity, 85}, {Metric::soilMoisture, 30}});
    ClimateNowGrid grid;
    ASSERT_EQ(grid.tiles().size(), 1);
    const ClimateNowTile* tile = grid.tiles().first();
    EXPECT_EQ(texts(*tile), (QStringList{"72°F", "85%", Metric(Metric::soilMoisture).format(30)}));
    EXPECT_EQ(tile->alerting(), (QList<bool>{false, true, false}));
    EXPECT_TRUE(tile->highlight());
    ASSERT_EQ(tile->alertLines().size(), 1);
    EXPECT_TRUE(tile->alertLines().first().contains(QStringLiteral(" is above your high alert of ")));
}

TEST_F(ClimateNowGridTest, LimitValuesAreInRangeAndUnshownMetricsStillAlert)
{
    const Greenhouse house = addGreenhouse(QStringLiteral("House"));
    const Zone exact = addZone(house.id, QStringLiteral("A exact"), {{Metric::temp, MetricRange(50, 90)}});
    addReading(exact.id, {{Metric::temp, 90}});
    const Zone light = addZone(house.id, QStringLiteral("B light"), {{Metric::light, MetricRange(100, 2000)}});
    addReading(light.id, {{Metric::light, 50}});
    ClimateNowGrid grid;
    ASSERT_EQ(grid.tiles().size(), 2);
    EXPECT_FALSE(grid.tiles()[0]->highlight());
    EXPECT_EQ(grid.tiles()[0]->alerting(), (QList<bool>{false}));
    EXPECT_TRUE(grid.tiles()[1]->valueLabels().isEmpty());
    EXPECT_TRUE(grid.tiles()[1]->highlight());
    ASSERT_EQ(grid.tiles()[1]->alertLines().size(), 1);
    EXPECT_NE(grid.tiles()[1]->findChild<QLabel*>(QStringLiteral("taken")), nullptr);
}

TEST_F(ClimateNowGridTest, CelsiusShowsConvertedValues)
{
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    const Greenhouse house = addGreenhouse(QStringLiteral("House"));
    const Zone zone = addZone(house.id, QStringLiteral("Bay"), {{Metric::temp, MetricRange(50, 90)}});
    addReading(zone.id, {{Metric::temp, 95}});
    ClimateNowGrid grid;
    const ClimateNowTile* tile = grid.tiles().first();
    OVPrefs::remove(OVPrefs::unitKey);
    EXPECT_EQ(texts(*tile), (QStringList{"35°C"}));
    ASSERT_EQ(tile->alertLines().size(), 1);
    EXPECT_TRUE(tile->alertLines().first().contains(QStringLiteral("35°C")));
    EXPECT_TRUE(tile->alertLines().first().contains(QStringLiteral("32.2°C")));
}

} // namespace
