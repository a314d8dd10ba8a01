#include "services/Reports.h"

#include <poppler-qt6.h>

#include <QImage>
#include <QLocale>
#include <QRegularExpression>
#include <clocale>
#include <gtest/gtest.h>
#include <memory>

namespace {

Harvest harvest(qint64 id, const QString& crop, OVDay date, double quantity,
                HarvestUnit unit = HarvestUnit::lb)
{
    return Harvest{.id = id, .crop = crop, .date = date, .quantity = quantity, .unit = unit};
}

LedgerEntry cost(const QString& crop, OVDay date, double amount)
{
    return LedgerEntry{.date = date, .cost = amount, .crop = crop};
}

const OVDay may1(2026, 5, 1), may2(2026, 5, 2), may3(2026, 5, 3);

} // namespace

TEST(ReportsYield, CropsJoinByKeyAndTakeTheEarliestText)
{
    const QList<Harvest> harvests = {harvest(3, "tomato", may2, 2), harvest(7, " Tomato", may1, 16, HarvestUnit::oz),
                                     harvest(1, "Radish", may1, 3, HarvestUnit::count),
                                     harvest(2, "Beans\n", may3, 1, HarvestUnit::kg)};
    const QList<YieldRow> rows = Reports::yield(harvests, std::nullopt, std::nullopt);
    ASSERT_EQ(rows.size(), 3);
    // Heaviest first; the count-only crop sorts last.
    EXPECT_EQ(rows[0].crop, "Tomato");
    EXPECT_EQ(rows[0].harvests, 2);
    EXPECT_DOUBLE_EQ(rows[0].pounds, 3.0);
    EXPECT_EQ(rows[0].first, may1);
    EXPECT_EQ(rows[0].last, may2);
    EXPECT_EQ(rows[1].crop, "Beans\n"); // line breaks stay in the display text
    EXPECT_EQ(rows[2].crop, "Radish");
    EXPECT_DOUBLE_EQ(rows[2].count, 3);
    EXPECT_DOUBLE_EQ(rows[2].pounds, 0);

    // Both ends of the period count; outside days do not.
    const QList<YieldRow> bounded = Reports::yield(harvests, may2, may3);
    ASSERT_EQ(bounded.size(), 2);
    EXPECT_EQ(bounded[1].crop, "tomato");
}

TEST(ReportsTables, EmptyInputsGiveOnlyTotals)
{
    const ReportTableText yield = Reports::yieldTable({});
    EXPECT_TRUE(yield.rows.isEmpty());
    EXPECT_EQ(yield.total, (QStringList{"TOTAL", "0", "0.00", "0.00", "0", "", ""}));

    const ReportTableText costs = Reports::costTable(Reports::costs({}, {}, std::nullopt, std::nullopt));
    ASSERT_EQ(costs.rows.size(), 1);
    EXPECT_EQ(costs.rows[0], (QStringList{"Shared costs (no crop)", "0.00", "", "", "", ""}));
    EXPECT_EQ(costs.total, (QStringList{"ALL CROPS", "0.00", "0", "0.00", "", ""}));
}

TEST(ReportsTables, CostsPerCropWithGuardedDivisions)
{
    const QList<Harvest> harvests = {harvest(1, "Tomato", may1, 4), harvest(2, "Radish", may1, 10, HarvestUnit::count)};
    const QList<LedgerEntry> ledger = {cost("tomato ", may1, 10), cost("  ", may2, 5), cost("Basil", may2, 3)};
    const CostReport report = Reports::costs(harvests, ledger, std::nullopt, std::nullopt);
    EXPECT_DOUBLE_EQ(report.sharedCost, 5);
    EXPECT_DOUBLE_EQ(report.totalCost, 18);
    const ReportTableText table = Reports::costTable(report);
    ASSERT_EQ(table.rows.size(), 4);
    EXPECT_EQ(table.rows[0], (QStringList{"Basil", "3.00", "0", "0.00", "", ""}));
    EXPECT_EQ(table.rows[1], (QStringList{"Radish", "0.00", "1", "0.00", "", "0.00"}));
    EXPECT_EQ(table.rows[2], (QStringList{"Tomato", "10.00", "1", "4.00", "2.50", "10.00"}));
    EXPECT_EQ(table.total, (QStringList{"ALL CROPS", "18.00", "2", "4.00", "4.50", "9.00"}));
}

