#include "services/ClimateCSV.h"

#include "records/Utf8.h"
#include "services/DatePatternMatcher.h"
#include "services/OVCSV.h"
#include "store/OVStore.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <map>
#include <new>
#include <cmath>
#include <string>
#include <string_view>
#include <type_traits>

const QStringList ClimateCSV::timeHeaders = {
    QStringLiteral("timestamp"),    QStringLiteral("date_time"), QStringLiteral("datetime"),
    QStringLiteral("time_stamp"),   QStringLiteral("reading_time"), QStringLiteral("when"),
    QStringLiteral("logged"),       QStringLiteral("date_and_time")};
const QStringList ClimateCSV::dateOnlyHeaders = {QStringLiteral("date"), QStringLiteral("day")};
const QStringList ClimateCSV::timeOnlyHeaders = {QStringLiteral("time"), QStringLiteral("clock")};
const QStringList ClimateCSV::zoneHeaders = {QStringLiteral("zone"), QStringLiteral("zone_name"),
                                             QStringLiteral("location"), QStringLiteral("area"),
                                             QStringLiteral("greenhouse_zone")};
const QStringList ClimateCSV::noteHeaders = {QStringLiteral("note"), QStringLiteral("notes"),
                                             QStringLiteral("comment"), QStringLiteral("comments")};
const QStringList ClimateCSV::dateFormats = {
    QStringLiteral("yyyy-MM-dd HH:mm:ss"),
    QStringLiteral("yyyy-MM-dd HH:mm"),
    QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"),
    QStringLiteral("yyyy-MM-dd'T'HH:mm"),
    QStringLiteral("yyyy-MM-dd'T'HH:mm:ssXXXXX"),
    QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.SSSXXXXX"),
    QStringLiteral("yyyy/MM/dd HH:mm:ss"),
    QStringLiteral("yyyy/MM/dd HH:mm"),
    QStringLiteral("M/d/yyyy H:mm:ss"),
    QStringLiteral("M/d/yyyy H:mm"),
    QStringLiteral("M/d/yyyy h:mm:ss a"),
    QStringLiteral("M/d/yyyy h:mm a"),
    QStringLiteral("M/d/yy H:mm"),
    QStringLiteral("M/d/yy h:mm a"),
    QStringLiteral("yyyy-MM-dd"),
    QStringLiteral("M/d/yyyy"),
};
const QString ClimateCSV::templateText = QStringLiteral(
    "timestamp,zone,temp_f,humidity,light,co2,soil_moisture,soil_temp_f,ph,ec,note\r\n"
    "2026-10-24 07:00,Propagation,64.5,78,1200,450,42,62,6.2,1.4,Morning check\r\n");

