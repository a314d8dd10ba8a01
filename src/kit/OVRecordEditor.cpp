#include "kit/OVRecordEditor.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVTextField.h"
#include "kit/ParseNumber.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "records/SpaceTrim.h"

#include <QVBoxLayout>

KeptNumber::Read KeptNumber::read(const QString& text) const
{
    Read result;
    result.trimmed = SpaceTrim::trimmed(text).toString();
    if (const std::optional<double> kept = keep(text)) {
        result.kind = Read::Kind::number;
        result.value = *kept;
        result.kept = true;
        return result;
    }
    if (result.trimmed.isEmpty())
        return result;
    if (const std::optional<double> number = parseNumber(result.trimmed)) {
        result.kind = Read::Kind::number;
        result.value = *number;
    } else {
        result.kind = Read::Kind::notNumber;
    }
    return result;
}

OVRecordEditor::OVRecordEditor(OVStore& store, const QString& title, const QString& symbol, double width,
                               QWidget* parent)
    : QWidget(parent), m_store(&store)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(title, symbol, width);
    outer->addWidget(m_frame);
    connect(m_frame, &OVEditorFrame::saveRequested, this, [this] { save(); });
    connect(m_frame, &OVEditorFrame::cancelRequested, this, [this] { cancel(); });
}

std::optional<QString> OVRecordEditor::error() const { return m_frame->error(); }

void OVRecordEditor::cancel() { closeSheet(); }

QVBoxLayout* OVRecordEditor::form() const { return m_frame->body(); }

void OVRecordEditor::setError(const std::optional<QString>& error) { m_frame->setError(error); }

QNChromeButton* OVRecordEditor::addDeleteButton(const QString& title)
{
    auto* button = new QNChromeButton(title, false, true);
    form()->addWidget(button, 0, Qt::AlignLeft);
    connect(button, &QPushButton::clicked, this, [this] { askDelete(); });
    return button;
}

void OVRecordEditor::cropFollowsPlant(PlantPicker* plant, OVTextField* crop)
{
    connect(plant, &PlantPicker::picked, this, [this, plant, crop, chosen = plant->plantID()]() mutable {
        const std::optional<qint64> picked = plant->plantID();
        if (picked == chosen)
            return;
        chosen = picked;
        if (const std::optional<Plant> record = m_store->get<Plant>(picked))
            crop->setText(record->crop);
    });
}

void OVRecordEditor::askAfterClosing(const QString& name, const QString& detail,
                                     std::function<void(OVStore&)> remove, std::function<void(OVStore&)> afterwards)
{
    const QPointer<OVStore> store = m_store;
    closeSheet(); // may end this editor: only copies below
    AppModel& model = AppModel::shared();
    model.askDelete(name, detail, [&model, store, remove, afterwards] {
        model.act([&] {
            if (!store)
                throw OVError::database(QStringLiteral("no database is open"));
            remove(*store);
        });
        if (afterwards && store)
            afterwards(*store);
    });
}
