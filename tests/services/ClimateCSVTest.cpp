#include "services/ClimateCSV.h"

#include "store/OVStore.h"

#include "TestSupport.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QStringEncoder>
#include <QTimeZone>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <new>
#include <sys/resource.h>

namespace {

Zone zone(qint64 id, const QString& name)
{
    Zone z;
    z.id = id;
    z.greenhouseID = 1;
    z.name = name;
    return z;
}

const QList<Zone> zones{zone(1, "Propagation"), zone(2, "Main House")};
const QDateTime now2026(QDate(2026, 6, 1), QTime(12, 0), Qt::UTC);

ClimateImportResult readUtc(const QString& text, std::optional<qint64> defaultZone = 2, bool celsius = false)
{
    return ClimateCSV::read(text, zones, defaultZone, celsius, QTimeZone::utc(), now2026);
}

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

const QString tooWide = QStringLiteral(
    "The line has more than 1,000 columns, more than any climate log has. Check that this is the right file.");
const QString tooLong = QStringLiteral(
    "The line is longer than 1 MB, longer than any climate log line. Check that this is the right file.");

// Writes `count` copies of `chunk` after `head`, without holding the whole file.
bool writeRepeated(const QString& path, const QByteArray& head, const QByteArray& chunk, int count)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size())
        return false;
    for (int i = 0; i < count; ++i)
        if (file.write(chunk) != chunk.size())
            return false;
    return true;
}

// The child's part of the memory test: 0 when both files are refused as they should
// be, 1 when not, 2 when memory ran out.
int readUnderMemoryLimit(const QString& wide, const QString& longCell)
{
    const rlimit memory{rlim_t(1) << 30, rlim_t(1) << 30};
    const rlimit cpu{60, 60};
    setrlimit(RLIMIT_AS, &memory);
    setrlimit(RLIMIT_CPU, &cpu);
    try {
        const auto r1 = ClimateCSV::readFile(wide, zones, 1, false, QTimeZone::utc(), now2026);
        const auto r2 = ClimateCSV::readFile(longCell, zones, 1, false, QTimeZone::utc(), now2026);
        const bool ok = r1.problems == QList<ImportProblem>{{1, tooWide}} && r1.readings.isEmpty() &&
                        r2.problems == QList<ImportProblem>{{2, tooLong}} && r2.readings.isEmpty();
        return ok ? 0 : 1;
    } catch (const std::bad_alloc&) {
        return 2;
    }
}

std::optional<QDateTime> dateUtc(const QString& text)
{
    return ClimateCSV::parseDate(text, QTimeZone::utc(), now2026);
}

} // namespace

TEST(ClimateCSVRead, EmptyValueMarkersAreSkippedSilently)
{
    const auto r = readUtc("timestamp,temp_f,humidity,co2,light,ph\n"
                           "2026-10-24 07:00,n/a,N/A,--,null,6.5\n"
                           "2026-10-24 08:00,NA,-,,Null,6.6\n");
    EXPECT_TRUE(r.problems.isEmpty());
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].values.size(), 1u);
    EXPECT_EQ(r.readings[0].values.at(Metric::ph), 6.5);
    EXPECT_EQ(r.readings[1].values.size(), 1u);
}

TEST(ClimateCSVRead, RowProblemsWordForWordWithTheirLines)
{
    const auto r = readUtc("Timestamp,Zone,Temp (°F),RH %,Note\n"
                           "2026-10-24 07:00,Main House,70,50,\"two\nlines\"\n" // lines 2-3, good
                           "yesterday,Main House,70,50,\n"                      // 4
                           "2026-10-24 08:00,Back Room,70,50,\n"                // 5
                           "2026-10-24 09:00,Main House,warm,50,\n"             // 6
                           "2026-10-24 10:00,Main House,70, 101 ,\n"            // 7
                           "2026-10-24 11:00,Main House,,,only a note\n"        // 8
                           "\n"                                                 // 9 (blank)
                           " 2026-10-24 12:00 , propagation ,70,50,\n");        // 10, good
    ASSERT_EQ(r.problems.size(), 5);
    EXPECT_EQ(r.problems[0], (ImportProblem{4, "The date/time \"yesterday\" could not be read."}));
    EXPECT_EQ(r.problems[1], (ImportProblem{5, "There is no zone named \"Back Room\". Add it first or fix the name."}));
    EXPECT_EQ(r.problems[2], (ImportProblem{6, "Air temperature \"warm\" is not a number."}));
    EXPECT_EQ(r.problems[3], (ImportProblem{7, "Humidity \"101\" is not a possible reading."}));
    EXPECT_EQ(r.problems[4], (ImportProblem{8, "The row has no readings."}));
    EXPECT_EQ(r.totalRows, 7);
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].note, "two\nlines");
    EXPECT_EQ(r.readings[1].zoneID, 1);
    EXPECT_EQ(r.readings[1].taken, utc(2026, 10, 24, 12));
    EXPECT_EQ(r.readings[1].source, "csv");
    EXPECT_EQ(r.readings[1].id, 0);
}

TEST(ClimateCSVRead, NoZoneForTheRow)
{
    const auto r = readUtc("timestamp,zone,temp_f\n2026-10-24 07:00,,70\n", std::nullopt);
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0], (ImportProblem{2, "No zone given for this row."}));
}

TEST(ClimateCSVRead, AnUnknownZoneIsRefusedEvenWithADefault)
{
    const auto r = readUtc("timestamp,zone,temp_f\n2026-10-24 07:00,Attic,70\n2026-10-24 08:00,\t,71\n", 1);
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0].line, 2);
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].zoneID, 1);
}

TEST(ClimateCSVRead, ZoneNamesIgnoreCaseAndSpacesAndTheFirstOfTwinsWins)
{
    const QList<Zone> twins{zone(7, "  Bench Row "), zone(8, "bench row"), zone(9, "ÉTAGE")};
    const auto r = ClimateCSV::read("zone,timestamp,temp_f\nBENCH ROW,2026-10-24 07:00,70\n"
                                    "\u00A0bench row\u00A0,2026-10-24 08:00,70\nétage,2026-10-24 09:00,70\n",
                                    twins, std::nullopt, false, QTimeZone::utc(), now2026);
    ASSERT_EQ(r.readings.size(), 3);
    EXPECT_EQ(r.readings[0].zoneID, 7);
    EXPECT_EQ(r.readings[1].zoneID, 7);
    EXPECT_EQ(r.readings[2].zoneID, 9);
}

TEST(ClimateCSVRead, FileProblemsWordForWord)
{
    auto r = readUtc("zone,temp_f\nMain House,70\n");
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0], (ImportProblem{1, "No date/time column was found. Name one column \"timestamp\" "
                                               "(or \"date\" and \"time\")."}));
    EXPECT_EQ(r.columnsFound, QStringList{"Air temperature (°F)"});
    EXPECT_EQ(r.totalRows, 0);

    r = readUtc("\n\n  \ntimestamp,color\n2026-10-22 06:30,red\n");
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0], (ImportProblem{4, "No reading columns were found (for example temp_f, humidity, "
                                               "light, co2, soil_moisture, soil_temp_f, ph, ec)."}));

    r = readUtc("timestamp,temp_f\n2026-10-22 06:30,70\n", std::nullopt);
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0], (ImportProblem{1, "The file has no zone column. Choose the zone to import into."}));
    EXPECT_TRUE(r.readings.isEmpty());
}

TEST(ClimateCSVRead, EmptyFilesSayLineOne)
{
    for (const QString& text : {QString(), QStringLiteral("\uFEFF"), QStringLiteral("\r\n\n  \n\t")}) {
        const auto r = ClimateCSV::read(text, {}, std::nullopt, false);
        ASSERT_EQ(r.problems.size(), 1);
        EXPECT_EQ(r.problems[0], (ImportProblem{1, "The file is empty."}));
        EXPECT_EQ(r.totalRows, 0);
        EXPECT_TRUE(r.columnsFound.isEmpty());
    }
    const auto bom = ClimateCSV::readUtf8(QByteArrayView("\xEF\xBB\xBF"), {}, std::nullopt, false);
    ASSERT_EQ(bom.problems.size(), 1);
    EXPECT_EQ(bom.problems[0], (ImportProblem{1, "The file is empty."}));
}

