#include "kit/OVStepper.h"

#include "kit/KitMetrics.h"
#include "kit/OVLabel.h"
#include "kit/KitIcons.h"
#include "kit/OVColors.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

OVStepper::OVStepper(int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), m_min(std::min(minimum, maximum)), m_max(std::max(minimum, maximum)), m_step(std::max(1, step)),
      m_value(m_min)
{
    setFocusPolicy(Qt::StrongFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(8));
    m_label = new OVLabel(QString(), 13, QFont::DemiBold);
    const QColor ink = OVColors().text();
    auto makeButton = [&](const QString& text, const QString& symbol, const QString& name) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setIcon(KitIcons::icon(symbol, ink, 13));
        b->setIconSize(QSize(KitMetrics::px(13), KitMetrics::px(13)));
        b->setAccessibleName(name);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        return b;
    };
    m_down = makeButton(QStringLiteral("−"), QStringLiteral("minus"), QStringLiteral("Decrease"));
    m_up = makeButton(QStringLiteral("+"), QStringLiteral("plus"), QStringLiteral("Increase"));
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
    const long long wanted = (long long)m_value + (long long)steps * m_step;
    const int next = int(std::clamp<long long>(wanted, m_min, m_max));
    if (next == m_value)
        return;
    m_value = next;
    refresh();
    emit changed();
}

void OVStepper::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Plus) {
        stepBy(1);
        return;
    }
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Minus) {
        stepBy(-1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void OVStepper::refresh()
{
    m_label->setText(m_format ? m_format(m_value) : QString::number(m_value));
    m_down->setEnabled(m_value > m_min);
    m_up->setEnabled(m_value < m_max);
}
