#pragma once
// The germination test editor sheet: start day, seeds tested, seeds that sprouted,
// days to count and notes, with the germination rate shown live as the counts move.
//
// It edits a private copy and stores it only on Save; the days are kept as the typed
// text until then. The steppers keep each count in its own range only (a stored
// count outside it widens the range, never clamped); that sprouted may not exceed
// tested is the store's check on Save. There is no delete here.

#include "records/GermTest.h"

#include <QString>
#include "kit/OVRecordEditor.h"
#include <optional>

class OVDayPicker;
class OVLabel;
class OVStepper;
class OVTextArea;
class OVTextField;

class GermTestEditor : public OVRecordEditor {
    Q_OBJECT
public:
    GermTestEditor(const GermTest& item, OVStore& store, QWidget* parent = nullptr);

    const GermTest& item() const { return m_item; }

    // The frame's Save: reads the days, stores the test in the store and
    // closes the sheet, or shows why not.
    void save() override;

    // "Germination rate: 67%".
    static QString rateText(const GermTest& test);

    // For tests: the controls.
    OVStepper* sownStepper() const { return m_sown; }
    OVStepper* sproutedStepper() const { return m_sprouted; }
    OVTextField* daysField() const { return m_days; }
    OVLabel* rateLine() const { return m_rate; }

private:

    GermTest m_item;

    OVDayPicker* m_started = nullptr;
    OVStepper* m_sown = nullptr;
    OVStepper* m_sprouted = nullptr;
    OVTextField* m_days = nullptr;
    OVLabel* m_rate = nullptr;
    OVTextArea* m_notes = nullptr;
};
