#include "screens/records/PestsView.h"

#include "kit/DeferredSwap.h"
#include "kit/HeaderActions.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "screens/records/PestRow.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QCheckBox>
#include <QHash>
#include <QVBoxLayout>

PestsView::PestsView(QWidget* parent) : PestsView(*OVStore::shared(), AppModel::shared(), parent) {}

PestsView::PestsView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(Screen::pests,
                        QStringLiteral("What you saw, where, how bad, what you treated it with and whether it worked — "
                                       "so you can spot patterns next season."));
    col->addWidget(m_page);

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 5, QStringLiteral("Log a Problem"));
    m_export = header.exportButton;
    m_add = header.addButton;
    connect(m_add, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(PestRecord())); });

    m_showResolved = new QCheckBox(QStringLiteral("Show resolved problems"));
    m_showResolved->setFont(KitMetrics::font(13));
    m_showResolved->setChecked(true);
    m_page->content()->addWidget(m_showResolved, 0, Qt::AlignLeft);
    m_card = new OVCard;
    m_page->content()->addWidget(m_card);
    m_page->content()->addStretch(1);

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    connect(m_showResolved, &QCheckBox::toggled, m_rebuilder, &OVRebuilder::schedule);
    m_rebuilder->rebuildNow();
}

bool PestsView::showResolved() const
{
    return m_showResolved->isChecked();
}

void PestsView::setShowResolved(bool on)
{
    m_showResolved->setChecked(on);
}

QList<PestRow*> PestsView::rows() const
{
    return m_list ? m_list->findChildren<PestRow*>(QString(), Qt::FindDirectChildrenOnly) : QList<PestRow*>();
}

void PestsView::rebuild()
{
    const bool showResolved = m_showResolved->isChecked();
    const OVColors colors;
    auto* list = new QWidget;
    auto* stack = new QVBoxLayout(list);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(10));

    const OVStore::ReadWatch reads(m_store);
    // Plants and zones are few and named by many records: the plants are read in one
    // query, each zone's name once.
    QHash<qint64, QString> plantNames;
    for (const Plant& plant : m_store.plants())
        plantNames.insert(plant.id, plant.displayName());
    QHash<qint64, QString> zoneNames;
    auto plantName = [&](std::optional<qint64> id) { return id ? plantNames.value(*id) : QString(); };
    auto zoneName = [&](std::optional<qint64> id) -> QString {
        if (!id)
            return {};
        auto found = zoneNames.constFind(*id);
        if (found == zoneNames.constEnd())
            found = zoneNames.insert(*id, m_store.zoneName(id));
        return *found;
    };

    int shown = 0;
    for (const PestRecord& record : m_store.pests()) {
        if (!showResolved && record.resolved)
            continue;
        auto* row = new PestRow(record, plantName(record.plantID), zoneName(record.zoneID), colors, list);
        connect(row, &QAbstractButton::clicked, this, [this, record] { m_model.setSheet(EditSheet(record)); });
        stack->addWidget(row);
        ++shown;
    }
    if (shown == 0 && reads.failed())
        stack->addWidget(new OVReadFailure(reads.reason()));
    else if (shown == 0)
        stack->addWidget(new OVEmpty(QStringLiteral("ladybug"), QStringLiteral("No problems logged"),
                                     QStringLiteral("When you spot aphids, whiteflies, mildew, blossom-end rot or "
                                                    "anything else, log it here with what you did about it.")));

    DeferredSwap::replace(m_card->body(), m_list, list);
}
