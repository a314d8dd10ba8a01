#include "kit/KitIcons.h"

#include "kit/KitMetrics.h"

#include <QCache>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

// The resource's registration function lives in the static library's generated code;
// calling it keeps the linker from dropping the icons.
static void registerIconResources() { Q_INIT_RESOURCE(icons); }

namespace {

const QHash<QString, QString>& table()
{
    static const QHash<QString, QString> map = [] {
        registerIconResources();
        QHash<QString, QString> m;
        QFile file(QStringLiteral(":/kit/icons/symbols.tsv"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return m;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList cells = line.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
            if (cells.size() >= 2)
                m.insert(cells[0].trimmed(), cells[1].trimmed());
        }
        return m;
    }();
    return map;
}

double screenRatio()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return qApp->devicePixelRatio();
    return 1.0;
}

QImage draw(const QString& symbol, const QColor& color, int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QString name = table().value(symbol);
    QSvgRenderer svg;
    if (!name.isEmpty())
        svg.load(QStringLiteral(":/kit/icons/%1.svg").arg(name));
    if (svg.isValid()) {
        svg.render(&p, QRectF(0, 0, side, side));
        // Tint: keep the icon's coverage, take the colour.
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(QRectF(0, 0, side, side), color);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(side * 0.3, side * 0.3, side * 0.4, side * 0.4));
    }
    return image;
}

} // namespace

namespace KitIcons {

bool knows(const QString& symbol) { return table().contains(symbol); }

QStringList symbols()
{
    QStringList names = table().keys();
    names.sort();
    return names;
}

QString iconName(const QString& symbol) { return table().value(symbol); }

QPixmap pixmap(const QString& symbol, const QColor& color, double points, double dpr)
{
    const double logical = std::max(1.0, KitMetrics::pxF(points));
    const int side = std::max(1, int(std::lround(logical * dpr)));
    static QCache<QString, QPixmap> cache(400);
    const QString key = QStringLiteral("%1|%2|%3").arg(symbol).arg(color.rgba(), 0, 16).arg(side);
    if (const QPixmap* hit = cache.object(key)) {
        QPixmap pm = *hit;
        pm.setDevicePixelRatio(dpr);
        return pm;
    }
    QPixmap pm = QPixmap::fromImage(draw(symbol, color, side));
    pm.setDevicePixelRatio(dpr);
    cache.insert(key, new QPixmap(pm));
    return pm;
}

QPixmap pixmap(const QString& symbol, const QColor& color, double points)
{
    return pixmap(symbol, color, points, screenRatio());
}

QIcon icon(const QString& symbol, const QColor& color, double points)
{
    QIcon result;
    const QPixmap pm = pixmap(symbol, color, points);
    result.addPixmap(pm, QIcon::Normal);
    result.addPixmap(pm, QIcon::Active);
    result.addPixmap(pm, QIcon::Disabled);
    return result;
}

QLabel* label(const QString& symbol, const QColor& color, double points, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setPixmap(pixmap(symbol, color, points));
    l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    l->setAccessibleName(symbol);
    return l;
}

} // namespace KitIcons
