#pragma once
// The seed packet editor sheet: crop, variety, supplier, lot, packed-for year, amount
// left and unit, notes, and the delete button of a stored packet.
//
// It edits a private copy and keeps the amount and the year as typed texts, read
// only on Save. An amount text the user did not touch keeps the stored amount exactly
// (0.125 is not rewritten as the 0.13 it shows). Nothing is stored before Save.

#include "records/Seed.h"

#include <QString>
#include <QWidget>
#include <optional>

class OVEditorFrame;
class OVTextArea;
class OVTextField;
class QNChromeButton;

class SeedEditor : public QWidget {
    Q_OBJECT
public:
    explicit SeedEditor(const Seed& item, QWidget* parent = nullptr);

    const Seed& item() const { return m_item; }
    std::optional<QString> error() const { return m_error; }

    // The frame's Save: reads the amount and year, stores the packet on
    // OVStore::shared() and closes the sheet, or shows why not.
    void save();
    void cancel();
    // "Delete This Seed Packet…": closes the sheet, then asks before deleting.
    void askDelete();

    // The name the delete question uses: seed packet “Lettuce Buttercrunch”.
    static QString deleteName(const Seed& seed);

    // For tests: the controls.
    OVEditorFrame* frame() const { return m_frame; }
    OVTextField* cropField() const { return m_crop; }
    OVTextField* yearField() const { return m_year; }
    OVTextField* amountField() const { return m_qty; }
    OVTextArea* notesField() const { return m_notes; }
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    void setError(const std::optional<QString>& error);

    Seed m_item;
    std::optional<QString> m_error;
    QString m_openedQty; // the amount text as the sheet filled it in

    OVEditorFrame* m_frame = nullptr;
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
