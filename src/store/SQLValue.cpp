#include "store/SQLValue.h"

#include "records/CNumber.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

// 2^63 as a double: the first value past the 64-bit range on either side's magnitude.
constexpr double twoTo63 = 9223372036854775808.0;

std::optional<qint64> truncated(double v)
{
    if (!std::isfinite(v) || v >= twoTo63 || v < -twoTo63)
        return std::nullopt;
    return static_cast<qint64>(v); // truncates toward zero
}


} // namespace

qint64 SQLValue::asInteger() const noexcept
{
    const auto* v = std::get_if<qint64>(&m_value);
    return v ? *v : 0;
}

double SQLValue::asReal() const noexcept
{
    const auto* v = std::get_if<double>(&m_value);
    return v ? *v : 0.0;
}

QString SQLValue::asText() const
{
    const auto* v = std::get_if<QString>(&m_value);
    return v ? *v : QString();
}

QByteArray SQLValue::asBlob() const
{
    const auto* v = std::get_if<QByteArray>(&m_value);
    return v ? *v : QByteArray();
}

std::optional<qint64> SQLValue::toInteger() const
{
    switch (type()) {
    case Type::integer:
        return asInteger();
    case Type::real:
        return truncated(asReal());
    case Type::text:
        return parseInteger(std::get<QString>(m_value));
    case Type::blob:
    case Type::null:
        break;
    }
    return std::nullopt;
}

std::optional<double> SQLValue::toDouble() const
{
    switch (type()) {
    case Type::integer:
        return double(asInteger());
    case Type::real:
        return asReal();
    case Type::text:
        return parseDouble(std::get<QString>(m_value));
    case Type::blob:
    case Type::null:
        break;
    }
    return std::nullopt;
}

std::optional<QString> SQLValue::toText() const
{
    switch (type()) {
    case Type::integer:
        return QString::number(asInteger());
    case Type::real:
        return realText(asReal());
    case Type::text:
        return std::get<QString>(m_value);
    case Type::blob:
    case Type::null:
        break;
    }
    return std::nullopt;
}

std::optional<QByteArray> SQLValue::toBlob() const
{
    if (const auto* v = std::get_if<QByteArray>(&m_value))
        return *v;
    return std::nullopt;
}

bool SQLValue::toBool() const
{
    switch (type()) {
    case Type::integer:
        return asInteger() != 0;
    case Type::real: {
        // NaN reads as false; infinities and finite values beyond the range truncate
        // to something other than zero.
        const double v = asReal();
        return !std::isnan(v) && std::fabs(v) >= 1.0;
    }
    case Type::text: {
        const auto n = parseInteger(std::get<QString>(m_value));
        return n && *n != 0;
    }
    case Type::blob:
    case Type::null:
        break;
    }
    return false;
}

QString SQLValue::realText(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    QString text = QString::fromLatin1(buf, res.ptr - buf);
    bool plain = true;
    for (const QChar c : text) {
        if (c == u'.' || c == u'e' || c == u'n' || c == u'i') { // fraction, exponent, nan, inf
            plain = false;
            break;
        }
    }
    if (plain)
        text += QStringLiteral(".0");
    return text;
}

std::optional<qint64> SQLValue::parseInteger(const QString& text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::string digits = negative ? "-" : "";
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits.push_back(char(c));
    }
    qint64 value = 0;
    const auto res = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (res.ec != std::errc() || res.ptr != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::optional<double> SQLValue::parseDouble(const QString& text)
{
    if (text.isEmpty() || text.front().isSpace())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    return CNumber::parseWhole(std::string_view(utf8.constData(), size_t(utf8.size())));
}
