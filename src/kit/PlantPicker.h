#pragma once
// A pop-up menu of the plants: "—" first, then every plant by display name, with
// " (Status)" after plants that are not active. Rows follow the store's revision.
// The bound id is never rewritten by the picker. `picked` fires on the user's choice.

#include <QComboBox>
#include <optional>

class OVStore;

class PlantPicker : public QComboBox {
    Q_OBJECT
public:
    explicit PlantPicker(OVStore& store, QWidget* parent = nullptr);

    std::optional<qint64> plantID() const { return m_plantID; }
    void setPlantID(std::optional<qint64> plantID);

signals:
    void picked();

private:
    void refill();

    OVStore& m_store;
    std::optional<qint64> m_plantID;
};
