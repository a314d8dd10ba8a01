#include "modes/SelfTestChild.h"

#include "app/StartupDispatch.h"
#include "modes/OVTestRun.h"
#include "modes/SelfTestImage.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

constexpr int cannotOpen = 3;
constexpr int writeFailed = 4;

QDateTime secondsAfter1970(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

std::unique_ptr<OVStore> openStore(const QString& path)
{
    try {
        return std::make_unique<OVStore>(QFileInfo(path).absoluteFilePath());
    } catch (...) {
        return nullptr;
    }
}

// The error as the parent's log shows it: the kind, then the message in quotes.
QString errorForm(const OVError& error)
{
    switch (error.kind()) {
    case OVError::Kind::database:
        return QStringLiteral("database(\"") + error.payload() + QStringLiteral("\")");
    case OVError::Kind::invalid:
        return QStringLiteral("invalid(\"") + error.payload() + QStringLiteral("\")");
    case OVError::Kind::badBackup:
        return QStringLiteral("badBackup(\"") + error.payload() + QStringLiteral("\")");
    case OVError::Kind::notFound:
        return QStringLiteral("notFound");
    case OVError::Kind::file:
        return QStringLiteral("file(\"") + error.payload() + QStringLiteral("\")");
    }
    return error.errorDescription();
}

QString dayField(const std::optional<OVDay>& day)
{
    return day ? day->iso() : QString();
}

QString limitField(const Zone& zone, Metric metric, bool high)
{
    const auto entry = zone.limits.find(metric);
    std::optional<double> value;
    if (entry != zone.limits.end())
        value = high ? entry->second.max : entry->second.min;
    return SQLValue::realText(value.value_or(-1.0));
}

QString boolField(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

void printLine(const QStringList& fields)
{
    ovPrintLine(fields.join(QLatin1Char('|')), false);
}

} // namespace

namespace OVSelfTest {

void writeEverything(OVStore& store)
{
    Greenhouse house;
    house.name = QStringLiteral("Relaunch House");
    house.location = QStringLiteral("Test");
    house.size = QStringLiteral("10x12");
    house.glazing = QStringLiteral("glass");
    store.save(house);

    Zone zone;
    zone.greenhouseID = house.id;
    zone.name = QStringLiteral("Bench Zone");
    zone.limits[Metric::temp] = MetricRange(50.0, 90.0);
    zone.limits[Metric::humidity] = MetricRange(std::nullopt, 85.0);
    store.save(zone);

    Spot bench;
    bench.zoneID = zone.id;
    bench.kind = SpotKind::bench;
    bench.name = QStringLiteral("B1");
    store.save(bench);

    Plant plant;
    plant.crop = QStringLiteral("Pepper");
    plant.variety = QStringLiteral("Carmen");
    plant.source = QStringLiteral("Test seed");
    plant.refCropID = QStringLiteral("pepper");
    plant.sowDate = OVDay(2026, 2, 1);
    plant.transplantDate = OVDay(2026, 3, 20);
    plant.expectedHarvest = OVDay(2026, 5, 29);
    plant.spotID = bench.id; // the save fills in the zone and the greenhouse
    plant.status = PlantStatus::growing;
    plant.quantity = 4;
    store.save(plant);

    Photo photo;
    photo.plantID = plant.id;
    photo.data = testImageData();
    photo.caption = QStringLiteral("leaf");
    photo.added = QDateTime::currentDateTimeUtc();
    store.save(photo);

    Seed seed;
    seed.crop = QStringLiteral("Pepper");
    seed.variety = QStringLiteral("Carmen");
    seed.quantity = 25.0;
    seed.unit = QStringLiteral("seeds");
    store.save(seed);

    GermTest test;
    test.seedID = seed.id;
    test.started = OVDay(2026, 1, 10);
    test.sown = 10;
    test.sprouted = 9;
    test.days = 8;
    store.save(test);

    Reading reading;
    reading.zoneID = zone.id;
    reading.taken = secondsAfter1970(1780000000);
    reading.values = {{Metric::temp, 71.5}, {Metric::humidity, 60.0}};
    store.addReadings({reading});

    OVTask task;
    task.kind = TaskKind::water;
    task.title = QStringLiteral("Water bench");
    task.zoneID = zone.id;
    task.rule = Recurrence::weekly(1, {2, 5});
    task.start = OVDay(2026, 1, 5);
    task.hour = 7;
    task.minute = 30;
    task.remind = true;
    task.active = true;
    store.save(task);
    store.markDone(task, secondsAfter1970(1780000000), QString());

    PestRecord pest;
    pest.observed = OVDay(2026, 4, 2);
    pest.plantID = plant.id;
    pest.problem = QStringLiteral("Aphids");
    pest.kind = ProblemKind::pest;
    pest.severity = 3;
    pest.resolved = false;
    store.save(pest);

    Harvest harvest;
    harvest.plantID = plant.id;
    harvest.date = OVDay(2026, 6, 1);
    harvest.quantity = 1.25;
    harvest.unit = HarvestUnit::lb;
    store.save(harvest);

    LedgerEntry cost;
    cost.date = OVDay(2026, 1, 2);
    cost.item = QStringLiteral("Seed");
    cost.category = LedgerCategory::seeds;
    cost.quantity = 1.0;
    cost.cost = 3.95;
    cost.plantID = plant.id;
    store.save(cost);
}

int childWrite(const QString& path)
{
    OVNotify::enabled = false;
    const std::unique_ptr<OVStore> store = openStore(path);
    if (!store)
        return cannotOpen;
    try {
        writeEverything(*store);
    } catch (const OVError& error) {
        printLine({QStringLiteral("ERROR"), errorForm(error)});
        std::fflush(stdout);
        return writeFailed;
    } catch (const std::exception& error) {
        printLine({QStringLiteral("ERROR"), QString::fromUtf8(error.what())});
        std::fflush(stdout);
        return writeFailed;
    }
    printLine({QStringLiteral("DIGEST"), store->digest()});
    std::fflush(stdout);
    return 0;
}

int childRead(const QString& path)
{
    const std::unique_ptr<OVStore> store = openStore(path);
    if (!store)
        return cannotOpen;

    for (const QString& table : OVStore::tables)
        printLine({QStringLiteral("COUNT"), table, QString::number(store->count(table))});

    const QList<Plant> plants = store->plants();
    if (!plants.isEmpty()) {
        const Plant& p = plants.first();
        printLine({QStringLiteral("PLANT"), p.crop, p.variety, dayField(p.sowDate), dayField(p.transplantDate),
                   dayField(p.expectedHarvest), p.status.rawValue(), store->locationText(p)});
    }
    const QList<Zone> zones = store->zones();
    if (!zones.isEmpty()) {
        const Zone& z = zones.first();
        printLine({QStringLiteral("ZONE"), z.name, limitField(z, Metric::temp, false),
                   limitField(z, Metric::temp, true), limitField(z, Metric::humidity, true)});
    }
    const QList<OVTask> tasks = store->tasks();
    if (!tasks.isEmpty()) {
        const OVTask& t = tasks.first();
        printLine({QStringLiteral("TASK"), t.title, t.rule.encoded(), boolField(t.lastDone.has_value())});
    }
    const QList<Photo> photos = store->fetch<Photo>();
    if (!photos.isEmpty()) {
        const Photo& photo = photos.first();
        printLine({QStringLiteral("PHOTO"), QString::number(photo.data.size()),
                   boolField(!QImage::fromData(photo.data).isNull())});
    }
    printLine({QStringLiteral("DIGEST"), store->digest()});
    std::fflush(stdout);
    return 0;
}

std::optional<int> handleChild(const QStringList& arguments)
{
    const StartupDispatch dispatch = StartupDispatch::decide(arguments);
    switch (dispatch.mode) {
    case StartupDispatch::Mode::ChildWrite:
        return childWrite(dispatch.path);
    case StartupDispatch::Mode::ChildRead:
        return childRead(dispatch.path);
    default:
        return std::nullopt;
    }
}

} // namespace OVSelfTest
