#include "kit/KitShadow.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cmath>

namespace {

struct Casting {
    double radius;
    double opacity;
    double blur;
    QPointF offset;
    double fade = 1.0;
};

QHash<const QWidget*, Casting>& casters()
{
    static QHash<const QWidget*, Casting> table;
    return table;
}

const char* const paintsOwnProperty = "kitPaintsOwnShadows";
const char* const watchedProperty = "kitShadowWatched";

} // namespace

KitShadow& KitShadow::filter()
{
    static KitShadow* const instance = new KitShadow;
    return *instance;
}

void KitShadow::cast(QWidget* caster, double radius, double opacity, double blur, QPointF offset)
{
    const bool known = casters().contains(caster);
    casters()[caster] = Casting{radius, opacity, blur, offset};
    if (known)
        return;
    QObject::connect(caster, &QObject::destroyed, &filter(), [caster] { casters().remove(caster); });
    caster->installEventFilter(&filter());
    filter().watchParent(caster);
}

void KitShadow::setFade(QWidget* caster, double fade)
{
    auto it = casters().find(caster);
    if (it == casters().end() || it->fade == fade)
        return;
    it->fade = fade;
    repaintShadow(caster, caster->geometry());
}

void KitShadow::repaintShadow(QWidget* caster, const QRect& area)
{
    QWidget* parent = caster->parentWidget();
    const auto it = casters().constFind(caster);
    if (!parent || it == casters().constEnd() || !area.isValid())
        return;
    const int m = KitMetrics::px(it->blur * 2 + 8 + std::max(std::abs(it->offset.x()), std::abs(it->offset.y())));
    parent->update(area.adjusted(-m, -m, m, m));
}

void KitShadow::setPaintsOwn(QWidget* parent) { parent->setProperty(paintsOwnProperty, true); }

void KitShadow::watchParent(QWidget* caster)
{
    QWidget* parent = caster->parentWidget();
    if (!parent || parent->property(watchedProperty).toBool())
        return;
    parent->setProperty(watchedProperty, true);
    parent->installEventFilter(this);
}

void KitShadow::paintCasters(QWidget* parent, QPainter& p)
{
    const QHash<const QWidget*, Casting>& table = casters();
    if (table.isEmpty())
        return;
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isHidden() || w->isWindow())
            continue;
        auto it = table.constFind(w);
        if (it == table.constEnd())
            continue;
        const Casting& s = *it;
        const QRectF shape = w->geometry();
        const double radius = s.radius < 0 ? std::min(shape.width(), shape.height()) / 2 : KitMetrics::pxF(s.radius);
        QColor color(0, 0, 0);
        color.setAlphaF(float(std::clamp(s.opacity * s.fade, 0.0, 1.0)));
        KitPaint::shadow(p, shape, radius, color, KitMetrics::pxF(s.blur),
                         QPointF(KitMetrics::pxF(s.offset.x()), KitMetrics::pxF(s.offset.y())));
    }
}

bool KitShadow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ParentChange:
        if (auto* w = qobject_cast<QWidget*>(watched); w && casters().contains(w))
            watchParent(w);
        break;
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Hide:
        // The parent paints the shadow: where it was must be painted again too, or a
        // card that shrinks leaves a line of its old shadow where its bottom was.
        if (auto* w = qobject_cast<QWidget*>(watched); w && casters().contains(w)) {
            QRect old = w->geometry();
            if (event->type() == QEvent::Resize)
                old.setSize(static_cast<QResizeEvent*>(event)->oldSize());
            else if (event->type() == QEvent::Move)
                old.moveTopLeft(static_cast<QMoveEvent*>(event)->oldPos());
            repaintShadow(w, old);
        }
        break;
    case QEvent::Paint:
        if (auto* w = qobject_cast<QWidget*>(watched); w && !w->property(paintsOwnProperty).toBool()) {
            QPainter p(w);
            paintCasters(w, p);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
