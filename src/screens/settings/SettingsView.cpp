#include "screens/settings/SettingsView.h"

#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVLinkButton.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "kit/QNMRAbout.h"
#include "records/OVInfo.h"
#include "records/OVPrefs.h"
#include "kit/SegmentedPicker.h"
#include "screens/settings/BusyCursor.h"
#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "services/OVNotify.h"
#include "services/Opener.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <memory>

namespace {

const QString folderMessage = QStringLiteral("Choose a folder for the CSV files");
const QString backupJobName = QStringLiteral("backup");
const QString restoreJobName = QStringLiteral("restore");
// Not "export": the one-table exports use that name and may run beside this one.
const QString exportAllJobName = QStringLiteral("full export");

// The user text of whatever an action threw.
QString describe(const std::exception& error)
{
    if (const auto* ov = dynamic_cast<const OVError*>(&error))
        return ov->errorDescription();
    return QString::fromUtf8(error.what());
}

// "lead + text", unless the store already worded the whole sentence.
QString withLead(const QString& lead, const QString& text)
{
    return text.startsWith(lead) ? text : lead + text;
}

OVLabel* note(const QString& text, double points = 11.5)
{
    auto* label = new OVLabel(text, points, QFont::Normal, OVColors().dim());
    label->setWrapping(true);
    return label;
}

void reveal(const QString& path)
{
    if (const auto& show = FilePanels::backend().reveal)
        show(path);
}

QNChromeButton* button(const QString& title, const QString& symbol, bool prominent = false, bool compact = false)
{
    auto* b = new QNChromeButton(title, prominent, compact);
    if (!symbol.isEmpty())
        b->setSymbol(symbol);
    return b;
}

} // namespace

SettingsView::SettingsView(QWidget* parent) : SettingsView(*OVStore::shared(), AppModel::shared(), parent) {}

