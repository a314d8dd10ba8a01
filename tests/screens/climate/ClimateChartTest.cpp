#include "screens/climate/ClimateChart.h"

#include "ClimateTestSupport.h"
#include "records/Calendar.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QChart>
#include <QLabel>
#include <QLocale>
#include <QValueAxis>

using climatetest::ClimateFixture;

namespace {

Reading at(const QDateTime& t, std::map<Metric, double> values)
{
    Reading r;
    r.taken = t;
    r.values = std::move(values);
    return r;
}

const QDateTime t0 = QDateTime(QDate(2026, 6, 1), QTime(8, 0), QTimeZone::utc());

} // namespace

using ClimateChartTest = ClimateFixture;

TEST_F(ClimateChartTest, PointsRunOldestFirstKeepEqualTimesInGivenOrderAndSkipOtherMetrics)
{
    // Newest first, as the store gives them, with two readings at one instant.
    const QList<Reading> readings = {
        at(t0.addSecs(7200), {{Metric::temp, 80}}),
        at(t0.addSecs(3600), {{Metric::temp, 71}}),
        at(t0.addSecs(3600), {{Metric::temp, 72}}),
        at(t0.addSecs(1800), {{Metric::humidity, 50}}), // no temperature: no point
        at(t0, {{Metric::temp, 65}, {Metric::humidity, 60}}),
    };
    const QList<ClimateChart::Point> points = ClimateChart::points(readings, Metric::temp);
    ASSERT_EQ(points.size(), 4);
    EXPECT_EQ(points[0].time, t0);
    EXPECT_DOUBLE_EQ(points[0].value, 65);
    EXPECT_DOUBLE_EQ(points[1].value, 71);
    EXPECT_DOUBLE_EQ(points[2].value, 72);
    EXPECT_DOUBLE_EQ(points[3].value, 80);

    ClimateChart chart(readings, Metric::temp, MetricRange(60, 85));
    EXPECT_EQ(chart.pointCount(), 4);
    ASSERT_NE(chart.chart(), nullptr);
    EXPECT_EQ(chart.ruleLabels(), QStringList({QStringLiteral("low 60°F"), QStringLiteral("high 85°F")}));
}

TEST_F(ClimateChartTest, YAxisHoldsEveryPointAndRuleEvenFarFromTheReadings)
{
    const QList<Reading> readings = {at(t0, {{Metric::temp, 70}}), at(t0.addSecs(600), {{Metric::temp, 75}})};
    const MetricRange range(20, 120);
    const ClimateChart::YRange y = ClimateChart::yRange(ClimateChart::points(readings, Metric::temp), Metric::temp, range);
    EXPECT_LE(y.low, 20);
    EXPECT_GE(y.high, 120);

    ClimateChart chart(readings, Metric::temp, range);
    ASSERT_NE(chart.valueAxis(), nullptr);
    EXPECT_LE(chart.valueAxis()->min(), 20);
    EXPECT_GE(chart.valueAxis()->max(), 120);
    EXPECT_GE(chart.valueAxis()->min(), 0); // padded, not blown up
    // A single flat value still gives a real span.
    const ClimateChart::YRange flat = ClimateChart::yRange({{t0, 5.0}}, Metric::ph, std::nullopt);
    EXPECT_LT(flat.low, 5.0);
    EXPECT_GT(flat.high, 5.0);
}

TEST_F(ClimateChartTest, OnlyTheRulesThatTheRangeHasAreDrawn)
{
    const QList<Reading> readings = {at(t0, {{Metric::humidity, 70}})};
    EXPECT_EQ(ClimateChart(readings, Metric::humidity, MetricRange(std::nullopt, 85)).ruleLabels(),
              QStringList{QStringLiteral("high 85%")});
    EXPECT_EQ(ClimateChart(readings, Metric::humidity, MetricRange(50, std::nullopt)).ruleLabels(),
              QStringList{QStringLiteral("low 50%")});
    EXPECT_TRUE(ClimateChart(readings, Metric::humidity).ruleLabels().isEmpty());
}

