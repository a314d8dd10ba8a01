#pragma once
// The Climate screen: for one zone at a time, the readings of a chosen period as a
// chart of one metric and a list of the newest readings, under the manual-entry
// banner; from its header the grower exports every reading, imports a CSV file and
// adds a reading by hand.
//
// Invariants: the screen keeps no records between drawings: every store revision and
// every climate-zone change of the app model queries the store afresh (coalesced and
// deferred through OVRebuilder). The zone shown is resolved at every drawing (the
// app model's zone when it still exists, else the first zone) and never written back;
// only the user's pick in the zone picker sets the app model's zone. The list holds at
// most the newest 60 readings and the chart at most the store's 5000; the note under
// the list names the real number of readings in the period (a count query). The
// chart's points are read for the chosen metric alone (OVStore::metricPoints), the
// rows as whole readings. A read that fails is said in place of the empty texts.
// Header, zone row and pickers are built once and kept; only the cards below are
// rebuilt.

#include "records/Metric.h"
#include "records/Reading.h"
#include "records/Zone.h"

#include <QList>
#include <QWidget>
#include <optional>

class AppModel;
class ClimateChart;
class OVCard;
class OVLabel;
class OVPage;
class OVRebuilder;
class OVStore;
class QComboBox;
class QNChromeButton;
class QVBoxLayout;
class ReadingRow;
class SegmentedPicker;

class ClimateView : public QWidget {
    Q_OBJECT
public:
    static constexpr int listedReadings = 60;
    static constexpr int chartedReadings = 5000;
    static const QString subtitle;

    explicit ClimateView(QWidget* parent = nullptr);
    ClimateView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    Metric metric() const { return m_metric; }
    int days() const { return m_days; }
    // As the pickers do: the chart (metric) or everything below the zone row (period)
    // is drawn again on the next event-loop turn.
    void setMetric(Metric metric);
    void setDays(int days);

    // "Showing the newest 60 of N. Export CSV to see them all."
    static QString moreNote(qint64 count);
    // "<metric name> — last N days" or "<metric name> — all readings".
    static QString chartTitle(Metric metric, int days);

    // What the latest drawing shows (for tests and benchmarks).
    std::optional<qint64> selectedZoneID() const { return m_zoneID; }
    const QList<ReadingRow*>& rows() const { return m_rows; }
    QString noteText() const; // empty when no note is shown
    QString chartCardTitle() const { return m_chartTitle; }
    ClimateChart* chart() const { return m_chart; }
    bool showsNoZones() const { return m_noZones; }
    bool showsNoReadings() const { return m_noReadings; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }
    OVPage* page() const { return m_page; }
    QComboBox* zonePicker() const { return m_zoneBox; }
    QComboBox* periodPicker() const { return m_periodBox; }
    SegmentedPicker* metricPicker() const { return m_metricPicker; }
    // The start of the period the chart shows (none for "All").
    std::optional<QDateTime> chartSince() const { return m_since; }
    QNChromeButton* exportButton() const { return m_export; }
    QNChromeButton* importButton() const { return m_import; }
    QNChromeButton* addButton() const { return m_add; }
    QNChromeButton* alertRangesButton() const { return m_alertRanges; }

private:
    void build();
    void rebuild();
    void rebuildChartCard();
    void clearCards();

    OVStore& m_store;
    AppModel& m_model;
    Metric m_metric = Metric::temp;
    int m_days = 7;

    OVPage* m_page = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
    QNChromeButton* m_export = nullptr;
    QNChromeButton* m_import = nullptr;
    QNChromeButton* m_add = nullptr;
    QWidget* m_zoneRow = nullptr;
    QComboBox* m_zoneBox = nullptr;
    QNChromeButton* m_alertRanges = nullptr;
    QWidget* m_pickers = nullptr;
    SegmentedPicker* m_metricPicker = nullptr;
    QComboBox* m_periodBox = nullptr;
    QVBoxLayout* m_cards = nullptr;

    // The latest drawing.
    std::optional<qint64> m_zoneID;
    std::optional<Zone> m_zone;
    std::optional<QDateTime> m_since;
    QList<Reading> m_listed; // the newest 61 of the period: the rows and whether more exist
    bool m_fullPending = true; // else only the chart card (a metric change) is drawn again
    QString m_chartTitle;
    OVCard* m_chartCard = nullptr;
    ClimateChart* m_chart = nullptr;
    QWidget* m_listCard = nullptr;
    QList<ReadingRow*> m_rows;
    OVLabel* m_note = nullptr;
    bool m_noZones = false;
    bool m_noReadings = false;
};
