#include "screens/records/LedgerEditor.h"

#include "screens/records/EditorActions.h"

#include "kit/KitMetrics.h"
#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/ParseNumber.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "records/SpaceTrim.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

LedgerEditor::LedgerEditor(const LedgerEntry& item, QWidget* parent) : QWidget(parent), m_item(item)
{
    OVStore& store = *OVStore::shared();
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(item.id == 0 ? QStringLiteral("Add a Cost") : QStringLiteral("Edit Cost"),
                                QStringLiteral("dollarsign.circle.fill"), 600);
    col->addWidget(m_frame);
    QVBoxLayout* form = m_frame->body();

    m_date = new OVDayPicker(item.date);
    m_category = new QComboBox;
    m_category->setFont(KitMetrics::font(13));
    m_category->setFixedWidth(KitMetrics::px(240));
    {
        const QSignalBlocker blocker(m_category);
        for (const LedgerCategory category : LedgerCategory::allCases())
            m_category->addItem(category.name(), category.rawValue());
    }
    auto* first = new QHBoxLayout;
    first->setSpacing(KitMetrics::px(12));
    first->addWidget(new OVField(QStringLiteral("Date"), m_date), 0, Qt::AlignVCenter);
    first->addWidget(new OVField(QStringLiteral("Category"), m_category), 0, Qt::AlignVCenter);
    first->addStretch(1);
    form->addLayout(first);

    m_itemBox = new OVTextField(QStringLiteral("Potting mix, 2 cu ft"));
    form->addWidget(new OVField(QStringLiteral("Item"), m_itemBox));

    m_qty = new OVTextField(QStringLiteral("1"));
    m_qty->setFixedWidth(KitMetrics::px(90));
    m_unit = new OVTextField(QStringLiteral("bags"));
    m_unit->setFixedWidth(KitMetrics::px(110));
    m_cost = new OVTextField(QStringLiteral("12.99"));
    m_cost->setFixedWidth(KitMetrics::px(120));
    auto* amounts = new QHBoxLayout;
    amounts->setSpacing(KitMetrics::px(12));
    amounts->addWidget(new OVField(QStringLiteral("Quantity"), m_qty), 0, Qt::AlignVCenter);
    amounts->addWidget(new OVField(QStringLiteral("Unit"), m_unit), 0, Qt::AlignVCenter);
    amounts->addWidget(new OVField(QStringLiteral("Total cost ($)"), m_cost), 0, Qt::AlignVCenter);
    amounts->addStretch(1);
    form->addLayout(amounts);

    m_vendor = new OVTextField(QStringLiteral("Store or website"));
    form->addWidget(new OVField(QStringLiteral("Vendor"), m_vendor));

    m_plant = new PlantPicker(store);
    m_crop = new OVTextField(QStringLiteral("Tomato"));
    auto* owner = new QHBoxLayout;
    owner->setSpacing(KitMetrics::px(12));
    owner->addWidget(new OVField(QStringLiteral("For plant (optional)"), m_plant), 1, Qt::AlignVCenter);
    owner->addWidget(new OVField(QStringLiteral("For crop (optional)"), m_crop,
                                 QStringLiteral("Leave empty for shared costs (heat, repairs…).")),
                     1, Qt::AlignVCenter);
    form->addLayout(owner);

    m_notes = new OVTextArea(QString(), 50);
    form->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    if (item.id != 0) {
        m_delete = new QNChromeButton(QStringLiteral("Delete This Cost…"), false, true);
        form->addWidget(m_delete, 0, Qt::AlignLeft);
        connect(m_delete, &QPushButton::clicked, this, &LedgerEditor::askDelete);
    }
    form->addStretch(1);

    fill(item);
    m_qty->setText(OVFormat::num(item.quantity, 2));
    if (item.id != 0)
        m_cost->setText(OVFormat::fixed(item.cost, 2));
    m_openedQty = m_qty->text();
    m_openedCost = m_cost->text();
    m_storedQty = item.quantity;
    m_storedCost = item.cost;

    connect(m_plant, &PlantPicker::picked, this, &LedgerEditor::plantPicked);
    connect(m_category, &QComboBox::activated, this, [this](int index) {
        m_item.category =
            LedgerCategory::fromRaw(m_category->itemData(index).toString()).value_or(LedgerCategory::other);
    });
    connect(m_frame, &OVEditorFrame::saveRequested, this, &LedgerEditor::save);
    connect(m_frame, &OVEditorFrame::cancelRequested, this, [] { closeSheet(); });
}

void LedgerEditor::fill(const LedgerEntry& entry)
{
    m_date->setDay(entry.date);
    {
        const QSignalBlocker blocker(m_category);
        m_category->setCurrentIndex(m_category->findData(entry.category.rawValue()));
    }
    const std::pair<OVTextField*, const QString*> boxes[] = {
        {m_itemBox, &entry.item}, {m_unit, &entry.unit}, {m_vendor, &entry.vendor}, {m_crop, &entry.crop}};
    for (const auto& [box, text] : boxes)
        if (box->text() != *text)
            box->setText(*text);
    m_plant->setPlantID(entry.plantID);
    if (m_notes->text() != entry.notes)
        m_notes->setText(entry.notes);
}

void LedgerEditor::plantPicked()
{
    if (const std::optional<Plant> plant = OVStore::shared()->get<Plant>(m_plant->plantID()))
        m_crop->setText(plant->crop);
}

LedgerEntry LedgerEditor::item() const
{
    LedgerEntry typed = m_item;
    typed.date = m_date->day();
    typed.item = m_itemBox->text();
    typed.unit = m_unit->text();
    typed.vendor = m_vendor->text();
    typed.plantID = m_plant->plantID();
    typed.crop = m_crop->text();
    typed.notes = m_notes->text();
    return typed;
}

void LedgerEditor::save()
{
    m_frame->setError(std::nullopt);
    LedgerEntry copy = item();

    if (m_cost->text() == m_openedCost && !m_openedCost.isEmpty()) {
        copy.cost = m_storedCost;
    } else {
        const std::optional<double> cost = parseNumber(QString(m_cost->text()).remove(u'$'));
        if (!cost) {
            m_frame->setError(QStringLiteral("Enter the total cost as a number, for example 12.99."));
            return;
        }
        copy.cost = *cost;
    }

    if (m_qty->text() == m_openedQty) {
        copy.quantity = m_storedQty;
    } else if (SpaceTrim::trimmed(m_qty->text()).isEmpty()) {
        copy.quantity = 1;
    } else {
        const std::optional<double> quantity = parseNumber(m_qty->text());
        if (!quantity) {
            m_frame->setError(QStringLiteral("The quantity should be a number."));
            return;
        }
        copy.quantity = *quantity;
    }

    const std::optional<QString> failure = EditorActions::save(copy);
    // What the store left in the copy (trimmed texts, the crop taken from the plant,
    // the new id) comes back either way.
    m_item = copy;
    fill(copy);
    if (failure) {
        m_frame->setError(failure);
        return;
    }
    closeSheet();
}

void LedgerEditor::askDelete()
{
    EditorActions::closeAndAskDelete<LedgerEntry>(QStringLiteral("this cost"), m_item.id);
}
