#include "modes/SelfTestVideoNotify.h"

#include "modes/SelfTestStore.h"

#include "records/OVPrefs.h"
#include "services/ClimateAlerts.h"
#include "services/NetStatus.h"
#include "services/OVNotify.h"
#include "services/ReferenceLibrary.h"
#include "services/ReminderPlanner.h"
#include "services/SampleData.h"
#include "services/TodaySummary.h"
#include "services/VideoAccess.h"
#include "store/OVError.h"
#include "store/OVStore.h"

#include <QDir>
#include <memory>

namespace {

// The first video of the library. The shipped library may hold none; what the
// watching checks test is the gating, so they then use a video value of their own.
GrowVideo videoUnderTest()
{
    const QList<GrowVideo>& videos = ReferenceLibrary::shared().videos();
    if (!videos.isEmpty())
        return videos.first();
    GrowVideo video;
    video.id = QStringLiteral("ov-selftest");
    video.title = QStringLiteral("Self-test video");
    video.channel = QStringLiteral("Self-test");
    video.published = QStringLiteral("2026-01-01");
    video.topic = QStringLiteral("Other");
    video.url = QUrl(QStringLiteral("https://") + ReferenceLibrary::videoHost +
                     QStringLiteral("/watch?v=ov-selftest"));
    return video;
}

bool allContain(const QStringList& texts, const QString& part)
{
    for (const QString& text : texts)
        if (!text.contains(part))
            return false;
    return true;
}

} // namespace

namespace OVSelfTest {

void videoAndNotifyTests(OVTestRun& run, const QString& folder,
                         const std::function<QList<QUrl>()>& opened,
                         const std::function<void()>& clearOpened)
{
    run.begin(QStringLiteral("Video library offline / online; notifications; sample greenhouse"));
    const GrowVideo video = videoUnderTest();
    const QString site = ReferenceLibrary::videoSiteName;

    clearOpened();
    NetStatus::override = false;
    const bool offlineWatched = VideoAccess::watch(video);
    run.check(!offlineWatched && opened().isEmpty(),
              QStringLiteral("offline: “Needs internet”, nothing opens"));
    run.check(VideoAccess::offlineMessage.startsWith(QLatin1String("Needs internet")) &&
                  VideoAccess::offlineMessage.contains(QLatin1String("nothing is downloaded")),
              QStringLiteral("offline message explains videos stream from ") + site);
    NetStatus::override = true;
    const bool onlineWatched = VideoAccess::watch(video);
    run.check(onlineWatched && opened() == QList<QUrl>{video.url},
              QStringLiteral("online: the video opens in the browser at its ") + site +
                  QStringLiteral(" address"));
    NetStatus::override = std::nullopt;

    const std::unique_ptr<OVStore> store = openGroupStore(run, folder, QStringLiteral("notify.sqlite"));
    if (!store)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    try {
        SampleData::add(*store, now);
    } catch (const OVError& error) {
        run.check(false, QStringLiteral("sample data: ") + error.errorDescription());
        return;
    }

    const QList<Greenhouse> greenhouses = store->greenhouses();
    const QList<Plant> plants = store->plants();
    const QList<OVTask> tasks = store->tasks();
    run.check(greenhouses.size() == 1 && store->zones().size() == 2 && plants.size() == 3 &&
                  tasks.size() == 7 && store->count(QStringLiteral("reading")) >= 21 &&
                  store->harvests().size() == 2 && store->ledger().size() == 3,
              QStringLiteral("sample greenhouse: 1 greenhouse, 2 zones, 3 plants, 7 schedules, a "
                             "week of readings, harvests and costs"));

    QStringList varieties;
    for (const Plant& plant : plants)
        varieties.append(plant.variety);
    QStringList titles;
    for (const OVTask& task : tasks)
        titles.append(task.title);
    const QString sample = QStringLiteral("sample");
    run.check(allContain(varieties, sample) && allContain(titles, sample) && !greenhouses.isEmpty() &&
                  greenhouses.first().name.startsWith(QLatin1String("Sample")),
              QStringLiteral("every sample record is clearly marked"));

    run.check(!ClimateAlerts::recent(*store, 7, now).isEmpty(),
              QStringLiteral("the sample's hot afternoon shows as a climate alert"));

    OVNotify::reschedule(*store, now);
    const qsizetype planned = OVNotify::lastPlan.size();
    run.check(planned > 0 && planned <= ReminderPlanner::maxPending,
              QStringLiteral("reminders planned for the sample schedules: ") + QString::number(planned));

    OVPrefs::setValue(OVPrefs::remindersKey, false);
    OVNotify::reschedule(*store, now);
    run.check(OVNotify::lastPlan.isEmpty(),
              QStringLiteral("reminders switched off in Settings → none scheduled"));
    OVPrefs::setValue(OVPrefs::remindersKey, true);

    const QList<Zone> zones = store->zones();
    const qint64 firstZone = zones.isEmpty() ? 0 : zones.first().id;
    const auto testAlert = [&](qint64 zoneID) {
        return ClimateAlert(zoneID, Metric::allCases().front(), 99.0, 90.0, ClimateAlert::Side::high,
                            QDateTime::currentDateTimeUtc());
    };
    const qsizetype sentBefore = OVNotify::sentAlerts.size();
    QList<ClimateAlert> alerts = ClimateAlerts::current(*store);
    alerts.append(testAlert(firstZone));
    OVStore* storePointer = store.get();
    OVNotify::climateAlerts(alerts, [storePointer](qint64 zoneID) { return storePointer->zoneName(zoneID); });
    run.check(OVNotify::sentAlerts.size() > sentBefore &&
                  OVNotify::sentAlerts.last().contains(QLatin1String("above your high alert")),
              QStringLiteral("out-of-range readings send a climate alert notification"));

    OVPrefs::setValue(OVPrefs::alertsKey, false);
    const qsizetype sentMuted = OVNotify::sentAlerts.size();
    OVNotify::climateAlerts({testAlert(1)}, [](qint64) { return QStringLiteral("Z"); });
    run.check(OVNotify::sentAlerts.size() == sentMuted,
              QStringLiteral("climate alerts switched off in Settings → no notification"));
    OVPrefs::setValue(OVPrefs::alertsKey, true);

    const TodaySummary summary(*store, QDateTime::currentDateTimeUtc(), Calendar::current());
    run.check(summary.activePlants == 3 && !summary.harvestSoon.isEmpty() && summary.openPests.size() == 1,
              QStringLiteral("Today: plants growing, harvests coming, open pest problem"));
}

} // namespace OVSelfTest
