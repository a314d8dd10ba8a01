#include "screens/plants/PlantsView.h"

#include "kit/HeaderActions.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "screens/plants/PlantListBox.h"
#include "screens/plants/PlantListFacts.h"
#include "screens/plants/PlantRow.h"
#include "services/TableExport.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

// A picker with its label before it, the two together `points` wide.
QWidget* labelled(const QString& label, QComboBox* picker, double points)
{
    auto* box = new QWidget;
    box->setFixedWidth(KitMetrics::px(points));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(6));
    row->addWidget(new OVLabel(label, 12.5));
    row->addWidget(picker, 1);
    return box;
}

} // namespace

PlantsView::PlantsView(QWidget* parent) : PlantsView(*OVStore::shared(), AppModel::shared(), parent) {}

PlantsView::PlantsView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    const OVColors colors;
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(Screen::plants,
                        QStringLiteral("Every planting: variety, seed source, sow / transplant / expected harvest "
                                       "dates, where it grows, status, photos and notes."));
    outer->addWidget(m_page);

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 1, QStringLiteral("Add Plant"));
    connect(header.addButton, &QPushButton::clicked, this, &PlantsView::addPlant);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(KitMetrics::px(10));
    m_search = new QNSearchField(QStringLiteral("Search plants, varieties, notes"));
    m_search->setMaximumWidth(KitMetrics::px(320));
    bar->addWidget(m_search, 1, Qt::AlignVCenter);
    m_status = new QComboBox;
    m_status->setAccessibleName(QStringLiteral("Status"));

    m_status->addItem(QStringLiteral("Planned & growing"), PlantFilter::active);
    m_status->addItem(QStringLiteral("All"), PlantFilter::all);
    m_status->insertSeparator(m_status->count());
    for (PlantStatus status : PlantStatus::allCases())
        m_status->addItem(status.name(), status.rawValue());
    m_status->setCurrentIndex(0);
    bar->addWidget(labelled(QStringLiteral("Status"), m_status, 220), 0, Qt::AlignVCenter);
    m_greenhouse = new QComboBox;
    m_greenhouse->setAccessibleName(QStringLiteral("Greenhouse"));
    bar->addWidget(labelled(QStringLiteral("Greenhouse"), m_greenhouse, 240), 0, Qt::AlignVCenter);
    // The search field (the only stretching item) takes the spare width up to its
    // maximum; only what is left pushes the count to the right edge.
    bar->addStretch(0);
    m_count = new OVLabel(QString(), 12, QFont::Normal, colors.dim());
    bar->addWidget(m_count, 0, Qt::AlignVCenter);
    m_page->content()->addLayout(bar);

    m_card = new OVCard();
    m_list = new PlantListBox(KitMetrics::px(8));
    m_card->body()->addWidget(m_list);
    m_page->content()->addWidget(m_card);

    connect(m_search, &QNSearchField::textChanged, this, &PlantsView::setSearch);
    connect(m_status, &QComboBox::activated, this,
            [this](int index) { setStatusFilter(m_status->itemData(index).toString()); });
    connect(m_greenhouse, &QComboBox::activated, this, [this](int index) {
        const QVariant id = m_greenhouse->itemData(index);
        setGreenhouseFilter(id.isValid() ? std::optional<qint64>(id.toLongLong()) : std::nullopt);
    });

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    m_rebuilder->rebuildNow();
}

void PlantsView::setSearch(const QString& text)
{
    m_filter.search = text;
    if (m_search->text() != text) {
        const QSignalBlocker blocker(m_search);
        m_search->setText(text);
    }
    m_rebuilder->schedule();
}

void PlantsView::setStatusFilter(const QString& status)
{
    m_filter.status = status;
    const int index = m_status->findData(status);
    if (index >= 0 && index != m_status->currentIndex()) {
        const QSignalBlocker blocker(m_status);
        m_status->setCurrentIndex(index);
    }
    m_rebuilder->schedule();
}

void PlantsView::setGreenhouseFilter(std::optional<qint64> greenhouseID)
{
    m_filter.greenhouse = greenhouseID;
    fillGreenhouses();
    m_rebuilder->schedule();
}

