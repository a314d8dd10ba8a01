#include "kit/QNSearchField.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/QNUI.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

QNSearchField::QNSearchField(const QString& prompt, QWidget* parent) : QWidget(parent)
{
    const QNKitTheme t = QNUI::shared().theme();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(KitMetrics::px(12), KitMetrics::px(7), KitMetrics::px(12), KitMetrics::px(7));
    row->setSpacing(KitMetrics::px(6));
    row->addWidget(KitIcons::label(QStringLiteral("magnifyingglass"), t.dim, 13 * 1.15));
    m_edit = new QLineEdit;
    m_edit->setPlaceholderText(prompt);
    m_edit->setFrame(false);
    m_edit->setFont(KitMetrics::font(13));
    m_edit->setTextMargins(0, 0, 0, 0);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, t.text);
    pal.setColor(QPalette::PlaceholderText, KitPaint::withAlpha(t.dim, 0.8));
    m_edit->setPalette(pal);
    m_clear = new QToolButton;
    m_clear->setToolTip(QStringLiteral("Clear search"));
    m_clear->setAccessibleName(QStringLiteral("Clear search"));
    m_clear->setIcon(KitIcons::icon(QStringLiteral("xmark.circle.fill"), t.dim, 13 * 1.15));
    m_clear->setIconSize(QSize(KitMetrics::px(13 * 1.15), KitMetrics::px(13 * 1.15)));
    m_clear->setAutoRaise(true);
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->setCursor(Qt::ArrowCursor);
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
    const QRectF r = rect();
    const double radius = r.height() / 2;
    KitPaint::fillRounded(p, r, radius, QColor::fromRgbF(0, 0, 0, 0.35f));
    KitPaint::rimRounded(p, r, radius, KitMetrics::pxF(1),
                         KitPaint::vertical(r, {QColor::fromRgbF(0, 0, 0, 0.6f), QColor::fromRgbF(1, 1, 1, 0.25f)}));
}