namespace {

// Metric synonyms, in the order they are searched: soil temperature before air
// temperature, so "soil_temp" never reads as a plain temperature.
struct Synonyms {
    Metric::Case metric;
    std::array<const char16_t*, 6> keys; // unused places stay null
};
const std::array<Synonyms, 8>& synonymTable()
{
    static const std::array<Synonyms, 8> table{{
        {Metric::soilTemp, {u"soil_temp", u"soil_temperature", u"root_zone_temp", u"media_temp", u"substrate_temp"}},
        {Metric::temp, {u"temp", u"temperature", u"air_temp", u"air_temperature", u"t"}},
        {Metric::humidity, {u"humidity", u"rh", u"relative_humidity", u"humidity_rh", u"hum"}},
        {Metric::light, {u"light", u"lux", u"light_lux", u"illuminance", u"light_level"}},
        {Metric::co2, {u"co2", u"co2_ppm", u"carbon_dioxide"}},
        {Metric::soilMoisture,
         {u"soil_moisture", u"moisture", u"vwc", u"soil_water", u"soil_vwc", u"substrate_moisture"}},
        {Metric::ph, {u"ph", u"soil_ph", u"solution_ph"}},
        {Metric::ec, {u"ec", u"soil_ec", u"solution_ec", u"ec_ms_cm", u"ec_mscm", u"conductivity"}},
    }};
    return table;
}

const QString& csvSource()
{
    static const QString source = QStringLiteral("csv"); // shared by every reading
    return source;
}

// --- Text helpers for both code-unit widths -----------------------------------

QString toQString(std::string_view v)
{
    // fromUtf8() would drop a leading U+FEFF, which inside a file is text like any other.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(v.data(), qsizetype(v.size())));
}
QString toQString(std::u16string_view v)
{
    return QString(reinterpret_cast<const QChar*>(v.data()), qsizetype(v.size()));
}

std::string_view trim(std::string_view v) { return OVCSV::trimSpacesUtf8(v); }
std::u16string_view trim(std::u16string_view v) { return OVCSV::trimSpacesUtf16(v); }

void appendUtf8(std::string& out, std::string_view v) { out.append(v); }
void appendUtf8(std::string& out, std::u16string_view v) { Utf8::append(out, v); }

// Cells that stand for "no value": "na", "n/a", "-", "--", "null" in any case.
template <typename Unit>
bool isEmptyMarker(std::basic_string_view<Unit> cell)
{
    static constexpr std::string_view markers[] = {"na", "n/a", "-", "--", "null"};
    if (cell.size() > 4)
        return false;
    for (std::string_view m : markers) {
        if (m.size() != cell.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < m.size() && same; ++i) {
            char32_t c = cell[i];
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
            same = c == char32_t(uchar(m[i]));
        }
        if (same)
            return true;
    }
    return false;
}

// A temperature cell read with the unit it names, if it names one: "21 °C", "70°f",
// "21℃", "70 ℉". OVCSV::numberUtf8 drops a written unit and would leave the number
// to the column's unit; here the cell's own unit decides. `celsius` is true for °C,
// false for °F, absent when the cell names neither; a cell naming both is no number.
struct CellTemperature {
    std::optional<double> value;
    std::optional<bool> celsius;
};

CellTemperature temperatureUtf8(std::string_view cell, std::string& scratch)
{
    // Units are all outside ASCII: a plain cell goes straight to the number reader.
    if (std::none_of(cell.begin(), cell.end(), [](char c) { return uchar(c) >= 0x80; }))
        return {OVCSV::numberUtf8(cell), std::nullopt};
    static constexpr std::string_view degree = "\xC2\xB0";  // °
    static constexpr std::string_view celsiusSign = "\xE2\x84\x83";    // ℃
    static constexpr std::string_view fahrenheitSign = "\xE2\x84\x89"; // ℉
    bool celsius = false;
    bool fahrenheit = false;
    scratch.clear();
    for (size_t i = 0; i < cell.size();) {
        const std::string_view rest = cell.substr(i);
        if (rest.starts_with(celsiusSign) || rest.starts_with(fahrenheitSign)) {
            (rest.starts_with(celsiusSign) ? celsius : fahrenheit) = true;
            i += celsiusSign.size();
            continue;
        }
        if (rest.starts_with(degree) && rest.size() > degree.size()) {
            const char letter = char(rest[degree.size()] | 0x20);
            if (letter == 'c' || letter == 'f') {
                (letter == 'c' ? celsius : fahrenheit) = true;
                i += degree.size() + 1;
                continue;
            }
        }
        scratch.push_back(cell[i++]);
    }
    if (!celsius && !fahrenheit)
        return {OVCSV::numberUtf8(cell), std::nullopt};
    if (celsius && fahrenheit)
        return {};
    return {OVCSV::numberUtf8(scratch), celsius};
}

// The separator of a file, from its first line that holds anything.
template <typename Unit>
char32_t guessSeparator(std::basic_string_view<Unit> text)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(Unit('\n'), start);
        if (end == std::basic_string_view<Unit>::npos)
            end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == Unit('\r'))
            --stop; // part of the line break
        if (stop > start) {
            int semicolons = 0;
            int commas = 0;
            bool tab = false;
            for (size_t i = start; i < stop; ++i) {
                const Unit c = text[i];
                semicolons += c == Unit(';');
                commas += c == Unit(',');
                tab = tab || c == Unit('\t');
            }
            if (semicolons > commas)
                return U';';
            return tab && commas == 0 ? U'\t' : U',';
        }
        start = end + 1;
    }
    return U',';
}

QString withQuotes(const QString& text) { return u'"' + text + u'"'; }

