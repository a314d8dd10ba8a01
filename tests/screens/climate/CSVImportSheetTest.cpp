#include "screens/climate/CSVImportSheet.h"

#include "kit/OVEditorFrame.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "services/BackgroundJob.h"
#include "services/FilePanels.h"

#include "ClimateTestSupport.h"
#include "JobTestSupport.h"

#include <QCheckBox>
#include <QTest>
#include <QDir>

using climatetest::ClimateFixture;

namespace {

class CSVImportSheetTest : public ClimateFixture {
protected:
    void SetUp() override
    {
        ClimateFixture::SetUp();
        saved = FilePanels::backend();
        FilePanels::backend().open = [this](const QList<FileType>& types, const QString& message) {
            offeredTypes = types;
            offeredMessage = message;
            return chosen;
        };
    }
    void TearDown() override
    {
        FilePanels::backend() = saved;
        ClimateFixture::TearDown();
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.file(name);
        EXPECT_TRUE(testsupport::writeAll(path, bytes));
        return path;
    }
    QStringList problemLines(const CSVImportSheet& sheet) const
    {
        QStringList out;
        for (const QString& line : sheet.previewLines())
            if (line.startsWith(QStringLiteral("Line ")))
                out.append(line);
        return out;
    }

    FilePanels::Backend saved;
    std::optional<QString> chosen;
    QList<FileType> offeredTypes;
    QString offeredMessage;
};

const QByteArray threeRows = "timestamp,temp_f,humidity\n"
                             "2026-06-01 08:00,70,60\n"
                             "2026-06-01 09:00,warm,61\n"
                             "2026-06-01 10:00,90,62\n";

} // namespace

TEST_F(CSVImportSheetTest, PreviewImportSummaryRepeatAndAlerts)
{
    addSample();
    const Zone propagation = zoneNamed(QStringLiteral("Propagation"));
    AppModel::shared().setSheet(EditSheet::importCSV(propagation.id));
    CSVImportSheet sheet(propagation.id, *store);
    EXPECT_EQ(sheet.defaultZone(), propagation.id);
    EXPECT_EQ(sheet.zonePicker()->zoneID(), propagation.id);
    EXPECT_EQ(sheet.fileLabelText(), QStringLiteral("No file chosen"));

    // Before a file: the switches build no preview, Import has nothing.
    sheet.setCelsius(true);
    sheet.setCelsius(false);
    EXPECT_FALSE(sheet.result());
    sheet.runImport();
    testsupport::finishJobs();
    EXPECT_EQ(AppModel::shared().message(), CSVImportSheet::nothingToImport);

    chosen = write(QStringLiteral("log.csv"), threeRows);
    sheet.chooseButton()->click();
    testsupport::finishJobs();
    EXPECT_EQ(offeredMessage, QStringLiteral("Choose a CSV file of climate readings"));
    EXPECT_EQ(offeredTypes.size(), 3);
    EXPECT_EQ(sheet.fileLabelText(), QStringLiteral("log.csv"));
    ASSERT_TRUE(sheet.result());
    const QStringList lines = sheet.previewLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("3 data rows · 2 ready to import · 1 with problems"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Columns found: ")));
    ASSERT_EQ(problemLines(sheet).size(), 1);
    EXPECT_TRUE(problemLines(sheet).first().startsWith(QStringLiteral("Line 3: ")));

    const qint64 before = store->count(QStringLiteral("reading"));
    emit sheet.frame()->saveRequested();
    testsupport::finishJobs();
    EXPECT_EQ(sheet.done(), QStringLiteral("Imported 2 reading(s). 1 row(s) had problems (listed above)."));
    EXPECT_EQ(store->count(QStringLiteral("reading")), before + 2);
    EXPECT_EQ(sheet.frame()->saveButton()->title(), QStringLiteral("Close"));
    // The newest row (90°F) is above Propagation's 85°F: one alert line.
    ASSERT_EQ(OVNotify::sentAlerts.size(), 1);
    EXPECT_TRUE(OVNotify::sentAlerts.first().startsWith(QStringLiteral("Sample Greenhouse · Propagation: ")));

    // Choosing the file again makes it importable again; every row is now a duplicate.
    sheet.pick();
    testsupport::finishJobs();
    EXPECT_FALSE(sheet.done());
    EXPECT_EQ(sheet.frame()->saveButton()->title(), QStringLiteral("Import"));
    sheet.runImport();
    testsupport::finishJobs();
    EXPECT_EQ(sheet.done(), QStringLiteral("Imported 0 reading(s). Skipped 2 already in the log. 1 row(s) had "
                                           "problems (listed above)."));
    EXPECT_EQ(store->count(QStringLiteral("reading")), before + 2);

    // Return after an import closes the sheet instead of importing again.
    emit sheet.frame()->saveRequested();
    testsupport::finishJobs();
    EXPECT_FALSE(AppModel::shared().sheet());
}

// Two rows of a zone at the same newest time: the first of them decides the alert,
// whatever the order of their outcomes (an older, hotter row never does).
TEST_F(CSVImportSheetTest, FirstOfTheNewestRowsDecidesTheAlert)
{
    addSample();
    const Zone propagation = zoneNamed(QStringLiteral("Propagation")); // 60–85 °F
    CSVImportSheet sheet(propagation.id, *store);
    const auto import = [&](const QString& name, const QByteArray& rows) {
        OVNotify::sentAlerts.clear();
        chosen = write(name, "timestamp,temp_f,humidity\n" + rows);
        sheet.chooseButton()->click();
        testsupport::finishJobs();
        ASSERT_TRUE(sheet.result());
        sheet.runImport();
        testsupport::finishJobs();
        ASSERT_TRUE(sheet.done());
    };

    import(QStringLiteral("fine-first.csv"), "2026-06-01 08:00,95,60\n"
                                             "2026-06-01 10:00,70,60\n"
                                             "2026-06-01 10:00,90,60\n");
    EXPECT_TRUE(OVNotify::sentAlerts.isEmpty()) << OVNotify::sentAlerts.join(u'\n').toStdString();

    import(QStringLiteral("hot-first.csv"), "2026-06-02 10:00,90,60\n"
                                            "2026-06-02 10:00,70,60\n"
                                            "2026-06-02 08:00,72,60\n");
    ASSERT_EQ(OVNotify::sentAlerts.size(), 1);
    EXPECT_TRUE(OVNotify::sentAlerts.first().startsWith(QStringLiteral("Sample Greenhouse · Propagation: ")));
}

TEST_F(CSVImportSheetTest, ProblemListStopsAtFortyAndCountsTheRest)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    QByteArray text = "timestamp,humidity\n";
    for (int i = 0; i < 45; ++i)
        text += "2026-06-01 08:" + QByteArray::number(10 + i) + ",wet\n";
    chosen = write(QStringLiteral("bad.csv"), text);
    CSVImportSheet sheet(zone.id, *store);
    sheet.pick();
    testsupport::finishJobs();
    EXPECT_EQ(problemLines(sheet).size(), 40);
    EXPECT_EQ(sheet.previewLines().last(), QStringLiteral("…and 5 more."));

    QByteArray forty = "timestamp,humidity\n";
    for (int i = 0; i < 40; ++i)
        forty += "2026-06-01 08:" + QByteArray::number(10 + i) + ",wet\n";
    chosen = write(QStringLiteral("forty.csv"), forty);
    sheet.pick();
    testsupport::finishJobs();
    EXPECT_EQ(problemLines(sheet).size(), 40);
    EXPECT_TRUE(sheet.previewLines().last().startsWith(QStringLiteral("Line 41: ")));
}

