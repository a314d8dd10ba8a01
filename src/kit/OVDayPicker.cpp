#include "kit/OVDayPicker.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

OVDayPicker::OVDayPicker(const OVDay& day, QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setFrame(false);
    setFont(KitMetrics::font(13));
    setMinimumHeight(KitMetrics::px(30));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    lineEdit()->setTextMargins(KitMetrics::px(8), 0, 0, 0);
    clearBase();
    setDay(day);
    // userDateChanged follows typing and the calendar, never setDate from code
    // (setDay blocks signals anyway).
    connect(this, &QDateEdit::userDateChanged, this, [this](const QDate& d) {
        m_day = OVDay(d.year(), d.month(), d.day());
        m_justPicked = true;
        QTimer::singleShot(0, this, [this] { m_justPicked = false; });
        emit changed();
    });
    // Clicking the day already shown in the calendar changes no date (so no signal
    // above) but is a pick all the same. A click on another day has just signalled
    // through the date change, in the same call.
    connect(calendarWidget(), &QCalendarWidget::clicked, this, [this] {
        if (!m_justPicked)
            emit changed();
        m_justPicked = false;
    });
}

void OVDayPicker::setDay(const OVDay& day)
{
    m_day = day;
    const QSignalBlocker blocker(this);
    QDate d(int(day.year), day.month, day.day);
    if (!d.isValid())
        d = QDate::currentDate();
    setDate(d);
}

QSize OVDayPicker::sizeHint() const
{
    // Room for the text's inset from the rounded edge.
    return QDateEdit::sizeHint() + QSize(KitMetrics::px(12), 0);
}

void OVDayPicker::clearBase()
{
    QPalette pal = palette();
    if (pal.color(QPalette::Base) == QColor(Qt::transparent))
        return;
    pal.setColor(QPalette::Base, Qt::transparent);
    setPalette(pal);
}

void OVDayPicker::changeEvent(QEvent* event)
{
    QDateEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        clearBase();
}

void OVDayPicker::paintEvent(QPaintEvent* event)
{
    {
        QPainter p(this);
        KitPaint::field(p, rect(), KitMetrics::pxF(10), KitMetrics::pxF(1));
    }
    QDateEdit::paintEvent(event);
}
