#include "kit/OVDayPicker.h"

#include "kit/KitMetrics.h"

OVDayPicker::OVDayPicker(const OVDay& day, QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setFont(KitMetrics::font(13));
    setDay(day);
    connect(this, &QDateEdit::userDateChanged, this, [this] { emit changed(); });
}

OVDay OVDayPicker::day() const
{
    const QDate d = date();
    return OVDay(d.year(), d.month(), d.day());
}

void OVDayPicker::setDay(const OVDay& day)
{
    const QSignalBlocker blocker(this);
    QDate d(int(day.year), day.month, day.day);
    if (!d.isValid())
        d = QDate::currentDate();
    setDate(d);
}
