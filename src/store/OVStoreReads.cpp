// The reads that the screens need beyond the named queries: exact counts for notes
// and delete questions, the photo counts of the plant list, and the capped or dated
// lists that keep years of records out of a screen's rebuild. Each throws the
// store's error when it fails. Every failed read, thrown or read as "nothing" by the
// never-throwing queries, is first handed to the live ReadWatches.

#include "store/OVStore.h"

#include <algorithm>

namespace {

const QString newestDayFirst = QStringLiteral("date DESC, id DESC");

SQLArgs dayRange(const OVDay& first, const OVDay& last)
{
    // Days are stored as "yyyy-mm-dd", so text order is day order.
    return {SQLValue(first.iso()), SQLValue(last.iso())};
}

QString limitClause(qint64 limit)
{
    return QStringLiteral(" LIMIT ") + QString::number(std::max<qint64>(limit, 0));
}

} // namespace

OVStore::ReadWatch::ReadWatch(const OVStore& store) : m_store(store)
{
    m_store.m_readWatches.append(this);
}

OVStore::ReadWatch::~ReadWatch()
{
    m_store.m_readWatches.removeOne(this);
}

QString OVStore::ReadWatch::reason() const
{
    if (!m_failure)
        return QString();
    return m_failure->payload().isEmpty() ? m_failure->errorDescription() : m_failure->payload();
}

void OVStore::ReadWatch::note(const OVError& error) const
{
    if (!m_failure)
        m_failure = error;
}

void OVStore::readFailed(const OVError& error) const
{
    for (const ReadWatch* watch : m_readWatches)
        watch->note(error);
}

QList<SQLRow> OVStore::queryOrThrow(const QString& sql, const SQLArgs& args) const
{
    try {
        return m_db->query(sql, args);
    } catch (const OVError& error) {
        readFailed(error);
        throw;
    }
}

qint64 OVStore::countOf(const QString& sql, const SQLArgs& args) const
{
    const QList<SQLRow> rows = queryOrThrow(sql, args);
    const std::optional<qint64> n = rows.value(0).cell(0).toInteger();
    if (!n) {
        const OVError error = OVError::database(QStringLiteral("the count gave no number"));
        readFailed(error);
        throw error;
    }
    return *n;
}

qint64 OVStore::countOrZero(const QString& sql, const SQLArgs& args) const
{
    try {
        return countOf(sql, args);
    } catch (const OVError&) {
        return 0; // already handed to the watches
    }
}

qint64 OVStore::readingCount(qint64 zoneID, std::optional<QDateTime> since) const
{
    if (!since)
        return countOf(QStringLiteral("SELECT count(*) FROM reading WHERE zone_id = ?"), {zoneID});
    SQLArgs args;
    args.emplace_back(zoneID);
    args.emplace_back(*since);
    return countOf(QStringLiteral("SELECT count(*) FROM reading WHERE zone_id = ? AND taken >= ?"), args);
}

qint64 OVStore::greenhouseReadingCount(qint64 greenhouseID) const
{
    return countOf(
        QStringLiteral("SELECT count(*) FROM reading WHERE zone_id IN (SELECT id FROM zone WHERE greenhouse_id = ?)"),
        {greenhouseID});
}

QHash<qint64, qint64> OVStore::photoCounts() const
{
    QHash<qint64, qint64> counts;
    for (const SQLRow& row :
         queryOrThrow(QStringLiteral("SELECT plant_id, count(*) AS n FROM photo GROUP BY plant_id")))
        if (const auto id = row.intValue(QStringLiteral("plant_id")))
            counts.insert(*id, row.intValue(QStringLiteral("n")).value_or(0));
    return counts;
}

QList<Harvest> OVStore::newestHarvests(qint64 limit) const
{
    return fetchOrThrow<Harvest>(QString(), {}, newestDayFirst + limitClause(limit));
}

QList<LedgerEntry> OVStore::newestLedger(qint64 limit) const
{
    return fetchOrThrow<LedgerEntry>(QString(), {}, newestDayFirst + limitClause(limit));
}

QList<Harvest> OVStore::harvestsBetween(const OVDay& first, const OVDay& last) const
{
    return fetchOrThrow<Harvest>(QStringLiteral("date >= ? AND date <= ?"), dayRange(first, last), newestDayFirst);
}

QList<LedgerEntry> OVStore::ledgerBetween(const OVDay& first, const OVDay& last) const
{
    return fetchOrThrow<LedgerEntry>(QStringLiteral("date >= ? AND date <= ?"), dayRange(first, last),
                                     newestDayFirst);
}

QList<PestRecord> OVStore::openPests() const
{
    return fetchOrThrow<PestRecord>(QStringLiteral("resolved = 0"), {}, QStringLiteral("observed DESC, id DESC"));
}
