#pragma once
// Yield per crop and cost per harvest. Pure functions over the harvest and ledger
// lists the caller fetched, or over the store's per-crop sums (the form screens use,
// which reads one row per crop); nothing else reads the store, a file or a preference.
// Crops are joined by cropKey(); every number in a table cell is C-style text with
// a point as decimal mark whatever the locale, and every division is guarded so no
// cell shows an infinite or undefined number.

#include "records/Harvest.h"
#include "records/LedgerEntry.h"
#include "records/OVDay.h"
#include "services/ReportTableText.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class OVStore;

struct YieldRow {
    QString crop;
    int harvests = 0;
    double pounds = 0;
    double count = 0;
    std::optional<OVDay> first;
    std::optional<OVDay> last;

    friend bool operator==(const YieldRow&, const YieldRow&) = default;
};

struct CostRow {
    QString crop;
    double cost = 0;
    double pounds = 0;
    int harvests = 0;

    std::optional<double> costPerHarvest() const;
    std::optional<double> costPerPound() const;

    friend bool operator==(const CostRow&, const CostRow&) = default;
};

struct CostReport {
    QList<CostRow> rows;
    double sharedCost = 0;
    double totalCost = 0;
    double totalPounds = 0;
    int totalHarvests = 0;

    std::optional<double> overallPerPound() const;
    std::optional<double> overallPerHarvest() const;

    friend bool operator==(const CostReport&, const CostReport&) = default;
};

namespace Reports {

// Both ends inclusive; an absent end is open.
bool inRange(const OVDay& day, const std::optional<OVDay>& from, const std::optional<OVDay>& to);

QList<YieldRow> yield(const QList<Harvest>& harvests, const std::optional<OVDay>& from,
                      const std::optional<OVDay>& to);
CostReport costs(const QList<Harvest>& harvests, const QList<LedgerEntry>& ledger,
                 const std::optional<OVDay>& from, const std::optional<OVDay>& to);

// The same two reports from the store's per-crop sums, without loading any record:
// equal to the list forms over store.harvests() and store.ledger().
struct BothReports {
    QList<YieldRow> yield;
    CostReport costs;
};
BothReports fromStore(const OVStore& store, const std::optional<OVDay>& from, const std::optional<OVDay>& to);

QString lb(double value);
QString money(std::optional<double> value);

ReportTableText yieldTable(const QList<YieldRow>& rows);
ReportTableText costTable(const CostReport& report);

// The table as CSV: header, rows, then the total as the last row.
QString csv(const ReportTableText& table);

// "All dates", "From <day>", "Up to <day>" or "<day> to <day>".
QString periodText(const std::optional<OVDay>& from, const std::optional<OVDay>& to);

// A US-Letter PDF of the report: title, subtitle, table with its header repeated on
// every page, notes, and a page-numbered footer. Empty when no PDF could be made.
QByteArray pdf(const QString& title, const QString& subtitle, const ReportTableText& table,
               const QStringList& notes);

// The footer of page `page`.
QString footerText(int page);

} // namespace Reports
