// The two writes that touch more than one row: completing a task and the bulk
// import of climate readings. Each runs in one BEGIN IMMEDIATE transaction, so a
// second process writing the same file waits (up to the busy timeout) instead of
// interleaving, and a failure leaves the file as it was before the call.

#include "store/OVStore.h"
#include "store/ReadingCheck.h"

#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The single integer of a one-column, one-row answer; 0 when there is none.
qint64 firstInteger(const QList<SQLRow>& rows)
{
    if (rows.isEmpty() || rows.first().isEmpty())
        return 0;
    return rows.first().cell(0).toInteger().value_or(0);
}

// The same-minute test of the bulk import, run once per reading. It is bound and read
// on the engine's interface directly: the general statement's argument list and
// named result rows cost more than the indexed count itself, and a file brings a
// million of them.
class MinuteCount {
public:
    explicit MinuteCount(sqlite3* db)
    {
        if (!db)
            throw OVError::database(QStringLiteral("closed"));
        if (sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM reading WHERE zone_id = ? AND taken >= ? AND taken < ?",
                               -1, &m_stmt, nullptr)
            != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(m_stmt);
            throw OVError::database(message);
        }
    }
    ~MinuteCount() { sqlite3_finalize(m_stmt); }
    MinuteCount(const MinuteCount&) = delete;
    MinuteCount& operator=(const MinuteCount&) = delete;

    // Readings of the zone from `minute` for 60 seconds; 0 when the count fails.
    qint64 operator()(qint64 zoneID, double minute)
    {
        sqlite3_bind_int64(m_stmt, 1, zoneID);
        sqlite3_bind_double(m_stmt, 2, minute);
        sqlite3_bind_double(m_stmt, 3, minute + 60.0);
        const qint64 n = sqlite3_step(m_stmt) == SQLITE_ROW ? sqlite3_column_int64(m_stmt, 0) : 0;
        sqlite3_reset(m_stmt);
        return n;
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace

void OVStore::markDone(const OVTask& task, const QDateTime& at, const QString& note)
{
    db().transaction([&] {
        // The stored row, read under the write lock, decides: the caller's copy may be
        // stale, and no other writer can move last_done between the read and the update.
        const QList<OVTask> stored = fetch<OVTask>(QStringLiteral("id = ?"), {task.id});
        if (stored.isEmpty())
            throw OVError::notFound();
        const OVTask& current = stored.first();

        db().run(QStringLiteral("INSERT INTO task_log (task_id, done_at, note) VALUES (?, ?, ?)"),
                 {current.id, at, note});
        // A late entry joins the history without moving last_done back.
        const QDateTime lastDone =
            (!current.lastDone || *current.lastDone < at) ? at : *current.lastDone;
        SQLArgs update;
        update.emplace_back(lastDone);
        update.emplace_back(current.id);
        db().run(QStringLiteral("UPDATE task SET last_done = ? WHERE id = ?"), update);
    });
    changed();
}

OVStore::ImportCounts OVStore::addReadings(const QList<Reading>& readings)
{
    qsizetype next = 0;
    return addReadingsFrom([&]() -> const Reading* {
        return next < readings.size() ? &readings[next++] : nullptr;
    });
}

OVStore::ImportCounts OVStore::addReadingsFrom(const std::function<const Reading*()>& next)
{
    ImportCounts counts;
    db().transaction([&] {
        // Each statement is compiled once for the whole batch.
        SQLiteDB::Statement zoneCount = db().prepare(QStringLiteral("SELECT count(*) FROM zone WHERE id = ?"));
        MinuteCount minuteCount(db().handle());
        QStringList marks;
        const QStringList columns = RowMapping<Reading>::columns();
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        SQLiteDB::Statement insert = db().prepare(QStringLiteral("INSERT INTO reading (") +
                                                  columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                                                  marks.join(QStringLiteral(", ")) + QStringLiteral(")"));

        // No zone can appear or vanish while this transaction holds the write lock, so
        // each zone is looked up once.
        QHash<qint64, bool> zoneKnown;
        const auto zoneExists = [&](qint64 zoneID) {
            const auto known = zoneKnown.constFind(zoneID);
            if (known != zoneKnown.cend())
                return *known;
            const bool exists = firstInteger(zoneCount.query({zoneID})) > 0;
            zoneKnown.insert(zoneID, exists);
            return exists;
        };

        // The latest instant each zone holds, stored before this batch or added in it. No
        // reading of a zone can lie in a minute that starts after that instant, so such a
        // reading needs no count: a logger file in time order then costs one index probe
        // per zone instead of one per row, with the same outcome. Whatever cannot be
        // read as a number here reads as "later than everything", leaving it to the count.
        constexpr double unknown = std::numeric_limits<double>::infinity();
        SQLiteDB::Statement latestQuery =
            db().prepare(QStringLiteral("SELECT max(taken) AS latest FROM reading WHERE zone_id = ?"));
        QHash<qint64, double> latestOfZone;
        const auto latest = [&](qint64 zoneID) -> double& {
            auto known = latestOfZone.find(zoneID);
            if (known == latestOfZone.end()) {
                double value = unknown;
                try {
                    const QList<SQLRow> rows = latestQuery.query({zoneID});
                    if (!rows.isEmpty()) {
                        const SQLValue stored = rows.first().value(QStringLiteral("latest"));
                        if (stored.isNull())
                            value = -unknown; // the zone holds no reading yet
                        else if (stored.type() == SQLValue::Type::real || stored.type() == SQLValue::Type::integer)
                            value = stored.toDouble().value_or(unknown);
                        // A text sorts after every number, so it hides the true latest.
                    }
                } catch (const OVError&) {
                    value = unknown;
                }
                known = latestOfZone.insert(zoneID, value);
            }
            return *known;
        };

        while (const Reading* reading = next()) {
            ReadingCheck::validate(*reading, zoneExists);

            // The clock minute in UTC; the stored instant keeps its exact value.
            const SQLValue taken(reading->taken);
            if (!taken.isNull()) {
                const double seconds = taken.asReal();
                const double minute = std::floor(seconds / 60.0) * 60.0;
                double& zoneLatest = latest(reading->zoneID);
                // An unreadable count reads as 0: the reading is stored rather than lost.
                if (minute <= zoneLatest && minuteCount(reading->zoneID, minute) > 0) {
                    ++counts.duplicates;
                    continue;
                }
                insert.run(RowMapping<Reading>::values(*reading));
                zoneLatest = std::max(zoneLatest, seconds);
            } else {
                insert.run(RowMapping<Reading>::values(*reading));
            }
            ++counts.added;
        }
    });
    changed();
    return counts;
}
