// libFuzzer target for the CSV codec and the climate import: OVCSV parsing (both
// scanners), number reading, the date matcher and ClimateCSV's reader.
//
// Beyond "no crash, no sanitizer report" it checks that the two text forms agree:
// for input that is valid UTF-8, the UTF-8 scanner and reader must give exactly
// what the UTF-16 ones give, and number() must equal numberUtf8(). A disagreement
// aborts, so the fuzzer keeps the input.
//
// Input layout: byte 0 picks the separator and the reader's options, the rest is
// the text.

#include "services/ClimateCSV.h"
#include "services/DatePatternMatcher.h"
#include "services/OVCSV.h"

#include <QString>
#include <QStringDecoder>
#include <QTimeZone>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_climate_csv: %s\n", what);
    std::abort();
}

const QList<Zone>& fuzzZones()
{
    static const QList<Zone> zones = [] {
        QList<Zone> list;
        const char* names[] = {"Propagation", "Main House", " main house ", "Étage", ""};
        qint64 id = 1;
        for (const char* n : names) {
            Zone z;
            z.id = id++;
            z.name = QString::fromUtf8(n);
            list.append(z);
        }
        return list;
    }();
    return zones;
}

// UTF-8 to QString keeping a leading U+FEFF (QString::fromUtf8 drops it).
QString decode(std::string_view v)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(v.data(), qsizetype(v.size())));
}

QList<OVCSV::Row> scanUtf8(std::string_view text, char32_t sep)
{
    OVCSV::Scanner<char> scanner(text, sep);
    QList<OVCSV::Row> rows;
    while (scanner.next()) {
        if (scanner.fieldCount() < 1)
            fail("row without fields");
        OVCSV::Row row{scanner.line(), {}};
        for (qsizetype i = 0; i < scanner.fieldCount(); ++i) {
            const auto f = scanner.field(i);
            row.fields.append(decode(f));
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char32_t separators[] = {U',', U';', U'\t', U'"', U'\n', U'\r', U'§', U'\U0001F331', char32_t(0xD800)};
    const uint8_t options = data[0];
    const char32_t sep = separators[options % std::size(separators)];
    const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);

    static const QTimeZone utc = QTimeZone::utc();
    static const QTimeZone newYork("America/New_York");
    static const QDateTime now(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);
    const QTimeZone& zone = (options & 0x10) ? newYork : utc;

    // Raw bytes, valid UTF-8 or not: nothing may crash.
    const QList<OVCSV::Row> byteRows = scanUtf8(raw, sep);
    int lastLine = 0;
    for (const auto& r : byteRows) {
        if (r.line <= lastLine)
            fail("row lines do not rise");
        lastLine = r.line;
    }
    const std::optional<double> byteNumber = OVCSV::numberUtf8(raw);
    if (byteNumber && !std::isfinite(*byteNumber))
        fail("number not finite");
    OVCSV::plainNumberUtf8(raw);
    DatePatternMatcher matcher(ClimateCSV::dateFormats, zone, now);
    const std::optional<qint64> byteDate = matcher.parseMSecs(raw);
    const ClimateImportResult byteResult =
        ClimateCSV::readUtf8(QByteArrayView(raw.data(), qsizetype(raw.size())), fuzzZones(),
                             (options & 0x20) ? std::optional<qint64>(2) : std::nullopt, (options & 0x40) != 0, zone, now);
    if (byteResult.problems.size() + byteResult.readings.size() > byteResult.totalRows
        && !(byteResult.problems.size() == 1 && byteResult.totalRows == 0))
        fail("more outcomes than rows");

    // Valid UTF-8 (that survives a round trip through QString unchanged): the
    // UTF-16 forms must agree with the byte forms.
    const QString text = decode(raw);
    const QByteArray back = text.toUtf8();
    if (std::string_view(back.constData(), size_t(back.size())) != raw)
        return 0;

    if (OVCSV::parse(text, sep) != byteRows)
        fail("parse() and the UTF-8 scanner disagree");
    if (OVCSV::number(text) != byteNumber)
        fail("number() and numberUtf8() disagree");
    if (ClimateCSV::parseDate(text, zone, now) != (byteDate ? std::optional<QDateTime>(QDateTime::fromMSecsSinceEpoch(*byteDate, Qt::UTC)) : std::nullopt))
        fail("parseDate() and the matcher disagree");
    const ClimateImportResult textResult =
        ClimateCSV::read(text, fuzzZones(), (options & 0x20) ? std::optional<qint64>(2) : std::nullopt,
                         (options & 0x40) != 0, zone, now);
    if (textResult.readings != byteResult.readings || textResult.problems != byteResult.problems
        || textResult.columnsFound != byteResult.columnsFound || textResult.totalRows != byteResult.totalRows)
        fail("read() and readUtf8() disagree");
    OVCSV::normalizeHeader(text);
    const QString escaped = OVCSV::escape(text);
    if (text.isEmpty() != escaped.isEmpty())
        fail("escape() lost or invented a field");
    return 0;
}
