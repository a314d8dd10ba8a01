// The Seed Inventory keeps cards by packet id: a store change remakes only the cards
// whose packet or tests changed, and a long inventory is made over several event-loop
// turns without losing its order, showing a stale card, painting a card anywhere but in
// its place, or losing the grower's place across a zoom change.

#include "LookWindow.h"
#include "PlantsFixture.h"

#include "kit/KitEvents.h"
#include "kit/OVRebuilder.h"
#include "kit/OVScroll.h"
#include "screens/plants/GermTestRow.h"
#include "screens/plants/SeedCard.h"
#include "screens/plants/SeedsView.h"

#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QSet>
#include <QVBoxLayout>

#include <functional>

namespace {

QString text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Runs event-loop turns and notes every seed card that painted anywhere but in the
// place its list's settled layout gives it at the end of that turn, or over another
// card painted in the same turn.
class PaintCheck : public QObject {
public:
    PaintCheck() { qApp->installEventFilter(this); }
    ~PaintCheck() override { qApp->removeEventFilter(this); }

    void turn()
    {
        QApplication::processEvents();
        for (int i = 0; i < 4; ++i)
            QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (const auto& [card, at] : std::as_const(m_paints)) {
            if (!card)
                continue; // retired since
            const QRect place(card->mapTo(card->window(), QPoint()), card->size());
            if (at != place)
                faults.append(QStringLiteral("turn %1: %2 painted at %3, its place is %4")
                                  .arg(m_turn).arg(card->seed().crop, text(at), text(place)));
            for (const auto& [other, there] : std::as_const(m_paints))
                if (other && other != card && at.intersects(there))
                    faults.append(QStringLiteral("turn %1: %2 over %3").arg(m_turn).arg(card->seed().crop, other->seed().crop));
            painted.insert(card);
        }
        m_paints.clear();
        ++m_turn;
    }
    QStringList faults;
    QSet<const SeedCard*> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* card = qobject_cast<SeedCard*>(watched); card && event->type() == QEvent::Paint)
            m_paints.append({card, QRect(card->mapTo(card->window(), QPoint()), card->size())});
        return false;
    }

private:
    QList<std::pair<QPointer<SeedCard>, QRect>> m_paints;
    int m_turn = 0;
};

} // namespace

class SeedsReuse : public PlantsFixture {
protected:
    Seed add(const QString& crop)
    {
        Seed seed{.crop = crop};
        store->save(seed);
        return seed;
    }

