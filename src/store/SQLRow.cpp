#include "store/SQLRow.h"

namespace {

const SQLValue* find(const QHash<QString, SQLValue>& values, const QString& column)
{
    const auto it = values.constFind(column);
    return it == values.cend() ? nullptr : &it.value();
}

} // namespace

std::optional<qint64> SQLRow::intValue(const QString& column) const
{
    const SQLValue* v = find(values, column);
    return v ? v->toInteger() : std::nullopt;
}

std::optional<double> SQLRow::doubleValue(const QString& column) const
{
    const SQLValue* v = find(values, column);
    return v ? v->toDouble() : std::nullopt;
}

std::optional<QString> SQLRow::string(const QString& column) const
{
    const SQLValue* v = find(values, column);
    return v ? v->toText() : std::nullopt;
}

QString SQLRow::str(const QString& column) const
{
    return string(column).value_or(QString());
}

std::optional<QByteArray> SQLRow::data(const QString& column) const
{
    const SQLValue* v = find(values, column);
    return v ? v->toBlob() : std::nullopt;
}

bool SQLRow::boolValue(const QString& column) const
{
    const SQLValue* v = find(values, column);
    return v ? v->toBool() : false;
}
