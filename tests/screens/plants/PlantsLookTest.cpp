// Renders the two screens and the plant editor over the sample greenhouse as the
// snapshot mode does (theme root, full height, 1380 wide; the editor 760 wide). With
// OV_LOOK_DIR set the pictures are written there as PNG files to be looked at.

#include "PlantsFixture.h"

#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantsView.h"
#include "screens/plants/SeedsView.h"

#include <QDir>
#include <QPixmap>

namespace {

QPixmap render(const OVThemeRoot::Factory& factory, int width)
{
    OVRender::snapshotMode = true;
    OVThemeRoot root(factory);
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(width, 900);
    root.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const int height = root.heightForWidth(width) > 0 ? root.heightForWidth(width) : root.sizeHint().height();
    root.resize(width, std::max(height, 300));
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QPixmap picture = root.grab();
    OVRender::snapshotMode = false;
    return picture;
}

void keep(const QPixmap& picture, const QString& name)
{
    const QString dir = qEnvironmentVariable("OV_LOOK_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        picture.save(dir + QLatin1Char('/') + name, "PNG");
    }
}

} // namespace

class PlantsLookTest : public PlantsFixture {};

TEST_F(PlantsLookTest, ScreensAndEditorRender)
{
    addSample();
    const QPixmap plants = render([] { return new PlantsView; }, 1380);
    EXPECT_EQ(plants.width(), 1380);
    keep(plants, "plants.png");

    const QPixmap seeds = render([] { return new SeedsView; }, 1380);
    EXPECT_EQ(seeds.width(), 1380);
    keep(seeds, "seeds.png");

    const Plant tomato = store->fetch<Plant>("variety = ?", {QStringLiteral("Celebrity (sample)")}).first();
    const QPixmap editor = render([tomato] { return new PlantEditor(tomato); }, 760);
    EXPECT_GT(editor.height(), 300);
    keep(editor, "plant-editor.png");

    keep(render([] { return new PlantEditor(Plant()); }, 760), "plant-editor-new.png");
}
