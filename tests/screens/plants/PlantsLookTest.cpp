// Renders the two screens and the plant editor over the sample greenhouse as the
// snapshot mode does (theme root, full height, 1380 wide; the editor 760 wide) and
// checks the pictures: rows, cards and buttons lie whole in them with something drawn.
// With OV_LOOK_DIR set the pictures are written there as PNG files to be looked at.

#include "PlantsFixture.h"

#include "kit/OVCard.h"
#include "kit/OVLabel.h"
#include "kit/OVRender.h"
#include "kit/OVScroll.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNChromeButton.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantRow.h"
#include "screens/plants/PlantsView.h"
#include "screens/plants/SeedCard.h"
#include "screens/plants/SeedsView.h"
#include "services/PhotoTools.h"

#include "LookShot.h"
#include "LookWindow.h"

#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <optional>

namespace {

// Pages are built and laid out whole, as the snapshot mode builds them, while it lives.
struct SnapshotMode {
    SnapshotMode() { OVRender::snapshotMode = true; }
    ~SnapshotMode() { OVRender::snapshotMode = false; }
};

QImage render(OVThemeRoot& root, int width, const QString& name)
{
    return testsupport::lookShot(root, width, name).toImage();
}

// Each widget whole in the picture of `root`, with something drawn in it.
template <typename W>
void expectWholeAndDrawn(const QList<W*>& widgets, const OVThemeRoot& root, const QImage& picture, int atLeast)
{
    EXPECT_GE(widgets.size(), atLeast);
    for (const W* w : widgets) {
        EXPECT_TRUE(testsupport::wholeIn(w, &root, picture));
        EXPECT_GE(testsupport::coloursIn(picture, testsupport::placeIn(w, &root)), 3);
    }
}

} // namespace

class PlantsLookTest : public PlantsFixture {};

TEST_F(PlantsLookTest, ScreensAndEditorRender)
{
    addSample();
    std::optional<SnapshotMode> snapshot(std::in_place);
    OVThemeRoot plantsRoot([] { return new PlantsView; });
    const QImage plants = render(plantsRoot, 1380, "plants.png");
    const auto* plantsView = plantsRoot.findChild<PlantsView*>();
    ASSERT_NE(plantsView, nullptr);
    expectWholeAndDrawn(plantsView->rows(), plantsRoot, plants, 2);

    OVThemeRoot seedsRoot([] { return new SeedsView; });
    const QImage seeds = render(seedsRoot, 1380, "seeds.png");
    const auto* seedsView = seedsRoot.findChild<SeedsView*>();
    ASSERT_NE(seedsView, nullptr);
    expectWholeAndDrawn(seedsView->cards(), seedsRoot, seeds, 1);

    // The editors' Save and Cancel show whole below the page (which scrolls on its own).
    const Plant tomato = store->fetch<Plant>("variety = ?", {QStringLiteral("Celebrity (sample)")}).first();
    for (const Plant& plant : {tomato, Plant()}) {
        OVThemeRoot editorRoot([plant] { return new PlantEditor(plant, *OVStore::shared()); });
        const QImage editor = render(editorRoot, 760, plant.id ? "plant-editor.png" : "plant-editor-new.png");
        QList<QNChromeButton*> shown;
        for (QNChromeButton* button : editorRoot.findChildren<QNChromeButton*>())
            if (button->title() == QStringLiteral("Save") || button->title() == QStringLiteral("Cancel"))
                shown.append(button);
        expectWholeAndDrawn(shown, editorRoot, editor, 2);
    }
    snapshot.reset();

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
    ASSERT_TRUE(QTest::qWaitFor([editor2] { return !editor2->decodingPhotos(); }, 30000));
    QWidget* card = editor2->photoStrip();
    while (card && !qobject_cast<OVCard*>(card))
        card = card->parentWidget();
    ASSERT_NE(card, nullptr);
    const QPixmap strip = card->grab();
    EXPECT_GT(strip.height(), 90);
    testsupport::keepLook(strip.toImage(), "plant-photos.png");
}

TEST_F(PlantsLookTest, SeedCardFitsTheNarrowestWindowAtEveryZoom)
{
    Seed seed{.crop = "Tomato", .variety = "Cherokee Purple Heirloom Indeterminate Beefsteak Select",
              .supplier = "Southern Exposure Seed Exchange of Central Virginia", .lot = "SESE-2024-000123-B",
              .year = 2024, .quantity = 250};
    store->save(seed);
    GermTest test{.seedID = seed.id, .started = OVDay::today(), .sown = 20, .sprouted = 17};
    store->save(test);

    for (const double zoom : {1.0, 1.5}) {
        const testsupport::LookWindow look(Screen::seeds, zoom);
        look.keep(QStringLiteral("seeds-narrowest-%1.png").arg(qRound(zoom * 100)));
        const QWidget* viewport = look.page()->scroll()->viewport();
        const auto* card = look.window->findChild<SeedCard*>();
        ASSERT_NE(card, nullptr);
        EXPECT_LE(testsupport::placeIn(card, viewport).right(), viewport->width() - 1) << zoom;
        // Edit, Plant From This Seed and Germination Test, then the test row's two.
        const QList<QNChromeButton*> buttons = card->findChildren<QNChromeButton*>();
        EXPECT_EQ(buttons.size(), 5);
        for (const QNChromeButton* button : buttons)
            EXPECT_TRUE(viewport->rect().contains(testsupport::placeIn(button, viewport)))
                << button->title().toStdString() << " at " << zoom;
        // The title and the facts line give way, ending in an ellipsis.
        for (const char* line : {"seedTitle", "seedFacts"}) {
            const auto* label = card->findChild<OVLabel*>(line);
            ASSERT_NE(label, nullptr);
            EXPECT_TRUE(label->shownText().endsWith(QChar(0x2026))) << line << " at " << zoom;
        }
    }
}
