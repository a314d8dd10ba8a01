// The Today screen over a scratch store: the first-run state, the sample greenhouse,
// the figure tiles, the list caps and highlights, and what each button opens.

#include "screens/today/TodayView.h"

#include "kit/OVColors.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "kit/QNMRHelp.h"
#include "kit/TaskRow.h"
#include "screens/today/ClimateNowGrid.h"
#include "screens/today/ClimateNowTile.h"
#include "screens/today/HarvestSoonRow.h"
#include "screens/today/ProblemRow.h"
#include "screens/today/StatTile.h"
#include "screens/today/WelcomeCard.h"

#include "TodayTestSupport.h"

#include <QTest>

using namespace todaytest;

namespace {

class TodayViewTest : public TodayFixture {
protected:
    // A shown view at the snapshot width, its first rebuild done.
    std::unique_ptr<TodayView> makeView()
    {
        auto view = std::make_unique<TodayView>();
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(1380, 900);
        view->show();
        settle();
        return view;
    }

    static QStringList values(const TodayView& view)
    {
        QStringList out;
        for (const StatTile* tile : view.tiles())
            out.append(tile->value());
        return out;
    }
};

TEST_F(TodayViewTest, EmptyStoreShowsWelcomeZeroTilesAndEmptyTexts)
{
    auto view = makeView();
    ASSERT_NE(view->welcomeCard(), nullptr);
    EXPECT_EQ(WelcomeCard::steps().size(), 5);
    EXPECT_TRUE(WelcomeCard::steps()[3].contains(QStringLiteral("you get a desktop reminder when they are due")));
    EXPECT_EQ(values(*view), (QStringList{"0", "0", "0", "0.0 lb"}));
    QStringList titles;
    for (const StatTile* tile : view->tiles())
        titles.append(tile->title());
    EXPECT_EQ(titles, (QStringList{"Growing now", "Due today / overdue", "Climate alerts now", "Harvested this year"}));
    EXPECT_EQ(view->tiles()[1]->tint(), OVColors::leaf());
    EXPECT_EQ(view->tiles()[2]->tint(), OVColors::leaf());
    EXPECT_EQ(view->emptyTexts(), (QStringList{"All caught up", "Nothing else in the next 7 days.",
                                               "No expected harvests in the next two weeks.", "No open problems."}));
    ASSERT_NE(view->climateGrid(), nullptr);
    EXPECT_TRUE(view->climateGrid()->showsHint());
    EXPECT_TRUE(view->climateGrid()->tiles().isEmpty());
}

TEST_F(TodayViewTest, SampleButtonFillsTheStoreInOneRebuildAndTheCardGoes)
{
    auto view = makeView();
    ASSERT_NE(view->welcomeCard(), nullptr);
    const int before = view->rebuildCount();
    QTest::mouseClick(view->welcomeCard()->sampleButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(AppModel::shared().message().has_value());
    EXPECT_FALSE(store->greenhouses().isEmpty());
    // Every record the sample saves raises the revision; the screen rebuilds once.
    EXPECT_EQ(view->rebuildCount(), before + 1);
    EXPECT_EQ(view->welcomeCard(), nullptr);
    EXPECT_EQ(view->tiles()[0]->value(), QStringLiteral("3"));
    EXPECT_FALSE(view->climateGrid()->tiles().isEmpty());
}

TEST_F(TodayViewTest, SampleButtonClickedTwiceQuicklyAddsTheSampleOnce)
{
    OVStore reference(dir.file(QStringLiteral("reference.sqlite")));
    SampleData::add(reference, now);

    auto view = makeView();
    ASSERT_NE(view->welcomeCard(), nullptr);
    QNChromeButton* sample = view->welcomeCard()->sampleButton();
    // The second click reaches the card before the screen rebuilds without it.
    QTest::mouseClick(sample, Qt::LeftButton);
    QTest::mouseClick(sample, Qt::LeftButton);
    emit sample->clicked();
    settle();
    EXPECT_EQ(store->greenhouses().size(), reference.greenhouses().size());
    EXPECT_EQ(store->plants().size(), reference.plants().size());
    EXPECT_EQ(store->tasks().size(), reference.tasks().size());
}

TEST_F(TodayViewTest, WelcomeButtonsOpenTheEditorAndTheGuide)
{
    auto view = makeView();
    QTest::mouseClick(view->welcomeCard()->addButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    const Greenhouse* house = AppModel::shared().sheet()->get<Greenhouse>();
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(house->id, 0);
    EXPECT_TRUE(house->name.isEmpty());

    const QNMRHelp::Opener saved = QNMRHelp::opener();
    std::optional<QString> opened;
    QNMRHelp::setOpener([&opened](const std::optional<QString>& topic) { opened = topic; });
    QTest::mouseClick(view->welcomeCard()->guideButton(), Qt::LeftButton);
    QNMRHelp::setOpener(saved);
    EXPECT_EQ(opened, std::optional<QString>(QStringLiteral("start")));
    EXPECT_TRUE(store->greenhouses().isEmpty());

    // One saved greenhouse hides the card.
    addGreenhouse(QStringLiteral("North"));
    settle();
    EXPECT_EQ(view->welcomeCard(), nullptr);
}

TEST_F(TodayViewTest, ClimateTileClickShowsThatZonesClimate)
{
    addSample();
    auto view = makeView();
    const QList<ClimateNowTile*> tiles = view->climateGrid()->tiles();
    ASSERT_GE(tiles.size(), 2);
    ClimateNowTile* tile = tiles[1];
    const qint64 zone = tile->zoneID();
    QTest::mouseClick(tile, Qt::LeftButton, {}, tile->rect().center());
    EXPECT_EQ(AppModel::shared().climateZoneID(), std::optional<qint64>(zone));
    EXPECT_EQ(AppModel::shared().screen(), Screen::climate);
}

TEST_F(TodayViewTest, LogHarvestOpensANewHarvestOfThatPlantDatedToday)
{
    addSample();
    auto view = makeView();
    ASSERT_FALSE(view->harvestRows().isEmpty());
    HarvestSoonRow* row = view->harvestRows().first();
    QTest::mouseClick(row->logButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    const Harvest* harvest = AppModel::shared().sheet()->get<Harvest>();
    ASSERT_NE(harvest, nullptr);
    EXPECT_EQ(harvest->id, 0);
    EXPECT_EQ(harvest->plantID, std::optional<qint64>(row->plant().id));
    EXPECT_EQ(harvest->crop, row->plant().crop);
    EXPECT_EQ(harvest->date, today);
    EXPECT_EQ(harvest->quantity, 0.0);
    EXPECT_EQ(harvest->unit, HarvestUnit::lb);
}

TEST_F(TodayViewTest, DoneClickCostsExactlyOneRebuild)
{
    addSample();
    auto view = makeView();
    ASSERT_FALSE(view->dueRows().isEmpty());
    TaskRow* row = view->dueRows().first();
    const qint64 id = row->task().id;
    const qsizetype logged = store->taskLog(id).size();
    const int before = view->rebuildCount();
    QTest::mouseClick(row->doneButton(), Qt::LeftButton);
    settle();
    EXPECT_EQ(view->rebuildCount(), before + 1);
    EXPECT_EQ(store->taskLog(id).size(), logged + 1);
    // Nothing changed: nothing rebuilt.
    settle();
    EXPECT_EQ(view->rebuildCount(), before + 1);
}

TEST_F(TodayViewTest, ListsAreCappedAndTilesTinted)
{
    addGreenhouse(QStringLiteral("House"));
    for (int i = 0; i < 12; ++i)
        addTask(QStringLiteral("due %1").arg(i), OVDay(2026, 6, 9), 8);
    for (int i = 0; i < 9; ++i)
        addTask(QStringLiteral("soon %1").arg(i), OVDay(2026, 6, 12), 8);
    for (int i = 0; i < 7; ++i) {
        PestRecord record;
        record.problem = QStringLiteral("Aphids %1").arg(i);
        record.severity = i == 0 ? 4 : 3;
        record.observed = OVDay(2026, 6, 1 + i);
        store->save(record);
    }
    auto view = makeView();
    EXPECT_EQ(view->dueRows().size(), 12);
    EXPECT_EQ(view->upcomingRows().size(), TodayView::upcomingLimit);
    EXPECT_EQ(view->problemRows().size(), TodayView::problemLimit);
    EXPECT_EQ(view->tiles()[1]->value(), QStringLiteral("12"));
    EXPECT_EQ(view->tiles()[1]->tint(), OVColors::warmLight());
    for (const TaskRow* row : view->dueRows())
        EXPECT_TRUE(row->compact());

    // Newest observed first: the severity-4 record (observed first) is left out.
    const ProblemRow* newest = view->problemRows().first();
    EXPECT_EQ(newest->record().problem, QStringLiteral("Aphids 6"));
    EXPECT_EQ(newest->severityTag()->text(), QStringLiteral("Severity 3"));
    EXPECT_EQ(newest->severityColor(), OVColors().accent());
    PestRecord severe = store->pests().last();
    store->remove<PestRecord>(store->pests().first().id);
    settle();
    EXPECT_EQ(view->problemRows().last()->record().id, severe.id);
    EXPECT_EQ(view->problemRows().last()->severityColor(), OVColors::alert());

    QTest::mouseClick(view->problemRows().last()->openButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    ASSERT_NE(AppModel::shared().sheet()->get<PestRecord>(), nullptr);
    EXPECT_EQ(AppModel::shared().sheet()->get<PestRecord>()->id, severe.id);
}

TEST_F(TodayViewTest, HarvestRowsMarkPastDaysAndPoundsRoundToATenth)
{
    Plant late{.crop = QStringLiteral("Basil"), .expectedHarvest = OVDay(2026, 6, 9)};
    late.status = PlantStatus::growing;
    store->save(late);
    Plant onTime{.crop = QStringLiteral("Lettuce"), .expectedHarvest = today};
    onTime.status = PlantStatus::growing;
    store->save(onTime);
    Harvest picked;
    picked.crop = QStringLiteral("Basil");
    picked.date = today;
    picked.quantity = 12.34;
    store->save(picked);

    auto view = makeView();
    ASSERT_EQ(view->harvestRows().size(), 2);
    const HarvestSoonRow* first = view->harvestRows()[0];
    EXPECT_TRUE(first->highlight());
    EXPECT_EQ(first->shownDate(), QStringLiteral("was due ") + OVDay(2026, 6, 9).display());
    const HarvestSoonRow* second = view->harvestRows()[1];
    EXPECT_FALSE(second->highlight());
    EXPECT_EQ(second->shownDate(), today.display());
    EXPECT_EQ(view->tiles()[3]->value(), QStringLiteral("12.3 lb"));
    EXPECT_EQ(view->tiles()[0]->value(), QStringLiteral("2"));
}

TEST_F(TodayViewTest, AddReadingPreselectsTheFirstZoneOfTheFirstGreenhouse)
{
    auto view = makeView();
    QTest::mouseClick(view->addReadingButton(), Qt::LeftButton);
    ASSERT_NE(AppModel::shared().sheet()->get<Reading>(), nullptr);
    EXPECT_EQ(AppModel::shared().sheet()->get<Reading>()->zoneID, 0);

    const Greenhouse first = addGreenhouse(QStringLiteral("Zeta"));
    const Greenhouse second = addGreenhouse(QStringLiteral("Alpha"));
    addZone(second.id, QStringLiteral("Aisle"));
    addZone(first.id, QStringLiteral("Cold frame"));
    const Zone bench = addZone(first.id, QStringLiteral("bench"));
    settle();
    QTest::mouseClick(view->addReadingButton(), Qt::LeftButton);
    const Reading* reading = AppModel::shared().sheet()->get<Reading>();
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->id, 0);
    EXPECT_EQ(reading->zoneID, bench.id);
    EXPECT_TRUE(reading->values.empty());
    EXPECT_EQ(reading->source, QStringLiteral("manual"));

    QTest::mouseClick(view->addPlantButton(), Qt::LeftButton);
    ASSERT_NE(AppModel::shared().sheet()->get<Plant>(), nullptr);
    EXPECT_EQ(AppModel::shared().sheet()->get<Plant>()->id, 0);
}

} // namespace