// The "a/b/year" a date cell starts with: one or two digits, a slash, one or two
// digits, a slash, two or four digits, then the end of the cell or anything but a
// further digit or slash: whatever separates the date from its time (a space, a
// no-break space, a "T") leaves the date what it is. Month-first patterns read a as
// the month; a file may have written it as the day.
struct SlashDate {
    int first = 0;
    int second = 0;
    int year = 0;
    bool twoDigitYear = false;
    size_t length = 0; // code units of the date part

    // Only a day-first writer can have put it down: no month-first date has a month above 12.
    bool onlyDayFirst() const { return first > 12 && first <= 31 && second >= 1 && second <= 12; }
};

template <typename Unit>
std::optional<SlashDate> slashDate(std::basic_string_view<Unit> cell)
{
    size_t pos = 0;
    auto digits = [&](int& value) {
        const size_t start = pos;
        value = 0;
        while (pos < cell.size() && pos - start < 5 && cell[pos] >= Unit('0') && cell[pos] <= Unit('9'))
            value = value * 10 + int(cell[pos++] - Unit('0'));
        return int(pos - start);
    };
    auto slash = [&] {
        if (pos >= cell.size() || cell[pos] != Unit('/'))
            return false;
        ++pos;
        return true;
    };
    SlashDate d;
    const int n1 = digits(d.first);
    if (n1 < 1 || n1 > 2 || !slash())
        return std::nullopt;
    const int n2 = digits(d.second);
    if (n2 < 1 || n2 > 2 || !slash())
        return std::nullopt;
    const int n3 = digits(d.year);
    if ((n3 != 2 && n3 != 4) || (pos < cell.size() && cell[pos] == Unit('/')))
        return std::nullopt;
    d.twoDigitYear = n3 == 2;
    d.length = pos;
    return d;
}

// Whether "d/m/" with d from 13 to 31 and m from 1 to 12 stands anywhere in the text.
// A quick look over the raw text that spares month-first files the exact pass
// over their date column.
template <typename Unit>
bool mayHoldDayFirstDates(std::basic_string_view<Unit> text)
{
    auto isDigit = [](Unit c) { return c >= Unit('0') && c <= Unit('9'); };
    for (size_t at = text.find(Unit('/')); at != std::basic_string_view<Unit>::npos; at = text.find(Unit('/'), at + 1)) {
        if (at < 2 || !isDigit(text[at - 1]) || !isDigit(text[at - 2]) || (at > 2 && isDigit(text[at - 3])))
            continue; // days above 12 have two digits
        const int first = int(text[at - 2] - Unit('0')) * 10 + int(text[at - 1] - Unit('0'));
        if (first < 13 || first > 31)
            continue;
        size_t pos = at + 1;
        int second = 0;
        while (pos < text.size() && pos - at <= 2 && isDigit(text[pos]))
            second = second * 10 + int(text[pos++] - Unit('0'));
        if (pos > at + 1 && pos < text.size() && text[pos] == Unit('/') && second >= 1 && second <= 12)
            return true;
    }
    return false;
}

struct MetricColumnAt {
    qsizetype column;
    Metric metric;
    bool celsius;
};

// Why a line beyond the scanner's bounds is refused. Logger files are long, never wide.
QString overflowText(OVCSV::Overflow overflow)
{
    if (overflow == OVCSV::Overflow::tooManyFields)
        return QStringLiteral("The line has more than 1,000 columns, more than any climate log has. "
                              "Check that this is the right file.");
    return QStringLiteral("The line is longer than 1 MB, longer than any climate log line. "
                          "Check that this is the right file.");
}

ClimateImportResult fileProblem(int line, const QString& reason)
{
    ClimateImportResult result;
    result.problems.append({line, reason});
    return result;
}

// Why a file that does not fit into the memory left is not read.
QString tooLargeReason() { return QStringLiteral("it is too large to read into memory"); }

// Reads a file row by row on demand: the header is looked at when the reader is
// made, and each next() hands out the following accepted reading. Refused rows
// become problems in result() on the way. The text must outlive the reader.
template <typename Unit>
class RowReader {
public:
    using View = std::basic_string_view<Unit>;

