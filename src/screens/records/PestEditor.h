#pragma once
// The sheet in which one pest, disease or disorder record is logged or changed:
// when and what was seen, on which plant and in which zone, how bad, what was done,
// when and with what result, whether it is resolved, and notes.
//
// Invariants:
// - The form is the working copy; the store is touched only by Save and by the
//   confirmed delete.
// - A refused save keeps everything typed (with what the store's checks tidied) and
//   shows the reason; a successful one closes the sheet. Cancel closes it unasked.
// - Delete closes the sheet first (unsaved edits are dropped), then asks; only the
//   confirmed answer deletes.
// - The severity stepper never clamps a stored value outside 1 to 5 (it widens).

#include "records/PestRecord.h"

#include "kit/OVRecordEditor.h"

class OVDayPicker;
class OVOptionalDayPicker;
class OVStepper;
class OVTextArea;
class OVTextField;
class PlantPicker;
class QCheckBox;
class QComboBox;
class QNChromeButton;
class ZonePicker;

class PestEditor : public OVRecordEditor {
    Q_OBJECT
public:
    PestEditor(const PestRecord& item, OVStore& store, QWidget* parent = nullptr);

    // "N — word" for 1 to 5 ("4 — heavy"); the number alone outside that range.
    static QString severityText(int severity);

    void save() override;
    // Closes the sheet, then asks whether to delete the record.
    void askDelete() override;

    // The working copy as the form holds it now.
    PestRecord item() const;
    OVDayPicker* observedPicker() const { return m_observed; }
    QComboBox* kindPicker() const { return m_kind; }
    OVTextField* problemBox() const { return m_problem; }
    PlantPicker* plantPicker() const { return m_plant; }
    ZonePicker* zonePicker() const { return m_zone; }
    OVStepper* severityStepper() const { return m_severity; }
    OVTextField* treatmentBox() const { return m_treatment; }
    OVOptionalDayPicker* treatedPicker() const { return m_treated; }
    OVTextField* resultBox() const { return m_result; }
    QCheckBox* resolvedBox() const { return m_resolved; }
    OVTextArea* notesBox() const { return m_notes; }
    // Null for a new record.
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    void fill(const PestRecord& record);

    PestRecord m_item;
    OVDayPicker* m_observed = nullptr;
    QComboBox* m_kind = nullptr;
    OVTextField* m_problem = nullptr;
    PlantPicker* m_plant = nullptr;
    ZonePicker* m_zone = nullptr;
    OVStepper* m_severity = nullptr;
    OVTextField* m_treatment = nullptr;
    OVOptionalDayPicker* m_treated = nullptr;
    OVTextField* m_result = nullptr;
    QCheckBox* m_resolved = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