TEST(ClimateCSVRead, HeaderOnlyGivesNothingAndNoProblems)
{
    const auto r = readUtc("timestamp,zone,temp_f\r\n");
    EXPECT_TRUE(r.readings.isEmpty());
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(r.totalRows, 0);
    EXPECT_EQ(r.columnsFound.size(), 1);
}

TEST(ClimateCSVRead, SeparateDateAndTimeColumns)
{
    const auto r = readUtc("Day,Clock,RH\n2026-10-24,07:00,50\n2026-10-25,,51\n2026-13-01, 07:00 ,52\n");
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].taken, utc(2026, 10, 24, 7));
    EXPECT_EQ(r.readings[1].taken, utc(2026, 10, 25));
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0].reason, "The date/time \"2026-13-01 07:00\" could not be read.");
}

TEST(ClimateCSVRead, SeparatorGuess)
{
    // A comma header with a tab-separated body stays comma-separated.
    auto r = readUtc("timestamp,temp_f\n2026-10-24 07:00\t70\n");
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0].reason, "The date/time \"2026-10-24 07:00\t70\" could not be read.");

    r = readUtc("\r\ntimestamp\ttemp_f\tnote\r\n2026-10-24 07:00\t70\ta, b\r\n");
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].note, "a, b");

    // More commas than semicolons: comma, and the semicolons stay in the note.
    r = readUtc("timestamp,temp_f,note\n2026-10-24 07:00,70,x;y\n");
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].note, "x;y");
}

TEST(ClimateCSVRead, UnitsOfTemperatureColumns)
{
    auto r = readUtc("timestamp,temp_f,temp\n2026-10-24 07:00,20,30\n", 2, true);
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.at(Metric::temp), 20.0); // the left column wins and is °F
    EXPECT_EQ(r.columnsFound, QStringList{"Air temperature (°F)"});

    r = readUtc("timestamp,temp,Soil Temp °C\n2026-10-24 07:00,20,10\n", 2, true);
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.at(Metric::temp), 68.0);
    EXPECT_EQ(r.readings[0].values.at(Metric::soilTemp), 50.0);
    EXPECT_EQ(r.columnsFound, (QStringList{"Air temperature (°C)", "Soil temperature (°C)"}));

    r = readUtc("timestamp,temp_c\n2026-10-24 07:00,70\n2026-10-24 08:00,72\n");
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.at(Metric::temp), 158.0);
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0], (ImportProblem{3, "Air temperature \"72\" is not a possible reading."}));
}

TEST(ClimateCSVRead, ValuesAreRoundedToThreeDecimalsAtTheEdgesOfTheirRange)
{
    const auto r = readUtc("timestamp,temp_f,humidity,ph\n2026-10-24 07:00,21.23456,100,0\n"
                           "2026-10-24 08:00,-60,0,14\n2026-10-24 09:00,-60.1,,\n2026-10-24 10:00,,,14.01\n");
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].values.at(Metric::temp), 21.235);
    EXPECT_EQ(r.readings[1].values.at(Metric::temp), -60.0);
    ASSERT_EQ(r.problems.size(), 2);
    EXPECT_EQ(r.problems[1].reason, "Soil / solution pH \"14.01\" is not a possible reading.");
}

TEST(ClimateCSVRead, TwoColumnsOfOneMetricReadOnlyTheLeft)
{
    const auto r = readUtc("timestamp,RH,Humidity\n2026-10-24 07:00,40,oops\n");
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.at(Metric::humidity), 40.0);
    EXPECT_EQ(r.columnsFound, QStringList{"Humidity"});
}

TEST(ClimateCSVRead, ShortRowsHaveEmptyCells)
{
    const auto r = readUtc("timestamp,zone,temp_f,note\n2026-10-24 07:00\n2026-10-24 08:00,,70\n");
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_EQ(r.problems[0], (ImportProblem{2, "The row has no readings."}));
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].zoneID, 2);
    EXPECT_TRUE(r.readings[0].note.isEmpty());
}

TEST(ClimateCSVRead, Utf8AndUtf16ReadersAgree)
{
    const QString text = QStringLiteral(
        "\uFEFFZeit,Date,Zone,Température (°C),RH %,Note\r\n"
        "x,2026-10-24 07:00,main house,\"21,5\",55 %,\"Ünïcode, note\"\r\n"
        "x,10/20/2026 8:00 PM,Main House,n/a,200,\r\n"
        "x,2026-10-24T07:00:00Z,Nowhere,20,50,\r\n"
        "x,2026-10-24 09:00,\uFEFFMain House,20,50,\uFEFF\uFEFFnote\r\n");
    const auto a = ClimateCSV::read(text, zones, 1, false, QTimeZone::utc(), now2026);
    const QByteArray utf8 = text.toUtf8();
    const auto b = ClimateCSV::readUtf8(utf8, zones, 1, false, QTimeZone::utc(), now2026);
    EXPECT_EQ(a.readings, b.readings);
    EXPECT_EQ(a.problems, b.problems);
    EXPECT_EQ(a.columnsFound, b.columnsFound);
    EXPECT_EQ(a.totalRows, b.totalRows);
    EXPECT_EQ(a.readings.size(), 1);
    ASSERT_EQ(a.problems.size(), 3);
    // U+FEFF inside a file is text: it stays in the zone name it stands in.
    EXPECT_EQ(a.problems[2].reason, QStringLiteral("There is no zone named \"\uFEFFMain House\". Add it first or fix the name."));
}

TEST(ClimateCSVMetric, HeadingsAndUnits)
{
    using MC = ClimateCSV::MetricColumn;
    EXPECT_EQ(ClimateCSV::metric("Temp (°F)", true), (MC{Metric::temp, false}));
    EXPECT_EQ(ClimateCSV::metric("Soil Temp °C", false), (MC{Metric::soilTemp, true}));
    EXPECT_EQ(ClimateCSV::metric("Temperature", true), (MC{Metric::temp, true}));
    EXPECT_EQ(ClimateCSV::metric("substrate_temp_fahrenheit", true), (MC{Metric::soilTemp, false}));
    EXPECT_EQ(ClimateCSV::metric("EC (mS/cm)", false), (MC{Metric::ec, false}));
    EXPECT_EQ(ClimateCSV::metric("CO₂ ppm", false), (MC{Metric::co2, false}));
    EXPECT_EQ(ClimateCSV::metric("T", false), (MC{Metric::temp, false}));
    EXPECT_EQ(ClimateCSV::metric("Water temp", false), std::nullopt);
    EXPECT_EQ(ClimateCSV::metric("humidity_c", false), std::nullopt); // units only for temperatures
    EXPECT_EQ(ClimateCSV::metric("temp_k", false), std::nullopt);
}

TEST(ClimateCSVDate, PatternsInTheirOrder)
{
    EXPECT_EQ(dateUtc("2026-10-24 07:05:09"), utc(2026, 10, 24, 7, 5, 9));
    EXPECT_EQ(dateUtc("2026-10-24T07:05:09+02:00"), utc(2026, 10, 24, 5, 5, 9));
    EXPECT_EQ(dateUtc("2026-10-24T07:05:09.250-03:30"), utc(2026, 10, 24, 10, 35, 9, 250));
    EXPECT_EQ(dateUtc("2026/10/24 07:05"), utc(2026, 10, 24, 7, 5));
    EXPECT_EQ(dateUtc("10/20/2026 8:00 PM"), utc(2026, 10, 20, 20));
    EXPECT_EQ(dateUtc("10/20/2026 12:15 am"), utc(2026, 10, 20, 0, 15));
    EXPECT_EQ(dateUtc("2026-10-24"), utc(2026, 10, 24));
    EXPECT_EQ(dateUtc("10/24/2026"), utc(2026, 10, 24));
    EXPECT_EQ(dateUtc("\t 2026-10-24 07:00 \u00A0"), utc(2026, 10, 24, 7));
}

