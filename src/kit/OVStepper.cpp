#include "kit/OVStepper.h"

#include "kit/KitMetrics.h"
#include "kit/OVLabel.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <algorithm>

OVStepper::OVStepper(int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_step(step), m_value(minimum)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(8));
    m_label = new OVLabel(QString(), 13, QFont::DemiBold);
    m_down = new QToolButton;
    m_down->setText(QStringLiteral("−"));
    m_up = new QToolButton;
    m_up->setText(QStringLiteral("+"));
    row->addWidget(m_label);
    row->addWidget(m_down);
    row->addWidget(m_up);
    row->addStretch(1);
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    refresh();
}

void OVStepper::setValue(int value)
{
    m_min = std::min(m_min, value);
    m_max = std::max(m_max, value);
    m_value = value;
    refresh();
}

void OVStepper::setFormatter(std::function<QString(int)> formatter)
{
    m_format = std::move(formatter);
    refresh();
}

void OVStepper::stepBy(int steps)
{
    const int next = std::clamp(m_value + steps * m_step, m_min, m_max);
    if (next == m_value)
        return;
    m_value = next;
    refresh();
    emit changed();
}

void OVStepper::refresh()
{
    m_label->setText(m_format ? m_format(m_value) : QString::number(m_value));
    m_down->setEnabled(m_value > m_min);
    m_up->setEnabled(m_value < m_max);
}
