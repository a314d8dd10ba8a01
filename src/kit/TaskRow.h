#pragma once
// One scheduled job as a list row: its kind symbol, the title with an OVERDUE
// and/or PAUSED tag or the reminder bell, a details line (kind or category · zone
// · plant · amount), the repeat rule and time (full rows only), the due status
// and when it was last done; then "Done" (only with a due time), "Edit" and, on
// full rows, "History" / "Hide History", which lists the newest 12 completions.
//
// The schedule screens show full rows. The Today dashboard shows compact rows,
// with the shared store and app model:
//     auto* row = new TaskRow(item.task, item.due, /*compact=*/true);
// A compact row has no rule line, no History button and no history lines; it
// keeps "Done" (when there is a due time) and "Edit".
//
// Invariants:
//  - A row shows the task as it was handed over; it reads the store only for zone
//    and plant names and, when opened, the history. It never follows the store by
//    itself: its owner makes new rows, or calls setTask() on kept ones, on the
//    store's revision.
//  - Overdue means `due` lies strictly before TaskClock::now() when the task was
//    handed over (a due time equal to now is not overdue).
//  - "Done" is the row's only write: OVStore::markDone at TaskClock::now() through
//    AppModel::act, so a failure becomes the app model's notice and the row stays.
//    "Edit" sets AppModel's sheet to the task. Neither touches the row afterwards,
//    so the owner may replace it on the revision that follows.
//  - Texts and symbols are painted; only the buttons, tags and history lines are
//    widgets, so a list of hundreds of rows builds quickly.
//  - The title line never leaves the text area: the title is shortened to leave room
//    for its tags and bell, which follow the title as drawn. Where even a bare "…"
//    leaves no room, a tag or the bell that does not fit is left out rather than
//    drawn over the buttons.

#include "kit/OVRowBox.h"
#include "records/OVTask.h"

#include <QDateTime>
#include <QHash>
#include <optional>

class AppModel;
class OVStore;
class QNChromeButton;
class QSpacerItem;
class QVBoxLayout;

class TaskRow : public OVRowBox {
    Q_OBJECT
public:
    // How many completions the history shows, newest first.
    static constexpr int historyLimit = 12;

    // Zone and plant names already looked up, for building many rows from one
    // store read; lives only as long as one build of a list.
    struct Names {
        QHash<qint64, QString> zones;
        QHash<qint64, QString> plants;
    };

    TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact);
    TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact, OVStore& store, AppModel& model,
            QWidget* parent = nullptr, Names* names = nullptr);

    // Shows another task, or the same one as it is now, in this row (a list reuses
    // its rows). The history closes when the task is another one and is read again
    // when it is the same one.
    void setTask(const OVTask& task, std::optional<QDateTime> due, Names* names = nullptr);

    const OVTask& task() const { return m_task; }
    const std::optional<QDateTime>& due() const { return m_due; }
    bool compact() const { return m_compact; }
    bool overdue() const { return m_overdue; }

    // Whether the history lines are shown (never on a compact row).
    bool showLog() const { return m_showLog; }
    void setShowLog(bool on);

    // The row's buttons; doneButton() and historyButton() are null where the row has
    // none (no due time; compact row).
    QNChromeButton* doneButton() const { return m_due ? m_done : nullptr; }
    // Where the symbol and the text lines are painted (they are elided to it).
    QRect textArea() const;
    QNChromeButton* editButton() const { return m_edit; }
    QNChromeButton* historyButton() const { return m_history; }

    // Where the title (shortened as drawn) and the bell are painted; the bell's
    // rectangle is empty when it is not drawn.
    QRect titleRect() const;
    QRect bellRect() const;
    // The title as drawn: whole, or shortened with "…".
    QString shownTitle() const;

    // The history lines as shown: "✓ <done time>[ — <note>]", "Not done yet.", or
    // the read-failure text when the history could not be read.
    QStringList historyLines() const;

    // The texts as drawn.
    const QString& detailsLine() const { return m_details; }
    // Empty on a compact row.
    const QString& ruleLine() const { return m_rule; }
    // "Due <day and time>", "Finished" or "Paused".
    const QString& statusLine() const { return m_status; }
    // "Last done <day and time>", or empty when never done.
    const QString& lastDoneLine() const { return m_lastDone; }
    // "OVERDUE" and/or "PAUSED", in order.
    QStringList tags() const;
    // The reminder bell (active tasks that remind).
    bool showsBell() const { return m_task.active && m_task.remind; }

    // The details line: kind text (category for maintenance), zone, plant, amount,
    // the non-empty ones joined with " · ".
    static QString detailsText(const OVTask& task, const OVStore& store, Names* names = nullptr);
    // The rule and time, e.g. "Every 7 days at 8:05".
    static QString ruleText(const OVTask& task);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Fonts;
    struct TitleLine;
    TitleLine titleLine() const;
    double titleLineHeight() const;
    void placeTags();
    int textHeight() const;
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
    QString m_details;
    QString m_rule;
    QString m_status;
    QString m_lastDone;
    QList<QWidget*> m_tags;
    QSpacerItem* m_textArea = nullptr;
    QNChromeButton* m_done = nullptr;
    QNChromeButton* m_edit = nullptr;
    QNChromeButton* m_history = nullptr;
    QWidget* m_log = nullptr;
};
