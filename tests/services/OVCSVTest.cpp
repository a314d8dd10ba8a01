#include "services/OVCSV.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QList<int> lines(const QList<OVCSV::Row>& rows)
{
    QList<int> out;
    for (const auto& r : rows)
        out.append(r.line);
    return out;
}

// Rows of the UTF-8 scanner, for comparing with parse().
QList<OVCSV::Row> scanUtf8(const QString& text, char32_t sep)
{
    const QByteArray utf8 = text.toUtf8();
    OVCSV::Scanner<char> scanner(std::string_view(utf8.constData(), size_t(utf8.size())), sep);
    QList<OVCSV::Row> rows;
    while (scanner.next()) {
        OVCSV::Row row{scanner.line(), {}};
        for (qsizetype i = 0; i < scanner.fieldCount(); ++i) {
            const auto f = scanner.field(i);
            row.fields.append(QString::fromUtf8(f.data(), qsizetype(f.size())));
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

TEST(OVCSVParse, BlankLinesAreDroppedButCounted)
{
    const auto rows = OVCSV::parse(QStringLiteral("x\r\n\r\n\r\n  \r\ny\r\n"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], (OVCSV::Row{1, {"x"}}));
    EXPECT_EQ(rows[1], (OVCSV::Row{5, {"y"}}));
}

TEST(OVCSVParse, LastRowWithoutLineBreak)
{
    const auto rows = OVCSV::parse(QStringLiteral("a,b"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (OVCSV::Row{1, {"a", "b"}}));
}

TEST(OVCSVParse, LineBreakKindsAndTheirLineCounts)
{
    // Lone CR ends a row; a quoted CR LF becomes LF and still counts its line;
    // a quoted lone CR is kept and counts nothing.
    const auto rows = OVCSV::parse(QStringLiteral("a\rb\n\"p\r\nq\",r\n\"s\rt\"\nu\r"));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(lines(rows), (QList<int>{1, 2, 3, 5, 6}));
    EXPECT_EQ(rows[2].fields, (QStringList{"p\nq", "r"}));
    EXPECT_EQ(rows[3].fields, (QStringList{"s\rt"}));
    EXPECT_EQ(rows[4].fields, (QStringList{"u"}));
}

TEST(OVCSVParse, QuotesWorkAnywhereInAField)
{
    const auto rows = OVCSV::parse(QStringLiteral("ab\"c,d\"e,\"x\"\"y\",\"\"\"\""));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].fields, (QStringList{"abc,de", "x\"y", "\""}));
}

TEST(OVCSVParse, UnclosedQuoteRunsToTheEnd)
{
    const auto rows = OVCSV::parse(QStringLiteral("a,\"b\nc,d\n"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (OVCSV::Row{1, {"a", "b\nc,d\n"}}));
}

TEST(OVCSVParse, OnlySingleFieldBlankRowsAreDropped)
{
    const auto rows = OVCSV::parse(QStringLiteral(",\n\"\"\n\t\u00A0\n\" \"\n"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (OVCSV::Row{1, {"", ""}}));
}

TEST(OVCSVParse, ByteOrderMarkIsSkippedOnlyAtTheStart)
{
    EXPECT_TRUE(OVCSV::parse(QStringLiteral("\uFEFF")).isEmpty());
    EXPECT_TRUE(OVCSV::parse(QString()).isEmpty());
    const auto rows = OVCSV::parse(QStringLiteral("\uFEFFa,\uFEFFb"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].fields, (QStringList{"a", QStringLiteral("\uFEFFb")}));
}

TEST(OVCSVParse, OtherSeparators)
{
    auto rows = OVCSV::parse(QStringLiteral("a,b\tc;d\n"), U'\t');
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].fields, (QStringList{"a,b", "c;d"}));

    // A separator outside the basic plane is compared as one scalar.
    rows = OVCSV::parse(QStringLiteral("1\U0001F331 2\U0001F3313"), U'\U0001F331');
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].fields, (QStringList{"1", " 2", "3"}));
}