TEST(ClimateCSVDate, StrictAboutWhatDoesNotFit)
{
    for (const char* text : {"2026-02-30", "2026-10-24 24:00", "2026-10-24  07:00", "2026-10-24 07:00:60",
                             "13/01/2026", "10/20/2026 13:00 PM", "10/20/2026 0:15 AM", "2026-10-24T07:00:00+2",
                             "20261024", "yesterday", "", "2026-10-24 07:00 x", "02026-10-24", "0000-01-01",
                             "2026-10-24T07:00:00.+01:00"})
        EXPECT_EQ(dateUtc(text), std::nullopt) << text;
    EXPECT_EQ(dateUtc("2024-02-29"), utc(2024, 2, 29));
}

TEST(ClimateCSVDate, UnixSecondsInsideTheWindowOnly)
{
    EXPECT_EQ(dateUtc("946684801"), QDateTime::fromSecsSinceEpoch(946684801, Qt::UTC));
    EXPECT_EQ(dateUtc("1792900000.5"), QDateTime::fromMSecsSinceEpoch(1792900000500LL, Qt::UTC));
    EXPECT_EQ(dateUtc("946684800"), std::nullopt);
    EXPECT_EQ(dateUtc("4102444800"), std::nullopt);
    EXPECT_EQ(dateUtc("1,792,900,000"), std::nullopt); // no thousands separators here
}

// M23: a four-digit-year pattern never takes a two-digit year; two-digit years land
// in the hundred years that start 80 years before the current year.
TEST(ClimateCSVDate, TwoDigitYearsUseTheCenturyWindow)
{
    EXPECT_EQ(dateUtc("6/15/26 8:00"), utc(2026, 6, 15, 8));
    EXPECT_EQ(dateUtc("6/15/26 8:00 PM"), utc(2026, 6, 15, 20));
    EXPECT_EQ(dateUtc("1/2/45 0:00"), utc(2045, 1, 2));
    EXPECT_EQ(dateUtc("1/2/46 0:00"), utc(1946, 1, 2));
    EXPECT_EQ(dateUtc("1/2/99 0:00"), utc(1999, 1, 2));
    EXPECT_EQ(dateUtc("6/15/26"), std::nullopt); // "M/d/yyyy" wants four digits
    EXPECT_EQ(dateUtc("6/15/026 8:00"), std::nullopt);
    const QDateTime in2090(QDate(2090, 1, 1), QTime(0, 0), Qt::UTC);
    EXPECT_EQ(ClimateCSV::parseDate("1/2/10 0:00", QTimeZone::utc(), in2090), utc(2010, 1, 2));
    EXPECT_EQ(ClimateCSV::parseDate("1/2/09 0:00", QTimeZone::utc(), in2090), utc(2109, 1, 2));
}

TEST(ClimateCSVDate, WallTimesInTheGivenZone)
{
    const QTimeZone ny("America/New_York");
    ASSERT_TRUE(ny.isValid());
    EXPECT_EQ(ClimateCSV::parseDate("2026-07-01 08:00", ny, now2026), utc(2026, 7, 1, 12));
    EXPECT_EQ(ClimateCSV::parseDate("2026-01-01 08:00", ny, now2026), utc(2026, 1, 1, 13));
    // Skipped 02:30 gives the moment of the change; the repeated 01:30 its first instant.
    EXPECT_EQ(ClimateCSV::parseDate("2026-03-08 02:30", ny, now2026), utc(2026, 3, 8, 7));
    EXPECT_EQ(ClimateCSV::parseDate("2026-11-01 01:30", ny, now2026), utc(2026, 11, 1, 5, 30));
    EXPECT_EQ(ClimateCSV::parseDate("2026-11-01 03:00", ny, now2026), utc(2026, 11, 1, 8));
    // An explicit offset ignores the zone.
    EXPECT_EQ(ClimateCSV::parseDate("2026-03-08T02:30:00Z", ny, now2026), utc(2026, 3, 8, 2, 30));
}

TEST(ClimateCSVFile, NotUtf8IsReadAsLatin1)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file("latin1.csv");
    ASSERT_TRUE(testsupport::writeAll(path, "timestamp,Temp (\xB0" "C),note\n2026-10-24 07:00,20,caf\xE9\n"));
    const auto r = ClimateCSV::readFile(path, zones, 1, false, QTimeZone::utc(), now2026);
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(r.columnsFound, QStringList{"Air temperature (°C)"});
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].note, QStringLiteral("café"));
    EXPECT_EQ(r.readings[0].values.at(Metric::temp), 68.0);
}

TEST(ClimateCSVFile, Utf8WithByteOrderMarkIsKeptAsItIs)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file("utf8.csv");
    ASSERT_TRUE(testsupport::writeAll(path, "\xEF\xBB\xBFTimestamp,Temp (\xC2\xB0" "C)\r\n2026-10-24 07:00,20\r\n"));
    const auto file = ClimateCSV::loadFile(path);
    EXPECT_FALSE(file.error);
    EXPECT_EQ(file.text, testsupport::readAll(path));
    const auto r = ClimateCSV::readFile(path, zones, 1, false, QTimeZone::utc(), now2026);
    EXPECT_EQ(r.readings.size(), 1);
}

// Logger files are long, never wide: what one line may cost is bounded, and a line
// beyond the bounds is refused on its own line while the rows around it are read.
TEST(ClimateCSVBounds, WideOrLongLinesAreRefusedOnTheirOwnLine)
{
    QString header = QStringLiteral("timestamp,humidity");
    for (int i = 2; i < 1000; ++i)
        header += QStringLiteral(",x");
    const auto widest = readUtc(header + QStringLiteral("\n2026-06-01 08:00,50\n"));
    EXPECT_TRUE(widest.problems.isEmpty());
    EXPECT_EQ(widest.readings.size(), 1);
    const auto wide = readUtc(header + QStringLiteral(",x\n2026-06-01 08:00,50\n"));
    EXPECT_EQ(wide.problems, (QList<ImportProblem>{{1, tooWide}}));
    EXPECT_TRUE(wide.readings.isEmpty());
    EXPECT_EQ(wide.totalRows, 0);
    const auto longHeader = readUtc(QStringLiteral("timestamp,humidity,") + QString(1 << 20, u'n') +
                                    QStringLiteral("\n2026-06-01 08:00,50\n"));
    EXPECT_EQ(longHeader.problems, (QList<ImportProblem>{{1, tooLong}}));

    // A wide row, then a long quoted cell that spans two lines, then a good row.
    const QString text = QStringLiteral("timestamp,humidity\n2026-06-01 08:00,50\n2026-06-01 08:01,51") +
                         QStringLiteral(",1").repeated(1000) + QStringLiteral("\n2026-06-01 08:02,\"") +
                         QString(700000, u'9') + QStringLiteral("\n") + QString(700000, u'9') +
                         QStringLiteral("\"\n2026-06-01 08:03,53\n");
    const QByteArray utf8 = text.toUtf8();
    for (const ClimateImportResult& r :
         {readUtc(text), ClimateCSV::readUtf8(utf8, zones, 2, false, QTimeZone::utc(), now2026)}) {
        EXPECT_EQ(r.problems, (QList<ImportProblem>{{3, tooWide}, {4, tooLong}}));
        ASSERT_EQ(r.readings.size(), 2);
        EXPECT_EQ(r.readings[0].values.at(Metric::humidity), 50.0);
        EXPECT_EQ(r.readings[1].values.at(Metric::humidity), 53.0);
        EXPECT_EQ(r.readings[1].taken, utc(2026, 6, 1, 8, 3));
        EXPECT_EQ(r.totalRows, 4);
    }
}