TEST_F(ClimateChartTest, CelsiusMovesPointsRulesLabelsAndAxisTitle)
{
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    const QList<Reading> readings = {at(t0, {{Metric::temp, 68}})};
    ClimateChart chart(readings, Metric::temp, MetricRange(50, std::nullopt));
    EXPECT_DOUBLE_EQ(ClimateChart::points(readings, Metric::temp).first().value, 20);
    EXPECT_EQ(chart.ruleLabels(), QStringList{QStringLiteral("low 10°C")});
    EXPECT_EQ(chart.valueAxis()->titleText(), QStringLiteral("°C"));
    EXPECT_LE(chart.valueAxis()->min(), 10);
}

TEST_F(ClimateChartTest, MetricWithoutReadingsShowsTheEmptyTextAndNoChart)
{
    const QList<Reading> readings = {at(t0, {{Metric::temp, 68}})};
    ClimateChart soil(readings, Metric::soilMoisture, MetricRange(30, 60));
    EXPECT_EQ(soil.chart(), nullptr);
    ASSERT_NE(soil.emptyLabel(), nullptr);
    EXPECT_EQ(soil.emptyLabel()->text(), QStringLiteral("No soil moisture readings in this period."));
    EXPECT_EQ(ClimateChart::emptyText(Metric::co2), QStringLiteral("No co₂ readings in this period."));
    EXPECT_EQ(ClimateChart(QList<Reading>{}, Metric::temp).chart(), nullptr);

    ClimateChart ph({at(t0, {{Metric::ph, 6.2}})}, Metric::ph);
    EXPECT_EQ(ph.valueAxis()->titleText(), QStringLiteral("Soil / solution pH"));
}

TEST_F(ClimateChartTest, StoredMetricPointsAreThePointsOfTheStoresNewestReadings)
{
    Greenhouse house{.name = QStringLiteral("H")};
    store->save(house);
    Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Z")};
    store->save(zone);
    QList<Reading> batch;
    for (int i = 0; i < 30; ++i)
        batch.append(at(t0.addSecs(60 * i), i % 3 == 0 ? std::map<Metric, double>{{Metric::humidity, 50.0 + i}}
                                                      : std::map<Metric, double>{{Metric::temp, 60.5 + i}}));
    for (Reading& r : batch)
        r.zoneID = zone.id;
    store->addReadings(batch);

    for (const std::optional<QDateTime>& since : {std::optional<QDateTime>(), std::optional<QDateTime>(t0.addSecs(600))}) {
        const QList<ClimateChart::Point> expected =
            ClimateChart::points(store->readings(zone.id, since, 12), Metric::temp);
        QList<ClimateChart::Point> stored;
        for (const OVStore::MetricPoint& point : store->metricPoints(zone.id, Metric::temp, since, 12))
            stored.append({point.taken, point.value});
        const QList<ClimateChart::Point> got = ClimateChart::displayPoints(stored, Metric::temp);
        ASSERT_EQ(got.size(), expected.size());
        ASSERT_EQ(got.size(), 8); // 12 newest, of which 4 hold no temperature
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].time, expected[i].time);
            EXPECT_EQ(got[i].value, expected[i].value);
        }
    }
}

