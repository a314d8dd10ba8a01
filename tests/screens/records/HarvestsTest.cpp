// The Harvests screen and the harvest editor over a scratch store.

#include "JobTestSupport.h"
#include "RecordsTestSupport.h"

#include "kit/OVCard.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "screens/records/HarvestEditor.h"
#include "screens/records/HarvestRow.h"
#include "screens/records/HarvestsView.h"
#include "services/Reports.h"

using recordstest::RecordsFixture;

namespace {

Harvest harvest(const QString& crop, OVDay date, double quantity, HarvestUnit unit = HarvestUnit::lb)
{
    Harvest h;
    h.crop = crop;
    h.date = date;
    h.quantity = quantity;
    h.unit = unit;
    return h;
}

} // namespace

class HarvestsScreen : public RecordsFixture {};

TEST_F(HarvestsScreen, YearCellsCountOnlyThisCalendarYear)
{
    const qint64 year = OVDay::today().year;
    add(harvest(QStringLiteral("Tomato"), OVDay(year, 12, 31), 10));
    add(harvest(QStringLiteral("Tomato"), OVDay(year, 1, 1), 2.5));
    add(harvest(QStringLiteral("tomato "), OVDay(year, 3, 1), 6, HarvestUnit::count));
    add(harvest(QStringLiteral("Tomato"), OVDay(year + 1, 1, 1), 50));
    add(harvest(QStringLiteral("Tomato"), OVDay(year - 1, 12, 31), 50));
    add(harvest(QStringLiteral("Basil"), OVDay(year, 6, 1), 3, HarvestUnit::count));

    HarvestsView view;
    const QStringList cells = recordstest::labelTexts(view.yearCard());
    EXPECT_TRUE(cells.contains(QStringLiteral("This year so far (") + QString::number(year) + u')'));
    EXPECT_TRUE(cells.contains(QStringLiteral("12.50 lb · 6 counted"))) << cells.join(u'|').toStdString();
    EXPECT_TRUE(cells.contains(QStringLiteral("3 harvest(s)")));
    EXPECT_TRUE(cells.contains(QStringLiteral("0.00 lb · 3 counted")));
    EXPECT_EQ(view.rows().size(), 6) << "the list holds every year";
}

TEST_F(HarvestsScreen, EarlierYearsOnlyAndEmptyStore)
{
    {
        HarvestsView view;
        EXPECT_TRUE(recordstest::labelTexts(view.yearCard()).contains(QStringLiteral("No harvests logged this year yet.")));
        EXPECT_TRUE(recordstest::labelTexts(view.listCard()).contains(QStringLiteral("No harvests yet")));
        EXPECT_TRUE(view.rows().isEmpty());
    }
    add(harvest(QStringLiteral("Kale"), OVDay(OVDay::today().year - 2, 4, 4), 1));
    HarvestsView view;
    EXPECT_TRUE(recordstest::labelTexts(view.yearCard()).contains(QStringLiteral("No harvests logged this year yet.")));
    EXPECT_FALSE(recordstest::labelTexts(view.listCard()).contains(QStringLiteral("No harvests yet")));
    EXPECT_EQ(view.rows().size(), 1);
}

