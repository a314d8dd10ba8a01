#include "services/OVCSV.h"

#include "records/CNumber.h"
#include "records/SpaceTrim.h"
#include "records/Utf8.h"

#include <QChar>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {

constexpr char16_t kBom = 0xFEFF;

// Up to 4 code units of one scalar; invalid scalars (surrogates, beyond U+10FFFF)
// encode to nothing.
size_t encodeScalar(char32_t c, char* out)
{
    return Utf8::encode(c, out);
}

size_t encodeScalar(char32_t c, char16_t* out)
{
    if (c >= 0xD800 && c <= 0xDFFF)
        return 0;
    if (c < 0x10000) {
        out[0] = char16_t(c);
        return 1;
    }
    if (c > 0x10FFFF)
        return 0;
    c -= 0x10000;
    out[0] = char16_t(0xD800 + (c >> 10));
    out[1] = char16_t(0xDC00 + (c & 0x3FF));
    return 2;
}

bool startsWithBom(std::string_view t)
{
    return t.size() >= 3 && uchar(t[0]) == 0xEF && uchar(t[1]) == 0xBB && uchar(t[2]) == 0xBF;
}
bool startsWithBom(std::u16string_view t) { return !t.empty() && t[0] == kBom; }
size_t bomLength(std::string_view) { return 3; }
size_t bomLength(std::u16string_view) { return 1; }

bool isBlank(std::string_view f) { return OVCSV::trimSpacesUtf8(f).empty(); }
bool isBlank(std::u16string_view f) { return OVCSV::trimSpacesUtf16(f).empty(); }

// A scratch text that lives on the stack for ordinary cells.
class CellBuffer {
public:
    explicit CellBuffer(size_t capacity)
    {
        if (capacity + 1 > sizeof(m_small)) {
            m_big.resize(capacity + 1);
            m_data = m_big.data();
        }
    }
    char* data() { return m_data; }

private:
    char m_small[128];
    std::string m_big;
    char* m_data = m_small;
};

bool asciiEqualsIgnoringCase(const char* a, const char* pattern, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        char x = a[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (x != pattern[i])
            return false;
    }
    return true;
}

// Removes every occurrence of `pattern` (lower-case ASCII letters and UTF-8 bytes),
// ignoring the case of ASCII letters, in one left-to-right pass that does not look
// again at what it has kept.
size_t removeAllIgnoringCase(char* s, size_t len, std::string_view pattern)
{
    size_t w = 0;
    size_t r = 0;
    while (r < len) {
        if (len - r >= pattern.size() && asciiEqualsIgnoringCase(s + r, pattern.data(), pattern.size())) {
            r += pattern.size();
            continue;
        }
        s[w++] = s[r++];
    }
    return w;
}

bool isFastDecimalChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+';
}

} // namespace

// ---------------------------------------------------------------------------
// Trimming (one rule for the whole program, in SpaceTrim)

bool OVCSV::isSpaceOrTab(char32_t c) { return SpaceTrim::isSpaceOrTab(c); }
std::string_view OVCSV::trimSpacesUtf8(std::string_view text) { return SpaceTrim::trimmedUtf8(text); }
std::u16string_view OVCSV::trimSpacesUtf16(std::u16string_view text) { return SpaceTrim::trimmed(text); }
QStringView OVCSV::trimSpaces(QStringView text) { return SpaceTrim::trimmed(text); }

// ---------------------------------------------------------------------------
// Parsing

template <typename Unit>
OVCSV::Scanner<Unit>::Scanner(View text, char32_t separator)
    : m_text(text)
{
    if (startsWithBom(text))
        m_pos = bomLength(text);
    m_sepLen = encodeScalar(separator, m_sep);
    m_fieldsOfRow.emplace_back();
}

template <typename Unit>
bool OVCSV::Scanner<Unit>::matchesSeparator(size_t pos) const
{
    if (m_sepLen == 0 || m_text.size() - pos < m_sepLen)
        return false;
    for (size_t i = 0; i < m_sepLen; ++i)
        if (m_text[pos + i] != m_sep[i])
            return false;
    return true;
}

