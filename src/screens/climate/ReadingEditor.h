#pragma once
// The sheet in which the grower types one climate reading by hand, corrects a stored
// one or deletes it. It edits a copy: the zone, time and note are kept in the copy as
// they change, the eight values as the texts typed, parsed and converted to stored
// units only when saving.
//
// Invariants: the store is touched only by Save (and by the confirmed delete, after
// the sheet has closed). A new reading goes through the bulk import with a list of
// one, so the same-minute duplicate rule applies to it; a stored reading is updated in
// place. A value box whose text is still the one it was filled with keeps the stored
// value exactly (no rounding through the shown text). A failed save leaves every
// field as typed and the sheet open.

#include "records/Metric.h"
#include "records/Reading.h"

#include "kit/OVRecordEditor.h"

#include <map>

class OVTextField;
class QDateTimeEdit;
class QNChromeButton;
class ZonePicker;

class ReadingEditor : public OVRecordEditor {
    Q_OBJECT
public:
    ReadingEditor(const Reading& item, OVStore& store, QWidget* parent = nullptr);

    static const QString duplicateText;
    // The text a value box is filled with: whole display values without decimals,
    // others with two ("65", "-3", "22.22", "1.40").
    static QString fieldText(Metric metric, double stored);

    // Checks, stores, raises alerts and closes the sheet; on failure shows why.
    void save() override;

    const Reading& item() const { return m_item; }
    OVTextField* field(Metric metric) const { return m_fields.at(metric); }
    ZonePicker* zonePicker() const { return m_zone; }
    QDateTimeEdit* whenEdit() const { return m_when; }
    OVTextField* noteField() const { return m_note; }
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    void askDelete() override;

    Reading m_item;
    // The texts the boxes were filled with, and the stored values they stand for.
    std::map<Metric, KeptNumber> m_filled;

    ZonePicker* m_zone = nullptr;
    QDateTimeEdit* m_when = nullptr;
    std::map<Metric, OVTextField*> m_fields;
    OVTextField* m_note = nullptr;
    QNChromeButton* m_delete = nullptr;
};
