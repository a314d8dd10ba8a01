#include "kit/SegmentedPicker.h"
#include "screens/greenhouses/SpotEditor.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"

#include "GreenhousesTestSupport.h"

#include <QLabel>
#include <QTest>

using namespace greenhousetest;

namespace {

class SpotEditorTest : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        house = addGreenhouse(QStringLiteral("Main"));
        zone = addZone(house.id, QStringLiteral("East"));
    }

    static QString title(const SpotEditor& editor)
    {
        return editor.frame()->findChild<QLabel*>(QStringLiteral("editorTitle"))->text();
    }

    static void clickSegment(SegmentedPicker* picker, int index)
    {
        picker->resize(picker->sizeHint());
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(index).center());
    }

    Greenhouse house;
    Zone zone;
};

TEST_F(SpotEditorTest, TitleFollowsTheKindPickerAndTheKindIsSaved)
{
    AppModel::shared().setSheet(EditSheet(Spot{.zoneID = zone.id}));
    SpotEditor editor(Spot{.zoneID = zone.id}, *store);
    EXPECT_EQ(title(editor), QStringLiteral("New Bed"));
    EXPECT_EQ(editor.deleteButton(), nullptr);

    clickSegment(editor.kindPicker(), 1);
    EXPECT_EQ(title(editor), QStringLiteral("New Bench"));
    editor.nameBox()->setText(QStringLiteral(" B1 "));
    editor.save();
    EXPECT_FALSE(editor.frame()->error());
    EXPECT_FALSE(AppModel::shared().sheet());
    const QList<Spot> spots = store->spots(zone.id);
    ASSERT_EQ(spots.size(), 1);
    EXPECT_EQ(spots.first().kind, SpotKind::bench);
    EXPECT_EQ(spots.first().name, QStringLiteral("B1"));
}

TEST_F(SpotEditorTest, NameIsCheckedBeforeTheZone)
{
    SpotEditor editor(Spot{.zoneID = zone.id + 99, .kind = SpotKind::bench}, *store);
    EXPECT_EQ(editor.zonePicker()->currentIndex(), -1); // no such zone: no choice shown
    editor.save();
    EXPECT_EQ(editor.frame()->error(),
              std::optional<QString>(QStringLiteral("Please give the bench a name or number.")));
    editor.nameBox()->setText(QStringLiteral("3"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), std::optional<QString>(QStringLiteral("Choose which zone this bench is in.")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM spot")), 0);
}

TEST_F(SpotEditorTest, CanMoveToAZoneOfAnotherGreenhouse)
{
    const Greenhouse west = addGreenhouse(QStringLiteral("West"));
    const Zone cold = addZone(west.id, QStringLiteral("Cold frame"));
    addGreenhouse(QStringLiteral("Attic")); // no zones: no entry
    const Spot spot = addSpot(zone.id, SpotKind::bed, QStringLiteral("1"));
    SpotEditor editor(spot, *store);
    ZonePicker* picker = editor.zonePicker();
    ASSERT_EQ(picker->count(), 2);
    EXPECT_EQ(picker->itemText(0), QStringLiteral("Main · East"));
    EXPECT_EQ(picker->itemText(1), QStringLiteral("West · Cold frame"));
    emit picker->activated(1);
    editor.save();
    EXPECT_EQ(store->get<Spot>(spot.id)->zoneID, cold.id);
}

TEST_F(SpotEditorTest, DeleteClosesTheSheetFirstAndDeletesOnlyWhenConfirmed)
{
    const Spot bed = addSpot(zone.id, SpotKind::bed, QStringLiteral("B1"));
    Plant plant;
    plant.crop = QStringLiteral("Basil");
    plant.spotID = bed.id;
    store->save(plant);

    AppModel::shared().setSheet(EditSheet(bed));
    auto* editor = new SpotEditor(bed, *store);
    ASSERT_NE(editor->deleteButton(), nullptr);
    EXPECT_EQ(editor->deleteButton()->title(), QStringLiteral("Delete This Bed…"));
    clickSegment(editor->kindPicker(), 1);
    EXPECT_EQ(title(*editor), QStringLiteral("Edit Bench"));
    EXPECT_EQ(editor->deleteButton()->title(), QStringLiteral("Delete This Bench…"));
    clickSegment(editor->kindPicker(), 0);
    editor->nameBox()->setText(QStringLiteral("B1 renamed"));

    // The host may take the editor away as soon as the sheet closes.
    QObject::connect(&AppModel::shared(), &AppModel::sheetChanged, editor, [editor] {
        if (!AppModel::shared().sheet())
            editor->deleteLater();
    });
    QTest::mouseClick(editor->deleteButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(AppModel::shared().sheet());
    const std::optional<ConfirmRequest> ask = AppModel::shared().confirm();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->title, QStringLiteral("Delete bed “B1 renamed”?"));
    EXPECT_EQ(ask->message, QStringLiteral("Plants in it stay but lose this location.\n\nThis can't be undone (a "
                                           "backup made earlier can bring it back)."));
    // Unsaved edits are dropped; declining leaves the bed as it was.
    EXPECT_EQ(store->get<Spot>(bed.id), std::optional<Spot>(bed));

    ask->action();
    EXPECT_FALSE(store->get<Spot>(bed.id));
    const std::optional<Plant> kept = store->get<Plant>(plant.id);
    ASSERT_TRUE(kept);
    EXPECT_FALSE(kept->spotID);
}

TEST_F(SpotEditorTest, CancelKeepsTheRow)
{
    const Spot bench = addSpot(zone.id, SpotKind::bench, QStringLiteral("A"), QStringLiteral("3 × 8 ft"));
    AppModel::shared().setSheet(EditSheet(bench));
    SpotEditor editor(bench, *store);
    editor.nameBox()->setText(QStringLiteral("Z"));
    emit editor.frame()->cancelRequested();
    EXPECT_FALSE(AppModel::shared().sheet());
    EXPECT_FALSE(AppModel::shared().confirm());
    EXPECT_EQ(store->get<Spot>(bench.id), std::optional<Spot>(bench));
}

} // namespace
