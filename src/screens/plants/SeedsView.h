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
// The place in view is kept by packet, not as the page's scroll position (the place
// property: the card at the top of the view and how far into it in points, or the
// list's end). After a zoom or theme change the new screen makes the cards from that
// packet on first, then the rest from the top, and holds that card where it was while
// the cards above it arrive, so the same cards are in view from its first turn however
// far down the list; once the grower scrolls, their new place is held instead.
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
#include <QVariant>
#include <QWidget>

#include <optional>

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
    // The place in view, kept across a zoom or theme change (OVViewState::keep): the
    // packet id, the offset into its card and whether the view is at the list's end
    // ("packet", "offset", "end"); none at the top.
    Q_PROPERTY(QVariant place READ place WRITE setPlace)

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
    QVariant place() const;
    // Brings that packet's card to the same place in view once it is made; the cards
    // from it on are made first.
    void setPlace(const QVariant& place);
    // Cards made per event-loop turn: more than a tall window shows.
    static constexpr int cardsPerTurn = 12;

    // For tests: what the screen shows.
    QList<SeedCard*> cards() const;
    QString emptyTitle() const { return m_emptyTitle; }
    QNSearchField* searchField() const { return m_searchField; }

private:
    // How far the top of the view is below the top of a packet's card, in points; or,
    // with the whole list made, at its end (the end stays in view at any zoom, though
    // fewer cards fit above it when the cards grow).
    struct Place {
        qint64 seedID = 0;
        double offset = 0;
        bool atEnd = false;
    };
    // Makes, reuses, shows and orders this turn's cards; true while cards are still to come.
    bool placeCards(bool sameLook);
    // The place the view shows now; none at the top or without cards.
    std::optional<Place> placeInView() const;
    // Scrolls so the kept place's card is where it was; forgets the place once `done`.
    void keepPlace(bool done);

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
    bool m_complete = false; // every card the search lists is made and shown
    // While cards are still to come: the place to keep in view, the scroll value it was
    // last given (another value means the grower scrolled), and the packet whose card and
    // those after it are made before the ones above.
    std::optional<Place> m_place;
    std::optional<int> m_placedAt;
    std::optional<qint64> m_buildFrom;
    OVRebuilder* m_rebuilder = nullptr;
};
