#include "screens/greenhouses/ZoneEditor.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"

#include "GreenhousesTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <cstring>

using namespace greenhousetest;

namespace {

class ZoneEditorTest : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        house = addGreenhouse(QStringLiteral("House"));
    }

    Zone stored(qint64 id) { return *store->get<Zone>(id); }

    // The raw column, so a value is compared bit for bit.
    std::optional<double> column(qint64 zoneID, const QString& name)
    {
        const QList<SQLRow> result =
            store->db().query(QStringLiteral("SELECT %1 AS v FROM zone WHERE id = ?").arg(name), {SQLValue(zoneID)});
        return result.isEmpty() ? std::nullopt : result.first().doubleValue(QStringLiteral("v"));
    }

    static bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    Greenhouse house;
};

TEST_F(ZoneEditorTest, ShowConvertsAndKeepsOneDecimal)
{
    EXPECT_EQ(ZoneEditor::show(Metric::temp, 50), QStringLiteral("50"));
    EXPECT_EQ(ZoneEditor::show(Metric::ph, 6.25), QStringLiteral("6.2")); // "%.1f", C rounding
    EXPECT_EQ(ZoneEditor::show(Metric::light, 1500), QStringLiteral("1500"));
    useCelsius(true);
    EXPECT_EQ(ZoneEditor::show(Metric::temp, 50), QStringLiteral("10"));
    EXPECT_EQ(ZoneEditor::show(Metric::soilTemp, 55), QStringLiteral("12.8"));
    EXPECT_EQ(ZoneEditor::show(Metric::humidity, 55), QStringLiteral("55"));
}

TEST_F(ZoneEditorTest, NewZoneOpensEmptyWithItsGreenhouseAndSavesNoRanges)
{
    addGreenhouse(QStringLiteral("Another"));
    AppModel::shared().setSheet(EditSheet(Zone{.greenhouseID = house.id}));
    ZoneEditor editor{Zone{.greenhouseID = house.id}, *OVStore::shared()};
    EXPECT_EQ(editor.frame()->findChild<QLabel*>(QStringLiteral("editorTitle"))->text(), QStringLiteral("New Zone"));
    EXPECT_EQ(editor.greenhousePicker()->currentText(), QStringLiteral("House"));
    for (const Metric m : Metric::allCases()) {
        EXPECT_TRUE(editor.lowBox(m)->text().isEmpty());
        EXPECT_TRUE(editor.highBox(m)->text().isEmpty());
    }
    editor.nameBox()->setText(QStringLiteral(" Bench area\n"));
    editor.save();
    EXPECT_FALSE(editor.frame()->error());
    EXPECT_FALSE(AppModel::shared().sheet());
    const QList<Zone> zones = store->zones(house.id);
    ASSERT_EQ(zones.size(), 1);
    EXPECT_EQ(zones.first().name, QStringLiteral("Bench area"));
    EXPECT_TRUE(zones.first().limits.empty());
}

TEST_F(ZoneEditorTest, CelsiusEntryIsStoredInFahrenheitAndShownBack)
{
    useCelsius(true);
    const Zone zone = addZone(house.id, QStringLiteral("Z"));
    ZoneEditor editor{zone, *OVStore::shared()};
    editor.lowBox(Metric::temp)->setText(QStringLiteral("10"));
    editor.save();
    ASSERT_FALSE(editor.frame()->error());
    EXPECT_EQ(column(zone.id, QStringLiteral("temp_f_min")), std::optional<double>(50));

    ZoneEditor again{stored(zone.id), *OVStore::shared()};
    EXPECT_EQ(again.lowBox(Metric::temp)->text(), QStringLiteral("10"));
    useCelsius(false);
    ZoneEditor fahrenheit{stored(zone.id), *OVStore::shared()};
    EXPECT_EQ(fahrenheit.lowBox(Metric::temp)->text(), QStringLiteral("50"));
}

// Boxes the user did not touch keep the stored value exactly, although they show
// it rounded to one decimal (and, for temperatures, converted).
TEST_F(ZoneEditorTest, UntouchedBoxesKeepTheStoredValuesBitForBit)
{
    const std::map<Metric, MetricRange> limits = {{Metric::temp, MetricRange(55, 89.96)},
                                                  {Metric::humidity, MetricRange(std::nullopt, 85.55)},
                                                  {Metric::soilTemp, MetricRange(50.123, std::nullopt)},
                                                  {Metric::ph, MetricRange(6.25, 6.85)},
                                                  {Metric::ec, MetricRange(0.1 + 0.2, 2.345)}};
    const Zone zone = addZone(house.id, QStringLiteral("Z"), limits);
    for (const bool celsius : {true, false}) {
        useCelsius(celsius);
        ZoneEditor editor{stored(zone.id), *OVStore::shared()};
        editor.nameBox()->setText(celsius ? QStringLiteral("Renamed") : QStringLiteral("Renamed again"));
        editor.save();
        ASSERT_FALSE(editor.frame()->error());
        const Zone after = stored(zone.id);
        EXPECT_EQ(after.name, editor.nameBox()->text());
        ASSERT_EQ(after.limits.size(), limits.size());
        for (const auto& [metric, range] : limits) {
            const MetricRange& saved = after.limits.at(metric);
            EXPECT_EQ(saved.min.has_value(), range.min.has_value()) << metric.name().toStdString();
            EXPECT_EQ(saved.max.has_value(), range.max.has_value()) << metric.name().toStdString();
            if (range.min) {
                EXPECT_TRUE(sameBits(*saved.min, *range.min)) << metric.name().toStdString();
            }
            if (range.max) {
                EXPECT_TRUE(sameBits(*saved.max, *range.max)) << metric.name().toStdString();
            }
        }
    }
}

