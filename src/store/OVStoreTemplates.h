#pragma once
// The generic record operations of OVStore, written once over the OVRecord concept.
// Included at the end of OVStore.h; include OVStore.h, not this file.
//
// SQL is built from each type's table name and column list (RowMapping.h) on every
// call; nothing is cached, so a call always sees the database as it is now. Every write that succeeds
// ends with exactly one changed(); one that throws leaves revision alone.

#include "store/OVStore.h"

template <typename T>
void OVStore::save(T& record)
{
    static_assert(OVRecord<T>, "save() takes one of the stored record types");
    // The checks' look-ups and the write wait for other processes' locks together.
    const SQLiteDB::Deadline operation(db());
    // A check that could not read must neither refuse for the wrong reason ("That plant
    // no longer exists.") nor pass and drop a link it could not confirm: the save
    // fails with the read's own error, and the record is handed back as it came.
    {
        const T given = record;
        const ReadWatch reads(*this);
        const auto readFailure = [&] {
            record = given;
            return OVError::database(reads.reason());
        };
        try {
            record.prepare(*this);
        } catch (const OVError&) {
            if (reads.failed())
                throw readFailure();
            throw;
        }
        if (reads.failed())
            throw readFailure();
    }

    using Mapping = RowMapping<T>;
    const QStringList columns = Mapping::columns();
    SQLArgs values = Mapping::values(record);
    if (record.id == 0) {
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        const QString sql = QStringLiteral("INSERT INTO ") + Mapping::table + QStringLiteral(" (") +
                            columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                            marks.join(QStringLiteral(", ")) + QStringLiteral(")");
        const qint64 newID = db().run(sql, values);
        record.id = newID;
    } else {
        QStringList assignments;
        for (const QString& column : columns)
            assignments.append(column + QStringLiteral(" = ?"));
        const QString sql = QStringLiteral("UPDATE ") + Mapping::table + QStringLiteral(" SET ") +
                            assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE id = ?");
        values.push_back(record.id);
        db().run(sql, values);
        // The row count of the UPDATE itself is the one answer that cannot go stale:
        // another process may delete the row at any moment before it runs.
        if (db().changes() != 1)
            throw OVError::notFound();
    }
    changed();
}

template <typename T>
void OVStore::remove(qint64 id)
{
    static_assert(OVRecord<T>, "remove() takes one of the stored record types");
    db().run(QStringLiteral("DELETE FROM ") + RowMapping<T>::table + QStringLiteral(" WHERE id = ?"), {id});
    changed();
}

template <typename T>
QList<T> OVStore::fetch(const QString& where, const SQLArgs& args, const QString& order) const
{
    static_assert(OVRecord<T>, "fetch() takes one of the stored record types");
    try {
        return fetchOrThrow<T>(where, args, order);
    } catch (const OVError&) {
        return {}; // already handed to the watches
    }
}

template <typename T>
QList<T> OVStore::fetchOrThrow(const QString& where, const SQLArgs& args, const QString& order) const
{
    QString sql = QStringLiteral("SELECT * FROM ") + RowMapping<T>::table;
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    sql += QStringLiteral(" ORDER BY ") + order;
    QList<SQLRow> rows;
    try {
        rows = m_db->query(sql, args);
    } catch (const OVError& error) {
        readFailed(error);
        throw;
    }
    QList<T> records;
    records.reserve(rows.size());
    for (const SQLRow& row : rows)
        records.append(RowMapping<T>::fromRow(row));
    return records;
}

template <typename T>
std::optional<T> OVStore::get(std::optional<qint64> id) const
{
    if (!id)
        return std::nullopt;
    const QList<T> found = fetch<T>(QStringLiteral("id = ?"), {*id}, QStringLiteral("id"));
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}
