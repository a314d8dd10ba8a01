#pragma once
// One plant in the Plants & Crops list: what grows, its status, how many, where, its
// days and its photo count; highlighted while an active plant's expected harvest
// day has passed. A click (or Space/Return) opens the plant editor; the context
// menu offers Edit…, Log a Harvest…, Log a Pest or Disease… and Delete….
//
// The row paints its texts itself (only the status tag is a child widget), so a list
// of thousands of plants builds quickly. It draws a copy of the plant as the list
// read it and never writes by itself:
// the menu actions set the app model's sheet, and the delete runs only after the
// user confirms. The actions capture copies, not the row, so the list may replace
// the row while a menu or question is still open.

#include "kit/OVRowBox.h"
#include "records/Harvest.h"
#include "records/OVDay.h"
#include "records/PestRecord.h"
#include "records/Plant.h"

#include <QFont>
#include <QString>
#include <QStringList>

class AppModel;
class OVStore;
class QMenu;

class PlantRow : public OVRowBox {
    Q_OBJECT
public:
    // The place text ("" when the plant has no place still found) and photo count.
    struct Facts {
        QString place;
        qint64 photoCount = 0;
        friend bool operator==(const Facts&, const Facts&) = default;
    };

    // Reads the place and photo count from the store.
    PlantRow(const Plant& plant, OVStore& store, AppModel& model, QWidget* parent = nullptr);
    // With facts the list read for all rows at once.
    PlantRow(const Plant& plant, const Facts& facts, OVStore& store, AppModel& model,
             const OVDay& today = OVDay::today(), QWidget* parent = nullptr);

    const Plant& plant() const { return m_plant; }
    const Facts& facts() const { return m_facts; }
    const OVDay& builtFor() const { return m_today; }

    // What the row shows, in the order it shows it.
    QString nameText() const { return m_plant.displayName(); }
    QString statusText() const;
    QString countText() const;     // "× 12", "" below 2
    QString placeText() const;     // "No location set" when the plant has no place
    const QStringList& dayLines() const { return m_dayLines; } // "Sown …", "Transplanted …", "Harvest …" when set
    QString photoText() const;     // the photo count, "" without photos

    // Active, with an expected harvest day before today.
    static bool overdue(const Plant& plant, const OVDay& today);
    // The records the two log actions open their editors on.
    static Harvest newHarvest(const Plant& plant, const OVDay& today = OVDay::today());
    static PestRecord newPest(const Plant& plant, const OVDay& today = OVDay::today());

    // The row's actions (also the menu's).
    void edit();
    void logHarvest();
    void logPest();
    void askDelete();
    // The context menu, deleted when it closes.
    QMenu* makeMenu();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    // Left edge of the texts, and the width the right-hand column and photo label take.
    int textLeft() const;
    int rightWidth() const;
    int line1Height() const;
    // The name's whole width, and the width it gets (elided beyond it).
    int fullNameWidth() const;
    int nameWidth() const;
    int measureRight() const;
    int measureName() const;

    Plant m_plant;
    Facts m_facts;
    OVDay m_today;
    OVStore* m_store;
    AppModel* m_model;
    QWidget* m_tag = nullptr;
    QFont m_nameFont;
    QFont m_smallFont;
    QFont m_dayFont;
    QFont m_harvestFont;
    int m_rightWidth = 0;
    QStringList m_dayLines;
    int m_nameWidth = 0;
};
