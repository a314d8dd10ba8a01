#include "screens/schedules/TasksView.h"

#include "kit/HeaderActions.h"
#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "kit/TaskRow.h"
#include "records/MaintenanceCategory.h"
#include "records/OVPrefs.h"
#include "screens/schedules/MonthCalendar.h"
#include "services/AppModel.h"
#include "services/Schedule.h"
#include "services/TableExport.h"
#include "services/TaskClock.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

namespace {

struct ModeTexts {
    QString subtitle;
    QString addTitle;
    QString listTitle;
    QString listSymbol;
    QString emptySymbol;
    QString emptyMessage;
};

ModeTexts textsFor(bool maintenance)
{
    if (maintenance)
        return {QStringLiteral("Routine upkeep that keeps the greenhouse working: vents, heaters, fans, filters, "
                               "cleaning, glazing and more. Reminders arrive as desktop notifications."),
                QStringLiteral("Add Maintenance Task"),
                QStringLiteral("Maintenance tasks"),
                QStringLiteral("wrench.and.screwdriver.fill"),
                QStringLiteral("wrench.and.screwdriver"),
                QStringLiteral("Add the jobs you do regularly — for example: check vent openers every month, clean "
                               "fan shutters every 3 months, wash glazing every spring.")};
    return {QStringLiteral("Repeating watering, feeding and nutrient / pH checks for zones or single plants. Mark "
                           "them done to move them to the next date."),
            QStringLiteral("Add Schedule"),
            QStringLiteral("Schedules"),
            QStringLiteral("drop.fill"),
            QStringLiteral("drop"),
            QStringLiteral("Add a watering or feeding schedule — for example: water the propagation zone every day "
                           "at 8:00, feed tomatoes every 7 days.")};
}

} // namespace

TasksView::TasksView(const QList<TaskKind>& kinds, Screen screen, QWidget* parent)
    : TasksView(kinds, screen, *OVStore::shared(), AppModel::shared(), parent)
{
}

TasksView::TasksView(const QList<TaskKind>& kinds, Screen screen, OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_kinds(kinds), m_screen(screen), m_store(store), m_model(model)
{
    const ModeTexts texts = textsFor(maintenanceMode());
    const OVColors colors;

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(screen, texts.subtitle);
    outer->addWidget(m_page);

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 4, texts.addTitle);
    header.exportButton->setObjectName(QStringLiteral("exportButton"));
    header.addButton->setObjectName(QStringLiteral("addButton"));
    connect(header.addButton, &QPushButton::clicked, this, &TasksView::addTask);

    m_banner = new QWidget;
    m_banner->setObjectName(QStringLiteral("remindersOffBanner"));
    auto* bannerRow = new QHBoxLayout(m_banner);
    bannerRow->setContentsMargins(0, 0, 0, 0);
    bannerRow->setSpacing(KitMetrics::px(6));
    bannerRow->addWidget(KitIcons::label(QStringLiteral("bell.slash.fill"), OVColors::warmLight(), 12.5));
    bannerRow->addWidget(new OVLabel(QStringLiteral("Reminders are turned off in Settings & Backup."), 12.5,
                                     QFont::DemiBold, OVColors::warmLight()));
    bannerRow->addStretch(1);
    m_page->content()->addWidget(m_banner);

    m_listCard = new OVCard(texts.listTitle, texts.listSymbol);
    m_list = new QWidget;
    auto* column = new QVBoxLayout(m_list);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(KitMetrics::px(10));
    m_empty = new OVEmpty(texts.emptySymbol, QStringLiteral("Nothing scheduled yet"), texts.emptyMessage);
    column->addWidget(m_empty);
    m_listCard->body()->addWidget(m_list);
    m_page->content()->addWidget(m_listCard);

    m_calendarCard = new OVCard(QStringLiteral("Calendar"), QStringLiteral("calendar"));
    const OVDay today = OVDay::today(TaskClock::now());
    m_calendar = new MonthCalendar(OVDay(today.year, today.month, 1));
    m_calendarCard->body()->addWidget(m_calendar);
    m_page->content()->addWidget(m_calendarCard);
    m_page->content()->addStretch(1);

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    m_rebuilder->rebuildNow();
}

QList<TaskKind> TasksView::scheduleKinds()
{
    return {TaskKind::water, TaskKind::feed, TaskKind::nutrient};
}

QList<TaskKind> TasksView::maintenanceKinds()
{
    return {TaskKind::maintenance};
}

bool TasksView::maintenanceMode() const
{
    return m_kinds == maintenanceKinds();
}

OVDay TasksView::month() const
{
    return m_calendar->month();
}

int TasksView::rebuildCount() const
{
    return m_rebuilder->rebuildCount();
}

