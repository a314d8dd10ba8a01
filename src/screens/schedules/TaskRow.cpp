#include "screens/schedules/TaskRow.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "records/MaintenanceCategory.h"
#include "records/OVFormat.h"
#include "records/Plant.h"
#include "screens/schedules/TaskClock.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The system's neutral gray of a paused tag.
QColor pausedGray()
{
    return QColor(142, 142, 147);
}

} // namespace

TaskRow::TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact)
    : TaskRow(task, std::move(due), compact, *OVStore::shared(), AppModel::shared())
{
}

TaskRow::TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact, OVStore& store, AppModel& model,
                 QWidget* parent)
    : OVRowBox(false, parent), m_task(task), m_due(std::move(due)), m_compact(compact), m_store(store), m_model(model)
{
    m_overdue = m_due && *m_due < TaskClock::now();
    setHighlight(m_overdue);
    const OVColors colors;

    body()->setSpacing(KitMetrics::px(6));
    auto* main = new QHBoxLayout;
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(KitMetrics::px(10));
    body()->addLayout(main);

    QLabel* symbol = KitIcons::label(m_task.kind.symbol(), OVColors::leaf(), 15);
    symbol->setFixedWidth(KitMetrics::px(18));
    symbol->setAlignment(Qt::AlignCenter);
    main->addWidget(symbol, 0, Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->setContentsMargins(0, 0, 0, 0);
    text->setSpacing(KitMetrics::px(2));
    main->addLayout(text, 1);

    auto* titleLine = new QHBoxLayout;
    titleLine->setContentsMargins(0, 0, 0, 0);
    titleLine->setSpacing(KitMetrics::px(6));
    auto* title = new OVLabel(m_task.title, 13.5, QFont::Bold);
    title->setObjectName(QStringLiteral("taskTitle"));
    titleLine->addWidget(title, 0, Qt::AlignVCenter);
    if (m_overdue)
        titleLine->addWidget(new OVTag(QStringLiteral("OVERDUE"), OVColors::alert()), 0, Qt::AlignVCenter);
    if (!m_task.active) {
        titleLine->addWidget(new OVTag(QStringLiteral("PAUSED"), pausedGray()), 0, Qt::AlignVCenter);
    } else if (m_task.remind) {
        QLabel* bell = KitIcons::label(QStringLiteral("bell.fill"), colors.dim(), 10);
        bell->setObjectName(QStringLiteral("reminderBell"));
        titleLine->addWidget(bell, 0, Qt::AlignVCenter);
    }
    titleLine->addStretch(1);
    text->addLayout(titleLine);

    auto* details = new OVLabel(detailsText(m_task, m_store), 11.5, QFont::Normal, colors.dim());
    details->setObjectName(QStringLiteral("taskDetails"));
    text->addWidget(details);

    if (!m_compact) {
        auto* rule = new OVLabel(ruleText(m_task), 11.5, QFont::Normal, colors.dim());
        rule->setObjectName(QStringLiteral("taskRule"));
        text->addWidget(rule);
    }

    auto* dueLine = new QHBoxLayout;
    dueLine->setContentsMargins(0, 0, 0, 0);
    dueLine->setSpacing(KitMetrics::px(10));
    QString status;
    if (m_due)
        status = QStringLiteral("Due ") + OVFormat::dayTime(*m_due);
    else
        status = m_task.active ? QStringLiteral("Finished") : QStringLiteral("Paused");
    auto* statusLabel =
        new OVLabel(status, 12, QFont::DemiBold, m_overdue ? OVColors::alert() : colors.text());
    statusLabel->setObjectName(QStringLiteral("taskStatus"));
    dueLine->addWidget(statusLabel, 0, Qt::AlignVCenter);
    if (m_task.lastDone) {
        auto* last = new OVLabel(QStringLiteral("Last done ") + OVFormat::dayTime(*m_task.lastDone), 11,
                                 QFont::Normal, colors.dim());
        last->setObjectName(QStringLiteral("taskLastDone"));
        dueLine->addWidget(last, 0, Qt::AlignVCenter);
    }
    dueLine->addStretch(1);
    text->addLayout(dueLine);

    main->addSpacing(KitMetrics::px(8));

    if (m_due) {
        m_done = new QNChromeButton(QStringLiteral("Done"), true, true);
        m_done->setToolTip(QStringLiteral("Mark done now; the next date is worked out for you"));
        m_done->setAutoDefault(false);
        connect(m_done, &QPushButton::clicked, this, &TaskRow::markDone);
        main->addWidget(m_done, 0, Qt::AlignVCenter);
    }
    m_edit = new QNChromeButton(QStringLiteral("Edit"), false, true);
    m_edit->setAutoDefault(false);
    connect(m_edit, &QPushButton::clicked, this, &TaskRow::edit);
    main->addWidget(m_edit, 0, Qt::AlignVCenter);
    if (!m_compact) {
        m_history = new QNChromeButton(QStringLiteral("History"), false, true);
        m_history->setAutoDefault(false);
        connect(m_history, &QPushButton::clicked, this, [this] { setShowLog(!m_showLog); });
        main->addWidget(m_history, 0, Qt::AlignVCenter);
    }
}

QString TaskRow::detailsText(const OVTask& task, const OVStore& store)
{
    QString kindText;
    if (task.kind == TaskKind::maintenance) {
        if (const auto category = MaintenanceCategory::fromRaw(task.category))
            kindText = category->name();
    } else {
        kindText = task.kind.name();
    }
    QString plantText;
    if (const auto plant = store.get<Plant>(task.plantID))
        plantText = plant->displayName();
    QStringList parts;
    for (const QString& part : {kindText, store.zoneName(task.zoneID), plantText, task.amount})
        if (!part.isEmpty())
            parts.append(part);
    return parts.join(QStringLiteral(" · "));
}

QString TaskRow::ruleText(const OVTask& task)
{
    return task.rule.summary() + QStringLiteral(" at %1:%2").arg(task.hour).arg(task.minute, 2, 10, QLatin1Char('0'));
}

void TaskRow::setShowLog(bool on)
{
    on = on && !m_compact;
    if (on == m_showLog)
        return;
    m_showLog = on;
    if (m_history)
        m_history->setTitle(on ? QStringLiteral("Hide History") : QStringLiteral("History"));
    if (m_log) {
        body()->removeWidget(m_log);
        m_log->deleteLater();
        m_log = nullptr;
    }
    if (on)
        fillHistory();
}

void TaskRow::fillHistory()
{
    const OVColors colors;
    m_log = new QWidget;
    m_log->setObjectName(QStringLiteral("taskHistory"));
    auto* lines = new QVBoxLayout(m_log);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(KitMetrics::px(6));
    const QList<TaskLog> log = m_store.taskLog(m_task.id);
    if (log.isEmpty()) {
        lines->addWidget(new OVLabel(QStringLiteral("Not done yet."), 11.5, QFont::Normal, colors.dim()));
    } else {
        for (qsizetype i = 0; i < log.size() && i < historyLimit; ++i) {
            QString line = QStringLiteral("✓ ") + OVFormat::dayTime(log[i].doneAt);
            if (!log[i].note.isEmpty())
                line += QStringLiteral(" — ") + log[i].note;
            lines->addWidget(new OVLabel(line, 11.5, QFont::Normal, colors.dim()));
        }
    }
    body()->addWidget(m_log);
}

QStringList TaskRow::historyLines() const
{
    QStringList out;
    if (m_log)
        for (const QLabel* line : m_log->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            out.append(line->text());
    return out;
}

void TaskRow::markDone()
{
    // Copies only: the store's revision may lead the owner to replace this row.
    OVStore* store = &m_store;
    const OVTask task = m_task;
    m_model.act([store, task] { store->markDone(task, TaskClock::now(), QString()); });
}

void TaskRow::edit()
{
    m_model.setSheet(EditSheet(m_task));
}
