#include "kit/OVLinkButton.h"

#include "kit/OVLabel.h"

#include <QVBoxLayout>

OVLinkButton::OVLinkButton(const QString& text, double points, int weight, const QColor& color, QWidget* parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(text);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_label = new OVLabel(text, points, weight, color);
    // A button's children would otherwise take its ButtonText colour.
    m_label->setForegroundRole(QPalette::WindowText);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_label);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QSize OVLinkButton::sizeHint() const { return m_label->sizeHint(); }
QSize OVLinkButton::minimumSizeHint() const { return m_label->minimumSizeHint(); }
int OVLinkButton::heightForWidth(int width) const
{
    const int h = m_label->hasHeightForWidth() ? m_label->heightForWidth(width) : -1;
    return h >= 0 ? h : m_label->sizeHint().height();
}
