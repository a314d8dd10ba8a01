#include "kit/TaskRow.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "records/MaintenanceCategory.h"
#include "records/OVFormat.h"
#include "records/Plant.h"
#include "services/AppModel.h"
#include "services/TaskClock.h"
#include "store/OVStore.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr double symbolWidth = 18;
constexpr double symbolSize = 15;
constexpr double symbolGap = 10;
constexpr double lineGap = 2;
constexpr double titleGap = 6;
constexpr double bellSize = 10;

} // namespace

// The fonts of the painted lines, made once per row build and paint.
struct TaskRow::Fonts {
    QFont title = KitMetrics::font(13.5, QFont::Bold);
    QFont details = KitMetrics::font(11.5);
    QFont status = KitMetrics::font(12, QFont::DemiBold);
    QFont lastDone = KitMetrics::font(11);
};

TaskRow::TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact)
    : TaskRow(task, std::move(due), compact, *OVStore::shared(), AppModel::shared())
{
}

TaskRow::TaskRow(const OVTask& task, std::optional<QDateTime> due, bool compact, OVStore& store, AppModel& model,
                 QWidget* parent, Names* names)
    : OVRowBox(false, parent), m_task(task), m_due(std::move(due)), m_compact(compact), m_store(store), m_model(model)
{
    body()->setSpacing(KitMetrics::px(6));
    auto* main = new QHBoxLayout;
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(KitMetrics::px(10));
    body()->addLayout(main);
    // The painted part: symbol and text column.
    m_textArea = new QSpacerItem(KitMetrics::px(160), 0, QSizePolicy::Expanding, QSizePolicy::Fixed);
    main->addSpacerItem(m_textArea);
    // Spacer items get no layout spacing beside them: this is the whole gap between
    // the (elided) text and the first button.
    main->addSpacing(KitMetrics::px(8));

    m_done = new QNChromeButton(QStringLiteral("Done"), true, true);
    m_done->setToolTip(QStringLiteral("Mark done now; the next date is worked out for you"));
    m_done->setAutoDefault(false);
    connect(m_done, &QPushButton::clicked, this, &TaskRow::markDone);
    main->addWidget(m_done, 0, Qt::AlignVCenter);
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
    setTask(task, m_due, names);
}

void TaskRow::setTask(const OVTask& task, std::optional<QDateTime> due, Names* names)
{
    const bool sameTask = task.id == m_task.id;
    m_task = task;
    m_due = std::move(due);
    m_overdue = m_due && *m_due < TaskClock::now();
    setHighlight(m_overdue);

    m_details = detailsText(m_task, m_store, names);
    if (!m_compact)
        m_rule = ruleText(m_task);
    if (m_due)
        m_status = QStringLiteral("Due ") + OVFormat::dayTime(*m_due);
    else
        m_status = m_task.active ? QStringLiteral("Finished") : QStringLiteral("Paused");
    m_lastDone = m_task.lastDone ? QStringLiteral("Last done ") + OVFormat::dayTime(*m_task.lastDone) : QString();
    setAccessibleName(m_task.title);
    setAccessibleDescription(QStringList{m_details, m_rule, m_status, m_lastDone}.join(QLatin1Char('\n')));

    QStringList wanted;
    if (m_overdue)
        wanted.append(QStringLiteral("OVERDUE"));
    if (!m_task.active)
        wanted.append(QStringLiteral("PAUSED"));
    if (wanted != tags()) {
        qDeleteAll(m_tags);
        m_tags.clear();
        if (m_overdue)
            m_tags.append(new OVTag(QStringLiteral("OVERDUE"), OVColors::alert(), this));
        if (!m_task.active)
            m_tags.append(new OVTag(QStringLiteral("PAUSED"), OVColors::gray(), this));
        for (QWidget* tag : m_tags)
            tag->show();
    }

    m_done->setVisible(m_due.has_value());
    m_textArea->changeSize(KitMetrics::px(160), textHeight(), QSizePolicy::Expanding, QSizePolicy::Fixed);
    body()->invalidate();
    placeTags();

    // Another task's history is never shown; this task's is read again.
    if (!sameTask) {
        setShowLog(false);
    } else if (m_showLog) {
        setShowLog(false);
        setShowLog(true);
    }
    update();
}

QRect TaskRow::textArea() const { return m_textArea->geometry(); }

int TaskRow::textHeight() const
{
    const Fonts fonts;
    const QFontMetricsF title(fonts.title), details(fonts.details), status(fonts.status), last(fonts.lastDone);
    double titleLine = title.height();
    for (const QWidget* tag : m_tags)
        titleLine = std::max(titleLine, double(tag->sizeHint().height()));
    double h = titleLine + KitMetrics::pxF(lineGap) + details.height();
    if (!m_compact)
        h += KitMetrics::pxF(lineGap) + details.height();
    h += KitMetrics::pxF(lineGap) + std::max(status.height(), last.height());
    return int(std::ceil(h));
}

