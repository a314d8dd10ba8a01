#include "screens/greenhouses/SpotChip.h"
#include "screens/greenhouses/ZoneRow.h"

#include "kit/FlowLayout.h"
#include "kit/QNChromeButton.h"

#include "GreenhousesTestSupport.h"

#include <QTest>

using namespace greenhousetest;

namespace {

class ZoneRowTest : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        house = addGreenhouse(QStringLiteral("House"));
        zone = addZone(house.id, QStringLiteral("Propagation"));
    }

    void addReading(const QDateTime& taken, std::map<Metric, double> values)
    {
        Reading r;
        r.zoneID = zone.id;
        r.taken = taken;
        r.values = std::move(values);
        store->addReadings({r});
    }

    QStringList temperature()
    {
        ZoneRow row(zone, *store, AppModel::shared());
        return labelTexts(&row, QStringLiteral("zoneTemperature"));
    }

    Greenhouse house;
    Zone zone;
};

TEST_F(ZoneRowTest, LimitsTextKeepsMetricOrderAndEachMetricsFormat)
{
    Zone z;
    EXPECT_EQ(ZoneRow::limitsText(z),
              QStringLiteral("No alert ranges yet — choose “Alert Ranges & Edit” to set low / high values."));

    z.limits = {{Metric::humidity, MetricRange(std::nullopt, 85)}, {Metric::temp, MetricRange(45, 90)}};
    EXPECT_EQ(ZoneRow::limitsText(z), QStringLiteral("Alerts: Air 45°F to 90°F · RH — to 85%"));

    z.limits = {{Metric::ec, MetricRange(1.2, 2.5)},
                {Metric::ph, MetricRange(5.8, std::nullopt)},
                {Metric::light, MetricRange(1000, 60000)}};
    EXPECT_EQ(ZoneRow::limitsText(z),
              QStringLiteral("Alerts: Light 1000 lux to 60000 lux · pH 5.80 to — · EC 1.20 mS/cm to 2.50 mS/cm"));

    useCelsius(true);
    z.limits = {{Metric::temp, MetricRange(50, 95)}};
    EXPECT_EQ(ZoneRow::limitsText(z), QStringLiteral("Alerts: Air 10°C to 35°C"));
}

TEST_F(ZoneRowTest, ShowsOnlyTheNewestReadingsAirTemperature)
{
    EXPECT_TRUE(temperature().isEmpty());

    const QDateTime now = QDateTime::currentDateTimeUtc();
    addReading(now.addSecs(-7200), {{Metric::temp, 72.0}});
    EXPECT_EQ(temperature(), QStringList{QStringLiteral("· 72°F")});

    addReading(now.addSecs(-3600), {{Metric::temp, 72.3}});
    EXPECT_EQ(temperature(), QStringList{QStringLiteral("· 72.3°F")});
    useCelsius(true);
    EXPECT_EQ(temperature(), QStringList{QStringLiteral("· 22.4°C")});

    // A newer reading without air temperature hides it; no other metric stands in.
    addReading(now.addSecs(-60), {{Metric::humidity, 60}});
    EXPECT_TRUE(temperature().isEmpty());
}

TEST_F(ZoneRowTest, ChipsListBedsBeforeBenchesThenTheAddButtons)
{
    addSpot(zone.id, SpotKind::bench, QStringLiteral("A"), QStringLiteral("3 × 8 ft"));
    const Spot bed = addSpot(zone.id, SpotKind::bed, QStringLiteral("b2"));
    addSpot(zone.id, SpotKind::bed, QStringLiteral("B1"), QStringLiteral("4 × 10 ft"));
    ZoneRow row(zone, *store, AppModel::shared());

    QStringList items;
    for (int i = 0; i < row.chips()->count(); ++i) {
        QWidget* w = row.chips()->itemAt(i)->widget();
        if (auto* chip = qobject_cast<SpotChip*>(w))
            items << chip->title() + QStringLiteral(" [") + chip->toolTip() + QStringLiteral("]");
        else if (auto* button = qobject_cast<QNChromeButton*>(w))
            items << QStringLiteral("+") + button->title();
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("Bed B1 · 4 × 10 ft [Edit or delete this bed]"),
                                  QStringLiteral("Bed b2 [Edit or delete this bed]"),
                                  QStringLiteral("Bench A · 3 × 8 ft [Edit or delete this bench]"),
                                  QStringLiteral("+Bed"), QStringLiteral("+Bench")}));

    QTest::mouseClick(row.findChildren<SpotChip*>().at(1), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet());
    EXPECT_EQ(*AppModel::shared().sheet()->get<Spot>(), bed);

    QTest::mouseClick(row.addBenchButton(), Qt::LeftButton);
    EXPECT_EQ(*AppModel::shared().sheet()->get<Spot>(), (Spot{.zoneID = zone.id, .kind = SpotKind::bench}));
    QTest::mouseClick(row.addBedButton(), Qt::LeftButton);
    EXPECT_EQ(*AppModel::shared().sheet()->get<Spot>(), (Spot{.zoneID = zone.id, .kind = SpotKind::bed}));
}

TEST_F(ZoneRowTest, EditAndClimateButtonsSetTheAppModel)
{
    ZoneRow row(zone, *store, AppModel::shared());
    QTest::mouseClick(row.editButton(), Qt::LeftButton);
    EXPECT_EQ(*AppModel::shared().sheet()->get<Zone>(), zone);

    AppModel::shared().setClimateZoneID(zone.id + 100);
    QTest::mouseClick(row.climateButton(), Qt::LeftButton);
    EXPECT_EQ(AppModel::shared().climateZoneID(), std::optional<qint64>(zone.id));
    EXPECT_EQ(AppModel::shared().screen(), Screen::climate);
}

TEST_F(ZoneRowTest, DeleteCountsEveryReadingAndDeletesOnlyWhenConfirmed)
{
    addSpot(zone.id, SpotKind::bench, QStringLiteral("A"));
    addReadings(zone.id, 5200); // more than a reading list returns at once
    const Zone other = addZone(house.id, QStringLiteral("Other"));
    addReadings(other.id, 3);
    ZoneRow row(zone, *store, AppModel::shared());

    QTest::mouseClick(row.deleteButton(), Qt::LeftButton);
    const std::optional<ConfirmRequest>& ask = AppModel::shared().confirm();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->title, QStringLiteral("Delete zone “Propagation”?"));
    EXPECT_TRUE(ask->message.startsWith(
        QStringLiteral("This also deletes its beds and benches and 5200 climate reading(s).\n\n")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM zone")), 2);

    ask->action();
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM zone")), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM spot")), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM reading")), 3);
}

} // namespace
