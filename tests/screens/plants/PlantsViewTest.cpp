#include "JobTestSupport.h"
#include "PlantsFixture.h"

#include "kit/OVRebuilder.h"
#include "kit/QNSearchField.h"
#include "screens/plants/PlantListFacts.h"
#include "screens/plants/PlantRow.h"
#include "screens/plants/PlantsView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

QStringList names(const PlantsView& view)
{
    QStringList out;
    for (PlantRow* row : view.rows())
        out.append(row->plant().displayName());
    return out;
}

} // namespace

class PlantsViewTest : public PlantsFixture {
protected:
    Plant add(const QString& crop, PlantStatus status, std::optional<qint64> greenhouse = std::nullopt)
    {
        Plant plant;
        plant.crop = crop;
        plant.status = status;
        plant.greenhouseID = greenhouse;
        store->save(plant);
        return plant;
    }

    void show(PlantsView& view)
    {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(1380, 900);
        view.show();
        settle();
    }
};

TEST_F(PlantsViewTest, EmptyStoreAndNothingMatches)
{
    PlantsView view;
    EXPECT_EQ(view.emptyTitle(), "No plants yet");
    EXPECT_EQ(view.countText(), "0 shown");

    add("Squash", PlantStatus::finished);
    view.rebuild();
    EXPECT_EQ(view.emptyTitle(), "Nothing matches"); // hidden by the default status filter
    view.setStatusFilter("all");
    view.rebuild();
    EXPECT_EQ(view.emptyTitle(), "");
    EXPECT_EQ(view.countText(), "1 shown");
}

TEST_F(PlantsViewTest, FiltersSearchStatusAndGreenhouse)
{
    addSample();
    const qint64 house = store->greenhouses().first().id;
    add("Zucchini", PlantStatus::finished);
    add("Pepper", PlantStatus::failed, house);
    Plant planned = add("okra", PlantStatus::planned); // lower case sorts among the others
    planned.notes = "under the vent";
    planned.source = "Saved seed";
    store->save(planned);
    PlantsView view;
    show(view);

    const QStringList active = names(view);
    EXPECT_FALSE(active.join('|').contains("Zucchini"));
    EXPECT_FALSE(active.join('|').contains("Pepper"));
    EXPECT_TRUE(active.contains("okra"));
    EXPECT_EQ(view.countText(), QString("%1 shown").arg(active.size()));

    // Typing into the search box: notes and source are searched, case ignored.
    QTest::keyClicks(view.searchField()->lineEdit(), "VENT");
    settle();
    EXPECT_EQ(names(view), QStringList{"okra"});
    view.setSearch("saved SEED");
    settle();
    EXPECT_EQ(names(view), QStringList{"okra"});

    // A single blank matches every plant the other filters pass.
    view.setSearch(" ");
    view.setStatusFilter("all");
    settle();
    EXPECT_EQ(view.rows().size(), store->plants().size());
    EXPECT_EQ(view.countText(), QString("%1 shown").arg(store->plants().size()));
    QStringList sorted = names(view);
    EXPECT_EQ(sorted.indexOf("okra"), sorted.indexOf("Pepper") - 1); // crop order ignores case

    view.setStatusFilter("failed");
    settle();
    EXPECT_EQ(names(view), QStringList{"Pepper"});

    // The greenhouse filter leaves out every unplaced plant.
    view.setStatusFilter("all");
    view.setGreenhouseFilter(house);
    settle();
    for (PlantRow* row : view.rows())
        EXPECT_EQ(row->plant().greenhouseID, house);
    EXPECT_FALSE(names(view).contains("Zucchini"));
    EXPECT_FALSE(names(view).contains("okra"));
    EXPECT_EQ(view.rows().size(), 4); // three sample plants and the pepper

    // The export writes every plant whatever the filters show.
    view.exportCSV();
    testsupport::finishJobs();
    EXPECT_EQ(savedName, "Plants.csv");
    const QString csv = QString::fromUtf8(testsupport::readAll(scratch.file("Plants.csv")));
    EXPECT_TRUE(csv.contains("Zucchini"));
    EXPECT_TRUE(csv.contains("okra"));
    EXPECT_EQ(csv.count("\r\n"), store->plants().size() + 1);

    // A chosen greenhouse that is deleted matches nothing afterwards.
    store->remove<Greenhouse>(house);
    settle();
    EXPECT_EQ(view.emptyTitle(), "Nothing matches");
}

