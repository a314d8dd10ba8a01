#include "app/RailButton.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr double padX = 12;
constexpr double padY = 8;
constexpr double symbolColumn = 20;
constexpr double gap = 10;
constexpr double radius = 12;
constexpr double titlePoints = 13.5;
// Symbols beside text are drawn at 1.2 times the text's size throughout the kit.
constexpr double symbolPoints = titlePoints * 1.2;
} // namespace

RailButton::RailButton(Screen screen, bool selected, QWidget* parent)
    : QAbstractButton(parent), m_screen(screen), m_selected(selected)
{
    // No setText: a button's text makes "&" a mnemonic; the title is painted instead.
    setAccessibleName(screen.title());
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void RailButton::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    updateGeometry(); // bold and semibold titles differ in width
    update();
}

QFont RailButton::titleFont() const
{
    return KitMetrics::font(titlePoints, m_selected ? QFont::Bold : QFont::DemiBold);
}

QSize RailButton::sizeHint() const
{
    const QFontMetrics fm(titleFont());
    const int w = KitMetrics::px(padX * 2 + symbolColumn + gap) + fm.horizontalAdvance(m_screen.title());
    const int h = std::max(fm.height(), KitMetrics::px(titlePoints * 1.2)) + KitMetrics::px(padY * 2);
    return QSize(w, h);
}

QSize RailButton::minimumSizeHint() const
{
    return QSize(KitMetrics::px(padX * 2 + symbolColumn), sizeHint().height());
}

void RailButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const OVColors colors;
    const QRectF box = QRectF(rect());

    if (m_selected) {
        QColor top = colors.accent();
        top.setAlphaF(0.95f);
        QColor bottom = colors.accent();
        bottom.setAlphaF(0.65f);
        QLinearGradient fill(box.topLeft(), box.bottomLeft());
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        QPainterPath shape;
        shape.addRoundedRect(box, KitMetrics::pxF(radius), KitMetrics::pxF(radius));
        p.fillPath(shape, fill);
        // A 1-wide line along the inside edge.
        const QRectF inner = box.adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.35f), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inner, KitMetrics::pxF(radius) - 0.5, KitMetrics::pxF(radius) - 0.5);
    }

    const QColor symbolColor = m_selected ? QColor(Qt::white) : OVColors::leaf();
    const QColor titleColor = m_selected ? QColor(Qt::white) : colors.text();

    const double left = KitMetrics::pxF(padX);
    const double column = KitMetrics::pxF(symbolColumn);
    const QPixmap symbol = KitIcons::pixmap(m_screen.symbol(), symbolColor, symbolPoints);
    const double dpr = symbol.devicePixelRatio();
    const QSizeF symbolSize(symbol.width() / dpr, symbol.height() / dpr);
    p.drawPixmap(QPointF(left + (column - symbolSize.width()) / 2.0, (height() - symbolSize.height()) / 2.0), symbol);

    p.setFont(titleFont());
    p.setPen(titleColor);
    const double textLeft = left + column + KitMetrics::pxF(gap);
    const QRectF textBox(textLeft, 0, width() - textLeft - KitMetrics::pxF(padX), height());
    const QString title = QFontMetrics(p.font()).elidedText(m_screen.title(), Qt::ElideRight, int(textBox.width()));
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, title);
}
