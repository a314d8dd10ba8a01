#pragma once
// The Seed Inventory screen: one card per seed packet, narrowed by a search box, each
// with the packet's facts, its newest germination rate and one row per test, and the
// buttons that edit the packet, start a plant or a germination test from it, and
// edit or delete a test. Export CSV and Add Seed Packet sit in the header.
//
// The page and the search box are built once; the list is rebuilt, coalesced, after
// every store change and search edit. Packets and tests are read in two queries,
// only when the store changed; a card is kept by packet id and reused while its
// packet, tests and look are unchanged, so a rebuild makes only the cards that differ.
// At most cardsPerTurn cards are made per event-loop turn: the first screenful shows
// at once and the rest of a long inventory follows on the next turns, in order. Every
// turn is laid out before it can paint, so no card is ever drawn outside its place.
//
// The screen writes the store only through a confirmed test delete; everything else
// opens an editor sheet. The export always writes every packet, whatever the search
// shows.

#include "records/GermTest.h"
#include "records/OVDay.h"
#include "records/Plant.h"
#include "records/Seed.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include "kit/BuiltLook.h"

class AppModel;
class OVPage;
class OVRebuilder;
class OVStore;
class QNSearchField;
class ReferenceLibrary;
class SeedCard;

class SeedsView : public QWidget {
    Q_OBJECT
public:
    // On OVStore::shared() (which must be open) and AppModel::shared().
    explicit SeedsView(QWidget* parent = nullptr);
    SeedsView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    // The packet's crop, variety, supplier and lot joined with blanks contain the
    // search (exactly as typed, ignoring case); an empty search passes every packet.
    static bool matches(const Seed& seed, const QString& search);
    // The new, unsaved plant "Plant From This Seed" opens the plant editor on.
    static Plant plantFrom(const Seed& seed, const ReferenceLibrary& library, const OVDay& today = OVDay::today());
    // The new, unsaved test "Germination Test" opens its editor on.
    static GermTest newTest(const Seed& seed, const OVDay& today = OVDay::today());

    void setSearch(const QString& text);
    const QString& search() const { return m_search; }

    // The screen's actions; the cards' buttons call them.
    void exportCSV();
    void addSeed();
    void editSeed(const Seed& seed);
    void plantFromSeed(const Seed& seed);
    void addTest(const Seed& seed);
    void editTest(const GermTest& test);
    void deleteTest(const GermTest& test);

    void rebuild();
    OVRebuilder* rebuilder() const { return m_rebuilder; }
    // Cards made per event-loop turn: more than a tall window shows.
    static constexpr int cardsPerTurn = 12;

    // For tests: what the screen shows.
    QList<SeedCard*> cards() const;
    QString emptyTitle() const { return m_emptyTitle; }
    QNSearchField* searchField() const { return m_searchField; }

private:
    // Makes, reuses, shows and orders this turn's cards; true while cards are still to come.
    bool placeCards(bool sameLook);

    OVStore& m_store;
    AppModel& m_model;
    QString m_search;
    OVPage* m_page = nullptr;
    QNSearchField* m_searchField = nullptr;
    QWidget* m_list = nullptr;
    QWidget* m_empty = nullptr;
    QString m_emptyTitle;
    // What a card was made from; a card is reused only while all of it is unchanged.
    struct CardSource {
        Seed seed;
        QList<GermTest> tests;
        friend bool operator==(const CardSource&, const CardSource&) = default;
    };
    QList<CardSource> m_sources; // as read at m_readAt
    qint64 m_readAt = -1;
    BuiltLook m_look;
    QHash<qint64, std::pair<CardSource, SeedCard*>> m_cards;
    QList<SeedCard*> m_shown;
    QString m_readFailure; // the reason the last read failed; "" when it did not
    QString m_emptyKey;    // what m_empty says
    QList<QWidget*> m_order; // the list's layout, in order
    bool m_continuing = false;
    OVRebuilder* m_rebuilder = nullptr;
};