TEST(ReportsTables, NumbersUseAPointInEveryLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const ReportTableText table =
        Reports::yieldTable(Reports::yield({harvest(1, "Tomato", may1, 2.5, HarvestUnit::kg),
                                            harvest(2, "Egg", may1, 2.5, HarvestUnit::count)},
                                           std::nullopt, std::nullopt));
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(table.rows[0][2], "5.51");
    EXPECT_EQ(table.rows[0][3], "2.50");
    EXPECT_EQ(table.rows[1][4], "2.5");
    EXPECT_EQ(Reports::csv(table).count(QStringLiteral("\r\n")), 4);
}

TEST(ReportsPdf, TotalLineMovesToPageTwoAfterFortyOneRows)
{
    ReportTableText table = Reports::yieldTable({});
    for (int i = 0; i < 41; ++i)
        table.rows.append({QStringLiteral("Crop%1").arg(i), "1", "1.00", "0.45", "0", "", ""});
    const QByteArray bytes = Reports::pdf("Yield per crop", "All dates", table, {"A note."});
    ASSERT_FALSE(bytes.isEmpty());
    std::unique_ptr<Poppler::Document> doc(Poppler::Document::loadFromData(bytes));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->numPages(), 2);
    std::unique_ptr<Poppler::Page> first(doc->page(0));
    std::unique_ptr<Poppler::Page> second(doc->page(1));
    EXPECT_EQ(first->pageSizeF(), QSizeF(612, 792));
    const QString one = first->text(QRectF());
    const QString two = second->text(QRectF());
    EXPECT_TRUE(one.contains("Crop40"));
    EXPECT_FALSE(one.contains("TOTAL"));
    EXPECT_TRUE(two.contains("TOTAL"));
    EXPECT_TRUE(two.contains("Crop")); // the header bar is repeated
    EXPECT_TRUE(one.contains("Quenmoor Softworks"));
    EXPECT_TRUE(one.contains("Page 1"));
    EXPECT_TRUE(two.contains("Page 2"));
    EXPECT_TRUE(two.contains("A note."));
}

TEST(ReportsPdf, ALongNoteStartsANewPage)
{
    ReportTableText table = Reports::yieldTable({});
    for (int i = 0; i < 38; ++i)
        table.rows.append({QStringLiteral("Crop%1").arg(i), "1", "1.00", "0.45", "0", "", ""});
    const QString longNote = QString("word ").repeated(400);
    const QByteArray bytes = Reports::pdf("T", "S", table, {longNote});
    std::unique_ptr<Poppler::Document> doc(Poppler::Document::loadFromData(bytes));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->numPages(), 2);
    std::unique_ptr<Poppler::Page> first(doc->page(0));
    EXPECT_TRUE(first->text(QRectF()).contains("TOTAL"));
    EXPECT_FALSE(first->text(QRectF()).contains("word"));
}

