#include "kit/KitStyle.h"

#include "kit/KitMetrics.h"

#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPolygonF>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace {

// Qt's file dialog is not the kit's: its lists and labels keep Qt's sizes, and so do
// the controls among them. Everything else follows the interface zoom.
double zoomFor(const QWidget* widget)
{
    if (widget && qobject_cast<const QFileDialog*>(widget->window()))
        return 1.0;
    return KitMetrics::zoom();
}

int scaled(int pixels, double zoom) { return int(std::lround(pixels * zoom)); }

// Whether `widget` is part of a calendar (its navigation buttons, its table and that
// table's headers), within the calendar's own window: the month menu it opens is a
// menu, and keeps a menu's sizes.
bool inCalendar(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (qobject_cast<const QCalendarWidget*>(w))
            return true;
    }
    return false;
}

// The room a style adds around a control's contents is made of fixed pixels; at a
// zoom it grows with the text it surrounds.
QSize scaledAround(const QSize& contents, const QSize& styled, double zoom)
{
    const auto grow = [zoom](int inner, int outer) {
        return outer <= inner ? outer : inner + int(std::ceil((outer - inner) * zoom));
    };
    return QSize(grow(contents.width(), styled.width()), grow(contents.height(), styled.height()));
}

// Moves the boundary between a control's text and its button column (the column's
// inner edge, or the text's edge beside the column) toward the text by `by` pixels,
// for either writing direction.
QRect moveTowardText(QRect r, bool column, int by, Qt::LayoutDirection direction)
{
    const bool rightToLeft = direction == Qt::RightToLeft;
    const int shift = rightToLeft ? by : -by;
    if (column != rightToLeft)
        r.setLeft(r.left() + shift);
    else
        r.setRight(r.right() + shift);
    return r;
}

// Fusion's arrow: a triangle `width` wide and half as high, centred in `room`, smoothed.
void drawArrow(QPainter* painter, const QRectF& room, Qt::ArrowType type, const QColor& colour, double width)
{
    QRectF arrow(0, 0, width, width / 2);
    if (type == Qt::LeftArrow || type == Qt::RightArrow)
        arrow = arrow.transposed();
    arrow.moveCenter(room.center());
    QPolygonF triangle;
    switch (type) {
    case Qt::UpArrow:
        triangle = {arrow.bottomLeft(), arrow.bottomRight(), QPointF(arrow.center().x(), arrow.top())};
        break;
    case Qt::LeftArrow:
        triangle = {arrow.topRight(), arrow.bottomRight(), QPointF(arrow.left(), arrow.center().y())};
        break;
    case Qt::RightArrow:
        triangle = {arrow.topLeft(), arrow.bottomLeft(), QPointF(arrow.right(), arrow.center().y())};
        break;
    default:
        triangle = {arrow.topLeft(), arrow.topRight(), QPointF(arrow.center().x(), arrow.bottom())};
        break;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawPolygon(triangle);
    painter->restore();
}

// The width Fusion gives an arrow in `room`, at `zoom`: 8 pixels at 1.0, never more
// than the room is wide or high. Fusion itself stops at 8 whatever the room.
double arrowWidth(const QRectF& room, double zoom) { return std::min({8 * zoom, room.width(), room.height()}); }

// Fusion's arrow colour: the text's, softened.
QColor arrowColour(const QPalette& palette, QPalette::ColorRole role)
{
    QColor colour = palette.color(role);
    colour.setAlpha(160);
    return colour;
}

} // namespace

KitStyle::KitStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

bool KitStyle::isControl(const QWidget* widget)
{
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QCalendarWidget*>(widget);
}

void KitStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    // A size chosen for the control, or for a widget it sits in (a drop-down's own
    // line edit, a kit field), stands: it was made through KitMetrics already. A
    // drop-down's list and a date box's calendar are windows of their own and take
    // their size from here.
    // Qt's file dialog keeps Qt's sizes throughout: its lists and labels are not the
    // kit's, and its fields beside them should not be either.
    if (isControl(widget) && !(widget->font().resolveMask() & QFont::SizeResolved) &&
        !qobject_cast<const QFileDialog*>(widget->window()))
        widget->setFont(KitMetrics::font(controlPoints));
}

int KitStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    const double zoom = zoomFor(widget);
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return scaled(base, zoom);
    // A calendar's month arrows (icons of its navigation buttons), the room around its
    // day numbers (its headers' margins give its rows their height) and the square the
    // month button's mark is drawn in (six pixels less than this metric).
    case PM_ButtonIconSize:
    case PM_HeaderMargin:
        return inCalendar(widget) ? scaled(base, zoom) : base;
    case PM_MenuButtonIndicator:
        return inCalendar(widget) ? 6 + scaled(base - 6, zoom) : base;
    default:
        return base;
    }
}

QSize KitStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                                 const QWidget* widget) const
{
    const QSize styled = QProxyStyle::sizeFromContents(type, option, contents, widget);
    const double zoom = zoomFor(widget);
    if (zoom == 1.0)
        return styled;
    switch (type) {
    case CT_ComboBox:
    case CT_SpinBox:
    case CT_LineEdit:
        return scaledAround(contents, styled, zoom);
    case CT_MenuItem:
        // The rows of a drop-down's open list; menus keep their own sizes. A row's
        // height is its text's line (already at the zoom) and Fusion's room around it.
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
            item && qobject_cast<const QComboBox*>(widget))
            return scaledAround(QSize(contents.width(), item->fontMetrics.height()), styled, zoom);
        return styled;
    default:
        return styled;
    }
}

QRect KitStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                               const QWidget* widget) const
{
    const QRect base = QProxyStyle::subControlRect(control, option, sub, widget);
    const double zoom = zoomFor(widget);
    if (zoom == 1.0 || base.isEmpty())
        return base;
    // The arrow's (or buttons') column grows with the zoom; the text gives up the room.
    const auto extra = [&](SubControl button) {
        const QRect r = QProxyStyle::subControlRect(control, option, button, widget);
        return scaled(r.width(), zoom) - r.width();
    };
    if (control == CC_ComboBox) {
        if (sub == SC_ComboBoxArrow)
            return moveTowardText(base, true, extra(SC_ComboBoxArrow), option->direction);
        if (sub == SC_ComboBoxEditField)
            return moveTowardText(base, false, extra(SC_ComboBoxArrow), option->direction);
    } else if (control == CC_SpinBox) {
        if (sub == SC_SpinBoxUp || sub == SC_SpinBoxDown)
            return moveTowardText(base, true, extra(sub), option->direction);
        if (sub == SC_SpinBoxEditField)
            return moveTowardText(base, false, extra(SC_SpinBoxUp), option->direction);
    }
    return base;
}

void KitStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const
{
    const double zoom = zoomFor(widget);
    const bool mark = element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton;
    const bool arrow = element == PE_IndicatorArrowUp || element == PE_IndicatorArrowDown ||
                       element == PE_IndicatorArrowLeft || element == PE_IndicatorArrowRight;
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (zoom == 1.0 || option->rect.isEmpty() || !((mark && button) || (arrow && inCalendar(widget)))) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    if (arrow) {
        // A calendar's arrow (the month button's mark), which Fusion would keep at its
        // own size.
        const Qt::ArrowType type = element == PE_IndicatorArrowUp     ? Qt::UpArrow
                                   : element == PE_IndicatorArrowDown ? Qt::DownArrow
                                   : element == PE_IndicatorArrowLeft ? Qt::LeftArrow
                                                                      : Qt::RightArrow;
        drawArrow(painter, option->rect, type, arrowColour(option->palette, QPalette::WindowText),
                  arrowWidth(option->rect, zoom));
        return;
    }
    // The box (or circle) and its mark are drawn at 1.0 and enlarged, so the outline and
    // the tick's stroke grow with the box, not only the box.
    QStyleOptionButton plain = *button;
    plain.rect = QRect(0, 0, std::max(1, int(std::lround(option->rect.width() / zoom))),
                       std::max(1, int(std::lround(option->rect.height() / zoom))));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(option->rect.topLeft());
    painter->scale(double(option->rect.width()) / plain.rect.width(), double(option->rect.height()) / plain.rect.height());
    QProxyStyle::drawPrimitive(element, &plain, painter, widget);
    painter->restore();
}

void KitStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                  const QWidget* widget) const
{
    if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option); combo && control == CC_ComboBox) {
        // Fusion draws its arrow at one size; the box is drawn without it and the arrow at
        // the zoom over it. At every zoom, 1.0 too: Fusion keeps the boxes it drew in one
        // cache whose names do not tell boxes with an arrow from those without.
        QStyleOptionComboBox box = *combo;
        box.subControls &= ~SC_ComboBoxArrow;
        QProxyStyle::drawComplexControl(control, &box, painter, widget);
        if (combo->subControls & SC_ComboBoxArrow)
            drawComboArrow(*combo, painter, widget);
        return;
    }
    const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
    const double zoom = zoomFor(widget);
    if (control == CC_SpinBox && spin && spin->buttonSymbols == QAbstractSpinBox::UpDownArrows && zoom != 1.0) {
        drawSpinBox(*spin, painter, widget, zoom);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void KitStyle::drawComboArrow(const QStyleOptionComboBox& combo, QPainter* painter, const QWidget* widget) const
{
    // Fusion's arrow: 8 pixels wide, half as high, in the button text's colour softened.
    drawArrow(painter, subControlRect(CC_ComboBox, &combo, SC_ComboBoxArrow, widget), Qt::DownArrow,
              arrowColour(combo.palette, QPalette::ButtonText), 8 * zoomFor(widget));
}

void KitStyle::drawSpinBox(const QStyleOptionSpinBox& spin, QPainter* painter, const QWidget* widget,
                              double zoom) const
{
    // Fusion draws arrows only for the two kinds of symbol it knows: the box and its
    // buttons are drawn for a value that is neither (kept apart in Fusion's cache, whose
    // names hold the symbols) and the arrows at the zoom over them.
    constexpr auto noSymbols = QAbstractSpinBox::ButtonSymbols(3);
    static_assert(noSymbols != QAbstractSpinBox::UpDownArrows && noSymbols != QAbstractSpinBox::PlusMinus &&
                  noSymbols != QAbstractSpinBox::NoButtons);
    QStyleOptionSpinBox box = spin;
    box.buttonSymbols = noSymbols;
    QProxyStyle::drawComplexControl(CC_SpinBox, &box, painter, widget);

    // Fusion's colours: the text's softened, and for a step that cannot be taken, that
    // colour half way to the button's.
    const QColor enabled = arrowColour(spin.palette, QPalette::WindowText);
    const QColor button = spin.palette.color(QPalette::Button);
    const QColor disabled((enabled.red() + button.red()) / 2, (enabled.green() + button.green()) / 2,
                          (enabled.blue() + button.blue()) / 2, enabled.alpha());
    const QRectF up = subControlRect(CC_SpinBox, &spin, SC_SpinBoxUp, widget).adjusted(0, 0, 0, 1);
    const QRectF down = subControlRect(CC_SpinBox, &spin, SC_SpinBoxDown, widget);
    drawArrow(painter, up, Qt::UpArrow, (spin.stepEnabled & QAbstractSpinBox::StepUpEnabled) ? enabled : disabled,
              arrowWidth(up, zoom));
    drawArrow(painter, down, Qt::DownArrow,
              (spin.stepEnabled & QAbstractSpinBox::StepDownEnabled) ? enabled : disabled, arrowWidth(down, zoom));
}