template <typename Unit>
void OVCSV::Scanner<Unit>::startField()
{
    if (m_fieldsOfRow.size() <= size_t(m_count))
        m_fieldsOfRow.emplace_back();
    Field& f = current();
    f.start = m_pos;
    f.length = 0;
    f.copied = false;
}

template <typename Unit>
bool OVCSV::Scanner<Unit>::next()
{
    const Unit* s = m_text.data();
    const size_t n = m_text.size();
    const Unit quote = Unit('"');
    const Unit cr = Unit('\r');
    const Unit lf = Unit('\n');
    // With no separator (an invalid scalar was given) the first unit can never stop a run.
    const Unit sep0 = m_sepLen ? m_sep[0] : quote;

    while (m_pos < n) {
        m_count = 0;
        m_overflow = Overflow::none;
        startField();
        const int recordLine = m_line;
        const size_t recordStart = m_pos;
        bool begun = false;
        bool inQuotes = false;
        bool lineEnded = false;

        while (m_pos < n) {
            // Past the length limit nothing more is kept; the walk goes on to find
            // where the record ends.
            if (m_overflow == Overflow::none && m_pos - recordStart > maxRecordUnits)
                m_overflow = Overflow::tooLong;
            const bool keep = m_overflow == Overflow::none;
            const Unit c = s[m_pos];
            if (inQuotes) {
                std::basic_string<Unit>& buffer = current().buffer;
                // Never more than the limit's worth at once, so the check above
                // bounds the buffer and a huge cell is still walked only once.
                const size_t stop = std::min(n, m_pos + maxRecordUnits);
                size_t run = m_pos;
                while (run < stop && s[run] != quote && s[run] != cr && s[run] != lf)
                    ++run;
                if (run > m_pos) {
                    if (keep)
                        buffer.append(s + m_pos, run - m_pos);
                    m_pos = run;
                } else if (c == lf) {
                    if (keep)
                        buffer.push_back(lf);
                    ++m_line;
                    ++m_pos;
                } else if (c == cr) {
                    if (m_pos + 1 < n && s[m_pos + 1] == lf) {
                        ++m_pos; // a quoted CR LF arrives as LF alone
                    } else {
                        if (keep)
                            buffer.push_back(cr);
                        ++m_pos;
                    }
                } else if (m_pos + 1 < n && s[m_pos + 1] == quote) {
                    if (keep)
                        buffer.push_back(quote);
                    m_pos += 2;
                } else {
                    inQuotes = false;
                    ++m_pos;
                }
                continue;
            }
            if (c == quote) {
                Field& f = current();
                if (!f.copied) {
                    f.buffer.assign(s + f.start, keep ? f.length : 0);
                    f.copied = true;
                }
                inQuotes = true;
                begun = true;
                ++m_pos;
            } else if (matchesSeparator(m_pos)) {
                m_pos += m_sepLen;
                begun = true;
                if (m_count + 1 < maxFields && keep) {
                    ++m_count;
                    startField();
                } else {
                    // The last field is reused for everything that follows.
                    if (m_overflow == Overflow::none)
                        m_overflow = Overflow::tooManyFields;
                    Field& f = current();
                    f.start = m_pos;
                    f.length = 0;
                    f.copied = false;
                    f.buffer.clear();
                }
            } else if (c == lf) {
                ++m_pos;
                lineEnded = true;
                break;
            } else if (c == cr) {
                ++m_pos;
                if (m_pos < n && s[m_pos] == lf)
                    continue; // dropped; the LF that follows is taken on its own
                lineEnded = true;
                break;
            } else {
                const size_t stop = std::min(n, m_pos + maxRecordUnits);
                size_t run = m_pos + 1;
                while (run < stop && s[run] != quote && s[run] != cr && s[run] != lf && s[run] != sep0)
                    ++run;
                // Outside quotes nothing is dropped inside a field (a dropped CR is
                // always followed by the LF that ends it), so an uncopied field
                // stays one stretch of the text.
                Field& f = current();
                if (f.copied) {
                    if (keep)
                        f.buffer.append(s + m_pos, run - m_pos);
                } else {
                    if (f.length == 0)
                        f.start = m_pos;
                    f.length += run - m_pos;
                }
                begun = true;
                m_pos = run;
            }
        }
        if (m_overflow == Overflow::none && m_pos - recordStart > maxRecordUnits + (lineEnded ? 2 : 0))
            m_overflow = Overflow::tooLong;

        if (!lineEnded && !begun && m_count == 0 && current().length == 0 && !current().copied)
            return false; // nothing but a dropped CR before the end
        ++m_count;
        if (lineEnded)
            ++m_line;
        if (m_count == 1 && m_overflow == Overflow::none && isBlank(field(0)))
            continue;
        m_rowLine = recordLine;
        return true;
    }
    return false;
}

