#include "screens/plants/GermTestEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVStepper.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "records/OVFormat.h"
#include "services/AppModel.h"
#include "services/WholeNumber.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

namespace {
int toStepper(qint64 value) { return int(std::clamp<qint64>(value, INT_MIN, INT_MAX)); }
} // namespace

GermTestEditor::GermTestEditor(const GermTest& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store,
                     item.id == 0 ? QStringLiteral("New Germination Test") : QStringLiteral("Edit Germination Test"),
                     QStringLiteral("sparkles"), 520, parent),
      m_item(item)
{
    QVBoxLayout* body = form();

    m_started = new OVDayPicker(m_item.started);
    body->addWidget(new OVField(QStringLiteral("Started"), m_started), 0, Qt::AlignLeft);

    auto* counts = new QHBoxLayout;
    counts->setSpacing(KitMetrics::px(12));
    m_sown = new OVStepper(1, 10000, 1);
    m_sown->setValue(toStepper(m_item.sown));
    m_sprouted = new OVStepper(0, 10000, 1);
    m_sprouted->setValue(toStepper(m_item.sprouted));
    m_days = new OVTextField(QStringLiteral("7"), m_item.days ? QString::number(*m_item.days) : QString());
    m_days->setFixedWidth(KitMetrics::px(70));
    counts->addWidget(new OVField(QStringLiteral("Seeds tested"), m_sown), 0, Qt::AlignVCenter);
    counts->addWidget(new OVField(QStringLiteral("Seeds that sprouted"), m_sprouted), 0, Qt::AlignVCenter);
    counts->addWidget(new OVField(QStringLiteral("Days to count"), m_days), 0, Qt::AlignVCenter);
    counts->addStretch(1);
    body->addLayout(counts);

    m_rate = new OVLabel(rateText(m_item), 14, QFont::Bold, OVColors::leaf());
    body->addWidget(m_rate);

    m_notes = new OVTextArea(m_item.notes, 50);
    body->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    body->addStretch(1);

    connect(m_started, &OVDayPicker::changed, this, [this] { m_item.started = m_started->day(); });
    connect(m_sown, &OVStepper::changed, this, [this] {
        m_item.sown = m_sown->value();
        m_rate->setText(rateText(m_item));
    });
    connect(m_sprouted, &OVStepper::changed, this, [this] {
        m_item.sprouted = m_sprouted->value();
        m_rate->setText(rateText(m_item));
    });
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] { m_item.notes = m_notes->text(); });
}

QString GermTestEditor::rateText(const GermTest& test)
{
    return QStringLiteral("Germination rate: ") + OVFormat::fixed(test.rate(), 0) + QLatin1Char('%');
}

void GermTestEditor::save()
{
    setError(std::nullopt);
    if (!WholeNumber::readOptional(m_days->text(), m_item.days)) {
        setError(QStringLiteral("Days should be a whole number."));
        return;
    }
    GermTest copy = m_item;
    if (const std::optional<QString> failure = store(copy)) {
        setError(failure);
        return;
    }
    m_item = copy;
    closeSheet(); // may end this editor: nothing after it
}
