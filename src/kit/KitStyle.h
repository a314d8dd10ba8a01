#pragma once
// The application's style: Fusion, with Qt's own controls drawn at the interface zoom
// like the kit's widgets. Drop-downs, check boxes, radio buttons, spin, date and line
// edits, and the lists and calendars they open, get the kit's control font
// (controlPoints × zoom) unless they or a widget around them chose a size; check marks,
// radio dots, the arrows of a drop-down, date box or spin box, the column of a spin
// box's buttons, the room around a control's text and the rows of an open drop-down
// list scale with the zoom too, and so do a calendar's month arrows, its month button's
// mark and the room around its day numbers. Qt's file dialog keeps Qt's sizes.
// Every size is read from KitMetrics when Qt asks for it, and a control takes its font
// when it is first shown, so whatever is built after a zoom change (the zoom host
// rebuilds its content) follows it, however it was made. At zoom 1.0 the style draws
// as Fusion does (a drop-down's arrow is its own there too, of Fusion's shape and
// size). Main thread only.

#include <QProxyStyle>

class QStyleOptionComboBox;
class QStyleOptionSpinBox;

class KitStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The text size of Qt's controls at zoom 1.0, in points: the kit's field size.
    static constexpr double controlPoints = 13;

    KitStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

    using QProxyStyle::polish;
    void polish(QWidget* widget) override;

    // Whether `widget` is one of Qt's controls that take the kit's control font.
    static bool isControl(const QWidget* widget);

private:
    void drawComboArrow(const QStyleOptionComboBox& combo, QPainter* painter, const QWidget* widget) const;
    void drawSpinBox(const QStyleOptionSpinBox& spin, QPainter* painter, const QWidget* widget, double zoom) const;
};
