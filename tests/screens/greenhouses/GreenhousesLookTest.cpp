// Renders the Greenhouses screen and the zone editor as the snapshot mode does (1380
// px wide, full height) and checks that nothing is cut off. With OV_LOOK_DIR set,
// the renders are also written there as PNG files to look at.

#include "screens/greenhouses/GreenhouseCard.h"
#include "screens/greenhouses/GreenhousesView.h"
#include "screens/greenhouses/SpotChip.h"
#include "screens/greenhouses/ZoneEditor.h"
#include "screens/greenhouses/ZoneRow.h"

#include "kit/OVRender.h"
#include "kit/OVTextField.h"
#include "kit/OVThemeRoot.h"
#include "services/SampleData.h"

#include "GreenhousesTestSupport.h"

#include "LookShot.h"

#include <QDir>
#include <QPixmap>

using namespace greenhousetest;

namespace {

class GreenhousesLookTest : public StoreFixture {
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        OVRender::snapshotMode = true;
        SampleData::add(*store);
    }
    void TearDown() override
    {
        OVRender::snapshotMode = false;
        StoreFixture::TearDown();
    }

    // Lays the root out at the width and the height it asks for there.
    static QPixmap render(OVThemeRoot& root, int width, const QString& name)
    {
        return testsupport::lookShot(root, width, name);
    }

    // True when `inner` lies wholly inside `outer`'s rectangle.
    static bool inside(const QWidget* inner, const QWidget* outer)
    {
        const QRect r(inner->mapTo(outer->window(), QPoint(0, 0)), inner->size());
        const QRect o(outer->mapTo(outer->window(), QPoint(0, 0)), outer->size());
        return o.contains(r);
    }
};

TEST_F(GreenhousesLookTest, ScreenShowsEveryRowAndChipWhole)
{
    Greenhouse house = store->greenhouses().first();
    house.notes = QStringLiteral("Long notes wrap onto further lines rather than being cut off. ").repeated(6);
    store->save(house);
    OVThemeRoot root([] { return new GreenhousesView; });
    const QPixmap shot = render(root, 1380, QStringLiteral("greenhouses.png"));
    EXPECT_EQ(shot.width(), 1380);

    const auto* view = root.findChild<GreenhousesView*>();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->cards().size(), 1);
    const GreenhouseCard* card = view->cards().first();
    EXPECT_TRUE(inside(card, &root));
    ASSERT_EQ(card->zoneRows().size(), 2);
    for (const ZoneRow* row : card->zoneRows()) {
        EXPECT_TRUE(inside(row, card));
        for (const SpotChip* chip : row->findChildren<SpotChip*>())
            EXPECT_TRUE(inside(chip, row)) << chip->title().toStdString();
    }
    const QLabel* notes = card->findChild<QLabel*>(QStringLiteral("greenhouseNotes"));
    ASSERT_NE(notes, nullptr);
    EXPECT_GE(notes->height(), notes->heightForWidth(notes->width()));
}

TEST_F(GreenhousesLookTest, ZoneEditorFitsItsRangesAtItsWidth)
{
    const Zone propagation = store->zones().last();
    ASSERT_EQ(propagation.name, QStringLiteral("Propagation"));
    OVThemeRoot root([propagation] { return new ZoneEditor(propagation, *OVStore::shared()); });
    render(root, 720, QStringLiteral("zone-editor.png"));
    const auto* editor = root.findChild<ZoneEditor*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->lowBox(Metric::temp)->text(), QStringLiteral("60"));
    EXPECT_EQ(editor->highBox(Metric::humidity)->text(), QStringLiteral("85"));
    EXPECT_EQ(editor->lowBox(Metric::temp)->width(), 90);
}

} // namespace
