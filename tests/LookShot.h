#pragma once
// Grabs a widget tree the way the snapshot mode does, for the look tests: laid out at
// the given width and the height it asks for there, off screen. When OV_LOOK_DIR is
// set, the picture is also saved there under `name`, to be looked at; without it no
// test writes a picture anywhere.

#include "kit/OVThemeRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <algorithm>

namespace testsupport {

inline void settleLook()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Saves a picture under `name` in OV_LOOK_DIR, when that is set.
inline void keepLook(const QImage& picture, const QString& name)
{
    const QString folder = qEnvironmentVariable("OV_LOOK_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        picture.save(QDir(folder).filePath(name));
}

inline QPixmap lookShot(OVThemeRoot& root, int width, const QString& name = QString())
{
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(width, 900);
    root.show();
    settleLook();
    const int height = root.hasHeightForWidth() ? root.heightForWidth(width) : root.sizeHint().height();
    root.resize(width, std::max(height, root.minimumSizeHint().height()));
    settleLook();
    QPixmap shot = root.grab();
    if (!name.isEmpty())
        keepLook(shot.toImage(), name);
    return shot;
}

// Where a widget lies in the picture of `root` (a widget inside it).
inline QRect placeIn(const QWidget* widget, const QWidget* root)
{
    return QRect(widget->mapTo(root, QPoint(0, 0)), widget->size());
}

// True when `widget` lies wholly inside the picture of `root`, with some size.
inline bool wholeIn(const QWidget* widget, const QWidget* root, const QImage& picture)
{
    const QRect place = placeIn(widget, root);
    return !place.isEmpty() && picture.rect().contains(place);
}

// How many different colours a part of a picture holds, counted up to `enough`: one
// means nothing was drawn there but a flat fill.
inline int coloursIn(const QImage& picture, const QRect& area, int enough = 4)
{
    QList<QRgb> seen;
    const QRect r = area.intersected(picture.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = picture.pixel(x, y);
            if (!seen.contains(c)) {
                seen.append(c);
                if (seen.size() >= enough)
                    return enough;
            }
        }
    return int(seen.size());
}

} // namespace testsupport
