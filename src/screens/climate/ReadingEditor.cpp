#include "screens/climate/ReadingEditor.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVTextField.h"
#include "kit/ParseNumber.h"
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

namespace {

QString trimmedSpacesTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == QLatin1Char(' ') || text[begin] == QLatin1Char('\t')))
        ++begin;
    while (end > begin && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t')))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

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
    : QWidget(parent), m_store(store), m_item(item)
{
    const OVColors colors;
    // A new reading without a zone of this store gets the first zone.
    if (m_item.id == 0 && !m_store.get<Zone>(m_item.zoneID)) {
        const QList<Zone> zones = m_store.zones();
        m_item.zoneID = zones.isEmpty() ? 0 : zones.first().id;
    }

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new OVEditorFrame(m_item.id == 0 ? QStringLiteral("New Climate Reading") : QStringLiteral("Edit Reading"),
                                QStringLiteral("thermometer.medium"), 560);
    outer->addWidget(m_frame);
    QVBoxLayout* body = m_frame->body();

    auto* intro = new OVLabel(QStringLiteral("Manual entry — type what your thermometer, hygrometer, light meter or "
                                             "soil meter shows. Leave anything you didn't measure empty."),
                              12, QFont::Normal, colors.dim());
    intro->setWrapping(true);
    body->addWidget(intro);

    auto* top = new QHBoxLayout;
    top->setSpacing(KitMetrics::px(12));
    m_zone = new ZonePicker(m_store, false);
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
            m_filled[metric] = text;
            m_stored[metric] = value->second;
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

    connect(m_frame, &OVEditorFrame::saveRequested, this, [this] { save(); });
    connect(m_frame, &OVEditorFrame::cancelRequested, this, [] { closeSheet(); });
}

void ReadingEditor::save()
{
    m_frame->setError(std::nullopt);
    std::map<Metric, double> values;
    for (const Metric& metric : Metric::allCases()) {
        const QString text = trimmedSpacesTabs(m_fields.at(metric)->text());
        if (text.isEmpty())
            continue;
        // Untouched text: the stored value as it was, not its rounded display.
        if (const auto filled = m_filled.find(metric); filled != m_filled.end() && filled->second == text) {
            values[metric] = m_stored.at(metric);
            continue;
        }
        const std::optional<double> number = parseNumber(text);
        if (!number) {
            m_frame->setError(metric.name() + QStringLiteral(": “") + text + QStringLiteral("” is not a number."));
            return;
        }
        values[metric] = metric.fromDisplay(*number);
    }

    Reading candidate = m_item;
    candidate.values = values;
    try {
        if (candidate.id != 0) {
            m_store.save(candidate);
        } else {
            const OVStore::ImportCounts counts = m_store.addReadings({candidate});
            if (counts.added == 0) {
                m_item.values = values;
                m_frame->setError(duplicateText);
                return;
            }
        }
    } catch (const OVError& error) {
        m_item.values = values;
        m_frame->setError(error.errorDescription());
        return;
    }
    m_item = candidate;

    if (const std::optional<Zone> zone = m_store.get<Zone>(m_item.zoneID)) {
        OVStore* store = &m_store;
        OVNotify::climateAlerts(ClimateAlerts::check(m_item, zone->limits),
                                [store](qint64 id) { return store->zoneName(id); });
    }
    closeSheet();
}

void ReadingEditor::askDelete()
{
    const qint64 id = m_item.id;
    closeSheet();
    AppModel::shared().askDelete(QStringLiteral("this reading"), QString(), [id] {
        AppModel::shared().act([id] {
            if (OVStore* store = OVStore::shared())
                store->remove<Reading>(id);
        });
    });
}
