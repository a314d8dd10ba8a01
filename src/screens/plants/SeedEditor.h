#pragma once
// The seed packet editor sheet: crop, variety, supplier, lot, packed-for year, amount
// left and unit, notes, and the delete button of a stored packet.
//
// It edits a private copy and keeps the amount and the year as typed texts, read
// only on Save. An amount text the user did not touch keeps the stored amount exactly
// (0.125 is not rewritten as the 0.13 it shows). Nothing is stored before Save.

#include "records/Seed.h"

#include <QString>
#include "kit/OVRecordEditor.h"
#include <optional>

class OVTextArea;
class OVTextField;
class QNChromeButton;

class SeedEditor : public OVRecordEditor {
    Q_OBJECT
public:
    SeedEditor(const Seed& item, OVStore& store, QWidget* parent = nullptr);

    const Seed& item() const { return m_item; }

    // The frame's Save: reads the amount and year, stores the packet and closes the
    // sheet, or shows why not.
    void save() override;
    // "Delete This Seed Packet…": closes the sheet, then asks before deleting.
    void askDelete() override;

    // The name the delete question uses: seed packet “Lettuce Buttercrunch”.
    static QString deleteName(const Seed& seed);

    // For tests: the controls.
    OVTextField* cropField() const { return m_crop; }
    OVTextField* yearField() const { return m_year; }
    OVTextField* amountField() const { return m_qty; }
    OVTextArea* notesField() const { return m_notes; }
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    Seed m_item;
    KeptNumber m_openedQty; // the amount text as the sheet filled it in

    OVTextField* m_crop = nullptr;
    OVTextField* m_variety = nullptr;
    OVTextField* m_supplier = nullptr;
    OVTextField* m_lot = nullptr;
    OVTextField* m_year = nullptr;
    OVTextField* m_qty = nullptr;
    OVTextField* m_unit = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
