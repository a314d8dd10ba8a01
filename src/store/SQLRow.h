#pragma once
// One result row read by column name. The rows of one query share a single
// name-to-position table, so a row costs one list of values; when a query returns two
// columns of the same name, the later one's value is the one read.
// The readers never fail: an absent column, NULL or a value that does not read as
// the asked-for type gives nothing, the empty text or false.

#include "store/SQLValue.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class SQLRow {
public:
    using Columns = QHash<QString, qsizetype>;

    SQLRow() = default;
    explicit SQLRow(const QHash<QString, SQLValue>& values);
    SQLRow(std::shared_ptr<const Columns> columns, QList<SQLValue> cells)
        : m_columns(std::move(columns)), m_cells(std::move(cells))
    {
    }

    // Distinct column names.
    qsizetype size() const { return m_columns ? m_columns->size() : 0; }
    bool isEmpty() const { return size() == 0; }
    // The value at a result position; NULL outside the row.
    SQLValue cell(qsizetype position) const { return m_cells.value(position); }

    bool contains(const QString& column) const { return find(column) != nullptr; }
    // The stored value; NULL when the column is absent.
    SQLValue value(const QString& column) const
    {
        const SQLValue* v = find(column);
        return v ? *v : SQLValue();
    }

    std::optional<qint64> intValue(const QString& column) const;
    std::optional<double> doubleValue(const QString& column) const;
    std::optional<QString> string(const QString& column) const;
    // string(), or "" (also for a blob).
    QString str(const QString& column) const;
    std::optional<QByteArray> data(const QString& column) const;
    bool boolValue(const QString& column) const;

private:
    const SQLValue* find(const QString& column) const;

    std::shared_ptr<const Columns> m_columns;
    QList<SQLValue> m_cells;
};
