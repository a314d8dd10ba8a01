#include "screens/greenhouses/GreenhouseEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

GreenhouseEditor::GreenhouseEditor(const Greenhouse& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, item.id == 0 ? QStringLiteral("New Greenhouse") : QStringLiteral("Edit Greenhouse"),
                     QStringLiteral("house.lodge.fill"), 620, parent),
      m_item(item)
{

    m_name = new OVTextField(QStringLiteral("Back-yard greenhouse"), item.name);
    m_location = new OVTextField(QStringLiteral("Maple Grove — south side of the house"), item.location);
    m_size = new OVTextField(QStringLiteral("12 × 20 ft"), item.size);
    m_glazing = new OVTextField(QStringLiteral("8 mm twin-wall polycarbonate"), item.glazing);
    m_notes = new OVTextArea(item.notes);

    QVBoxLayout* body = form();
    body->addWidget(new OVField(QStringLiteral("Name"), m_name));
    body->addWidget(new OVField(QStringLiteral("Location"), m_location));
    auto* pair = new QHBoxLayout;
    pair->setSpacing(KitMetrics::px(12));
    pair->addWidget(new OVField(QStringLiteral("Size"), m_size), 1, Qt::AlignVCenter);
    pair->addWidget(new OVField(QStringLiteral("Glazing / cover"), m_glazing), 1, Qt::AlignVCenter);
    body->addLayout(pair);
    body->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    body->addStretch(1);
}

Greenhouse GreenhouseEditor::item() const
{
    Greenhouse typed = m_item;
    typed.name = m_name->text();
    typed.location = m_location->text();
    typed.size = m_size->text();
    typed.glazing = m_glazing->text();
    typed.notes = m_notes->text();
    return typed;
}

void GreenhouseEditor::save()
{
    setError(std::nullopt);
    Greenhouse copy = item();
    // What the store left in the copy (trimmed name, new id) comes back either way.
    commitAndClose(copy, [this](const Greenhouse& left) {
        m_item = left;
        if (m_name->text() != left.name)
            m_name->setText(left.name);
    });
}
