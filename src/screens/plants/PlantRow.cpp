#include "screens/plants/PlantRow.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVTag.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

const QString deleteDetail =
    QStringLiteral("Its photos are deleted too. Harvests and costs stay (they keep the crop name).");

PlantRow::Facts readFacts(OVStore& store, const Plant& plant)
{
    return {store.locationText(plant), store.photoCount(plant.id)};
}

} // namespace

PlantRow::PlantRow(const Plant& plant, OVStore& store, AppModel& model, QWidget* parent)
    : PlantRow(plant, readFacts(store, plant), store, model, OVDay::today(), parent)
{
}

PlantRow::PlantRow(const Plant& plant, const Facts& facts, OVStore& store, AppModel& model, const OVDay& today,
                   QWidget* parent)
    : OVRowBox(overdue(plant, today), parent), m_plant(plant), m_facts(facts), m_today(today), m_store(&store),
      m_model(&model)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    build();
}

bool PlantRow::overdue(const Plant& plant, const OVDay& today)
{
    return plant.status.active() && plant.expectedHarvest && *plant.expectedHarvest < today;
}

Harvest PlantRow::newHarvest(const Plant& plant, const OVDay& today)
{
    Harvest harvest{.plantID = plant.id, .crop = plant.crop, .date = today};
    harvest.quantity = 0;
    harvest.unit = HarvestUnit::lb;
    return harvest;
}

PestRecord PlantRow::newPest(const Plant& plant, const OVDay& today)
{
    PestRecord pest{.observed = today, .plantID = plant.id, .zoneID = plant.zoneID};
    pest.kind = ProblemKind::pest;
    pest.severity = 2;
    return pest;
}

void PlantRow::build()
{
    const OVColors colors;
    const bool failed = m_plant.status == PlantStatus::failed;
    const QColor leaf = failed ? OVColors::alert() : OVColors::leaf();
    const QColor tag = failed                   ? OVColors::alert()
                       : m_plant.status.active() ? colors.accent()
                                                 : QColor(142, 142, 147); // the standard gray

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(12));
    body()->addLayout(row);

    auto* icon = KitIcons::label(QStringLiteral("leaf.fill"), leaf, 16);
    icon->setFixedWidth(KitMetrics::px(18));
    icon->setAlignment(Qt::AlignCenter);
    row->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(KitMetrics::px(2));
    auto* title = new QHBoxLayout;
    title->setSpacing(KitMetrics::px(6));
    auto* name = new OVLabel(m_plant.displayName(), 14, QFont::Bold);
    name->setObjectName(QStringLiteral("plantName"));
    title->addWidget(name);
    title->addWidget(new OVTag(m_plant.status.name(), tag), 0, Qt::AlignVCenter);
    if (m_plant.quantity >= 2) {
        auto* count = new OVLabel(QStringLiteral("× %1").arg(m_plant.quantity), 12, QFont::Normal, colors.dim());
        count->setObjectName(QStringLiteral("plantCount"));
        title->addWidget(count);
    }
    title->addStretch(1);
    texts->addLayout(title);
    auto* place = new OVLabel(m_facts.place.isEmpty() ? QStringLiteral("No location set") : m_facts.place, 12,
                              QFont::Normal, colors.dim());
    place->setObjectName(QStringLiteral("plantPlace"));
    texts->addWidget(place);
    row->addLayout(texts, 1);

    auto* days = new QVBoxLayout;
    days->setSpacing(KitMetrics::px(2));
    auto addDay = [&](const QString& lead, const std::optional<OVDay>& day, int weight, const QColor& color) {
        if (!day)
            return;
        auto* label = new OVLabel(lead + day->display(), 11.5, weight, color);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        days->addWidget(label, 0, Qt::AlignRight);
    };
    addDay(QStringLiteral("Sown "), m_plant.sowDate, QFont::Normal, colors.dim());
    addDay(QStringLiteral("Transplanted "), m_plant.transplantDate, QFont::Normal, colors.dim());
    addDay(QStringLiteral("Harvest "), m_plant.expectedHarvest, QFont::DemiBold, QColor());
    row->addLayout(days);

    if (m_facts.photoCount > 0) {
        auto* photos = new QHBoxLayout;
        photos->setSpacing(KitMetrics::px(4));
        photos->addWidget(KitIcons::label(QStringLiteral("photo"), colors.dim(), 11.5));
        auto* count = new OVLabel(QString::number(m_facts.photoCount), 11.5, QFont::Normal, colors.dim());
        count->setObjectName(QStringLiteral("photoCount"));
        photos->addWidget(count);
        row->addLayout(photos);
    }
}

void PlantRow::edit() { m_model->setSheet(EditSheet(m_plant)); }

void PlantRow::logHarvest() { m_model->setSheet(EditSheet(newHarvest(m_plant))); }

void PlantRow::logPest() { m_model->setSheet(EditSheet(newPest(m_plant))); }

void PlantRow::askDelete()
{
    AppModel* model = m_model;
    OVStore* store = m_store;
    const qint64 id = m_plant.id;
    model->askDelete(QStringLiteral("“") + m_plant.displayName() + QStringLiteral("”"), deleteDetail,
                     [model, store, id] { model->act([store, id] { store->remove<Plant>(id); }); });
}

QMenu* PlantRow::makeMenu()
{
    // Each action works on copies, so it still runs correctly when the list has
    // replaced this row by the time the user picks it.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    AppModel* model = m_model;
    OVStore* store = m_store;
    const Plant plant = m_plant;
    connect(menu->addAction(QStringLiteral("Edit…")), &QAction::triggered, model,
            [model, plant] { model->setSheet(EditSheet(plant)); });
    connect(menu->addAction(QStringLiteral("Log a Harvest…")), &QAction::triggered, model,
            [model, plant] { model->setSheet(EditSheet(newHarvest(plant))); });
    connect(menu->addAction(QStringLiteral("Log a Pest or Disease…")), &QAction::triggered, model,
            [model, plant] { model->setSheet(EditSheet(newPest(plant))); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Delete…")), &QAction::triggered, model, [model, store, plant] {
        const qint64 id = plant.id;
        model->askDelete(QStringLiteral("“") + plant.displayName() + QStringLiteral("”"), deleteDetail,
                         [model, store, id] { model->act([store, id] { store->remove<Plant>(id); }); });
    });
    return menu;
}

void PlantRow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        edit();
        event->accept();
        return;
    }
    OVRowBox::mouseReleaseEvent(event);
}

void PlantRow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        edit();
        return;
    }
    OVRowBox::keyPressEvent(event);
}

void PlantRow::contextMenuEvent(QContextMenuEvent* event)
{
    makeMenu()->popup(event->globalPos());
    event->accept();
}
