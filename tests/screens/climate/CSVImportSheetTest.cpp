#include "screens/climate/CSVImportSheet.h"

#include "records/Calendar.h"
#include "kit/OVEditorFrame.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "services/BackgroundJob.h"
#include "services/FilePanels.h"

#include "ClimateTestSupport.h"
#include "JobTestSupport.h"

#include "kit/JobProgressBar.h"

#include <QCheckBox>
#include <QTest>
#include <QDir>

#include <functional>

#include <sys/resource.h>
#include <unistd.h>

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

// `rows` rows of "timestamp,temp_f,humidity", a minute apart on the local clock from
// 2026-01-01 00:00, with every `badEvery`-th row's humidity unreadable (0: none). The
// minutes a daylight-saving change skips are left out: the reader would take each of
// them as the first instant after the gap, a duplicate of the row there.
QByteArray loggerRows(int rows, int badEvery = 0)
{
    QByteArray text = "timestamp,temp_f,humidity\n";
    text.reserve(qsizetype(rows) * 26 + 32);
    const Calendar calendar;
    // Offsets stay within a day, so a change that skips a wall time of `day` falls
    // between midnight UTC the day before and midnight UTC the day after it.
    const auto offsetAt = [&calendar](QDate d) {
        return calendar.timeZone().offsetFromUtc(QDateTime(d, QTime(0, 0), QTimeZone::utc()));
    };
    QDate day(2026, 1, 1);
    QByteArray dayText;
    bool dayMaySkip = false;
    for (int i = 0, minute = 0; i < rows; ++minute) {
        if (minute == 1440) {
            minute = 0;
            day = day.addDays(1);
        }
        if (minute == 0) {
            dayText = day.toString(QStringLiteral("yyyy-MM-dd ")).toLatin1();
            dayMaySkip = offsetAt(day.addDays(-1)) != offsetAt(day.addDays(2));
        }
        const QTime wall(minute / 60, minute % 60);
        if (dayMaySkip && calendar.time(calendar.instant(day, wall)) != wall)
            continue;
        text += dayText;
        text += char('0' + minute / 600);
        text += char('0' + minute / 60 % 10);
        text += ':';
        text += char('0' + minute % 60 / 10);
        text += char('0' + minute % 10);
        text += badEvery > 0 && (i + 1) % badEvery == 0 ? ",70,wet\n" : ",70,55\n";
        ++i;
    }
    return text;
}

// The address space the process has taken, in bytes.
qint64 mappedBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
}

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
    ASSERT_EQ(sheet.result()->ready, 1) << sheet.previewLines().join('\n').toStdString();
    EXPECT_TRUE(sheet.result()->problems.isEmpty());
    ASSERT_EQ(sheet.result()->newest.size(), 1);
    EXPECT_EQ(sheet.result()->newest.first().zoneID, first.id);

    // A plain "temp" column becomes °C at once when the switch is ticked.
    chosen = write(QStringLiteral("plain.csv"), "timestamp,temp\n2026-06-01 08:00,20\n");
    sheet.pick();
    testsupport::finishJobs();
    EXPECT_DOUBLE_EQ(sheet.result()->newest.first().values.at(Metric::temp), 20);
    sheet.celsiusBox()->click();
    testsupport::finishJobs();
    EXPECT_TRUE(sheet.celsius());
    EXPECT_DOUBLE_EQ(sheet.result()->newest.first().values.at(Metric::temp), 68);
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

