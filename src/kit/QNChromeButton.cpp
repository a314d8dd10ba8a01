#include "kit/QNChromeButton.h"

#include "kit/KitMetrics.h"
#include "kit/QNUI.h"

#include <QFontMetrics>
#include <QPainter>

QNChromeButton::QNChromeButton(const QString& title, bool prominent, bool compact, QWidget* parent)
    : QPushButton(parent), m_prominent(prominent), m_compact(compact)
{
    setFont(KitMetrics::font(compact ? 11.5 : 13, QFont::DemiBold));
    setCursor(Qt::PointingHandCursor);
    setTitle(title);
}

void QNChromeButton::setTitle(const QString& title)
{
    m_title = title;
    QString escaped = title;
    setText(escaped.replace(QLatin1Char('&'), QStringLiteral("&&")));
    updateGeometry();
    update();
}

void QNChromeButton::setSymbol(const QString& symbol)
{
    m_symbol = symbol;
    updateGeometry();
    update();
}

QSize QNChromeButton::sizeHint() const
{
    const QFontMetrics fm(font());
    const int padX = KitMetrics::px(m_compact ? 10 : 14);
    const int padY = KitMetrics::px(m_compact ? 4 : 7);
    int w = fm.horizontalAdvance(m_title) + 2 * padX;
    if (!m_symbol.isEmpty())
        w += KitMetrics::px(18);
    return QSize(w, fm.height() + 2 * padY);
}

void QNChromeButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QNKitTheme t = QNUI::shared().theme();
    p.setPen(Qt::NoPen);
    p.setBrush(m_prominent ? t.accent : t.panelTop);
    p.drawRoundedRect(rect(), KitMetrics::pxF(9), KitMetrics::pxF(9));
    p.setPen(isEnabled() ? t.text : t.dim);
    p.drawText(rect(), Qt::AlignCenter, m_title);
}
