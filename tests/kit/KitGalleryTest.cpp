// Renders the kit gallery and an editor frame under every theme and checks what a
// render must hold: the full width, the whole page, and every theme's own colours (no
// two themes give the same picture). With OV_LOOK_DIR set, the renders are also
// written there as PNG files to look at.

#include "KitGallery.h"

#include "app/OVSetup.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNMRThemes.h"

#include "LookShot.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QByteArray digest(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    return QCryptographicHash::hash(QByteArrayView(rgb.constBits(), rgb.sizeInBytes()), QCryptographicHash::Sha256);
}

} // namespace

TEST(KitGallery, RendersUnderEveryTheme)
{
    OVSetup::configure();
    OVRender::snapshotMode = true;
    const QList<QNMRTheme> themes = QNMRThemes::all();
    ASSERT_EQ(themes.size(), 8);
    QSet<QByteArray> pages;
    QSet<QByteArray> editors;
    for (const QNMRTheme& theme : themes) {
        QNMRThemes::setCurrentID(theme.id);
        QApplication::processEvents();
        OVThemeRoot page(kitgallery::makePage);
        const QImage pageImage = kitgallery::render(page, 1380);
        EXPECT_EQ(pageImage.width(), 1380);
        EXPECT_GT(pageImage.height(), 900) << theme.id.toStdString();
        pages.insert(digest(pageImage));
        testsupport::keepLook(pageImage, QStringLiteral("page-%1.png").arg(theme.id));

        std::unique_ptr<QWidget> editor(kitgallery::makeEditor());
        const QImage editorImage = kitgallery::render(*editor, 560);
        EXPECT_EQ(editorImage.width(), 560);
        editors.insert(digest(editorImage));
        testsupport::keepLook(editorImage, QStringLiteral("editor-%1.png").arg(theme.id));
    }
    OVRender::snapshotMode = false;
    EXPECT_EQ(pages.size(), themes.size());
    EXPECT_EQ(editors.size(), themes.size());
}
