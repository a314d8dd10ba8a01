#pragma once
// A pop-up menu of the zones: "—" first (when none is allowed), then one row per zone,
// "Greenhouse · Zone", greenhouses and zones by name. Rows follow the store's revision.
// The bound id is never rewritten by the picker: an id that matches no row stays,
// with no row chosen, until the user picks one. `picked` fires on the user's choice.

#include <QComboBox>
#include <optional>

class OVStore;

class ZonePicker : public QComboBox {
    Q_OBJECT
public:
    explicit ZonePicker(OVStore& store, bool allowNone = true, QWidget* parent = nullptr);

    std::optional<qint64> zoneID() const { return m_zoneID; }
    void setZoneID(std::optional<qint64> zoneID);

signals:
    void picked();

private:
    void refill();

    OVStore& m_store;
    bool m_allowNone;
    std::optional<qint64> m_zoneID;
};
