#include "screens/settings/ReportsView.h"

#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVDayPicker.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "kit/SegmentedPicker.h"
#include "screens/settings/ReportTable.h"
#include "screens/settings/SettingsView.h"
#include "services/BackgroundJobs.h"
#include "services/FilePanels.h"
#include "services/Reports.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

const QStringList periodTags = {QStringLiteral("year"), QStringLiteral("last"), QStringLiteral("all"),
                                QStringLiteral("custom")};

const QString yieldNote = QStringLiteral(
    "Weights are added up in pounds (oz, kg and g converted). Counted items (each) are totalled separately.");
const QString costPdfNote = QStringLiteral(
    "Costs with a crop count toward that crop. Costs without a crop are shared and only count in the ALL CROPS line. "
    "Cost per lb uses weighed harvests only.");
const QString costScreenNote = QStringLiteral(
    "Costs with a crop count toward that crop. Costs without a crop (heat, tools, repairs) are “shared” and only "
    "count in the all-crops line. Cost per lb uses weighed harvests only.");

} // namespace

ReportsView::ReportsView(QWidget* parent) : ReportsView(*OVStore::shared(), parent) {}

ReportsView::ReportsView(OVStore& store, QWidget* parent) : QWidget(parent), m_store(store)
{
    const OVDay today = OVDay::today();
    m_from = OVDay(today.year, 1, 1);
    m_to = today;

    auto* page = OVPage::fill(this, Screen::reports,
                              QStringLiteral("Yield per crop and cost per harvest for any period, "
                                             "exported to CSV (spreadsheets) or PDF (printing)."));
    auto* exportAll = new QNChromeButton(QStringLiteral("Export Everything (CSV)"));
    exportAll->setSymbol(QStringLiteral("folder.badge.plus"));
    page->addTrailing(exportAll);
    connect(exportAll, &QPushButton::clicked, this, [] { SettingsView::chooseFolderAndExportAll(); });
    // As on Settings: no full export during a restore or beside another one.
    const auto guard = [exportAll] {
        exportAll->setEnabled(!SettingsView::restoreRunning() && !SettingsView::exportAllRunning());
    };
    connect(&BackgroundJobs::shared(), &BackgroundJobs::changed, this, guard);
    guard();

    auto* periodRow = new QHBoxLayout;
    periodRow->setSpacing(KitMetrics::px(10));
    m_picker = new SegmentedPicker(
        {QStringLiteral("This year"), QStringLiteral("Last year"), QStringLiteral("All dates"), QStringLiteral("Custom")});
    m_picker->setFixedWidth(KitMetrics::px(380));
    m_picker->setAccessibleName(QStringLiteral("Period"));
    periodRow->addWidget(m_picker);
    m_custom = new QWidget;
    auto* customRow = new QHBoxLayout(m_custom);
    customRow->setContentsMargins(0, 0, 0, 0);
    customRow->setSpacing(KitMetrics::px(10));
    m_fromPicker = new OVDayPicker(m_from);
    m_toPicker = new OVDayPicker(m_to);
    customRow->addWidget(m_fromPicker);
    customRow->addWidget(new OVLabel(QStringLiteral("to"), 13));
    customRow->addWidget(m_toPicker);
    periodRow->addWidget(m_custom);
    periodRow->addStretch(1);
    page->content()->addLayout(periodRow);

    m_cards = new QVBoxLayout;
    m_cards->setContentsMargins(0, 0, 0, 0);
    page->content()->addLayout(m_cards);

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    connect(m_picker, &SegmentedPicker::activated, this, [this](int index) { setPeriod(periodTags.value(index)); });
    connect(m_fromPicker, &OVDayPicker::changed, this, [this] {
        m_from = m_fromPicker->day();
        m_rebuilder->schedule();
    });
    connect(m_toPicker, &OVDayPicker::changed, this, [this] {
        m_to = m_toPicker->day();
        m_rebuilder->schedule();
    });
    setPeriod(m_period);
    m_rebuilder->rebuildNow();
}

