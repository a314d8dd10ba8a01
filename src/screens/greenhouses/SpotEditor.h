#pragma once
// The sheet that creates, changes or deletes one bed or bench: its kind, name or
// number, zone, size and notes. Title, symbol and the delete button's label follow
// the kind picker as the user switches it. It edits its own copy and touches the
// store only on save (the store's validation trims the name and checks name, then
// zone). Delete closes the sheet first, dropping unsaved edits, and then asks; the
// confirmed delete runs on the shared store after this editor is gone, so it keeps
// nothing of the editor. Cancel closes the sheet without asking.

#include "records/Spot.h"

#include "kit/OVRecordEditor.h"

class OVStore;
class OVTextArea;
class OVTextField;
class QNChromeButton;
class SegmentedPicker;
class ZonePicker;

class SpotEditor : public OVRecordEditor {
    Q_OBJECT
public:
    SpotEditor(const Spot& item, OVStore& store, QWidget* parent = nullptr);

    // Saves into the given store; closes the sheet on success.
    void save() override;
    // Closes the sheet, then asks before deleting the stored spot.
    void deleteSpot();
    void askDelete() override { deleteSpot(); }

    // The working copy with what is chosen and typed now.
    Spot item() const;
    SegmentedPicker* kindPicker() const { return m_kind; }
    OVTextField* nameBox() const { return m_name; }
    ZonePicker* zonePicker() const { return m_zone; }
    OVTextField* sizeBox() const { return m_size; }
    OVTextArea* notesBox() const { return m_notes; }
    // Nothing for a new spot.
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    // Title, symbol and delete label for the chosen kind.
    void showKind();

    Spot m_item;
    SegmentedPicker* m_kind = nullptr;
    OVTextField* m_name = nullptr;
    ZonePicker* m_zone = nullptr;
    OVTextField* m_size = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