SettingsView::SettingsView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    const OVColors colors;
    auto* page = OVPage::fill(this, Screen::settings, QStringLiteral("Units, reminders, backups and your data."));

    // The shorter column keeps its cards at the top with a stretch below them (added
    // last), not by aligning the column: an aligned column is given its size hint's
    // height, too low wherever a note wraps onto more lines than in the hint.
    auto* columns = new QHBoxLayout;
    columns->setSpacing(KitMetrics::px(16));
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    for (QVBoxLayout* column : {left, right}) {
        column->setSpacing(KitMetrics::px(16));
        columns->addLayout(column, 1);
    }
    page->content()->addLayout(columns);

    // Units
    auto* units = new OVCard(QStringLiteral("Units"), QStringLiteral("thermometer.medium"));
    auto* unitRow = new QHBoxLayout;
    unitRow->setSpacing(KitMetrics::px(10));
    unitRow->addWidget(new OVLabel(QStringLiteral("Temperatures"), 13));
    m_unit = new SegmentedPicker({QStringLiteral("°F (Fahrenheit)"), QStringLiteral("°C (Celsius)")});
    unitRow->addWidget(m_unit);
    unitRow->addStretch(1);
    units->body()->addLayout(unitRow);
    units->body()->addWidget(
        note(QStringLiteral("Readings are stored exactly; changing the unit only changes how they are shown and typed.")));
    left->addWidget(units);
    connect(m_unit, &SegmentedPicker::activated, this, [this](int index) {
        OVPrefs::setValue(OVPrefs::unitKey, index == 1 ? QStringLiteral("C") : QStringLiteral("F"));
        m_store.changed();
    });

    // Notifications
    auto* notes = new OVCard(QStringLiteral("Notifications"), QStringLiteral("bell.badge.fill"));
    m_reminders = new QCheckBox(QStringLiteral("Reminders for schedules and maintenance"));
    m_alerts = new QCheckBox(QStringLiteral("Climate alerts when a new reading is out of range"));
    for (QCheckBox* box : {m_reminders, m_alerts}) {
        box->setFont(KitMetrics::font(13));
        notes->body()->addWidget(box);
    }
    auto* permissionRow = new QHBoxLayout;
    m_permission = new OVLabel(QString(), 12);
    permissionRow->addWidget(m_permission);
    permissionRow->addStretch(1);
    auto* allow = button(QStringLiteral("Allow Notifications"), QString(), false, true);
    permissionRow->addWidget(allow);
    notes->body()->addLayout(permissionRow);
    m_plan = note(QString());
    notes->body()->addWidget(m_plan);
    left->addWidget(notes);
    connect(m_reminders, &QCheckBox::clicked, this, [this](bool on) {
        OVPrefs::setValue(OVPrefs::remindersKey, on);
        OVNotify::reschedule(m_store, QDateTime::currentDateTimeUtc());
        refresh();
    });
    connect(m_alerts, &QCheckBox::clicked, this, [](bool on) { OVPrefs::setValue(OVPrefs::alertsKey, on); });
    connect(allow, &QPushButton::clicked, this, [this] {
        OVNotify::requestPermission();
        QPointer<SettingsView> self(this);
        QTimer::singleShot(1500, this, [self] {
            if (self)
                OVNotify::refreshStatus([self](std::optional<bool> permission) {
                    if (self)
                        self->showPermission(permission);
                });
        });
    });

    // Sample greenhouse
    auto* sample = new OVCard(QStringLiteral("Learn with a sample greenhouse"), QStringLiteral("sparkles"));
    sample->body()->addWidget(note(
        QStringLiteral("Adds a greenhouse named “Sample Greenhouse” with zones, plants, readings, schedules, harvests "
                       "and costs so you can try every screen. Deleting it from Greenhouses removes its zones, beds "
                       "and readings; its plants, seeds, schedules, harvests and costs stay (they are clearly marked "
                       "Sample) and are deleted on their own screens."),
        12));
    auto* addSample = new OVAddButton(QStringLiteral("Add Sample Greenhouse"));
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(addSample);
    sampleRow->addStretch(1);
    sample->body()->addLayout(sampleRow);
    left->addWidget(sample);
    connect(addSample, &QPushButton::clicked, this,
            [this] { m_model.act([this] { SampleData::add(m_store, QDateTime::currentDateTimeUtc()); }); });

    // Backup and restore
    auto* backup = new OVCard(QStringLiteral("Backup & restore"), QStringLiteral("externaldrive.fill.badge.timemachine"));
    backup->body()->addWidget(note(QStringLiteral("A backup is one file holding every record and photo. Keep copies on "
                                                  "another drive. A backup of your home folder also covers the data "
                                                  "folder."),
                                   12));
    auto* backupRow = new QHBoxLayout;
    auto* backupNowButton = button(QStringLiteral("Back Up Now…"), QStringLiteral("externaldrive.badge.plus"), true);
    auto* restoreButton = button(QStringLiteral("Restore From Backup…"), QStringLiteral("arrow.counterclockwise"));
    backupRow->addWidget(backupNowButton);
    backupRow->addWidget(restoreButton);
    backupRow->addStretch(1);
    backup->body()->addLayout(backupRow);
    backup->body()->addWidget(note(QStringLiteral("Restoring replaces everything with the backup's records. Your current "
                                                  "records are saved first as “Before restore…” in the data folder, so a "
                                                  "restore can be undone.")));
    right->addWidget(backup);
    connect(backupNowButton, &QPushButton::clicked, this, [] { SettingsView::backupNow(); });
    connect(restoreButton, &QPushButton::clicked, this, [this] { restore(); });

    // Export
    auto* exportCard = new OVCard(QStringLiteral("Export"), QStringLiteral("square.and.arrow.up"));
    auto* exportButton = button(QStringLiteral("Export Everything as CSV Files…"), QStringLiteral("folder.badge.plus"));
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(exportButton);
    exportRow->addStretch(1);
    exportCard->body()->addLayout(exportRow);
    exportCard->body()->addWidget(note(QStringLiteral("Greenhouses, plants, seeds, climate readings, schedules, pests, "
                                                      "harvests and costs — one CSV file each, readable by LibreOffice "
                                                      "Calc, Excel and Google Sheets.")));
    right->addWidget(exportCard);
    connect(exportButton, &QPushButton::clicked, this, [] { SettingsView::chooseFolderAndExportAll(); });

    // While a job runs, the actions that would conflict with it wait: no second
    // backup, nothing but waiting during a restore, no restore during other work.
    const auto guard = [backupNowButton, restoreButton, exportButton] {
        const bool busy = BackgroundJobs::shared().busy();
        backupNowButton->setEnabled(!backupRunning());
        restoreButton->setEnabled(!busy);
        exportButton->setEnabled(!restoreRunning() && !exportAllRunning());
    };
    connect(&BackgroundJobs::shared(), &BackgroundJobs::changed, this, guard);
    guard();

    // Your data
    auto* data = new OVCard(QStringLiteral("Your data"), QStringLiteral("folder.fill"));
    m_path = new OVLabel(QString(), 11, QFont::Normal, colors.dim());
    QFont mono = m_path->font();
    mono.setFamilies(QStringList{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    m_path->setFont(mono);
    m_path->setWrapping(true);
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    data->body()->addWidget(m_path);
    m_counts = new OVLabel(QString(), 12);
    data->body()->addWidget(m_counts);
    auto* showButton = button(QStringLiteral("Show in File Manager"), QString(), false, true);
    auto* showRow = new QHBoxLayout;
    showRow->addWidget(showButton);
    showRow->addStretch(1);
    data->body()->addLayout(showRow);
    right->addWidget(data);
    connect(showButton, &QPushButton::clicked, this, [this] { reveal(m_store.path()); });

    // About
    auto* about = new OVCard(QStringLiteral("About"), QStringLiteral("info.circle.fill"));
    about->body()->addWidget(new OVLabel(QStringLiteral("QNMR Orvane ") + QNMRAbout::version(), 13, QFont::Bold));
    auto* link = new OVLinkButton(OVInfo::creditLine + QStringLiteral(" · ") + OVInfo::websiteDomain, 12,
                                  QFont::DemiBold, colors.accent());
    link->setToolTip(OVInfo::website.toString());
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(link);
    linkRow->addStretch(1);
    about->body()->addLayout(linkRow);
    right->addWidget(about);
    connect(link, &QPushButton::clicked, this, [] { Opener::open(OVInfo::website); });
    left->addStretch(1);
    right->addStretch(1);

    m_rebuilder = new OVRebuilder(this, [this] { refresh(); });
    m_rebuilder->follow(m_store);
    showPermission(std::nullopt);
    m_rebuilder->rebuildNow();
}

void SettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QPointer<SettingsView> self(this);
    OVNotify::refreshStatus([self](std::optional<bool> permission) {
        if (self)
            self->showPermission(permission);
    });
}

