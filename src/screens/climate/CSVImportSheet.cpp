#include "screens/climate/CSVImportSheet.h"

#include "kit/JobProgressBar.h"
#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"
#include "services/ClimateAlerts.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QPointer>
#include <QVBoxLayout>

#include <memory>
#include <new>

namespace {

// Keeps a wrapping label at least as tall as its lines at its width. The form stacks
// its rows at the top, and such a layout hands each row its size hint's height, which
// for a wrapping label is measured at a width of the label's own choosing: narrower
// than that, the label would be squeezed and its first and last lines cut off.
class WholeLines : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                const int lines = label->heightForWidth(label->width());
                if (lines > 0 && label->minimumHeight() != lines)
                    label->setMinimumHeight(lines);
            }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

const QString CSVImportSheet::nothingToImport =
    QStringLiteral("There is nothing to import yet. Choose a CSV file first.");

namespace {

const QString unreadable = QStringLiteral("The file could not be read: ");

// The grower's words for what ended a job: the store's own text, `outOfMemory` when
// memory ran out, else what the exception says.
QString failureReason(const std::exception_ptr& error, const QString& outOfMemory)
{
    try {
        std::rethrow_exception(error);
    } catch (const OVError& failure) {
        return failure.errorDescription();
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (const std::exception& failure) {
        return QString::fromUtf8(failure.what());
    } catch (...) {
        return QStringLiteral("an unexpected error");
    }
}

} // namespace

const QString CSVImportSheet::explanation = QStringLiteral(
    "Use a CSV file exported from a data logger or a spreadsheet. The first row must name the columns: a date/time "
    "column (timestamp, or date and time) and any of temp_f / temp_c, humidity, light, co2, soil_moisture, "
    "soil_temp_f / soil_temp_c, ph, ec — plus an optional zone and note column. Rows with problems are skipped and "
    "listed below; the good rows are imported. Readings already in the zone for the same minute are skipped as "
    "duplicates.");

CSVImportSheet::CSVImportSheet(std::optional<qint64> zoneID, OVStore& store, QWidget* parent)
    : QWidget(parent), m_store(store)
{
    const OVColors colors;
    // The zone handed in while it exists, else the first zone (none without zones).
    const QList<Zone> zones = m_store.zones();
    for (const Zone& zone : zones)
        if (zoneID && zone.id == *zoneID)
            m_defaultZone = zone.id;
    if (!m_defaultZone && !zones.isEmpty())
        m_defaultZone = zones.first().id;

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(QStringLiteral("Import Climate Readings (CSV)"), QStringLiteral("square.and.arrow.down"),
                                680);
    m_frame->setSaveTitle(QStringLiteral("Import"));
    outer->addWidget(m_frame);
    QVBoxLayout* body = m_frame->body();

    auto* intro = new OVLabel(explanation, 12, QFont::Normal, colors.dim());
    intro->setWrapping(true);
    intro->installEventFilter(new WholeLines(intro));
    body->addWidget(intro);

    auto* fileRow = new QHBoxLayout;
    fileRow->setSpacing(KitMetrics::px(8));
    m_choose = new QNChromeButton(QStringLiteral("Choose CSV File…"));
    m_example = new QNChromeButton(QStringLiteral("Save an Example File…"));
    m_fileLabel = new OVLabel(QStringLiteral("No file chosen"), 12.5, QFont::Normal, colors.dim());
    fileRow->addWidget(m_choose);
    fileRow->addWidget(m_example);
    fileRow->addWidget(m_fileLabel, 1);
    body->addLayout(fileRow);
    connect(m_choose, &QPushButton::clicked, this, [this] { pick(); });
    connect(m_example, &QPushButton::clicked, this,
            [] { FilePanels::exportCSV(ClimateCSV::templateText, QStringLiteral("Climate import example.csv")); });

    auto* zoneRow = new QHBoxLayout;
    zoneRow->setSpacing(KitMetrics::px(12));
    m_zone = new ZonePicker(m_store);
    m_zone->setZoneID(m_defaultZone);
    zoneRow->addWidget(new OVField(QStringLiteral("Zone for rows without a zone"), m_zone), 1);
    m_celsiusBox = new QCheckBox(QStringLiteral("Plain “temp” columns are in °C"));
    m_celsiusBox->setFont(KitMetrics::font(13));
    zoneRow->addWidget(m_celsiusBox, 0, Qt::AlignBottom);
    body->addLayout(zoneRow);
    connect(m_zone, &ZonePicker::picked, this, [this] { setDefaultZone(m_zone->zoneID()); });
    connect(m_celsiusBox, &QCheckBox::clicked, this, [this](bool on) { setCelsius(on); });

    m_previewHolder = new QVBoxLayout;
    m_previewHolder->setContentsMargins(0, 0, 0, 0);
    body->addLayout(m_previewHolder);

    m_doneRow = new QWidget;
    auto* doneRow = new QHBoxLayout(m_doneRow);
    doneRow->setContentsMargins(0, 0, 0, 0);
    doneRow->setSpacing(KitMetrics::px(6));
    doneRow->addWidget(KitIcons::label(QStringLiteral("checkmark.circle.fill"), OVColors::good(), 14));
    m_doneLabel = new OVLabel(QString(), 13, QFont::Bold, OVColors::good());
    m_doneLabel->setWrapping(true);
    doneRow->addWidget(m_doneLabel, 1);
    m_doneRow->hide();
    body->addWidget(m_doneRow);

    m_progress = new JobProgressBar;
    body->addWidget(m_progress);
    connect(m_frame, &OVEditorFrame::cancelRequested, this, [this] { cancelOrClose(); });
    connect(m_frame, &OVEditorFrame::saveRequested, this, [this] {
        if (importing() || reading())
            return;
        if (m_done)
            closeSheet();
        else
            runImport();
    });
}

void CSVImportSheet::setDefaultZone(std::optional<qint64> zoneID)
{
    m_defaultZone = zoneID;
    if (m_zone->zoneID() != zoneID)
        m_zone->setZoneID(zoneID);
    reparse();
}

void CSVImportSheet::setCelsius(bool on)
{
    m_celsius = on;
    m_celsiusBox->setChecked(on);
    reparse();
}

QString CSVImportSheet::fileLabelText() const { return m_fileLabel->text(); }

void CSVImportSheet::pick()
{
    if (importing())
        return;
    const std::optional<QString> chosen = FilePanels::open(
        {FileType::commaSeparatedText(), FileType::plainText(), FileType::tabSeparatedText()},
        QStringLiteral("Choose a CSV file of climate readings"));
    if (!chosen)
        return;
    m_file = *chosen;
    m_fileLabel->setText(QFileInfo(*chosen).fileName());
    m_text.clear();
    m_readError.reset();
    m_loaded = false;
    // The open database and its side files are never read outside the engine.
    if (m_store.isOwnFile(*chosen)) {
        m_readError = QStringLiteral("it is the database that is open now.");
        m_loaded = true;
    }
    // The previous file's preview goes at once: its rows must never be imported as
    // this file's while the new one is read.
    m_result.reset();
    showPreview();
    m_done.reset();
    showDone();
    reparse();
}

void CSVImportSheet::reparse()
{
    if (!m_file || importing())
        return;
    // Only the newest request counts: an older one still running is asked to stop,
    // and whatever it hands back is dropped.
    const quint64 request = ++m_request;
    if (m_reading)
        m_reading->cancel();
    const bool loaded = m_loaded;
    const QByteArray text = m_text;
    const std::optional<QString> readError = m_readError;
    const Choices choices{*m_file, m_defaultZone, m_celsius, m_store.zones()};
    auto outcome = std::make_shared<ReadOutcome>();
    QPointer<CSVImportSheet> self(this);
    m_reading = BackgroundJob::start(
        QStringLiteral("reading"), BackgroundJob::Stop::cancellable,
        [=](JobState& job) {
            job.setStage(QStringLiteral("Reading ") + QFileInfo(choices.file).fileName() + QStringLiteral("…"));
            outcome->text = text;
            outcome->readError = readError;
            if (!loaded) {
                ClimateCSV::FileText read = ClimateCSV::loadFile(choices.file);
                outcome->text = std::move(read.text);
                outcome->readError = read.error;
            }
            job.checkCancel();
            if (outcome->readError)
                outcome->result = failedPreview(unreadable + *outcome->readError);
            else
                outcome->result = readPreview(outcome->text, choices, job);
        },
        [self, request, choices, outcome](std::exception_ptr error) {
            if (!self)
                return;
            // A cancelled read leaves the preview as it was (Import stays off while
            // it is of other choices); any other failure is shown as the preview.
            if (request == self->m_request && self->m_file == choices.file && !BackgroundJob::wasCancelled(error)) {
                if (error) {
                    self->m_result = failedPreview(
                        unreadable + failureReason(error, QStringLiteral("it is too large to read into memory")));
                } else {
                    self->m_text = outcome->text;
                    self->m_readError = outcome->readError;
                    self->m_loaded = true;
                    self->m_result = std::move(outcome->result);
                }
                self->m_previewChoices = choices;
                self->showPreview();
            }
            self->updateControls();
        });
    m_progress->follow(m_reading);
    updateControls();
}

CSVImportSheet::Preview CSVImportSheet::readPreview(QByteArrayView text, const Choices& choices, JobState& job)
{
    // Counts, the problems shown and each zone's newest reading: a file of millions
    // of rows costs no more than its text.
    Preview preview;
    QHash<qint64, qsizetype> newestAt; // zone id -> index in preview.newest
    ClimateCSV::Hooks hooks;
    hooks.onReading = [&](Reading&& reading) {
        ++preview.ready;
        const auto at = newestAt.constFind(reading.zoneID);
        if (at == newestAt.cend()) {
            newestAt.insert(reading.zoneID, preview.newest.size());
            preview.newest.append(std::move(reading));
        } else if (preview.newest[*at].taken < reading.taken) {
            preview.newest[*at] = std::move(reading);
        }
    };
    hooks.onProblem = [&](ImportProblem&& problem) {
        if (++preview.problemCount <= problemsShown)
            preview.problems.append(std::move(problem));
    };
    // Cancel stops the read between rows.
    hooks.beforeRow = [&job] {
        job.checkCancel();
        job.advance();
    };
    const ClimateImportResult read =
        ClimateCSV::streamUtf8(text, choices.zones, choices.zone, choices.celsius, hooks);
    if (!read.problems.isEmpty()) // the read as a whole failed
        return failedPreview(read.problems.first().reason);
    preview.totalRows = read.totalRows;
    preview.columnsFound = read.columnsFound;
    return preview;
}

bool CSVImportSheet::reading() const { return m_reading && !m_reading->hasEnded(); }

bool CSVImportSheet::importing() const { return m_import && !m_import->hasEnded(); }

void CSVImportSheet::updateControls()
{
    const bool busy = importing();
    m_choose->setEnabled(!busy);
    m_zone->setEnabled(!busy);
    m_celsiusBox->setEnabled(!busy);
    // Import waits for the preview of the options now chosen; without a file it
    // answers that there is nothing to import, and once done it closes.
    m_frame->saveButton()->setEnabled(!busy && !reading() && (!m_file || m_done || previewIsCurrent()));
}

bool CSVImportSheet::previewIsCurrent() const
{
    return m_result && m_file && m_previewChoices.file == *m_file && m_previewChoices.zone == m_defaultZone
           && m_previewChoices.celsius == m_celsius;
}

void CSVImportSheet::cancelOrClose()
{
    // Closing the sheet mid-import would hide work that is still writing: Cancel
    // stops the import instead (nothing is written), and the sheet stays open.
    if (importing()) {
        m_import->cancel();
        return;
    }
    closeSheet();
}

QString CSVImportSheet::countsLine(const Preview& preview)
{
    return QStringLiteral("%1 data rows · %2 ready to import · %3 with problems")
        .arg(preview.totalRows)
        .arg(preview.ready)
        .arg(preview.problemCount);
}

CSVImportSheet::Preview CSVImportSheet::failedPreview(const QString& problem)
{
    Preview preview;
    preview.problems.append(ImportProblem{1, problem});
    preview.problemCount = 1;
    return preview;
}

QString CSVImportSheet::summary(qint64 added, qint64 duplicates, qint64 problems)
{
    QString text = QStringLiteral("Imported %1 reading(s).").arg(added);
    if (duplicates > 0)
        text += QStringLiteral(" Skipped %1 already in the log.").arg(duplicates);
    if (problems > 0)
        text += QStringLiteral(" %1 row(s) had problems (listed above).").arg(problems);
    return text;
}

QStringList CSVImportSheet::previewLines() const { return m_previewLines; }

void CSVImportSheet::showPreview()
{
    if (m_preview) {
        m_previewHolder->removeWidget(m_preview);
        m_preview->hide();
        m_preview->deleteLater();
        m_preview = nullptr;
    }
    m_previewLines.clear();
    if (!m_result)
        return;
    const OVColors colors;
    const Preview& result = *m_result;
    auto* card = new OVCard(QStringLiteral("Preview"), QStringLiteral("doc.text.magnifyingglass"), 12);
    auto add = [&](const QString& text, double points, int weight, const QColor& color, bool wrap) {
        auto* label = new OVLabel(text, points, weight, color);
        label->setWrapping(wrap);
        card->body()->addWidget(label);
        m_previewLines.append(text);
    };
    add(countsLine(result), 13, QFont::Bold, colors.text(), false);
    if (!result.columnsFound.isEmpty())
        add(QStringLiteral("Columns found: ") + result.columnsFound.join(QStringLiteral(", ")), 12, QFont::Normal,
            colors.dim(), true);
    const int shown = std::min<int>(int(result.problems.size()), problemsShown);
    for (int i = 0; i < shown; ++i) {
        const ImportProblem& problem = result.problems[i];
        add(QStringLiteral("Line %1: ").arg(problem.line) + problem.reason, 12, QFont::Normal, OVColors::alert(),
            true);
    }
    if (result.problemCount > problemsShown)
        add(QStringLiteral("…and %1 more.").arg(result.problemCount - problemsShown), 12, QFont::Normal,
            colors.dim(), false);
    m_preview = card;
    m_previewHolder->addWidget(card);
}

void CSVImportSheet::showDone()
{
    m_frame->setSaveTitle(m_done ? QStringLiteral("Close") : QStringLiteral("Import"));
    m_doneLabel->setText(m_done.value_or(QString()));
    m_doneRow->setVisible(m_done.has_value());
}

void CSVImportSheet::runImport()
{
    AppModel& model = AppModel::shared();
    // A restore replaces the records: nothing is imported into them meanwhile.
    if (importing() || reading() || BackgroundJobs::shared().runs(QStringLiteral("restore")))
        return;
    // A preview of other choices (its re-read was cancelled) is never imported.
    if (m_file && !previewIsCurrent())
        return;
    if (!m_result || m_result->ready == 0) {
        model.setMessage(nothingToImport);
        return;
    }
    // The text is read again as the preview read it, each good row going straight
    // into the store: no list of readings is ever held.
    const QByteArray text = m_text;
    const Choices choices = m_previewChoices;
    const qint64 rows = m_result->totalRows;
    const qint64 problems = m_result->problemCount;
    const QList<Reading> newest = m_result->newest;
    const QString database = m_store.path();
    auto counts = std::make_shared<OVStore::ImportCounts>();
    QPointer<CSVImportSheet> self(this);
    QPointer<OVStore> store(&m_store);
    m_import = BackgroundJob::start(
        QStringLiteral("import"), BackgroundJob::Stop::cancellable,
        [database, text, choices, rows, counts](JobState& job) {
            job.setStage(QStringLiteral("Importing readings…"), rows);
            // The worker's own connection; one transaction, so a cancel (thrown
            // between rows) rolls every row back.
            OVStore worker(database);
            ClimateCSV::Hooks hooks;
            hooks.onProblem = [](ImportProblem&&) {}; // the preview counted them
            hooks.beforeRow = [&job] {
                job.checkCancel();
                job.advance();
            };
            const ClimateCSV::FileImport done =
                ClimateCSV::importUtf8(worker, text, choices.zones, choices.zone, choices.celsius, hooks);
            counts->added = done.added;
            counts->duplicates = done.duplicates;
        },
        [self, store, newest, counts, problems](std::exception_ptr error) {
            if (self)
                self->updateControls();
            if (BackgroundJob::wasCancelled(error))
                return;
            if (error) {
                AppModel::shared().setMessage(
                    failureReason(error, QStringLiteral("The file is too large to import with the memory available.")));
                return;
            }
            if (!store)
                return;
            // The rows were written through the worker's connection: the store here
            // learns of them by its revision.
            store->changed();
            if (self) {
                self->m_done = summary(counts->added, counts->duplicates, problems);
                self->showDone();
            }
            alertNewest(*store, newest);
        });
    m_progress->follow(m_import);
    updateControls();
}

void CSVImportSheet::alertNewest(OVStore& store, const QList<Reading>& newest)
{
    // Alerts for each zone's newest reading of the file (the first of equal times).
    QHash<qint64, Zone> zones;
    for (const Zone& zone : store.zones())
        zones.insert(zone.id, zone);
    QList<ClimateAlert> alerts;
    for (const Reading& reading : newest) {
        const auto zone = zones.constFind(reading.zoneID);
        if (zone != zones.cend())
            alerts.append(ClimateAlerts::check(reading, zone->limits));
    }
    OVStore* target = &store;
    OVNotify::climateAlerts(alerts, [target](qint64 id) { return target->zoneName(id); });
}

CSVImportSheet::~CSVImportSheet()
{
    // A sheet closed under a running import takes it down with it: the import is
    // cancelled (nothing written) and waited for, so it never writes unseen.
    if (importing()) {
        m_import->cancel();
        m_import->wait();
    }
    if (reading())
        m_reading->cancel();
}
