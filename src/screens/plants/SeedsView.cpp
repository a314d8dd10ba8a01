#include "screens/plants/SeedsView.h"

#include "kit/HeaderActions.h"
#include "kit/KitMetrics.h"
#include "kit/LayoutSync.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVEmpty.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/OVScroll.h"
#include "kit/OVViewState.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "screens/plants/SeedCard.h"
#include "services/TableExport.h"
#include "services/AppModel.h"
#include "services/ReferenceLibrary.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

SeedsView::SeedsView(QWidget* parent) : SeedsView(*OVStore::shared(), AppModel::shared(), parent) {}

SeedsView::SeedsView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(Screen::seeds, QStringLiteral("Seed packets on hand, where they came from, how much is left, "
                                                      "and germination tests so you know what still sprouts."));
    outer->addWidget(m_page);

    const HeaderActions::Buttons header =
        HeaderActions::add(m_page, m_store, 2, QStringLiteral("Add Seed Packet"));
    connect(header.addButton, &QPushButton::clicked, this, &SeedsView::addSeed);

    auto* bar = new QHBoxLayout;
    m_searchField = new QNSearchField(QStringLiteral("Search seeds"));
    m_searchField->setMaximumWidth(KitMetrics::px(320));
    bar->addWidget(m_searchField, 1);
    bar->addStretch(0);
    m_page->content()->addLayout(bar);
    connect(m_searchField, &QNSearchField::textChanged, this, &SeedsView::setSearch);

    // The place is kept by packet, not as the scroll area's position (see the header).
    OVViewState::keep(this, "place");
    OVViewState::leaveScroll(m_page->scroll());

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    m_rebuilder->rebuildNow();
}

bool SeedsView::matches(const Seed& seed, const QString& search)
{
    if (search.isEmpty())
        return true;
    const QString text = seed.crop + QLatin1Char(' ') + seed.variety + QLatin1Char(' ') + seed.supplier +
                         QLatin1Char(' ') + seed.lot;
    return text.contains(search, Qt::CaseInsensitive);
}

Plant SeedsView::plantFrom(const Seed& seed, const ReferenceLibrary& library, const OVDay& today)
{
    QStringList source;
    if (!seed.supplier.isEmpty())
        source.append(seed.supplier);
    if (!seed.lot.isEmpty())
        source.append(QStringLiteral("lot ") + seed.lot);
    Plant plant;
    plant.crop = seed.crop;
    plant.variety = seed.variety;
    plant.source = source.join(QStringLiteral(", "));
    if (const auto crop = library.match(seed.crop))
        plant.refCropID = crop->id;
    plant.sowDate = today;
    plant.status = PlantStatus::germinating;
    plant.quantity = 1;
    return plant;
}

GermTest SeedsView::newTest(const Seed& seed, const OVDay& today)
{
    return GermTest{.seedID = seed.id, .started = today, .sown = 10, .sprouted = 0};
}

void SeedsView::setSearch(const QString& text)
{
    m_search = text;
    if (m_searchField->text() != text) {
        const QSignalBlocker blocker(m_searchField);
        m_searchField->setText(text);
    }
    m_rebuilder->schedule();
}

void SeedsView::exportCSV() { TableExport::start(m_store, 2); }

void SeedsView::addSeed() { m_model.setSheet(EditSheet(Seed())); }

void SeedsView::editSeed(const Seed& seed) { m_model.setSheet(EditSheet(seed)); }

void SeedsView::plantFromSeed(const Seed& seed)
{
    m_model.setSheet(EditSheet(plantFrom(seed, ReferenceLibrary::shared())));
}

void SeedsView::addTest(const Seed& seed) { m_model.setSheet(EditSheet(newTest(seed))); }

void SeedsView::editTest(const GermTest& test) { m_model.setSheet(EditSheet(test)); }

void SeedsView::deleteTest(const GermTest& test)
{
    AppModel* model = &m_model;
    OVStore* store = &m_store;
    const qint64 id = test.id;
    m_model.askDelete(QStringLiteral("this germination test"), QString(),
                      [model, store, id] { model->act([store, id] { store->remove<GermTest>(id); }); });
}