void SettingsView::refresh()
{
    const std::optional<QString> unit = OVPrefs::stringValue(OVPrefs::unitKey);
    m_unit->setCurrentIndex(unit == QStringLiteral("C") ? 1 : unit.value_or(QStringLiteral("F")) == QStringLiteral("F") ? 0 : -1);
    m_reminders->setChecked(OVPrefs::remindersOn());
    m_alerts->setChecked(OVPrefs::alertsOn());
    m_plan->setText(planText());
    m_path->setText(m_store.path());
    m_counts->setText(countsText());
}

void SettingsView::showPermission(std::optional<bool> permission)
{
    m_permission->setText(permissionText(permission));
    m_permission->setColor(permission == false ? OVColors::alert() : OVColors().dim());
}

QString SettingsView::permissionText(std::optional<bool> permission)
{
    if (!permission)
        return QStringLiteral("Desktop notifications haven't been checked yet.");
    return *permission ? QStringLiteral("Desktop notifications are allowed.")
                       : QStringLiteral("Desktop notifications are turned off or unavailable.");
}

QString SettingsView::planText() const
{
    return QString::number(OVNotify::lastPlan.size()) + QStringLiteral(" reminder(s) scheduled for the next 30 days.");
}

QString SettingsView::countsText() const
{
    const OVStore::ReadWatch reads(m_store);
    const QString text = QString::number(m_store.count(QStringLiteral("plant"))) + QStringLiteral(" plants · ")
                       + QString::number(m_store.count(QStringLiteral("reading"))) + QStringLiteral(" readings · ")
                       + QString::number(m_store.count(QStringLiteral("harvest"))) + QStringLiteral(" harvests · ")
                       + QString::number(m_store.count(QStringLiteral("photo"))) + QStringLiteral(" photos");
    // Zeros read from a failing store would look like an empty one.
    return reads.failed() ? OVReadFailure::text(reads.reason()) : text;
}

