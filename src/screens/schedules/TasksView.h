#pragma once
// A schedule screen: the grower's repeating jobs of some task kinds as task rows,
// soonest due first, a banner while reminders are switched off, and a month
// calendar of the jobs. One class serves both screens: Watering & Feeding (water,
// feed, nutrient) and Maintenance (maintenance alone); everything that differs
// follows from the kinds.
//
// The page (header, export and add buttons, cards) is built once; the banner, the
// rows and the calendar's tasks are rebuilt, coalesced, on every store revision and
// whenever the screen is shown again. A row whose history was open keeps it open
// across rebuilds. The calendar's month lives as long as the screen and changes
// only through the calendar's chevrons. The list is read afresh from the store on
// every rebuild; nothing is cached between rebuilds except the row widgets, which
// are kept by task id while what they show stays the same.

#include "records/Calendar.h"
#include "records/OVDay.h"
#include "records/OVTask.h"
#include "records/TaskKind.h"
#include "services/Screen.h"

#include <QDateTime>
#include <QList>
#include <QWidget>
#include <optional>

class AppModel;
class MonthCalendar;
class OVCard;
class OVEmpty;
class OVPage;
class OVRebuilder;
class OVStore;
class TaskRow;

class TasksView : public QWidget {
    Q_OBJECT
public:
    // A task of the list with the next due moment it was sorted by.
    struct Entry {
        OVTask task;
        std::optional<QDateTime> due;
    };

    TasksView(const QList<TaskKind>& kinds, Screen screen, QWidget* parent = nullptr);
    TasksView(const QList<TaskKind>& kinds, Screen screen, OVStore& store, AppModel& model,
              QWidget* parent = nullptr);

    // The kinds of the two screens.
    static QList<TaskKind> scheduleKinds();
    static QList<TaskKind> maintenanceKinds();

    const QList<TaskKind>& kinds() const { return m_kinds; }
    Screen screen() const { return m_screen; }
    // True exactly when the kinds are [maintenance].
    bool maintenanceMode() const;

    // The store's tasks of `kinds`, in the store's order (kind text, then title).
    static QList<OVTask> tasksOfKinds(const OVStore& store, const QList<TaskKind>& kinds);
    // The same, stably sorted by next due moment; tasks without one (paused or
    // finished) last, in the store's order.
    static QList<Entry> sortedTasks(const OVStore& store, const QList<TaskKind>& kinds,
                                    const Calendar& calendar = Calendar::current());
    static QList<Entry> sorted(const QList<OVTask>& tasks, const Calendar& calendar = Calendar::current());

    // The add button's action: opens the task editor on a new task of this screen.
    void addTask();
    // The new task addTask() hands to the editor, for the given "today".
    OVTask newTask(const OVDay& today) const;
    // The export button's action.
    void exportCSV();

    // Rebuilds the list part now (first build, tests, benchmarks).
    void rebuildNow();
    int rebuildCount() const;

    OVPage* page() const { return m_page; }
    QWidget* banner() const { return m_banner; }
    OVCard* listCard() const { return m_listCard; }
    OVCard* calendarCard() const { return m_calendarCard; }
    MonthCalendar* calendar() const { return m_calendar; }
    OVDay month() const;
    // The rows as shown, top to bottom.
    QList<TaskRow*> rows() const { return m_rows; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void rebuild();

    QList<TaskKind> m_kinds;
    Screen m_screen;
    OVStore& m_store;
    AppModel& m_model;
    OVRebuilder* m_rebuilder = nullptr;
    OVPage* m_page = nullptr;
    QWidget* m_banner = nullptr;
    OVCard* m_listCard = nullptr;
    QWidget* m_list = nullptr;
    OVEmpty* m_empty = nullptr;
    OVEmpty* m_readFailure = nullptr; // in place of m_empty while the tasks cannot be read
    OVCard* m_calendarCard = nullptr;
    MonthCalendar* m_calendar = nullptr;
    QList<TaskRow*> m_rows;
    // Set while hidden (and before the first show): the banner's preference may have
    // changed without a store revision.
    bool m_staleWhileHidden = true;
};
