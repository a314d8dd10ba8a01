#pragma once
// The sheet in which one picking is logged or corrected: the plant it came from,
// the crop, the day, how much in which unit, its quality and notes.
//
// Invariants:
// - The amount is kept as typed text and read only on Save; an amount box whose
//   text is still what the sheet opened with keeps the stored quantity exactly
//   (0.125 stays 0.125 although the box shows "0.13").
// - The crop box follows the plant picker (cropFollowsPlant); opening a stored
//   record never touches its crop. Save and Delete behave as OVRecordEditor says.

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

    Harvest m_item;
    KeptNumber m_openedQty;
    OVDayPicker* m_date = nullptr;
    PlantPicker* m_plant = nullptr;
    OVTextField* m_crop = nullptr;
    OVTextField* m_qty = nullptr;
    QComboBox* m_unit = nullptr;
    OVTextField* m_quality = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
