#pragma once
// The sheet in which one picking is logged or corrected: the plant it came from,
// the crop, the day, how much in which unit, its quality and notes.
//
// Invariants:
// - The amount is kept as typed text and read only on Save; an amount box whose
//   text is still what the sheet opened with keeps the stored quantity exactly
//   (0.125 stays 0.125 although the box shows "0.13").
// - Choosing a plant that exists puts its crop into the crop box; opening a stored
//   harvest never touches its crop, choosing "—" leaves the crop as it is, and
//   choosing the plant already chosen changes nothing.
// - The store is touched only by Save and the confirmed delete; a refused save keeps
//   everything typed; Delete closes the sheet before it asks.

#include "records/Harvest.h"

#include "kit/OVRecordEditor.h"

class OVDayPicker;
class OVTextArea;
class OVTextField;
class PlantPicker;
class QComboBox;
class QNChromeButton;

class HarvestEditor : public OVRecordEditor {
    Q_OBJECT
public:
    HarvestEditor(const Harvest& item, OVStore& store, QWidget* parent = nullptr);

    void save() override;
    void askDelete() override;

    // The working copy as the form holds it (the quantity as last opened or saved).
    Harvest item() const;
    OVDayPicker* datePicker() const { return m_date; }
    PlantPicker* plantPicker() const { return m_plant; }
    OVTextField* cropBox() const { return m_crop; }
    OVTextField* amountBox() const { return m_qty; }
    QComboBox* unitPicker() const { return m_unit; }
    OVTextField* qualityBox() const { return m_quality; }
    OVTextArea* notesBox() const { return m_notes; }
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    void fill(const Harvest& harvest);
    void plantPicked();

    Harvest m_item;
    KeptNumber m_openedQty;
    // The plant last chosen: picking it again changes nothing.
    std::optional<qint64> m_pickedPlant;
    OVDayPicker* m_date = nullptr;
    PlantPicker* m_plant = nullptr;
    OVTextField* m_crop = nullptr;
    OVTextField* m_qty = nullptr;
    QComboBox* m_unit = nullptr;
    OVTextField* m_quality = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
