#pragma once
// A check box titled with the label and, while a day is set, a date field. Ticking
// sets today; unticking clears the day; ticking again gives today, not the old day.
// `changed` fires on the user's changes only.

#include "records/OVDay.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class OVDayPicker;

class OVOptionalDayPicker : public QWidget {
    Q_OBJECT
public:
    OVOptionalDayPicker(const QString& label, const std::optional<OVDay>& day,
                        QWidget* parent = nullptr);

    std::optional<OVDay> day() const;
    void setDay(const std::optional<OVDay>& day);
    QCheckBox* checkBox() const { return m_check; }

signals:
    void changed();

private:
    QCheckBox* m_check = nullptr;
    OVDayPicker* m_picker = nullptr;
};
