#include "screens/plants/SeedsView.h"

#include "kit/HeaderActions.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVEmpty.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "screens/plants/SeedCard.h"
#include "services/TableExport.h"
#include "services/AppModel.h"
#include "services/ReferenceLibrary.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

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
    // The old cards may hold the button whose click asked for this: let them go later.
    if (m_list) {
        m_list->hide();
        m_list->deleteLater();
    }
    m_list = new QWidget;
    auto* col = new QVBoxLayout(m_list);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(KitMetrics::px(16));

    const OVStore::ReadWatch reads(m_store);
    const QList<Seed> seeds = m_store.seeds();
    int shown = 0;
    for (const Seed& seed : seeds) {
        if (!matches(seed, m_search))
            continue;
        col->addWidget(new SeedCard(seed, m_store.germTests(seed.id), this));
        ++shown;
    }
    m_emptyTitle.clear();
    if (shown == 0 && reads.failed()) {
        auto* card = new OVCard();
        card->body()->addWidget(new OVReadFailure(reads.reason()));
        col->addWidget(card);
    } else if (shown == 0) {
        m_emptyTitle = seeds.isEmpty() ? QStringLiteral("No seed packets yet") : QStringLiteral("Nothing matches");
        auto* card = new OVCard();
        card->body()->addWidget(new OVEmpty(
            QStringLiteral("circle.grid.cross"), m_emptyTitle,
            QStringLiteral("Add each packet or bag of seed. Then run a germination test: sow 10 or 20 seeds on a damp "
                           "paper towel and count how many sprout.")));
        col->addWidget(card);
    }
    m_page->content()->addWidget(m_list);
}

QList<SeedCard*> SeedsView::cards() const
{
    return m_list ? m_list->findChildren<SeedCard*>(Qt::FindDirectChildrenOnly) : QList<SeedCard*>();
}