void SeedsView::rebuild()
{
    if (m_readAt != m_store.revision()) {
        const OVStore::ReadWatch reads(m_store);
        const QHash<qint64, QList<GermTest>> tests = m_store.germTestsBySeed();
        m_sources.clear();
        for (const Seed& seed : m_store.seeds())
            m_sources.append(CardSource{seed, tests.value(seed.id)});
        // A failed read is tried again at the next rebuild.
        m_readFailure = reads.failed() ? reads.reason() : QString();
        m_readAt = reads.failed() ? -1 : m_store.revision();
    }
    // Read before the look changes: the cards shown are still those of m_look.
    if (m_place && m_placedAt && m_page->scroll()->verticalScrollBar()->value() != *m_placedAt)
        m_place = placeInView(); // the grower scrolled meanwhile: theirs is the place now
    const BuiltLook look = BuiltLook::now();
    const bool sameLook = look == m_look;
    if (!sameLook && !m_cards.isEmpty()) {
        // Every card is made anew, over several turns: the place follows its packet.
        if (!m_place)
            m_place = placeInView();
        m_placedAt.reset();
        m_buildFrom = m_place ? std::optional(m_place->seedID) : std::nullopt;
    }
    m_look = look;
    if (!m_list) {
        m_list = new QWidget;
        auto* col = new QVBoxLayout(m_list);
        col->setContentsMargins(0, 0, 0, 0);
        col->setSpacing(KitMetrics::px(16));
        m_page->content()->addWidget(m_list);
    }
    bool more = false;
    {
        const LayoutSync::Hold hold(m_list->layout());
        more = placeCards(sameLook);
    }
    LayoutSync::settle(m_list);
    if (more && !m_continuing) {
        m_continuing = true;
        QTimer::singleShot(0, this, [this] {
            m_continuing = false;
            rebuild();
        });
    }
    m_complete = !more;
    if (!more)
        m_buildFrom.reset();
    keepPlace(!more);
}

bool SeedsView::placeCards(bool sameLook)
{
    // Cards no longer wanted go on the next event-loop turn: one may hold the button
    // whose click asked for this rebuild.
    const auto retire = [](QWidget* card) {
        card->hide();
        card->deleteLater();
    };
    // The cards from m_buildFrom on are made first, then those above it.
    qsizetype from = 0;
    if (m_buildFrom) {
        const auto at = std::find_if(m_sources.cbegin(), m_sources.cend(), [this](const CardSource& source) {
            return source.seed.id == *m_buildFrom && matches(source.seed, m_search);
        });
        if (at == m_sources.cend())
            m_buildFrom.reset();
        else
            from = at - m_sources.cbegin();
    }
    QHash<qint64, std::pair<CardSource, SeedCard*>> kept;
    QList<SeedCard*> cardAt(m_sources.size(), nullptr); // every card kept, shown or not
    QList<bool> shownAt(m_sources.size(), false);
    int matching = 0;
    int made = 0;
    bool more = false;
    const auto run = [&](qsizetype begin, qsizetype end) {
        bool cut = false;
        for (qsizetype i = begin; i < end; ++i) {
            const CardSource& source = m_sources[i];
            auto [old, card] = m_cards.take(source.seed.id);
            if (card && (!sameLook || !(old == source))) {
                retire(card);
                card = nullptr;
            }
            const bool wanted = matches(source.seed, m_search);
            matching += wanted ? 1 : 0;
            // Past the cards this turn may make, the run ends for now; the next turn
            // goes on from there.
            cut = cut || (wanted && !card && made == cardsPerTurn);
            if (!card && (!wanted || cut))
                continue;
            if (!card) {
                card = new SeedCard(source.seed, source.tests, this, m_list);
                ++made;
            }
            kept.insert(source.seed.id, {source, card});
            cardAt[i] = card;
            // Cards the search leaves out stay, hidden, for when it lists them again.
            shownAt[i] = wanted && !cut;
        }
        more = more || cut;
    };
    run(from, m_sources.size());
    run(0, from);
    for (const auto& [source, card] : std::as_const(m_cards))
        retire(card);
    m_cards = kept;

    QList<QWidget*> order; // in packet order
    QList<SeedCard*> shown;
    for (qsizetype i = 0; i < cardAt.size(); ++i) {
        if (!cardAt[i])
            continue;
        order.append(cardAt[i]);
        cardAt[i]->setVisible(shownAt[i]);
        if (shownAt[i])
            shown.append(cardAt[i]);
    }

    // Nothing to show: the read failure when the packets could not be read, else why.
    const bool failed = matching == 0 && !m_readFailure.isEmpty();
    const QString emptyTitle = matching > 0 || failed ? QString()
                               : m_sources.isEmpty()  ? QStringLiteral("No seed packets yet")
                                                      : QStringLiteral("Nothing matches");
    const QString emptyKey = failed ? QStringLiteral("!") + m_readFailure : emptyTitle;
    if (m_empty && emptyKey != m_emptyKey) {
        retire(m_empty);
        m_empty = nullptr;
    }
    m_emptyTitle = emptyTitle;
    m_emptyKey = emptyKey;
    if (failed && !m_empty) {
        auto* card = new OVCard();
        card->body()->addWidget(new OVReadFailure(m_readFailure));
        m_empty = card;
    } else if (!emptyTitle.isEmpty() && !m_empty) {
        auto* card = new OVCard();
        card->body()->addWidget(new OVEmpty(
            QStringLiteral("circle.grid.cross"), m_emptyTitle,
            QStringLiteral("Add each packet or bag of seed. Then run a germination test: sow 10 or 20 seeds on a damp "
                           "paper towel and count how many sprout.")));
        m_empty = card;
    }
    if (m_empty) {
        order.append(m_empty);
        m_empty->show();
    }
    LayoutSync::apply(static_cast<QVBoxLayout*>(m_list->layout()), m_order, order);
    m_shown = shown;
    return more;
}