// A 200 MB header of one-character cells and a 150 MB cell, each without a line
// break, are refused under a 1 GB address-space limit (the reader used to need
// gigabytes for them, and the limit made it throw).
TEST(ClimateCSVBounds, HugeLinesAreRefusedUnderAMemoryLimit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Only the child process makes the files, and it removes them before it leaves.
    testsupport::ScratchDir dir;
    EXPECT_EXIT(
        {
            const QString wide = dir.file(QStringLiteral("wide.csv"));
            const QString longCell = dir.file(QStringLiteral("long.csv"));
            int code = 20;
            if (writeRepeated(wide, "timestamp,humidity,", QByteArray("1,").repeated(1 << 19), 200) &&
                writeRepeated(longCell, "timestamp,humidity\n2026-06-01 08:00,", QByteArray(1 << 20, '5'), 150))
                code = readUnderMemoryLimit(wide, longCell);
            dir.remove();
            std::_Exit(code);
        },
        testing::ExitedWithCode(0), "");
}

// M16: a file that cannot be read says so instead of calling itself empty.
TEST(ClimateCSVFile, UnreadableFileSaysWhy)
{
    testsupport::ScratchDir dir;
    for (const QString& path : {dir.file("missing.csv"), dir.path()}) {
        const auto r = ClimateCSV::readFile(path, zones, 1, false);
        ASSERT_EQ(r.problems.size(), 1) << path.toStdString();
        EXPECT_EQ(r.problems[0].line, 1);
        EXPECT_TRUE(r.problems[0].reason.startsWith("The file could not be read: ")) << r.problems[0].reason.toStdString();
        EXPECT_GT(r.problems[0].reason.size(), QStringLiteral("The file could not be read: ").size());
        EXPECT_TRUE(r.readings.isEmpty());
    }
}

TEST(ClimateCSVTemplate, ReadsAsOneGoodReading)
{
    EXPECT_TRUE(ClimateCSV::templateText.endsWith("Morning check\r\n"));
    const auto r = ClimateCSV::read(ClimateCSV::templateText, zones, std::nullopt, false, QTimeZone::utc(), now2026);
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].zoneID, 1);
    EXPECT_EQ(r.readings[0].values.size(), 8u);
    EXPECT_EQ(r.readings[0].note, "Morning check");
}

namespace {

// A scratch store holding one greenhouse with the zones "Propagation" and "Main House".
struct ImportStore {
    testsupport::ScratchDir dir;
    OVStore store{dir.file(QStringLiteral("import.sqlite"))};
    qint64 propagation = 0;
    qint64 mainHouse = 0;

    ImportStore()
    {
        Greenhouse g;
        g.name = QStringLiteral("G");
        store.save(g);
        for (auto [name, id] : {std::pair{"Propagation", &propagation}, std::pair{"Main House", &mainHouse}}) {
            Zone z;
            z.greenhouseID = g.id;
            z.name = QString::fromUtf8(name);
            store.save(z);
            *id = z.id;
        }
    }
    QString file(const QByteArray& text)
    {
        const QString path = dir.file(QStringLiteral("readings.csv"));
        EXPECT_TRUE(testsupport::writeAll(path, text));
        return path;
    }
    // Counted by a connection of its own, as another program would see the file.
    qint64 storedReadings() const
    {
        sqlite3* db = nullptr;
        qint64 n = -1;
        const QByteArray path = store.path().toUtf8();
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, "SELECT count(*) FROM reading", -1, &st, nullptr) == SQLITE_OK
                && sqlite3_step(st) == SQLITE_ROW)
                n = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
        return n;
    }
};

} // namespace

TEST(ClimateCSVImport, SemicolonCelsiusFileStoresFahrenheit)
{
    ImportStore s;
    const auto done = ClimateCSV::importFile(s.store, s.file("timestamp;zone;temp_c\n2026-10-24 07:00;Main House;21,5\n"),
                                             std::nullopt, false, QTimeZone::utc(), now2026);
    EXPECT_EQ(done.added, 1);
    EXPECT_EQ(done.duplicates, 0);
    const QList<Reading> stored = s.store.readings(s.mainHouse);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_DOUBLE_EQ(stored[0].values.at(Metric::temp), 70.7);
    EXPECT_EQ(stored[0].source, "csv");
    EXPECT_EQ(stored[0].taken, utc(2026, 10, 24, 7));
}

TEST(ClimateCSVImport, AStaleZoneListStoresNothingOfTheFile)
{
    // The preview was read while "Old" existed; the zone is gone when Import is pressed.
    ImportStore s;
    Zone old;
    old.greenhouseID = s.store.zones().front().greenhouseID;
    old.name = QStringLiteral("Old");
    s.store.save(old);
    const QList<Zone> preview = s.store.zones();
    const auto result = ClimateCSV::read("timestamp,zone,rh\n2026-10-24 07:00,Propagation,50\n2026-10-24 08:00,Old,50\n",
                                         preview, std::nullopt, false, QTimeZone::utc(), now2026);
    ASSERT_EQ(result.readings.size(), 2);
    s.store.remove<Zone>(old.id);
    EXPECT_THROW(s.store.addReadings(result.readings), OVError);
    EXPECT_EQ(s.storedReadings(), 0);
}

TEST(ClimateCSVImport, UnreadableFileWritesNothing)
{
    ImportStore s;
    const qint64 before = s.store.revision();
    const auto done = ClimateCSV::importFile(s.store, s.dir.file("nope.csv"), s.mainHouse, false);
    ASSERT_EQ(done.result.problems.size(), 1);
    EXPECT_TRUE(done.result.problems[0].reason.startsWith("The file could not be read: "));
    EXPECT_EQ(done.added, 0);
    EXPECT_EQ(s.store.revision(), before);
}

namespace {

// A logger file of `rows` good rows, one minute apart, zone Propagation; row `noted`
// (1-based, 0 for none) carries the note "boom".
QByteArray loggerFile(int rows, int noted = 0)
{
    QByteArray text = "timestamp,zone,temp_f,rh,co2,light,note\n";
    const QDateTime start = utc(2026, 3, 1);
    for (int i = 1; i <= rows; ++i) {
        text += start.addSecs(60 * i).toString(QStringLiteral("yyyy-MM-dd HH:mm")).toUtf8() + ",Propagation,"
                + QByteArray::number(60 + i % 20) + ",55,420,900," + (i == noted ? "boom" : "") + "\n";
    }
    return text;
}

} // namespace

