#pragma once
// Grabs a widget tree the way the snapshot mode does, for the look tests: laid out at
// the given width and the height it asks for there, off screen. When OV_LOOK_DIR is
// set, the picture is also saved there under `name`, to be looked at.

#include "kit/OVThemeRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <algorithm>

namespace testsupport {

inline void settleLook()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
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
    const QString folder = qEnvironmentVariable("OV_LOOK_DIR");
    if (!name.isEmpty() && !folder.isEmpty() && QDir().mkpath(folder))
        shot.save(QDir(folder).filePath(name));
    return shot;
}

} // namespace testsupport
