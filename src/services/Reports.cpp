#include "services/Reports.h"

#include "records/SpaceTrim.h"

#include "records/CropKey.h"
#include "records/OVFormat.h"
#include "services/OVCSV.h"
#include "store/OVStore.h"

#include <QHash>
#include <algorithm>

namespace {

constexpr double poundsPerKilogram = 2.2046226218;

QString f2(double value) { return OVFormat::fixed(value, 2); }

// Heaviest first, then by name; stable, so crops first harvested earlier win ties.
void sortYield(QList<YieldRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const YieldRow& a, const YieldRow& b) {
        if (a.pounds != b.pounds)
            return a.pounds > b.pounds;
        return a.crop.toLower() < b.crop.toLower();
    });
}

void sortCosts(QList<CostRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const CostRow& a, const CostRow& b) {
        return a.crop.toLower() < b.crop.toLower();
    });
}

} // namespace

std::optional<double> CostRow::costPerHarvest() const
{
    if (harvests >= 1)
        return cost / harvests;
    return std::nullopt;
}

std::optional<double> CostRow::costPerPound() const
{
    if (pounds > 0)
        return cost / pounds;
    return std::nullopt;
}

std::optional<double> CostReport::overallPerPound() const
{
    if (totalPounds > 0)
        return totalCost / totalPounds;
    return std::nullopt;
}

std::optional<double> CostReport::overallPerHarvest() const
{
    if (totalHarvests >= 1)
        return totalCost / totalHarvests;
    return std::nullopt;
}

namespace Reports {

bool inRange(const OVDay& day, const std::optional<OVDay>& from, const std::optional<OVDay>& to)
{
    return (!from || day >= *from) && (!to || day <= *to);
}

QList<YieldRow> yield(const QList<Harvest>& harvests, const std::optional<OVDay>& from,
                      const std::optional<OVDay>& to)
{
    QList<Harvest> sorted = harvests;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Harvest& a, const Harvest& b) {
        if (a.date != b.date)
            return a.date < b.date;
        return a.id < b.id;
    });

    QList<YieldRow> rows;
    QHash<QString, qsizetype> rowOfKey;
    for (const Harvest& harvest : sorted) {
        if (!inRange(harvest.date, from, to))
            continue;
        const QString key = cropKey(harvest.crop);
        auto found = rowOfKey.constFind(key);
        if (found == rowOfKey.constEnd()) {
            YieldRow row;
            // Spaces and tabs only: line breaks and letter case of a crop's text stay.
            row.crop = SpaceTrim::trimmedString(harvest.crop);
            rows.append(row);
            found = rowOfKey.insert(key, rows.size() - 1);
        }
        YieldRow& row = rows[*found];
        row.harvests += 1;
        if (const std::optional<double> pounds = harvest.pounds())
            row.pounds += *pounds;
        else
            row.count += harvest.quantity;
        if (!row.first || harvest.date < *row.first)
            row.first = harvest.date;
        if (!row.last || harvest.date > *row.last)
            row.last = harvest.date;
    }

    sortYield(rows);
    return rows;
}

CostReport costs(const QList<Harvest>& harvests, const QList<LedgerEntry>& ledger,
                 const std::optional<OVDay>& from, const std::optional<OVDay>& to)
{
    CostReport report;
    QHash<QString, qsizetype> rowOfKey;
    auto rowFor = [&](const QString& key, const QString& text) -> CostRow& {
        auto found = rowOfKey.constFind(key);
        if (found == rowOfKey.constEnd()) {
            CostRow row;
            row.crop = SpaceTrim::trimmedString(text);
            report.rows.append(row);
            found = rowOfKey.insert(key, report.rows.size() - 1);
        }
        return report.rows[*found];
    };

    for (const Harvest& harvest : harvests) {
        if (!inRange(harvest.date, from, to))
            continue;
        CostRow& row = rowFor(cropKey(harvest.crop), harvest.crop);
        const double pounds = harvest.pounds().value_or(0);
        row.harvests += 1;
        row.pounds += pounds;
        report.totalHarvests += 1;
        report.totalPounds += pounds;
    }
    for (const LedgerEntry& entry : ledger) {
        if (!inRange(entry.date, from, to))
            continue;
        report.totalCost += entry.cost;
        const QString key = cropKey(entry.crop);
        if (key.isEmpty()) {
            report.sharedCost += entry.cost;
            continue;
        }
        rowFor(key, entry.crop).cost += entry.cost;
    }

    sortCosts(report.rows);
    return report;
}