TEST_F(CSVImportSheetTest, Latin1HeaderCelsiusSwitchAndStaleZone)
{
    const Zone first = addZone(QStringLiteral("A House"), QStringLiteral("First"));
    addZone(QStringLiteral("B House"), QStringLiteral("Second"));
    CSVImportSheet sheet(987654, *store);
    EXPECT_EQ(sheet.defaultZone(), first.id);

    chosen = write(QStringLiteral("latin1.csv"), "timestamp,Temp \xB0" "F,temp\n2026-06-01 08:00,70,20\n");
    sheet.pick();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.result());
    ASSERT_EQ(sheet.result()->readings.size(), 1) << sheet.previewLines().join('\n').toStdString();
    EXPECT_TRUE(sheet.result()->problems.isEmpty());
    EXPECT_EQ(sheet.result()->readings.first().zoneID, first.id);

    // A plain "temp" column becomes °C at once when the switch is ticked.
    chosen = write(QStringLiteral("plain.csv"), "timestamp,temp\n2026-06-01 08:00,20\n");
    sheet.pick();
    testsupport::finishJobs();
    EXPECT_DOUBLE_EQ(sheet.result()->readings.first().values.at(Metric::temp), 20);
    sheet.celsiusBox()->click();
    testsupport::finishJobs();
    EXPECT_TRUE(sheet.celsius());
    EXPECT_DOUBLE_EQ(sheet.result()->readings.first().values.at(Metric::temp), 68);
}

TEST_F(CSVImportSheetTest, UnreadableFileSaysWhyAndCancelledChooserChangesNothing)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    CSVImportSheet sheet(zone.id, *store);
    sheet.pick(); // cancelled
    testsupport::finishJobs();
    EXPECT_FALSE(sheet.result());

    const QString folder = dir.file(QStringLiteral("a folder.csv"));
    ASSERT_TRUE(QDir().mkpath(folder));
    chosen = folder;
    sheet.pick();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.result());
    ASSERT_EQ(sheet.result()->problems.size(), 1);
    EXPECT_EQ(sheet.result()->problems.first().line, 1);
    EXPECT_TRUE(sheet.result()->problems.first().reason.startsWith(QStringLiteral("The file could not be read: ")));
    EXPECT_GT(sheet.result()->problems.first().reason.size(), 28);
    EXPECT_EQ(sheet.previewLines().first(), QStringLiteral("0 data rows · 0 ready to import · 1 with problems"));

    chosen.reset();
    sheet.pick();
    testsupport::finishJobs();
    EXPECT_EQ(sheet.fileLabelText(), QStringLiteral("a folder.csv"));
}

