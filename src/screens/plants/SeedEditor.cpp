#include "screens/plants/SeedEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "services/AppModel.h"
#include "services/WholeNumber.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

SeedEditor::SeedEditor(const Seed& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, item.id == 0 ? QStringLiteral("New Seed Packet") : QStringLiteral("Edit Seed Packet"),
                     QStringLiteral("circle.grid.cross.fill"), 620, parent),
      m_item(item)
{
    // The typed texts, filled once as the sheet opens.
    m_openedQty = KeptNumber(m_item.quantity, (m_item.id == 0 && m_item.quantity == 0)
                                                  ? QString()
                                                  : OVFormat::num(m_item.quantity, 2));
    const QString year = m_item.year ? QString::number(*m_item.year) : QString();

    QVBoxLayout* body = form();

    auto row = [body] {
        auto* layout = new QHBoxLayout;
        layout->setSpacing(KitMetrics::px(12));
        body->addLayout(layout);
        return layout;
    };
    auto add = [](QHBoxLayout* layout, const QString& label, QWidget* control) {
        layout->addWidget(new OVField(label, control), 1, Qt::AlignVCenter);
    };
    m_crop = new OVTextField(QStringLiteral("Lettuce"), m_item.crop);
    m_variety = new OVTextField(QStringLiteral("Buttercrunch"), m_item.variety);
    m_supplier = new OVTextField(QStringLiteral("Seed company"), m_item.supplier);
    m_lot = new OVTextField(QString(), m_item.lot);
    m_year = new OVTextField(QStringLiteral("2026"), year);
    m_qty = new OVTextField(QStringLiteral("250"), m_openedQty.shown());
    m_unit = new OVTextField(QStringLiteral("seeds, g, oz, packets"), m_item.unit);
    m_notes = new OVTextArea(m_item.notes);
    QHBoxLayout* first = row();
    add(first, QStringLiteral("Crop"), m_crop);
    add(first, QStringLiteral("Variety"), m_variety);
    QHBoxLayout* second = row();
    add(second, QStringLiteral("Supplier"), m_supplier);
    add(second, QStringLiteral("Lot number"), m_lot);
    add(second, QStringLiteral("Packed for (year)"), m_year);
    QHBoxLayout* third = row();
    add(third, QStringLiteral("Amount left"), m_qty);
    add(third, QStringLiteral("Unit"), m_unit);
    body->addWidget(new OVField(QStringLiteral("Notes (storage, how it grew last time…)"), m_notes));
    if (m_item.id != 0)
        m_delete = addDeleteButton(QStringLiteral("Delete This Seed Packet…"));
    body->addStretch(1);

    connect(m_crop, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.crop = t; });
    connect(m_variety, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.variety = t; });
    connect(m_supplier, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.supplier = t; });
    connect(m_lot, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.lot = t; });
    connect(m_unit, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.unit = t; });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] { m_item.notes = m_notes->text(); });
}

void SeedEditor::save()
{
    setError(std::nullopt);
    // An untouched amount keeps the stored value: the text shows it rounded. The
    // amount is only taken into the packet once every check passed, so a refused
    // save never leaves a typed amount behind an untouched-looking box.
    const KeptNumber::Read qty = m_openedQty.read(m_qty->text());
    if (qty.kind == KeptNumber::Read::Kind::notNumber) {
        // Quoted exactly as typed, blanks around it included.
        setError(QStringLiteral("“") + m_qty->text() + QStringLiteral("” is not a number."));
        return;
    }
    const double quantity = qty.kind == KeptNumber::Read::Kind::blank ? 0 : qty.value;
    if (!WholeNumber::readOptional(m_year->text(), m_item.year)) {
        setError(QStringLiteral("The year should be a number like 2026."));
        return;
    }
    Seed copy = m_item;
    copy.quantity = quantity;
    const std::optional<QString> failure = store(copy);
    m_item = copy;
    if (failure) {
        {
            const QSignalBlocker blocker(m_crop);
            m_crop->setText(m_item.crop);
        }
        setError(failure);
        return;
    }
    closeSheet(); // may end this editor: nothing after it
}

QString SeedEditor::deleteName(const Seed& seed)
{
    QString name = QStringLiteral("seed packet “") + seed.crop;
    if (!seed.variety.isEmpty())
        name += QLatin1Char(' ') + seed.variety;
    return name + QStringLiteral("”");
}

void SeedEditor::askDelete()
{
    closeAndAskDelete<Seed>(deleteName(m_item), QStringLiteral("Its germination tests are deleted too."), m_item.id);
}
