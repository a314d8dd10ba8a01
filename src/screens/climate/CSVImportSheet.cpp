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
#include <memory>
#include <QVBoxLayout>

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
    const QString file = *m_file;
    const bool loaded = m_loaded;
    const QByteArray text = m_text;
    const std::optional<QString> readError = m_readError;
    const QList<Zone> zones = m_store.zones();
    const std::optional<qint64> zone = m_defaultZone;
    const bool celsius = m_celsius;
    auto outcome = std::make_shared<ReadOutcome>();
    QPointer<CSVImportSheet> self(this);
    m_reading = BackgroundJob::start(
        QStringLiteral("reading"), BackgroundJob::Stop::cancellable,
        [=](JobState& job) {
            job.setStage(QStringLiteral("Reading ") + QFileInfo(file).fileName() + QStringLiteral("…"));
            outcome->text = text;
            outcome->readError = readError;
            if (!loaded) {
                ClimateCSV::FileText read = ClimateCSV::loadFile(file);
                outcome->text = std::move(read.text);
                outcome->readError = read.error;
            }
            job.checkCancel();
            if (outcome->readError) {
                ClimateImportResult unreadable;
                unreadable.problems.append(
                    ImportProblem{1, QStringLiteral("The file could not be read: ") + *outcome->readError});
                outcome->result = unreadable;
            } else {
                outcome->result = ClimateCSV::readUtf8(outcome->text, zones, zone, celsius);
            }
        },
        [self, request, file, outcome](std::exception_ptr error) {
            if (!self)
                return;
            if (request == self->m_request && self->m_file == file && !error) {
                self->m_text = outcome->text;
                self->m_readError = outcome->readError;
                self->m_loaded = true;
                self->m_result = std::move(outcome->result);
                self->showPreview();
            }
            self->updateControls();
        });
    m_progress->follow(m_reading);
    updateControls();
}

bool CSVImportSheet::reading() const { return m_reading && !m_reading->hasEnded(); }

bool CSVImportSheet::importing() const { return m_import && !m_import->hasEnded(); }

void CSVImportSheet::updateControls()
{
    const bool busy = importing();
    m_choose->setEnabled(!busy);
    m_zone->setEnabled(!busy);
    m_celsiusBox->setEnabled(!busy);
    // Import waits for the preview of the options now chosen.
    m_frame->saveButton()->setEnabled(!busy && !reading());
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

QString CSVImportSheet::countsLine(const ClimateImportResult& result)
{
    return QStringLiteral("%1 data rows · %2 ready to import · %3 with problems")
        .arg(result.totalRows)
        .arg(result.readings.size())
        .arg(result.problems.size());
}

QString CSVImportSheet::summary(qint64 added, qint64 duplicates, int problems)
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
    const ClimateImportResult& result = *m_result;
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
    if (result.problems.size() > problemsShown)
        add(QStringLiteral("…and %1 more.").arg(result.problems.size() - problemsShown), 12, QFont::Normal,
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
    if (!m_result || m_result->readings.isEmpty()) {
        model.setMessage(nothingToImport);
        return;
    }
    const QList<Reading> readings = m_result->readings;
    const int problems = int(m_result->problems.size());
    const QString database = m_store.path();
    auto counts = std::make_shared<OVStore::ImportCounts>();
    QPointer<CSVImportSheet> self(this);
    QPointer<OVStore> store(&m_store);
    m_import = BackgroundJob::start(
        QStringLiteral("import"), BackgroundJob::Stop::cancellable,
        [database, readings, counts](JobState& job) {
            job.setStage(QStringLiteral("Importing readings…"), readings.size());
            // The worker's own connection; one transaction, so a cancel (thrown from
            // `next`) rolls every row back.
            OVStore worker(database);
            qsizetype next = 0;
            *counts = worker.addReadingsFrom([&]() -> const Reading* {
                job.checkCancel();
                if (next == readings.size())
                    return nullptr;
                job.advance();
                return &readings[next++];
            });
        },
        [self, store, readings, counts, problems](std::exception_ptr error) {
            if (self)
                self->updateControls();
            if (BackgroundJob::wasCancelled(error))
                return;
            if (error) {
                AppModel::shared().act([&] { std::rethrow_exception(error); });
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
            alertNewest(*store, readings);
        });
    m_progress->follow(m_import);
    updateControls();
}

void CSVImportSheet::alertNewest(OVStore& store, const QList<Reading>& readings)
{
    // Alerts for each zone's newest reading of the file (the first of equal times).
    QHash<qint64, Zone> zones;
    for (const Zone& zone : store.zones())
        zones.insert(zone.id, zone);
    QHash<qint64, const Reading*> newest;
    for (const Reading& reading : readings) {
        const Reading*& best = newest[reading.zoneID];
        if (!best || best->taken < reading.taken)
            best = &reading;
    }
    QList<ClimateAlert> alerts;
    for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
        const auto zone = zones.constFind(it.key());
        if (zone != zones.cend())
            alerts.append(ClimateAlerts::check(*it.value(), zone->limits));
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
