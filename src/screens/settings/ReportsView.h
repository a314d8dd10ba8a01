#pragma once
// The Reports screen: yield per crop and cost per harvest over a chosen period, each
// as a table in a card with CSV and PDF export, and a header button that exports
// the whole store as CSV files. The screen computes nothing itself: rows, tables,
// period text, CSV and PDF come from Reports; every store change redraws both
// tables. The period starts at "This year" each time the screen is built.

#include "records/OVDay.h"
#include "services/ReportTableText.h"

#include <QDateTime>
#include <QWidget>
#include <optional>
#include <utility>

class OVCard;
class OVDayPicker;
class OVRebuilder;
class OVStore;
class QVBoxLayout;
class SegmentedPicker;

class ReportsView : public QWidget {
    Q_OBJECT
public:
    explicit ReportsView(QWidget* parent = nullptr);
    explicit ReportsView(OVStore& store, QWidget* parent = nullptr);

    // "year", "last", "all" or "custom".
    QString period() const { return m_period; }
    void setPeriod(const QString& period);
    void setCustomRange(const OVDay& from, const OVDay& to);
    // The (from, to) days of the period, both ends inclusive; nothing is no bound.
    std::pair<std::optional<OVDay>, std::optional<OVDay>> range(const OVDay& today = OVDay::today()) const;

    ReportTableText yieldTable() const { return m_yield; }
    ReportTableText costTable() const { return m_cost; }
    QString periodText() const { return m_periodText; }
    // The PDF subtitle: the period text, " · made " and the moment.
    QString pdfSubtitle(const QDateTime& made = QDateTime::currentDateTime()) const;
    OVRebuilder* rebuilder() const { return m_rebuilder; }

private:
    void rebuild();

    OVStore& m_store;
    QString m_period = QStringLiteral("year");
    OVDay m_from;
    OVDay m_to;
    SegmentedPicker* m_picker = nullptr;
    QWidget* m_custom = nullptr;
    OVDayPicker* m_fromPicker = nullptr;
    OVDayPicker* m_toPicker = nullptr;
    QVBoxLayout* m_cards = nullptr;
    QWidget* m_cardsWidget = nullptr;
    ReportTableText m_yield;
    ReportTableText m_cost;
    QString m_periodText;
    OVRebuilder* m_rebuilder = nullptr;
};