TEST(OVCSVParse, Utf8ScannerAgreesWithParse)
{
    const QString text = QStringLiteral("\uFEFFT°C§\"x§\r\ny\"§z\r\n\r\nü§\"\"\"q\"\r  \n§\rlast");
    for (char32_t sep : {U',', U'§', U'\t'}) {
        EXPECT_EQ(scanUtf8(text, sep), OVCSV::parse(text, sep)) << int(sep);
    }
}

TEST(OVCSVParse, ScannerReusesNothingVisibleBetweenRows)
{
    // A long row followed by a short one: no field of the first may leak into the second.
    const QByteArray text = "aaaa,bbbb,cccc\nx\n";
    OVCSV::Scanner<char> scanner(std::string_view(text.constData(), size_t(text.size())), U',');
    ASSERT_TRUE(scanner.next());
    ASSERT_TRUE(scanner.next());
    EXPECT_EQ(scanner.fieldCount(), 1);
    EXPECT_EQ(scanner.field(0), "x");
    EXPECT_TRUE(scanner.field(1).empty());
    EXPECT_FALSE(scanner.next());
}

TEST(OVCSVWrite, EveryLineEndsWithCRLFIncludingTheLast)
{
    EXPECT_EQ(OVCSV::write({"a"}, {{"1"}, {}}), QStringLiteral("a\r\n1\r\n\r\n"));
    EXPECT_EQ(OVCSV::write({}, {}), QStringLiteral("\r\n"));
    EXPECT_EQ(OVCSV::write({"h1", "h2"}, {{"x", "y"}}), QStringLiteral("h1,h2\r\nx,y\r\n"));
}

TEST(OVCSVWrite, FormulaCellsAreWrittenQuotedWithAnApostrophe)
{
    EXPECT_EQ(OVCSV::write({"cell"}, {{"=SUM(A1)"}}), QStringLiteral("cell\r\n\"'=SUM(A1)\"\r\n"));
}

