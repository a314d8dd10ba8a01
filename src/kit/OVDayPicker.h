#pragma once
// A date field bound to a calendar day (no time, so no daylight-saving trap), on the
// same dark rounded field as the text boxes. `changed` fires when the user picks a
// day (also the same day again), never when setDay fills it. A day the calendar
// cannot show (an impossible date) shows today while day() keeps returning the bound
// day, until the user picks one.

#include "records/OVDay.h"

#include <QDateEdit>

class OVDayPicker : public QDateEdit {
    Q_OBJECT
public:
    explicit OVDayPicker(const OVDay& day, QWidget* parent = nullptr);

    OVDay day() const { return m_day; }
    void setDay(const OVDay& day);

    QSize sizeHint() const override;

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void clearBase();

    OVDay m_day;
    bool m_justPicked = false;
};
