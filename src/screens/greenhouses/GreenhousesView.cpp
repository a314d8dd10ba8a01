#include "screens/greenhouses/GreenhousesView.h"

#include "kit/DeferredSwap.h"
#include "kit/HeaderActions.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVEmpty.h"
#include "kit/OVReadFailure.h"
#include "kit/OVPage.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "screens/greenhouses/GreenhouseCard.h"
#include "services/TableExport.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QVBoxLayout>

GreenhousesView::GreenhousesView(QWidget* parent) : GreenhousesView(*OVStore::shared(), AppModel::shared(), parent) {}

GreenhousesView::GreenhousesView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(Screen::greenhouses,
                        QStringLiteral("Every greenhouse you run, its zones (areas with their own climate) and the beds and "
                                       "benches inside."));
    col->addWidget(m_page);

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 0, QStringLiteral("Add Greenhouse"));
    m_export = header.exportButton;
    m_add = header.addButton;
    connect(m_add, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(Greenhouse())); });

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    // Data changes only: a sheet, question or notice opening or closing changes nothing shown here.
    connect(&m_model, &AppModel::climateZoneChanged, m_rebuilder, &OVRebuilder::schedule);
    m_rebuilder->rebuildNow();
}

QList<GreenhouseCard*> GreenhousesView::cards() const
{
    return m_list ? m_list->findChildren<GreenhouseCard*>(QString(), Qt::FindDirectChildrenOnly)
                  : QList<GreenhouseCard*>();
}

void GreenhousesView::rebuild()
{
    auto* list = new QWidget;
    auto* stack = new QVBoxLayout(list);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(16));

    const OVStore::ReadWatch reads(m_store);
    const QList<Greenhouse> houses = m_store.greenhouses();
    if (houses.isEmpty() && !reads.failed()) {
        auto* card = new OVCard;
        card->body()->addWidget(new OVEmpty(
            QStringLiteral("house.lodge"), QStringLiteral("No greenhouses yet"),
            QStringLiteral("Add your greenhouse, hoop house or high tunnel. Then add zones — for example Propagation, "
                           "Main House, Cold Frame.")));
        card->setObjectName(QStringLiteral("emptyCard"));
        stack->addWidget(card);
    }
    for (const Greenhouse& house : houses)
        stack->addWidget(new GreenhouseCard(house, m_store, m_model));
    // A card whose zones could not be read would say "No zones yet": the screen says
    // what happened instead of showing any card.
    if (reads.failed()) {
        for (GreenhouseCard* card : list->findChildren<GreenhouseCard*>(QString(), Qt::FindDirectChildrenOnly))
            delete card;
        auto* card = new OVCard;
        card->body()->addWidget(new OVReadFailure(reads.reason()));
        stack->addWidget(card);
    }

    DeferredSwap::replace(m_page->content(), m_list, list);
}

void GreenhousesView::exportCSV()
{
    TableExport::start(m_store, 0);
}
