#include "screens/climate/ReadingRow.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "services/AppModel.h"
#include "services/ClimateAlerts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ReadingRow::ReadingRow(const Reading& reading, const Zone& zone, AppModel& model, QWidget* parent)
    : OVRowBox(false, parent), m_reading(reading)
{
    const OVColors colors;
    const QList<ClimateAlert> alerts = ClimateAlerts::check(reading, zone.limits);
    setHighlight(!alerts.isEmpty());

    auto* row = new QHBoxLayout;
    row->setSpacing(KitMetrics::px(12));
    row->setContentsMargins(0, 0, 0, 0);
    body()->addLayout(row);

    auto* when = new OVLabel(OVFormat::dayTime(reading.taken), 12.5, QFont::DemiBold, colors.text());
    when->setFixedWidth(KitMetrics::px(170));
    row->addWidget(when);

    for (const Metric& metric : Metric::allCases()) {
        const auto value = reading.values.find(metric);
        if (value == reading.values.end())
            continue;
        bool alerting = false;
        for (const ClimateAlert& alert : alerts)
            alerting = alerting || alert.metric == metric;
        auto* text = new OVLabel(metric.shortName() + QLatin1Char(' ') + metric.format(value->second), 12,
                                 alerting ? QFont::ExtraBold : QFont::Normal,
                                 alerting ? OVColors::alert() : colors.text());
        row->addWidget(text);
        m_values.append(text);
        m_alerting.append(alerting);
    }
    row->addStretch(1);

    if (reading.source == QLatin1String("csv")) {
        row->addWidget(new OVTag(QStringLiteral("CSV"), OVColors::gray()));
        m_csvTag = true;
    }

    m_edit = new QNChromeButton(QStringLiteral("Edit"), false, true);
    row->addWidget(m_edit);
    connect(m_edit, &QPushButton::clicked, this, [this, &model] { model.setSheet(EditSheet(m_reading)); });
}