    // Runs the rebuild a store change asks for and lets retired cards go.
    static void rebuilt(SeedsView& view)
    {
        view.rebuilder()->rebuildNow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QStringList crops(const SeedsView& view)
    {
        QStringList out;
        for (const SeedCard* card : view.cards())
            out.append(card->seed().crop);
        return out;
    }
};

TEST_F(SeedsReuse, OnlyTheChangedPacketsCardIsMadeAgain)
{
    Seed kale = add(QStringLiteral("Kale"));
    const Seed bean = add(QStringLiteral("Bean"));
    SeedsView view;
    ASSERT_EQ(crops(view), (QStringList{QStringLiteral("Bean"), QStringLiteral("Kale")}));
    const QPointer<SeedCard> beanCard = view.cards().at(0);
    const QPointer<SeedCard> kaleCard = view.cards().at(1);

    kale.variety = QStringLiteral("Red Russian");
    store->save(kale);
    rebuilt(view);
    EXPECT_EQ(view.cards().at(0), beanCard.data()) << "an unchanged packet keeps its card";
    EXPECT_TRUE(kaleCard.isNull()) << "the changed packet's old card is gone";
    EXPECT_EQ(view.cards().at(1)->findChild<QLabel*>(QStringLiteral("seedTitle"))->text(),
              QStringLiteral("Kale — Red Russian"));

    // A new test on a packet remakes that card with the test's row.
    GermTest test{.seedID = bean.id, .started = OVDay(2026, 3, 1), .sown = 10, .sprouted = 7};
    store->save(test);
    rebuilt(view);
    EXPECT_TRUE(beanCard.isNull());
    ASSERT_NE(view.cards().at(0)->findChild<GermTestRow*>(), nullptr);
    EXPECT_EQ(view.cards().at(0)->findChild<GermTestRow*>()->test().id, test.id);

    // A renamed packet moves to its new place in the order.
    kale.crop = QStringLiteral("Arugula");
    store->save(kale);
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(crops(view), (QStringList{QStringLiteral("Arugula"), QStringLiteral("Bean")}));

    // A search hides cards and brings the same ones back.
    const QPointer<SeedCard> arugula = view.cards().at(0);
    view.setSearch(QStringLiteral("bean"));
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(crops(view), QStringList{QStringLiteral("Bean")});
    EXPECT_TRUE(arugula->isHidden());
    view.setSearch(QString());
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(view.cards().at(0), arugula.data());
    EXPECT_FALSE(arugula->isHidden());

    store->remove<Seed>(bean.id);
    rebuilt(view);
    EXPECT_EQ(crops(view), QStringList{QStringLiteral("Arugula")});
}

TEST_F(SeedsReuse, ALongInventoryArrivesInOrderOverSeveralTurns)
{
    const int packets = SeedsView::cardsPerTurn * 2 + 5;
    for (int i = 0; i < packets; ++i)
        add(QStringLiteral("Crop %1").arg(i, 3, 10, QLatin1Char('0')));
    SeedsView view;
    EXPECT_EQ(view.cards().size(), SeedsView::cardsPerTurn);
    EXPECT_TRUE(view.emptyTitle().isEmpty()) << "packets still to come are not 'nothing'";
    for (int turn = 0; turn < 10 && view.cards().size() < packets; ++turn)
        QApplication::processEvents();
    QStringList expected;
    for (int i = 0; i < packets; ++i)
        expected.append(QStringLiteral("Crop %1").arg(i, 3, 10, QLatin1Char('0')));
    EXPECT_EQ(crops(view), expected);

    // A change while the list is complete remakes one card, not the whole turn's worth.
    Seed first = store->seeds().first();
    const QPointer<SeedCard> second = view.cards().at(1);
    first.notes = QStringLiteral("resealed");
    store->save(first);
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(view.cards().size(), packets);
    EXPECT_EQ(view.cards().at(1), second.data());
}

TEST_F(SeedsReuse, NoCardPaintsOutsideItsPlaceOnAnyTurn)
{
    const int packets = SeedsView::cardsPerTurn * 3 + 5;
    for (int i = 0; i < packets; ++i)
        add(QStringLiteral("Crop %1").arg(i, 3, 10, QLatin1Char('0')));
    // Opened in a shown window, as the program opens a screen, and painted by the event loop.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    window.resize(1000, 900);
    window.show();
    settle();
    PaintCheck check;
    auto* view = new SeedsView(&window);
    layout->addWidget(view);
    view->show();
    for (int turn = 0; turn < 20 && view->cards().size() < packets; ++turn)
        check.turn();
    ASSERT_EQ(view->cards().size(), packets);
    // A new test swaps in a taller card for its packet's.
    GermTest test{.seedID = store->seeds().at(1).id, .started = OVDay(2026, 3, 1), .sown = 10, .sprouted = 7};
    store->save(test);
    for (int turn = 0; turn < 3; ++turn)
        check.turn();

    EXPECT_TRUE(check.faults.isEmpty()) << check.faults.size() << " faults, the first: "
                                        << check.faults.mid(0, 6).join('\n').toStdString();
    ASSERT_NE(view->cards().at(1)->findChild<GermTestRow*>(), nullptr);
    EXPECT_TRUE(check.painted.contains(view->cards().at(1)));
    EXPECT_GE(check.painted.size(), 10);
}

TEST_F(SeedsReuse, TheLastCardStaysInViewAcrossAZoomChangeAndBack)
{
    const int packets = SeedsView::cardsPerTurn * 5;
    for (int i = 0; i < packets; ++i)
        add(QStringLiteral("Crop %1").arg(i, 3, 10, QLatin1Char('0')));
    const QString last = QStringLiteral("Crop %1").arg(packets - 1, 3, 10, QLatin1Char('0'));
    // Sized for the larger zoom, so the window never scrolls, only the page.
    testsupport::LookWindow look(Screen::seeds, 1.25);
    const auto view = [&] { return qobject_cast<SeedsView*>(look.window->mainWindow()->screenHost()->current()); };
    const auto lastInView = [&] {
        const QList<SeedCard*> cards = view()->cards();
        const QWidget* viewport = look.page()->scroll()->viewport();
        return !cards.isEmpty() && cards.last()->seed().crop == last &&
               viewport->rect().contains(QRect(cards.last()->mapTo(viewport, QPoint()), cards.last()->size()));
    };
    for (int turn = 0; turn < 20 && view()->cards().size() < packets; ++turn)
        QApplication::processEvents();
    QScrollBar* bar = look.page()->scroll()->verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_TRUE(lastInView());

    for (const double zoom : {1.0, 1.25}) {
        const SeedsView* old = view();
        QNZoom::setValue(zoom);
        emit KitEvents::shared().zoomChanged();
        for (int turn = 0; turn < 20 && (view() == old || view()->cards().size() < packets); ++turn) {
            QApplication::processEvents();
            // From the new screen's first turn on: no jump on the way.
            if (view() != old) {
                EXPECT_TRUE(lastInView()) << "zoom " << zoom << ", turn " << turn;
            }
        }
        ASSERT_NE(view(), old);
        ASSERT_EQ(view()->cards().size(), packets);
        EXPECT_TRUE(lastInView()) << "zoom " << zoom;
    }
}

// Across a zoom change the place is the packet at the top of the view and the offset
// into its card in points: 40 px into a card at 1.0 is 50 px into it at 1.25, and 40 px
// again back at 1.0. A scroll of the grower's while the cards above are still coming
// is theirs to keep: once the list is whole, the card then at the top is where they
// left it, not back where the zoom change put it.
TEST_F(SeedsReuse, TheGrowersPlaceIsKeptInPointsAndFollowsTheirScroll)
{
    const int packets = SeedsView::cardsPerTurn * 5;
    for (int i = 0; i < packets; ++i)
        add(QStringLiteral("Crop %1").arg(i, 3, 10, QLatin1Char('0')));
    const QString thirtieth = QStringLiteral("Crop 030");
    testsupport::LookWindow look(Screen::seeds, 1.25);
    const auto view = [&] { return qobject_cast<SeedsView*>(look.window->mainWindow()->screenHost()->current()); };
    QScrollBar* bar = nullptr;
    const auto top = [&](const SeedCard* card) { return card->mapTo(look.page()->scroll()->widget(), QPoint()).y(); };
    const auto cardOf = [&](const QString& crop) -> SeedCard* {
        for (SeedCard* card : view()->cards())
            if (card->seed().crop == crop)
                return card;
        return nullptr;
    };
    // The card at the top of the view and how far the view is into it.
    const auto atTop = [&]() -> std::pair<QString, int> {
        for (const SeedCard* card : view()->cards())
            if (top(card) + card->height() > bar->value())
                return {card->seed().crop, bar->value() - top(card)};
        return {};
    };
    // Changes the zoom; `firstTurn` runs once the new screen has had its first turn.
    const auto zoomTo = [&](double zoom, const std::function<void()>& firstTurn) {
        const SeedsView* old = view();
        QNZoom::setValue(zoom);
        emit KitEvents::shared().zoomChanged();
        for (int turn = 0; turn < 5 && view() == old; ++turn)
            QApplication::processEvents();
        ASSERT_NE(view(), old);
        bar = look.page()->scroll()->verticalScrollBar();
        if (firstTurn)
            firstTurn();
        for (int turn = 0; turn < 20 && view()->cards().size() < packets; ++turn)
            QApplication::processEvents();
        ASSERT_EQ(view()->cards().size(), packets);
        testsupport::LookWindow::settle();
    };

    zoomTo(1.0, nullptr);
    bar->setValue(top(cardOf(thirtieth)) + 40);
    ASSERT_EQ(atTop(), std::make_pair(thirtieth, 40));
    zoomTo(1.25, nullptr);
    EXPECT_EQ(atTop(), std::make_pair(thirtieth, 50));
    zoomTo(1.0, nullptr);
    EXPECT_EQ(atTop(), std::make_pair(thirtieth, 40));

    std::pair<QString, int> theirs;
    zoomTo(1.25, [&] {
        ASSERT_GT(view()->cards().size(), 0);
        ASSERT_LT(view()->cards().size(), packets) << "the cards above are still to come";
        bar->setValue(bar->value() + 300);
        theirs = atTop();
    });
    EXPECT_NE(theirs.first, thirtieth);
    EXPECT_EQ(atTop(), theirs);
}
