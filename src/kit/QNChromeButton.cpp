#include "kit/QNChromeButton.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/KitShadow.h"
#include "kit/KitText.h"
#include "kit/QNUI.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr double iconGap = 5; // between the symbol and the title, in points

double iconPoints(bool compact) { return (compact ? 11 : 12.5) * 1.15; }

} // namespace

QNChromeButton::QNChromeButton(const QString& title, bool prominent, bool compact, QWidget* parent)
    : QPushButton(parent), m_prominent(prominent), m_compact(compact)
{
    followZoom();
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // In a dialog a push button would answer Return itself; sheets save on Return.
    setAutoDefault(false);
    setTitle(title);
    KitShadow::cast(this, -1, 0.4, 3, QPointF(0, 2));
    connect(this, &QAbstractButton::pressed, this, [this] { KitShadow::setFade(this, opacity()); });
    connect(this, &QAbstractButton::released, this, [this] { KitShadow::setFade(this, opacity()); });
}

void QNChromeButton::followZoom()
{
    // The paddings and the symbol are measured when asked for; only the font is kept.
    setFont(KitMetrics::font(m_compact ? 11 : 12.5, QFont::Bold));
    updateGeometry();
    update();
}

void QNChromeButton::setTitle(const QString& title)
{
    m_title = title;
    setText(KitText::literal(title));
    setAccessibleName(title);
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
    const QFontMetricsF fm(font());
    const double padX = KitMetrics::pxF(m_compact ? 12 : 16);
    const double padY = KitMetrics::pxF(m_compact ? 5 : 8);
    double w = fm.horizontalAdvance(m_title) + 2 * padX;
    if (!m_symbol.isEmpty())
        w += KitMetrics::pxF(iconPoints(m_compact)) + (m_title.isEmpty() ? 0 : KitMetrics::pxF(iconGap));
    return QSize(int(std::ceil(w)), int(std::ceil(fm.height() + 2 * padY)));
}

double QNChromeButton::opacity() const
{
    // Disabled buttons are dimmed the way the platform dims disabled controls.
    return (isDown() ? 0.75 : 1.0) * (isEnabled() ? 1.0 : 0.45);
}

bool QNChromeButton::hitButton(const QPoint& pos) const
{
    QPainterPath capsule;
    const double radius = height() / 2.0;
    capsule.addRoundedRect(QRectF(rect()), radius, radius);
    return capsule.contains(QPointF(pos));
}

void QNChromeButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setOpacity(opacity());
    KitShadow::setFade(this, opacity());
    const QNKitTheme t = QNUI::shared().theme();
    const QRectF r = rect();
    const double radius = r.height() / 2;
    const QList<QColor> fill = m_prominent
                                   ? QList<QColor>{KitPaint::withAlpha(t.accent, 0.95), KitPaint::withAlpha(t.accent, 0.6)}
                                   : QList<QColor>{QColor::fromRgbF(0.42f, 0.42f, 0.42f), QColor::fromRgbF(0.16f, 0.16f, 0.16f)};
    KitPaint::fillRounded(p, r, radius, KitPaint::vertical(r, fill));
    KitPaint::rimRounded(p, r, radius, KitMetrics::pxF(1),
                         KitPaint::vertical(r, {QColor::fromRgbF(1, 1, 1, 0.55f), QColor::fromRgbF(0, 0, 0, 0.5f)}));

    const QColor ink = m_prominent ? QColor(Qt::white) : t.text;
    const QFontMetricsF fm(font());
    const double textW = fm.horizontalAdvance(m_title);
    const double iconW = m_symbol.isEmpty() ? 0 : KitMetrics::pxF(iconPoints(m_compact));
    const double gap = (m_symbol.isEmpty() || m_title.isEmpty()) ? 0 : KitMetrics::pxF(iconGap);
    double x = (r.width() - (iconW + gap + textW)) / 2;
    if (!m_symbol.isEmpty()) {
        const QPixmap icon = KitIcons::pixmap(m_symbol, ink, iconPoints(m_compact));
        const QSizeF is = icon.deviceIndependentSize();
        p.drawPixmap(QPointF(x, (r.height() - is.height()) / 2), icon);
        x += iconW + gap;
    }
    p.setPen(ink);
    p.setFont(font());
    p.drawText(QRectF(x, 0, textW + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_title);
}
