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

GreenhouseEditor::GreenhouseEditor(const Greenhouse& item, QWidget* parent) : QWidget(parent), m_item(item)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(item.id == 0 ? QStringLiteral("New Greenhouse") : QStringLiteral("Edit Greenhouse"),
                                QStringLiteral("house.lodge.fill"));
    col->addWidget(m_frame);

    m_name = new OVTextField(QStringLiteral("Back-yard greenhouse"), item.name);
    m_location = new OVTextField(QStringLiteral("Maple Grove — south side of the house"), item.location);
    m_size = new OVTextField(QStringLiteral("12 × 20 ft"), item.size);
    m_glazing = new OVTextField(QStringLiteral("8 mm twin-wall polycarbonate"), item.glazing);
    m_notes = new OVTextArea(item.notes);

    QVBoxLayout* body = m_frame->body();
    body->addWidget(new OVField(QStringLiteral("Name"), m_name));
    body->addWidget(new OVField(QStringLiteral("Location"), m_location));
    auto* pair = new QHBoxLayout;
    pair->setSpacing(KitMetrics::px(12));
    pair->addWidget(new OVField(QStringLiteral("Size"), m_size), 1, Qt::AlignVCenter);
    pair->addWidget(new OVField(QStringLiteral("Glazing / cover"), m_glazing), 1, Qt::AlignVCenter);
    body->addLayout(pair);
    body->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    body->addStretch(1);

    connect(m_frame, &OVEditorFrame::saveRequested, this, &GreenhouseEditor::save);
    connect(m_frame, &OVEditorFrame::cancelRequested, this, [] { closeSheet(); });
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
    m_frame->setError(std::nullopt);
    Greenhouse copy = item();
    std::optional<QString> failure;
    try {
        OVStore* store = OVStore::shared();
        if (!store)
            throw OVError::database(QStringLiteral("no database is open"));
        store->save(copy);
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
