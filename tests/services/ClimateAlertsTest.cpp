#include "services/ClimateAlerts.h"

#include "records/Greenhouse.h"
#include "records/OVPrefs.h"
#include "records/Reading.h"
#include "records/Zone.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QTimeZone>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <utility>

namespace {

using Side = ClimateAlert::Side;
using Values = std::initializer_list<std::pair<const Metric, double>>;

const QDateTime t0 = QDateTime::fromSecsSinceEpoch(1'780'000'000, Qt::UTC);

Reading reading(qint64 zoneID, const QDateTime& taken, Values values)
{
    Reading r;
    r.zoneID = zoneID;
    r.taken = taken;
    r.values = std::map<Metric, double>(values);
    return r;
}

QList<Metric> metrics(const QList<ClimateAlert>& alerts)
{
    QList<Metric> out;
    for (const ClimateAlert& a : alerts)
        out.append(a.metric);
    return out;
}

QList<qint64> zones(const QList<ClimateAlert>& alerts)
{
    QList<qint64> out;
    for (const ClimateAlert& a : alerts)
        out.append(a.zoneID);
    return out;
}

struct UnitPref {
    explicit UnitPref(const QString& unit) { OVPrefs::setValue(OVPrefs::unitKey, unit); }
    ~UnitPref() { OVPrefs::remove(OVPrefs::unitKey); }
};

// A scratch store with helpers to lay out zones and add readings one by one
// (one by one, because the bulk import skips a second reading in the same minute).
class AlertStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("alerts.sqlite")));
    }

    qint64 greenhouse(const QString& name)
    {
        Greenhouse g;
        g.name = name;
        store->save(g);
        return g.id;
    }

    qint64 zone(qint64 greenhouseID, const QString& name, std::map<Metric, MetricRange> limits)
    {
        Zone z;
        z.greenhouseID = greenhouseID;
        z.name = name;
        z.limits = std::move(limits);
        store->save(z);
        return z.id;
    }

    void add(qint64 zoneID, const QDateTime& taken, Values values)
    {
        Reading r = reading(zoneID, taken, values);
        store->save(r);
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
    const std::map<Metric, MetricRange> hotLimit{{Metric::temp, MetricRange(std::nullopt, 90.0)}};
};

} // namespace

TEST(ClimateAlertValue, IdTruncatesSecondsAndLeavesSideOut)
{
    const ClimateAlert a(12, Metric::temp, 95, 90, Side::high, QDateTime::fromMSecsSinceEpoch(1'000'900, Qt::UTC));
    EXPECT_EQ(a.id(), QStringLiteral("12-temp-1000"));
    const ClimateAlert b(12, Metric::temp, 40, 50, Side::low, QDateTime::fromMSecsSinceEpoch(1'000'100, Qt::UTC));
    EXPECT_EQ(a.id(), b.id());
    EXPECT_NE(a, b);
    // Before 1970 the seconds are truncated toward zero, not floored.
    const ClimateAlert c(3, Metric::soilMoisture, 5, 10, Side::low, QDateTime::fromMSecsSinceEpoch(-1'500, Qt::UTC));
    EXPECT_EQ(c.id(), QStringLiteral("3-soilMoisture--1"));
}

TEST(ClimateAlertValue, TextInFahrenheit)
{
    const UnitPref f(QStringLiteral("F"));
    EXPECT_EQ(ClimateAlert(1, Metric::temp, 95, 90, Side::high, t0).text(),
              QStringLiteral("Air temperature 95°F is above your high alert of 90°F"));
    EXPECT_EQ(ClimateAlert(1, Metric::ph, 5.2, 5.5, Side::low, t0).text(),
              QStringLiteral("Soil / solution pH 5.20 is below your low alert of 5.50"));
}

TEST(ClimateAlertValue, TextFollowsTheUnitWhenMade)
{
    const ClimateAlert alert(1, Metric::temp, 95, 90, Side::high, t0);
    const ClimateAlert humid(1, Metric::humidity, 86, 85, Side::high, t0);
    {
        const UnitPref c(QStringLiteral("C"));
        EXPECT_EQ(alert.text(), QStringLiteral("Air temperature 35°C is above your high alert of 32.2°C"));
        EXPECT_EQ(humid.text(), QStringLiteral("Humidity 86% is above your high alert of 85%"));
    }
    EXPECT_EQ(alert.text(), QStringLiteral("Air temperature 95°F is above your high alert of 90°F"));
    EXPECT_EQ(alert.value, 95); // the value itself stays in the stored unit
}

TEST(ClimateAlertsCheck, LimitsAreExclusiveOnBothSides)
{
    const std::map<Metric, MetricRange> limits{{Metric::ph, MetricRange(5.5, 7.0)}};
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::ph, 5.5}}), limits).isEmpty());
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::ph, 7.0}}), limits).isEmpty());

    const QList<ClimateAlert> low = ClimateAlerts::check(reading(4, t0, {{Metric::ph, 5.49}}), limits);
    ASSERT_EQ(low.size(), 1);
    EXPECT_EQ(low[0], ClimateAlert(4, Metric::ph, 5.49, 5.5, Side::low, t0));

    const QList<ClimateAlert> high = ClimateAlerts::check(reading(4, t0, {{Metric::ph, 7.01}}), limits);
    ASSERT_EQ(high.size(), 1);
    EXPECT_EQ(high[0], ClimateAlert(4, Metric::ph, 7.01, 7.0, Side::high, t0));
}

