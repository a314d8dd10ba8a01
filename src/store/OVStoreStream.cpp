// Streaming reads: rows handed out one at a time straight from the engine, for work
// that must not hold a whole table in memory (the full export of every reading).
//
// Rows are decoded by column position, without building a name-keyed row per
// reading, but with the same reading rules as RowMapping<Reading>::fromRow: a value of an
// unexpected storage class goes through SQLValue's conversions, so a damaged row
// reads the same here as in a fetch.

#include "store/OVStore.h"

#include <sqlite3.h>

#include <cmath>
#include <memory>

namespace {

std::optional<double> doubleAt(sqlite3_stmt* st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, i);
    case SQLITE_NULL:
        return std::nullopt;
    default:
        return SQLiteDB::columnValue(st, i).toDouble();
    }
}

QString textAt(sqlite3_stmt* st, int i)
{
    if (sqlite3_column_type(st, i) == SQLITE_TEXT) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        const int bytes = sqlite3_column_bytes(st, i);
        return text ? QString::fromUtf8(text, bytes) : QString();
    }
    return SQLiteDB::columnValue(st, i).toText().value_or(QString()); // a blob reads as ""
}

// REAL seconds since 1970 as an instant, as RowCodec::instant reads them: rounded to
// the millisecond, 1970-01-01 for anything missing, not finite or out of range.
QDateTime instantAt(sqlite3_stmt* st, int i)
{
    constexpr double limit = 9.0e12;
    const std::optional<double> seconds = doubleAt(st, i);
    if (seconds && std::isfinite(*seconds) && std::fabs(*seconds) <= limit) {
        const QDateTime result = QDateTime::fromMSecsSinceEpoch(std::llround(*seconds * 1000.0), Qt::UTC);
        if (result.isValid())
            return result;
    }
    return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
}

} // namespace

bool OVStore::eachReading(qint64 zoneID, const std::function<bool(const Reading&)>& each) const
{
    sqlite3* handle = m_db->handle();
    // A query that fails (unlike one that `each` stops) is handed to the watches, so
    // that a caller streaming under one learns why the rows ended.
    const auto failed = [&] {
        readFailed(OVError::database(handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : m_db->lastError()));
        return false;
    };
    if (!handle)
        return failed();

    QString columns = QStringLiteral("id, zone_id, taken");
    for (const Metric m : Metric::allCases())
        columns += QStringLiteral(", ") + m.column();
    columns += QStringLiteral(", source, note");
    // The (zone_id, taken) index carries the row id, so this order needs no sort.
    const QByteArray sql = (QStringLiteral("SELECT ") + columns +
                            QStringLiteral(" FROM reading WHERE zone_id = ? ORDER BY taken, id"))
                               .toUtf8();

    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return failed();
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    if (sqlite3_bind_int64(raw, 1, zoneID) != SQLITE_OK)
        return failed();

    const auto& metrics = Metric::allCases();
    const int firstMetric = 3;
    const int sourceColumn = firstMetric + int(metrics.size());
    Reading reading;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        reading.id = SQLiteDB::columnValue(raw, 0).toInteger().value_or(0);
        reading.zoneID = sqlite3_column_type(raw, 1) == SQLITE_INTEGER
                             ? sqlite3_column_int64(raw, 1)
                             : SQLiteDB::columnValue(raw, 1).toInteger().value_or(0);
        reading.taken = instantAt(raw, 2);
        reading.values.clear();
        for (size_t m = 0; m < metrics.size(); ++m) {
            if (const std::optional<double> value = doubleAt(raw, firstMetric + int(m)))
                reading.values.emplace(metrics[m], *value);
        }
        reading.source = textAt(raw, sourceColumn);
        reading.note = textAt(raw, sourceColumn + 1);
        if (!each(reading))
            return false;
    }
    return rc == SQLITE_DONE || failed();
}

QList<OVStore::MetricPoint> OVStore::metricPoints(qint64 zoneID, Metric metric,
                                                  const std::optional<QDateTime>& since, qint64 limit) const
{
    QList<MetricPoint> points;
    if (limit <= 0)
        return points;
    sqlite3* handle = m_db->handle();
    const auto failed = [&] {
        const OVError error = OVError::database(handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : m_db->lastError());
        readFailed(error);
        return error;
    };
    if (!handle)
        throw failed();

    // Rows without the metric are read too, so the limit counts the same readings as
    // readings(zone, since, limit) does.
    const QByteArray sql = (QStringLiteral("SELECT taken, ") + metric.column() +
                            QStringLiteral(" FROM reading WHERE zone_id = ?") +
                            (since ? QStringLiteral(" AND taken >= ?") : QString()) +
                            QStringLiteral(" ORDER BY taken DESC, id DESC LIMIT ?"))
                               .toUtf8();
    const SQLiteDB::Deadline operation(*m_db);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        throw failed();
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    int index = 1;
    sqlite3_bind_int64(raw, index++, zoneID);
    if (since)
        sqlite3_bind_double(raw, index++, double(since->toMSecsSinceEpoch()) / 1000.0);
    sqlite3_bind_int64(raw, index, limit);

    points.reserve(std::min<qint64>(limit, 100000));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const std::optional<double> value = doubleAt(raw, 1);
        if (!value)
            continue;
        // A damaged time gives no point rather than one placed at 1970.
        const std::optional<double> seconds = doubleAt(raw, 0);
        if (!seconds || !std::isfinite(*seconds) || std::fabs(*seconds) > 9.0e12)
            continue;
        points.append(MetricPoint{instantAt(raw, 0), *value});
    }
    if (rc != SQLITE_DONE)
        throw failed();
    return points;
}

OVStore::ReadSnapshot::ReadSnapshot(const OVStore& store) : m_db(*store.m_db)
{
    try {
        m_db.exec(QStringLiteral("BEGIN DEFERRED"));
        m_open = true;
    } catch (const OVError&) {
        // Already inside a transaction, or closed: the reads go on without a snapshot
        // of their own and report their own failures.
    }
}

OVStore::ReadSnapshot::~ReadSnapshot()
{
    if (!m_open)
        return;
    try {
        m_db.exec(QStringLiteral("COMMIT"));
    } catch (const OVError&) {
        // Ending a transaction that only read cannot lose anything.
    }
}
