#include "kit/KitIcons.h"

#include "kit/KitMetrics.h"

#include <QLabel>
#include <QPainter>

namespace KitIcons {

bool knows(const QString&) { return false; }
QStringList symbols() { return {}; }

QPixmap pixmap(const QString&, const QColor& color, double points)
{
    const int size = std::max(1, KitMetrics::px(points));
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(size * 0.3, size * 0.3, size * 0.4, size * 0.4));
    return pm;
}

QIcon icon(const QString& symbol, const QColor& color, double points)
{
    return QIcon(pixmap(symbol, color, points));
}

QLabel* label(const QString& symbol, const QColor& color, double points, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setPixmap(pixmap(symbol, color, points));
    return l;
}

} // namespace KitIcons
