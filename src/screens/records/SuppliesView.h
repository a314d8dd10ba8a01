#pragma once
// The Supplies & Costs screen: this calendar year's spending in total and per
// category, a search over the costs, and the newest 300 matching costs as rows that
// open the cost editor; an export of every cost and the way into adding one. The
// screen never writes.
//
// The page and the search box are built once. The year card is rebuilt on the
// store's revision only (the search never narrows it); the list card on the revision
// and on every edit of the search, deferred and coalesced, only while visible.
// Only what is shown is read: this year's entries for the year card and, without a
// search, the newest 300. A search looks at every entry: those and their search texts
// are read once per store revision (at the latest when the search box takes focus)
// and reused by the keystrokes in between, so typing does not query the store.

#include "records/LedgerEntry.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class AppModel;
class LedgerRow;
class OVCard;
class OVPage;
class OVRebuilder;
class OVStore;
class QNChromeButton;
class QNSearchField;

class SuppliesView : public QWidget {
    Q_OBJECT
public:
    // At most this many costs are listed.
    static constexpr int listLimit = 300;

    // Over OVStore::shared(), which must be open, and AppModel::shared().
    explicit SuppliesView(QWidget* parent = nullptr);
    SuppliesView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    // The text a search looks in: item, vendor, crop and the category's name, one
    // blank between neighbours.
    static QString searchText(const LedgerEntry& entry);
    // Whether the entry passes the search (an empty search passes everything).
    static bool matches(const QString& haystack, const QString& search);

    OVPage* page() const { return m_page; }
    QNChromeButton* exportButton() const { return m_export; }
    QNChromeButton* addButton() const { return m_add; }
    QNSearchField* searchField() const { return m_search; }
    OVRebuilder* yearRebuilder() const { return m_yearRebuilder; }
    OVRebuilder* listRebuilder() const { return m_listRebuilder; }
    // The cards of the latest rebuilds.
    OVCard* yearCard() const { return m_yearCard; }
    OVCard* listCard() const { return m_listCard; }
    QList<LedgerRow*> rows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Re-reads the entries when the store's revision moved since the last read.
    void refresh();
    void rebuildYear();
    void rebuildList();

    OVStore& m_store;
    AppModel& m_model;
    OVPage* m_page = nullptr;
    QNChromeButton* m_export = nullptr;
    QNChromeButton* m_add = nullptr;
    QNSearchField* m_search = nullptr;
    OVRebuilder* m_yearRebuilder = nullptr;
    OVRebuilder* m_listRebuilder = nullptr;
    OVCard* m_yearCard = nullptr;
    OVCard* m_listCard = nullptr;
    QWidget* m_yearHolder = nullptr;
    QWidget* m_listHolder = nullptr;
    QList<LedgerEntry> m_entries;
    QStringList m_haystacks;
    std::optional<qint64> m_readRevision;
};