TEST_F(PlantsViewTest, StatusPickerOffersEveryChoiceAndReactsToTheUser)
{
    PlantsView view;
    QComboBox* picker = view.statusPicker();
    QStringList texts;
    for (int i = 0; i < picker->count(); ++i)
        texts.append(picker->itemText(i));
    EXPECT_EQ(texts, (QStringList{"Planned & growing", "All", "", "Planned", "Germinating", "Seedling", "Growing",
                                  "Flowering", "Fruiting", "Harvesting", "Finished", "Failed"}));
    emit picker->activated(picker->findData("finished"));
    EXPECT_EQ(view.filter().status, "finished");
}

TEST_F(PlantsViewTest, RowsShowPlaceCountsDaysAndOverdue)
{
    addSample();
    Plant tomato = store->fetch<Plant>("variety = ?", {QStringLiteral("Celebrity (sample)")}).first();
    PlantsView view;
    show(view);
    PlantRow* row = nullptr;
    for (PlantRow* r : view.rows())
        if (r->plant().id == tomato.id)
            row = r;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->placeText(), "Sample Greenhouse · Main House · Bed 1");
    EXPECT_EQ(row->countText(), "× 6");
    EXPECT_EQ(row->nameText(), "Tomato — Celebrity (sample)");
    EXPECT_EQ(row->statusText(), "Flowering");
    EXPECT_EQ(row->dayLines().size(), 3);
    EXPECT_TRUE(row->dayLines().last().startsWith("Harvest "));

    const OVDay today(2026, 6, 10);
    Plant p;
    p.crop = "Bean";
    p.status = PlantStatus::growing;
    p.expectedHarvest = today.adding(-1);
    EXPECT_TRUE(PlantRow::overdue(p, today));
    p.expectedHarvest = today;
    EXPECT_FALSE(PlantRow::overdue(p, today));
    p.expectedHarvest = today.adding(-1);
    p.status = PlantStatus::planned;
    EXPECT_FALSE(PlantRow::overdue(p, today));

    PlantRow lone(p, PlantRow::Facts{}, *store, AppModel::shared(), today);
    EXPECT_EQ(lone.placeText(), "No location set");
    EXPECT_EQ(lone.countText(), ""); // quantity 1 shows no count
    EXPECT_EQ(lone.photoText(), "");
    PlantRow withPhotos(p, PlantRow::Facts{QString(), 3}, *store, AppModel::shared(), today);
    EXPECT_EQ(withPhotos.photoText(), "3");

    // The batched facts give what the store gives row by row.
    const PlantListFacts facts(*store);
    for (const Plant& plant : store->plants()) {
        EXPECT_EQ(facts.place(plant), store->locationText(plant));
        EXPECT_EQ(facts.photoCount(plant.id), store->photoCount(plant.id));
    }
}

TEST_F(PlantsViewTest, ChangedPlantsRebuildTheirRowsOnly)
{
    addSample();
    PlantsView view;
    show(view);
    const QList<PlantRow*> before = view.rows();
    ASSERT_EQ(before.size(), 3);
    Plant changed = before.first()->plant();
    changed.variety = "Renamed";
    store->save(changed);
    settle();
    const QList<PlantRow*> after = view.rows();
    ASSERT_EQ(after.size(), 3);
    EXPECT_NE(after.first(), before.first());
    EXPECT_EQ(after.first()->plant().variety, "Renamed");
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2], before[2]);
    // Shown top to bottom in list order, none overlapping.
    for (qsizetype i = 0; i < after.size(); ++i) {
        EXPECT_TRUE(after[i]->isVisible());
        if (i > 0) {
            EXPECT_GE(after[i]->y(), after[i - 1]->geometry().bottom());
        }
    }

    // A photo added elsewhere changes that row's count.
    Photo photo{.plantID = after[2]->plant().id, .data = QByteArray("x")};
    store->save(photo);
    settle();
    EXPECT_EQ(view.rows()[2]->facts().photoCount, 1);
}

