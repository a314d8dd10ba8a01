#pragma once
// One scheduled job as a list row: its kind symbol, title with OVERDUE / PAUSED
// tags or the reminder bell, a details line (kind or category · zone · plant ·
// amount), the repeat rule and time (full rows only), the due status and when it
// was last done; then "Done" (only with a due time), "Edit" and, on full rows,
// "History" / "Hide History", which lists the newest 12 completions below.
//
// The schedule screens show full rows; the Today dashboard shows compact rows:
//     new TaskRow(item.task, item.due, /*compact=*/true);
// (store and model default to OVStore::shared() and AppModel::shared()). A compact
// row has no rule line, no History button and no history lines.
//
// A row is a picture of the task when it was built: it reads the store (zone and
// plant names, the history) while building and never follows the store by itself.
// Its owner rebuilds it on the store's revision; setShowLog() carries the open
// history over to the new row. "Done" is the row's only write (through
// AppModel::act, so a failure becomes the app model's notice); "Edit" opens the task
// editor through AppModel's sheet. Overdue means `due` lies strictly before
// TaskClock::now() at build time.

#include "kit/OVRowBox.h"
#include "records/OVTask.h"

#include <QDateTime>
#include <optional>

class AppModel;
class OVStore;
class QNChromeButton;
class QVBoxLayout;

class TaskRow : public OVRowBox {
    Q_OBJECT
public:
    // How many completions the history shows, newest first.
    static constexpr int historyLimit = 12;

    TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact);
    TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact, OVStore& store, AppModel& model,
            QWidget* parent = nullptr);

    const OVTask& task() const { return m_task; }
    const std::optional<QDateTime>& due() const { return m_due; }
    bool compact() const { return m_compact; }
    bool overdue() const { return m_overdue; }

    // Whether the history lines are shown (never on a compact row).
    bool showLog() const { return m_showLog; }
    void setShowLog(bool on);

    // The row's buttons; doneButton() and historyButton() are null where the row has
    // none (no due time; compact row).
    QNChromeButton* doneButton() const { return m_done; }
    QNChromeButton* editButton() const { return m_edit; }
    QNChromeButton* historyButton() const { return m_history; }

    // The history lines as shown: "✓ <done time>[ — <note>]" or "Not done yet.".
    QStringList historyLines() const;

    // The details line: kind text (category for maintenance), zone, plant, amount,
    // the non-empty ones joined with " · ".
    static QString detailsText(const OVTask& task, const OVStore& store);
    // The rule and time, e.g. "Every 7 days at 8:05".
    static QString ruleText(const OVTask& task);

private:
    void markDone();
    void edit();
    void fillHistory();

    OVTask m_task;
    std::optional<QDateTime> m_due;
    bool m_compact;
    OVStore& m_store;
    AppModel& m_model;
    bool m_overdue = false;
    bool m_showLog = false;
    QNChromeButton* m_done = nullptr;
    QNChromeButton* m_edit = nullptr;
    QNChromeButton* m_history = nullptr;
    QWidget* m_log = nullptr;
};