QList<OVTask> TasksView::tasksOfKinds(const OVStore& store, const QList<TaskKind>& kinds)
{
    QList<OVTask> out;
    for (const OVTask& task : store.tasks())
        if (kinds.contains(task.kind))
            out.append(task);
    return out;
}

QList<TasksView::Entry> TasksView::sortedTasks(const OVStore& store, const QList<TaskKind>& kinds,
                                               const Calendar& calendar)
{
    return sorted(tasksOfKinds(store, kinds), calendar);
}

QList<TasksView::Entry> TasksView::sorted(const QList<OVTask>& tasks, const Calendar& calendar)
{
    // Each key is worked out once per rebuild: nextDue depends only on the task and
    // the calendar, so this orders exactly as asking it at every comparison would.
    QList<Entry> entries;
    for (const OVTask& task : tasks)
        entries.append(Entry{task, Schedule::nextDue(task, calendar)});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (!a.due)
            return false;
        return !b.due || *a.due < *b.due;
    });
    return entries;
}

OVTask TasksView::newTask(const OVDay& today) const
{
    OVTask task;
    task.start = today;
    task.kind = m_kinds.value(0, TaskKind::water);
    if (maintenanceMode()) {
        task.category = MaintenanceCategory(MaintenanceCategory::vents).rawValue();
        task.rule = Recurrence::monthlyDay(1, today.day);
    }
    return task;
}

void TasksView::addTask()
{
    m_model.setSheet(EditSheet(newTask(OVDay::today(TaskClock::now()))));
}

void TasksView::exportCSV()
{
    TableExport::start(m_store, 4);
}

void TasksView::rebuildNow()
{
    m_rebuilder->rebuildNow();
}

void TasksView::rebuild()
{
    const ModeTexts texts = textsFor(maintenanceMode());
    m_banner->setVisible(!OVPrefs::remindersOn());

    const OVStore::ReadWatch reads(m_store);
    const QList<OVTask> tasks = tasksOfKinds(m_store, m_kinds);
    const QList<Entry> entries = sorted(tasks);
    const QDateTime now = TaskClock::now();

    // The row widgets are kept and handed the task of their place; only a row whose
    // picture changes is redrawn, and widgets are made or dropped only when the
    // number of tasks changes. An open history follows its task.
    QSet<qint64> openHistory;
    for (const TaskRow* row : m_rows)
        if (row->showLog())
            openHistory.insert(row->task().id);
    auto* column = static_cast<QVBoxLayout*>(m_list->layout());
    const bool countChanged = m_rows.size() != entries.size();
    if (countChanged) {
        // Showing rows one by one inside a visible list lays the whole list out once
        // per row; with the list hidden meanwhile it is laid out once.
        m_list->hide();
        while (m_rows.size() > entries.size()) {
            TaskRow* extra = m_rows.takeLast();
            column->removeWidget(extra);
            extra->hide();
            extra->deleteLater();
        }
    }
    TaskRow::Names names;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        if (i == m_rows.size()) {
            auto* row = new TaskRow(entry.task, entry.due, false, m_store, m_model, m_list, &names);
            column->addWidget(row);
            row->setVisible(true);
            m_rows.append(row);
        } else {
            TaskRow* row = m_rows[i];
            const bool overdue = entry.due && *entry.due < now;
            const bool same = row->task() == entry.task && row->due() == entry.due && row->overdue() == overdue &&
                              !row->showLog() && row->detailsLine() == TaskRow::detailsText(entry.task, m_store, &names);
            if (!same)
                row->setTask(entry.task, entry.due, &names);
        }
        m_rows[i]->setShowLog(openHistory.contains(entry.task.id));
    }
    m_empty->setVisible(entries.isEmpty() && !reads.failed());
    if (m_readFailure) {
        m_readFailure->hide();
        m_readFailure->deleteLater();
        m_readFailure = nullptr;
    }
    if (entries.isEmpty() && reads.failed()) {
        m_readFailure = new OVReadFailure(reads.reason(), m_list);
        column->insertWidget(0, m_readFailure);
    }
    if (countChanged)
        m_list->show();

    const bool showCalendar = maintenanceMode() || !entries.isEmpty();
    m_calendarCard->setVisible(showCalendar);
    if (showCalendar) {
        QList<OVTask> calendarTasks;
        if (maintenanceMode()) {
            for (const Entry& entry : entries)
                calendarTasks.append(entry.task);
        } else {
            calendarTasks = tasks;
        }
        m_calendar->setTasks(calendarTasks);
    }
}

void TasksView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The banner follows a preference that changes without a store revision.
    if (m_staleWhileHidden) {
        m_staleWhileHidden = false;
        m_rebuilder->schedule();
    }
}

void TasksView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_staleWhileHidden = true;
}