// Picked by mistake, the open database or one of its side files is refused unread:
// closing a descriptor of it would drop the engine's locks. So is a hard link to it
// under a name of its own in another folder.
TEST_F(CSVImportSheetTest, TheOpenDatabaseIsRefusedUnread)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    const QString db = store->path();
    const QString shm = db + QStringLiteral("-shm");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("elsewhere")));
    const QString link = dir.file(QStringLiteral("elsewhere/Copy.csv"));
    ASSERT_EQ(::link(QFile::encodeName(db).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
    ASSERT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
    CSVImportSheet sheet(zone.id, *store);
    for (const QString& file : {db, db + QStringLiteral("-wal"), shm, link}) {
        SCOPED_TRACE(file.toStdString());
        chosen = file;
        sheet.pick();
        testsupport::finishJobs();
        ASSERT_TRUE(sheet.result());
        ASSERT_EQ(sheet.result()->problems.size(), 1);
        EXPECT_EQ(sheet.result()->problems.first().reason,
                  QStringLiteral("The file could not be read: it is the database that is open now."));
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
    }
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
    ASSERT_EQ(sheet.result()->ready, 1);
    ASSERT_EQ(sheet.result()->newest.size(), 1);
    EXPECT_DOUBLE_EQ(sheet.result()->newest.first().values.at(Metric::temp), 68);
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

// The sheet's Cancel on a re-read after a change of the °C box or of the zone: the
// control keeps the new choice, and the preview of the old one is never imported
// (it would store 20 °C as 20 °F, or into the other zone).
TEST_F(CSVImportSheetTest, ACancelledRereadKeepsImportOffUntilThePreviewMatches)
{
    const Zone first = addZone(QStringLiteral("A House"), QStringLiteral("First"));
    const Zone second = addZone(QStringLiteral("B House"), QStringLiteral("Second"));
    chosen = write(QStringLiteral("plain.csv"), "timestamp,temp\n2026-06-01 08:00,20\n");
    CSVImportSheet sheet(first.id, *store);
    sheet.pick();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.frame()->saveButton()->isEnabled());

    const auto cancelReread = [&](const std::function<void()>& change) {
        testsupport::SlowJobs slow(300, 0);
        change();
        ASSERT_TRUE(sheet.reading());
        sheet.progress()->cancelButton()->click();
        testsupport::finishJobs();
    };
    const auto importDoesNothing = [&] {
        EXPECT_FALSE(sheet.frame()->saveButton()->isEnabled());
        emit sheet.frame()->saveRequested();
        sheet.runImport();
        testsupport::finishJobs();
        EXPECT_FALSE(sheet.done());
        EXPECT_EQ(store->count(QStringLiteral("reading")), 0);
    };

    cancelReread([&] { sheet.celsiusBox()->click(); });
    EXPECT_TRUE(sheet.celsiusBox()->isChecked());
    EXPECT_TRUE(sheet.celsius());
    importDoesNothing();

    cancelReread([&] { sheet.setDefaultZone(second.id); });
    EXPECT_EQ(sheet.zonePicker()->zoneID(), second.id);
    importDoesNothing();

    // Going back to the choices the preview was read with makes it importable again.
    sheet.setDefaultZone(first.id);
    sheet.setCelsius(false);
    testsupport::finishJobs();
    EXPECT_TRUE(sheet.frame()->saveButton()->isEnabled());

    // A preview of the choices shown is imported as they say: 20 °C into Second.
    sheet.setDefaultZone(second.id);
    sheet.setCelsius(true);
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.frame()->saveButton()->isEnabled());
    sheet.runImport();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.done());
    const QList<Reading> stored = store->readings(second.id);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_DOUBLE_EQ(stored.first().values.at(Metric::temp), 68);
    EXPECT_TRUE(store->readings(first.id).isEmpty());
}

// A preview read for another zone is not the one shown, though the file and the °C
// box are the same: the readings would land in the zone it was read for.
TEST_F(CSVImportSheetTest, APreviewReadForAnotherZoneIsNotImported)
{
    const Zone first = addZone(QStringLiteral("A House"), QStringLiteral("First"));
    const Zone second = addZone(QStringLiteral("B House"), QStringLiteral("Second"));
    chosen = write(QStringLiteral("plain.csv"), "timestamp,temp\n2026-06-01 08:00,70\n");
    CSVImportSheet sheet(first.id, *store);
    sheet.pick();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.frame()->saveButton()->isEnabled());

    {
        testsupport::SlowJobs slow(300, 0);
        sheet.setDefaultZone(second.id);
        ASSERT_TRUE(sheet.reading());
        sheet.progress()->cancelButton()->click();
        testsupport::finishJobs();
    }
    EXPECT_EQ(sheet.zonePicker()->zoneID(), second.id);
    EXPECT_FALSE(sheet.celsius());
    EXPECT_FALSE(sheet.frame()->saveButton()->isEnabled());
    sheet.runImport();
    testsupport::finishJobs();
    EXPECT_FALSE(sheet.done());
    EXPECT_EQ(store->count(QStringLiteral("reading")), 0);
}

// Cancel stops the reading of a file between its rows; no preview comes of it.
TEST_F(CSVImportSheetTest, CancelStopsTheReadBetweenRows)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    chosen = write(QStringLiteral("long.csv"), loggerRows(3000));
    CSVImportSheet sheet(zone.id, *store);
    {
        testsupport::SlowJobs slow(0, 2000); // 6 s for the whole file
        sheet.pick();
        const QPointer<BackgroundJob> job = sheet.readingJob();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !job || job->state().done() > 5; }, 5000));
        ASSERT_TRUE(job && !job->hasEnded()) << "the read ended before it could be cancelled";
        sheet.progress()->cancelButton()->click();
        testsupport::finishJobs();
        ASSERT_TRUE(job);
        EXPECT_LT(job->state().done(), 3000);
    }
    EXPECT_FALSE(sheet.result());
    EXPECT_FALSE(sheet.frame()->saveButton()->isEnabled());

    sheet.pick();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.result());
    EXPECT_EQ(sheet.result()->ready, 3000);
    EXPECT_TRUE(sheet.frame()->saveButton()->isEnabled());
}

