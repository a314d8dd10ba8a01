#include "store/SQLRow.h"

SQLRow::SQLRow(const QHash<QString, SQLValue>& values)
{
    auto columns = std::make_shared<Columns>();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns->insert(it.key(), m_cells.size());
        m_cells.append(it.value());
    }
    m_columns = std::move(columns);
}

const SQLValue* SQLRow::find(const QString& column) const
{
    if (!m_columns)
        return nullptr;
    const auto it = m_columns->constFind(column);
    return it == m_columns->cend() ? nullptr : &m_cells.at(it.value());
}

std::optional<qint64> SQLRow::intValue(const QString& column) const
{
    const SQLValue* v = find(column);
    return v ? v->toInteger() : std::nullopt;
}

std::optional<double> SQLRow::doubleValue(const QString& column) const
{
    const SQLValue* v = find(column);
    return v ? v->toDouble() : std::nullopt;
}

std::optional<QString> SQLRow::string(const QString& column) const
{
    const SQLValue* v = find(column);
    return v ? v->toText() : std::nullopt;
}

QString SQLRow::str(const QString& column) const
{
    return string(column).value_or(QString());
}

std::optional<QByteArray> SQLRow::data(const QString& column) const
{
    const SQLValue* v = find(column);
    return v ? v->toBlob() : std::nullopt;
}

bool SQLRow::boolValue(const QString& column) const
{
    const SQLValue* v = find(column);
    return v ? v->toBool() : false;
}
