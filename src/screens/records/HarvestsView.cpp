#include "screens/records/HarvestsView.h"

#include "kit/HeaderActions.h"
#include "kit/AdaptiveGridLayout.h"
#include "kit/DeferredSwap.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/OVRowBox.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "screens/records/HarvestRow.h"
#include "services/AppModel.h"
#include "services/Reports.h"
#include "store/OVStore.h"

#include <QHash>
#include <QVBoxLayout>

HarvestsView::HarvestsView(QWidget* parent) : HarvestsView(*OVStore::shared(), AppModel::shared(), parent) {}

HarvestsView::HarvestsView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    m_page = OVPage::fill(this, Screen::harvests,
                          QStringLiteral("Every picking with its weight or count. Yields add up in Reports."));

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 6, QStringLiteral("Log Harvest"));
    m_export = header.exportButton;
    m_add = header.addButton;
    connect(m_add, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(Harvest())); });
    m_page->content()->addStretch(1);

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    m_rebuilder->rebuildNow();
}

QString HarvestsView::weightText(const YieldRow& row)
{
    QString text = OVFormat::fixed(row.pounds, 2) + QStringLiteral(" lb");
    if (row.count > 0)
        text += QStringLiteral(" · ") + OVFormat::num(row.count, 1) + QStringLiteral(" counted");
    return text;
}

QList<HarvestRow*> HarvestsView::rows() const
{
    return m_rows ? m_rows->findChildren<HarvestRow*>(QString(), Qt::FindDirectChildrenOnly) : QList<HarvestRow*>();
}

void HarvestsView::rebuild()
{
    const OVColors colors;
    // Only what is shown is read: the newest harvests of the list, and this year's
    // for the totals (days are stored as "yyyy-mm-dd", so text order is day order).
    // Fifteen years of pickings stay in the store.
    const qint64 year = OVDay::today().year;
    const OVStore::ReadWatch reads(m_store);
    const QList<Harvest> harvests = reads.read([&] { return m_store.newestHarvests(listLimit); });
    const QList<Harvest> thisYear =
        reads.read([&] { return m_store.harvestsBetween(OVDay(year, 1, 1), OVDay(year, 12, 31)); });

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(16));

    auto* yearCard = new OVCard(QStringLiteral("This year so far (") + QString::number(year) + u')',
                                QStringLiteral("chart.bar.fill"));
    const QList<YieldRow> yields = Reports::yield(thisYear, OVDay(year, 1, 1), OVDay(year, 12, 31));
    if (reads.failed()) {
        yearCard->body()->addWidget(new OVReadFailure(reads.reason()));
    } else if (yields.isEmpty()) {
        yearCard->body()->addWidget(
            new OVLabel(QStringLiteral("No harvests logged this year yet."), 12.5, QFont::Normal, colors.dim()));
    } else {
        auto* grid = new QWidget;
        auto* cells = new AdaptiveGridLayout(KitMetrics::px(170), KitMetrics::px(10), grid);
        cells->setContentsMargins(0, 0, 0, 0);
        for (const YieldRow& row : yields) {
            auto* cell = new OVRowBox(false);
            cell->body()->setSpacing(KitMetrics::px(2));
            // A column near its minimum width cannot hold a long weight line ("5335.20 lb
            // · 1691.4 counted"): the lines wrap and the cell grows, and a cell beside a
            // taller one keeps its lines together at the top.
            const QList<OVLabel*> lines{
                new OVLabel(row.crop, 13, QFont::Bold), new OVLabel(weightText(row), 12),
                new OVLabel(QString::number(row.harvests) + QStringLiteral(" harvest(s)"), 11, QFont::Normal,
                            colors.dim())};
            for (OVLabel* line : lines) {
                line->setWrapping(true);
                cell->body()->addWidget(line);
            }
            cell->body()->addStretch(1);
            cells->addWidget(cell);
        }
        yearCard->body()->addWidget(grid);
    }
    stack->addWidget(yearCard);

    auto* listCard = new OVCard(QStringLiteral("All harvests"), QStringLiteral("basket.fill"));
    if (harvests.isEmpty() && reads.failed())
        listCard->body()->addWidget(new OVReadFailure(reads.reason()));
    else if (harvests.isEmpty())
        listCard->body()->addWidget(
            new OVEmpty(QStringLiteral("basket"), QStringLiteral("No harvests yet"),
                        QStringLiteral("Log each picking: choose the plant, enter the weight (lb, oz, kg or g) or a "
                                       "count.")));
    auto* rows = new QWidget;
    auto* rowStack = new QVBoxLayout(rows);
    rowStack->setContentsMargins(0, 0, 0, 0);
    rowStack->setSpacing(KitMetrics::px(10));
    QHash<qint64, QString> varieties;
    const qsizetype shown = std::min<qsizetype>(harvests.size(), listLimit);
    for (qsizetype i = 0; i < shown; ++i) {
        const Harvest& harvest = harvests.at(i);
        QString variety;
        if (harvest.plantID) {
            auto found = varieties.constFind(*harvest.plantID);
            if (found == varieties.constEnd()) {
                const std::optional<Plant> plant = m_store.get<Plant>(harvest.plantID);
                found = varieties.insert(*harvest.plantID, plant ? plant->variety : QString());
            }
            variety = *found;
        }
        auto* row = new HarvestRow(harvest, variety, colors, rows);
        connect(row, &QAbstractButton::clicked, this, [this, harvest] { m_model.setSheet(EditSheet(harvest)); });
        rowStack->addWidget(row);
    }
    if (shown > 0)
        listCard->body()->addWidget(rows);
    else
        delete rows;
    stack->addWidget(listCard);

    DeferredSwap::replace(m_page->content(), m_content, content, 0);
    m_yearCard = yearCard;
    m_listCard = listCard;
    m_rows = shown > 0 ? rows : nullptr;
}
