// Renders the two screens and the plant editor over the sample greenhouse as the
// snapshot mode does (theme root, full height, 1380 wide; the editor 760 wide). With
// OV_LOOK_DIR set the pictures are written there as PNG files to be looked at.

#include "PlantsFixture.h"

#include "kit/OVCard.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantsView.h"
#include "screens/plants/SeedsView.h"
#include "services/PhotoTools.h"

#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QTest>

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
    const QPixmap editor = render([tomato] { return new PlantEditor(tomato, *OVStore::shared()); }, 760);
    EXPECT_GT(editor.height(), 300);
    keep(editor, "plant-editor.png");

    keep(render([] { return new PlantEditor(Plant(), *OVStore::shared()); }, 760), "plant-editor-new.png");

    // The photo strip with two pictures, one of them landscape, and one unreadable photo.
    for (const QSize size : {QSize(1600, 1200), QSize(900, 1600)}) {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor(60, 150, 70));
        painter.fillRect(QRect(0, 0, size.width() / 2, size.height() / 2), QColor(230, 200, 60));
        painter.end();
        Photo photo{.plantID = tomato.id, .data = PhotoTools::jpeg(image).value_or(QByteArray())};
        store->save(photo);
    }
    Photo broken{.plantID = tomato.id, .data = QByteArray("not a picture")};
    store->save(broken);
    OVThemeRoot root([tomato] { return new PlantEditor(tomato, *OVStore::shared()); });
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(760, 720);
    root.show();
    QApplication::processEvents();
    auto* editor2 = root.findChild<PlantEditor*>();
    ASSERT_NE(editor2, nullptr);
    ASSERT_NE(editor2->photoStrip(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([editor2] { return !editor2->decodingPhotos(); }));
    QWidget* card = editor2->photoStrip();
    while (card && !qobject_cast<OVCard*>(card))
        card = card->parentWidget();
    ASSERT_NE(card, nullptr);
    const QPixmap strip = card->grab();
    EXPECT_GT(strip.height(), 90);
    keep(strip, "plant-photos.png");
}
