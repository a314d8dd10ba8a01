#include "services/Opener.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace Opener {

bool isWebPage(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme(); // QUrl keeps schemes lower-cased
    return scheme == QLatin1String("https") || scheme == QLatin1String("http");
}

void openInSystem(const QUrl& url)
{
    if (!isWebPage(url))
        return;
    QDesktopServices::openUrl(url);
}

} // namespace Opener

namespace Opener {

void showFolderInSystem(const QUrl& folder)
{
    if (!folder.isLocalFile() || !QFileInfo(folder.toLocalFile()).isDir())
        return;
    QDesktopServices::openUrl(folder);
}

} // namespace Opener
