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
#include <QWidget>
#include <optional>

class OVDayPicker;
class OVEditorFrame;
class OVLabel;
class OVStepper;
class OVTextArea;
class OVTextField;

class GermTestEditor : public QWidget {
    Q_OBJECT
public:
    explicit GermTestEditor(const GermTest& item, QWidget* parent = nullptr);

    const GermTest& item() const { return m_item; }
    std::optional<QString> error() const { return m_error; }

    // The frame's Save: reads the days, stores the test on OVStore::shared() and
    // closes the sheet, or shows why not.
    void save();
    void cancel();

    // "Germination rate: 67%".
    static QString rateText(const GermTest& test);

    // For tests: the controls.
    OVEditorFrame* frame() const { return m_frame; }
    OVStepper* sownStepper() const { return m_sown; }
    OVStepper* sproutedStepper() const { return m_sprouted; }
    OVTextField* daysField() const { return m_days; }
    OVLabel* rateLine() const { return m_rate; }

private:
    void setError(const std::optional<QString>& error);

    GermTest m_item;
    std::optional<QString> m_error;

    OVEditorFrame* m_frame = nullptr;
    OVDayPicker* m_started = nullptr;
    OVStepper* m_sown = nullptr;
    OVStepper* m_sprouted = nullptr;
    OVTextField* m_days = nullptr;
    OVLabel* m_rate = nullptr;
    OVTextArea* m_notes = nullptr;
};