// A write that fails on row 700 of 1,000 (a trigger stands in for a full disk) must
// leave the database without any row of the file, as another connection sees it.
TEST(ClimateCSVImport, FailureOnAnyRowStoresNothingOfTheFile)
{
    ImportStore s;
    SQLiteDB(s.store.path())
        .exec(QStringLiteral("CREATE TRIGGER refuse_boom BEFORE INSERT ON reading WHEN NEW.note = 'boom' "
                             "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    const qint64 before = s.store.revision();
    const QString path = s.file(loggerFile(1000, 700));
    try {
        ClimateCSV::importFile(s.store, path, std::nullopt, false, QTimeZone::utc(), now2026);
        ADD_FAILURE() << "the import did not report the failed write";
    } catch (const OVError& e) {
        EXPECT_EQ(e, OVError::database(QStringLiteral("disk full")));
    }
    EXPECT_EQ(s.storedReadings(), 0);
    EXPECT_EQ(s.store.revision(), before);

    // Without the failing row the same store takes the whole file.
    const auto done = ClimateCSV::importFile(s.store, s.file(loggerFile(1000)), std::nullopt, false,
                                             QTimeZone::utc(), now2026);
    EXPECT_EQ(done.added, 1000);
    EXPECT_EQ(s.storedReadings(), 1000);
}

// The streamed import stores exactly what the preview shows and reports the same
// problems, columns and row count.
TEST(ClimateCSVImport, StoresWhatThePreviewShows)
{
    ImportStore s;
    const QByteArray text = "Date;Time;Zone;Temp (°C);RH %;Note\n"
                            "2026-10-24;07:00;Main House;21,5;60;first\n"
                            "2026-10-24;07:00;Main House;22;61;same minute\n"
                            "2026-10-24;;Propagation;18;n/a;\n"
                            "2026-10-24;08:00;Back Room;18;70;\n"
                            "2026-10-24;09:00;propagation;;;nothing\n"
                            "2026-10-24;09:30;;19;55;default zone\n";
    const QString path = s.file(text);
    const auto preview = ClimateCSV::readFile(path, s.store.zones(), s.mainHouse, false, QTimeZone::utc(), now2026);
    const auto done = ClimateCSV::importFile(s.store, path, s.mainHouse, false, QTimeZone::utc(), now2026);

    EXPECT_TRUE(done.result.readings.isEmpty());
    EXPECT_EQ(done.result.problems, preview.problems);
    EXPECT_EQ(done.result.columnsFound, preview.columnsFound);
    EXPECT_EQ(done.result.totalRows, 6);
    ASSERT_EQ(preview.readings.size(), 4);
    EXPECT_EQ(done.added, 3);
    EXPECT_EQ(done.duplicates, 1);

    QList<Reading> stored = s.store.readings(s.mainHouse) + s.store.readings(s.propagation);
    std::sort(stored.begin(), stored.end(), [](const Reading& a, const Reading& b) { return a.id < b.id; });
    QList<Reading> expected = {preview.readings[0], preview.readings[2], preview.readings[3]};
    ASSERT_EQ(stored.size(), expected.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        expected[i].id = stored[i].id;
        EXPECT_EQ(stored[i], expected[i]) << "reading " << i;
    }
}

// A file whose every row is refused takes no write lock and announces no change, so
// it reports its problems even while another program is writing to the database.
TEST(ClimateCSVImport, NoGoodRowsLeavesTheStoreAlone)
{
    ImportStore s;
    SQLiteDB holder(s.store.path());
    holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
    const qint64 before = s.store.revision();
    const auto done = ClimateCSV::importFile(s.store, s.file("timestamp,zone,rh\nsoon,Propagation,50\n"),
                                             std::nullopt, false, QTimeZone::utc(), now2026);
    holder.exec(QStringLiteral("ROLLBACK"));
    ASSERT_EQ(done.result.problems.size(), 1);
    EXPECT_EQ(done.result.problems[0], (ImportProblem{2, "The date/time \"soon\" could not be read."}));
    EXPECT_EQ(done.added, 0);
    EXPECT_EQ(s.store.revision(), before);
    EXPECT_EQ(s.storedReadings(), 0);
}

// --- "values are in °C" is about temperatures only (M28) -------------------------

namespace {

using Values = std::map<Metric, double>;

// One row per metric that is not a temperature, each value as a grower's logger
// would write it; converted as if it were °C, each would change or be refused.
const QByteArray everyOtherMetric = "timestamp,zone,humidity,light,co2,soil_moisture,ph,ec\n"
                                    "2026-10-24 07:00,Main House,28,,,,,\n"
                                    "2026-10-24 07:01,Main House,,1200,,,,\n"
                                    "2026-10-24 07:02,Main House,,,450,,,\n"
                                    "2026-10-24 07:03,Main House,,,,42,,\n"
                                    "2026-10-24 07:04,Main House,,,,,6.2,\n"
                                    "2026-10-24 07:05,Main House,,,,,,1.4\n";
const std::vector<std::pair<Metric, double>> everyOtherValue = {
    {Metric::humidity, 28}, {Metric::light, 1200}, {Metric::co2, 450},
    {Metric::soilMoisture, 42}, {Metric::ph, 6.2}, {Metric::ec, 1.4}};

// The one value of each reading, in row order.
void expectEveryOtherValue(const QList<Reading>& readings, const char* where)
{
    ASSERT_EQ(readings.size(), qsizetype(everyOtherValue.size())) << where;
    for (size_t i = 0; i < everyOtherValue.size(); ++i) {
        const auto [metric, value] = everyOtherValue[i];
        ASSERT_EQ(readings[qsizetype(i)].values.size(), 1u) << where << " row " << i;
        EXPECT_EQ(readings[qsizetype(i)].values.at(metric), value) << where << " " << metric.name().toStdString();
    }
}

} // namespace

TEST(ClimateCSVCelsius, OtherMetricsAreReadAsWrittenWithTheBoxOnOrOff)
{
    for (bool celsius : {false, true}) {
        SCOPED_TRACE(celsius ? "°C box on" : "°C box off");
        const auto r = readUtc(QString::fromUtf8(everyOtherMetric), 2, celsius);
        EXPECT_TRUE(r.problems.isEmpty());
        EXPECT_EQ(r.columnsFound, (QStringList{"Humidity", "Light", "CO₂", "Soil moisture", "Soil / solution pH",
                                               "EC (salts)"}));
        expectEveryOtherValue(r.readings, "preview");

        ImportStore s;
        const auto done = ClimateCSV::importFile(s.store, s.file(everyOtherMetric), std::nullopt, celsius,
                                                 QTimeZone::utc(), now2026);
        EXPECT_TRUE(done.result.problems.isEmpty());
        EXPECT_EQ(done.added, 6);
        QList<Reading> stored = s.store.readings(s.mainHouse);
        std::sort(stored.begin(), stored.end(), [](const Reading& a, const Reading& b) { return a.taken < b.taken; });
        expectEveryOtherValue(stored, "import");
    }
}

TEST(ClimateCSVCelsius, TheBoxConvertsPlainTemperaturesBesideOtherColumns)
{
    // The template, and a file of plain headings, read with the box ticked.
    const auto example = readUtc(ClimateCSV::templateText, std::nullopt, true);
    EXPECT_TRUE(example.problems.isEmpty());
    ASSERT_EQ(example.readings.size(), 1);
    EXPECT_EQ(example.readings[0].values.at(Metric::humidity), 78.0);
    EXPECT_EQ(example.readings[0].values.at(Metric::temp), 64.5); // temp_f says its unit

    const auto r = readUtc("timestamp,temp,soil temp,light,co2,rh\n2026-10-24 07:00,20,10,1200,450,28\n", 2, true);
    EXPECT_TRUE(r.problems.isEmpty());
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values, (Values{{Metric::temp, 68}, {Metric::soilTemp, 50}, {Metric::light, 1200},
                                            {Metric::co2, 450}, {Metric::humidity, 28}}));
    EXPECT_EQ(r.columnsFound, (QStringList{"Air temperature (°C)", "Soil temperature (°C)", "Light", "CO₂",
                                           "Humidity"}));

    using MC = ClimateCSV::MetricColumn;
    for (const char* heading : {"RH %", "Light (lux)", "CO2 ppm", "VWC", "pH", "EC (mS/cm)", "Conductivity"}) {
        const auto found = ClimateCSV::metric(heading, true);
        ASSERT_TRUE(found) << heading;
        EXPECT_FALSE(found->celsius) << heading;
    }
    EXPECT_EQ(ClimateCSV::metric("Soil temperature", true), (MC{Metric::soilTemp, true}));
}

// --- One-character unit signs in headings (M29) -------------------------------------

TEST(ClimateCSVUnits, DegreeSignsOfOneCharacterNameTheUnit)
{
    using MC = ClimateCSV::MetricColumn;
    EXPECT_EQ(ClimateCSV::metric(QStringLiteral("Temperature(\u2103)"), false), (MC{Metric::temp, true}));
    EXPECT_EQ(ClimateCSV::metric(QStringLiteral("Temp \u2109"), true), (MC{Metric::temp, false}));
    EXPECT_EQ(ClimateCSV::metric(QStringLiteral("Soil temp (\u2103)"), false), (MC{Metric::soilTemp, true}));

    const auto r = readUtc(QStringLiteral("timestamp,Temperature(\u2103),Soil temp (\u2103),RH (%)\n"
                                          "2026-10-24 07:00,21.1,15,60\n"));
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(r.columnsFound, (QStringList{"Air temperature (°C)", "Soil temperature (°C)", "Humidity"}));
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.at(Metric::temp), 69.98);
    EXPECT_EQ(r.readings[0].values.at(Metric::soilTemp), 59.0);

    // A °F column stays °F with the box ticked.
    const auto f = readUtc(QStringLiteral("timestamp,Temp \u2109\n2026-10-24 07:00,70\n"), 2, true);
    ASSERT_EQ(f.readings.size(), 1);
    EXPECT_EQ(f.readings[0].values.at(Metric::temp), 70.0);
}

