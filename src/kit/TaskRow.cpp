#include "kit/TaskRow.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVReadFailure.h"
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

// Where the parts of the title line go in the row's current geometry.
struct TaskRow::TitleLine {
    QString shown;     // the title as drawn, shortened where it must be
    QRectF title;      // the drawn title's box
    QList<QRect> tags; // one per tag; a null rectangle for a tag left out
    QRectF bell;       // empty when the bell is not drawn
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
    const QFontMetricsF details(fonts.details), status(fonts.status), last(fonts.lastDone);
    double h = titleLineHeight() + KitMetrics::pxF(lineGap) + details.height();
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

double TaskRow::titleLineHeight() const
{
    double height = QFontMetricsF(Fonts().title).height();
    for (const QWidget* tag : m_tags)
        height = std::max(height, double(tag->sizeHint().height()));
    return height;
}

TaskRow::TitleLine TaskRow::titleLine() const
{
    const QFontMetricsF metrics(Fonts().title);
    const QRect area = m_textArea->geometry();
    const double left = area.left() + KitMetrics::pxF(symbolWidth + symbolGap);
    const double right = area.right() + 1;
    const double height = titleLineHeight();
    const double gap = KitMetrics::pxF(titleGap);
    const QSizeF bell =
        showsBell() ? KitIcons::pixmap(QStringLiteral("bell.fill"), OVColors().dim(), bellSize).deviceIndependentSize()
                    : QSizeF();

    // The title gives way to what follows it, so the tags and the bell stay beside it;
    // in a text area too narrow for them and a bare "…", the last of them are left out
    // (the bell first): nothing of the title line may cover the buttons beside it.
    QList<double> widths;
    for (const QWidget* tag : m_tags)
        widths.append(tag->sizeHint().width());
    if (showsBell())
        widths.append(bell.width());
    const double available = right - left;
    const double leastTitle = metrics.horizontalAdvance(QStringLiteral("…"));
    const auto trailing = [&](qsizetype count) {
        double sum = 0;
        for (qsizetype i = 0; i < count; ++i)
            sum += gap + std::ceil(widths[i]);
        return sum;
    };
    qsizetype kept = widths.size();
    while (kept > 0 && available - trailing(kept) < leastTitle)
        --kept;

    TitleLine line;
    line.shown = metrics.elidedText(m_task.title, Qt::ElideRight, std::max(0.0, available - trailing(kept)));
    line.title = QRectF(left, area.top(), metrics.horizontalAdvance(line.shown), height);
    double x = line.title.right() + gap;
    for (qsizetype i = 0; i < m_tags.size(); ++i) {
        const QSize size = m_tags[i]->sizeHint();
        const int tagLeft = int(std::ceil(x));
        const bool shown = i < kept && tagLeft + size.width() <= right;
        if (!shown)
            kept = std::min(kept, i); // a tag left out takes the ones after it along
        line.tags.append(shown ? QRect(tagLeft, int(area.top() + (height - size.height()) / 2), size.width(),
                                       size.height())
                               : QRect());
        x = tagLeft + size.width() + gap;
    }
    if (showsBell() && kept == widths.size() && x + bell.width() <= right)
        line.bell = QRectF(QPointF(x, area.top() + (height - bell.height()) / 2), bell);
    return line;
}

QRect TaskRow::titleRect() const { return titleLine().title.toAlignedRect(); }

QRect TaskRow::bellRect() const { return titleLine().bell.toAlignedRect(); }

QString TaskRow::shownTitle() const { return titleLine().shown; }

bool TaskRow::event(QEvent* event)
{
    const bool done = OVRowBox::event(event);
    // The layout may move the text area without resizing the row (a button shown or
    // hidden): the tags go with it.
    if (event->type() == QEvent::LayoutRequest)
        placeTags();
    return done;
}

void TaskRow::placeTags()
{
    if (m_tags.isEmpty())
        return;
    const TitleLine line = titleLine();
    for (qsizetype i = 0; i < m_tags.size(); ++i) {
        QWidget* tag = m_tags[i];
        if (line.tags[i].isNull()) {
            tag->hide();
        } else {
            tag->setGeometry(line.tags[i]);
            tag->show();
        }
    }
}

void TaskRow::paintEvent(QPaintEvent* event)
{
    OVRowBox::paintEvent(event);
    const OVColors colors;
    const Fonts fonts;
    const QFontMetricsF details(fonts.details), status(fonts.status), last(fonts.lastDone);
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

    const TitleLine titleParts = titleLine();
    double y = area.top();
    p.setFont(fonts.title);
    p.setPen(colors.text());
    p.drawText(QRectF(left, y, std::max(0.0, width), titleParts.title.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, titleParts.shown);
    if (!titleParts.bell.isEmpty())
        p.drawPixmap(titleParts.bell.topLeft(), KitIcons::pixmap(QStringLiteral("bell.fill"), colors.dim(), bellSize));
    y += titleParts.title.height() + KitMetrics::pxF(lineGap);
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
    const OVStore::ReadWatch reads(m_store);
    const QList<TaskLog> log = m_store.taskLog(m_task.id);
    if (reads.failed()) {
        // "Not done yet." would be untrue: the completions may well be stored.
        lines->addWidget(
            new OVLabel(OVReadFailure::text(reads.reason()), 11.5, QFont::Normal, OVColors::warmLight()));
    } else if (log.isEmpty()) {
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