template class OVCSV::Scanner<char>;
template class OVCSV::Scanner<char16_t>;

QList<OVCSV::Row> OVCSV::parse(const QString& text, char32_t separator)
{
    QList<Row> rows;
    Scanner<char16_t> scanner(std::u16string_view(QStringView(text).utf16(), size_t(text.size())), separator);
    while (scanner.next()) {
        Row row;
        row.line = scanner.line();
        row.fields.reserve(scanner.fieldCount());
        for (qsizetype i = 0; i < scanner.fieldCount(); ++i) {
            const auto f = scanner.field(i);
            row.fields.append(QString(reinterpret_cast<const QChar*>(f.data()), qsizetype(f.size())));
        }
        rows.append(std::move(row));
    }
    return rows;
}

// ---------------------------------------------------------------------------
// Writing

QString OVCSV::escape(const QString& field)
{
    if (field.contains(u',') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r')
        || field.startsWith(u' ') || field.endsWith(u' ')) {
        QString quoted = field;
        quoted.replace(u'"', QStringLiteral("\"\""));
        return u'"' + quoted + u'"';
    }
    if (field.startsWith(u'=') || field.startsWith(u'+') || field.startsWith(u'@'))
        return QStringLiteral("\"'") + field + u'"';
    return field;
}

QString OVCSV::write(const QStringList& header, const QList<QStringList>& rows)
{
    static const QString crlf = QStringLiteral("\r\n");
    QString out;
    auto addLine = [&out](const QStringList& fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out += u',';
            out += escape(fields[i]);
        }
        out += crlf;
    };
    addLine(header);
    for (const QStringList& row : rows)
        addLine(row);
    return out;
}

// ---------------------------------------------------------------------------
// Heading keys

QString OVCSV::normalizeHeader(const QString& heading)
{
    QString text = heading.toLower();
    // "℃" and "℉" are the one-character spellings of "°C" and "°F".
    text.replace(QChar(0x2103), u'c');
    text.replace(QChar(0x2109), u'f');
    text.remove(QChar(0x00B0));
    text.replace(QChar(0x2082), u'2');

    QString key;
    key.reserve(text.size());
    bool inRun = false;     // inside a run of characters that became one "_"
    bool lastKept = false;  // the previous character was kept
    const char16_t* p = QStringView(text).utf16();
    const char16_t* end = p + text.size();
    while (p < end) {
        char32_t c = *p;
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && p + 1 < end && QChar::isLowSurrogate(p[1])) {
            c = QChar::surrogateToUcs4(p[0], p[1]);
            units = 2;
        }
        const QChar::Category cat = QChar::category(c);
        // Combining marks and joiners belong to the character before them, as a
        // reader sees one character (an accented letter stays a letter).
        const bool extends = cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining
                             || cat == QChar::Mark_Enclosing || c == 0x200D;
        if (extends && (lastKept || inRun)) {
            if (lastKept)
                key.append(reinterpret_cast<const QChar*>(p), units);
        } else if (!extends && QChar::isLetterOrNumber(c)) {
            key.append(reinterpret_cast<const QChar*>(p), units);
            lastKept = true;
            inRun = false;
        } else {
            if (!inRun)
                key += u'_';
            inRun = true;
            lastKept = false;
        }
        p += units;
    }
    qsizetype b = 0;
    qsizetype e = key.size();
    while (b < e && key[b] == u'_')
        ++b;
    while (e > b && key[e - 1] == u'_')
        --e;
    return key.mid(b, e - b);
}

// ---------------------------------------------------------------------------
// Numbers

