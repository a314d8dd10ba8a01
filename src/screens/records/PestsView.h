#pragma once
// The Pests & Diseases screen: every logged problem, newest first, in one card,
// with a switch that hides resolved ones, an export of all records and the way
// into logging a new one. Rows open the pest editor through the app model's sheet;
// the screen never writes.
//
// The page, the switch and the card are built once; the list is rebuilt, deferred
// and coalesced, on the store's revision and on the switch, and only while the
// screen is visible. Records are read again only when the store changed, looking
// every plant and zone up once however many records name it; a row is kept by
// record id and reused while its record, place names and look are unchanged, so a
// rebuild over thousands of records makes only the rows that differ.

#include <QHash>
#include <QList>
#include <QWidget>

#include "kit/BuiltLook.h"

#include "records/PestRecord.h"

class AppModel;
class OVCard;
class OVPage;
class OVRebuilder;
class OVStore;
class PestRow;
class QCheckBox;
class QNChromeButton;

class PestsView : public QWidget {
    Q_OBJECT
public:
    // Over OVStore::shared(), which must be open, and AppModel::shared().
    explicit PestsView(QWidget* parent = nullptr);
    PestsView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    bool showResolved() const;
    void setShowResolved(bool on);

    OVPage* page() const { return m_page; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }
    QNChromeButton* exportButton() const { return m_export; }
    QNChromeButton* addButton() const { return m_add; }
    QCheckBox* resolvedSwitch() const { return m_showResolved; }
    // The list of the latest rebuild: its rows, or its empty state.
    QWidget* list() const { return m_list; }
    QList<PestRow*> rows() const;

private:
    void rebuild();
    void readRecords();

    // What a row was made from; a row is reused only while all of it is unchanged.
    struct RowSource {
        PestRecord record;
        QString plantName;
        QString zoneName;
        friend bool operator==(const RowSource&, const RowSource&) = default;
    };

    OVStore& m_store;
    AppModel& m_model;
    OVPage* m_page = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
    QNChromeButton* m_export = nullptr;
    QNChromeButton* m_add = nullptr;
    QCheckBox* m_showResolved = nullptr;
    OVCard* m_card = nullptr;
    QWidget* m_list = nullptr;
    QWidget* m_empty = nullptr;
    QList<RowSource> m_sources; // newest first, as read at m_readAt
    qint64 m_readAt = -1;
    BuiltLook m_look;
    QHash<qint64, std::pair<RowSource, PestRow*>> m_rows;
    QList<PestRow*> m_shown;
    QString m_readFailure; // the reason the last read failed; "" when it did not
    QString m_emptyKey;    // what m_empty says
    QList<QWidget*> m_order; // the list's layout, in order
};
