#include "screens/climate/ClimateView.h"

#include "kit/QNChromeButton.h"
#include "screens/climate/ClimateChart.h"
#include "screens/climate/ReadingRow.h"
#include "kit/SegmentedPicker.h"
#include "services/FilePanels.h"

#include "JobTestSupport.h"
#include "ClimateTestSupport.h"

#include <QComboBox>
#include <QTest>

using climatetest::ClimateFixture;

namespace {

class ClimateViewTest : public ClimateFixture {
protected:
    std::unique_ptr<ClimateView> makeView()
    {
        auto view = std::make_unique<ClimateView>();
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(1380, 900);
        view->show();
        settle();
        return view;
    }
};

} // namespace

TEST_F(ClimateViewTest, WithoutZonesOnlyTheEmptyCardAndTheHeaderButtonsOpenSheetsWithoutAZone)
{
    auto view = makeView();
    EXPECT_TRUE(view->showsNoZones());
    EXPECT_EQ(view->chart(), nullptr);
    EXPECT_TRUE(view->rows().isEmpty());

    QTest::mouseClick(view->addButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet());
    ASSERT_NE(AppModel::shared().sheet()->get<Reading>(), nullptr);
    EXPECT_EQ(AppModel::shared().sheet()->get<Reading>()->zoneID, 0);
    EXPECT_EQ(AppModel::shared().sheet()->get<Reading>()->id, 0);

    QTest::mouseClick(view->importButton(), Qt::LeftButton);
    ASSERT_NE(AppModel::shared().sheet()->get<EditSheet::ImportCSV>(), nullptr);
    EXPECT_FALSE(AppModel::shared().sheet()->get<EditSheet::ImportCSV>()->zoneID);
}

TEST_F(ClimateViewTest, StaleZoneShowsTheFirstZoneWithoutWritingItBackAndPickingSetsTheModel)
{
    addSample();
    const Zone main = zoneNamed(QStringLiteral("Main House"));
    const Zone propagation = zoneNamed(QStringLiteral("Propagation"));
    AppModel::shared().setClimateZoneID(987654);
    auto view = makeView();
    EXPECT_EQ(view->selectedZoneID(), main.id);
    EXPECT_EQ(AppModel::shared().climateZoneID(), 987654);
    EXPECT_EQ(view->zonePicker()->currentText(), QStringLiteral("Sample Greenhouse · Main House"));
    EXPECT_FALSE(view->rows().isEmpty());

    view->zonePicker()->activated(1);
    settle();
    EXPECT_EQ(AppModel::shared().climateZoneID(), propagation.id);
    EXPECT_EQ(view->selectedZoneID(), propagation.id);

    QTest::mouseClick(view->addButton(), Qt::LeftButton);
    EXPECT_EQ(AppModel::shared().sheet()->get<Reading>()->zoneID, propagation.id);
    QTest::mouseClick(view->alertRangesButton(), Qt::LeftButton);
    ASSERT_NE(AppModel::shared().sheet()->get<Zone>(), nullptr);
    EXPECT_EQ(AppModel::shared().sheet()->get<Zone>()->id, propagation.id);
}

TEST_F(ClimateViewTest, ListShowsTheNewest60AndTheNoteNamesTheRealCount)
{
    const Zone a = addZone(QStringLiteral("House"), QStringLiteral("Sixty"));
    const Zone b = addZone(QStringLiteral("House 2"), QStringLiteral("SixtyOne"));
    addReadings(a.id, 60);
    addReadings(b.id, 61);
    AppModel::shared().setClimateZoneID(a.id);
    auto view = makeView();
    EXPECT_EQ(view->rows().size(), 60);
    EXPECT_TRUE(view->noteText().isEmpty());

    AppModel::shared().setClimateZoneID(b.id);
    settle();
    ASSERT_EQ(view->rows().size(), 60);
    EXPECT_EQ(view->noteText(), QStringLiteral("Showing the newest 60 of 61. Export CSV to see them all."));
    // Newest first: the oldest of the 61 is the one left out.
    const QList<Reading> all = store->readings(b.id);
    EXPECT_EQ(view->rows().first()->reading().id, all.first().id);
    EXPECT_EQ(view->rows().last()->reading().id, all[59].id);

    // The metric changes only the chart; the period changes the title.
    view->metricPicker()->activated(1);
    view->setMetric(Metric::humidity);
    settle();
    EXPECT_EQ(view->rows().size(), 60);
    EXPECT_EQ(view->noteText(), QStringLiteral("Showing the newest 60 of 61. Export CSV to see them all."));
    EXPECT_EQ(view->chartCardTitle(), QStringLiteral("Humidity — last 7 days"));
    view->periodPicker()->activated(3);
    settle();
    EXPECT_EQ(view->days(), 0);
    EXPECT_EQ(view->chartCardTitle(), QStringLiteral("Humidity — all readings"));
}

