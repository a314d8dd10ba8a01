#include "screens/greenhouses/SpotEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "kit/SegmentedPicker.h"
#include "screens/greenhouses/SpotChip.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

SpotEditor::SpotEditor(const Spot& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, QString(), SpotChip::symbol(item.kind), 620, parent), m_item(item)
{
    QVBoxLayout* body = form();

    QStringList kinds;
    for (const SpotKind kind : SpotKind::allCases())
        kinds << kind.name();
    m_kind = new SegmentedPicker(kinds);
    m_kind->setCurrentIndex(int(SpotKind::Case(item.kind)));
    m_name = new OVTextField(QStringLiteral("1"), item.name);
    auto* top = new QHBoxLayout;
    top->setSpacing(KitMetrics::px(12));
    top->addWidget(new OVField(QStringLiteral("Type"), m_kind), 0, Qt::AlignVCenter);
    top->addWidget(new OVField(QStringLiteral("Name or number"), m_name), 1, Qt::AlignVCenter);
    body->addLayout(top);

    m_zone = new ZonePicker(store, false);
    m_zone->setFont(KitMetrics::font(13));
    m_zone->setZoneID(item.zoneID);
    body->addWidget(new OVField(QStringLiteral("Zone"), m_zone));
    m_size = new OVTextField(QStringLiteral("3 × 8 ft"), item.size);
    body->addWidget(new OVField(QStringLiteral("Size"), m_size));
    m_notes = new OVTextArea(item.notes, 50);
    body->addWidget(new OVField(QStringLiteral("Notes"), m_notes));

    if (item.id != 0) {
        m_delete = new QNChromeButton(QString(), false, true);
        auto* row = new QHBoxLayout;
        row->addWidget(m_delete);
        row->addStretch(1);
        body->addLayout(row);
        connect(m_delete, &QPushButton::clicked, this, &SpotEditor::deleteSpot);
    }
    body->addStretch(1);
    showKind();

    connect(m_kind, &SegmentedPicker::activated, this, [this](int index) {
        m_item.kind = SpotKind::allCases().at(index);
        showKind();
    });
    connect(m_zone, &ZonePicker::picked, this, [this] {
        if (const std::optional<qint64> zoneID = m_zone->zoneID())
            m_item.zoneID = *zoneID;
    });
}

void SpotEditor::showKind()
{
    const QString kind = m_item.kind.name();
    frame()->setTitle((m_item.id == 0 ? QStringLiteral("New ") : QStringLiteral("Edit ")) + kind);
    frame()->setSymbol(SpotChip::symbol(m_item.kind));
    if (m_delete)
        m_delete->setTitle(QStringLiteral("Delete This ") + kind + QStringLiteral("…"));
}

Spot SpotEditor::item() const
{
    Spot typed = m_item;
    typed.name = m_name->text();
    typed.size = m_size->text();
    typed.notes = m_notes->text();
    return typed;
}

void SpotEditor::save()
{
    setError(std::nullopt);
    Spot copy = item();
    // What the store left in the copy (trimmed name, new id) comes back either way.
    commitAndClose(copy, [this](const Spot& left) {
        m_item = left;
        if (m_name->text() != left.name)
            m_name->setText(left.name);
    });
}

void SpotEditor::deleteSpot()
{
    // Everything the question needs is taken before the sheet closes: closing it may
    // take this editor away.
    const Spot current = item();
    const QString name = current.kind.name().toLower() + QStringLiteral(" “") + current.name + QStringLiteral("”");
    closeAndAskDelete<Spot>(name, QStringLiteral("Plants in it stay but lose this location."), current.id);
}
