#include "screens/today/ClimateNowTile.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "records/OVFormat.h"
#include "services/ClimateAlerts.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

const QList<Metric>& ClimateNowTile::shownMetrics()
{
    static const QList<Metric> metrics{Metric::temp, Metric::humidity, Metric::soilMoisture};
    return metrics;
}

ClimateNowTile::ClimateNowTile(const Zone& zone, const QString& title, const std::optional<Reading>& latest,
                               QWidget* parent)
    : OVRowBox(false, parent), m_zoneID(zone.id), m_title(title)
{
    const OVColors colors;
    if (latest)
        m_alerts = ClimateAlerts::check(*latest, zone.limits);
    setHighlight(!m_alerts.isEmpty());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(title);

    auto* stack = new QVBoxLayout;
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(4));
    body()->addLayout(stack);

    auto* name = new OVLabel(title, 12.5, QFont::Bold, colors.text());
    name->setObjectName(QStringLiteral("zoneTitle"));
    // One line: a long name is cut rather than widening the grid's column.
    name->setMinimumWidth(1);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    name->setToolTip(OVLabel::plainToolTip(title));
    stack->addWidget(name);
    m_name = name;

    if (latest) {
        auto* values = new QHBoxLayout;
        values->setContentsMargins(0, 0, 0, 0);
        values->setSpacing(KitMetrics::px(10));
        for (const Metric& metric : shownMetrics()) {
            const auto value = latest->values.find(metric);
            if (value == latest->values.end())
                continue;
            bool alerting = false;
            for (const ClimateAlert& alert : m_alerts)
                alerting = alerting || alert.metric == metric;
            const QColor color = alerting ? OVColors::alert() : colors.text();
            auto* pair = new QHBoxLayout;
            pair->setContentsMargins(0, 0, 0, 0);
            pair->setSpacing(KitMetrics::px(3));
            pair->addWidget(KitIcons::label(metric.symbol(), color, 12));
            auto* text = new OVLabel(metric.format(value->second), 12, QFont::DemiBold, color);
            pair->addWidget(text);
            values->addLayout(pair);
            m_values.append(text);
            m_alerting.append(alerting);
        }
        values->addStretch(1);
        stack->addLayout(values);
        auto* when = new OVLabel(OVFormat::dayTime(latest->taken), 10.5, QFont::Normal, colors.dim());
        when->setObjectName(QStringLiteral("taken"));
        stack->addWidget(when);
    } else {
        auto* none = new OVLabel(QStringLiteral("No readings yet"), 11.5, QFont::Normal, colors.dim());
        none->setObjectName(QStringLiteral("noReadings"));
        stack->addWidget(none);
    }

    for (const ClimateAlert& alert : m_alerts) {
        m_alertLines.append(alert.text());
        auto* line = new OVLabel(m_alertLines.last(), 10.5, QFont::DemiBold, OVColors::alert());
        line->setObjectName(QStringLiteral("alertLine"));
        line->setWrapping(true);
        stack->addWidget(line);
    }
}


void ClimateNowTile::resizeEvent(QResizeEvent* event)
{
    OVRowBox::resizeEvent(event);
    // One line: a name wider than the tile ends in "…".
    m_name->setText(m_name->fontMetrics().elidedText(m_title, Qt::ElideRight, std::max(1, m_name->width())));
}

void ClimateNowTile::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    OVRowBox::mousePressEvent(event);
}

void ClimateNowTile::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        if (rect().contains(event->position().toPoint()))
            emit clicked();
        return;
    }
    OVRowBox::mouseReleaseEvent(event);
}

void ClimateNowTile::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    OVRowBox::keyPressEvent(event);
}
