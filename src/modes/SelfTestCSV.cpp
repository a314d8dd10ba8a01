#include "modes/SelfTestCSV.h"

#include "modes/SelfTestErrors.h"

#include "modes/SelfTestStore.h"

#include "modes/OVSelfTest.h"
#include "records/Metric.h"
#include "records/Reading.h"
#include "records/Zone.h"
#include "services/ClimateCSV.h"
#include "services/OVCSV.h"
#include "store/OVStore.h"

#include <QDir>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QTimeZone>

#include <exception>
#include <memory>
#include <optional>

namespace {

// A logger export with a byte-order mark and CR LF line ends: good rows in four date
// spellings, one bad row of each kind, a blank line and a row without a zone.
const QString& mainFile()
{
    static const QString text = QStringLiteral(
        "\uFEFFTimestamp,Zone,Temp (°C),RH %,Light,CO2,Soil Moisture,pH,EC,Note\r\n"
        "2026-10-20 07:00,Propagation,20,80,1200,450,40,6.2,1.4,morning\r\n"
        "2026-10-20T14:00:00,propagation,25.5,60,30000,420,35,6.3,1.5,\"warm, sunny\"\r\n"
        "10/20/2026 8:00 PM,Main House,15,85,,,,,,\r\n"
        "2026-10-21 07:00,Main House,NA,90,,,,,,\r\n"
        "yesterday,Main House,18,70,,,,,,\r\n"
        "2026-10-21 08:00,Main House,warm,70,,,,,,\r\n"
        "2026-10-21 09:00,Back Room,18,70,,,,,,\r\n"
        "2026-10-21 10:00,Main House,18,140,,,,,,\r\n"
        "2026-10-21 11:00,Main House,,,,,,,,only a note\r\n"
        "\r\n"
        "2026-10-21 12:00,,21,55,,,,,,\r\n"
        "1792900000,Propagation,22,65,,,,,,\r\n");
    return text;
}

std::optional<double> valueOf(const Reading& reading, Metric metric)
{
    const auto found = reading.values.find(metric);
    if (found == reading.values.end())
        return std::nullopt;
    return found->second;
}

QString listText(const QList<int>& numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts.append(QString::number(n));
    return u'[' + parts.join(QStringLiteral(", ")) + u']';
}

QString listText(const QStringList& texts)
{
    QStringList parts;
    for (const QString& t : texts)
        parts.append(u'"' + t + u'"');
    return u'[' + parts.join(QStringLiteral(", ")) + u']';
}

// The first problem's reason contains `part`; false when there is no problem.
bool firstProblemSays(const ClimateImportResult& result, const QString& part)
{
    return !result.problems.isEmpty() && result.problems.first().reason.contains(part);
}


} // namespace