std::optional<SeedsView::Place> SeedsView::placeInView() const
{
    const QScrollBar* bar = m_page->scroll()->verticalScrollBar();
    const int at = bar->value();
    if (at == 0 || m_shown.isEmpty())
        return std::nullopt;
    const QWidget* body = m_page->scroll()->widget();
    // The first card that reaches into the view; the last one when the view is past them.
    const SeedCard* card = m_shown.last();
    for (const SeedCard* shown : m_shown)
        if (shown->mapTo(body, QPoint(0, shown->height())).y() > at) {
            card = shown;
            break;
        }
    return Place{card->seed().id, (at - card->mapTo(body, QPoint()).y()) / m_look.zoom,
                 m_complete && at == bar->maximum()};
}

void SeedsView::keepPlace(bool done)
{
    if (!m_place)
        return;
    const auto card = std::find_if(m_shown.cbegin(), m_shown.cend(),
                                   [this](const SeedCard* c) { return c->seed().id == m_place->seedID; });
    if (card != m_shown.cend()) {
        QScrollBar* bar = m_page->scroll()->verticalScrollBar();
        // The cards from the packet's on are made first: the end is the list's own as
        // soon as they all are.
        bar->setValue(m_place->atEnd ? bar->maximum()
                                     : (*card)->mapTo(m_page->scroll()->widget(), QPoint()).y() +
                                           qRound(m_place->offset * m_look.zoom));
        m_placedAt = bar->value();
    }
    if (done || card == m_shown.cend()) {
        m_place.reset();
        m_placedAt.reset();
    }
}

QVariant SeedsView::place() const
{
    const std::optional<Place> place = m_place ? m_place : placeInView();
    if (!place)
        return {};
    return QVariantMap{{QStringLiteral("packet"), place->seedID},
                       {QStringLiteral("offset"), place->offset},
                       {QStringLiteral("end"), place->atEnd}};
}

void SeedsView::setPlace(const QVariant& place)
{
    const QVariantMap map = place.toMap();
    m_placedAt.reset();
    if (map.isEmpty()) {
        m_place.reset();
        return;
    }
    m_place = Place{map.value(QStringLiteral("packet")).toLongLong(), map.value(QStringLiteral("offset")).toDouble(),
                    map.value(QStringLiteral("end")).toBool()};
    m_buildFrom = m_place->seedID;
    // At once, so that the first picture of a rebuilt screen already shows the place; a
    // search set after this rebuilds again on the next turn, keeping the place.
    if (isVisible())
        m_rebuilder->rebuildNow();
    else
        m_rebuilder->schedule();
}

QList<SeedCard*> SeedsView::cards() const { return m_shown; }
