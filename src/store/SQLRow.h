#pragma once
// One result row read by column name. It keeps no column order; when a query
// returns two columns of the same name, the later one's value is the one kept.
// The readers never fail: an absent column, NULL or a value that does not read as
// the asked-for type gives nothing, the empty text or false.

#include "store/SQLValue.h"

#include <QHash>
#include <QString>

#include <optional>

class SQLRow {
public:
    SQLRow() = default;
    explicit SQLRow(QHash<QString, SQLValue> values) : values(std::move(values)) {}

    QHash<QString, SQLValue> values;

    bool contains(const QString& column) const { return values.contains(column); }
    // The stored value; NULL when the column is absent.
    SQLValue value(const QString& column) const { return values.value(column); }

    std::optional<qint64> intValue(const QString& column) const;
    std::optional<double> doubleValue(const QString& column) const;
    std::optional<QString> string(const QString& column) const;
    // string(), or "" (also for a blob).
    QString str(const QString& column) const;
    std::optional<QByteArray> data(const QString& column) const;
    bool boolValue(const QString& column) const;
};
