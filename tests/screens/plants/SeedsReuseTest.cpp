// The Seed Inventory keeps cards by packet id: a store change remakes only the cards
// whose packet or tests changed, and a long inventory is made over several event-loop
// turns without losing its order or showing a stale card.

#include "PlantsFixture.h"

#include "kit/OVRebuilder.h"
#include "screens/plants/GermTestRow.h"
#include "screens/plants/SeedCard.h"
#include "screens/plants/SeedsView.h"

#include <QLabel>
#include <QPointer>

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
