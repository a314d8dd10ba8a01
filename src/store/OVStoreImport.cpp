// The two writes that touch more than one row: completing a task and the bulk
// import of climate readings. Each runs in one BEGIN IMMEDIATE transaction, so a
// second process writing the same file waits (up to the busy timeout) instead of
// interleaving, and a failure leaves the file as it was before the call.

#include "store/OVStore.h"
#include "store/ReadingCheck.h"

#include <QHash>

#include <cmath>

namespace {

// The single integer of a one-column, one-row answer; 0 when there is none.
qint64 firstInteger(const QList<SQLRow>& rows)
{
    if (rows.isEmpty() || rows.first().values.isEmpty())
        return 0;
    return rows.first().values.cbegin().value().toInteger().value_or(0);
}

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
        SQLiteDB::Statement minuteCount = db().prepare(
            QStringLiteral("SELECT count(*) FROM reading WHERE zone_id = ? AND taken >= ? AND taken < ?"));
        QStringList marks;
        const QStringList columns = Reading::columns();
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

        while (const Reading* reading = next()) {
            ReadingCheck::validate(*reading, zoneExists);

            // The clock minute in UTC; the stored instant keeps its exact value.
            const SQLValue taken(reading->taken);
            if (!taken.isNull()) {
                const double minute = std::floor(taken.asReal() / 60.0) * 60.0;
                qint64 already = 0;
                try {
                    already = firstInteger(minuteCount.query({reading->zoneID, minute, minute + 60.0}));
                } catch (const OVError&) {
                    already = 0; // an unreadable count stores the reading rather than losing it
                }
                if (already > 0) {
                    ++counts.duplicates;
                    continue;
                }
            }
            insert.run(reading->columnValues());
            ++counts.added;
        }
    });
    changed();
    return counts;
}