    // `hooks` (optional; onProblem and beforeRow are used) must outlive the reader.
    RowReader(View text, const QList<Zone>& zones, std::optional<qint64> defaultZoneID, bool defaultCelsius,
              const QTimeZone& timeZone, const QDateTime& now, const ClimateCSV::Hooks* hooks = nullptr)
        : m_text(text), m_separator(guessSeparator(text)), m_scanner(text, m_separator),
          m_defaultZoneID(defaultZoneID), m_dates(ClimateCSV::dateFormats, timeZone, now), m_hooks(hooks)
    {
        if (!m_scanner.next()) {
            fail(1, QStringLiteral("The file is empty."));
            return;
        }

        // Header.
        const int headerLine = m_scanner.line();
        if (m_scanner.overflow() != OVCSV::Overflow::none) {
            fail(headerLine, overflowText(m_scanner.overflow()));
            return;
        }
        QStringList headings;
        QStringList keys;
        for (qsizetype i = 0; i < m_scanner.fieldCount(); ++i) {
            headings.append(toQString(m_scanner.field(i)));
            keys.append(OVCSV::normalizeHeader(headings.back()));
        }
        auto columnOf = [&keys](const QStringList& table) -> qsizetype {
            for (qsizetype i = 0; i < keys.size(); ++i)
                if (table.contains(keys[i]))
                    return i;
            return -1;
        };
        m_timeColumn = columnOf(ClimateCSV::timeHeaders);
        m_dateColumn = columnOf(ClimateCSV::dateOnlyHeaders);
        m_clockColumn = columnOf(ClimateCSV::timeOnlyHeaders);
        m_zoneColumn = columnOf(ClimateCSV::zoneHeaders);
        m_noteColumn = columnOf(ClimateCSV::noteHeaders);

        for (qsizetype i = 0; i < headings.size(); ++i) {
            const auto found = ClimateCSV::metric(headings[i], defaultCelsius);
            if (!found)
                continue;
            bool taken = false;
            for (const MetricColumnAt& c : m_metricColumns)
                taken = taken || c.metric == found->metric;
            if (taken)
                continue; // the left-most column of a metric wins
            m_metricColumns.push_back({i, found->metric, found->celsius});
            QString name = found->metric.name();
            if (found->metric.isTemperature())
                name += found->celsius ? QStringLiteral(" (°C)") : QStringLiteral(" (°F)");
            m_result.columnsFound.append(name);
        }

        if (m_timeColumn < 0 && m_dateColumn < 0) {
            fail(headerLine, QStringLiteral("No date/time column was found. Name one column \"timestamp\" "
                                            "(or \"date\" and \"time\")."));
            return;
        }
        if (m_metricColumns.empty()) {
            fail(headerLine, QStringLiteral("No reading columns were found (for example temp_f, humidity, light, "
                                            "co2, soil_moisture, soil_temp_f, ph, ec)."));
            return;
        }
        if (m_zoneColumn < 0 && !defaultZoneID) {
            fail(headerLine, QStringLiteral("The file has no zone column. Choose the zone to import into."));
            return;
        }

        for (const Zone& z : zones) {
            const QString key = OVCSV::trimSpaces(z.name.toLower()).toString();
            if (!m_zoneIDs.contains(key))
                m_zoneIDs.insert(key, z.id);
        }
    }

    // The next accepted reading, written over `out`; false after the last row.
    bool next(Reading& out)
    {
        while (!m_finished && m_scanner.next()) {
            if (m_hooks && m_hooks->beforeRow)
                m_hooks->beforeRow();
            ++m_result.totalRows;
            if (m_scanner.overflow() != OVCSV::Overflow::none) {
                problem(m_scanner.line(), overflowText(m_scanner.overflow()));
                continue;
            }
            if (readRow(out))
                return true;
        }
        m_finished = true;
        return false;
    }

    // Problems, columns and row count so far (complete once next() gave false).
    ClimateImportResult& result() { return m_result; }

private:
    void problem(int line, const QString& reason)
    {
        if (m_hooks && m_hooks->onProblem)
            m_hooks->onProblem(ImportProblem{line, reason});
        else
            m_result.problems.append({line, reason});
    }
    void fail(int line, const QString& reason)
    {
        problem(line, reason);
        m_finished = true;
    }

    View cell(qsizetype column) const { return column < 0 ? View() : trim(m_scanner.field(column)); }
    // The cell that holds the date: the date-and-time cell, else the date cell.
    qsizetype dateBearingColumn() const { return m_timeColumn >= 0 ? m_timeColumn : m_dateColumn; }

