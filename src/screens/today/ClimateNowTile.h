#pragma once
// One zone in the Today screen's climate grid: the zone's name, the air temperature,
// humidity and soil moisture of its newest reading (each in the alert colour when an
// alert of that reading is for it), when that reading was taken, and one wrapping
// line per value of the reading outside the zone's alert range. Highlighted when
// there is such a line. The whole tile is the button: a click (or Space/Return with
// focus) emits clicked(); it holds no other controls.
//
// The tile shows the values it was built with and never re-reads the store.

#include "kit/OVRowBox.h"
#include "records/Metric.h"
#include "records/Reading.h"
#include "records/Zone.h"
#include "services/ClimateAlert.h"

#include <QList>
#include <optional>

class OVLabel;

class ClimateNowTile : public OVRowBox {
    Q_OBJECT
public:
    // The three metrics a tile shows, in order.
    static const QList<Metric>& shownMetrics();

    ClimateNowTile(const Zone& zone, const QString& title, const std::optional<Reading>& latest,
                   QWidget* parent = nullptr);

    qint64 zoneID() const { return m_zoneID; }
    QString title() const { return m_title; }
    const QList<ClimateAlert>& alerts() const { return m_alerts; }
    // The value labels, in shown-metric order, and whether each is in the alert colour.
    const QList<OVLabel*>& valueLabels() const { return m_values; }
    const QList<bool>& alerting() const { return m_alerting; }
    // The alert lines as shown (in the unit of the moment the tile was built).
    const QStringList& alertLines() const { return m_alertLines; }

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    qint64 m_zoneID;
    OVLabel* m_name = nullptr;
    QString m_title;
    QList<ClimateAlert> m_alerts;
    QList<OVLabel*> m_values;
    QList<bool> m_alerting;
    QStringList m_alertLines;
    bool m_pressed = false;
};
