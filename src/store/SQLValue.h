#pragma once
// One SQLite value: an integer, a real, a text, a blob or NULL, and the argument
// list that statements bind position by position.
//
// Values convert implicitly from the types records hold, so an argument list is
// written as it reads:  db.run(sql, {name, zoneID, std::nullopt, taken, photoBytes});
//   - integers (bool as 1/0; unsigned values above the 64-bit range as decimal text)
//   - float and double
//   - QString, UTF-8 const char* and std::string (text; an embedded NUL is kept)
//   - QByteArray (blob; an empty array is a zero-length blob, not NULL)
//   - QDateTime (REAL seconds since 1970-01-01 UTC with fractions; invalid -> NULL)
//   - std::optional of any of these (empty -> NULL), nullptr, std::nullopt
// A type not in this list does not compile: convert it to one of them first.
//
// The to…() conversions are the readers' rules (SQLRow uses them); they never fail
// and give nothing when the value does not read as the asked-for type.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

class SQLValue {
public:
    // In the order of SQLite's storage classes as the store names them.
    enum class Type { integer, real, text, blob, null };

    SQLValue() noexcept = default;
    SQLValue(std::nullptr_t) noexcept {}
    SQLValue(std::nullopt_t) noexcept {}

    template <typename T>
        requires std::integral<T> && (!std::is_same_v<T, char>) && (!std::is_same_v<T, wchar_t>) &&
                 (!std::is_same_v<T, char8_t>) && (!std::is_same_v<T, char16_t>) &&
                 (!std::is_same_v<T, char32_t>)
    SQLValue(T v)
    {
        if constexpr (std::is_same_v<T, bool>) {
            m_value = qint64(v ? 1 : 0);
        } else if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(qint64)) {
            if (v > T(std::numeric_limits<qint64>::max()))
                m_value = QString::number(v);
            else
                m_value = qint64(v);
        } else {
            m_value = qint64(v);
        }
    }

    template <std::floating_point T>
    SQLValue(T v) : m_value(double(v))
    {
    }

    SQLValue(const QString& text) : m_value(text) {}
    SQLValue(QString&& text) : m_value(std::move(text)) {}
    SQLValue(const char* utf8)
    {
        if (utf8)
            m_value = QString::fromUtf8(utf8);
    }
    SQLValue(const std::string& utf8)
        : m_value(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())))
    {
    }
    SQLValue(const QByteArray& bytes) : m_value(bytes) {}
    SQLValue(const QDateTime& instant)
    {
        if (instant.isValid())
            m_value = double(instant.toMSecsSinceEpoch()) / 1000.0;
    }

    template <typename T>
        requires std::constructible_from<SQLValue, const T&>
    SQLValue(const std::optional<T>& v)
    {
        if (v)
            *this = SQLValue(*v);
    }

    // Named makers, for when the C++ type alone would pick another class.
    static SQLValue integer(qint64 v) { return SQLValue(v); }
    static SQLValue real(double v) { return SQLValue(v); }
    static SQLValue text(const QString& v) { return SQLValue(v); }
    static SQLValue blob(const QByteArray& v) { return SQLValue(v); }
    static SQLValue null() { return SQLValue(); }

    Type type() const noexcept { return static_cast<Type>(m_value.index()); }
    bool isNull() const noexcept { return type() == Type::null; }

    // The payload as stored; the type's empty value when the class differs.
    qint64 asInteger() const noexcept;
    double asReal() const noexcept;
    QString asText() const;
    QByteArray asBlob() const;

    // Integer: an integer as it is; a real truncated toward zero (nothing when it is
    // not finite or lies outside the 64-bit range); a text of an optional sign and
    // decimal digits only, within range; nothing for blob and NULL.
    std::optional<qint64> toInteger() const;
    // Double: a number as a double; a text that is wholly a number in the C locale
    // (no surrounding blanks); nothing for blob and NULL.
    std::optional<double> toDouble() const;
    // Text: an integer in decimal, a real in its shortest round-trip form with ".0"
    // added to whole numbers ("2.0", "0.1"), a text as it is; nothing for blob and NULL.
    std::optional<QString> toText() const;
    // Blob: the bytes; nothing for the other classes.
    std::optional<QByteArray> toBlob() const;
    // Boolean: an integer or a truncated real other than 0, or a text that reads as
    // such an integer ("1" true, "yes" false); false otherwise.
    bool toBool() const;

    // Same class and equal payload (a NaN real equals nothing, as in IEEE arithmetic).
    bool operator==(const SQLValue& other) const { return m_value == other.m_value; }

    // The shortest text that reads back as the same double, ".0" added to whole numbers.
    static QString realText(double v);
    // Strict base-10 integer parse: optional sign, one or more ASCII digits, in range.
    static std::optional<qint64> parseInteger(const QString& text);
    // Whole-text floating-point parse in the C locale.
    static std::optional<double> parseDouble(const QString& text);

private:
    std::variant<qint64, double, QString, QByteArray, std::monostate> m_value{std::monostate{}};
};

// The positional arguments of a statement: element i binds to the (i+1)-th "?".
using SQLArgs = std::vector<SQLValue>;