TEST(ClimateAlertsCheck, MissingLimitsOrValuesGiveNothing)
{
    const std::map<Metric, MetricRange> limits{
        {Metric::light, MetricRange()},                  // neither limit
        {Metric::co2, MetricRange(std::nullopt, 1500.0)}, // high only
        {Metric::ec, MetricRange(1.0, std::nullopt)},     // low only
    };
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::light, 0}, {Metric::light, 200000}}), limits).isEmpty());
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::co2, 0}}), limits).isEmpty());
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::ec, 30}}), limits).isEmpty());
    // The zone watches ec, but the reading did not measure it.
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::temp, 150}}), limits).isEmpty());
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {}), limits).isEmpty());
    EXPECT_TRUE(ClimateAlerts::check(reading(1, t0, {{Metric::ec, 0.5}}), {}).isEmpty());
}

TEST(ClimateAlertsCheck, MetricOrderNotValueOrder)
{
    const std::map<Metric, MetricRange> limits{
        {Metric::ec, MetricRange(std::nullopt, 2.0)},
        {Metric::humidity, MetricRange(40.0, 85.0)},
        {Metric::temp, MetricRange(50.0, 90.0)},
        {Metric::soilTemp, MetricRange(55.0, std::nullopt)},
    };
    const QList<ClimateAlert> alerts = ClimateAlerts::check(
        reading(9, t0, {{Metric::ec, 3.1}, {Metric::soilTemp, 50}, {Metric::humidity, 99}, {Metric::temp, 30}}),
        limits);
    EXPECT_EQ(metrics(alerts),
              (QList<Metric>{Metric::temp, Metric::humidity, Metric::soilTemp, Metric::ec}));
    for (const ClimateAlert& a : alerts) {
        EXPECT_EQ(a.zoneID, 9);
        EXPECT_EQ(a.taken, t0);
    }
    EXPECT_EQ(alerts[0].side, Side::low);
    EXPECT_EQ(alerts[1].side, Side::high);
}

TEST_F(AlertStore, CurrentFollowsZoneOrderAndSkipsQuietZones)
{
    const qint64 g2 = greenhouse(QStringLiteral("Second"));
    const qint64 g1 = greenhouse(QStringLiteral("First"));
    ASSERT_LT(g2, g1);
    // Zone order: greenhouse id, then name without regard to case.
    const qint64 beta = zone(g1, QStringLiteral("beta"), hotLimit);
    const qint64 alpha = zone(g1, QStringLiteral("Alpha"), hotLimit);
    const qint64 other = zone(g2, QStringLiteral("zz"), hotLimit);
    const qint64 unwatched = zone(g2, QStringLiteral("aa"), {});
    const qint64 empty = zone(g2, QStringLiteral("mm"), hotLimit);
    (void)empty;

    add(beta, t0, {{Metric::temp, 95}});
    add(alpha, t0.addSecs(-3600), {{Metric::temp, 91}});
    add(other, t0.addSecs(-7200), {{Metric::temp, 100}});
    add(unwatched, t0, {{Metric::temp, 150}});

    EXPECT_EQ(zones(ClimateAlerts::current(*store)), (QList<qint64>{other, alpha, beta}));

    // A newer in-range reading makes an older out-of-range one no longer current,
    // even when it was saved first.
    add(alpha, t0, {{Metric::temp, 60}});
    EXPECT_EQ(zones(ClimateAlerts::current(*store)), (QList<qint64>{other, beta}));
}