TEST(ClimateCSVUnits, ATemperatureCellsOwnUnitDecides)
{
    struct Case {
        const char* heading;
        bool box;
        QString cell;
        Metric metric;
        double stored;
    };
    const Case cases[] = {
        {"temp", false, QStringLiteral("21 \u00B0C"), Metric::temp, 69.8},
        {"soil_temp_f", false, QStringLiteral("21\u00B0c"), Metric::soilTemp, 69.8},
        {"temp", true, QStringLiteral("70 \u00B0F"), Metric::temp, 70.0},
        {"Soil Temp (\u00B0C)", false, QStringLiteral("70\u00B0f"), Metric::soilTemp, 70.0},
        {"temp_f", false, QStringLiteral("21\u2103"), Metric::temp, 69.8},
        {"temp_c", false, QStringLiteral("70 \u2109"), Metric::temp, 70.0},
        {"temp_c", false, QStringLiteral("21,5 \u00B0C"), Metric::temp, 70.7},
        // A cell without a unit of its own follows the column.
        {"temp", true, QStringLiteral("21 \u00B0"), Metric::temp, 69.8},
    };
    for (const Case& c : cases) {
        const QString text = QStringLiteral("timestamp,") + QString::fromUtf8(c.heading)
                             + QStringLiteral("\n2026-10-24 07:00,\"") + c.cell + QStringLiteral("\"\n");
        SCOPED_TRACE(text.toStdString());
        for (const auto& r : {readUtc(text, 2, c.box), ClimateCSV::readUtf8(text.toUtf8(), zones, 2, c.box, QTimeZone::utc(), now2026)}) {
            EXPECT_TRUE(r.problems.isEmpty());
            ASSERT_EQ(r.readings.size(), 1);
            EXPECT_EQ(r.readings[0].values, (std::map<Metric, double>{{c.metric, c.stored}}));
        }
    }

    // The range is checked in the cell's unit, and the cell is quoted as written.
    auto r = readUtc(QStringLiteral("timestamp,temp_f\n2026-10-24 07:00,72 \u00B0C\n"));
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{2, QStringLiteral("Air temperature \"72 \u00B0C\" is not a possible reading.")}}));
    // Two units in one cell: no telling which holds.
    r = readUtc(QStringLiteral("timestamp,temp\n2026-10-24 07:00,21 \u00B0C \u00B0F\n"));
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{2, QStringLiteral("Air temperature \"21 \u00B0C \u00B0F\" is not a number.")}}));
    // Other columns read their number as before: only temperatures have a unit to convert.
    r = readUtc(QStringLiteral("timestamp,rh\n2026-10-24 07:00,60 \u00B0C\n"), 2, true);
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.at(Metric::humidity), 60.0);
}

// --- Day-first dates are never read month-first (M30) --------------------------------

namespace {

QString dayFirstText(const QString& date, const QString& example, const QString& seen = QString())
{
    const QString tail = QStringLiteral(" Save dates as year-month-day (") + example + QStringLiteral(") or month/day/year.");
    if (seen.isEmpty())
        return QStringLiteral("The date \"") + date + QStringLiteral("\" is day-first.") + tail;
    return QStringLiteral("The date \"") + date + QStringLiteral("\" may be day-first (this file has ") + seen
           + QStringLiteral(").") + tail;
}

} // namespace

TEST(ClimateCSVDayFirst, AFileThatShowsDayFirstDatesStoresNoneOfItsSlashDates)
{
    // The day-first evidence comes after rows that month-first patterns would take.
    const QByteArray text = "timestamp,zone,temp_f\n"
                            "01/04/2026 10:00,Main House,70\n"  // 2: would be January 4th
                            "12/04/2026 10:00,Main House,71\n"  // 3: would be December 4th
                            "2026-04-12 11:00,Main House,72\n"  // 4: year-month-day is read
                            "13/04/2026 10:00,Main House,73\n"  // 5: can only be day-first
                            "2026/04/14 10:00,Main House,74\n"  // 6: year first is read
                            "4/31/2026 9:00,Main House,75\n"    // 7: not a day either way
                            "1776164400,Main House,76\n";       // 8: seconds since 1970 are read
    const QList<ImportProblem> expected = {
        {2, dayFirstText("01/04/2026 10:00", "2026-04-01", "13/04/2026")},
        {3, dayFirstText("12/04/2026 10:00", "2026-04-12", "13/04/2026")},
        {5, dayFirstText("13/04/2026 10:00", "2026-04-13")},
        {7, dayFirstText("4/31/2026 9:00", "2026-04-13", "13/04/2026")},
    };
    const auto preview = readUtc(QString::fromUtf8(text), std::nullopt);
    EXPECT_EQ(preview.problems, expected);
    EXPECT_EQ(preview.totalRows, 7);
    ASSERT_EQ(preview.readings.size(), 3);
    EXPECT_EQ(preview.readings[0].taken, utc(2026, 4, 12, 11));
    EXPECT_EQ(preview.readings[1].taken, utc(2026, 4, 14, 10));
    EXPECT_EQ(preview.readings[2].taken, QDateTime::fromSecsSinceEpoch(1776164400, Qt::UTC));

    ImportStore s;
    const auto done = ClimateCSV::importFile(s.store, s.file(text), std::nullopt, false, QTimeZone::utc(), now2026);
    EXPECT_EQ(done.result.problems, expected);
    EXPECT_EQ(done.added, 3);
    for (const Reading& stored : s.store.readings(s.mainHouse))
        EXPECT_NE(stored.taken.date().month(), 1) << stored.taken.toString(Qt::ISODate).toStdString();
}

TEST(ClimateCSVDayFirst, EvidenceWhateverSeparatesTheDateFromItsTime)
{
    // The only day-first date of each file has no plain space before its time.
    for (const QString& sep : {QStringLiteral("\u00A0"), QStringLiteral("\u202F"), QStringLiteral("T"),
                              QStringLiteral("\t")}) {
        SCOPED_TRACE(QString::number(sep[0].unicode(), 16).toStdString());
        const QString evidence = QStringLiteral("13/04/2026") + sep + QStringLiteral("10:00");
        const QString text = QStringLiteral("timestamp,zone,rh\n"
                                            "01/04/2026 10:00,Main House,60\n"
                                            "\"") + evidence + QStringLiteral("\",Main House,61\n");
        const QList<ImportProblem> expected = {
            {2, dayFirstText("01/04/2026 10:00", "2026-04-01", "13/04/2026")},
            {3, dayFirstText(evidence, "2026-04-13")},
        };
        const auto preview = readUtc(text, std::nullopt);
        EXPECT_EQ(preview.problems, expected);
        EXPECT_TRUE(preview.readings.isEmpty());

        ImportStore s;
        const auto done = ClimateCSV::importFile(s.store, s.file(text.toUtf8()), std::nullopt, false,
                                                 QTimeZone::utc(), now2026);
        EXPECT_EQ(done.result.problems, expected);
        EXPECT_EQ(done.added, 0);
    }
}

