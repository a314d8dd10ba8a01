#pragma once
// One clickable list row of the record screens (pests, harvests, costs), painted
// in one widget: the kit's rounded row box (plain or highlighted) with the row's
// texts, symbols and tags drawn straight onto it. Long lists hold thousands of rows,
// so a row is a single widget with no child labels or layouts; subclasses paint
// their content into the box's inset rectangle and say how tall it is.
//
// Invariants: the box is inset 14 points left and right and 10 top and bottom, as
// OVRowBox; the whole row takes clicks (`clicked`); a pressed row draws at 75 %.
// Texts are drawn as plain text, never read as markup.

#include <QAbstractButton>
#include <QColor>
#include <QFont>

class QPainter;

class RecordRow : public QAbstractButton {
    Q_OBJECT
public:
    explicit RecordRow(bool highlight, QWidget* parent = nullptr);

    bool highlight() const { return m_highlight; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The tag capsule's size and drawing, as OVTag draws it: white 10.5-point
    // heavy text on the colour, left edge at x, vertically centred on centreY.
    static QSizeF tagSize(const QString& text);
    static double drawTag(QPainter& p, double x, double centreY, const QString& text, const QColor& color);
    // Draws one line of text from x within width, elided at the right when it does not
    // fit, vertically centred on centreY; returns the width used.
    static double drawLine(QPainter& p, const QFont& font, const QColor& color, double x, double centreY,
                           double width, const QString& text, Qt::Alignment align = Qt::AlignLeft);
    static double lineHeight(const QFont& font);
    static double textWidth(const QFont& font, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    // The content's height in pixels (without the box's insets).
    virtual double contentHeight() const = 0;
    // Paints the content into `content`, the box's inset rectangle.
    virtual void paintContent(QPainter& p, const QRectF& content) = 0;

private:
    bool m_highlight;
};
