#pragma once
// One zone inside a greenhouse card: the zone's name with its newest air
// temperature, a line summing up its alert ranges, and its beds and benches as chips
// that wrap (with the "Bed" and "Bench" add buttons after them). The row holds no
// records of its own: it reads the newest reading and the spots when it is built and
// changes the store only through the zone delete, after the user confirmed. The card
// builds rows anew on every rebuild; actions never touch the row after they ran, so
// a row may be replaced while its question is still open.

#include "records/Zone.h"

#include "kit/OVRowBox.h"

class AppModel;
class FlowLayout;
class OVStore;
class QNChromeButton;

class ZoneRow : public OVRowBox {
    Q_OBJECT
public:
    ZoneRow(const Zone& zone, OVStore& store, AppModel& model, QWidget* parent = nullptr);

    // "Alerts: Air 60°F to 85°F · RH 50% to 85%", or the no-ranges line.
    static QString limitsText(const Zone& zone);

    const Zone& zone() const { return m_zone; }
    QNChromeButton* editButton() const { return m_edit; }
    QNChromeButton* climateButton() const { return m_climate; }
    QNChromeButton* deleteButton() const { return m_delete; }
    QNChromeButton* addBedButton() const { return m_addBed; }
    QNChromeButton* addBenchButton() const { return m_addBench; }
    FlowLayout* chips() const { return m_chips; }

private:
    void askDelete();

    Zone m_zone;
    OVStore& m_store;
    AppModel& m_model;
    QNChromeButton* m_edit = nullptr;
    QNChromeButton* m_climate = nullptr;
    QNChromeButton* m_delete = nullptr;
    QNChromeButton* m_addBed = nullptr;
    QNChromeButton* m_addBench = nullptr;
    FlowLayout* m_chips = nullptr;
};
