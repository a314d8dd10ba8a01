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
#include <cmath>

namespace {

bool zoomed() { return KitMetrics::zoom() != 1.0; }

// The room a style adds around a control's contents is made of fixed pixels; at a
// zoom it grows with the text it surrounds.
QSize scaledAround(const QSize& contents, const QSize& styled)
{
    const double z = KitMetrics::zoom();
    const auto grow = [z](int inner, int outer) {
        return outer <= inner ? outer : inner + int(std::ceil((outer - inner) * z));
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
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return KitMetrics::px(base);
    default:
        return base;
    }
}

QSize KitStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                                 const QWidget* widget) const
{
    const QSize styled = QProxyStyle::sizeFromContents(type, option, contents, widget);
    if (!zoomed())
        return styled;
    switch (type) {
    case CT_ComboBox:
    case CT_SpinBox:
    case CT_LineEdit:
        return scaledAround(contents, styled);
    case CT_MenuItem:
        // The rows of a drop-down's open list; menus keep their own sizes.
        return qobject_cast<const QComboBox*>(widget) ? scaledAround(contents, styled) : styled;
    default:
        return styled;
    }
}

QRect KitStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                               const QWidget* widget) const
{
    const QRect base = QProxyStyle::subControlRect(control, option, sub, widget);
    if (!zoomed() || base.isEmpty())
        return base;
    // The arrow's (or buttons') column grows with the zoom; the text gives up the room.
    const auto extra = [&](SubControl button) {
        const QRect r = QProxyStyle::subControlRect(control, option, button, widget);
        return KitMetrics::px(r.width()) - r.width();
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
    const bool mark = element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton;
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (!zoomed() || !mark || !button || option->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The box (or circle) and its mark are drawn at 1.0 and enlarged, so the outline and
    // the tick's stroke grow with the box, not only the box.
    const double z = KitMetrics::zoom();
    QStyleOptionButton plain = *button;
    plain.rect = QRect(0, 0, std::max(1, int(std::lround(option->rect.width() / z))),
                       std::max(1, int(std::lround(option->rect.height() / z))));
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
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (control != CC_ComboBox || !combo) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // Fusion draws its arrow at one size; the box is drawn without it and the arrow at
    // the zoom over it. At every zoom, 1.0 too: Fusion keeps the boxes it drew in one
    // cache whose names do not tell boxes with an arrow from those without.
    QStyleOptionComboBox box = *combo;
    box.subControls &= ~SC_ComboBoxArrow;
    QProxyStyle::drawComplexControl(control, &box, painter, widget);
    if (combo->subControls & SC_ComboBoxArrow)
        drawComboArrow(*combo, painter, widget);
}

void KitStyle::drawComboArrow(const QStyleOptionComboBox& combo, QPainter* painter, const QWidget* widget) const
{
    const QRectF column = subControlRect(CC_ComboBox, &combo, SC_ComboBoxArrow, widget);
    // Fusion's arrow: 8 pixels wide, half as high, in the button text's colour softened.
    const double width = KitMetrics::pxF(8);
    const double height = KitMetrics::pxF(4);
    QRectF arrow(0, 0, width, height);
    arrow.moveCenter(column.center());
    QColor colour = combo.palette.buttonText().color();
    colour.setAlpha(160);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawPolygon(QPolygonF{arrow.topLeft(), arrow.topRight(), QPointF(arrow.center().x(), arrow.bottom())});
    painter->restore();
}
