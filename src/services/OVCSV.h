#pragma once
// The one CSV codec of the program: splits CSV text into rows that remember the
// physical line on which they began, writes rows back as CSV, quotes single
// fields (with a guard against spreadsheet formulas), turns column headings into
// plain keys and reads numbers the way growers and loggers write them.
//
// Invariants:
// - Nothing here keeps state or touches files; text in, text out.
// - Parsing walks the text exactly once, front to back. `Scanner` is the streaming
//   form used for large files: it hands out one record at a time and reuses its
//   field buffers, so a file of a million rows costs no per-cell allocation.
// - What one record may cost is bounded: it keeps at most `maxFields` fields and
//   `maxRecordUnits` code units of text. A record beyond either is still walked to
//   its end (so the records after it are found as usual) but is marked overflowed,
//   its fields cut short; a file of any shape costs memory in proportion to one
//   bounded record.
// - Written CSV uses "," between fields and ends every line, the last one too,
//   with CR LF.
// - Numbers are read in the C locale, whatever the user's locale is.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class OVCSV {
public:
    // One parsed row: `line` is the 1-based physical line of the row's first
    // character; `fields` are unquoted and untrimmed (and cut short for a row beyond
    // the limits below).
    struct Row {
        int line = 0;
        QStringList fields;
        bool operator==(const Row&) const = default;
    };

    static QList<Row> parse(const QString& text, char32_t separator = U',');
    static QString write(const QStringList& header, const QList<QStringList>& rows);
    static QString escape(const QString& field);
    static QString normalizeHeader(const QString& heading);
    static std::optional<double> number(QStringView cell);

    // number() on UTF-8 text; the form the large-file reader uses, free of
    // allocations for ordinary cells.
    static std::optional<double> numberUtf8(std::string_view cell);

    // The whole text as a C-locale floating-point number (strtod syntax: sign,
    // decimal or hexadecimal forms), nothing skipped before or after it. Infinite
    // and not-a-number results give nothing.
    static std::optional<double> plainNumberUtf8(std::string_view text);

    // Trimming of "spaces and tabs": the tab and every Unicode space separator
    // (U+0020, U+00A0, U+2000…U+200A and the like) at both ends; never a line break.
    static bool isSpaceOrTab(char32_t c);
    static QStringView trimSpaces(QStringView text);
    static std::string_view trimSpacesUtf8(std::string_view text);
    static std::u16string_view trimSpacesUtf16(std::u16string_view text);

    // Streaming reader over UTF-16 (char16_t) or UTF-8 (char) text. The views that
    // field() returns stay valid until the next call of next(). The text must
    // outlive the scanner.
    static constexpr qsizetype maxFields = 1000;
    static constexpr size_t maxRecordUnits = size_t(1) << 20; // 1 MB of UTF-8

    // Why a record was cut short.
    enum class Overflow { none, tooManyFields, tooLong };

    template <typename Unit>
    class Scanner {
    public:
        using View = std::basic_string_view<Unit>;
        Scanner(View text, char32_t separator);

        // Moves to the next row that is not blank; false at the end of the text.
        bool next();
        int line() const { return m_rowLine; }
        // Whether the current row went past maxFields or maxRecordUnits (the first
        // limit reached); its fields are then incomplete.
        Overflow overflow() const { return m_overflow; }
        qsizetype fieldCount() const { return m_count; }
        View field(qsizetype i) const
        {
            if (i < 0 || i >= m_count)
                return View();
            const Field& f = m_fieldsOfRow[size_t(i)];
            return f.copied ? View(f.buffer) : m_text.substr(f.start, f.length);
        }

    private:
        // A field is a stretch of the text until a quote turns up in it; from then
        // on it is copied into its buffer. Most cells are never copied.
        struct Field {
            size_t start = 0;
            size_t length = 0;
            bool copied = false;
            std::basic_string<Unit> buffer; // capacity kept from row to row
        };
        Field& current() { return m_fieldsOfRow[size_t(m_count)]; }
        void startField();
        bool matchesSeparator(size_t pos) const;

        View m_text;
        size_t m_pos = 0;
        Unit m_sep[4] = {};
        size_t m_sepLen = 0;
        int m_line = 1;
        int m_rowLine = 0;
        // m_fieldsOfRow[m_count] is the field being read.
        std::vector<Field> m_fieldsOfRow;
        qsizetype m_count = 0;
        Overflow m_overflow = Overflow::none;
    };
};

extern template class OVCSV::Scanner<char>;
extern template class OVCSV::Scanner<char16_t>;