TEST_F(ZoneEditorTest, FirstBadBoxInMetricOrderStopsTheSave)
{
    const Zone zone = addZone(house.id, QStringLiteral("Z"), {{Metric::temp, MetricRange(50, 80)}});
    ZoneEditor editor{zone, *OVStore::shared()};
    editor.lowBox(Metric::humidity)->setText(QStringLiteral("lots"));
    editor.highBox(Metric::temp)->setText(QStringLiteral("  warm\t"));
    editor.nameBox()->setText(QStringLiteral("Changed"));
    const qint64 revision = store->revision();
    editor.save();
    EXPECT_EQ(editor.frame()->error(),
              std::optional<QString>(QStringLiteral("Air temperature: “warm” is not a number.")));
    EXPECT_EQ(store->revision(), revision);
    EXPECT_EQ(stored(zone.id), zone);
    EXPECT_EQ(editor.highBox(Metric::temp)->text(), QStringLiteral("  warm\t")); // kept as typed

    editor.highBox(Metric::temp)->setText(QStringLiteral("80"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), std::optional<QString>(QStringLiteral("Humidity: “lots” is not a number.")));
}

TEST_F(ZoneEditorTest, BoxesDecideTheRangesExactly)
{
    const Zone zone = addZone(house.id, QStringLiteral("Z"),
                              {{Metric::temp, MetricRange(50, 80)},
                               {Metric::humidity, MetricRange(40, 90)},
                               {Metric::co2, MetricRange(400, 1500)}});
    ZoneEditor editor{zone, *OVStore::shared()};
    editor.lowBox(Metric::temp)->clear();
    editor.highBox(Metric::temp)->setText(QStringLiteral("   "));
    editor.highBox(Metric::humidity)->clear();
    editor.lowBox(Metric::soilMoisture)->setText(QStringLiteral("35%"));
    editor.highBox(Metric::soilMoisture)->setText(QStringLiteral("35"));
    editor.highBox(Metric::light)->setText(QStringLiteral("1,200"));
    editor.save();
    ASSERT_FALSE(editor.frame()->error());

    const std::map<Metric, MetricRange> expected = {{Metric::humidity, MetricRange(40, std::nullopt)},
                                                    {Metric::light, MetricRange(std::nullopt, 1200)},
                                                    {Metric::co2, MetricRange(400, 1500)},
                                                    {Metric::soilMoisture, MetricRange(35, 35)}};
    EXPECT_EQ(stored(zone.id).limits, expected);
}

TEST_F(ZoneEditorTest, StoreRefusalsKeepTheSheetAndWhatWasTyped)
{
    const Zone zone = addZone(house.id, QStringLiteral("Z"));
    AppModel::shared().setSheet(EditSheet(zone));
    ZoneEditor editor{zone, *OVStore::shared()};
    editor.lowBox(Metric::ph)->setText(QStringLiteral("7"));
    editor.highBox(Metric::ph)->setText(QStringLiteral("6"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(),
              std::optional<QString>(QStringLiteral("Soil / solution pH: the low alert value is higher than the high one.")));
    EXPECT_TRUE(AppModel::shared().sheet());
    EXPECT_EQ(editor.lowBox(Metric::ph)->text(), QStringLiteral("7"));
    EXPECT_TRUE(stored(zone.id).limits.empty());
}

TEST_F(ZoneEditorTest, AfterARefusedSaveARetypedOpeningLimitIsTheStoredOne)
{
    const Zone zone = addZone(house.id, QStringLiteral("Z"), {{Metric::temp, MetricRange(55.04, 89.96)}});
    ZoneEditor editor{zone, *OVStore::shared()};
    const QString opened = editor.highBox(Metric::temp)->text();
    editor.highBox(Metric::temp)->setText(QStringLiteral("20"));
    editor.nameBox()->clear();
    editor.save();
    ASSERT_TRUE(editor.frame()->error());
    editor.highBox(Metric::temp)->setText(opened);
    editor.nameBox()->setText(QStringLiteral("Z"));
    editor.save();
    ASSERT_FALSE(editor.frame()->error());
    EXPECT_EQ(stored(zone.id).limits.at(Metric::temp).max, std::optional<double>(89.96));
}

TEST_F(ZoneEditorTest, UnknownGreenhouseShowsNoChoiceUntilOneIsPicked)
{
    ZoneEditor editor{Zone{.greenhouseID = house.id + 50, .name = QStringLiteral("Z")}, *OVStore::shared()};
    EXPECT_EQ(editor.greenhousePicker()->currentIndex(), -1);
    editor.save();
    EXPECT_EQ(editor.frame()->error(),
              std::optional<QString>(QStringLiteral("Choose which greenhouse this zone is in.")));

    emit editor.greenhousePicker()->activated(0);
    editor.save();
    EXPECT_FALSE(editor.frame()->error());
    EXPECT_EQ(store->zones(house.id).size(), 1);
}

} // namespace
