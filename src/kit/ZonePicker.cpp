#include "kit/ZonePicker.h"

#include "kit/KitMetrics.h"
#include "store/OVStore.h"

ZonePicker::ZonePicker(OVStore& store, bool allowNone, QWidget* parent)
    : QComboBox(parent), m_store(store), m_allowNone(allowNone)
{
    setFont(KitMetrics::font(13));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    refill();
    connect(&m_store, &OVStore::revisionChanged, this, &ZonePicker::refill);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QVariant tag = itemData(index);
        m_zoneID = tag.isValid() ? std::optional<qint64>(tag.toLongLong()) : std::nullopt;
        emit picked();
    });
}

void ZonePicker::setZoneID(std::optional<qint64> zoneID)
{
    m_zoneID = zoneID;
    refill();
}

void ZonePicker::refill()
{
    const QSignalBlocker blocker(this);
    clear();
    if (m_allowNone)
        addItem(QStringLiteral("—"), QVariant());
    for (const Greenhouse& house : m_store.greenhouses())
        for (const Zone& zone : m_store.zones(house.id))
            addItem(house.name + QStringLiteral(" · ") + zone.name, QVariant::fromValue<qint64>(zone.id));
    int chosen = -1;
    for (int i = 0; i < count(); ++i) {
        const QVariant tag = itemData(i);
        if ((!tag.isValid() && !m_zoneID) || (tag.isValid() && m_zoneID && tag.toLongLong() == *m_zoneID))
            chosen = i;
    }
    setCurrentIndex(chosen);
}
