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
#include "kit/ParseNumber.h"
#include "records/OVFormat.h"
#include "records/SpaceTrim.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

ZoneEditor::ZoneEditor(const Zone& item, QWidget* parent)
    : QWidget(parent), m_item(item), m_store(*OVStore::shared())
{
    const OVColors colors;
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(item.id == 0 ? QStringLiteral("New Zone") : QStringLiteral("Edit Zone & Alert Ranges"),
                                QStringLiteral("square.split.2x2.fill"), 660);
    col->addWidget(m_frame);
    QVBoxLayout* body = m_frame->body();

    m_name = new OVTextField(QStringLiteral("Propagation bench area"), item.name);
    m_greenhouse = new QComboBox;
    m_greenhouse->setFont(KitMetrics::font(13));
    fillGreenhouses();
    connect(m_greenhouse, &QComboBox::activated, this, [this](int index) {
        m_item.greenhouseID = m_greenhouse->itemData(index).toLongLong();
    });
    connect(&m_store, &OVStore::revisionChanged, this, &ZoneEditor::fillGreenhouses);
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
        LimitBox low;
        LimitBox high;
        if (range != item.limits.end()) {
            low.stored = range->second.min;
            high.stored = range->second.max;
        }
        if (low.stored)
            low.opened = show(metric, *low.stored);
        if (high.stored)
            high.opened = show(metric, *high.stored);
        low.box = new OVTextField(QStringLiteral("low"), low.opened);
        high.box = new OVTextField(QStringLiteral("high"), high.opened);
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

    connect(m_frame, &OVEditorFrame::saveRequested, this, &ZoneEditor::save);
    connect(m_frame, &OVEditorFrame::cancelRequested, this, [] { closeSheet(); });
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
    for (const Greenhouse& house : m_store.greenhouses()) {
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
    // Untouched since the sheet opened: the stored value, exactly.
    if (limit.box->text() == limit.opened) {
        value = limit.stored;
        return true;
    }
    // Spaces and tabs only: a line break in a box is not trimmed away.
    const QString text = SpaceTrim::trimmedString(limit.box->text());
    if (text.isEmpty())
        return true;
    const std::optional<double> number = parseNumber(text);
    if (!number) {
        m_frame->setError(metric.name() + QStringLiteral(": “") + text + QStringLiteral("” is not a number."));
        return false;
    }
    value = metric.fromDisplay(*number);
    return true;
}

void ZoneEditor::save()
{
    m_frame->setError(std::nullopt);
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
    std::optional<QString> failure;
    try {
        m_store.save(copy);
    } catch (const OVError& error) {
        failure = error.errorDescription();
    }
    // What the store left in the copy (trimmed name, new id) comes back either way.
    m_item = copy;
    if (m_name->text() != copy.name)
        m_name->setText(copy.name);
    if (failure) {
        m_frame->setError(failure);
        return;
    }
    closeSheet();
}