BothReports fromStore(const OVStore& store, const std::optional<OVDay>& from, const std::optional<OVDay>& to)
{
    const OVStore::ReportSums sums = store.reportSums(from, to);
    BothReports both;
    for (const OVStore::CropYield& crop : sums.yield) {
        both.yield.append(YieldRow{.crop = SpaceTrim::trimmedString(crop.crop),
                                   .harvests = crop.harvests,
                                   .pounds = crop.pounds,
                                   .count = crop.count,
                                   .first = crop.first,
                                   .last = crop.last});
    }
    sortYield(both.yield);
    CostReport& report = both.costs;
    report.sharedCost = sums.sharedCost;
    report.totalCost = sums.totalCost;
    report.totalPounds = sums.totalPounds;
    report.totalHarvests = sums.totalHarvests;
    for (const OVStore::CropCost& crop : sums.costs) {
        report.rows.append(
            CostRow{.crop = SpaceTrim::trimmedString(crop.crop), .cost = crop.cost, .pounds = crop.pounds, .harvests = crop.harvests});
    }
    sortCosts(report.rows);
    return both;
}

QString lb(double value) { return f2(value); }

QString money(std::optional<double> value) { return value ? f2(*value) : QString(); }

ReportTableText yieldTable(const QList<YieldRow>& rows)
{
    ReportTableText table;
    table.header = {QStringLiteral("Crop"),          QStringLiteral("Harvests"),
                    QStringLiteral("Weight (lb)"),   QStringLiteral("Weight (kg)"),
                    QStringLiteral("Counted items"), QStringLiteral("First harvest"),
                    QStringLiteral("Last harvest")};
    qint64 harvests = 0;
    double pounds = 0;
    double count = 0;
    for (const YieldRow& row : rows) {
        table.rows.append({row.crop, QString::number(row.harvests), f2(row.pounds),
                           f2(row.pounds / poundsPerKilogram), OVFormat::num(row.count),
                           row.first ? row.first->iso() : QString(),
                           row.last ? row.last->iso() : QString()});
        harvests += row.harvests;
        pounds += row.pounds;
        count += row.count;
    }
    table.total = {QStringLiteral("TOTAL"), QString::number(harvests), f2(pounds),
                   f2(pounds / poundsPerKilogram), OVFormat::num(count), QString(), QString()};
    return table;
}

ReportTableText costTable(const CostReport& report)
{
    ReportTableText table;
    table.header = {QStringLiteral("Crop"),        QStringLiteral("Costs ($)"),
                    QStringLiteral("Harvests"),    QStringLiteral("Weight (lb)"),
                    QStringLiteral("Cost per lb ($)"), QStringLiteral("Cost per harvest ($)")};
    for (const CostRow& row : report.rows) {
        table.rows.append({row.crop, f2(row.cost), QString::number(row.harvests), f2(row.pounds),
                           money(row.costPerPound()), money(row.costPerHarvest())});
    }
    table.rows.append({QStringLiteral("Shared costs (no crop)"), f2(report.sharedCost), QString(),
                       QString(), QString(), QString()});
    table.total = {QStringLiteral("ALL CROPS"), f2(report.totalCost),
                   QString::number(report.totalHarvests), f2(report.totalPounds),
                   money(report.overallPerPound()), money(report.overallPerHarvest())};
    return table;
}

QString csv(const ReportTableText& table)
{
    QList<QStringList> rows = table.rows;
    rows.append(table.total);
    return OVCSV::write(table.header, rows);
}

QString periodText(const std::optional<OVDay>& from, const std::optional<OVDay>& to)
{
    if (!from && !to)
        return QStringLiteral("All dates");
    if (from && !to)
        return QStringLiteral("From ") + from->display();
    if (!from)
        return QStringLiteral("Up to ") + to->display();
    return from->display() + QStringLiteral(" to ") + to->display();
}

} // namespace Reports
