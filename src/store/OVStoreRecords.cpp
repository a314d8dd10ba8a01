// The store's row count and the named queries that screens, exports, alerts,
// reminders and the self-check call. Each is one fetch (or one count) that reads the
// database anew; none throws: a failing query reads as nothing, and the live
// ReadWatches hear of it so that a screen can say so.

#include "store/OVStore.h"

namespace {

const QString byName = QStringLiteral("name COLLATE NOCASE");
const QString byCrop = QStringLiteral("crop COLLATE NOCASE, variety COLLATE NOCASE");
const QString newestDayFirst = QStringLiteral("date DESC, id DESC");
const QString separator = QStringLiteral(" · ");

} // namespace

qint64 OVStore::count(const QString& table) const
{
    // The name is pasted into the statement, so only our own table names may pass.
    if (!tables.contains(table))
        throw OVError::database(QStringLiteral("no such table: ") + table);
    return countOrZero(QStringLiteral("SELECT count(*) FROM ") + table);
}

QList<Greenhouse> OVStore::greenhouses() const
{
    return fetch<Greenhouse>(QString(), {}, byName);
}

QList<Zone> OVStore::zones(std::optional<qint64> greenhouseID) const
{
    if (!greenhouseID)
        return fetch<Zone>(QString(), {}, QStringLiteral("greenhouse_id, ") + byName);
    return fetch<Zone>(QStringLiteral("greenhouse_id = ?"), {*greenhouseID}, byName);
}

QList<Spot> OVStore::spots(qint64 zoneID) const
{
    return fetch<Spot>(QStringLiteral("zone_id = ?"), {zoneID}, QStringLiteral("kind, ") + byName);
}

QList<Spot> OVStore::allSpots() const
{
    return fetch<Spot>(QString(), {}, QStringLiteral("zone_id, kind, ") + byName);
}

QList<Plant> OVStore::plants() const
{
    return fetch<Plant>(QString(), {}, byCrop);
}

QList<Plant> OVStore::unfinishedPlantsWithHarvestDay() const
{
    // Only the exact stored texts read as finished or failed; any other text reads as
    // a status that is neither, so the filter keeps every plant a fetch would keep.
    return fetch<Plant>(QStringLiteral("expected_harvest IS NOT NULL AND (status IS NULL OR status NOT IN (?, ?))"),
                        {PlantStatus(PlantStatus::finished).rawValue(), PlantStatus(PlantStatus::failed).rawValue()},
                        byCrop);
}

QList<Seed> OVStore::seeds() const
{
    return fetch<Seed>(QString(), {}, byCrop);
}

QList<GermTest> OVStore::germTests(qint64 seedID) const
{
    return fetch<GermTest>(QStringLiteral("seed_id = ?"), {seedID}, QStringLiteral("started DESC, id DESC"));
}

QHash<qint64, QList<GermTest>> OVStore::germTestsBySeed() const
{
    QHash<qint64, QList<GermTest>> bySeed;
    for (const GermTest& test : fetch<GermTest>(QString(), {}, QStringLiteral("started DESC, id DESC")))
        bySeed[test.seedID].append(test);
    return bySeed;
}

QList<Reading> OVStore::readings(qint64 zoneID, std::optional<QDateTime> since, qint64 limit) const
{
    const QString order = QStringLiteral("taken DESC, id DESC LIMIT ") + QString::number(limit);
    if (!since)
        return fetch<Reading>(QStringLiteral("zone_id = ?"), {zoneID}, order);
    SQLArgs args;
    args.emplace_back(zoneID);
    args.emplace_back(*since);
    return fetch<Reading>(QStringLiteral("zone_id = ? AND taken >= ?"), args, order);
}

std::optional<Reading> OVStore::latestReading(qint64 zoneID) const
{
    const QList<Reading> newest = readings(zoneID, std::nullopt, 1);
    if (newest.isEmpty())
        return std::nullopt;
    return newest.first();
}

QList<OVTask> OVStore::tasks() const
{
    return fetch<OVTask>(QString(), {}, QStringLiteral("kind, title COLLATE NOCASE"));
}

QList<TaskLog> OVStore::taskLog(qint64 taskID) const
{
    return fetch<TaskLog>(QStringLiteral("task_id = ?"), {taskID}, QStringLiteral("done_at DESC"));
}

QList<PestRecord> OVStore::pests() const
{
    return fetch<PestRecord>(QString(), {}, QStringLiteral("observed DESC, id DESC"));
}

QList<Harvest> OVStore::harvests() const
{
    return fetch<Harvest>(QString(), {}, newestDayFirst);
}

QList<LedgerEntry> OVStore::ledger() const
{
    return fetch<LedgerEntry>(QString(), {}, newestDayFirst);
}

QList<Photo> OVStore::photos(qint64 plantID) const
{
    return fetch<Photo>(QStringLiteral("plant_id = ?"), {plantID}, QStringLiteral("added, id"));
}

qint64 OVStore::photoCount(qint64 plantID) const
{
    return countOrZero(QStringLiteral("SELECT count(*) FROM photo WHERE plant_id = ?"), {plantID});
}

QString OVStore::zoneName(std::optional<qint64> zoneID) const
{
    const std::optional<Zone> zone = get<Zone>(zoneID);
    if (!zone)
        return QString();
    const std::optional<Greenhouse> house = get<Greenhouse>(zone->greenhouseID);
    const QString houseName = house ? house->name : QString();
    if (houseName.isEmpty())
        return zone->name;
    return houseName + separator + zone->name;
}

QString OVStore::locationText(const Plant& plant) const
{
    QStringList parts;
    if (const auto house = get<Greenhouse>(plant.greenhouseID))
        parts.append(house->name);
    if (const auto zone = get<Zone>(plant.zoneID))
        parts.append(zone->name);
    if (const auto spot = get<Spot>(plant.spotID))
        parts.append(spot->kind.name() + QStringLiteral(" ") + spot->name);
    return parts.join(separator);
}
