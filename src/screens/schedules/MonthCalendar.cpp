#include "screens/schedules/MonthCalendar.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVViewState.h"
#include "kit/QNChromeButton.h"
#include "records/Calendar.h"
#include "services/Schedule.h"
#include "services/TaskClock.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr double cellHeight = 62;
constexpr double gap = 6;

} // namespace

MonthCalendar::MonthCalendar(const OVDay& month, const QList<OVTask>& tasks, QWidget* parent)
    : QWidget(parent), m_month(month.year, month.month, 1), m_tasks(tasks)
{
    OVViewState::keep(this, "shownMonth");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(KitMetrics::px(8));

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    m_prev = new QNChromeButton(QString(), false, true);
    m_prev->setSymbol(QStringLiteral("chevron.left"));
    m_prev->setAccessibleName(QStringLiteral("Previous month"));
    m_prev->setAutoDefault(false);
    m_next = new QNChromeButton(QString(), false, true);
    m_next->setSymbol(QStringLiteral("chevron.right"));
    m_next->setAccessibleName(QStringLiteral("Next month"));
    m_next->setAutoDefault(false);
    m_title = new OVLabel(QString(), 16, QFont::ExtraBold, OVColors().text());
    header->addWidget(m_prev);
    header->addStretch(1);
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_next);
    column->addLayout(header);

    // The grid is painted by this widget into the area this placeholder takes.
    m_grid = new QWidget;
    m_grid->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_grid->setMinimumWidth(KitMetrics::px(7 * 10 + 6 * gap));
    column->addWidget(m_grid);

    connect(m_prev, &QPushButton::clicked, this, [this] { step(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { step(1); });
    place();
}

OVDay MonthCalendar::shift(const OVDay& month, int months)
{
    qint64 year = month.year;
    int m = month.month + months;
    if (m <= 0) {
        m = 12;
        year -= 1;
    } else if (m >= 13) {
        m = 1;
        year += 1;
    }
    return OVDay(year, m, 1);
}

void MonthCalendar::step(int months)
{
    setMonth(shift(months));
    emit monthChanged(m_month);
}

void MonthCalendar::showMonth(const QString& iso)
{
    if (const std::optional<OVDay> day = OVDay::fromIso(iso)) {
        setMonth(*day);
        emit monthChanged(m_month);
    }
}

void MonthCalendar::setMonth(const OVDay& month)
{
    m_month = OVDay(month.year, month.month, 1);
    place();
}

void MonthCalendar::setTasks(const QList<OVTask>& tasks)
{
    // Completions and the other fields the grid does not read change often (every
    // Done); the placing is redone only when what it reads changed.
    const auto placedAlike = [](const OVTask& a, const OVTask& b) {
        return a.active == b.active && a.rule == b.rule && a.start == b.start && a.hour == b.hour &&
               a.minute == b.minute && a.title == b.title;
    };
    const bool alike = tasks.size() == m_tasks.size() &&
                       std::equal(tasks.begin(), tasks.end(), m_tasks.begin(), placedAlike);
    m_tasks = tasks;
    if (!alike)
        place();
}

QString MonthCalendar::title() const
{
    return QLocale().monthName(m_month.month, QLocale::LongFormat) + QLatin1Char(' ') +
           QString::number(m_month.year);
}

void MonthCalendar::place()
{
    const Calendar calendar = Calendar::current();
    const QDateTime first = m_month.date(calendar);
    m_days = Schedule::daysInMonth(m_month.year, m_month.month, calendar);
    const int weekday = calendar.weekday(first);
    m_lead = weekday >= 1 ? weekday - 1 : 0;
    const QDateTime from = calendar.startOfDay(calendar.date(first));
    const QDateTime until = OVDay(m_month.year, m_month.month, m_days).date(calendar, 23, 59);

    m_placed = QList<QList<int>>(m_days);
    for (qsizetype i = 0; i < m_tasks.size(); ++i) {
        const OVTask& task = m_tasks[i];
        if (!task.active)
            continue;
        const QList<QDateTime> due = Schedule::occurrences(task.rule, task.start, task.hour, task.minute, calendar,
                                                           from, until, occurrenceLimit);
        for (const QDateTime& moment : due) {
            const int day = calendar.date(moment).day();
            if (day >= 1 && day <= m_days)
                m_placed[day - 1].append(int(i));
        }
    }

    m_title->setText(title());
    m_grid->setFixedHeight(gridHeight());
    update();
}

double MonthCalendar::cellContentHeight(int tasks) const
{
    const double gap = KitMetrics::pxF(2);
    double h = KitMetrics::pxF(8) + QFontMetricsF(KitMetrics::font(12, QFont::Bold)).height();
    const double chip = QFontMetricsF(KitMetrics::font(9.5, QFont::DemiBold)).height();
    h += std::min(tasks, chipLimit) * (gap + chip);
    if (tasks > chipLimit)
        h += gap + QFontMetricsF(KitMetrics::font(9)).height();
    return h;
}

QList<double> MonthCalendar::rowHeights() const
{
    // A week is 62 points high; one whose busiest day needs more (three chips and
    // "+N more") grows to hold it rather than cutting the count off.
    const int rows = (m_lead + m_days + 6) / 7;
    QList<double> heights(rows, KitMetrics::pxF(cellHeight));
    for (int d = 1; d <= m_days; ++d) {
        const int r = (m_lead + d - 1) / 7;
        heights[r] = std::max(heights[r], cellContentHeight(int(m_placed[d - 1].size())));
    }
    return heights;
}

int MonthCalendar::gridHeight() const
{
    const QFontMetricsF names(KitMetrics::font(11, QFont::ExtraBold));
    double h = names.height();
    for (double row : rowHeights())
        h += KitMetrics::pxF(gap) + row;
    return int(std::ceil(h));
}

QStringList MonthCalendar::titlesOn(int day) const
{
    QStringList out;
    if (day < 1 || day > m_placed.size())
        return out;
    for (int index : m_placed[day - 1])
        out.append(m_tasks[index].title);
    return out;
}

QStringList MonthCalendar::cellTexts(int day) const
{
    const QStringList all = titlesOn(day);
    QStringList out = all.mid(0, chipLimit);
    if (all.size() > chipLimit)
        out.append(QStringLiteral("+%1 more").arg(all.size() - chipLimit));
    return out;
}

const QStaticText& MonthCalendar::chipText(const QString& title, const QFont& font, double width) const
{
    if (width != m_chipWidth) {
        m_chipTexts.clear();
        m_chipWidth = width;
    }
    auto it = m_chipTexts.find(title);
    if (it == m_chipTexts.end()) {
        QStaticText text(QFontMetricsF(font).elidedText(title, Qt::ElideRight, std::max(0.0, width)));
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font);
        it = m_chipTexts.insert(title, text);
    }
    return *it;
}

