#include "modes/SelfTestReports.h"

#include "modes/OVSelfTest.h"
#include "records/CropKey.h"
#include "services/OVCSV.h"
#include "services/Reports.h"

#include <poppler-qt6.h>

#include <functional>
#include <memory>

namespace {

Harvest harvest(qint64 id, const QString& crop, OVDay day, double quantity, HarvestUnit unit)
{
    return Harvest{.id = id, .crop = crop, .date = day, .quantity = quantity, .unit = unit};
}

LedgerEntry entry(qint64 id, OVDay day, const QString& item, LedgerCategory category, double cost,
                  const QString& crop)
{
    return LedgerEntry{.id = id, .date = day, .item = item, .category = category, .quantity = 1, .cost = cost,
                       .crop = crop};
}

struct PdfText {
    bool opened = false;
    int pages = 0;
    QString text;
};

PdfText readPdf(const QByteArray& bytes)
{
    PdfText result;
    std::unique_ptr<Poppler::Document> doc(Poppler::Document::loadFromData(bytes));
    if (!doc || doc->isLocked())
        return result;
    result.opened = true;
    result.pages = doc->numPages();
    for (int i = 0; i < result.pages; ++i) {
        std::unique_ptr<Poppler::Page> page(doc->page(i));
        if (page)
            result.text += page->text(QRectF()) + QLatin1Char('\n');
    }
    return result;
}

template <typename Row>
const Row* findRow(const QList<Row>& rows, const std::function<bool(const Row&)>& match)
{
    for (const Row& row : rows)
        if (match(row))
            return &row;
    return nullptr;
}

} // namespace

