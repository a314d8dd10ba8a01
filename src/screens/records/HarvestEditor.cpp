#include "screens/records/HarvestEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QString amountText(double quantity)
{
    return quantity > 0 ? OVFormat::num(quantity, 2) : QString();
}

} // namespace

HarvestEditor::HarvestEditor(const Harvest& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, item.id == 0 ? QStringLiteral("Log a Harvest") : QStringLiteral("Edit Harvest"),
                     QStringLiteral("basket.fill"), 560, parent),
      m_item(item)
{
    QVBoxLayout* form = this->form();

    m_date = new OVDayPicker(item.date);
    m_plant = new PlantPicker(store);
    auto* first = new QHBoxLayout;
    first->setSpacing(KitMetrics::px(12));
    first->addWidget(new OVField(QStringLiteral("Date"), m_date), 0, Qt::AlignVCenter);
    first->addWidget(new OVField(QStringLiteral("Plant"), m_plant), 1, Qt::AlignVCenter);
    form->addLayout(first);

    m_crop = new OVTextField(QStringLiteral("Tomato"));
    form->addWidget(new OVField(QStringLiteral("Crop"), m_crop,
                                QStringLiteral("Filled in from the plant; type it if you didn't choose a plant.")));

    m_qty = new OVTextField(QStringLiteral("2.5"));
    m_qty->setFixedWidth(KitMetrics::px(120));
    m_unit = new QComboBox;
    m_unit->setFont(KitMetrics::font(13));
    m_unit->setFixedWidth(KitMetrics::px(160));
    {
        const QSignalBlocker blocker(m_unit);
        for (const HarvestUnit unit : HarvestUnit::allCases())
            m_unit->addItem(unit.name(), unit.rawValue());
    }
    auto* amount = new QHBoxLayout;
    amount->setSpacing(KitMetrics::px(12));
    amount->addWidget(new OVField(QStringLiteral("Amount"), m_qty), 0, Qt::AlignVCenter);
    amount->addWidget(new OVField(QStringLiteral("Unit"), m_unit), 0, Qt::AlignVCenter);
    amount->addStretch(1);
    form->addLayout(amount);

    m_quality = new OVTextField(QStringLiteral("Excellent, some cracking…"));
    form->addWidget(new OVField(QStringLiteral("Quality"), m_quality));
    m_notes = new OVTextArea(QString(), 50);
    form->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    if (item.id != 0)
        m_delete = addDeleteButton(QStringLiteral("Delete This Harvest…"));
    form->addStretch(1);

    fill(item);
    m_openedQty = KeptNumber(item.quantity, m_qty->text());

    cropFollowsPlant(m_plant, m_crop);
    connect(m_unit, &QComboBox::activated, this, [this](int index) {
        m_item.unit = HarvestUnit::fromRaw(m_unit->itemData(index).toString()).value_or(HarvestUnit::lb);
    });
}

void HarvestEditor::fill(const Harvest& harvest)
{
    m_date->setDay(harvest.date);
    m_plant->setPlantID(harvest.plantID);
    if (m_crop->text() != harvest.crop)
        m_crop->setText(harvest.crop);
    {
        const QSignalBlocker blocker(m_unit);
        m_unit->setCurrentIndex(m_unit->findData(harvest.unit.rawValue()));
    }
    if (m_quality->text() != harvest.quality)
        m_quality->setText(harvest.quality);
    if (m_notes->text() != harvest.notes)
        m_notes->setText(harvest.notes);
    if (m_qty->text().isEmpty() && harvest.quantity > 0)
        m_qty->setText(amountText(harvest.quantity));
}

Harvest HarvestEditor::item() const
{
    Harvest typed = m_item;
    typed.date = m_date->day();
    typed.plantID = m_plant->plantID();
    typed.crop = m_crop->text();
    typed.quality = m_quality->text();
    typed.notes = m_notes->text();
    return typed;
}

void HarvestEditor::save()
{
    setError(std::nullopt);
    Harvest copy = item();
    const KeptNumber::Read quantity = m_openedQty.read(m_qty->text());
    if (quantity.kind != KeptNumber::Read::Kind::number) {
        setError(QStringLiteral("Enter the amount harvested as a number."));
        return;
    }
    copy.quantity = quantity.value;

    // What the store's checks left in the copy (and its new id) comes back either way.
    commitAndClose(copy, [this](const Harvest& left) {
        m_item = left;
        fill(left);
    });
}

void HarvestEditor::askDelete()
{
    closeAndAskDelete<Harvest>(QStringLiteral("this harvest record"), QString(), m_item.id);
}