namespace OVSelfTest {

void csvTests(OVTestRun& run, const QString& folder)
{
    run.begin(QStringLiteral("Climate CSV import (good rows, bad rows, units, duplicates)"));

    {
        const QList<OVCSV::Row> rows =
            OVCSV::parse(QStringLiteral("a,b\r\n\"x, y\",\"he said \"\"hi\"\"\"\r\n\"line1\nline2\",z\n"));
        run.check(rows.size() == 3 && rows[1].fields == QStringList{QStringLiteral("x, y"), QStringLiteral("he said \"hi\"")}
                      && rows[2].fields == QStringList{QStringLiteral("line1\nline2"), QStringLiteral("z")},
                  QStringLiteral("CSV reader: quotes, commas and new lines inside quotes"));
    }
    run.check(OVCSV::escape(QStringLiteral("=SUM(A1)")) == QStringLiteral("\"'=SUM(A1)\"")
                  && OVCSV::escape(QStringLiteral("a,b")) == QStringLiteral("\"a,b\""),
              QStringLiteral("CSV writer: quotes commas and blocks spreadsheet formulas"));

    const std::unique_ptr<OVStore> store = openGroupStore(run, folder, QStringLiteral("csv.sqlite"));
    if (!store)
        return;
    const QList<Zone> fixtures = trySaveZones(*store, {QStringLiteral("Propagation"), QStringLiteral("Main House")});
    const Zone& propagation = fixtures[0];
    const Zone& mainHouse = fixtures[1];

    const auto readMain = [&] { return ClimateCSV::read(mainFile(), store->zones(), mainHouse.id, false); };
    const ClimateImportResult main = readMain();

    run.check(main.totalRows == 11,
              QStringLiteral("11 data rows read (blank line ignored): ") + QString::number(main.totalRows));
    run.check(main.readings.size() == 6,
              QStringLiteral("6 good rows ready: ") + QString::number(main.readings.size()));
    {
        QList<int> lines;
        for (const ImportProblem& p : main.problems)
            lines.append(p.line);
        run.check(lines == QList<int>{6, 7, 8, 9, 10},
                  QStringLiteral("bad rows listed with their line numbers: ") + listText(lines));
    }
    {
        const QStringList why = {QStringLiteral("could not be read"), QStringLiteral("not a number"),
                                 QStringLiteral("no zone named"), QStringLiteral("not a possible"),
                                 QStringLiteral("no readings")};
        bool each = true;
        for (qsizetype i = 0; i < why.size(); ++i) {
            const QString reason = i < main.problems.size() ? main.problems[i].reason : QString();
            each = each && reason.contains(why[i]);
        }
        run.check(each, QStringLiteral("each bad row says why"));
    }

    if (main.readings.size() != 6) {
        run.check(false, QStringLiteral("CSV rows missing — later CSV checks skipped"));
        return;
    }
    const QList<Reading>& r = main.readings;
    run.check(near(valueOf(r[0], Metric::temp), 68) && near(valueOf(r[1], Metric::temp), 77.9),
              QStringLiteral("°C column converted to °F (20 → 68, 25.5 → 77.9)"));
    run.check(r[1].zoneID == propagation.id && r[1].note == QStringLiteral("warm, sunny"),
              QStringLiteral("zone names match without caring about capitals; quoted note kept"));
    run.check(!valueOf(r[3], Metric::temp) && valueOf(r[3], Metric::humidity) == 90.0,
              QStringLiteral("NA cells are skipped, the rest of the row is kept"));
    run.check(r[4].zoneID == mainHouse.id, QStringLiteral("rows without a zone go into the chosen zone"));
    {
        const QSet<QString> expected = {QStringLiteral("Air temperature (°C)"), QStringLiteral("Humidity"),
                                        QStringLiteral("Light"),        QStringLiteral("CO₂"),
                                        QStringLiteral("Soil moisture"), QStringLiteral("Soil / solution pH"),
                                        QStringLiteral("EC (salts)")};
        const QSet<QString> found(main.columnsFound.cbegin(), main.columnsFound.cend());
        run.check(found == expected, QStringLiteral("columns recognised: ") + listText(main.columnsFound));
    }
    run.check(r[2].taken.toTimeZone(QTimeZone::systemTimeZone()).time().hour() == 20,
              QStringLiteral("US date with PM read as 20:00"));

    bool firstImported = false;
    try {
        const OVStore::ImportCounts counts = store->addReadings(r);
        firstImported = true;
        run.check(counts.added == 6 && counts.duplicates == 0 && store->count(QStringLiteral("reading")) == 6,
                  QStringLiteral("import adds the 6 good readings in one go"));
    } catch (const std::exception& e) {
        run.check(false, QStringLiteral("import: ") + errorText(e));
    }
    if (firstImported) {
        try {
            const OVStore::ImportCounts counts = store->addReadings(readMain().readings);
            run.check(counts.added == 0 && counts.duplicates == 6 && store->count(QStringLiteral("reading")) == 6,
                      QStringLiteral("importing the same file again adds nothing (6 duplicates skipped)"));
        } catch (const std::exception& e) {
            run.check(false, QStringLiteral("import: ") + errorText(e));
        }
    }

    const QList<Zone> zones = store->zones();
    {
        const ClimateImportResult small = ClimateCSV::read(
            QStringLiteral("date;time;temp;humidity\n2026-10-22;06:30;61,5;77\n"), zones, propagation.id, false);
        run.check(small.readings.size() == 1 && near(valueOf(small.readings[0], Metric::temp), 61.5)
                      && small.problems.isEmpty(),
                  QStringLiteral("semicolon file with separate date/time and comma decimals"));
    }
    {
        const ClimateImportResult small = ClimateCSV::read(QStringLiteral("timestamp,temp\n2026-10-22 06:30,10\n"),
                                                           zones, propagation.id, true);
        run.check(!small.readings.isEmpty() && near(valueOf(small.readings[0], Metric::temp), 50),
                  QStringLiteral("plain “temp” column read as °C when that box is ticked"));
    }
    run.check(firstProblemSays(ClimateCSV::read(QStringLiteral("zone,temp_f\nMain House,70\n"), zones, std::nullopt,
                                                false),
                               QStringLiteral("date/time")),
              QStringLiteral("file without a time column is explained"));
    run.check(firstProblemSays(ClimateCSV::read(QStringLiteral("timestamp,color\n2026-10-22 06:30,red\n"), zones,
                                                propagation.id, false),
                               QStringLiteral("No reading columns")),
              QStringLiteral("file without reading columns is explained"));
    run.check(firstProblemSays(ClimateCSV::read(QStringLiteral("timestamp,temp_f\n2026-10-22 06:30,70\n"), zones,
                                                std::nullopt, false),
                               QStringLiteral("zone")),
              QStringLiteral("file without zones needs a chosen zone"));
    run.check(ClimateCSV::read(ClimateCSV::templateText, zones, std::nullopt, false).readings.size() == 1,
              QStringLiteral("the example file offered in the app imports cleanly"));
    run.check(firstProblemSays(ClimateCSV::read(QString(), {}, std::nullopt, false), QStringLiteral("empty")),
              QStringLiteral("an empty file is explained"));
}

} // namespace OVSelfTest