namespace OVSelfTest {

void reportTests(OVTestRun& run, const QString& /*folder*/)
{
    run.begin(QStringLiteral("Reports: yield per crop and cost per harvest (known values), CSV and PDF"));

    const QList<Harvest> harvests = {
        harvest(1, QStringLiteral("Tomato"), OVDay(2026, 7, 1), 2, HarvestUnit::lb),
        harvest(2, QStringLiteral("tomato "), OVDay(2026, 7, 8), 24, HarvestUnit::oz),
        harvest(3, QStringLiteral("Tomato"), OVDay(2026, 7, 15), 1, HarvestUnit::kg),
        harvest(4, QStringLiteral("Lettuce"), OVDay(2026, 5, 1), 12, HarvestUnit::count),
        harvest(5, QStringLiteral("Lettuce"), OVDay(2026, 5, 9), 500, HarvestUnit::g),
        harvest(6, QStringLiteral("Tomato"), OVDay(2025, 8, 1), 10, HarvestUnit::lb)};
    const QList<LedgerEntry> ledger = {
        entry(1, OVDay(2026, 3, 1), QStringLiteral("Tomato seed"), LedgerCategory::seeds, 4.25,
              QStringLiteral("Tomato")),
        entry(2, OVDay(2026, 4, 1), QStringLiteral("Tomato feed"), LedgerCategory::fertilizer, 10.5,
              QStringLiteral("TOMATO")),
        entry(3, OVDay(2026, 3, 2), QStringLiteral("Lettuce seed"), LedgerCategory::seeds, 6,
              QStringLiteral("Lettuce")),
        entry(4, OVDay(2026, 1, 5), QStringLiteral("Propane"), LedgerCategory::energy, 20, QString()),
        entry(5, OVDay(2025, 1, 5), QStringLiteral("Old cost"), LedgerCategory::other, 99, QString())};
    const OVDay from(2026, 1, 1);
    const OVDay to(2026, 12, 31);

    const QList<YieldRow> yieldRows = Reports::yield(harvests, from, to);
    const auto isTomato = [](const auto& row) { return cropKey(row.crop) == QLatin1String("tomato"); };
    const auto isLettuce = [](const auto& row) { return row.crop == QLatin1String("Lettuce"); };
    const YieldRow* tomato = findRow<YieldRow>(yieldRows, isTomato);
    const YieldRow* lettuce = findRow<YieldRow>(yieldRows, isLettuce);
    run.check(yieldRows.size() == 2, QStringLiteral("two crops this year (tomato spellings grouped together)"));
    run.check(tomato && tomato->harvests == 3 && near(tomato->pounds, 5.7046226218),
              QStringLiteral("tomato: 3 harvests, 2 lb + 24 oz + 1 kg = 5.7046 lb"));
    run.check(lettuce && lettuce->harvests == 2 && near(lettuce->pounds, 1.1023113109) &&
                  lettuce->count == 12,
              QStringLiteral("lettuce: 500 g = 1.1023 lb, plus 12 counted heads"));
    run.check(tomato && tomato->first == OVDay(2026, 7, 1) && tomato->last == OVDay(2026, 7, 15),
              QStringLiteral("first and last harvest dates"));

    const QList<YieldRow> allRows = Reports::yield(harvests, std::nullopt, std::nullopt);
    const YieldRow* tomatoAll = findRow<YieldRow>(allRows, isTomato);
    run.check(tomatoAll && tomatoAll->harvests == 4,
              QStringLiteral("all dates: last year's tomato harvest is included"));

    const CostReport report = Reports::costs(harvests, ledger, from, to);
    const CostRow* tomatoCost = findRow<CostRow>(report.rows, isTomato);
    const CostRow* lettuceCost = findRow<CostRow>(report.rows, isLettuce);
    run.check(tomatoCost && near(tomatoCost->cost, 14.75) &&
                  near(tomatoCost->costPerPound(), 2.5856223939570397) &&
                  near(tomatoCost->costPerHarvest(), 4.916666666666667),
              QStringLiteral("tomato: $14.75 cost, $2.5856 per lb, $4.9167 per harvest"));
    run.check(lettuceCost && near(lettuceCost->cost, 6) &&
                  near(lettuceCost->costPerPound(), 5.443108440120425) &&
                  near(lettuceCost->costPerHarvest(), 3),
              QStringLiteral("lettuce: $6.00, $5.4432 per lb, $3.00 per harvest"));
    run.check(near(report.sharedCost, 20) && near(report.totalCost, 40.75) && report.totalHarvests == 5,
              QStringLiteral("shared $20.00; total $40.75 over 5 harvests (last year's $99 excluded)"));
    run.check(near(report.totalPounds, 6.8069339327) &&
                  near(report.overallPerPound(), 5.986542605363049) &&
                  near(report.overallPerHarvest(), 8.15),
              QStringLiteral("all crops: 6.8069 lb, $5.9866 per lb, $8.15 per harvest"));

    const QList<OVCSV::Row> costRows = OVCSV::parse(Reports::csv(Reports::costTable(report)));
    QStringList lastFields;
    if (!costRows.isEmpty())
        lastFields = costRows.last().fields;
    QStringList quoted;
    for (const QString& field : lastFields)
        quoted.append(QLatin1Char('"') + field + QLatin1Char('"'));
    run.check(!costRows.isEmpty() &&
                  lastFields == QStringList{QStringLiteral("ALL CROPS"), QStringLiteral("40.75"),
                                            QStringLiteral("5"), QStringLiteral("6.81"),
                                            QStringLiteral("5.99"), QStringLiteral("8.15")},
              QStringLiteral("cost CSV total row: [") + quoted.join(QStringLiteral(", ")) +
                  QLatin1Char(']'));

    const ReportTableText yieldTable = Reports::yieldTable(yieldRows);
    const QList<OVCSV::Row> yieldCsv = OVCSV::parse(Reports::csv(yieldTable));
    bool yieldCsvOk = false;
    if (!yieldCsv.isEmpty() && !yieldCsv.first().fields.isEmpty()) {
        const QStringList& last = yieldCsv.last().fields;
        yieldCsvOk = yieldCsv.first().fields.first() == QLatin1String("Crop") && last.size() >= 3 &&
                     last[0] == QLatin1String("TOTAL") && last[1] == QLatin1String("5") &&
                     last[2] == QLatin1String("6.81");
    }
    run.check(yieldCsvOk, QStringLiteral("yield CSV header and total row"));

    const PdfText small =
        readPdf(Reports::pdf(QStringLiteral("Yield per crop"), QStringLiteral("Test"), yieldTable, {}));
    run.check(small.opened && small.pages == 1 && small.text.contains(QLatin1String("Tomato")) &&
                  small.text.contains(QLatin1String("5.70")) && small.text.contains(QLatin1String("TOTAL")),
              QStringLiteral("PDF opens and shows the crops and totals"));
    run.check(small.opened && small.text.contains(QLatin1String("QNMR Orvane")) &&
                  small.text.contains(QLatin1String("Quenmoor Softworks")),
              QStringLiteral("PDF footer credits QNMR Orvane by Quenmoor Softworks"));

    QList<Harvest> many;
    for (int i = 1; i <= 150; ++i)
        many.append(harvest(i, QStringLiteral("Crop ") + QString::number(i), OVDay(2026, 6, 1), i,
                            HarvestUnit::lb));
    const PdfText big = readPdf(Reports::pdf(QStringLiteral("Big"), QString(),
                                             Reports::yieldTable(Reports::yield(many, std::nullopt, std::nullopt)),
                                             {}));
    run.check(big.opened && big.pages >= 3 && big.text.contains(QLatin1String("Crop 150")),
              QStringLiteral("a 150-crop report runs onto several pages: ") + QString::number(big.pages));
}

} // namespace OVSelfTest
