// Renders the kit gallery and an editor frame under every theme into the build tree
// (tests/kit-gallery/*.png) for looking at, and checks what a render must hold.

#include "KitGallery.h"

#include "app/OVSetup.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNMRThemes.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(KitGallery, RendersUnderEveryTheme)
{
    OVSetup::configure();
    OVRender::snapshotMode = true;
    const QList<QNMRTheme> themes = QNMRThemes::all();
    ASSERT_EQ(themes.size(), 8);
    for (const QNMRTheme& theme : themes) {
        QNMRThemes::setCurrentID(theme.id);
        QApplication::processEvents();
        OVThemeRoot page(kitgallery::makePage);
        const QImage pageImage = kitgallery::render(page, 1380);
        EXPECT_EQ(pageImage.width(), 1380);
        EXPECT_GT(pageImage.height(), 900) << theme.id.toStdString();
        EXPECT_TRUE(pageImage.save(kitgallery::outputDir() + QStringLiteral("/page-%1.png").arg(theme.id)));

        std::unique_ptr<QWidget> editor(kitgallery::makeEditor());
        const QImage editorImage = kitgallery::render(*editor, 560);
        EXPECT_EQ(editorImage.width(), 560);
        EXPECT_TRUE(editorImage.save(kitgallery::outputDir() + QStringLiteral("/editor-%1.png").arg(theme.id)));
    }
    OVRender::snapshotMode = false;
}