void PlantsView::exportCSV() { TableExport::start(m_store, 1); }

void PlantsView::addPlant() { m_model.setSheet(EditSheet(Plant())); }

void PlantsView::fillGreenhouses()
{
    QList<QPair<qint64, QString>> rows;
    for (const Greenhouse& house : m_store.greenhouses())
        rows.append({house.id, house.name});
    const QSignalBlocker blocker(m_greenhouse);
    if (rows != m_greenhouseRows || m_greenhouse->count() == 0) {
        m_greenhouseRows = rows;
        m_greenhouse->clear();
        m_greenhouse->addItem(QStringLiteral("All greenhouses"));
        for (const auto& [id, name] : rows)
            m_greenhouse->addItem(name, id);
    }
    // A chosen greenhouse that no longer exists stays chosen (it matches no plant)
    // and shows as no selection.
    m_greenhouse->setCurrentIndex(m_filter.greenhouse ? m_greenhouse->findData(*m_filter.greenhouse) : 0);
}

void PlantsView::showEmpty(const QString& title, const QString& message, bool failed)
{
    if (m_empty && m_emptyTitle == title && !failed)
        return;
    if (m_empty)
        m_empty->deleteLater();
    m_empty = nullptr;
    m_emptyTitle = title;
    if (title.isEmpty())
        return;
    m_empty = failed ? new OVReadFailure(message) : new OVEmpty(QStringLiteral("leaf"), title, message);
    m_card->body()->insertWidget(0, m_empty);
}

void PlantsView::rebuild()
{
    if (m_readAt != m_store.revision()) {
        const OVStore::ReadWatch reads(m_store);
        fillGreenhouses();
        m_plants = m_store.plants();
        const PlantListFacts facts = reads.read([&] { return PlantListFacts(m_store); });
        m_facts.clear();
        for (const Plant& plant : std::as_const(m_plants))
            m_facts.insert(plant.id, PlantRow::Facts{facts.place(plant), facts.photoCount(plant.id)});
        // A failed read is tried again at the next drawing, not kept as the truth.
        m_readFailure = reads.reason();
        m_readAt = reads.failed() ? std::nullopt : std::optional<qint64>(m_store.revision());
    }
    const QList<Plant>& plants = m_plants;
    const OVDay today = OVDay::today();

    QHash<qint64, PlantRow*> kept;
    QList<PlantRow*> shown;
    for (const Plant& plant : plants) {
        PlantRow* row = m_rows.take(plant.id);
        if (!m_filter.passes(plant)) {
            // Kept hidden for when the filters list it again; checked then.
            if (row)
                kept.insert(plant.id, row);
            continue;
        }
        const PlantRow::Facts& rowFacts = m_facts[plant.id];
        if (row && (row->plant() != plant || row->facts() != rowFacts || row->builtFor() != today)) {
            row->hide();
            row->deleteLater();
            row = nullptr;
        }
        if (!row)
            row = new PlantRow(plant, rowFacts, m_store, m_model, today, m_list);
        kept.insert(plant.id, row);
        shown.append(row);
    }
    // Rows of plants that are gone.
    for (PlantRow* row : std::as_const(m_rows)) {
        row->hide();
        row->deleteLater();
    }
    m_rows = kept;

    if (shown != m_shown) {
        m_list->setRows(shown);
        m_shown = shown;
    }
    m_list->setVisible(!shown.isEmpty());

    m_count->setText(QStringLiteral("%1 shown").arg(shown.size()));
    if (!shown.isEmpty())
        showEmpty(QString(), QString());
    else if (!m_readFailure.isEmpty())
        showEmpty(QStringLiteral("Could not read your data"), m_readFailure, true);
    else if (plants.isEmpty())
        showEmpty(QStringLiteral("No plants yet"),
                  QStringLiteral("Add a plant, or open the Crop Library and choose “Start a Planting” so days to "
                                 "maturity fill in the expected harvest date."));
    else
        showEmpty(QStringLiteral("Nothing matches"), QStringLiteral("Try another search or status."));
}

QList<PlantRow*> PlantsView::rows() const { return m_shown; }

QString PlantsView::countText() const { return m_count->text(); }
