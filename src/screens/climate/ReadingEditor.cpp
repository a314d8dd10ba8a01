#include "screens/climate/ReadingEditor.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVTextField.h"
#include "records/SpaceTrim.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "services/AppModel.h"
#include "services/ClimateAlerts.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

const QString ReadingEditor::duplicateText = QStringLiteral(
    "This zone already has a reading at that exact minute. Change the time, or edit the existing reading.");

QString ReadingEditor::fieldText(Metric metric, double stored)
{
    const double v = metric.toDisplay(stored);
    char buffer[64];
    const bool whole = std::isfinite(v) && v == std::trunc(v);
    const auto done = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, whole ? 0 : 2);
    if (done.ec != std::errc())
        return QString();
    QString text = QString::fromLatin1(buffer, int(done.ptr - buffer));
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

ReadingEditor::ReadingEditor(const Reading& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, item.id == 0 ? QStringLiteral("New Climate Reading") : QStringLiteral("Edit Reading"),
                     QStringLiteral("thermometer.medium"), 560, parent),
      m_item(item)
{
    const OVColors colors;
    // A new reading without a zone of this store gets the first zone.
    if (m_item.id == 0 && !store.get<Zone>(m_item.zoneID)) {
        const QList<Zone> zones = store.zones();
        m_item.zoneID = zones.isEmpty() ? 0 : zones.first().id;
    }

    QVBoxLayout* body = form();

    auto* intro = new OVLabel(QStringLiteral("Manual entry — type what your thermometer, hygrometer, light meter or "
                                             "soil meter shows. Leave anything you didn't measure empty."),
                              12, QFont::Normal, colors.dim());
    intro->setWrapping(true);
    body->addWidget(intro);

    auto* top = new QHBoxLayout;
    top->setSpacing(KitMetrics::px(12));
    m_zone = new ZonePicker(store, false);
    m_zone->setZoneID(m_item.zoneID != 0 ? std::optional<qint64>(m_item.zoneID) : std::nullopt);
    top->addWidget(new OVField(QStringLiteral("Zone"), m_zone), 1);
    m_when = new QDateTimeEdit;
    m_when->setCalendarPopup(false);
    m_when->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    m_when->setTimeSpec(Qt::LocalTime);
    m_when->setDateTime(m_item.taken.toLocalTime());
    m_when->setFont(KitMetrics::font(13));
    top->addWidget(new OVField(QStringLiteral("When"), m_when), 1);
    body->addLayout(top);

    connect(m_zone, &ZonePicker::picked, this, [this] { m_item.zoneID = m_zone->zoneID().value_or(0); });
    // Only the user's edits move the time; an untouched field keeps the seconds.
    connect(m_when, &QDateTimeEdit::dateTimeChanged, this,
            [this](const QDateTime& when) { m_item.taken = when.toUTC(); });

    for (const Metric& metric : Metric::allCases()) {
        auto* row = new QHBoxLayout;
        auto* name = new QWidget;
        name->setFixedWidth(KitMetrics::px(190));
        auto* nameRow = new QHBoxLayout(name);
        nameRow->setContentsMargins(0, 0, 0, 0);
        nameRow->setSpacing(KitMetrics::px(6));
        nameRow->addWidget(KitIcons::label(metric.symbol(), colors.text(), 13));
        nameRow->addWidget(new OVLabel(metric.name(), 13, QFont::DemiBold), 1);
        row->addWidget(name);

        auto* field = new OVTextField;
        field->setFixedWidth(KitMetrics::px(110));
        if (const auto value = m_item.values.find(metric); value != m_item.values.end()) {
            const QString text = fieldText(metric, value->second);
            field->setText(text);
            m_filled[metric] = KeptNumber(value->second, text);
        }
        m_fields[metric] = field;
        row->addWidget(field);
        row->addWidget(new OVLabel(metric.unit(), 13, QFont::Normal, colors.dim()));
        row->addStretch(1);
        body->addLayout(row);
    }

    m_note = new OVTextField(QStringLiteral("Vents open, cloudy…"), m_item.note);
    body->addWidget(new OVField(QStringLiteral("Note"), m_note));
    connect(m_note, &QLineEdit::textEdited, this, [this](const QString& text) { m_item.note = text; });

    if (m_item.id != 0) {
        m_delete = new QNChromeButton(QStringLiteral("Delete This Reading…"), false, true);
        auto* row = new QHBoxLayout;
        row->addWidget(m_delete);
        row->addStretch(1);
        body->addLayout(row);
        connect(m_delete, &QPushButton::clicked, this, [this] { askDelete(); });
    }
}

void ReadingEditor::save()
{
    setError(std::nullopt);
    std::map<Metric, double> values;
    for (const Metric& metric : Metric::allCases()) {
        const auto filled = m_filled.find(metric);
        const KeptNumber opened = filled != m_filled.end() ? filled->second : KeptNumber();
        // Blanks around an untouched text still keep the stored value.
        const KeptNumber::Read typed = opened.read(SpaceTrim::trimmed(m_fields.at(metric)->text()).toString());
        if (typed.kind == KeptNumber::Read::Kind::blank)
            continue;
        if (typed.kind == KeptNumber::Read::Kind::notNumber) {
            setError(metric.name() + QStringLiteral(": “") + typed.trimmed + QStringLiteral("” is not a number."));
            return;
        }
        // Untouched text: the stored value as it was, not its rounded display.
        values[metric] = typed.kept ? typed.value : metric.fromDisplay(typed.value);
    }

    Reading candidate = m_item;
    candidate.values = values;
    OVStore& store = this->store();
    std::optional<QString> failure;
    if (candidate.id != 0) {
        failure = this->store(candidate);
    } else {
        try {
            if (store.addReadings({candidate}).added == 0)
                failure = duplicateText;
        } catch (const OVError& error) {
            failure = error.errorDescription();
        }
    }
    if (failure) {
        m_item.values = values;
        setError(failure);
        return;
    }
    m_item = candidate;

    if (const std::optional<Zone> zone = store.get<Zone>(m_item.zoneID)) {
        OVStore* shown = &store;
        OVNotify::climateAlerts(ClimateAlerts::check(m_item, zone->limits),
                                [shown](qint64 id) { return shown->zoneName(id); });
    }
    closeSheet();
}

void ReadingEditor::askDelete()
{
    closeAndAskDelete<Reading>(QStringLiteral("this reading"), QString(), m_item.id);
}