TEST(ClimateCSVDayFirst, SeparateDateColumnsAndTwoDigitYears)
{
    const auto r = readUtc("Date;Time;RH (%)\n"
                           "1/4/26;10:00;60\n"
                           "25/4/26;;61\n"
                           "2026-04-26;10:00;62\n");
    ASSERT_EQ(r.problems.size(), 2);
    EXPECT_EQ(r.problems[0], (ImportProblem{2, dayFirstText("1/4/26 10:00", "2026-04-01", "25/4/26")}));
    EXPECT_EQ(r.problems[1], (ImportProblem{3, dayFirstText("25/4/26", "2026-04-25")}));
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].taken, utc(2026, 4, 26, 10));
}

TEST(ClimateCSVDayFirst, MonthFirstFilesReadAsBefore)
{
    // Days above 12 in the second place are month-first evidence, not day-first.
    const QByteArray text = "timestamp,rh\n"
                            "04/01/2026 10:00,60\n"
                            "04/13/2026 10:00,61\n"
                            "12/31/2026 11:59 PM,62\n"
                            "6/15/26 8:00,63\n"
                            "12/12/2026,64\n"
                            "2026-04-13 11:00,65\n";
    const auto r = readUtc(QString::fromUtf8(text));
    EXPECT_TRUE(r.problems.isEmpty());
    ASSERT_EQ(r.readings.size(), 6);
    EXPECT_EQ(r.readings[0].taken, utc(2026, 4, 1, 10));
    EXPECT_EQ(r.readings[1].taken, utc(2026, 4, 13, 10));
    EXPECT_EQ(r.readings[2].taken, utc(2026, 12, 31, 23, 59));
    EXPECT_EQ(r.readings[3].taken, utc(2026, 6, 15, 8));
    EXPECT_EQ(r.readings[4].taken, utc(2026, 12, 12));

    ImportStore s;
    const auto done = ClimateCSV::importFile(s.store, s.file(text), s.mainHouse, false, QTimeZone::utc(), now2026);
    EXPECT_TRUE(done.result.problems.isEmpty());
    EXPECT_EQ(done.added, 6);

    // Slash text outside the date column is no evidence.
    const auto notes = readUtc("timestamp,rh,note\n04/01/2026 10:00,60,moved 13/04/2026\n");
    EXPECT_TRUE(notes.problems.isEmpty());
    EXPECT_EQ(notes.readings.size(), 1);
}

// --- UTF-16 files with a byte-order mark --------------------------------------------

namespace {

QByteArray utf16File(const QString& text, QStringConverter::Encoding order, bool mark = true)
{
    QStringEncoder encoder(order, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder(text);
}

} // namespace

TEST(ClimateCSVFile, Utf16WithAByteOrderMarkIsDecodedInEitherOrder)
{
    const QString text = QStringLiteral("Timestamp\tZone\tTemp (\u00B0C)\tRH (%)\tNote\r\n"
                                        "2026-04-01 10:00\tPropagation\t21,5\t65\tfirst \U0001F331\r\n"
                                        "2026-04-01 11:00\tMain House\t22\t64\t\"a, b\"\r\n");
    for (const auto order : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        SCOPED_TRACE(order == QStringConverter::Utf16LE ? "little-endian" : "big-endian");
        ImportStore s;
        const QString path = s.file(utf16File(text, order));
        const auto preview = ClimateCSV::readFile(path, s.store.zones(), std::nullopt, false, QTimeZone::utc(), now2026);
        EXPECT_TRUE(preview.problems.isEmpty());
        EXPECT_EQ(preview.columnsFound, (QStringList{"Air temperature (°C)", "Humidity"}));
        ASSERT_EQ(preview.readings.size(), 2);
        EXPECT_EQ(preview.readings[0].values.at(Metric::temp), 70.7);
        EXPECT_EQ(preview.readings[0].note, QStringLiteral("first \U0001F331"));
        EXPECT_EQ(preview.readings[1].taken, utc(2026, 4, 1, 11));
        EXPECT_EQ(preview.readings[1].note, "a, b");

        const auto done = ClimateCSV::importFile(s.store, path, std::nullopt, false, QTimeZone::utc(), now2026);
        EXPECT_TRUE(done.result.problems.isEmpty());
        EXPECT_EQ(done.added, 2);
        EXPECT_EQ(s.store.readings(s.propagation).size(), 1);
    }
}

TEST(ClimateCSVFile, Utf16WithoutAMarkIsRefusedNamingTheEncoding)
{
    const QString reason = QStringLiteral(
        "it looks like UTF-16 text without a byte-order mark. Save it as UTF-8 (or as UTF-16 with a byte-order "
        "mark) and import it again.");
    for (const auto order : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        SCOPED_TRACE(order == QStringConverter::Utf16LE ? "little-endian" : "big-endian");
        ImportStore s;
        const QString path = s.file(utf16File(QStringLiteral("timestamp,zone,rh\r\n2026-04-01 10:00,Propagation,60\r\n"),
                                              order, false));
        const auto file = ClimateCSV::loadFile(path);
        EXPECT_EQ(file.error, reason);
        EXPECT_TRUE(file.text.isEmpty());
        const QList<ImportProblem> expected{{1, QStringLiteral("The file could not be read: ") + reason}};
        EXPECT_EQ(ClimateCSV::readFile(path, zones, 1, false, QTimeZone::utc(), now2026).problems, expected);
        const auto done = ClimateCSV::importFile(s.store, path, std::nullopt, false, QTimeZone::utc(), now2026);
        EXPECT_EQ(done.result.problems, expected);
        EXPECT_EQ(done.added, 0);
    }
}

// --- Shapes of real logger exports -----------------------------------------------------
// What each common shape gives, so that no change alters it unnoticed. Where a shape is
// refused, the one problem names what to change.

namespace {

const QString noDateColumn = QStringLiteral(
    "No date/time column was found. Name one column \"timestamp\" (or \"date\" and \"time\").");
const QString noReadingColumns = QStringLiteral(
    "No reading columns were found (for example temp_f, humidity, light, co2, soil_moisture, soil_temp_f, ph, ec).");

ClimateImportResult readBytes(const QByteArray& bytes)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file("logger.csv");
    EXPECT_TRUE(testsupport::writeAll(path, bytes));
    return ClimateCSV::readFile(path, zones, 2, false, QTimeZone::utc(), now2026);
}

} // namespace

TEST(ClimateCSVLoggerShapes, ATitleLineAboveTheHeaderIsRefusedOnLineOne)
{
    for (const QByteArray& title : {QByteArray("Bench 3 logger export\r\n"),
                                   QByteArray("\"Plot Title: Bench 3\",Serial 10234567\r\n")}) {
        const auto r = readBytes(title + "Timestamp,Temp (°F),RH (%)\r\n2026-04-01 10:00,70.2,65\r\n");
        EXPECT_EQ(r.problems, (QList<ImportProblem>{{1, noDateColumn}})) << title.constData();
        EXPECT_TRUE(r.readings.isEmpty());
        EXPECT_EQ(r.totalRows, 0);
    }
    // The same export with a numbered first column and the offset in the time heading.
    const auto r = readBytes("\"#\",\"Date Time, GMT-04:00\",\"Temp, °F\",\"RH, %\"\r\n"
                             "1,04/01/2026 10:00,70.2,65\r\n");
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{1, noDateColumn}}));
    EXPECT_EQ(r.columnsFound, (QStringList{"Air temperature (°F)", "Humidity"}));
}

TEST(ClimateCSVLoggerShapes, UnitsInHeadingsAndCells)
{
    const auto r = readBytes("Date Time,\"Temp, °F\",RH (%),Soil Temp (°C),CO2 (ppm),Light (lux)\n"
                             "04/01/2026 10:00 AM,70.2 °F,65 %,18.5,\"1,250\",12000 lux\n"
                             "04/01/2026 10:15 AM,70.4,66,18.6,1260,\n");
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(r.columnsFound,
              (QStringList{"Air temperature (°F)", "Humidity", "Soil temperature (°C)", "CO₂", "Light"}));
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].values, (Values{{Metric::temp, 70.2}, {Metric::humidity, 65}, {Metric::soilTemp, 65.3},
                                            {Metric::co2, 1250}, {Metric::light, 12000}}));
    EXPECT_EQ(r.readings[1].taken, utc(2026, 4, 1, 10, 15));

    // "Temp (°C)" is air temperature in °C.
    const auto c = readBytes("timestamp,Temp (°C)\n2026-04-01 10:00,20\n");
    ASSERT_EQ(c.readings.size(), 1);
    EXPECT_EQ(c.readings[0].values.at(Metric::temp), 68.0);
}