    // The current row's date and time as the grower wrote them.
    QString shownDate() const
    {
        if (m_timeColumn >= 0)
            return toQString(cell(m_timeColumn));
        QString shown = toQString(cell(m_dateColumn));
        if (!cell(m_dateColumn).empty() && !cell(m_clockColumn).empty())
            shown += u' ';
        return shown + toQString(cell(m_clockColumn));
    }

    // The day-first reading of a slash date as year-month-day, when it is a day.
    std::optional<QString> dayFirstISO(const SlashDate& d) const
    {
        const int year = d.twoDigitYear ? m_dates.yearOfTwoDigits(d.year) : d.year;
        const QDate date(year, d.second, d.first);
        if (!date.isValid() || year < 1)
            return std::nullopt;
        return date.toString(Qt::ISODate);
    }

    // Whether any data row's date is a slash date that only a day-first writer can
    // have put down. Asked once, at the first slash date, so files without slash
    // dates never pay for the second pass.
    void lookForDayFirstDates()
    {
        m_dayFirst = DayFirst::no;
        if (!mayHoldDayFirstDates(m_text))
            return;
        OVCSV::Scanner<Unit> rows(m_text, m_separator);
        if (!rows.next())
            return; // the header
        const qsizetype column = dateBearingColumn();
        while (rows.next()) {
            if (rows.overflow() != OVCSV::Overflow::none)
                continue; // refused whatever it holds
            const View text = trim(rows.field(column));
            const std::optional<SlashDate> d = slashDate(text);
            if (!d || !d->onlyDayFirst())
                continue;
            m_dayFirst = DayFirst::yes;
            m_dayFirstSeen = toQString(text.substr(0, d->length));
            m_dayFirstExample = dayFirstISO(*d).value_or(QStringLiteral("2026-01-31"));
            return;
        }
    }

    // Why a slash date of a day-first file is refused rather than read month-first.
    QString dayFirstProblem(const SlashDate& d) const
    {
        const QString example = QStringLiteral(" Save dates as year-month-day (")
                                + dayFirstISO(d).value_or(m_dayFirstExample)
                                + QStringLiteral(") or month/day/year.");
        if (d.onlyDayFirst())
            return QStringLiteral("The date ") + withQuotes(shownDate()) + QStringLiteral(" is day-first.") + example;
        return QStringLiteral("The date ") + withQuotes(shownDate()) + QStringLiteral(" may be day-first (this file has ")
               + m_dayFirstSeen + QStringLiteral(").") + example;
    }

