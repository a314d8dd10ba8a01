#include "screens/plants/SeedEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/ParseNumber.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "services/AppModel.h"
#include "services/WholeNumber.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

SeedEditor::SeedEditor(const Seed& item, QWidget* parent) : QWidget(parent), m_item(item)
{
    // The typed texts, filled once as the sheet opens.
    m_openedQty = (m_item.id == 0 && m_item.quantity == 0) ? QString() : OVFormat::num(m_item.quantity, 2);
    const QString year = m_item.year ? QString::number(*m_item.year) : QString();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(m_item.id == 0 ? QStringLiteral("New Seed Packet") : QStringLiteral("Edit Seed Packet"),
                                QStringLiteral("circle.grid.cross.fill"));
    outer->addWidget(m_frame);
    QVBoxLayout* body = m_frame->body();

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
    m_qty = new OVTextField(QStringLiteral("250"), m_openedQty);
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
    if (m_item.id != 0) {
        m_delete = new QNChromeButton(QStringLiteral("Delete This Seed Packet…"), false, true);
        body->addWidget(m_delete, 0, Qt::AlignLeft);
        connect(m_delete, &QPushButton::clicked, this, &SeedEditor::askDelete);
    }
    body->addStretch(1);

    connect(m_crop, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.crop = t; });
    connect(m_variety, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.variety = t; });
    connect(m_supplier, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.supplier = t; });
    connect(m_lot, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.lot = t; });
    connect(m_unit, &QLineEdit::textChanged, this, [this](const QString& t) { m_item.unit = t; });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] { m_item.notes = m_notes->text(); });
    connect(m_frame, &OVEditorFrame::saveRequested, this, &SeedEditor::save);
    connect(m_frame, &OVEditorFrame::cancelRequested, this, &SeedEditor::cancel);
}

void SeedEditor::setError(const std::optional<QString>& error)
{
    m_error = error;
    m_frame->setError(error);
}

void SeedEditor::save()
{
    setError(std::nullopt);
    const QString qty = m_qty->text();
    if (WholeNumber::trimBlanks(qty).isEmpty()) {
        m_item.quantity = 0;
    } else if (qty != m_openedQty) {
        // An untouched amount keeps the stored value: the text shows it rounded.
        const auto number = parseNumber(qty);
        if (!number) {
            setError(QStringLiteral("“") + qty + QStringLiteral("” is not a number."));
            return;
        }
        m_item.quantity = *number;
    }
    const QString year = WholeNumber::trimBlanks(m_year->text());
    if (year.isEmpty()) {
        m_item.year = std::nullopt;
    } else {
        const auto number = WholeNumber::parse(year);
        if (!number) {
            setError(QStringLiteral("The year should be a number like 2026."));
            return;
        }
        m_item.year = *number;
    }
    Seed copy = m_item;
    try {
        OVStore* store = OVStore::shared();
        if (!store)
            throw OVError::database(QStringLiteral("no database is open"));
        store->save(copy);
    } catch (const OVError& error) {
        m_item = copy;
        {
            const QSignalBlocker blocker(m_crop);
            m_crop->setText(m_item.crop);
        }
        setError(error.errorDescription());
        return;
    }
    m_item = copy;
    closeSheet(); // may end this editor: nothing after it
}

void SeedEditor::cancel() { closeSheet(); }

QString SeedEditor::deleteName(const Seed& seed)
{
    QString name = QStringLiteral("seed packet “") + seed.crop;
    if (!seed.variety.isEmpty())
        name += QLatin1Char(' ') + seed.variety;
    return name + QStringLiteral("”");
}

void SeedEditor::askDelete()
{
    const QString name = deleteName(m_item);
    const qint64 id = m_item.id;
    closeSheet(); // may end this editor: only copies below
    AppModel& model = AppModel::shared();
    model.askDelete(name, QStringLiteral("Its germination tests are deleted too."), [&model, id] {
        model.act([id] {
            OVStore* store = OVStore::shared();
            if (!store)
                throw OVError::database(QStringLiteral("no database is open"));
            store->remove<Seed>(id);
        });
    });
}
