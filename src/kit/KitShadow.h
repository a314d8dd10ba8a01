#pragma once
// Painted shadows for the kit's widgets. A widget cannot paint outside its own
// rectangle, so a shadow is painted by the caster's parent, under its children: the
// parent's paint event draws the shadow of every casting child first. Parents that
// fill a background of their own (cards, rows, the editor frame) call paintCasters()
// after their fill instead, and say so with setPaintsOwn(). A caster that moves to
// another parent takes its shadow along. Main thread only.

#include <QObject>
#include <QPointF>

class QPainter;
class QRect;
class QWidget;

class KitShadow : public QObject {
    Q_OBJECT
public:
    // The caster's whole rectangle is a rounded rectangle of `radius` points (a
    // negative radius: a capsule) casting black at `opacity`, blurred by `blur`
    // points and moved by `offset` points.
    static void cast(QWidget* caster, double radius, double opacity, double blur, QPointF offset);
    // A multiplier of the shadow's opacity (a pressed button draws at 0.75).
    static void setFade(QWidget* caster, double fade);

    // Draws the shadows of parent's casting children with p (a painter on parent).
    static void paintCasters(QWidget* parent, QPainter& p);
    // parent calls paintCasters() itself after its own fill.
    static void setPaintsOwn(QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KitShadow() = default;
    static KitShadow& filter();
    void watchParent(QWidget* caster);
    // Asks the caster's parent to paint the shadow of a caster at `area` again.
    static void repaintShadow(QWidget* caster, const QRect& area);
};
