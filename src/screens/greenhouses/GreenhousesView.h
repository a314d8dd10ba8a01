#pragma once
// The Greenhouses screen: every greenhouse as a card with its zones, beds and
// benches, with export and add in the header. The page (header and buttons) is built
// once; the cards are built anew, deferred and coalesced, whenever the store's
// revision rises or the app model announces a change, and only while the screen is
// visible. The view keeps no records between rebuilds: every rebuild re-reads the
// greenhouses and, per card, the zones.

#include <QWidget>

class AppModel;
class GreenhouseCard;
class OVPage;
class OVRebuilder;
class OVStore;
class QNChromeButton;

class GreenhousesView : public QWidget {
    Q_OBJECT
public:
    // Over OVStore::shared(), which must be open, and AppModel::shared().
    explicit GreenhousesView(QWidget* parent = nullptr);
    GreenhousesView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    OVPage* page() const { return m_page; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }
    QNChromeButton* exportButton() const { return m_export; }
    QNChromeButton* addButton() const { return m_add; }
    // The widget holding the cards of the latest rebuild.
    QWidget* list() const { return m_list; }
    QList<GreenhouseCard*> cards() const;

private:
    void rebuild();
    void exportCSV();

    OVStore& m_store;
    AppModel& m_model;
    OVPage* m_page = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
    QNChromeButton* m_export = nullptr;
    QNChromeButton* m_add = nullptr;
    QWidget* m_list = nullptr;
};