namespace {

// The header bar's fill, as a rendered pixel.
bool isHeaderFill(QRgb pixel)
{
    return std::abs(qRed(pixel) - 77) <= 14 && std::abs(qGreen(pixel) - 115) <= 14 && std::abs(qBlue(pixel) - 56) <= 14;
}

// Where the header bar of a page ends, in points: the first pixel below `barTop`
// down the bar's left edge that is not the bar's fill.
double barBottom(const QImage& page, double scale, double barTop)
{
    const int x = int(41 * scale);
    int y = int((barTop + 1) * scale);
    while (y < page.height() && isHeaderFill(page.pixel(x, y)))
        ++y;
    return y / scale;
}

// The words of the header titles, without brackets (Poppler may keep them apart).
QStringList headerWords(const QStringList& header)
{
    QStringList words;
    for (QString title : header)
        words += title.remove(QRegularExpression(QStringLiteral("[()]"))).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words;
}

// Every header word found on a page below `barTop`, and whether the bar's fill shows
// along the bottom of its box (a word drawn outside the bar shows on white paper, or
// not at all).
QHash<QString, bool> headerWordsOnTheBar(Poppler::Page& page, const QImage& picture, double scale,
                                         const QStringList& header, double barTop)
{
    const QStringList words = headerWords(header);
    QHash<QString, bool> found;
    for (const std::unique_ptr<Poppler::TextBox>& box : page.textList()) {
        const QRectF r = box->boundingBox();
        const QString word = box->text().remove(QRegularExpression(QStringLiteral("[()]")));
        if (!words.contains(word) || r.top() < barTop - 1 || r.top() > barTop + 40)
            continue;
        bool onFill = false;
        const int y = int((r.bottom() - 0.5) * scale);
        for (int x = int(r.left() * scale); x <= int(r.right() * scale) && !onFill; ++x)
            onFill = isHeaderFill(picture.pixel(x, y));
        found[word] = found.value(word, true) && onFill;
    }
    return found;
}

} // namespace

// A header title too long for one line makes the bar as tall as its lines: no title
// line is cut off, and the rows start below the bar. Titles that fit keep the bar 18
// points tall with the first row at 116.
TEST(ReportsPdf, TheHeaderBarIsAsTallAsItsTitles)
{
    CostReport report;
    for (int i = 0; i < 50; ++i)
        report.rows.append(CostRow{.crop = QStringLiteral("Crop%1").arg(i)});
    const ReportTableText costs = Reports::costTable(report);
    ASSERT_TRUE(costs.header.contains(QStringLiteral("Cost per harvest ($)")));
    ReportTableText yield = Reports::yieldTable({});
    yield.rows.append({QStringLiteral("Tomato"), "1", "1.00", "0.45", "0", "", ""});

    const double scale = 4;
    const ReportTableText* tables[] = {&costs, &yield};
    for (const ReportTableText* table : tables) {
        SCOPED_TRACE(table->header.join(QStringLiteral(", ")).toStdString());
        const QByteArray bytes = Reports::pdf("Report", "All dates", *table, {});
        std::unique_ptr<Poppler::Document> doc(Poppler::Document::loadFromData(bytes));
        ASSERT_TRUE(doc);
        for (int p = 0; p < doc->numPages(); ++p) {
            SCOPED_TRACE(p + 1);
            std::unique_ptr<Poppler::Page> page(doc->page(p));
            const QImage picture = page->renderToImage(72 * scale, 72 * scale);
            const double barTop = p == 0 ? 96 : 40;
            const double bottom = barBottom(picture, scale, barTop);

            const QHash<QString, bool> found = headerWordsOnTheBar(*page, picture, scale, table->header, barTop);
            for (const QString& word : headerWords(table->header))
                EXPECT_TRUE(found.value(word, false)) << word.toStdString() << " is not shown on the bar";

            // The first row's text lies below the bar.
            for (const std::unique_ptr<Poppler::TextBox>& box : page->textList()) {
                if (box->text().contains(QRegularExpression(QStringLiteral("^(Crop\\d+|Tomato|Shared)$")))) {
                    EXPECT_GE(box->boundingBox().top(), bottom) << box->text().toStdString();
                }
            }
            if (table == &yield) {
                EXPECT_NEAR(bottom, barTop + 18, 0.5); // every title fits on one line
            } else {
                EXPECT_GE(bottom, barTop + 18 + 8); // two lines of titles
            }
        }
    }
}