TEST(OVCSVWrite, EscapeRules)
{
    EXPECT_EQ(OVCSV::escape("+1"), "\"'+1\"");
    EXPECT_EQ(OVCSV::escape("@x"), "\"'@x\"");
    EXPECT_EQ(OVCSV::escape("-5"), "-5");
    EXPECT_EQ(OVCSV::escape("\t=x"), "\t=x");
    EXPECT_EQ(OVCSV::escape("=a,b"), "\"=a,b\""); // quoting wins, no apostrophe
    EXPECT_EQ(OVCSV::escape("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(OVCSV::escape(" lead"), "\" lead\"");
    EXPECT_EQ(OVCSV::escape("trail "), "\"trail \"");
    EXPECT_EQ(OVCSV::escape("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(OVCSV::escape("cr\r"), "\"cr\r\"");
    EXPECT_EQ(OVCSV::escape(""), "");
}

TEST(OVCSVWrite, WrittenTextParsesBackToTheSameFields)
{
    const QStringList header{"name", "note"};
    const QList<QStringList> rows{{"a,b", "line1\nline2"}, {"\"q\"", " x "}, {"", "plain"}};
    const auto parsed = OVCSV::parse(OVCSV::write(header, rows));
    ASSERT_EQ(parsed.size(), 4);
    EXPECT_EQ(parsed[1].fields, rows[0]);
    EXPECT_EQ(parsed[2].fields, rows[1]);
    EXPECT_EQ(parsed[3].fields, rows[2]);
    EXPECT_EQ(lines(parsed), (QList<int>{1, 2, 4, 5}));
}

TEST(OVCSVHeader, Normalize)
{
    EXPECT_EQ(OVCSV::normalizeHeader("  Soil moisture (%)  "), "soil_moisture");
    EXPECT_EQ(OVCSV::normalizeHeader("Temp (°F)"), "temp_f");
    EXPECT_EQ(OVCSV::normalizeHeader("CO₂ ppm"), "co2_ppm");
    EXPECT_EQ(OVCSV::normalizeHeader("Date/Time"), "date_time");
    EXPECT_EQ(OVCSV::normalizeHeader("EC (mS/cm)"), "ec_ms_cm");
    EXPECT_EQ(OVCSV::normalizeHeader(" %% / "), "");
    EXPECT_EQ(OVCSV::normalizeHeader(QStringLiteral("\uFEFFTimestamp")), "timestamp");
    EXPECT_EQ(OVCSV::normalizeHeader("Température"), "température");
    EXPECT_EQ(OVCSV::normalizeHeader("m²"), "m²");
    // A decomposed accent stays with its letter.
    EXPECT_EQ(OVCSV::normalizeHeader("Te\u0301mp"), "te\u0301mp");
}

// M29: the one-character degree signs are units like "°C" and "°F".
TEST(OVCSVHeader, OneCharacterDegreeSignsAreUnits)
{
    EXPECT_EQ(OVCSV::normalizeHeader(QStringLiteral("Temperature(\u2103)")), "temperature_c");
    EXPECT_EQ(OVCSV::normalizeHeader(QStringLiteral("Temp \u2109")), "temp_f");
    EXPECT_EQ(OVCSV::normalizeHeader(QStringLiteral("SOIL TEMP \u2103")), "soil_temp_c");
}

TEST(OVCSVNumber, CommasAsDecimalOrThousands)
{
    EXPECT_EQ(OVCSV::number(u"1,234"), 1234.0);
    EXPECT_EQ(OVCSV::number(u"12,5"), 12.5);
    EXPECT_EQ(OVCSV::number(u"1,234.5"), 1234.5);
    EXPECT_EQ(OVCSV::number(u"1,234,567"), 1234567.0);
    EXPECT_EQ(OVCSV::number(u"0,125"), 125.0);
    EXPECT_EQ(OVCSV::number(u"1,,5"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u",5"), 5.0);
    EXPECT_EQ(OVCSV::number(u"-0,5"), -0.5);
    // Only exactly three digits after a lone comma make it a thousands separator:
    // four or more are decimals.
    EXPECT_EQ(OVCSV::number(u"1,5000"), 1.5);
    EXPECT_EQ(OVCSV::number(u"2,12345"), 2.12345);
    EXPECT_EQ(OVCSV::number(u"1,50"), 1.5);
}

TEST(OVCSVNumber, UnitsAndSpaces)
{
    EXPECT_EQ(OVCSV::number(u"72°F"), 72.0);
    EXPECT_EQ(OVCSV::number(u"72°f"), 72.0);
    EXPECT_EQ(OVCSV::number(u" 21.5 °C\t"), 21.5);
    EXPECT_EQ(OVCSV::number(u"55 %"), 55.0);
    EXPECT_EQ(OVCSV::number(u"450 PPM"), 450.0);
    EXPECT_EQ(OVCSV::number(u"1200 Lux"), 1200.0);
    EXPECT_EQ(OVCSV::number(u"\u00A012,5\u2009"), 12.5);
    EXPECT_EQ(OVCSV::number(u"12 kg"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"12 K"), std::nullopt);
}

TEST(OVCSVNumber, CLibrarySyntaxOnly)
{
    EXPECT_EQ(OVCSV::number(u"1e3"), 1000.0);
    EXPECT_EQ(OVCSV::number(u"+5"), 5.0);
    EXPECT_EQ(OVCSV::number(u".5"), 0.5);
    EXPECT_EQ(OVCSV::number(u"0x1p3"), 8.0);
    EXPECT_EQ(OVCSV::number(u""), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"  "), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"abc"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"inf"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"-Infinity"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"nan"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"1e999"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"\n5"), std::nullopt); // line breaks are not trimmed
    EXPECT_EQ(OVCSV::number(u"5\n"), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"1e"), std::nullopt);
    EXPECT_EQ(OVCSV::number(QStringView(u"5\0", 2)), std::nullopt);
    EXPECT_EQ(OVCSV::number(u"1.5.2"), std::nullopt);
}

TEST(OVCSVNumber, IgnoresTheUsersLocale)
{
    const char* old = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(OVCSV::number(u"0x1.8p1"), 3.0);
    EXPECT_EQ(OVCSV::number(u"2.5"), 2.5);
    setlocale(LC_NUMERIC, saved.c_str());
}
