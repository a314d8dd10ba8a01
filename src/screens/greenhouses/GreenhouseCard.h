#pragma once
// One greenhouse on the Greenhouses screen: its name, details and notes with the
// Edit, Delete and Add Zone actions, then a row per zone (or the "No zones yet"
// line). Built from the greenhouse as one rebuild read it; it reads the zones once.
// The delete question's counts are taken when Delete is pressed.

#include "records/Greenhouse.h"

#include "kit/OVCard.h"

class AppModel;
class OVStore;
class QNChromeButton;
class ZoneRow;

class GreenhouseCard : public OVCard {
    Q_OBJECT
public:
    GreenhouseCard(const Greenhouse& house, OVStore& store, AppModel& model, QWidget* parent = nullptr);

    // Location, size and glazing, those not empty, joined with " · ".
    static QString detailsLine(const Greenhouse& house);

    const Greenhouse& greenhouse() const { return m_house; }
    QNChromeButton* editButton() const { return m_edit; }
    QNChromeButton* deleteButton() const { return m_delete; }
    QNChromeButton* addZoneButton() const { return m_addZone; }
    QList<ZoneRow*> zoneRows() const;

private:
    void askDelete();

    Greenhouse m_house;
    OVStore& m_store;
    AppModel& m_model;
    QNChromeButton* m_edit = nullptr;
    QNChromeButton* m_delete = nullptr;
    QNChromeButton* m_addZone = nullptr;
};
