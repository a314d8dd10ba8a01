// Renders the three record screens and their editors over the sample greenhouse as
// the snapshot mode does, and checks the pictures: every row lies whole in the
// picture and has something drawn in it, and every button of an editor shows whole.
// With OV_LOOK_DIR set, the renders are also written there as PNG files to look at.

#include "RecordsTestSupport.h"

#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVRender.h"
#include "kit/OVRowBox.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNChromeButton.h"
#include "screens/records/HarvestEditor.h"
#include "screens/records/HarvestRow.h"
#include "screens/records/HarvestsView.h"
#include "screens/records/LedgerEditor.h"
#include "screens/records/LedgerRow.h"
#include "screens/records/PestEditor.h"
#include "screens/records/PestRow.h"
#include "screens/records/PestsView.h"
#include "screens/records/SuppliesView.h"
#include "services/SampleData.h"

#include "LookShot.h"
#include "LookWindow.h"

#include <QImage>
#include <QVBoxLayout>

using recordstest::RecordsFixture;
using testsupport::coloursIn;
using testsupport::placeIn;
using testsupport::wholeIn;

class RecordsLook : public RecordsFixture {
protected:
    void SetUp() override
    {
        RecordsFixture::SetUp();
        SampleData::add(*store);
        OVRender::snapshotMode = true;
    }
    void TearDown() override
    {
        OVRender::snapshotMode = false;
        RecordsFixture::TearDown();
    }

    // Every row of the screen whole in the picture, each with text or a mark drawn.
    template <typename View>
    void expectRowsDrawn(const QString& name)
    {
        OVThemeRoot root([] { return new View; });
        const QImage shot = testsupport::lookShot(root, 1380, name).toImage();
        EXPECT_EQ(shot.width(), 1380);
        const auto* view = root.findChild<View*>();
        ASSERT_NE(view, nullptr);
        const auto rows = view->rows();
        EXPECT_GE(rows.size(), 2) << name.toStdString();
        for (const auto* row : rows) {
            EXPECT_TRUE(wholeIn(row, &root, shot)) << name.toStdString();
            EXPECT_GE(coloursIn(shot, placeIn(row, &root)), 3) << name.toStdString() << " row drawn flat";
        }
    }

    // The editor's buttons (Save, Cancel, Delete, …) show whole and drawn.
    void expectEditorWhole(const std::function<QWidget*()>& make, int width, const QString& name)
    {
        OVThemeRoot root(make);
        const QImage shot = testsupport::lookShot(root, width, name).toImage();
        EXPECT_EQ(shot.width(), width);
        const QList<QNChromeButton*> buttons = root.findChildren<QNChromeButton*>();
        int shown = 0;
        for (const QNChromeButton* button : buttons) {
            if (!button->isVisibleTo(&root))
                continue;
            ++shown;
            EXPECT_TRUE(wholeIn(button, &root, shot)) << name.toStdString() << ": " << button->title().toStdString();
            EXPECT_GE(coloursIn(shot, placeIn(button, &root)), 3) << name.toStdString();
        }
        EXPECT_GE(shown, 2) << name.toStdString();
    }
};

TEST_F(RecordsLook, ScreensShowEveryRowWholeAndDrawn)
{
    // A few more records so every row variant shows.
    const QList<Plant> plants = store->plants();
    const QList<Zone> zones = store->zones();
    PestRecord heavy;
    heavy.problem = QStringLiteral("Two-spotted spider mites");
    heavy.severity = 4;
    heavy.plantID = plants.value(0).id;
    heavy.zoneID = zones.value(0).id;
    heavy.treatment = QStringLiteral("Released Phytoseiulus");
    heavy.treated = OVDay::today();
    store->save(heavy);
    PestRecord old;
    old.kind = ProblemKind::disorder;
    old.problem = QStringLiteral("Blossom-end rot");
    old.severity = 5;
    old.resolved = true;
    old.observed = OVDay::today().adding(-40);
    old.result = QStringLiteral("Even watering fixed it");
    store->save(old);

    expectRowsDrawn<PestsView>(QStringLiteral("pests.png"));
    expectRowsDrawn<HarvestsView>(QStringLiteral("harvests.png"));
    expectRowsDrawn<SuppliesView>(QStringLiteral("supplies.png"));
}

TEST_F(RecordsLook, EditorsShowTheirButtonsWhole)
{
    const PestRecord pest = store->pests().at(0);
    expectEditorWhole([pest] { return new PestEditor(pest, *OVStore::shared()); }, 760, QStringLiteral("pest-editor.png"));
    const Harvest harvest = store->harvests().at(0);
    expectEditorWhole([harvest] { return new HarvestEditor(harvest, *OVStore::shared()); }, 680, QStringLiteral("harvest-editor.png"));
    const LedgerEntry cost = store->ledger().at(0);
    expectEditorWhole([cost] { return new LedgerEditor(cost, *OVStore::shared()); }, 720, QStringLiteral("ledger-editor.png"));
}

class RecordsInWindow : public RecordsFixture {};

TEST_F(RecordsInWindow, YearCellsShortenTheCategoryAndKeepTheTotalWhole)
{
    const OVDay day(OVDay::today().year, 1, 1);
    add(LedgerEntry{.date = day, .item = "Sprays", .category = LedgerCategory::pestControl, .cost = 18225.42});
    add(LedgerEntry{.date = day, .item = "Water bill", .category = LedgerCategory::water, .cost = 19262.64});

    for (const double zoom : {1.0, 1.5}) {
        const testsupport::LookWindow look(Screen::supplies, zoom);
        look.keep(QStringLiteral("supplies-narrowest-%1.png").arg(qRound(zoom * 100)));
        const auto* view = look.window->findChild<SuppliesView*>();
        ASSERT_NE(view, nullptr);
        const QList<OVRowBox*> cells = view->yearCard()->findChildren<OVRowBox*>();
        ASSERT_EQ(cells.size(), 2);
        for (const OVRowBox* cell : cells) {
            const QList<OVLabel*> labels = cell->findChildren<OVLabel*>();
            ASSERT_EQ(labels.size(), 2);
            const OVLabel* name = labels.at(0);
            const OVLabel* total = labels.at(1);
            const std::string what = name->text().toStdString() + " at " + std::to_string(zoom);
            // The total whole inside the cell's padding; the name, as drawn, ends before it.
            EXPECT_TRUE(cell->rect().marginsRemoved(cell->body()->contentsMargins()).contains(total->geometry())) << what;
            EXPECT_GE(total->width(), total->fontMetrics().horizontalAdvance(total->text())) << what;
            const QString shown = name->shownText();
            EXPECT_LE(name->x() + name->fontMetrics().horizontalAdvance(shown) + KitMetrics::px(4), total->x()) << what;
            EXPECT_EQ(shown.endsWith(QChar(0x2026)), name->text() != QStringLiteral("Water")) << what;
            // A name cut short ends 8 points, at this zoom, before the total.
            if (shown != name->text()) {
                EXPECT_EQ(total->x() - (name->x() + name->width()), KitMetrics::px(8)) << what;
            }
        }
    }
}