    // The current row as a reading, or false with one problem recorded.
    bool readRow(Reading& out)
    {
        const int line = m_scanner.line();
        auto refuse = [this, line](const QString& reason) {
            problem(line, reason);
            return false;
        };

        // Date and time.
        m_dateText.clear();
        if (m_timeColumn >= 0) {
            appendUtf8(m_dateText, cell(m_timeColumn));
        } else {
            const View day = cell(m_dateColumn);
            const View clock = cell(m_clockColumn);
            appendUtf8(m_dateText, day);
            if (!day.empty() && !clock.empty())
                m_dateText.push_back(' ');
            appendUtf8(m_dateText, clock);
        }
        // A file that shows it writes the day first has none of its slash dates read
        // month-first: 01/04 would quietly become January 4th.
        if (const std::optional<SlashDate> slash = slashDate(cell(dateBearingColumn()))) {
            if (m_dayFirst == DayFirst::unknown)
                lookForDayFirstDates();
            if (m_dayFirst == DayFirst::yes)
                return refuse(dayFirstProblem(*slash));
        }
        const std::optional<qint64> taken = m_dates.parseMSecs(m_dateText);
        if (!taken)
            return refuse(QStringLiteral("The date/time ") + withQuotes(shownDate())
                          + QStringLiteral(" could not be read."));

        // Zone.
        qint64 zoneID = 0;
        const View zoneCell = cell(m_zoneColumn);
        if (zoneCell.empty()) {
            if (!m_defaultZoneID)
                return refuse(QStringLiteral("No zone given for this row."));
            zoneID = *m_defaultZoneID;
        } else {
            if (!m_haveLastZone || View(m_lastZoneCell) != zoneCell) {
                m_lastZoneCell.assign(zoneCell);
                const auto it = m_zoneIDs.constFind(toQString(zoneCell).toLower());
                m_lastZoneID = it == m_zoneIDs.cend() ? std::nullopt : std::optional<qint64>(*it);
                m_haveLastZone = true;
            }
            if (!m_lastZoneID)
                return refuse(QStringLiteral("There is no zone named ") + withQuotes(toQString(zoneCell))
                              + QStringLiteral(". Add it first or fix the name."));
            zoneID = *m_lastZoneID;
        }

        // Values.
        m_values.fill(std::nullopt);
        bool any = false;
        for (const MetricColumnAt& column : m_metricColumns) {
            const View text = cell(column.column);
            if (text.empty() || isEmptyMarker(text))
                continue;
            std::optional<double> v;
            bool celsius = column.celsius;
            std::string_view utf8;
            if constexpr (std::is_same_v<Unit, char>) {
                utf8 = text;
            } else {
                m_numberText.clear();
                appendUtf8(m_numberText, text);
                utf8 = m_numberText;
            }
            if (column.metric.isTemperature()) {
                // "21 °C" is 21 °C whatever the heading or the grower's unit choice say.
                const CellTemperature t = temperatureUtf8(utf8, m_unitText);
                v = t.value;
                celsius = t.celsius.value_or(celsius);
            } else {
                v = OVCSV::numberUtf8(utf8);
            }
            if (!v)
                return refuse(column.metric.name() + u' ' + withQuotes(toQString(text))
                              + QStringLiteral(" is not a number."));
            double stored = celsius ? *v * 9.0 / 5.0 + 32.0 : *v;
            if (!column.metric.possible().contains(stored))
                return refuse(column.metric.name() + u' ' + withQuotes(toQString(text))
                              + QStringLiteral(" is not a possible reading."));
            m_values[size_t(Metric::Case(column.metric))] = std::round(stored * 1000.0) / 1000.0;
            any = true;
        }
        if (!any)
            return refuse(QStringLiteral("The row has no readings."));

        std::map<Metric, double> readingValues;
        for (Metric m : Metric::allCases())
            if (const auto& v = m_values[size_t(Metric::Case(m))])
                readingValues.emplace_hint(readingValues.end(), m, *v);
        const View note = cell(m_noteColumn);
        // Every member named, so no default (such as "now" for the time) is computed.
        out = Reading{.id = 0,
                      .zoneID = zoneID,
                      .taken = QDateTime::fromMSecsSinceEpoch(*taken, Qt::UTC),
                      .values = std::move(readingValues),
                      .source = csvSource(),
                      .note = note.empty() ? QString() : toQString(note)};
        return true;
    }

    View m_text;
    char32_t m_separator;
    OVCSV::Scanner<Unit> m_scanner;
    std::optional<qint64> m_defaultZoneID;
    DatePatternMatcher m_dates;
    const ClimateCSV::Hooks* m_hooks = nullptr;
    ClimateImportResult m_result;
    bool m_finished = false;

    qsizetype m_timeColumn = -1;
    qsizetype m_dateColumn = -1;
    qsizetype m_clockColumn = -1;
    qsizetype m_zoneColumn = -1;
    qsizetype m_noteColumn = -1;
    std::vector<MetricColumnAt> m_metricColumns;
    QHash<QString, qint64> m_zoneIDs;

    enum class DayFirst { unknown, no, yes };
    DayFirst m_dayFirst = DayFirst::unknown;
    QString m_dayFirstSeen;    // the first day-first-only date of the file, e.g. "13/04/2026"
    QString m_dayFirstExample; // that date as year-month-day

    // Reused from row to row, so ordinary rows allocate nothing but their reading.
    std::string m_dateText;
    std::string m_numberText;
    std::string m_unitText;
    std::basic_string<Unit> m_lastZoneCell;
    std::optional<qint64> m_lastZoneID;
    bool m_haveLastZone = false;
    std::array<std::optional<double>, 8> m_values;
};

