#include "screens/today/ClimateNowGrid.h"

#include "kit/AdaptiveGridLayout.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "screens/today/ClimateNowTile.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QVBoxLayout>

ClimateNowGrid::ClimateNowGrid(QWidget* parent) : ClimateNowGrid(*OVStore::shared(), AppModel::shared(), parent) {}

ClimateNowGrid::ClimateNowGrid(OVStore& store, AppModel& model, QWidget* parent) : QWidget(parent), m_model(model)
{
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    const QList<Zone> zones = store.zones(std::nullopt);
    if (zones.isEmpty()) {
        auto* hint = new OVLabel(emptyText(), 12.5, QFont::Normal, OVColors().dim());
        hint->setWrapping(true);
        hint->setObjectName(QStringLiteral("emptyText"));
        stack->addWidget(hint);
        m_hint = true;
        return;
    }

    auto* holder = new QWidget;
    auto* grid = new AdaptiveGridLayout(KitMetrics::px(190), KitMetrics::px(10), holder);
    grid->setContentsMargins(0, 0, 0, 0);
    for (const Zone& zone : zones) {
        auto* tile = new ClimateNowTile(zone, store.zoneName(zone.id), store.latestReading(zone.id));
        const qint64 id = zone.id;
        connect(tile, &ClimateNowTile::clicked, this, [this, id] { open(id); });
        grid->addWidget(tile);
        m_tiles.append(tile);
    }
    stack->addWidget(holder);
}

QString ClimateNowGrid::emptyText()
{
    return QStringLiteral("Add a zone to a greenhouse to start logging its climate.");
}

void ClimateNowGrid::open(qint64 zoneID)
{
    m_model.setClimateZoneID(zoneID);
    m_model.setScreen(Screen::climate);
}
