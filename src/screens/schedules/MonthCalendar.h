#pragma once
// One month as a seven-column grid, Sunday first whatever the locale, with chips
// naming the active tasks that fall due on each day: at most three chips a day, then
// "+N more". The header's chevrons move the shown month back and forth; nothing
// else reacts to clicks and nothing is written.
//
// Invariants: month() is always day 1 of the shown month. The day table is worked
// out (with Schedule::occurrences, at most 40 per task, in the current calendar)
// whenever the month or the tasks change, never while painting, so a repaint only
// draws. A day's tasks follow the order of the given list; paused tasks are placed
// nowhere; completions are not looked at (done occurrences stay on the calendar).
// The grid is painted, not built from widgets: a month of 300 daily tasks still
// draws at once.

#include "records/OVDay.h"
#include "records/OVTask.h"

#include <QHash>
#include <QList>
#include <QStaticText>
#include <QStringList>
#include <QWidget>

class OVLabel;
class QNChromeButton;

class MonthCalendar : public QWidget {
    Q_OBJECT
    // The shown month as "yyyy-mm-01", set as the chevrons would (kept across a rebuild).
    Q_PROPERTY(QString shownMonth READ shownMonth WRITE showMonth)
public:
    // The most occurrences of one task placed in a month.
    static constexpr int occurrenceLimit = 40;
    // Chips drawn on one day before "+N more".
    static constexpr int chipLimit = 3;

    explicit MonthCalendar(const OVDay& month, const QList<OVTask>& tasks = {}, QWidget* parent = nullptr);

    OVDay month() const { return m_month; }
    // Shows the month of `month` (its day is ignored; day 1 is kept).
    void setMonth(const OVDay& month);
    QString shownMonth() const { return m_month.iso(); }
    void showMonth(const QString& iso);
    void setTasks(const QList<OVTask>& tasks);

    // Day 1 of the month `months` away from `month` (the chevrons pass -1 and +1).
    static OVDay shift(const OVDay& month, int months);
    OVDay shift(int months) const { return shift(m_month, months); }

    // The header's text, e.g. "October 2026" (month name in the user's locale).
    QString title() const;
    // Empty cells before day 1, and the number of day cells.
    int leadingBlanks() const { return m_lead; }
    int dayCount() const { return m_days; }
    // The titles placed on day `day` (1-based), in placing order.
    QStringList titlesOn(int day) const;
    // What a day cell shows under its number: the first chips' titles and, when
    // more tasks fall that day, "+N more".
    QStringList cellTexts(int day) const;

    QNChromeButton* previousButton() const { return m_prev; }
    QNChromeButton* nextButton() const { return m_next; }

signals:
    // The user moved to another month (the chevrons).
    void monthChanged(const OVDay& month);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place();
    void step(int months);
    int gridHeight() const;
    double cellContentHeight(int tasks) const;
    QList<double> rowHeights() const;
    // Laid-out text for painting, made once per text (and chip width): shaping the
    // same few titles again on every paint is what a full month costs most.
    const QStaticText& chipText(const QString& title, const QFont& font, double width) const;
    const QStaticText& plainText(const QString& text, const QFont& font) const;

    OVDay m_month;
    QList<OVTask> m_tasks;
    int m_lead = 0;
    int m_days = 30;
    // Index into m_tasks of each placement, per day (index 0 = day 1).
    QList<QList<int>> m_placed;
    QNChromeButton* m_prev = nullptr;
    QNChromeButton* m_next = nullptr;
    OVLabel* m_title = nullptr;
    QWidget* m_grid = nullptr;
    mutable QHash<QString, QStaticText> m_chipTexts;
    mutable double m_chipWidth = -1;
    mutable QHash<QString, QStaticText> m_plainTexts;
};
