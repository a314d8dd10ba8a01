#include "screens/greenhouses/ZoneRow.h"

#include "kit/FlowLayout.h"
#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVReadFailure.h"
#include "kit/QNChromeButton.h"
#include "screens/greenhouses/SpotChip.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QStringList>
#include <QVBoxLayout>

namespace {

QNChromeButton* compactButton(const QString& title)
{
    return new QNChromeButton(title, false, true);
}

} // namespace

ZoneRow::ZoneRow(const Zone& zone, OVStore& store, AppModel& model, QWidget* parent)
    : OVRowBox(false, parent), m_zone(zone), m_store(store), m_model(model)
{
    const OVColors colors;
    body()->setSpacing(KitMetrics::px(8));

    // Title line: symbol, name, newest air temperature, then the three actions.
    auto* title = new QHBoxLayout;
    title->setSpacing(KitMetrics::px(8));
    title->addWidget(KitIcons::label(QStringLiteral("square.split.2x2.fill"), OVColors::leaf(), 15));
    title->addWidget(new OVLabel(zone.name, 15, QFont::Bold));
    if (const std::optional<Reading> newest = store.latestReading(zone.id)) {
        const auto air = newest->values.find(Metric::temp);
        if (air != newest->values.end()) {
            auto* temp = new OVLabel(QStringLiteral("· ") + Metric(Metric::temp).format(air->second), 12.5,
                                     QFont::Normal, colors.dim());
            temp->setObjectName(QStringLiteral("zoneTemperature"));
            title->addWidget(temp);
        }
    }
    title->addStretch(1);
    m_edit = compactButton(QStringLiteral("Alert Ranges & Edit"));
    m_climate = compactButton(QStringLiteral("Climate"));
    m_delete = compactButton(QStringLiteral("Delete"));
    title->addWidget(m_edit);
    title->addWidget(m_climate);
    title->addWidget(m_delete);
    body()->addLayout(title);

    auto* limits = new OVLabel(limitsText(zone), 12, QFont::Normal, colors.dim());
    limits->setObjectName(QStringLiteral("zoneLimits"));
    limits->setWrapping(true);
    body()->addWidget(limits);

    // Chip line: beds, then benches, then the two add buttons, wrapping 6 points apart.
    auto* chipBox = new QWidget;
    m_chips = new FlowLayout(chipBox, KitMetrics::px(6), KitMetrics::px(6));
    for (const Spot& spot : store.spots(zone.id)) {
        auto* chip = new SpotChip(spot);
        connect(chip, &QAbstractButton::clicked, this, [model = &m_model, spot] { model->setSheet(EditSheet(spot)); });
        m_chips->addWidget(chip);
    }
    m_addBed = compactButton(QStringLiteral("Bed"));
    m_addBed->setSymbol(QStringLiteral("plus"));
    m_addBench = compactButton(QStringLiteral("Bench"));
    m_addBench->setSymbol(QStringLiteral("plus"));
    m_chips->addWidget(m_addBed);
    m_chips->addWidget(m_addBench);
    body()->addWidget(chipBox);

    const qint64 zoneID = zone.id;
    connect(m_addBed, &QPushButton::clicked, this, [model = &m_model, zoneID] {
        model->setSheet(EditSheet(Spot{.zoneID = zoneID, .kind = SpotKind::bed}));
    });
    connect(m_addBench, &QPushButton::clicked, this, [model = &m_model, zoneID] {
        model->setSheet(EditSheet(Spot{.zoneID = zoneID, .kind = SpotKind::bench}));
    });
    connect(m_edit, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(m_zone)); });
    connect(m_climate, &QPushButton::clicked, this, [model = &m_model, zoneID] {
        // The zone first: the Climate screen reads it when it is switched to.
        model->setClimateZoneID(zoneID);
        model->setScreen(Screen::climate);
    });
    connect(m_delete, &QPushButton::clicked, this, &ZoneRow::askDelete);
}

QString ZoneRow::limitsText(const Zone& zone)
{
    QStringList parts;
    for (const Metric metric : Metric::allCases()) {
        const auto range = zone.limits.find(metric);
        if (range == zone.limits.end())
            continue;
        const QString low = range->second.min ? metric.format(*range->second.min) : QStringLiteral("—");
        const QString high = range->second.max ? metric.format(*range->second.max) : QStringLiteral("—");
        parts << metric.shortName() + QLatin1Char(' ') + low + QStringLiteral(" to ") + high;
    }
    if (parts.isEmpty())
        return QStringLiteral("No alert ranges yet — choose “Alert Ranges & Edit” to set low / high values.");
    return QStringLiteral("Alerts: ") + parts.join(QStringLiteral(" · "));
}

void ZoneRow::askDelete()
{
    // Counted now, when the user asks, and not refreshed while the question is up. A
    // count that fails is not guessed: the question is not asked at all.
    const OVStore::ReadWatch reads(m_store);
    const qint64 readings = reads.read([&] { return m_store.readingCount(m_zone.id); });
    if (reads.failed()) {
        m_model.setMessage(OVReadFailure::nothingDeleted(reads.reason()));
        return;
    }
    const QString name = QStringLiteral("zone “") + m_zone.name + QStringLiteral("”");
    const QString detail = QStringLiteral("This also deletes its beds and benches and ") + QString::number(readings)
                           + QStringLiteral(" climate reading(s).");
    // The action outlives this row (a rebuild may replace it while the question is up).
    const QPointer<OVStore> store(&m_store);
    AppModel* model = &m_model;
    const qint64 zoneID = m_zone.id;
    m_model.askDelete(name, detail, [store, model, zoneID] {
        model->act([&] {
            if (!store)
                throw OVError::database(QStringLiteral("closed"));
            store->remove<Zone>(zoneID);
        });
    });
}
