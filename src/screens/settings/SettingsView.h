#pragma once
// The Settings & Backup screen: temperature unit, reminders and climate alerts with
// the notification status and the planned reminder count, the sample greenhouse,
// backup and restore, the full CSV export, where the database lives with a few
// counts, and the version line. Settings are stored the moment they change; records
// are written only by the sample greenhouse and the backup, restore and export
// actions.
//
// backupNow() and exportAll() are static so the File menu runs them without the
// screen; restore() is offered only here. Each action tells the grower its outcome
// through the app model's notice; a cancelled dialog says nothing.

#include "records/OVDay.h"

#include <QMap>
#include <QUrl>
#include <QWidget>
#include <optional>

class AppModel;
class BackgroundJob;
class OVLabel;
class OVRebuilder;
class OVStore;
class QCheckBox;
class SegmentedPicker;

class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(QWidget* parent = nullptr);
    SettingsView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    // Asks where to save a backup of the shared store and writes it on a background
    // job (returned; nothing when cancelled, or while a backup or restore runs).
    static BackgroundJob* backupNow();
    // Writes every table as CSV into "QNMR Orvane export <day>" inside `folder`, on a
    // background job that may be cancelled (it then leaves nothing behind). One runs
    // at a time: while one runs, another is refused with a notice (nothing returned).
    static BackgroundJob* exportAll(const QString& folder);
    // Asks for the folder, then exportAll(); a cancelled dialog does nothing.
    static void chooseFolderAndExportAll();
    // Asks for a backup file, inspects it on a background job and then raises the
    // restore question; its answer starts runRestore().
    BackgroundJob* restore();
    // Restores the backup into `store` (the slow half on a background job).
    static BackgroundJob* runRestore(OVStore& store, AppModel& model, const QUrl& url);
    // Whether a backup or restore is running (a second one is not started).
    static bool backupRunning();
    // Whether a restore is running (nothing else is started then).
    static bool restoreRunning();
    // Whether an Export Everything is running (a second one is not started).
    static bool exportAllRunning();

    static QString backupName(const OVDay& day = OVDay::today());
    static QString exportFolderName(const OVDay& day = OVDay::today());
    static QString restoreMessage(const QMap<QString, qint64>& counts);
    // The status line for a notification permission (nothing: not checked yet).
    static QString permissionText(std::optional<bool> permission);

    QString countsText() const;
    QString planText() const;
    OVLabel* permissionLabel() const { return m_permission; }
    QCheckBox* remindersBox() const { return m_reminders; }
    QCheckBox* alertsBox() const { return m_alerts; }
    SegmentedPicker* unitPicker() const { return m_unit; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void showPermission(std::optional<bool> permission);

    OVStore& m_store;
    AppModel& m_model;
    SegmentedPicker* m_unit = nullptr;
    QCheckBox* m_reminders = nullptr;
    QCheckBox* m_alerts = nullptr;
    OVLabel* m_permission = nullptr;
    OVLabel* m_plan = nullptr;
    OVLabel* m_path = nullptr;
    OVLabel* m_counts = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
};
