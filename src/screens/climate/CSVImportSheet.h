#pragma once
// The sheet that brings climate readings from a logger's or a spreadsheet's CSV file
// into the store: choose a file, preview what the reader makes of it (counts, columns
// found, problem rows), choose the zone for rows that name none and whether plain
// temperature columns are °C, import the good rows in one store call, see the
// summary; climate alerts follow for the newest imported reading of each zone.
//
// Invariants: nothing is stored but the imported readings, all in one call (all or
// nothing); the preview is recomputed only when a file is chosen and when the zone or
// the °C switch changes, never by store changes; before a file is chosen no preview
// exists. Import takes only a preview read with the file, zone and °C switch shown
// now: after a cancelled or unfinished read it stays off. The preview keeps counts
// and the problems it shows, never the readings: the import reads the file's text
// again, row by row into the store, so memory stays near the file's size.
// Failures of the import go to the app model's notice, never to the frame's error
// line. A file that cannot be read, or whose reading fails in any way, is reported
// in the preview as "The file could not be read: " + the reason.

#include "services/ClimateCSV.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>
#include <optional>

#include "services/BackgroundJob.h"
class JobProgressBar;
class OVEditorFrame;
class OVLabel;
class OVStore;
class QCheckBox;
class QNChromeButton;
class QVBoxLayout;
class ZonePicker;

class CSVImportSheet : public QWidget {
    Q_OBJECT
public:
    static constexpr int problemsShown = 40;
    static const QString nothingToImport;
    static const QString explanation;

    CSVImportSheet(std::optional<qint64> zoneID, OVStore& store, QWidget* parent = nullptr);
    ~CSVImportSheet() override;

    // Asks for a file and reads it; a cancelled chooser changes nothing.
    void pick();
    // The preview again from the file's text, the zone and the °C switch, read on a
    // background job; the newest request wins, and its result replaces the preview.
    void reparse();
    // Imports the previewed readings on a background job (one transaction, through a
    // connection of its own); the summary or the notice tells how it went.
    void runImport();
    // Whether the preview now shown was read with the file, zone and °C switch now
    // chosen (the only preview Import takes).
    bool previewIsCurrent() const;
    // Whether the file is being read or the readings imported right now.
    bool reading() const;
    bool importing() const;
    BackgroundJob* readingJob() const { return m_reading; }
    BackgroundJob* importJob() const { return m_import; }
    JobProgressBar* progress() const { return m_progress; }

    // What the sheet keeps of a read file.
    struct Preview {
        int totalRows = 0;
        qint64 ready = 0;        // rows that make a reading
        qint64 problemCount = 0; // rows (or the file) refused
        QList<ImportProblem> problems; // the first problemsShown of them, in line order
        QStringList columnsFound;
        // Each zone's newest reading (the first of equal times), for the alerts.
        QList<Reading> newest;
    };

    // "Imported N reading(s)." with the duplicates and problems sentences.
    static QString summary(qint64 added, qint64 duplicates, qint64 problems);
    // "N data rows · M ready to import · P with problems"
    static QString countsLine(const Preview& preview);

    std::optional<qint64> defaultZone() const { return m_defaultZone; }
    void setDefaultZone(std::optional<qint64> zoneID);
    bool celsius() const { return m_celsius; }
    void setCelsius(bool on);
    const std::optional<Preview>& result() const { return m_result; }
    const std::optional<QString>& done() const { return m_done; }
    // The texts of the preview card, top to bottom (empty without a preview).
    QStringList previewLines() const;
    QString fileLabelText() const;

    OVEditorFrame* frame() const { return m_frame; }
    ZonePicker* zonePicker() const { return m_zone; }
    QCheckBox* celsiusBox() const { return m_celsiusBox; }
    QNChromeButton* chooseButton() const { return m_choose; }
    QNChromeButton* exampleButton() const { return m_example; }

private:
    // What a preview was read from and with.
    struct Choices {
        QString file;
        std::optional<qint64> zone;
        bool celsius = false;
        QList<Zone> zones; // the store's zones at the time
    };
    struct ReadOutcome {
        QByteArray text;
        std::optional<QString> readError;
        std::optional<Preview> result;
    };

    static Preview readPreview(QByteArrayView text, const Choices& choices, JobState& job);
    static Preview failedPreview(const QString& reason);
    void showPreview();
    void showDone();
    void updateControls();
    void cancelOrClose();
    static void alertNewest(OVStore& store, const QList<Reading>& newest);

    OVStore& m_store;
    std::optional<QString> m_file;
    QByteArray m_text; // UTF-8
    std::optional<QString> m_readError;
    bool m_loaded = false; // m_text and m_readError hold the chosen file
    quint64 m_request = 0;
    QPointer<BackgroundJob> m_reading;
    QPointer<BackgroundJob> m_import;
    JobProgressBar* m_progress = nullptr;
    std::optional<qint64> m_defaultZone;
    bool m_celsius = false;
    std::optional<Preview> m_result;
    Choices m_previewChoices; // those m_result was read with
    std::optional<QString> m_done;

    OVEditorFrame* m_frame = nullptr;
    OVLabel* m_fileLabel = nullptr;
    ZonePicker* m_zone = nullptr;
    QCheckBox* m_celsiusBox = nullptr;
    QNChromeButton* m_choose = nullptr;
    QNChromeButton* m_example = nullptr;
    QVBoxLayout* m_previewHolder = nullptr;
    QWidget* m_preview = nullptr;
    QStringList m_previewLines;
    QWidget* m_doneRow = nullptr;
    OVLabel* m_doneLabel = nullptr;
};
