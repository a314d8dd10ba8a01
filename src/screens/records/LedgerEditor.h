#pragma once
// The sheet in which one cost (a purchase or a running cost) is recorded or
// changed: day, category, item, quantity and unit, total cost, vendor, and the plant
// and crop it belongs to. It is the only place where a cost is deleted.
//
// Invariants:
// - Quantity and cost are kept as typed text and read only on Save: every "$" is
//   removed from the cost first; a blank quantity means 1. A box whose text is still
//   what the sheet opened with keeps the stored number exactly (a cost of 12.345 or
//   a quantity of 0.125 survives a save that changes only the notes).
// - The crop box follows the plant picker (cropFollowsPlant); opening a stored
//   record never touches its crop. Save and Delete behave as OVRecordEditor says.

#include "records/LedgerEntry.h"

#include "kit/OVRecordEditor.h"

class OVDayPicker;
class OVTextArea;
class OVTextField;
class PlantPicker;
class QComboBox;
class QNChromeButton;

class LedgerEditor : public OVRecordEditor {
    Q_OBJECT
public:
    LedgerEditor(const LedgerEntry& item, OVStore& store, QWidget* parent = nullptr);

    void save() override;
    void askDelete() override;

    // The working copy as the form holds it (quantity and cost as last opened or saved).
    LedgerEntry item() const;
    OVDayPicker* datePicker() const { return m_date; }
    QComboBox* categoryPicker() const { return m_category; }
    OVTextField* itemBox() const { return m_itemBox; }
    OVTextField* quantityBox() const { return m_qty; }
    OVTextField* unitBox() const { return m_unit; }
    OVTextField* costBox() const { return m_cost; }
    OVTextField* vendorBox() const { return m_vendor; }
    PlantPicker* plantPicker() const { return m_plant; }
    OVTextField* cropBox() const { return m_crop; }
    OVTextArea* notesBox() const { return m_notes; }
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    void fill(const LedgerEntry& entry);

    LedgerEntry m_item;
    // The texts the number boxes opened with, and the stored numbers behind them.
    KeptNumber m_openedQty;
    KeptNumber m_openedCost;
    OVDayPicker* m_date = nullptr;
    QComboBox* m_category = nullptr;
    OVTextField* m_itemBox = nullptr;
    OVTextField* m_qty = nullptr;
    OVTextField* m_unit = nullptr;
    OVTextField* m_cost = nullptr;
    OVTextField* m_vendor = nullptr;
    PlantPicker* m_plant = nullptr;
    OVTextField* m_crop = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