TEST_F(HarvestsScreen, ListsTheNewest200WithAmountsAndVarieties)
{
    Plant plain;
    plain.crop = QStringLiteral("Pepper");
    store->save(plain);
    Plant named;
    named.crop = QStringLiteral("Tomato");
    named.variety = QStringLiteral("Sungold");
    store->save(named);

    store->db().transaction([&] {
        for (int i = 0; i < 250; ++i)
            add(harvest(QStringLiteral("Bean"), OVDay(2020, 1, 1).adding(i / 2), 1));
    });
    Harvest weighed = harvest(QString(), OVDay(2030, 1, 2), 3);
    weighed.plantID = named.id;
    weighed.quality = QStringLiteral("Excellent");
    weighed = add(weighed);
    Harvest counted = harvest(QString(), OVDay(2030, 1, 2), 7, HarvestUnit::count);
    counted.plantID = plain.id;
    counted = add(counted);

    HarvestsView view;
    const QList<HarvestRow*> rows = view.rows();
    ASSERT_EQ(rows.size(), HarvestsView::listLimit);
    const QList<Harvest> all = store->harvests();
    for (int i = 0; i < rows.size(); ++i)
        ASSERT_EQ(rows.at(i)->harvest().id, all.at(i).id) << i;

    // Same day: the later entry first.
    EXPECT_EQ(rows.at(0)->harvest().id, counted.id);
    EXPECT_EQ(rows.at(0)->amountText(), QStringLiteral("7.00 count"));
    EXPECT_TRUE(rows.at(0)->varietyText().isEmpty());
    EXPECT_TRUE(rows.at(0)->qualityText().isEmpty());
    EXPECT_EQ(rows.at(1)->amountText(), QStringLiteral("3.00 lb"));
    EXPECT_EQ(rows.at(1)->varietyText(), QStringLiteral("Sungold"));
    EXPECT_EQ(rows.at(1)->qualityText(), QStringLiteral("Excellent"));

    rows.at(1)->click();
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(*AppModel::shared().sheet()->get<Harvest>(), weighed);

    view.exportButton()->click();
    testsupport::finishJobs();
    EXPECT_EQ(suggested, QStringLiteral("Harvests.csv"));
    EXPECT_EQ(exportedLines().size(), 253);
}

class HarvestEditorTest : public RecordsFixture {};