TEST_F(CSVImportSheetTest, RefusedImportStoresNothingAndLeavesThePreview)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Doomed"));
    chosen = write(QStringLiteral("log.csv"), threeRows);
    CSVImportSheet sheet(zone.id, *store);
    sheet.pick();
    testsupport::finishJobs();
    store->remove<Zone>(zone.id); // the zone goes after the preview
    sheet.runImport();
    testsupport::finishJobs();
    EXPECT_FALSE(sheet.done());
    EXPECT_EQ(store->count(QStringLiteral("reading")), 0);
    ASSERT_TRUE(AppModel::shared().message());
    EXPECT_EQ(*AppModel::shared().message(), QStringLiteral("Choose the zone this reading is for."));
}

TEST_F(CSVImportSheetTest, ImportOnAJobMatchesTheDirectImportAndCancelWritesNothing)
{
    addSample();
    const Zone zone = zoneNamed(QStringLiteral("Propagation"));
    QByteArray text = "timestamp,temp_f,humidity\n";
    for (int i = 0; i < 600; ++i)
        text += "2030-02-01 " + QTime(0, 0).addSecs(60 * i).toString(QStringLiteral("HH:mm")).toLatin1() + ',' +
                QByteArray::number(60 + i % 9) + ",55\n";
    chosen = write(QStringLiteral("log.csv"), text);

    // The same file imported directly into a copy of the store, for comparison.
    const QString copyPath = dir.file(QStringLiteral("copy.sqlite"));
    store->backup(QUrl::fromLocalFile(copyPath));
    OVStore direct(copyPath);
    direct.addReadings(ClimateCSV::readFile(*chosen, direct.zones(), zone.id, false).readings);

    CSVImportSheet sheet(zone.id, *store);
    sheet.pick();
    testsupport::finishJobs();
    const qint64 before = store->count(QStringLiteral("reading"));
    {
        testsupport::SlowJobs slow(0, 2000);
        sheet.runImport();
        ASSERT_TRUE(sheet.importing());
        // Nothing that would conflict can be started meanwhile.
        EXPECT_FALSE(sheet.chooseButton()->isEnabled());
        EXPECT_FALSE(sheet.frame()->saveButton()->isEnabled());
        EXPECT_FALSE(sheet.celsiusBox()->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return sheet.importJob()->state().done() > 10; }, 5000));
        AppModel::shared().setSheet(EditSheet::importCSV(zone.id));
        // Cancel stops the import and keeps the sheet open.
        emit sheet.frame()->cancelRequested();
        testsupport::finishJobs();
    }
    EXPECT_TRUE(AppModel::shared().sheet());
    EXPECT_FALSE(sheet.done());
    EXPECT_EQ(store->count(QStringLiteral("reading")), before);
    EXPECT_TRUE(sheet.frame()->saveButton()->isEnabled());

    sheet.runImport();
    testsupport::finishJobs();
    EXPECT_EQ(sheet.done(), QStringLiteral("Imported 600 reading(s)."));
    EXPECT_EQ(store->digest(), direct.digest());

    // Cancel with nothing running closes the sheet as before.
    sheet.pick();
    testsupport::finishJobs();
    emit sheet.frame()->cancelRequested();
    EXPECT_FALSE(AppModel::shared().sheet());
}

TEST_F(CSVImportSheetTest, TheNewestPreviewRequestWins)
{
    addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    chosen = write(QStringLiteral("plain.csv"), "timestamp,temp\n2026-06-01 08:00,20\n");
    CSVImportSheet sheet(std::nullopt, *store);
    {
        testsupport::SlowJobs slow(300, 0);
        sheet.pick();
        EXPECT_TRUE(sheet.reading());
        EXPECT_FALSE(sheet.frame()->saveButton()->isEnabled()) << "Import waits for the preview";
        sheet.setCelsius(true); // while the first reading still runs
        sheet.setCelsius(false);
        sheet.setCelsius(true);
        testsupport::finishJobs();
    }
    ASSERT_TRUE(sheet.result());
    ASSERT_EQ(sheet.result()->readings.size(), 1);
    EXPECT_DOUBLE_EQ(sheet.result()->readings.first().values.at(Metric::temp), 68);
    EXPECT_TRUE(sheet.frame()->saveButton()->isEnabled());
}

TEST_F(CSVImportSheetTest, ClosingTheSheetMidImportWritesNothing)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    QByteArray text = "timestamp,temp_f\n";
    for (int i = 0; i < 300; ++i)
        text += "2030-03-01 " + QTime(0, 0).addSecs(60 * i).toString(QStringLiteral("HH:mm")).toLatin1() + ",70\n";
    chosen = write(QStringLiteral("log.csv"), text);
    auto sheet = std::make_unique<CSVImportSheet>(zone.id, *store);
    sheet->pick();
    testsupport::finishJobs();
    testsupport::SlowJobs slow(0, 3000);
    sheet->runImport();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->importJob()->state().done() > 5; }, 5000));
    sheet.reset();
    testsupport::finishJobs();
    EXPECT_EQ(store->count(QStringLiteral("reading")), 0);
    EXPECT_FALSE(AppModel::shared().message());
}