TEST_F(AlertStore, RecentWindowEdges)
{
    const qint64 g = greenhouse(QStringLiteral("G"));
    const qint64 z = zone(g, QStringLiteral("Z"), hotLimit);
    const QDateTime now = t0.addMSecs(250);
    add(z, now.addSecs(-7 * 86400), {{Metric::temp, 91}});     // exactly on the start
    add(z, now.addSecs(-7 * 86400 - 1), {{Metric::temp, 92}}); // one second before it
    add(z, now, {{Metric::temp, 93}});
    add(z, now.addSecs(3600), {{Metric::temp, 94}}); // after now still counts

    QList<double> values;
    for (const ClimateAlert& a : ClimateAlerts::recent(*store, 7, now))
        values.append(a.value);
    EXPECT_EQ(values, (QList<double>{94, 93, 91}));

    values.clear();
    for (const ClimateAlert& a : ClimateAlerts::recent(*store, 0, now))
        values.append(a.value);
    EXPECT_EQ(values, (QList<double>{94, 93}));
}

TEST_F(AlertStore, RecentDaysAreWholeSecondsAcrossDaylightSaving)
{
    const QTimeZone denver(QByteArrayLiteral("America/Denver"));
    if (!denver.isValid())
        GTEST_SKIP() << "no America/Denver time zone data";
    const qint64 z = zone(greenhouse(QStringLiteral("G")), QStringLiteral("Z"), hotLimit);
    // A week that holds the spring-forward change: the window is 7 x 86,400 s,
    // not seven calendar days back to the same wall time.
    // Noon MDT on the 12th less 604,800 s is 11:00 MST on the 5th.
    const QDateTime now(QDate(2026, 3, 12), QTime(12, 0), denver);
    add(z, QDateTime(QDate(2026, 3, 5), QTime(11, 0), denver), {{Metric::temp, 91}});
    add(z, QDateTime(QDate(2026, 3, 5), QTime(10, 59, 59), denver), {{Metric::temp, 92}});
    const QList<ClimateAlert> alerts = ClimateAlerts::recent(*store, 7, now);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].value, 91);
}

TEST_F(AlertStore, RecentSortIsStableForEqualTimes)
{
    const qint64 g = greenhouse(QStringLiteral("G"));
    const std::map<Metric, MetricRange> both{{Metric::temp, MetricRange(std::nullopt, 90.0)},
                                             {Metric::humidity, MetricRange(std::nullopt, 85.0)}};
    const qint64 first = zone(g, QStringLiteral("A"), both);
    const qint64 second = zone(g, QStringLiteral("B"), both);
    // Saved in the opposite order to the zone order, so only the sort keeps it.
    add(second, t0, {{Metric::temp, 95}});
    add(first, t0, {{Metric::humidity, 90}, {Metric::temp, 91}});
    add(first, t0.addSecs(-60), {{Metric::temp, 99}});
    add(second, t0.addSecs(60), {{Metric::humidity, 86}});

    const QList<ClimateAlert> alerts = ClimateAlerts::recent(*store, 7, t0);
    EXPECT_EQ(zones(alerts), (QList<qint64>{second, first, first, second, first}));
    EXPECT_EQ(metrics(alerts),
              (QList<Metric>{Metric::humidity, Metric::temp, Metric::humidity, Metric::temp, Metric::temp}));
}

TEST_F(AlertStore, EmptyStoreAndInvalidNowGiveNothing)
{
    EXPECT_TRUE(ClimateAlerts::current(*store).isEmpty());
    EXPECT_TRUE(ClimateAlerts::recent(*store).isEmpty());
    const qint64 z = zone(greenhouse(QStringLiteral("G")), QStringLiteral("Z"), hotLimit);
    add(z, t0, {{Metric::temp, 95}});
    EXPECT_TRUE(ClimateAlerts::recent(*store, 7, QDateTime()).isEmpty());
}
