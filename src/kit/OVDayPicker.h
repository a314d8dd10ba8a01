#pragma once
// A date field bound to a calendar day (no time, so no daylight-saving trap).
// `changed` fires when the user picks a day, never when setDay fills it.

#include "records/OVDay.h"

#include <QDateEdit>

class OVDayPicker : public QDateEdit {
    Q_OBJECT
public:
    explicit OVDayPicker(const OVDay& day, QWidget* parent = nullptr);

    OVDay day() const;
    void setDay(const OVDay& day);

signals:
    void changed();
};
