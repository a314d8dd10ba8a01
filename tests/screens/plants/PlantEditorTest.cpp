#include "PlantsFixture.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVLabel.h"
#include "kit/OVOptionalDayPicker.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantPhotoTile.h"
#include "services/PhotoTools.h"
#include "services/ReferenceLibrary.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QTest>
#include <QThreadPool>
#include <memory>

namespace {

QStringList itemTexts(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.append(box->itemText(i));
    return out;
}

void pick(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class PlantEditorTest : public PlantsFixture {
protected:
    Plant samplePlant(const QString& variety)
    {
        return store->fetch<Plant>("variety = ?", {variety}).first();
    }

    // Two greenhouses, each with a zone holding a bench.
    struct Layout {
        Greenhouse a, b;
        Zone za, zb, za2;
        Spot benchA, benchB;
    };
    Layout makeLayout()
    {
        Layout l;
        l.a.name = "Alpha";
        store->save(l.a);
        l.b.name = "Beta";
        store->save(l.b);
        l.za = Zone{.greenhouseID = l.a.id, .name = "North"};
        store->save(l.za);
        l.za2 = Zone{.greenhouseID = l.a.id, .name = "South"};
        store->save(l.za2);
        l.zb = Zone{.greenhouseID = l.b.id, .name = "East"};
        store->save(l.zb);
        l.benchA = Spot{.zoneID = l.za.id, .kind = SpotKind::bench, .name = "B1"};
        store->save(l.benchA);
        l.benchB = Spot{.zoneID = l.zb.id, .kind = SpotKind::bench, .name = "B9"};
        store->save(l.benchB);
        return l;
    }
};

TEST_F(PlantEditorTest, NewPlantOpensEmpty)
{
    PlantEditor editor{Plant(), *OVStore::shared()};
    EXPECT_EQ(editor.frame()->findChild<QLabel*>("editorTitle")->text(), "New Plant");
    EXPECT_EQ(editor.matchPicker()->currentText(), "None");
    EXPECT_TRUE(editor.libraryLine()->isHidden());
    EXPECT_FALSE(editor.fillButton()->isEnabled());
    EXPECT_EQ(editor.deleteButton(), nullptr);
    EXPECT_EQ(editor.photoStrip(), nullptr);
    EXPECT_EQ(itemTexts(editor.spotPicker()), QStringList{"—"});
}

TEST_F(PlantEditorTest, BlankCropGivesTheStoreTextAndStaysNew)
{
    PlantEditor editor{Plant{.crop = "   "}, *OVStore::shared()};
    editor.save();
    EXPECT_EQ(editor.error(), "Please enter what you are growing (for example Tomato).");
    EXPECT_EQ(editor.frame()->error(), editor.error());
    EXPECT_EQ(editor.cropField()->text(), ""); // the store's trimming shows
    EXPECT_EQ(editor.frame()->findChild<QLabel*>("editorTitle")->text(), "New Plant");
    EXPECT_EQ(store->count("plant"), 0);

    editor.cropField()->setText("Tomato");
    AppModel::shared().setSheet(EditSheet(Plant()));
    editor.save();
    EXPECT_EQ(editor.error(), std::nullopt);
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(store->plants().first().crop, "Tomato");
}

TEST_F(PlantEditorTest, CropLibraryLinkAndFill)
{
    // "Tomatoes" links to the tomato crop when the sheet opens; the link is not stored.
    Plant plant{.crop = "Tomatoes"};
    store->save(plant);
    {
        PlantEditor editor(plant, *OVStore::shared());
        EXPECT_EQ(editor.item().refCropID, "tomato");
        EXPECT_EQ(editor.matchPicker()->currentData().toString(), "tomato");
        EXPECT_FALSE(editor.libraryLine()->isHidden());
        EXPECT_TRUE(editor.libraryLine()->text().startsWith("Library: "));
        EXPECT_TRUE(editor.fillButton()->isEnabled());
    }
    EXPECT_EQ(store->get<Plant>(plant.id)->refCropID, "");

    // Choosing a crop fills a blank crop only.
    PlantEditor blank{Plant{.crop = " \t"}, *OVStore::shared()};
    pick(blank.matchPicker(), "Tomato");
    EXPECT_EQ(blank.item().crop, "Tomato");
    EXPECT_EQ(blank.cropField()->text(), "Tomato");
    PlantEditor named{Plant{.crop = "Cherry tomato", .refCropID = "lettuce-leaf"}, *OVStore::shared()};
    pick(named.matchPicker(), "Tomato");
    EXPECT_EQ(named.item().crop, "Cherry tomato");
    pick(named.matchPicker(), "None");
    EXPECT_TRUE(named.libraryLine()->isHidden());
    EXPECT_FALSE(named.fillButton()->isEnabled());
    EXPECT_EQ(named.item().crop, "Cherry tomato");

    // Fill: sown 30 Mar + 60 days from seeding = 29 May.
    PlantEditor lettuce{Plant{.crop = "Lettuce", .refCropID = "lettuce-leaf"}, *OVStore::shared()};
    lettuce.fill();
    EXPECT_EQ(lettuce.error(), "Enter a sowing or transplant date first.");
    lettuce.sowPicker()->checkBox()->setChecked(true); // the user ticks: today
    EXPECT_EQ(lettuce.item().sowDate, OVDay::today());
    PlantEditor sown{Plant{.crop = "Lettuce", .refCropID = "lettuce-leaf", .sowDate = OVDay(2026, 3, 30)}, *OVStore::shared()};
    sown.fill();
    EXPECT_EQ(sown.item().expectedHarvest, OVDay(2026, 5, 29));
    EXPECT_EQ(sown.harvestPicker()->day(), OVDay(2026, 5, 29));
    EXPECT_EQ(sown.error(), std::nullopt);
    EXPECT_EQ(store->count("plant"), 1); // the fill stores nothing

    // A transplant crop with only a sowing day counts from the sowing day.
    PlantEditor tomato{Plant{.crop = "Tomato", .refCropID = "tomato", .sowDate = OVDay(2026, 3, 1)}, *OVStore::shared()};
    tomato.fill();
    EXPECT_EQ(tomato.item().expectedHarvest, OVDay(2026, 3, 1).adding(65));

    PlantEditor unlinked{Plant{.crop = "Mystery", .sowDate = OVDay(2026, 3, 1)}, *OVStore::shared()};
    unlinked.fill();
    EXPECT_EQ(unlinked.error(), "Choose a Crop Library match first.");
}

TEST_F(PlantEditorTest, PlacePickersNarrowAndClear)
{
    const Layout l = makeLayout();
    Plant plant{.crop = "Bean"};
    PlantEditor editor(plant, *OVStore::shared());

    // No greenhouse chosen: every zone is offered; choosing one leaves the greenhouse empty.
    EXPECT_EQ(itemTexts(editor.zonePicker()), (QStringList{"—", "North", "South", "East"})); // by greenhouse, then name
    pick(editor.zonePicker(), "North");
    EXPECT_EQ(editor.item().greenhouseID, std::nullopt);
    EXPECT_EQ(itemTexts(editor.spotPicker()), (QStringList{"—", "Bench B1"}));

    pick(editor.greenhousePicker(), "Alpha"); // the zone's own greenhouse keeps it
    EXPECT_EQ(editor.item().zoneID, l.za.id);
    pick(editor.spotPicker(), "Bench B1");
    EXPECT_EQ(editor.item().spotID, l.benchA.id);
    EXPECT_EQ(itemTexts(editor.zonePicker()), (QStringList{"—", "North", "South"}));

    // Another zone drops the bench of the old one.
    pick(editor.zonePicker(), "South");
    EXPECT_EQ(editor.item().spotID, std::nullopt);
    pick(editor.zonePicker(), "North");
    pick(editor.spotPicker(), "Bench B1");

    // Another greenhouse clears zone and bench; changing back does not restore them.
    pick(editor.greenhousePicker(), "Beta");
    EXPECT_EQ(editor.item().zoneID, std::nullopt);
    EXPECT_EQ(editor.item().spotID, std::nullopt);
    EXPECT_EQ(editor.zonePicker()->currentText(), "—");
    pick(editor.greenhousePicker(), "Alpha");
    EXPECT_EQ(editor.item().zoneID, std::nullopt);
    EXPECT_EQ(editor.item().spotID, std::nullopt);

    // "—" as greenhouse clears an existing zone.
    pick(editor.zonePicker(), "North");
    pick(editor.greenhousePicker(), "—");
    EXPECT_EQ(editor.item().zoneID, std::nullopt);

    // The lists follow store changes while the sheet is open.
    Zone west{.greenhouseID = l.b.id, .name = "West"};
    store->save(west);
    EXPECT_TRUE(itemTexts(editor.zonePicker()).contains("West"));
}

TEST_F(PlantEditorTest, PhotosAreStoredAtOnce)
{
    addSample();
    const Plant tomato = samplePlant("Celebrity (sample)");
    const QString big = scratch.file("Greenhouse shot.png");
    QImage image(4000, 3000, QImage::Format_RGB32);
    image.fill(QColor(40, 140, 60));
    ASSERT_TRUE(QImageWriter(big, "png").write(image));
    const QString text = scratch.file("notes.txt");
    ASSERT_TRUE(testsupport::writeAll(text, "not a picture"));

    AppModel::shared().setSheet(EditSheet(tomato));
    auto* editor = new PlantEditor(tomato, *OVStore::shared());
    openAnswer = std::nullopt; // cancelled panel: nothing happens
    editor->addPhoto();
    EXPECT_EQ(store->count("photo"), 0);
    EXPECT_EQ(openMessage, "Choose a photo of this plant");

    openAnswer = text;
    editor->addPhoto();
    EXPECT_EQ(editor->error(), "That file could not be read as a picture.");
    EXPECT_EQ(store->count("photo"), 0);

    openAnswer = big;
    editor->addPhoto();
    ASSERT_EQ(editor->photos().size(), 1);
    const Photo stored = store->photos(tomato.id).first();
    EXPECT_EQ(stored.caption, "Greenhouse shot");
    QBuffer buffer;
    buffer.setData(stored.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.read().size(), QSize(1600, 1200));
    EXPECT_EQ(editor->error(), "That file could not be read as a picture."); // a good add keeps the line
    EXPECT_EQ(editor->photoStrip()->findChildren<PlantPhotoTile*>().size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([editor] { return !editor->decodingPhotos(); }));
    EXPECT_TRUE(editor->photoStrip()->findChildren<PlantPhotoTile*>().first()->hasPicture());

    editor->addPhoto();
    ASSERT_EQ(editor->photos().size(), 2);
    EXPECT_LT(editor->photos()[0].id, editor->photos()[1].id); // oldest first

    // Cancel keeps what was added.
    editor->cancel();
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(store->count("photo"), 2);
    delete editor;

    // Remove deletes at once, without a question, from inside the tile's own button.
    PlantEditor again(tomato, *OVStore::shared());
    ASSERT_EQ(again.photos().size(), 2);
    auto* tile = again.photoStrip()->findChildren<PlantPhotoTile*>().first();
    QTest::mouseClick(tile->removeButton(), Qt::LeftButton);
    EXPECT_FALSE(AppModel::shared().confirm().has_value());
    EXPECT_EQ(store->count("photo"), 1);
    EXPECT_EQ(again.photos().size(), 1);
    settle();
    EXPECT_EQ(again.photoStrip()->findChildren<PlantPhotoTile*>().size(), 1);

    // Unreadable bytes: the tile still offers its day and Remove.
    Photo broken{.plantID = tomato.id, .data = QByteArray("garbage")};
    store->save(broken);
    PlantPhotoTile brokenTile(broken);
    EXPECT_FALSE(brokenTile.hasPicture());

    EXPECT_NE(brokenTile.removeButton(), nullptr);
}

// Picked as a photo by mistake, the open database or one of its side files is
// refused unread: closing a descriptor of it would drop the engine's locks.
TEST_F(PlantEditorTest, TheOpenDatabaseIsRefusedAsAPhotoUnread)
{
    addSample();
    const Plant tomato = samplePlant("Celebrity (sample)");
    const QString db = store->path();
    const QString shm = db + QStringLiteral("-shm");
    ASSERT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
    ASSERT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
    PlantEditor editor(tomato, *OVStore::shared());
    for (const QString& file : {db, db + QStringLiteral("-wal"), shm}) {
        SCOPED_TRACE(file.toStdString());
        openAnswer = file;
        editor.addPhoto();
        EXPECT_EQ(editor.error(), "That file could not be read as a picture.");
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
    }
    EXPECT_EQ(store->count("photo"), 0);
}

TEST_F(PlantEditorTest, PhotosDecodeOnAWorkerAndTilesFillInAsTheyArrive)
{
    addSample();
    const Plant tomato = samplePlant("Celebrity (sample)");
    QImage image(2400, 1800, QImage::Format_RGB32);
    image.fill(QColor(200, 80, 40));
    for (int i = 0; i < 6; ++i) {
        Photo photo{.plantID = tomato.id, .data = PhotoTools::jpeg(image).value_or(QByteArray())};
        store->save(photo);
    }
    Photo broken{.plantID = tomato.id, .data = QByteArray("not a picture")};
    store->save(broken);

    PlantEditor editor(tomato, *OVStore::shared());
    const QList<PlantPhotoTile*> tiles = editor.photoStrip()->findChildren<PlantPhotoTile*>();
    ASSERT_EQ(tiles.size(), 7);
    // The sheet is built before any picture is decoded.
    EXPECT_TRUE(editor.decodingPhotos());
    EXPECT_FALSE(tiles.first()->hasPicture());
    ASSERT_TRUE(QTest::qWaitFor([&editor] { return !editor.decodingPhotos(); }));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(tiles[i]->hasPicture()) << i;
    EXPECT_FALSE(tiles.last()->hasPicture());

    // An editor closed while its photos decode drops the late pictures safely.
    for (int round = 0; round < 5; ++round) {
        auto gone = std::make_unique<PlantEditor>(tomato, *OVStore::shared());
        EXPECT_TRUE(gone->decodingPhotos());
        gone.reset();
    }
    QThreadPool::globalInstance()->waitForDone();
    settle();
}

TEST_F(PlantEditorTest, DeleteClosesFirstThenAsks)
{
    addSample();
    const Plant tomato = samplePlant("Celebrity (sample)");
    AppModel::shared().setSheet(EditSheet(tomato));
    PlantEditor editor(tomato, *OVStore::shared());
    editor.cropField()->setText("Changed");
    ASSERT_NE(editor.deleteButton(), nullptr);
    QTest::mouseClick(editor.deleteButton(), Qt::LeftButton);
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    ASSERT_TRUE(AppModel::shared().confirm().has_value());
    EXPECT_EQ(AppModel::shared().confirm()->title, "Delete “Changed — Celebrity (sample)”?");
    EXPECT_TRUE(store->get<Plant>(tomato.id).has_value());
    confirm();
    EXPECT_FALSE(store->get<Plant>(tomato.id).has_value());
}

TEST_F(PlantEditorTest, StoredCountBeyondTheStepperIsKept)
{
    Plant many{.crop = "Onion", .quantity = 250000};
    store->save(many);
    PlantEditor editor(many, *OVStore::shared());
    editor.cropField()->setText("Onions");
    editor.save();
    EXPECT_EQ(store->get<Plant>(many.id)->quantity, 250000);
}
