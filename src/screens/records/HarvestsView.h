#pragma once
// The Harvests screen: this calendar year's yield per crop as a grid of cells, and
// the newest 200 pickings as rows that open the harvest editor; an export of every
// harvest and the way into logging a new one. The screen never writes.
//
// The page is built once; both cards are built anew, deferred and coalesced, on the
// store's revision and only while the screen is visible. Each rebuild reads the
// harvests afresh and takes the current year anew; each plant's variety is looked up
// once per rebuild.

#include <QList>
#include <QWidget>

class AppModel;
class HarvestRow;
class OVCard;
class OVPage;
class OVRebuilder;
class OVStore;
class QNChromeButton;
struct YieldRow;

class HarvestsView : public QWidget {
    Q_OBJECT
public:
    // At most this many harvests are listed, newest first.
    static constexpr int listLimit = 200;

    // Over OVStore::shared(), which must be open, and AppModel::shared().
    explicit HarvestsView(QWidget* parent = nullptr);
    HarvestsView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    // A yield cell's weight line: "12.50 lb", with " · 6 counted" when items were counted.
    static QString weightText(const YieldRow& row);

    OVPage* page() const { return m_page; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }
    QNChromeButton* exportButton() const { return m_export; }
    QNChromeButton* addButton() const { return m_add; }
    // The cards of the latest rebuild.
    OVCard* yearCard() const { return m_yearCard; }
    OVCard* listCard() const { return m_listCard; }
    QList<HarvestRow*> rows() const;

private:
    void rebuild();

    OVStore& m_store;
    AppModel& m_model;
    OVPage* m_page = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
    QNChromeButton* m_export = nullptr;
    QNChromeButton* m_add = nullptr;
    QWidget* m_content = nullptr;
    OVCard* m_yearCard = nullptr;
    OVCard* m_listCard = nullptr;
    QWidget* m_rows = nullptr;
};
