#pragma once
// The shape every stored record type has, so that the store's save, fetch and
// delete are written once as templates:
//
//   id              qint64 row id, 0 while the record is not stored
//   T::table        the table name
//   T::columns()    the table's columns without `id`, in binding order
//   columnValues()  one bindable value per column, same order; NULL for an absent optional
//   T::fromRow(row) the record read from a result row by column name; never fails,
//                   a missing, NULL or unreadable column gives that column's fallback
//   prepare(store)  validation and tidying just before a save; throws OVError::invalid
//
// `prepare` is a member so each type's checks sit next to its fields in the header;
// its definitions live with the store's validation code, which needs OVStore to look
// up linked records. A record read back from the row its own columnValues() wrote
// compares equal to it.

#include "store/SQLRow.h"
#include "store/SQLValue.h"

#include <QString>
#include <QStringList>
#include <concepts>

class OVStore;

template <typename T>
concept OVRecord = std::equality_comparable<T> && std::default_initializable<T> &&
    requires(T record, const T constRecord, const SQLRow& row, OVStore& store) {
        { record.id } -> std::same_as<qint64&>;
        { T::table } -> std::convertible_to<QString>;
        { T::columns() } -> std::same_as<QStringList>;
        { constRecord.columnValues() } -> std::same_as<SQLArgs>;
        { T::fromRow(row) } -> std::same_as<T>;
        record.prepare(store);
    };
