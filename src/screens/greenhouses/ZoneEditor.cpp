#include "screens/greenhouses/ZoneEditor.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "records/OVFormat.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

ZoneEditor::ZoneEditor(const Zone& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, item.id == 0 ? QStringLiteral("New Zone") : QStringLiteral("Edit Zone & Alert Ranges"),
                     QStringLiteral("square.split.2x2.fill"), 660, parent),
      m_item(item)
{
    const OVColors colors;
    QVBoxLayout* body = form();

    m_name = new OVTextField(QStringLiteral("Propagation bench area"), item.name);
    m_greenhouse = new QComboBox;
    m_greenhouse->setFont(KitMetrics::font(13));
    fillGreenhouses();
    connect(m_greenhouse, &QComboBox::activated, this, [this](int index) {
        m_item.greenhouseID = m_greenhouse->itemData(index).toLongLong();
    });
    connect(&store, &OVStore::revisionChanged, this, &ZoneEditor::fillGreenhouses);
    auto* top = new QHBoxLayout;
    top->setSpacing(KitMetrics::px(12));
    top->addWidget(new OVField(QStringLiteral("Zone name"), m_name), 1, Qt::AlignVCenter);
    top->addWidget(new OVField(QStringLiteral("Greenhouse"), m_greenhouse), 1, Qt::AlignVCenter);
    body->addLayout(top);

    m_notes = new OVTextArea(item.notes, 50);
    body->addWidget(new OVField(QStringLiteral("Notes"), m_notes));

    auto* card = new OVCard(QStringLiteral("Alert ranges"), QStringLiteral("bell.badge.fill"), 12);
    auto* help = new OVLabel(
        QStringLiteral("Set a low and/or high value for anything you want watched. A reading below the low value or "
                       "above the high value shows as an alert and sends a desktop notification. Leave a box empty to "
                       "ignore it. You choose these numbers — the Crop Library shows what extension sources say each "
                       "crop prefers."),
        12, QFont::Normal, colors.dim());
    help->setWrapping(true);
    card->body()->addWidget(help);
    for (const Metric metric : Metric::allCases()) {
        const auto range = item.limits.find(metric);
        std::optional<double> lowStored;
        std::optional<double> highStored;
        if (range != item.limits.end()) {
            lowStored = range->second.min;
            highStored = range->second.max;
        }
        LimitBox low;
        LimitBox high;
        low.opened = KeptNumber(lowStored, lowStored ? show(metric, *lowStored) : QString());
        high.opened = KeptNumber(highStored, highStored ? show(metric, *highStored) : QString());
        low.box = new OVTextField(QStringLiteral("low"), low.opened.shown());
        high.box = new OVTextField(QStringLiteral("high"), high.opened.shown());
        low.box->setObjectName(metric.rawValue() + QStringLiteral("Low"));
        high.box->setObjectName(metric.rawValue() + QStringLiteral("High"));
        low.box->setFixedWidth(KitMetrics::px(90));
        high.box->setFixedWidth(KitMetrics::px(90));

        auto* row = new QHBoxLayout;
        row->setSpacing(KitMetrics::px(10));
        auto* label = new QWidget;
        label->setFixedWidth(KitMetrics::px(190));
        auto* labelRow = new QHBoxLayout(label);
        labelRow->setContentsMargins(0, 0, 0, 0);
        labelRow->setSpacing(KitMetrics::px(6));
        labelRow->addWidget(KitIcons::label(metric.symbol(), colors.text(), 13));
        labelRow->addWidget(new OVLabel(metric.name(), 13, QFont::DemiBold), 1);
        row->addWidget(label);
        row->addWidget(low.box);
        row->addWidget(new OVLabel(QStringLiteral("to"), 13, QFont::Normal, colors.dim()));
        row->addWidget(high.box);
        row->addWidget(new OVLabel(metric.unit(), 12, QFont::Normal, colors.dim()));
        row->addStretch(1);
        card->body()->addLayout(row);
        m_low[metric] = low;
        m_high[metric] = high;
    }
    body->addWidget(card);
    body->addStretch(1);
}

QString ZoneEditor::show(Metric metric, double value)
{
    const double shown = metric.toDisplay(value);
    if (std::isfinite(shown) && shown == std::trunc(shown))
        return OVFormat::rounded(shown);
    return OVFormat::fixed(shown, 1);
}

void ZoneEditor::fillGreenhouses()
{
    const QSignalBlocker blocker(m_greenhouse);
    m_greenhouse->clear();
    int chosen = -1;
    for (const Greenhouse& house : store().greenhouses()) {
        if (house.id == m_item.greenhouseID)
            chosen = m_greenhouse->count();
        m_greenhouse->addItem(house.name, QVariant::fromValue<qint64>(house.id));
    }
    // An id that names no greenhouse shows an empty choice; it stays until the user
    // picks one, and the store then refuses it on save.
    m_greenhouse->setCurrentIndex(chosen);
}

Zone ZoneEditor::item() const
{
    Zone typed = m_item;
    typed.name = m_name->text();
    typed.notes = m_notes->text();
    return typed;
}

bool ZoneEditor::read(Metric metric, const LimitBox& limit, std::optional<double>& value)
{
    value.reset();
    const KeptNumber::Read typed = limit.opened.read(limit.box->text());
    if (typed.kind == KeptNumber::Read::Kind::blank)
        return true;
    if (typed.kind == KeptNumber::Read::Kind::notNumber) {
        setError(metric.name() + QStringLiteral(": “") + typed.trimmed + QStringLiteral("” is not a number."));
        return false;
    }
    // Untouched since the sheet opened: the stored value, exactly.
    value = typed.kept ? typed.value : metric.fromDisplay(typed.value);
    return true;
}

void ZoneEditor::save()
{
    setError(std::nullopt);
    std::map<Metric, MetricRange> limits;
    for (const Metric metric : Metric::allCases()) {
        MetricRange range;
        if (!read(metric, m_low.at(metric), range.min) || !read(metric, m_high.at(metric), range.max))
            return;
        if (range.min || range.max)
            limits[metric] = range;
    }

    Zone copy = item();
    copy.limits = limits;
    // What the store left in the copy (trimmed name, new id) comes back either way.
    commitAndClose(copy, [this](const Zone& left) {
        m_item = left;
        if (m_name->text() != left.name)
            m_name->setText(left.name);
    });
}
