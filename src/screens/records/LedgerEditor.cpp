#include "screens/records/LedgerEditor.h"

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
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

LedgerEditor::LedgerEditor(const LedgerEntry& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, item.id == 0 ? QStringLiteral("Add a Cost") : QStringLiteral("Edit Cost"),
                     QStringLiteral("dollarsign.circle.fill"), 600, parent),
      m_item(item)
{
    QVBoxLayout* form = this->form();

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
    if (item.id != 0)
        m_delete = addDeleteButton(QStringLiteral("Delete This Cost…"));
    form->addStretch(1);

    fill(item);
    m_qty->setText(OVFormat::num(item.quantity, 2));
    if (item.id != 0)
        m_cost->setText(OVFormat::fixed(item.cost, 2));
    m_openedQty = KeptNumber(item.quantity, m_qty->text());
    m_openedCost = KeptNumber(item.cost, m_cost->text());

    cropFollowsPlant(m_plant, m_crop);
    connect(m_category, &QComboBox::activated, this, [this](int index) {
        m_item.category =
            LedgerCategory::fromRaw(m_category->itemData(index).toString()).value_or(LedgerCategory::other);
    });
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
    setError(std::nullopt);
    LedgerEntry copy = item();

    if (const std::optional<double> kept = m_openedCost.keep(m_cost->text())) {
        copy.cost = *kept;
    } else {
        const std::optional<double> cost = parseNumber(QString(m_cost->text()).remove(u'$'));
        if (!cost) {
            setError(QStringLiteral("Enter the total cost as a number, for example 12.99."));
            return;
        }
        copy.cost = *cost;
    }

    const KeptNumber::Read quantity = m_openedQty.read(m_qty->text());
    if (quantity.kind == KeptNumber::Read::Kind::notNumber) {
        setError(QStringLiteral("The quantity should be a number."));
        return;
    }
    copy.quantity = quantity.kind == KeptNumber::Read::Kind::blank ? 1 : quantity.value;

    // What the store left in the copy (trimmed texts, the crop taken from the plant,
    // the new id) comes back either way.
    commitAndClose(copy, [this](const LedgerEntry& left) {
        m_item = left;
        fill(left);
    });
}

void LedgerEditor::askDelete()
{
    closeAndAskDelete<LedgerEntry>(QStringLiteral("this cost"), QString(), m_item.id);
}