TEST(ClimateCSVLoggerShapes, ByteOrderMarkAndCrLf)
{
    const auto r = readBytes("\xEF\xBB\xBF" "Timestamp,Zone,Temp (°C),RH (%)\r\n"
                             "2026-04-01 10:00,Propagation,21.5,65\r\n"
                             "\r\n"
                             "2026-04-01 10:15,Propagation,21.7,64\r\n");
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(r.totalRows, 2);
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].zoneID, 1);
    EXPECT_EQ(r.readings[1].values.at(Metric::temp), 71.06);
}

TEST(ClimateCSVLoggerShapes, SemicolonsWithDecimalCommas)
{
    const auto r = readBytes("Timestamp;Temp (°C);RH (%);EC (mS/cm);pH\r\n"
                             "2026-04-01 10:00;21,5;65,2;1,8;6,1\r\n"
                             "01.04.2026 10:15;21,6;65,0;1,8;6,1\r\n");
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values,
              (Values{{Metric::temp, 70.7}, {Metric::humidity, 65.2}, {Metric::ec, 1.8}, {Metric::ph, 6.1}}));
    // Dates with dots are not one of the accepted spellings: that row is refused alone.
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{3, "The date/time \"01.04.2026 10:15\" could not be read."}}));
}

TEST(ClimateCSVLoggerShapes, TabSeparated)
{
    const auto r = readBytes("Date\tTime\tTemperature\tHumidity\tNote\n"
                             "2026-04-01\t10:00\t70.5\t61\tvent open, fan on\n"
                             "2026-04-01\t10:30\t71\t60\t\n");
    EXPECT_TRUE(r.problems.isEmpty());
    ASSERT_EQ(r.readings.size(), 2);
    EXPECT_EQ(r.readings[0].note, "vent open, fan on");
    EXPECT_EQ(r.readings[1].taken, utc(2026, 4, 1, 10, 30));
    EXPECT_EQ(r.readings[1].values.at(Metric::temp), 71.0);
}

TEST(ClimateCSVLoggerShapes, AColumnOfEmptyValueMarkers)
{
    // A CO₂ sensor that was never fitted: the column holds only markers.
    const auto r = readBytes("timestamp,temp_f,rh,co2\n"
                             "2026-04-01 10:00,70,60,---\n"
                             "2026-04-01 10:15,70,60,N/A\n"
                             "2026-04-01 10:30,NULL,--,n/a\n");
    EXPECT_EQ(r.columnsFound, (QStringList{"Air temperature (°F)", "Humidity", "CO₂"}));
    // "---" is no marker: it is refused as not a number, and says which column.
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{2, "CO₂ \"---\" is not a number."},
                                                {4, "The row has no readings."}}));
    ASSERT_EQ(r.readings.size(), 1);
    EXPECT_EQ(r.readings[0].values.size(), 2u);
}

TEST(ClimateCSVLoggerShapes, HeadingsNotRecognisedAreRefusedWithWhatToName)
{
    auto r = readBytes("Zeit;Temperatur;Luftfeuchte\n01.04.2026 10:00;21,5;65\n");
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{1, noDateColumn}}));
    EXPECT_TRUE(r.columnsFound.isEmpty());

    r = readBytes("timestamp,Water temp,VPD (kPa),Dew point\n2026-04-01 10:00,18,1.1,12\n");
    EXPECT_EQ(r.problems, (QList<ImportProblem>{{1, noReadingColumns}}));
    EXPECT_TRUE(r.readings.isEmpty());
}

namespace {

const QByteArray threeHumidities = "timestamp,humidity\n"
                                   "2026-06-01 08:00,50\n"
                                   "2026-06-01 09:00,wet\n"
                                   "2026-06-01 10:00,52\n";

} // namespace

// Memory that runs out on the way (here in the caller's sink) ends the read with the
// one problem that says so, never with an exception.
TEST(ClimateCSVStream, RunningOutOfMemoryIsAProblemNotAnException)
{
    ClimateImportResult r;
    EXPECT_NO_THROW(r = ClimateCSV::streamUtf8(threeHumidities, zones, 1, false,
                                               [](Reading&&) { throw std::bad_alloc(); }, QTimeZone::utc(), now2026));
    EXPECT_EQ(r.problems,
              (QList<ImportProblem>{{1, "The file could not be read: it is too large to read into memory"}}));
    EXPECT_TRUE(r.readings.isEmpty());
    EXPECT_EQ(r.totalRows, 0);
}

// Problems handed out instead of collected; a hook before each row that may stop the
// read; an import of loaded text into the zones given.
TEST(ClimateCSVStream, HooksTakeProblemsAndStopTheRead)
{
    QList<ImportProblem> problems;
    QList<QDateTime> taken;
    int rowsSeen = 0;
    ClimateCSV::Hooks hooks;
    hooks.onReading = [&](Reading&& reading) { taken.append(reading.taken); };
    hooks.onProblem = [&](ImportProblem&& problem) { problems.append(problem); };
    hooks.beforeRow = [&] { ++rowsSeen; };
    const auto r = ClimateCSV::streamUtf8(threeHumidities, zones, 1, false, hooks, QTimeZone::utc(), now2026);
    EXPECT_TRUE(r.problems.isEmpty());
    EXPECT_EQ(problems, (QList<ImportProblem>{{3, "Humidity \"wet\" is not a number."}}));
    EXPECT_EQ(taken, (QList<QDateTime>{utc(2026, 6, 1, 8), utc(2026, 6, 1, 10)}));
    EXPECT_EQ(rowsSeen, 3);
    EXPECT_EQ(r.totalRows, 3);

    // A file problem goes the same way.
    problems.clear();
    ClimateCSV::streamUtf8(QByteArrayView("timestamp,humidity\n"), zones, std::nullopt, false, hooks);
    EXPECT_EQ(problems, (QList<ImportProblem>{{1, "The file has no zone column. Choose the zone to import into."}}));

    struct Stop {};
    rowsSeen = 0;
    taken.clear();
    hooks.beforeRow = [&] {
        if (++rowsSeen == 3)
            throw Stop();
    };
    EXPECT_THROW(ClimateCSV::streamUtf8(threeHumidities, zones, 1, false, hooks, QTimeZone::utc(), now2026), Stop);
    EXPECT_EQ(taken.size(), 1);

    // The import stops the same way and writes nothing; run through, it takes the
    // zones it is given, not the store's.
    testsupport::ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("stream.sqlite")));
    Greenhouse house;
    house.name = QStringLiteral("G");
    store.save(house);
    Zone bench;
    bench.greenhouseID = house.id;
    bench.name = QStringLiteral("Bench");
    store.save(bench);
    const QByteArray named = "timestamp,zone,humidity\n2026-06-01 08:00,Potting,50\n2026-06-01 09:00,Potting,51\n"
                             "2026-06-01 10:00,Potting,52\n";
    const QList<Zone> renamed{zone(bench.id, QStringLiteral("Potting"))};
    rowsSeen = 0;
    EXPECT_THROW(ClimateCSV::importUtf8(store, named, renamed, std::nullopt, false, hooks, QTimeZone::utc(), now2026),
                 Stop);
    EXPECT_EQ(store.count(QStringLiteral("reading")), 0);
    hooks.beforeRow = {};
    const auto done = ClimateCSV::importUtf8(store, named, renamed, std::nullopt, false, hooks, QTimeZone::utc(), now2026);
    EXPECT_EQ(done.added, 3);
    EXPECT_EQ(store.readings(bench.id).size(), 3);
}