TEST_F(HarvestEditorTest, NewHarvestReadsTheTypedAmount)
{
    AppModel::shared().setSheet(EditSheet(Harvest()));
    HarvestEditor editor(Harvest{}, *OVStore::shared());
    EXPECT_EQ(editor.frame()->title(), QStringLiteral("Log a Harvest"));
    EXPECT_EQ(editor.amountBox()->text(), QString());
    EXPECT_EQ(editor.unitPicker()->currentText(), QStringLiteral("lb"));
    EXPECT_EQ(editor.unitPicker()->itemText(4), QStringLiteral("count (each)"));
    EXPECT_EQ(editor.deleteButton(), nullptr);

    editor.cropBox()->setText(QStringLiteral("Lettuce"));
    editor.amountBox()->setText(QStringLiteral("abc"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("Enter the amount harvested as a number."));
    EXPECT_TRUE(store->harvests().isEmpty());

    editor.amountBox()->setText(QStringLiteral("1,5"));
    recordstest::pick(editor.unitPicker(), QStringLiteral("kg"));
    editor.save();
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    ASSERT_EQ(store->harvests().size(), 1);
    EXPECT_EQ(store->harvests().at(0).quantity, 1.5);
    EXPECT_EQ(store->harvests().at(0).unit, HarvestUnit::kg);
}

TEST_F(HarvestEditorTest, ChecksRunPlantThenCropThenQuantity)
{
    HarvestEditor editor(Harvest{}, *OVStore::shared());
    editor.cropBox()->setText(QStringLiteral("   "));
    editor.amountBox()->setText(QStringLiteral("0"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("Choose a plant or type the crop you harvested."));
    EXPECT_EQ(editor.cropBox()->text(), QString()) << "the store's tidying stays in the form";

    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    store->save(plant);
    recordstest::pick(editor.plantPicker(), QVariant::fromValue<qint64>(plant.id));
    store->remove<Plant>(plant.id);
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("That plant no longer exists."));
}

TEST_F(HarvestEditorTest, PickingAPlantFillsTheCropButOpeningDoesNot)
{
    Plant tomato;
    tomato.crop = QStringLiteral("Tomato");
    store->save(tomato);
    Plant basil;
    basil.crop = QStringLiteral("Basil");
    store->save(basil);
    Harvest stored = harvest(QStringLiteral("Cherry tomato"), OVDay(2026, 7, 1), 0.125, HarvestUnit::kg);
    stored.plantID = tomato.id;
    stored = add(stored); // the crop typed by hand stays as stored
    ASSERT_EQ(stored.crop, QStringLiteral("Cherry tomato"));

    HarvestEditor editor(stored, *OVStore::shared());
    EXPECT_EQ(editor.frame()->title(), QStringLiteral("Edit Harvest"));
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Cherry tomato"));
    EXPECT_EQ(editor.amountBox()->text(), QStringLiteral("0.12"));
    EXPECT_EQ(editor.unitPicker()->currentText(), QStringLiteral("kg"));

    recordstest::pick(editor.plantPicker(), QVariant::fromValue<qint64>(basil.id));
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Basil"));
    editor.plantPicker()->setCurrentIndex(0);
    emit editor.plantPicker()->activated(0);
    EXPECT_FALSE(editor.plantPicker()->plantID().has_value());
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Basil"));

    // Only the notes change: the quantity shown as 0.12 stays 0.125.
    HarvestEditor notes(stored, *OVStore::shared());
    notes.notesBox()->setText(QStringLiteral("Split a few"));
    notes.save();
    EXPECT_EQ(store->harvests().at(0).quantity, 0.125);
    EXPECT_EQ(store->harvests().at(0).notes, QStringLiteral("Split a few"));
}

TEST_F(HarvestEditorTest, PickingThePlantAlreadyChosenKeepsATypedCrop)
{
    Plant tomato;
    tomato.crop = QStringLiteral("Tomato");
    store->save(tomato);
    Harvest stored = harvest(QStringLiteral("Cherry tomato"), OVDay(2026, 7, 1), 1);
    stored.plantID = tomato.id;
    stored = add(stored);

    HarvestEditor editor(stored, *OVStore::shared());
    recordstest::pick(editor.plantPicker(), QVariant::fromValue<qint64>(tomato.id));
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Cherry tomato"));

    // A new harvest: the plant fills the crop once; the grower's correction stays
    // when the same plant is picked again.
    HarvestEditor fresh(Harvest{}, *OVStore::shared());
    recordstest::pick(fresh.plantPicker(), QVariant::fromValue<qint64>(tomato.id));
    EXPECT_EQ(fresh.cropBox()->text(), QStringLiteral("Tomato"));
    fresh.cropBox()->setText(QStringLiteral("Tomato, second flush"));
    recordstest::pick(fresh.plantPicker(), QVariant::fromValue<qint64>(tomato.id));
    EXPECT_EQ(fresh.cropBox()->text(), QStringLiteral("Tomato, second flush"));
}

TEST_F(HarvestEditorTest, AfterARefusedSaveTheRetypedOpeningAmountIsTheStoredOne)
{
    const Harvest stored = add(harvest(QStringLiteral("Pea"), OVDay(2026, 6, 1), 0.125));
    HarvestEditor editor(stored, *OVStore::shared());
    const QString opened = editor.amountBox()->text();
    editor.amountBox()->setText(QStringLiteral("20"));
    editor.cropBox()->clear();
    editor.save();
    ASSERT_TRUE(editor.frame()->error().has_value());
    editor.amountBox()->setText(opened);
    editor.cropBox()->setText(QStringLiteral("Pea"));
    editor.save();
    EXPECT_FALSE(editor.frame()->error().has_value());
    EXPECT_EQ(store->harvests().at(0).quantity, 0.125);
}

TEST_F(HarvestEditorTest, DeleteClosesTheSheetFirstAndAsks)
{
    const Harvest stored = add(harvest(QStringLiteral("Pea"), OVDay(2026, 6, 1), 2));
    AppModel::shared().setSheet(EditSheet(stored));
    HarvestEditor editor(stored, *OVStore::shared());
    EXPECT_EQ(editor.amountBox()->text(), QStringLiteral("2.00"));
    editor.deleteButton()->click();
    expectDeleteQuestion(QStringLiteral("this harvest record"));
    EXPECT_EQ(store->harvests().size(), 1);
    AppModel::shared().confirm()->action();
    EXPECT_TRUE(store->harvests().isEmpty());
}