QString SettingsView::backupName(const OVDay& day)
{
    return QStringLiteral("Greenhouse backup ") + day.iso() + QStringLiteral(".ovbackup");
}

QString SettingsView::exportFolderName(const OVDay& day)
{
    return Exporter::folderName(day);
}

QString SettingsView::restoreMessage(const QMap<QString, qint64>& counts)
{
    const auto n = [&counts](const char* table) { return QString::number(counts.value(QString::fromLatin1(table), 0)); };
    return QStringLiteral("It holds ") + n("greenhouse") + QStringLiteral(" greenhouse(s), ") + n("plant")
         + QStringLiteral(" plant(s), ") + n("reading") + QStringLiteral(" reading(s), ") + n("harvest")
         + QStringLiteral(" harvest(s), ") + n("photo")
         + QStringLiteral(" photo(s). Everything now in the app is replaced (a copy is saved first).");
}

namespace {

// The user text of a job's failure.
QString describeError(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return describe(e);
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

} // namespace

bool SettingsView::restoreRunning()
{
    return BackgroundJobs::shared().runs(restoreJobName);
}

bool SettingsView::exportAllRunning()
{
    return BackgroundJobs::shared().runs(exportAllJobName);
}

namespace {

// One full export at a time: two runs into one folder would put their files in place
// over each other's, and each one's undo could take away the other's files.
bool refusedBesideAnotherExport()
{
    if (!SettingsView::exportAllRunning())
        return false;
    AppModel::shared().setMessage(QStringLiteral("An export is already running."));
    return true;
}

} // namespace

bool SettingsView::backupRunning()
{
    return BackgroundJobs::shared().runs(backupJobName) || restoreRunning();
}

BackgroundJob* SettingsView::backupNow()
{
    OVStore* store = OVStore::shared();
    if (!store || backupRunning())
        return nullptr;
    const std::optional<QString> path = FilePanels::save(backupName(), {FileType::backup()});
    if (!path)
        return nullptr;
    // The copy is made through a connection of the worker's own; the open database
    // and its side files are refused as targets there just the same.
    const QString database = store->path();
    const QString target = *path;
    return BackgroundJob::start(
        backupJobName, BackgroundJob::Stop::runsToEnd,
        [database, target](JobState& job) {
            job.setStage(QStringLiteral("Backing up…"));
            OVStore worker(database);
            worker.backup(QUrl::fromLocalFile(target));
        },
        [target](std::exception_ptr error) {
            if (error) {
                AppModel::shared().setMessage(
                    withLead(QStringLiteral("The backup could not be saved: "), describeError(error)));
                return;
            }
            AppModel::shared().setMessage(QStringLiteral("Backup saved:\n") + QDir::toNativeSeparators(target));
            reveal(target);
        });
}

void SettingsView::chooseFolderAndExportAll()
{
    if (refusedBesideAnotherExport())
        return;
    if (const std::optional<QString> folder = FilePanels::folder(folderMessage))
        exportAll(*folder);
}

BackgroundJob* SettingsView::exportAll(const QString& folder)
{
    OVStore* store = OVStore::shared();
    if (!store || restoreRunning())
        return nullptr;
    if (refusedBesideAnotherExport())
        return nullptr;
    const QString database = store->path();
    const QString target = QDir(folder).filePath(exportFolderName());
    auto written = std::make_shared<QStringList>();
    return BackgroundJob::start(
        exportAllJobName, BackgroundJob::Stop::cancellable,
        [database, target, written](JobState& job) {
            job.setStage(QStringLiteral("Exporting…"));
            OVStore worker(database);
            *written = Exporter::everything(worker, target, &job);
        },
        [target, written](std::exception_ptr error) {
            // A cancelled export has removed what it wrote; the grower asked for that.
            if (BackgroundJob::wasCancelled(error))
                return;
            if (error) {
                AppModel::shared().setMessage(QStringLiteral("The export could not be written: ") +
                                              describeError(error));
                return;
            }
            // The file manager may not come forward (or not exist), so say where the
            // files went, and show all of them.
            AppModel::shared().setMessage(QStringLiteral("Exported ") + QString::number(written->size()) +
                                          QStringLiteral(" CSV files to:\n") + QDir::toNativeSeparators(target));
            FilePanels::revealAll(*written);
        });
}

BackgroundJob* SettingsView::restore()
{
    if (BackgroundJobs::shared().busy())
        return nullptr;
    const std::optional<QString> path =
        FilePanels::open({FileType::backup(), FileType{QStringLiteral("All files"), {QStringLiteral("*")}}},
                         QStringLiteral("Choose a QNMR Orvane backup (.ovbackup)"));
    if (!path)
        return nullptr;
    const QUrl url = QUrl::fromLocalFile(*path);
    const QString database = m_store.path();
    auto counts = std::make_shared<QMap<QString, qint64>>();
    OVStore* store = &m_store;
    AppModel* model = &m_model;
    return BackgroundJob::start(
        restoreJobName, BackgroundJob::Stop::runsToEnd,
        [url, database, counts](JobState& job) {
            job.setStage(QStringLiteral("Checking the backup…"));
            *counts = OVStore::inspectForRestore(database, url);
        },
        [store, model, url, counts](std::exception_ptr error) {
            if (error) {
                model->setMessage(describeError(error));
                return;
            }
            model->setConfirm(ConfirmRequest(QStringLiteral("Restore this backup?"), restoreMessage(*counts),
                                             QStringLiteral("Restore"),
                                             [store, model, url] { runRestore(*store, *model, url); }));
        });
}

BackgroundJob* SettingsView::runRestore(OVStore& store, AppModel& model, const QUrl& url)
{
    if (BackgroundJobs::shared().busy())
        return nullptr;
    // Another program with the file open would refuse the swap anyway: say so now,
    // before a safety copy of the whole database is written for nothing.
    if (!model.act([&store] { store.refuseRestoreWhileInUse(); }))
        return nullptr;
    // The slow half (safety copy, copy and check of the backup) runs on the worker;
    // the swap itself is a few renames and a reopen, done here on the store's thread.
    const QString database = store.path();
    const qint64 revision = store.revision();
    const QDateTime now = QDateTime::currentDateTime();
    auto plan = std::make_shared<OVStore::RestorePlan>();
    QPointer<OVStore> target(&store);
    AppModel* notices = &model;
    return BackgroundJob::start(
        restoreJobName, BackgroundJob::Stop::runsToEnd,
        [database, url, now, plan](JobState& job) {
            job.setStage(QStringLiteral("Restoring…"));
            *plan = OVStore::prepareRestore(database, url, now);
        },
        [target, notices, plan, revision](std::exception_ptr error) {
            notices->act([&] {
                if (error)
                    std::rethrow_exception(error);
                if (!target) {
                    OVStore::dropRestore(*plan);
                    return;
                }
                QUrl safety;
                {
                    const BusyCursor busy;
                    safety = target->finishRestore(*plan, revision);
                }
                notices->setMessage(QStringLiteral("Restored. Your previous records were saved as:\n") +
                                    safety.toLocalFile());
            });
        });
}