void ReportsView::setPeriod(const QString& period)
{
    m_period = period;
    m_picker->setCurrentIndex(int(periodTags.indexOf(period)));
    m_custom->setVisible(period == QStringLiteral("custom"));
    m_rebuilder->schedule();
}

void ReportsView::setCustomRange(const OVDay& from, const OVDay& to)
{
    m_from = from;
    m_to = to;
    m_fromPicker->setDay(from);
    m_toPicker->setDay(to);
    m_rebuilder->schedule();
}

std::pair<std::optional<OVDay>, std::optional<OVDay>> ReportsView::range(const OVDay& today) const
{
    if (m_period == QStringLiteral("year"))
        return {OVDay(today.year, 1, 1), OVDay(today.year, 12, 31)};
    if (m_period == QStringLiteral("last"))
        return {OVDay(today.year - 1, 1, 1), OVDay(today.year - 1, 12, 31)};
    if (m_period == QStringLiteral("custom"))
        return {m_from, m_to};
    return {std::nullopt, std::nullopt};
}

QString ReportsView::pdfSubtitle(const QDateTime& made) const
{
    return m_periodText + QStringLiteral(" · made ") + OVFormat::dayTime(made);
}

void ReportsView::rebuild()
{
    const OVStore::ReadWatch reads(m_store);
    const auto [from, to] = range();
    const Reports::BothReports reports = Reports::fromStore(m_store, from, to);
    m_yield = Reports::yieldTable(reports.yield);
    m_cost = Reports::costTable(reports.costs);
    m_periodText = Reports::periodText(from, to);

    if (m_cardsWidget) {
        m_cardsWidget->hide();
        m_cardsWidget->deleteLater();
    }
    m_cardsWidget = new QWidget;
    auto* column = new QVBoxLayout(m_cardsWidget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(KitMetrics::px(16));

    const auto exportRow = [this](const ReportTableText& table, const QString& title, const QString& note) {
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        auto* csv = new QNChromeButton(QStringLiteral("Export CSV"), false, true);
        auto* pdf = new QNChromeButton(QStringLiteral("Export PDF"), false, true);
        row->addWidget(csv);
        row->addWidget(pdf);
        connect(csv, &QPushButton::clicked, this,
                [table, title] { FilePanels::exportCSV(Reports::csv(table), title + QStringLiteral(".csv")); });
        connect(pdf, &QPushButton::clicked, this, [this, table, title, note] {
            FilePanels::exportData(Reports::pdf(title, pdfSubtitle(), table, {note}), title + QStringLiteral(".pdf"),
                                   FileType::pdf());
        });
        return row;
    };

    auto* yieldCard = new OVCard(QStringLiteral("Yield per crop — ") + m_periodText, QStringLiteral("basket.fill"));
    // Empty tables would say that nothing was harvested or spent.
    const auto table = [&](const ReportTableText& text) -> QWidget* {
        return reads.failed() ? static_cast<QWidget*>(new OVReadFailure(reads.reason())) : new ReportTable(text);
    };
    yieldCard->body()->addWidget(table(m_yield));
    yieldCard->body()->addLayout(exportRow(m_yield, QStringLiteral("Yield per crop"), yieldNote));
    column->addWidget(yieldCard);

    auto* costCard = new OVCard(QStringLiteral("Cost per harvest — ") + m_periodText,
                                QStringLiteral("dollarsign.circle.fill"));
    costCard->body()->addWidget(table(m_cost));
    auto* note = new OVLabel(costScreenNote, 11.5, QFont::Normal, OVColors().dim());
    note->setWrapping(true);
    costCard->body()->addWidget(note);
    costCard->body()->addLayout(exportRow(m_cost, QStringLiteral("Cost per harvest"), costPdfNote));
    column->addWidget(costCard);

    m_cards->addWidget(m_cardsWidget);
}
