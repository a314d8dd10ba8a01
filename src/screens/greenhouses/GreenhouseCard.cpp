#include "screens/greenhouses/GreenhouseCard.h"

#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVReadFailure.h"
#include "kit/QNChromeButton.h"
#include "screens/greenhouses/ZoneRow.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QStringList>
#include <QVBoxLayout>

GreenhouseCard::GreenhouseCard(const Greenhouse& house, OVStore& store, AppModel& model, QWidget* parent)
    : OVCard(QString(), QString(), 16, parent), m_house(house), m_store(store), m_model(model)
{
    const OVColors colors;
    body()->setSpacing(KitMetrics::px(10));

    auto* header = new QHBoxLayout;
    header->setSpacing(KitMetrics::px(8));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(KitMetrics::px(3));
    auto* name = new OVLabel(house.name, 19, QFont::ExtraBold);
    name->setObjectName(QStringLiteral("greenhouseName"));
    texts->addWidget(name);
    auto* details = new OVLabel(detailsLine(house), 12.5, QFont::Normal, colors.dim());
    details->setObjectName(QStringLiteral("greenhouseDetails"));
    texts->addWidget(details);
    if (!house.notes.isEmpty()) {
        auto* notes = new OVLabel(house.notes, 12, QFont::Normal, colors.dim());
        notes->setObjectName(QStringLiteral("greenhouseNotes"));
        notes->setWrapping(true);
        texts->addWidget(notes);
    }
    // The texts take the width the buttons leave, so long notes wrap instead of
    // pushing the buttons off the card.
    header->addLayout(texts, 1);
    m_edit = new QNChromeButton(QStringLiteral("Edit"), false, true);
    m_delete = new QNChromeButton(QStringLiteral("Delete"), false, true);
    m_addZone = new OVAddButton(QStringLiteral("Add Zone"));
    header->addWidget(m_edit, 0, Qt::AlignTop);
    header->addWidget(m_delete, 0, Qt::AlignTop);
    header->addWidget(m_addZone, 0, Qt::AlignTop);
    body()->addLayout(header);

    const QList<Zone> zones = store.zones(house.id);
    if (zones.isEmpty()) {
        auto* none = new OVLabel(
            QStringLiteral("No zones yet. A zone is any area you want to track separately (it gets its own alert ranges)."),
            12.5, QFont::Normal, colors.dim());
        none->setObjectName(QStringLiteral("noZones"));
        none->setWrapping(true);
        body()->addWidget(none);
    }
    for (const Zone& zone : zones)
        body()->addWidget(new ZoneRow(zone, store, model));

    connect(m_edit, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(m_house)); });
    connect(m_addZone, &QPushButton::clicked, this, [this] {
        m_model.setSheet(EditSheet(Zone{.greenhouseID = m_house.id}));
    });
    connect(m_delete, &QPushButton::clicked, this, &GreenhouseCard::askDelete);
}

QString GreenhouseCard::detailsLine(const Greenhouse& house)
{
    QStringList parts;
    for (const QString& part : {house.location, house.size, house.glazing})
        if (!part.isEmpty())
            parts << part;
    return parts.join(QStringLiteral(" · "));
}

QList<ZoneRow*> GreenhouseCard::zoneRows() const
{
    return findChildren<ZoneRow*>(QString(), Qt::FindDirectChildrenOnly);
}

void GreenhouseCard::askDelete()
{
    // Counted now, when the user asks, and not refreshed while the question is up. A
    // count that fails is not guessed: the question is not asked at all.
    const OVStore::ReadWatch reads(m_store);
    const qint64 zones = m_store.zones(m_house.id).size();
    const qint64 readings = reads.read([&] { return m_store.greenhouseReadingCount(m_house.id); });
    if (reads.failed()) {
        m_model.setMessage(OVReadFailure::nothingDeleted(reads.reason()));
        return;
    }
    const QString name = QStringLiteral("“") + m_house.name + QStringLiteral("”");
    const QString detail = QStringLiteral("This also deletes its ") + QString::number(zones)
                           + QStringLiteral(" zone(s), their beds and benches, and ") + QString::number(readings)
                           + QStringLiteral(" climate reading(s). Plants stay but lose their location.");
    // The action outlives this card (a rebuild may replace it while the question is up).
    const QPointer<OVStore> store(&m_store);
    AppModel* model = &m_model;
    const qint64 houseID = m_house.id;
    m_model.askDelete(name, detail, [store, model, houseID] {
        model->act([&] {
            if (!store)
                throw OVError::database(QStringLiteral("closed"));
            store->remove<Greenhouse>(houseID);
        });
    });
}