const QStaticText& MonthCalendar::plainText(const QString& text, const QFont& font) const
{
    // Each text here is always drawn in the same font (numbers, "+N more").
    auto it = m_plainTexts.find(text);
    if (it == m_plainTexts.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), font);
        it = m_plainTexts.insert(text, laid);
    }
    return *it;
}

void MonthCalendar::paintEvent(QPaintEvent*)
{
    const OVColors colors;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect area = m_grid->geometry();
    const double spacing = KitMetrics::pxF(gap);
    const double colWidth = std::max(KitMetrics::pxF(10), (area.width() - 6 * spacing) / 7.0);
    const QList<double> heights = rowHeights();
    QList<double> tops;
    double top = area.top() + QFontMetricsF(KitMetrics::font(11, QFont::ExtraBold)).height() + KitMetrics::pxF(gap);
    for (double h : heights) {
        tops.append(top);
        top += h + KitMetrics::pxF(gap);
    }

    const QFont nameFont = KitMetrics::font(11, QFont::ExtraBold);
    const QFont numberFont = KitMetrics::font(12, QFont::Bold);
    const QFont chipFont = KitMetrics::font(9.5, QFont::DemiBold);
    const QFont moreFont = KitMetrics::font(9, QFont::Normal);
    const QFontMetricsF nameMetrics(nameFont);
    const QFontMetricsF numberMetrics(numberFont);
    const QFontMetricsF chipMetrics(chipFont);

    const QStringList& names = Recurrence::weekdayNames();
    p.setFont(nameFont);
    p.setPen(colors.dim());
    const double nameHeight = nameMetrics.height();
    for (int c = 0; c < 7; ++c) {
        const QRectF cell(area.left() + c * (colWidth + spacing), area.top(), colWidth, nameHeight);
        p.drawText(cell, Qt::AlignCenter, names.value(c));
    }

    const OVDay today = OVDay::today(TaskClock::now());
    QColor cellFill(0, 0, 0);
    cellFill.setAlphaF(0.2f);
    QColor chipFill = colors.accent();
    chipFill.setAlphaF(0.45f);
    const double pad = KitMetrics::pxF(4);
    const double lineGap = KitMetrics::pxF(2);

    for (int d = 1; d <= m_days; ++d) {
        const int i = m_lead + d - 1;
        const QRectF cell(area.left() + (i % 7) * (colWidth + spacing), tops[i / 7], colWidth,
                          heights[i / 7]);
        p.setPen(Qt::NoPen);
        p.setBrush(cellFill);
        p.drawRoundedRect(cell, KitMetrics::pxF(8), KitMetrics::pxF(8));

        p.save();
        p.setClipRect(cell);
        const QRectF inner = cell.adjusted(pad, pad, -pad, -pad);
        double y = inner.top();

        const QString number = QString::number(d);
        const double numberWidth = plainText(number, numberFont).size().width() + KitMetrics::pxF(10);
        const QRectF capsule(inner.left(), y, numberWidth, numberMetrics.height());
        const bool isToday = OVDay(m_month.year, m_month.month, d) == today;
        if (isToday) {
            p.setBrush(colors.accent());
            p.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
        }
        p.setFont(numberFont);
        p.setPen(isToday ? QColor(Qt::white) : colors.text());
        p.drawStaticText(QPointF(capsule.left() + KitMetrics::pxF(5), capsule.top()), plainText(number, numberFont));
        y += capsule.height() + lineGap;

        const QList<int>& placed = m_placed[d - 1];
        p.setFont(chipFont);
        const double chipHeight = chipMetrics.height();
        const double textWidth = inner.width() - KitMetrics::pxF(8);
        for (int c = 0; c < placed.size() && c < chipLimit; ++c) {
            const QRectF chip(inner.left(), y, inner.width(), chipHeight);
            p.setPen(Qt::NoPen);
            p.setBrush(chipFill);
            p.drawRoundedRect(chip, KitMetrics::pxF(4), KitMetrics::pxF(4));
            p.setPen(colors.text());
            p.drawStaticText(QPointF(chip.left() + KitMetrics::pxF(4), chip.top()),
                             chipText(m_tasks[placed[c]].title, chipFont, textWidth));
            y += chipHeight + lineGap;
        }
        if (placed.size() > chipLimit) {
            p.setFont(moreFont);
            p.setPen(colors.dim());
            p.drawStaticText(QPointF(inner.left(), y), plainText(QStringLiteral("+%1 more").arg(placed.size() - chipLimit), moreFont));
        }
        p.restore();
    }
}
