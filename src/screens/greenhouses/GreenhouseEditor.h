#pragma once
// The sheet that creates a greenhouse or changes one. It edits its own copy and
// touches the store only when the user saves; the store's validation trims the name
// and refuses an empty one. A refused save keeps everything typed (the name shown
// trimmed, as the store left it) and shows the reason; a successful one closes the
// sheet. Cancel closes it without asking. Greenhouses are deleted from the screen,
// not here.

#include "records/Greenhouse.h"

#include "kit/OVRecordEditor.h"

class OVTextArea;
class OVTextField;

class GreenhouseEditor : public OVRecordEditor {
    Q_OBJECT
public:
    GreenhouseEditor(const Greenhouse& item, OVStore& store, QWidget* parent = nullptr);

    // Saves into the store; closes the sheet on success.
    void save() override;

    // The working copy with what is typed now.
    Greenhouse item() const;
    OVTextField* nameBox() const { return m_name; }
    OVTextField* locationBox() const { return m_location; }
    OVTextField* sizeBox() const { return m_size; }
    OVTextField* glazingBox() const { return m_glazing; }
    OVTextArea* notesBox() const { return m_notes; }

private:
    Greenhouse m_item;
    OVTextField* m_name = nullptr;
    OVTextField* m_location = nullptr;
    OVTextField* m_size = nullptr;
    OVTextField* m_glazing = nullptr;
    OVTextArea* m_notes = nullptr;
};
