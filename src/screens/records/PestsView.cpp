#include "screens/records/PestsView.h"

#include "kit/HeaderActions.h"
#include "kit/KitMetrics.h"
#include "kit/LayoutSync.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "screens/records/PestRow.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QCheckBox>
#include <QHash>
#include <QVBoxLayout>

PestsView::PestsView(QWidget* parent) : PestsView(*OVStore::shared(), AppModel::shared(), parent) {}

PestsView::PestsView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    m_page = OVPage::fill(this, Screen::pests,
                          QStringLiteral("What you saw, where, how bad, what you treated it with and whether it worked — "
                                         "so you can spot patterns next season."));

    const HeaderActions::Buttons header = HeaderActions::add(m_page, m_store, 5, QStringLiteral("Log a Problem"));
    m_export = header.exportButton;
    m_add = header.addButton;
    connect(m_add, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(PestRecord())); });

    m_showResolved = new QCheckBox(QStringLiteral("Show resolved problems"));
    m_showResolved->setFont(KitMetrics::font(13));
    m_showResolved->setChecked(true);
    m_page->content()->addWidget(m_showResolved, 0, Qt::AlignLeft);
    m_card = new OVCard;
    m_page->content()->addWidget(m_card);
    m_page->content()->addStretch(1);

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    connect(m_showResolved, &QCheckBox::toggled, m_rebuilder, &OVRebuilder::schedule);
    m_rebuilder->rebuildNow();
}

bool PestsView::showResolved() const
{
    return m_showResolved->isChecked();
}

void PestsView::setShowResolved(bool on)
{
    m_showResolved->setChecked(on);
}

QList<PestRow*> PestsView::rows() const { return m_shown; }

void PestsView::readRecords()
{
    const OVStore::ReadWatch reads(m_store);
    // Plants and zones are few and named by many records: the plants are read in one
    // query, each zone's name once.
    QHash<qint64, QString> plantNames;
    for (const Plant& plant : m_store.plants())
        plantNames.insert(plant.id, plant.displayName());
    QHash<qint64, QString> zoneNames;
    auto plantName = [&](std::optional<qint64> id) { return id ? plantNames.value(*id) : QString(); };
    auto zoneName = [&](std::optional<qint64> id) -> QString {
        if (!id)
            return {};
        auto found = zoneNames.constFind(*id);
        if (found == zoneNames.constEnd())
            found = zoneNames.insert(*id, m_store.zoneName(id));
        return *found;
    };
    m_sources.clear();
    for (const PestRecord& record : m_store.pests())
        m_sources.append(RowSource{record, plantName(record.plantID), zoneName(record.zoneID)});
    // A failed read is tried again at the next rebuild.
    m_readFailure = reads.failed() ? reads.reason() : QString();
    m_readAt = reads.failed() ? -1 : m_store.revision();
}

void PestsView::rebuild()
{
    if (m_readAt != m_store.revision())
        readRecords();
    const bool showResolved = m_showResolved->isChecked();
    const OVColors colors;
    const BuiltLook look = BuiltLook::now();

    if (!m_list) {
        m_list = new QWidget;
        auto* stack = new QVBoxLayout(m_list);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(KitMetrics::px(10));
        m_card->body()->addWidget(m_list);
    }
    const LayoutSync::Hold hold(m_list->layout());
    const bool sameLook = look == m_look;
    m_look = look;

    // Rows no longer wanted go on the next event-loop turn: a rebuild may follow a click on one.
    const auto retire = [](QWidget* row) {
        row->hide();
        row->deleteLater();
    };
    QHash<qint64, std::pair<RowSource, PestRow*>> kept;
    QList<QWidget*> order; // every row kept, shown or not, newest first
    QList<PestRow*> shown;
    for (const RowSource& source : std::as_const(m_sources)) {
        auto [old, row] = m_rows.take(source.record.id);
        if (row && (!sameLook || !(old == source))) {
            retire(row);
            row = nullptr;
        }
        // Rows the switch hides stay, hidden, for when it lists resolved problems again.
        const bool visible = showResolved || !source.record.resolved;
        if (!row && !visible)
            continue;
        if (!row) {
            row = new PestRow(source.record, source.plantName, source.zoneName, colors, m_list);
            const PestRecord record = source.record;
            connect(row, &QAbstractButton::clicked, this, [this, record] { m_model.setSheet(EditSheet(record)); });
        }
        kept.insert(source.record.id, {source, row});
        order.append(row);
        row->setVisible(visible);
        if (visible)
            shown.append(row);
    }
    for (const auto& [source, row] : std::as_const(m_rows))
        retire(row);
    m_rows = kept;

    // Nothing to show: the read failure when the records could not be read, else why.
    const QString emptyKey = !shown.isEmpty()           ? QString()
                             : !m_readFailure.isEmpty() ? QStringLiteral("!") + m_readFailure
                                                        : QStringLiteral("empty");
    if (m_empty && emptyKey != m_emptyKey) {
        retire(m_empty);
        m_empty = nullptr;
    }
    m_emptyKey = emptyKey;
    if (!m_empty && !m_readFailure.isEmpty() && shown.isEmpty()) {
        m_empty = new OVReadFailure(m_readFailure);
    } else if (!m_empty && shown.isEmpty()) {
        m_empty = new OVEmpty(QStringLiteral("ladybug"), QStringLiteral("No problems logged"),
                              QStringLiteral("When you spot aphids, whiteflies, mildew, blossom-end rot or "
                                             "anything else, log it here with what you did about it."));
    }
    if (m_empty) {
        order.append(m_empty);
        m_empty->show();
    }
    LayoutSync::apply(static_cast<QVBoxLayout*>(m_list->layout()), m_order, order);
    m_shown = shown;
}