TEST_F(ClimateChartTest, TimeAxisNamesEachDayOfAWeekAtItsLocalMidnight)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // A reading every two hours from Nov 30 18:01 to Dec 7 16:01 on this machine's clock.
    const Calendar cal = Calendar::current();
    const QDateTime first = cal.instant(QDate(2026, 11, 30), QTime(18, 1));
    QList<Reading> readings;
    for (int h = 0; h <= 166; h += 2)
        readings.append(at(first.addSecs(3600LL * h), {{Metric::temp, 60.0 + h % 24}}));
    ClimateChart chart(readings, Metric::temp, MetricRange(55, 90));
    QLocale::setDefault(saved);

    ASSERT_NE(chart.chart(), nullptr);
    const QList<QAbstractAxis*> horizontal = chart.chart()->axes(Qt::Horizontal);
    ASSERT_EQ(horizontal.size(), 1);
    auto* time = qobject_cast<QCategoryAxis*>(horizontal.first());
    ASSERT_NE(time, nullptr) << "the time axis spaces its marks evenly";
    EXPECT_EQ(time->labelsPosition(), QCategoryAxis::AxisLabelsPositionOnValue);
    EXPECT_EQ(time->categoriesLabels(), QStringList({"Dec 1", "Dec 2", "Dec 3", "Dec 4", "Dec 5", "Dec 6", "Dec 7"}));
    for (const QString& label : time->categoriesLabels()) {
        const QDateTime mark = QDateTime::fromMSecsSinceEpoch(qint64(time->endValue(label)), QTimeZone::utc());
        EXPECT_EQ(cal.local(mark).time(), QTime(0, 0)) << label.toStdString();
    }
    // One grid line a mark: the first category's start lies off the plot.
    EXPECT_LT(time->startValue(), time->min());
    // The axis still runs from the first reading to the last.
    EXPECT_EQ(qint64(time->min()), first.toMSecsSinceEpoch());
    EXPECT_EQ(qint64(time->max()), first.addSecs(166 * 3600).toMSecsSinceEpoch());
}

TEST_F(ClimateChartTest, TimeAxisOfReadingsSecondsApartIsLabelledToTheSecond)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QDateTime first = Calendar::current().instant(QDate(2026, 6, 1), QTime(8, 0, 12));
    // Two readings entered within a minute, or a minute and a half apart.
    for (qint64 gap : {40, 90}) {
        ClimateChart chart({at(first, {{Metric::temp, 70}}), at(first.addSecs(gap), {{Metric::temp, 72}})},
                           Metric::temp);
        ASSERT_NE(chart.chart(), nullptr);
        auto* time = qobject_cast<QCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
        ASSERT_NE(time, nullptr);
        EXPECT_GE(time->categoriesLabels().size(), 2) << gap;
        for (const QString& label : time->categoriesLabels()) {
            EXPECT_TRUE(label.startsWith(QStringLiteral("Jun 1 08:0")) && label.size() == 14) << label.toStdString();
            EXPECT_GE(time->endValue(label), time->min());
            EXPECT_LE(time->endValue(label), time->max());
        }
    }
    QLocale::setDefault(saved);
}

TEST_F(ClimateChartTest, LabelsOfMarksAtTheEndsOfTheSpanAreDrawnWhole)
{
    // Readings on whole minutes: the axis is marked at both of them.
    const QDateTime first = Calendar::current().instant(QDate(2026, 6, 1), QTime(8, 0));
    ClimateChart chart({at(first, {{Metric::temp, 70}}), at(first.addSecs(40 * 60), {{Metric::temp, 72}})},
                       Metric::temp);
    chart.setAttribute(Qt::WA_DontShowOnScreen);
    chart.resize(600, 230);
    chart.show();
    QCoreApplication::processEvents();
    auto* time = qobject_cast<QCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(time, nullptr);
    const QStringList labels = time->categoriesLabels();
    ASSERT_GE(labels.size(), 2);
    EXPECT_EQ(time->endValue(labels.first()), time->min());
    EXPECT_EQ(time->endValue(labels.last()), time->max());
    const auto* view = chart.findChild<QChartView*>();
    ASSERT_NE(view, nullptr);
    int seen = 0;
    for (const QGraphicsItem* item : view->scene()->items()) {
        const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || (text->toPlainText() != labels.first() && text->toPlainText() != labels.last()))
            continue;
        ++seen;
        const QRectF drawn = view->mapFromScene(text->sceneBoundingRect()).boundingRect();
        EXPECT_GE(drawn.left(), 0) << text->toPlainText().toStdString();
        EXPECT_LE(drawn.right(), view->viewport()->width()) << text->toPlainText().toStdString();
    }
    EXPECT_EQ(seen, 2);
}