QString TaskRow::detailsText(const OVTask& task, const OVStore& store, Names* names)
{
    QString kindText;
    if (task.kind == TaskKind::maintenance) {
        if (const auto category = MaintenanceCategory::fromRaw(task.category))
            kindText = category->name();
    } else {
        kindText = task.kind.name();
    }
    QString zoneText;
    if (task.zoneID) {
        if (names && names->zones.contains(*task.zoneID)) {
            zoneText = names->zones.value(*task.zoneID);
        } else {
            zoneText = store.zoneName(task.zoneID);
            if (names)
                names->zones.insert(*task.zoneID, zoneText);
        }
    }
    QString plantText;
    if (task.plantID) {
        if (names && names->plants.contains(*task.plantID)) {
            plantText = names->plants.value(*task.plantID);
        } else {
            if (const auto plant = store.get<Plant>(task.plantID))
                plantText = plant->displayName();
            if (names)
                names->plants.insert(*task.plantID, plantText);
        }
    }
    QStringList parts;
    for (const QString& part : {kindText, zoneText, plantText, task.amount})
        if (!part.isEmpty())
            parts.append(part);
    return parts.join(QStringLiteral(" · "));
}

QString TaskRow::ruleText(const OVTask& task)
{
    return task.rule.summary() + QStringLiteral(" at %1:%2").arg(task.hour).arg(task.minute, 2, 10, QLatin1Char('0'));
}

QStringList TaskRow::tags() const
{
    QStringList out;
    for (const QWidget* tag : m_tags)
        out.append(static_cast<const OVTag*>(tag)->text());
    return out;
}

void TaskRow::resizeEvent(QResizeEvent* event)
{
    OVRowBox::resizeEvent(event);
    placeTags();
}

void TaskRow::placeTags()
{
    if (m_tags.isEmpty())
        return;
    const Fonts fonts;
    const QFontMetricsF title(fonts.title);
    const QRect area = m_textArea->geometry();
    const double textLeft = area.left() + KitMetrics::pxF(symbolWidth + symbolGap);
    double titleLine = title.height();
    for (const QWidget* tag : m_tags)
        titleLine = std::max(titleLine, double(tag->sizeHint().height()));
    double x = textLeft + title.horizontalAdvance(m_task.title) + KitMetrics::pxF(titleGap);
    for (QWidget* tag : m_tags) {
        const QSize size = tag->sizeHint();
        tag->setGeometry(int(x), int(area.top() + (titleLine - size.height()) / 2), size.width(), size.height());
        x += size.width() + KitMetrics::pxF(titleGap);
    }
}

void TaskRow::paintEvent(QPaintEvent* event)
{
    OVRowBox::paintEvent(event);
    const OVColors colors;
    const Fonts fonts;
    const QFontMetricsF title(fonts.title), details(fonts.details), status(fonts.status), last(fonts.lastDone);
    const QRect area = m_textArea->geometry();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QPixmap symbol = KitIcons::pixmap(m_task.kind.symbol(), OVColors::leaf(), symbolSize);
    const QSizeF symbolSizePx = symbol.deviceIndependentSize();
    p.drawPixmap(QPointF(area.left() + (KitMetrics::pxF(symbolWidth) - symbolSizePx.width()) / 2,
                         area.top() + (area.height() - symbolSizePx.height()) / 2),
                 symbol);

    const double left = area.left() + KitMetrics::pxF(symbolWidth + symbolGap);
    const double width = std::max(0.0, area.right() + 1 - left);
    const auto line = [&](const QFont& font, const QFontMetricsF& metrics, const QColor& colour, double x, double y,
                          double lineHeight, double maxWidth, const QString& text) {
        p.setFont(font);
        p.setPen(colour);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0.0, maxWidth));
        p.drawText(QRectF(x, y, maxWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        return metrics.horizontalAdvance(shown);
    };

    double titleLine = title.height();
    for (const QWidget* tag : m_tags)
        titleLine = std::max(titleLine, double(tag->sizeHint().height()));
    double y = area.top();
    const double titleWidth = line(fonts.title, title, colors.text(), left, y, titleLine, width, m_task.title);
    if (showsBell()) {
        double x = left + titleWidth + KitMetrics::pxF(titleGap);
        for (const QWidget* tag : m_tags)
            x += tag->width() + KitMetrics::pxF(titleGap);
        const QPixmap bell = KitIcons::pixmap(QStringLiteral("bell.fill"), colors.dim(), bellSize);
        p.drawPixmap(QPointF(x, y + (titleLine - bell.deviceIndependentSize().height()) / 2), bell);
    }
    y += titleLine + KitMetrics::pxF(lineGap);
    line(fonts.details, details, colors.dim(), left, y, details.height(), width, m_details);
    y += details.height() + KitMetrics::pxF(lineGap);
    if (!m_compact) {
        line(fonts.details, details, colors.dim(), left, y, details.height(), width, m_rule);
        y += details.height() + KitMetrics::pxF(lineGap);
    }
    const double dueLine = std::max(status.height(), last.height());
    const double statusWidth = line(fonts.status, status, m_overdue ? OVColors::alert() : colors.text(), left, y,
                                    dueLine, width, m_status);
    if (!m_lastDone.isEmpty()) {
        const double x = left + statusWidth + KitMetrics::pxF(10);
        line(fonts.lastDone, last, colors.dim(), x, y, dueLine, std::max(0.0, left + width - x), m_lastDone);
    }
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
        m_log->hide();
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
