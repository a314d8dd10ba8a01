#pragma once
// The content of the Today screen's "Climate right now" card: one ClimateNowTile per
// zone of every greenhouse (greenhouse id, then zone name ignoring case), in as many
// columns of at least 190 points as fit, or the hint to add a zone when there is
// none. A tile click shows the Climate screen on that zone.
//
// Built from the store once, when constructed; it does not follow the store itself:
// the Today screen builds a new grid on each of its rebuilds, so a store change
// costs the screen exactly one rebuild.

#include <QWidget>

class AppModel;
class ClimateNowTile;
class OVStore;

class ClimateNowGrid : public QWidget {
    Q_OBJECT
public:
    // Over OVStore::shared(), which must be open, and AppModel::shared().
    explicit ClimateNowGrid(QWidget* parent = nullptr);
    ClimateNowGrid(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    static QString emptyText();

    QList<ClimateNowTile*> tiles() const { return m_tiles; }
    // True when the hint is shown (no zones).
    bool showsHint() const { return m_hint; }

private:
    void open(qint64 zoneID);

    AppModel& m_model;
    QList<ClimateNowTile*> m_tiles;
    bool m_hint = false;
};
