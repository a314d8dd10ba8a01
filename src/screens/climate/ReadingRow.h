#pragma once
// One climate reading in the Climate screen's list: when it was taken, each value it
// holds (short label, value and unit), a "CSV" tag for imported readings and an
// "Edit" button. Values outside the zone's alert range are heavy and orange, and the
// whole row is highlighted when any value alerts. It shows only; "Edit" opens the
// reading editor on the reading as it was read.

#include "records/Reading.h"
#include "records/Zone.h"

#include "kit/OVRowBox.h"

class AppModel;
class OVLabel;
class QNChromeButton;

class ReadingRow : public OVRowBox {
    Q_OBJECT
public:
    ReadingRow(const Reading& reading, const Zone& zone, AppModel& model, QWidget* parent = nullptr);

    const Reading& reading() const { return m_reading; }
    // The value texts, in metric order ("Air 72°F", "RH 65%", …).
    QList<OVLabel*> valueLabels() const { return m_values; }
    // Whether the value label at that position is drawn as alerting.
    bool alerting(int index) const { return m_alerting.value(index); }
    bool hasCSVTag() const { return m_csvTag; }
    QNChromeButton* editButton() const { return m_edit; }

private:
    Reading m_reading;
    QList<OVLabel*> m_values;
    QList<bool> m_alerting;
    bool m_csvTag = false;
    QNChromeButton* m_edit = nullptr;
};