std::optional<double> OVCSV::plainNumberUtf8(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const char first = text.front();
    if (first == ' ' || first == '\t' || first == '\n' || first == '\v' || first == '\f' || first == '\r'
        || first == '\0')
        return std::nullopt;

    // The usual logger cell: digits with at most one point, at most 15 digits in
    // all. The digits make an exact integer below 2^53 and the power of ten is
    // exact, so one division gives the correctly rounded value, as strtod would.
    {
        static constexpr double powersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        size_t i = first == '-' ? 1 : 0;
        quint64 mantissa = 0;
        int digits = 0;
        int fractionDigits = 0;
        bool point = false;
        bool simple = i < text.size();
        for (; i < text.size() && simple; ++i) {
            const char c = text[i];
            if (c >= '0' && c <= '9') {
                mantissa = mantissa * 10 + quint64(c - '0');
                ++digits;
                fractionDigits += point;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                simple = false;
            }
        }
        if (simple && digits > 0 && digits <= 15) {
            const double v = double(mantissa) / powersOfTen[fractionDigits];
            return first == '-' ? -v : v;
        }
    }

    // Other plain decimal text goes through from_chars, which reads it exactly as
    // strtod would and needs no copy; anything else takes strtod_l.
    bool plain = first != '+';
    for (char c : text) {
        if (!isFastDecimalChar(c)) {
            plain = false;
            break;
        }
    }
    if (plain) {
        double v = 0;
        const auto res = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
        if (res.ec == std::errc() && res.ptr == text.data() + text.size())
            return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
    }

    // strtod consumes nothing but these (signs, digits, points, exponents, hex
    // digits, and the letters, parentheses and underscores of inf and nan(…));
    // any other character means the text cannot be consumed whole.
    for (char c : text) {
        const bool consumable = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '+'
                                || c == '-' || c == '.' || c == '(' || c == ')' || c == '_';
        if (!consumable)
            return std::nullopt;
    }

    const std::optional<double> v = CNumber::parseWhole(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    return v;
}

std::optional<double> OVCSV::numberUtf8(std::string_view cell)
{
    const std::string_view trimmed = trimSpacesUtf8(cell);
    CellBuffer buf(trimmed.size());
    char* s = buf.data();
    size_t len = 0;
    for (char c : trimmed)
        if (c != '%')
            s[len++] = c;
    static constexpr std::string_view units[] = {"\xC2\xB0"
                                                 "f",
                                                 "\xC2\xB0"
                                                 "c",
                                                 "\xC2\xB0", "ppm", "lux"};
    for (std::string_view unit : units)
        len = removeAllIgnoringCase(s, len, unit);

    std::string_view t = trimSpacesUtf8(std::string_view(s, len));
    if (t.empty())
        return std::nullopt;

    const size_t firstComma = t.find(',');
    if (firstComma != std::string_view::npos) {
        // Pieces between commas, empty ones dropped.
        int pieces = 0;
        size_t secondLen = 0;
        size_t start = 0;
        while (start <= t.size()) {
            size_t stop = t.find(',', start);
            if (stop == std::string_view::npos)
                stop = t.size();
            if (stop > start) {
                ++pieces;
                if (pieces == 2) {
                    // Counted in characters as a reader counts them; only ASCII text
                    // can become a number, so other text may be counted roughly.
                    secondLen = 0;
                    for (size_t i = start; i < stop; ++i)
                        if ((uchar(t[i]) & 0xC0) != 0x80)
                            ++secondLen;
                }
            }
            start = stop + 1;
        }
        const bool decimalComma = pieces == 2 && secondLen != 3 && t.find('.') == std::string_view::npos;
        char* w = const_cast<char*>(t.data()); // t lies inside buf
        size_t n = 0;
        for (char c : t) {
            if (c == ',') {
                if (decimalComma)
                    w[n++] = '.';
            } else {
                w[n++] = c;
            }
        }
        t = std::string_view(w, n);
    }
    return plainNumberUtf8(t);
}

std::optional<double> OVCSV::number(QStringView cell)
{
    const QByteArray utf8 = cell.toUtf8();
    return numberUtf8(std::string_view(utf8.constData(), size_t(utf8.size())));
}
