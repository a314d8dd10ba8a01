#pragma once
// A planting whose harvest is near, as a Today screen row: its name, the expected
// day ("was due <day>" once past, highlighted then) and "Log harvest", which opens
// the harvest editor on a new harvest of that plant dated `today`.

#include "kit/OVRowBox.h"
#include "records/OVDay.h"
#include "records/Plant.h"

class AppModel;
class QNChromeButton;

class HarvestSoonRow : public OVRowBox {
    Q_OBJECT
public:
    HarvestSoonRow(const Plant& plant, const OVDay& today, AppModel& model, QWidget* parent = nullptr);

    // "", "<day>" or "was due <day>".
    static QString dateText(const Plant& plant, const OVDay& today);

    const Plant& plant() const { return m_plant; }
    QString shownDate() const { return m_date; }
    QNChromeButton* logButton() const { return m_log; }

private:
    Plant m_plant;
    QString m_date;
    QNChromeButton* m_log = nullptr;
};
