#include "screens/records/PestEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVOptionalDayPicker.h"
#include "kit/OVStepper.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

QString PestEditor::severityText(int severity)
{
    static const char* const words[] = {"a few seen", "light", "moderate", "heavy", "severe / spreading"};
    if (severity < 1 || severity > 5)
        return QString::number(severity);
    return QString::number(severity) + QStringLiteral(" — ") + QString::fromUtf8(words[severity - 1]);
}

PestEditor::PestEditor(const PestRecord& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store,
                     item.id == 0 ? QStringLiteral("Log a Pest or Disease") : QStringLiteral("Edit Pest / Disease Record"),
                     QStringLiteral("ladybug.fill"), 640, parent),
      m_item(item)
{
    QVBoxLayout* form = this->form();

    m_observed = new OVDayPicker(item.observed);
    m_kind = new QComboBox;
    m_kind->setFont(KitMetrics::font(13));
    m_kind->setFixedWidth(KitMetrics::px(230));
    {
        const QSignalBlocker blocker(m_kind);
        for (const ProblemKind kind : ProblemKind::allCases())
            m_kind->addItem(kind.name(), kind.rawValue());
    }
    auto* first = new QHBoxLayout;
    first->setSpacing(KitMetrics::px(12));
    first->addWidget(new OVField(QStringLiteral("Seen on"), m_observed), 0, Qt::AlignVCenter);
    first->addWidget(new OVField(QStringLiteral("Type"), m_kind), 0, Qt::AlignVCenter);
    first->addStretch(1);
    form->addLayout(first);

    m_problem = new OVTextField(QStringLiteral("Aphids, whitefly, powdery mildew, damping-off…"));
    form->addWidget(new OVField(QStringLiteral("Pest or problem"), m_problem));

    m_plant = new PlantPicker(store);
    m_zone = new ZonePicker(store, true);
    auto* place = new QHBoxLayout;
    place->setSpacing(KitMetrics::px(12));
    place->addWidget(new OVField(QStringLiteral("Plant"), m_plant), 1, Qt::AlignVCenter);
    place->addWidget(new OVField(QStringLiteral("Zone"), m_zone), 1, Qt::AlignVCenter);
    form->addLayout(place);

    m_severity = new OVStepper(1, 5, 1);
    m_severity->setFormatter(&PestEditor::severityText);
    form->addWidget(new OVField(QStringLiteral("Severity"), m_severity));

    m_treatment = new OVTextField(QStringLiteral("Hand-picked, yellow sticky cards, released lacewings, product name and rate…"));
    form->addWidget(new OVField(QStringLiteral("Treatment"), m_treatment));
    m_treated = new OVOptionalDayPicker(QStringLiteral("Treated on"), item.treated);
    form->addWidget(m_treated);
    m_result = new OVTextField(QStringLiteral("Gone after 10 days, still present…"));
    form->addWidget(new OVField(QStringLiteral("Result"), m_result));
    m_resolved = new QCheckBox(QStringLiteral("Resolved"));
    m_resolved->setFont(KitMetrics::font(13));
    form->addWidget(m_resolved);
    m_notes = new OVTextArea(QString(), 50);
    form->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    auto* caution = new OVLabel(QStringLiteral("Always follow the product label. This log records what you did; it does "
                                               "not recommend treatments."),
                                11, QFont::Normal, OVColors().dim());
    caution->setWrapping(true);
    form->addWidget(caution);
    if (item.id != 0)
        m_delete = addDeleteButton(QStringLiteral("Delete This Record…"));
    form->addStretch(1);

    fill(item);
    connect(m_kind, &QComboBox::activated, this, [this](int index) {
        m_item.kind = ProblemKind::fromRaw(m_kind->itemData(index).toString()).value_or(ProblemKind::pest);
    });
}

void PestEditor::fill(const PestRecord& record)
{
    m_observed->setDay(record.observed);
    {
        const QSignalBlocker blocker(m_kind);
        m_kind->setCurrentIndex(m_kind->findData(record.kind.rawValue()));
    }
    if (m_problem->text() != record.problem)
        m_problem->setText(record.problem);
    m_plant->setPlantID(record.plantID);
    m_zone->setZoneID(record.zoneID);
    m_severity->setValue(int(record.severity));
    if (m_treatment->text() != record.treatment)
        m_treatment->setText(record.treatment);
    m_treated->setDay(record.treated);
    if (m_result->text() != record.result)
        m_result->setText(record.result);
    {
        const QSignalBlocker blocker(m_resolved);
        m_resolved->setChecked(record.resolved);
    }
    if (m_notes->text() != record.notes)
        m_notes->setText(record.notes);
}

PestRecord PestEditor::item() const
{
    PestRecord typed = m_item;
    typed.observed = m_observed->day();
    typed.problem = m_problem->text();
    typed.plantID = m_plant->plantID();
    typed.zoneID = m_zone->zoneID();
    typed.severity = m_severity->value();
    typed.treatment = m_treatment->text();
    typed.treated = m_treated->day();
    typed.result = m_result->text();
    typed.resolved = m_resolved->isChecked();
    typed.notes = m_notes->text();
    return typed;
}

void PestEditor::save()
{
    setError(std::nullopt);
    PestRecord copy = item();
    // What the store's checks left in the copy (and its new id) comes back either way.
    commitAndClose(copy, [this](const PestRecord& left) {
        m_item = left;
        fill(left);
    });
}

void PestEditor::askDelete()
{
    closeAndAskDelete<PestRecord>(QStringLiteral("this pest / disease record"), QString(), item().id);
}