// Every row of a text: the readings and problems collected in the result, or each
// handed to its hook.
template <typename Unit>
ClimateImportResult readText(std::basic_string_view<Unit> text, const QList<Zone>& zones,
                             std::optional<qint64> defaultZoneID, bool defaultCelsius, const QTimeZone& timeZone,
                             const QDateTime& now, const ClimateCSV::Hooks* hooks = nullptr)
{
    try {
        RowReader<Unit> reader(text, zones, defaultZoneID, defaultCelsius, timeZone, now, hooks);
        QList<Reading> readings;
        Reading reading;
        while (reader.next(reading)) {
            if (hooks && hooks->onReading)
                hooks->onReading(std::move(reading));
            else
                readings.append(std::move(reading));
        }
        ClimateImportResult result = std::move(reader.result());
        result.readings = std::move(readings);
        return result;
    } catch (const std::bad_alloc&) {
        // What was collected is gone with the unwinding, so this much is still at hand.
        return fileProblem(1, QStringLiteral("The file could not be read: ") + tooLargeReason());
    }
}

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int len = 0;
        char32_t min = 0;
        char32_t c = 0;
        if ((*p & 0xE0) == 0xC0) {
            len = 2;
            min = 0x80;
            c = *p & 0x1F;
        } else if ((*p & 0xF0) == 0xE0) {
            len = 3;
            min = 0x800;
            c = *p & 0x0F;
        } else if ((*p & 0xF8) == 0xF0) {
            len = 4;
            min = 0x10000;
            c = *p & 0x07;
        } else {
            return false;
        }
        if (end - p < len)
            return false;
        for (int i = 1; i < len; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        p += len;
    }
    return true;
}

// UTF-16 is taken only with its byte-order mark: without one, the bytes could be
// anything, and are read as before.
std::optional<QStringConverter::Encoding> utf16ByMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringConverter::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

// UTF-16 saved without its mark: the CSV text of a logger is mostly ASCII, which
// in UTF-16 has a zero byte in every other place; no UTF-8 or Latin-1 text does.
bool looksLikeUtf16WithoutMark(const QByteArray& bytes)
{
    const qsizetype pairs = std::min<qsizetype>(bytes.size(), 4096) / 2;
    if (pairs < 2)
        return false;
    qsizetype zerosFirst = 0;
    qsizetype zerosSecond = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        zerosFirst += bytes[2 * i] == '\0';
        zerosSecond += bytes[2 * i + 1] == '\0';
    }
    auto most = [pairs](qsizetype n) { return n * 4 >= pairs * 3; };
    auto few = [pairs](qsizetype n) { return n * 4 < pairs; };
    return (most(zerosFirst) && few(zerosSecond)) || (most(zerosSecond) && few(zerosFirst));
}

} // namespace

std::optional<ClimateCSV::MetricColumn> ClimateCSV::metric(const QString& heading, bool defaultCelsius)
{
    const QString key = OVCSV::normalizeHeader(heading);
    for (const Synonyms& entry : synonymTable()) {
        const Metric m(entry.metric);
        for (const char16_t* k : entry.keys) {
            if (!k)
                break;
            const QStringView plain(k);
            // The grower's unit choice is about temperatures only: a humidity of 28
            // is 28 % whichever box is ticked.
            if (key == plain)
                return MetricColumn{m, defaultCelsius && m.isTemperature()};
            if (!m.isTemperature() || !key.startsWith(plain))
                continue;
            const QStringView suffix = QStringView(key).mid(plain.size());
            if (suffix == u"_f" || suffix == u"_fahrenheit")
                return MetricColumn{m, false};
            if (suffix == u"_c" || suffix == u"_celsius")
                return MetricColumn{m, true};
        }
    }
    return std::nullopt;
}

std::optional<QDateTime> ClimateCSV::parseDate(const QString& text, const QTimeZone& timeZone, const QDateTime& now)
{
    DatePatternMatcher matcher(dateFormats, timeZone, now);
    const QByteArray utf8 = text.toUtf8();
    return matcher.parse(std::string_view(utf8.constData(), size_t(utf8.size())));
}

ClimateImportResult ClimateCSV::read(const QString& text, const QList<Zone>& zones,
                                     std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                     const QTimeZone& timeZone, const QDateTime& now)
{
    return readText(std::u16string_view(QStringView(text).utf16(), size_t(text.size())), zones, defaultZoneID, defaultCelsius,
                    timeZone, now);
}

