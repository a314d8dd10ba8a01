#pragma once
// The editor sheet of one scheduled job: type (and category for maintenance),
// title, zone and single plant, amount or parts, the repeat rule (once, every N
// days, weekly on chosen weekdays, monthly on a day, monthly on the last day,
// yearly), start day and time of day, reminder and active switches, notes, and for
// a stored task "Delete This Task…". A preview line shows the rule in words and its
// next five due times while the rule is complete.
//
// State: `item` (the working copy) and the rule spread over simple controls
// (ruleKind, every, weekdays, monthDay, yearMonth, time). load() fills that state
// from the task when the editor is made; currentRule() and hm() turn it back into a
// rule and a time of day. Values a rule kind does not use are kept while the sheet
// is open, so switching kinds back and forth loses nothing.
//
// Invariants:
//  - The time of day is held as a QTime, never as "today at h:m", so a daylight-
//    saving day cannot move it (02:30 stays 02:30 on a spring-forward day).
//  - A stored value is never clamped by a control: an interval above the stepper's
//    365 (a stored "days:400") opens and saves unchanged.
//  - The store is touched only by save() and by the confirmed delete. save() puts
//    the record back into the form as the store left it, also on failure; a task
//    deleted meanwhile shows "That record no longer exists.".
//  - After closeSheet() the editor may be destroyed by its host at any time, so
//    nothing touches `this` after calling it.

#include "records/OVTask.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QTime>
#include "kit/OVRecordEditor.h"
#include <optional>

class OVField;
class OVLabel;
class OVDayPicker;
class OVStepper;
class OVTextArea;
class OVTextField;
class PlantPicker;
class QCheckBox;
class QComboBox;
class QNChromeButton;
class QTimeEdit;
class ToggleChip;
class ZonePicker;

class TaskEditor : public OVRecordEditor {
    Q_OBJECT
public:
    // The rule kinds in picker order: "once", "days", "weeks", "monthday",
    // "monthlast", "yearly".
    static const QStringList& ruleKinds();

    TaskEditor(const OVTask& item, OVStore& store, QWidget* parent = nullptr);

    // Fills the rule and time state from `item` and shows it in the form.
    void load();
    // The rule the state describes; nothing while "Weekly" has no weekday.
    std::optional<Recurrence> currentRule() const;
    // Hour and minute of `time`; 8 and 0 when it holds none.
    std::pair<int, int> hm() const;
    // Validates, stores, replans reminders and closes; false when the sheet stays open.
    bool saveTask();
    void save() override { saveTask(); }
    // The "Delete This Task…" action: closes the sheet, then asks.
    void askDelete() override;

    const OVTask& item() const { return m_item; }
    const QString& ruleKind() const { return m_ruleKind; }
    qint64 every() const { return m_every; }
    const QSet<int>& weekdays() const { return m_weekdays; }
    int monthDay() const { return m_monthDay; }
    int yearMonth() const { return m_yearMonth; }
    QTime time() const { return m_time; }
    // The preview line as shown; empty while there is no rule.
    QString previewText() const;
    QString title() const;

    // The form's controls, for the host's focus handling and for tests.
    QComboBox* typePicker() const { return m_type; }
    QComboBox* categoryPicker() const { return m_category; }
    OVField* categoryField() const { return m_categoryField; }
    OVTextField* titleField() const { return m_title; }
    ZonePicker* zonePicker() const { return m_zone; }
    OVField* plantField() const { return m_plantField; }
    PlantPicker* plantPicker() const { return m_plant; }
    OVField* amountField() const;
    OVTextField* amountBox() const;
    ToggleChip* ruleChip(const QString& kind) const;
    OVStepper* everyStepper() const { return m_everyStepper; }
    OVStepper* dayStepper() const { return m_dayStepper; }
    QComboBox* monthPicker() const { return m_month; }
    QWidget* monthField() const { return m_monthField; }
    ToggleChip* weekdayChip(int weekday) const { return m_weekdayChips.value(weekday - 1); }
    QWidget* weekdayRow() const { return m_weekdayRow; }
    OVDayPicker* startPicker() const { return m_start; }
    QTimeEdit* timeEdit() const { return m_timeEdit; }
    OVLabel* previewLabel() const { return m_preview; }
    QCheckBox* remindBox() const { return m_remind; }
    QCheckBox* activeBox() const { return m_active; }
    OVTextArea* notesBox() const { return m_notes; }
    QNChromeButton* deleteButton() const { return m_delete; }

private:
    void buildForm();
    void showItem();
    void showKind();
    void showRule();
    void refreshPreview();
    void setRuleKind(const QString& kind);
    QString everyText(int shown) const;

    OVTask m_item;
    QString m_ruleKind = QStringLiteral("days");
    qint64 m_every = 1;
    QSet<int> m_weekdays{2};
    int m_monthDay = 1;
    int m_yearMonth = 1;
    QTime m_time;

    QComboBox* m_type = nullptr;
    QComboBox* m_category = nullptr;
    OVField* m_categoryField = nullptr;
    OVTextField* m_title = nullptr;
    ZonePicker* m_zone = nullptr;
    PlantPicker* m_plant = nullptr;
    OVField* m_plantField = nullptr;
    OVField* m_amountFieldOther = nullptr;
    OVField* m_amountFieldParts = nullptr;
    OVTextField* m_amountOther = nullptr;
    OVTextField* m_amountParts = nullptr;
    QList<ToggleChip*> m_ruleChips;
    OVStepper* m_everyStepper = nullptr;
    OVStepper* m_dayStepper = nullptr;
    QComboBox* m_month = nullptr;
    QWidget* m_monthField = nullptr;
    QWidget* m_weekdayRow = nullptr;
    QList<ToggleChip*> m_weekdayChips;
    OVDayPicker* m_start = nullptr;
    QTimeEdit* m_timeEdit = nullptr;
    OVLabel* m_preview = nullptr;
    QCheckBox* m_remind = nullptr;
    QCheckBox* m_active = nullptr;
    OVTextArea* m_notes = nullptr;
    QNChromeButton* m_delete = nullptr;
};
