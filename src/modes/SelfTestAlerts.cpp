#include "modes/SelfTestAlerts.h"

#include "modes/SelfTestStore.h"

#include "modes/OVSelfTest.h"
#include "records/Metric.h"
#include "records/MetricRange.h"
#include "records/OVPrefs.h"
#include "records/Reading.h"
#include "records/Zone.h"
#include "services/ClimateAlerts.h"
#include "store/OVStore.h"

#include <QDateTime>
#include <QDir>
#include <QList>

#include <initializer_list>
#include <map>
#include <memory>
#include <utility>

namespace {

const std::map<Metric, MetricRange>& probeLimits()
{
    static const std::map<Metric, MetricRange> limits{
        {Metric::temp, MetricRange(50.0, 90.0)},
        {Metric::humidity, MetricRange(std::nullopt, 85.0)},
    };
    return limits;
}

Reading reading(qint64 zoneID, const QDateTime& taken, std::initializer_list<std::pair<const Metric, double>> values)
{
    Reading r;
    r.zoneID = zoneID;
    r.taken = taken;
    r.values = std::map<Metric, double>(values);
    return r;
}

QList<ClimateAlert> probe(std::initializer_list<std::pair<const Metric, double>> values)
{
    return ClimateAlerts::check(reading(1, QDateTime::currentDateTimeUtc(), values), probeLimits());
}

QList<ClimateAlert::Side> sides(const QList<ClimateAlert>& alerts)
{
    QList<ClimateAlert::Side> out;
    for (const ClimateAlert& a : alerts)
        out.append(a.side);
    return out;
}

} // namespace

namespace OVSelfTest {

void alertTests(OVTestRun& run, const QString& folder)
{
    run.begin(QStringLiteral("Climate alerts: low / high limits per zone"));

    run.check(sides(probe({{Metric::temp, 49.9}})) == QList<ClimateAlert::Side>{ClimateAlert::Side::low},
              QStringLiteral("49.9°F with a low of 50 → low alert"));
    run.check(probe({{Metric::temp, 50}}).isEmpty(), QStringLiteral("exactly 50°F (on the low limit) → no alert"));
    run.check(probe({{Metric::temp, 90}}).isEmpty(), QStringLiteral("exactly 90°F (on the high limit) → no alert"));
    run.check(sides(probe({{Metric::temp, 90.1}})) == QList<ClimateAlert::Side>{ClimateAlert::Side::high},
              QStringLiteral("90.1°F with a high of 90 → high alert"));
    {
        const QList<ClimateAlert> alerts = probe({{Metric::humidity, 86}, {Metric::temp, 70}});
        run.check(alerts.size() == 1 && alerts.first().metric == Metric::humidity,
                  QStringLiteral("only humidity over its high limit alerts"));
    }
    run.check(probe({{Metric::humidity, 5}}).isEmpty(), QStringLiteral("no low humidity limit set → no low alert"));
    run.check(probe({{Metric::co2, 5000}, {Metric::light, 100}}).isEmpty(),
              QStringLiteral("measurements without limits never alert"));
    run.check(probe({{Metric::temp, 30}, {Metric::humidity, 99}}).size() == 2,
              QStringLiteral("two problems at once → two alerts"));
    {
        const QList<ClimateAlert> alerts = probe({{Metric::temp, 95}});
        run.check(!alerts.isEmpty() && alerts.first().text().contains(QStringLiteral("above your high alert")),
                  QStringLiteral("alert text explains what is wrong"));
    }

    const std::unique_ptr<OVStore> store = openGroupStore(run, folder, QStringLiteral("alerts.sqlite"));
    if (!store)
        return;

    const QList<Zone> fixtures = trySaveZones(*store, {QStringLiteral("Hot"), QStringLiteral("Fine")}, probeLimits());
    const Zone& hot = fixtures[0];
    const Zone& fine = fixtures[1];

    const QDateTime now = QDateTime::currentDateTimeUtc();
    try {
        store->addReadings({
            reading(hot.id, now.addSecs(-259200), {{Metric::temp, 99}}),
            reading(hot.id, now.addSecs(-3600), {{Metric::temp, 95}}),
            reading(fine.id, now.addSecs(-777600), {{Metric::temp, 20}}),
            reading(fine.id, now.addSecs(-60), {{Metric::temp, 70}}),
        });
    } catch (...) {
    }

    {
        QList<qint64> zoneIDs;
        for (const ClimateAlert& a : ClimateAlerts::current(*store))
            zoneIDs.append(a.zoneID);
        run.check(zoneIDs == QList<qint64>{hot.id},
                  QStringLiteral("current alerts use each zone's newest reading (only the hot zone)"));
    }
    run.check(ClimateAlerts::recent(*store, 7, now).size() == 2,
              QStringLiteral("last 7 days: 2 out-of-range readings (the 9-day-old one is excluded)"));

    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    run.check(Metric(Metric::temp).format(32) == QStringLiteral("0°C")
                  && Metric(Metric::temp).format(70.7) == QStringLiteral("21.5°C")
                  && near(Metric(Metric::temp).fromDisplay(20), 68)
                  && Metric(Metric::humidity).format(55) == QStringLiteral("55%"),
              QStringLiteral("°C display: 32°F shows 0°C, 70.7°F shows 21.5°C; typing 20°C stores 68°F"));

    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("F"));
    run.check(Metric(Metric::temp).format(68) == QStringLiteral("68°F")
                  && Metric(Metric::temp).format(68.26) == QStringLiteral("68.3°F"),
              QStringLiteral("°F display (whole numbers without .0)"));
}

} // namespace OVSelfTest