TEST_F(ClimateViewTest, AllWithMoreThanTheChartCapCountsEveryReading)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Busy"));
    addReadings(zone.id, 7000);
    auto view = makeView();
    view->setDays(0);
    settle();
    EXPECT_EQ(view->noteText(), QStringLiteral("Showing the newest 60 of 7000. Export CSV to see them all."));
    ASSERT_NE(view->chart(), nullptr);
    EXPECT_EQ(view->chart()->pointCount(), 5000);
}

TEST_F(ClimateViewTest, PeriodStartsExactlyDaysTimesADayAgoAndStoreChangesRedraw)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Edge"));
    auto view = makeView();
    EXPECT_TRUE(view->showsNoReadings());
    EXPECT_EQ(view->chart()->pointCount(), 0);

    // Readings a little inside and a little outside the 7-day window.
    Reading inside;
    inside.zoneID = zone.id;
    inside.taken = QDateTime::currentDateTimeUtc().addSecs(-7 * 86400 + 120);
    inside.values = {{Metric::temp, 70}};
    Reading outside = inside;
    outside.taken = QDateTime::currentDateTimeUtc().addSecs(-7 * 86400 - 120);
    store->addReadings({inside, outside});
    settle();
    EXPECT_FALSE(view->showsNoReadings());
    EXPECT_EQ(view->rows().size(), 1);
    EXPECT_EQ(store->readingCount(zone.id), 2);
}

TEST(ReadingRowLook, AlertingValuesAreHeavyAndHighlightTheRowOnlyBeyondTheLimits)
{
    Zone zone;
    zone.limits = {{Metric::temp, MetricRange(60, 85)}, {Metric::co2, MetricRange(300, std::nullopt)}};
    Reading onLimit;
    onLimit.values = {{Metric::temp, 85}, {Metric::humidity, 40}, {Metric::co2, 300}};
    ReadingRow plain(onLimit, zone, AppModel::shared());
    EXPECT_FALSE(plain.highlight());
    EXPECT_FALSE(plain.hasCSVTag());

    Reading hot = onLimit;
    hot.values[Metric::temp] = 85.5;
    hot.source = QStringLiteral("csv");
    ReadingRow row(hot, zone, AppModel::shared());
    EXPECT_TRUE(row.highlight());
    EXPECT_TRUE(row.hasCSVTag());
    ASSERT_EQ(row.valueLabels().size(), 3);
    EXPECT_TRUE(row.alerting(0));
    EXPECT_FALSE(row.alerting(1));
    EXPECT_FALSE(row.alerting(2));

    Reading csvish = onLimit;
    csvish.source = QStringLiteral("CSV ");
    EXPECT_FALSE(ReadingRow(csvish, zone, AppModel::shared()).hasCSVTag());

    QTest::mouseClick(row.editButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet());
    EXPECT_EQ(*AppModel::shared().sheet()->get<Reading>(), hot);
    AppModel::shared().setSheet(std::nullopt);
}

TEST_F(ClimateViewTest, ExportWritesEveryReadingOfEveryZone)
{
    const Zone a = addZone(QStringLiteral("House"), QStringLiteral("A"));
    const Zone b = addZone(QStringLiteral("House 2"), QStringLiteral("B"));
    addReadings(a.id, 3);
    addReadings(b.id, 2, QDateTime::currentDateTimeUtc().addDays(-400)); // outside every short period
    const FilePanels::Backend saved = FilePanels::backend();
    const QString target = dir.file(QStringLiteral("out.csv"));
    QString suggested;
    FilePanels::backend().save = [&](const QString& name, const QList<FileType>&) {
        suggested = name;
        return std::optional<QString>(target);
    };
    FilePanels::backend().reveal = [](const QString&) {};
    auto view = makeView();
    QTest::mouseClick(view->exportButton(), Qt::LeftButton);
    testsupport::finishJobs();
    FilePanels::backend() = saved;
    EXPECT_EQ(suggested, QStringLiteral("Climate readings.csv"));
    const QList<QByteArray> lines = testsupport::readAll(target).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines.first().startsWith("timestamp,zone,greenhouse"));
    EXPECT_FALSE(AppModel::shared().message());
}
