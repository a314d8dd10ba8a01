#include "kit/QNSearchField.h"

#include "kit/KitMetrics.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

QNSearchField::QNSearchField(const QString& prompt, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(KitMetrics::px(8), KitMetrics::px(4), KitMetrics::px(8), KitMetrics::px(4));
    m_edit = new QLineEdit;
    m_edit->setPlaceholderText(prompt);
    m_edit->setFrame(false);
    m_edit->setFont(KitMetrics::font(13));
    m_clear = new QToolButton;
    m_clear->setToolTip(QStringLiteral("Clear search"));
    m_clear->setAccessibleName(QStringLiteral("Clear search"));
    m_clear->setText(QStringLiteral("×"));
    m_clear->setVisible(false);
    row->addWidget(m_edit, 1);
    row->addWidget(m_clear);
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_clear->setVisible(!text.isEmpty());
        emit textChanged(text);
    });
    connect(m_clear, &QToolButton::clicked, m_edit, &QLineEdit::clear);
}

QString QNSearchField::text() const { return m_edit->text(); }
void QNSearchField::setText(const QString& text) { m_edit->setText(text); }

void QNSearchField::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawRoundedRect(rect(), KitMetrics::pxF(8), KitMetrics::pxF(8));
}