TEST_F(PlantsViewTest, RowActionsOpenSheetsAndDeleteAfterConfirming)
{
    addSample();
    Plant tomato = store->fetch<Plant>("variety = ?", {QStringLiteral("Celebrity (sample)")}).first();
    PlantRow row(tomato, *store, AppModel::shared());

    QMenu* menu = row.makeMenu();
    QStringList items;
    for (QAction* action : menu->actions())
        items.append(action->isSeparator() ? QString() : action->text());
    EXPECT_EQ(items, (QStringList{"Edit…", "Log a Harvest…", "Log a Pest or Disease…", "", "Delete…"}));

    menu->actions()[1]->trigger();
    const Harvest* harvest = AppModel::shared().sheet()->get<Harvest>();
    ASSERT_NE(harvest, nullptr);
    EXPECT_EQ(harvest->id, 0);
    EXPECT_EQ(harvest->plantID, tomato.id);
    EXPECT_EQ(harvest->crop, "Tomato");
    EXPECT_EQ(harvest->date, OVDay::today());
    EXPECT_EQ(harvest->quantity, 0);
    EXPECT_EQ(harvest->unit, HarvestUnit::lb);

    menu->actions()[2]->trigger();
    const PestRecord* pest = AppModel::shared().sheet()->get<PestRecord>();
    ASSERT_NE(pest, nullptr);
    EXPECT_EQ(pest->plantID, tomato.id);
    EXPECT_EQ(pest->zoneID, tomato.zoneID);
    EXPECT_EQ(pest->severity, 2);
    Plant unplaced;
    EXPECT_EQ(PlantRow::newPest(unplaced).zoneID, std::nullopt);

    QTest::mouseClick(&row, Qt::LeftButton);
    ASSERT_NE(AppModel::shared().sheet()->get<Plant>(), nullptr);
    EXPECT_EQ(AppModel::shared().sheet()->get<Plant>()->id, tomato.id);
    resetModel();
    QTest::keyClick(&row, Qt::Key_Space); // the row is a button for the keyboard too
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(AppModel::shared().sheet()->get<Plant>()->id, tomato.id);

    // Two photos and one harvest: the photos go with the plant, the harvest stays.
    for (int i = 0; i < 2; ++i) {
        Photo photo{.plantID = tomato.id, .data = QByteArray("jpeg")};
        store->save(photo);
    }
    Harvest picked{.plantID = tomato.id, .crop = "Tomato", .quantity = 2};
    store->save(picked);

    menu->actions()[4]->trigger();
    ASSERT_TRUE(AppModel::shared().confirm().has_value());
    EXPECT_EQ(AppModel::shared().confirm()->title, "Delete “Tomato — Celebrity (sample)”?");
    EXPECT_TRUE(AppModel::shared().confirm()->message.startsWith(
        "Its photos are deleted too. Harvests and costs stay (they keep the crop name).\n\n"));
    EXPECT_TRUE(store->get<Plant>(tomato.id).has_value()); // nothing before the answer
    confirm();
    EXPECT_FALSE(store->get<Plant>(tomato.id).has_value());
    EXPECT_EQ(store->count("photo"), 0);
    const auto kept = store->get<Harvest>(picked.id);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->crop, "Tomato");
    EXPECT_EQ(kept->plantID, std::nullopt);
    delete menu;
}

TEST_F(PlantsViewTest, AddPlantOpensANewPlant)
{
    PlantsView view;
    view.addPlant();
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(*AppModel::shared().sheet()->get<Plant>(), Plant());
}
