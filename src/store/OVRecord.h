#pragma once
// The shape every stored record type has, so that the store's save, fetch and
// delete are written once as templates:
//
//   id              qint64 row id, 0 while the record is not stored
//   prepare(store)  validation and tidying just before a save; throws OVError::invalid
//   RowMapping<T>   the table, its columns and the two-way row mapping (RowMapping.h)
//
// `prepare` is a member so each type's checks sit next to its fields in the header;
// its definitions live with the store's validation code, which needs OVStore to look
// up linked records.

#include "store/RowMapping.h"
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
        { RowMapping<T>::table } -> std::convertible_to<QString>;
        { RowMapping<T>::columns() } -> std::same_as<QStringList>;
        { RowMapping<T>::values(constRecord) } -> std::same_as<SQLArgs>;
        { RowMapping<T>::fromRow(row) } -> std::same_as<T>;
        record.prepare(store);
    };
