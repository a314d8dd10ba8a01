#pragma once
// The sheet that creates a zone or changes one: name, greenhouse, notes and a low
// and a high alert value for each of the eight climate metrics, typed and shown in
// the display unit (°C or °F for the temperatures).
//
// Invariants:
// - The limit boxes hold text while the sheet is open; it becomes numbers only on
//   save, metric by metric in Metric::allCases() order, low before high, and the
//   first box that is not a number stops the save with nothing written.
// - A box whose text is still exactly what the sheet opened with keeps the stored
//   value bit for bit: the one-decimal text it shows (and a °C conversion) is never
//   written back in place of the stored value.
// - Both boxes of a metric empty remove its range; the saved limits are exactly what
//   the boxes say (old ranges are not merged in).
// - A refused save keeps everything typed and shows the reason; a successful one
//   closes the sheet. Cancel closes it without asking. Zones are deleted from the
//   Greenhouses screen, not here.

#include "records/Metric.h"
#include "records/Zone.h"

#include "kit/OVRecordEditor.h"

#include <map>
#include <optional>

class OVTextArea;
class OVTextField;
class QComboBox;

class ZoneEditor : public OVRecordEditor {
    Q_OBJECT
public:
    ZoneEditor(const Zone& item, OVStore& store, QWidget* parent = nullptr);

    // The text a limit box shows for a stored value: converted to the display unit,
    // whole numbers without a decimal point, anything else with one decimal.
    static QString show(Metric metric, double value);

    // Reads the boxes, saves into the store; closes the sheet on success.
    void save() override;

    // The working copy with the name, greenhouse and notes as they stand now (the
    // limits are those last saved or opened with).
    Zone item() const;
    OVTextField* nameBox() const { return m_name; }
    QComboBox* greenhousePicker() const { return m_greenhouse; }
    OVTextArea* notesBox() const { return m_notes; }
    OVTextField* lowBox(Metric metric) const { return m_low.at(metric).box; }
    OVTextField* highBox(Metric metric) const { return m_high.at(metric).box; }

private:
    // One limit box, with the text it opened with and the stored value behind it.
    struct LimitBox {
        OVTextField* box = nullptr;
        KeptNumber opened;
    };

    void fillGreenhouses();
    // Reads one box into `value`; false (and the error shown) when it is not a number.
    bool read(Metric metric, const LimitBox& limit, std::optional<double>& value);

    Zone m_item;
    OVTextField* m_name = nullptr;
    QComboBox* m_greenhouse = nullptr;
    OVTextArea* m_notes = nullptr;
    std::map<Metric, LimitBox> m_low;
    std::map<Metric, LimitBox> m_high;
};
