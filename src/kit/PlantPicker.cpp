#include "kit/PlantPicker.h"

#include "kit/KitMetrics.h"
#include "store/OVStore.h"

PlantPicker::PlantPicker(OVStore& store, QWidget* parent) : QComboBox(parent), m_store(store)
{
    setFont(KitMetrics::font(13));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    refill();
    connect(&m_store, &OVStore::revisionChanged, this, &PlantPicker::refill);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QVariant tag = itemData(index);
        m_plantID = tag.isValid() ? std::optional<qint64>(tag.toLongLong()) : std::nullopt;
        emit picked();
    });
}

void PlantPicker::setPlantID(std::optional<qint64> plantID)
{
    m_plantID = plantID;
    refill();
}

void PlantPicker::refill()
{
    const QSignalBlocker blocker(this);
    clear();
    addItem(QStringLiteral("—"), QVariant());
    for (const Plant& plant : m_store.plants()) {
        QString text = plant.displayName();
        if (!plant.status.active())
            text += QStringLiteral(" (") + plant.status.name() + QStringLiteral(")");
        addItem(text, QVariant::fromValue<qint64>(plant.id));
    }
    int chosen = -1;
    for (int i = 0; i < count(); ++i) {
        const QVariant tag = itemData(i);
        if ((!tag.isValid() && !m_plantID) || (tag.isValid() && m_plantID && tag.toLongLong() == *m_plantID))
            chosen = i;
    }
    setCurrentIndex(chosen);
}
