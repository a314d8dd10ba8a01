#include "screens/records/SuppliesView.h"

#include "kit/HeaderActions.h"
#include "kit/AdaptiveGridLayout.h"
#include "kit/DeferredSwap.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/OVRowBox.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "records/OVFormat.h"
#include "screens/records/LedgerRow.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <array>

SuppliesView::SuppliesView(QWidget* parent) : SuppliesView(*OVStore::shared(), AppModel::shared(), parent) {}

SuppliesView::SuppliesView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    m_page = OVPage::fill(this, Screen::supplies,
                          QStringLiteral("What the greenhouse costs: seeds, soil, fertilizer, heat, water, tools and "
                                         "repairs. Tie a cost to a crop to see cost per harvest."));

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 7, QStringLiteral("Add Cost"));
    m_export = header.exportButton;
    m_add = header.addButton;
    connect(m_add, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(LedgerEntry())); });

    m_search = new QNSearchField(QStringLiteral("Search costs"));
    m_search->setMaximumWidth(KitMetrics::px(320));
    m_search->lineEdit()->installEventFilter(this);
    m_page->content()->addWidget(m_search);
    m_page->content()->addStretch(1);

    m_yearRebuilder = new OVRebuilder(this, [this] { rebuildYear(); });
    m_yearRebuilder->follow(m_store);
    m_listRebuilder = new OVRebuilder(this, [this] { rebuildList(); });
    m_listRebuilder->follow(m_store);
    connect(m_search, &QNSearchField::textChanged, m_listRebuilder, &OVRebuilder::schedule);
    m_yearRebuilder->rebuildNow();
    m_listRebuilder->rebuildNow();
}

QString SuppliesView::searchText(const LedgerEntry& entry)
{
    return entry.item + u' ' + entry.vendor + u' ' + entry.crop + u' ' + entry.category.name();
}

bool SuppliesView::matches(const QString& haystack, const QString& search)
{
    return search.isEmpty() || haystack.contains(search, Qt::CaseInsensitive);
}

QList<LedgerRow*> SuppliesView::rows() const
{
    return m_listCard ? m_listCard->findChildren<LedgerRow*>() : QList<LedgerRow*>();
}

void SuppliesView::refresh()
{
    if (m_readRevision == m_store.revision())
        return;
    const OVStore::ReadWatch reads(m_store);
    m_entries = m_store.ledger();
    m_haystacks.clear();
    m_haystacks.reserve(m_entries.size());
    for (const LedgerEntry& entry : m_entries)
        m_haystacks.append(searchText(entry));
    // A failed read is tried again next time rather than kept as "no entries".
    m_readRevision = reads.failed() ? std::nullopt : std::optional<qint64>(m_store.revision());
}

bool SuppliesView::eventFilter(QObject* watched, QEvent* event)
{
    // Reading every entry for the search happens when the search box takes focus,
    // before the first keystroke, rather than on it.
    if (watched == m_search->lineEdit() && event->type() == QEvent::FocusIn)
        refresh();
    return QWidget::eventFilter(watched, event);
}

void SuppliesView::rebuildYear()
{
    // This year's entries only (days are stored as "yyyy-mm-dd": text order is day order).
    const qint64 year = OVDay::today().year;
    const OVStore::ReadWatch reads(m_store);
    const QList<LedgerEntry> thisYear =
        reads.read([&] { return m_store.ledgerBetween(OVDay(year, 1, 1), OVDay(year, 12, 31)); });
    double total = 0;
    std::array<double, 10> perCategory{};
    for (const LedgerEntry& entry : thisYear) {
        if (entry.date.year != year)
            continue;
        total += entry.cost;
        perCategory[size_t(LedgerCategory::Case(entry.category))] += entry.cost;
    }

    // Without the entries the total would be a guess: the card then says why it has none.
    auto* card = new OVCard(QStringLiteral("Spent in ") + QString::number(year) +
                                (reads.failed() ? QString() : QStringLiteral(": ") + OVFormat::cash(total)),
                            QStringLiteral("dollarsign.circle.fill"));
    if (reads.failed())
        card->body()->addWidget(new OVReadFailure(reads.reason()));
    auto* grid = new QWidget;
    auto* cells = new AdaptiveGridLayout(KitMetrics::px(200), KitMetrics::px(8), grid);
    cells->setContentsMargins(0, 0, 0, 0);
    for (const LedgerCategory category : LedgerCategory::allCases()) {
        const double spent = perCategory[size_t(LedgerCategory::Case(category))];
        if (!(spent > 0))
            continue;
        auto* cell = new OVRowBox(false);
        auto* line = new QHBoxLayout;
        line->setSpacing(KitMetrics::px(8));
        // A column only just wider than its minimum cannot hold every name beside a
        // large total: the name gives way, the total stays whole.
        auto* name = new OVLabel(category.name(), 12);
        name->setEliding(true);
        line->addWidget(name);
        line->addStretch(1);
        line->addWidget(new OVLabel(OVFormat::cash(spent), 12.5, QFont::Bold));
        cell->body()->addLayout(line);
        cells->addWidget(cell);
    }
    if (cells->count() > 0)
        card->body()->addWidget(grid);
    else
        delete grid;
    DeferredSwap::replace(m_page->content(), m_yearHolder, card, 0);
    m_yearCard = card;
}

void SuppliesView::rebuildList()
{
    const QString search = m_search->text();
    const OVColors colors;
    // Without a search only the newest entries are read; a search looks at all of them.
    const OVStore::ReadWatch reads(m_store);
    QList<LedgerEntry> newest;
    bool anyEntry = true;
    if (search.isEmpty()) {
        newest = reads.read([&] { return m_store.newestLedger(listLimit); });
        anyEntry = !newest.isEmpty();
    } else {
        refresh();
        anyEntry = !m_entries.isEmpty();
    }
    const QList<LedgerEntry>& entries = search.isEmpty() ? newest : m_entries;

    auto* card = new OVCard;
    auto* rows = new QWidget;
    auto* stack = new QVBoxLayout(rows);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(10));
    int shown = 0;
    for (qsizetype i = 0; i < entries.size() && shown < listLimit; ++i) {
        if (!search.isEmpty() && !matches(m_haystacks.at(i), search))
            continue;
        const LedgerEntry& entry = entries.at(i);
        auto* row = new LedgerRow(entry, colors, rows);
        connect(row, &QAbstractButton::clicked, this, [this, entry] { m_model.setSheet(EditSheet(entry)); });
        stack->addWidget(row);
        ++shown;
    }
    if (shown == 0 && reads.failed()) {
        delete rows;
        card->body()->addWidget(new OVReadFailure(reads.reason()));
    } else if (shown == 0) {
        delete rows;
        card->body()->addWidget(new OVEmpty(
            QStringLiteral("dollarsign.circle"),
            !anyEntry ? QStringLiteral("No costs yet") : QStringLiteral("Nothing matches"),
            QStringLiteral("Add what you buy and pay for. Choose a crop for costs that belong to one crop (seed, its "
                           "fertilizer…); leave it empty for shared costs like heating.")));
    } else {
        card->body()->addWidget(rows);
    }
    // The list card stands under the search box.
    DeferredSwap::replace(m_page->content(), m_listHolder, card, m_page->content()->indexOf(m_search) + 1);
    m_listCard = card;
}