ClimateImportResult ClimateCSV::readUtf8(QByteArrayView text, const QList<Zone>& zones,
                                         std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                         const QTimeZone& timeZone, const QDateTime& now)
{
    return readText(std::string_view(text.data(), size_t(text.size())), zones, defaultZoneID, defaultCelsius,
                    timeZone, now);
}

ClimateImportResult ClimateCSV::streamUtf8(QByteArrayView text, const QList<Zone>& zones,
                                           std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                           const ReadingSink& onReading, const QTimeZone& timeZone,
                                           const QDateTime& now)
{
    const Hooks hooks{.onReading = onReading, .onProblem = {}, .beforeRow = {}};
    return readText(std::string_view(text.data(), size_t(text.size())), zones, defaultZoneID, defaultCelsius,
                    timeZone, now, &hooks);
}

ClimateImportResult ClimateCSV::streamUtf8(QByteArrayView text, const QList<Zone>& zones,
                                           std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                           const Hooks& hooks, const QTimeZone& timeZone, const QDateTime& now)
{
    return readText(std::string_view(text.data(), size_t(text.size())), zones, defaultZoneID, defaultCelsius,
                    timeZone, now, &hooks);
}

ClimateCSV::FileText ClimateCSV::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    try {
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return {{}, file.errorString()};
        if (const std::optional<QStringConverter::Encoding> utf16 = utf16ByMark(bytes)) {
            // Spreadsheets save "Unicode text" this way; read as bytes it would show
            // no column at all. The mark itself is dropped with the decoding.
            QStringDecoder decoder(*utf16);
            const QString text = decoder(bytes);
            bytes = text.toUtf8();
        } else if (looksLikeUtf16WithoutMark(bytes)) {
            // Read as bytes it would show no column at all, and which byte order it has
            // is only a guess: the grower is told what to save instead.
            return {{}, QStringLiteral("it looks like UTF-16 text without a byte-order mark. Save it as UTF-8 "
                                       "(or as UTF-16 with a byte-order mark) and import it again.")};
        } else if (!isValidUtf8(bytes)) {
            bytes = Utf8::fromLatin1(bytes);
        }
        return {std::move(bytes), std::nullopt};
    } catch (const std::bad_alloc&) {
        // A file larger than the memory left: the readers promise never to throw.
        return {{}, tooLargeReason()};
    }
}

ClimateImportResult ClimateCSV::readFile(const QString& path, const QList<Zone>& zones,
                                         std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                         const QTimeZone& timeZone, const QDateTime& now)
{
    const FileText file = loadFile(path);
    if (file.error)
        return fileProblem(1, QStringLiteral("The file could not be read: ") + *file.error);
    return readUtf8(file.text, zones, defaultZoneID, defaultCelsius, timeZone, now);
}

ClimateCSV::FileImport ClimateCSV::importFile(OVStore& store, const QString& path,
                                              std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                              const QTimeZone& timeZone, const QDateTime& now)
{
    const FileText file = loadFile(path);
    if (file.error) {
        FileImport done;
        done.result = fileProblem(1, QStringLiteral("The file could not be read: ") + *file.error);
        return done;
    }
    return importUtf8(store, file.text, store.zones(), defaultZoneID, defaultCelsius, {}, timeZone, now);
}

ClimateCSV::FileImport ClimateCSV::importUtf8(OVStore& store, QByteArrayView text, const QList<Zone>& zones,
                                              std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                              const Hooks& hooks, const QTimeZone& timeZone, const QDateTime& now)
{
    FileImport done;
    RowReader<char> reader(std::string_view(text.data(), size_t(text.size())), zones, defaultZoneID, defaultCelsius,
                           timeZone, now, &hooks);

    // Rows go to the store as they are read, so a file of any length holds one reading
    // in memory at a time. The store is only asked to begin once a good row exists:
    // a file without one writes nothing and announces no change.
    Reading reading;
    if (reader.next(reading)) {
        bool first = true;
        const OVStore::ImportCounts counts = store.addReadingsFrom([&]() -> const Reading* {
            if (first) {
                first = false;
                return &reading;
            }
            return reader.next(reading) ? &reading : nullptr;
        });
        done.added = counts.added;
        done.duplicates = counts.duplicates;
    }
    done.result = std::move(reader.result());
    return done;
}