// The preview keeps counts and the problems it shows, not every row; the import
// reads the rows again and stores the good ones.
TEST_F(CSVImportSheetTest, PreviewKeepsCountsAndTheProblemsShown)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    chosen = write(QStringLiteral("mixed.csv"), loggerRows(3000, 3));
    CSVImportSheet sheet(zone.id, *store);
    sheet.pick();
    testsupport::finishJobs();
    ASSERT_TRUE(sheet.result());
    EXPECT_EQ(sheet.result()->totalRows, 3000);
    EXPECT_EQ(sheet.result()->ready, 2000);
    EXPECT_EQ(sheet.result()->problemCount, 1000);
    EXPECT_EQ(sheet.result()->problems.size(), CSVImportSheet::problemsShown);
    EXPECT_EQ(sheet.result()->problems.last().line, 3 * CSVImportSheet::problemsShown + 1);
    EXPECT_EQ(sheet.previewLines().first(), QStringLiteral("3000 data rows · 2000 ready to import · 1000 with problems"));
    EXPECT_EQ(sheet.previewLines().last(), QStringLiteral("…and 960 more."));

    sheet.runImport();
    testsupport::finishJobs();
    EXPECT_EQ(sheet.done(), QStringLiteral("Imported 2000 reading(s). 1000 row(s) had problems (listed above)."));
    EXPECT_EQ(store->count(QStringLiteral("reading")), 2000);
}

// A job that fails says so: the reading's failure as the preview's one problem, the
// import's in the notice, never the bare exception.
TEST_F(CSVImportSheetTest, AFailedJobIsShownNotSwallowed)
{
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    chosen = write(QStringLiteral("log.csv"), threeRows);
    CSVImportSheet sheet(zone.id, *store);
    {
        testsupport::FailingJobs failing;
        sheet.pick();
        testsupport::finishJobs();
    }
    ASSERT_TRUE(sheet.result());
    EXPECT_EQ(sheet.previewLines(),
              (QStringList{QStringLiteral("0 data rows · 0 ready to import · 1 with problems"),
                           QStringLiteral("Line 1: The file could not be read: it is too large to read into memory")}));
    sheet.runImport();
    EXPECT_EQ(AppModel::shared().message(), CSVImportSheet::nothingToImport);
    AppModel::shared().setMessage(std::nullopt);

    sheet.setCelsius(false); // read again, now without failing
    testsupport::finishJobs();
    ASSERT_EQ(sheet.result()->ready, 2);
    {
        testsupport::FailingJobs failing;
        sheet.runImport();
        testsupport::finishJobs();
    }
    EXPECT_FALSE(sheet.done());
    EXPECT_EQ(store->count(QStringLiteral("reading")), 0);
    EXPECT_EQ(AppModel::shared().message(),
              QStringLiteral("The file is too large to import with the memory available."));
}

namespace {

// The child's part of the large-file test: 0 when the sheet previewed and imported
// every row with no more than `headroom` bytes of address space beyond what the
// process had, else where it stopped.
int previewAndImportWithin(CSVImportSheet& sheet, int rows, qint64 headroom)
{
    const rlim_t limit = rlim_t(mappedBytes() + headroom);
    const rlimit memory{limit, limit};
    if (setrlimit(RLIMIT_AS, &memory) != 0)
        return 10;
    sheet.pick();
    testsupport::finishJobs();
    if (!sheet.result() || sheet.result()->ready != rows)
        return 1;
    sheet.runImport();
    testsupport::finishJobs();
    if (sheet.done() != CSVImportSheet::summary(rows, 0, 0))
        return 2;
    return 0;
}

} // namespace

// A logger file of a million rows (27 MB) under a memory limit of what the program
// takes plus 240 MB: the readings alone, held as a list, would not fit; the sheet
// previews and imports every row.
TEST_F(CSVImportSheetTest, AMillionRowFileIsPreviewedAndImportedUnderAMemoryLimit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Zone zone = addZone(QStringLiteral("House"), QStringLiteral("Bench"));
    constexpr int rows = 1000000;
    EXPECT_EXIT(
        {
            chosen = write(QStringLiteral("million.csv"), loggerRows(rows));
            int code = 0;
            {
                CSVImportSheet sheet(zone.id, *store);
                code = previewAndImportWithin(sheet, rows, qint64(240) << 20);
            }
            // The child leaves by _Exit, past the fixture's clean-up.
            dir.remove();
            std::_Exit(code);
        },
        testing::ExitedWithCode(0), "");
}
