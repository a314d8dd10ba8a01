#include "JobTestSupport.h"
#include "PlantsFixture.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVLabel.h"
#include "kit/OVStepper.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "screens/plants/GermTestEditor.h"
#include "screens/plants/GermTestRow.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/SeedCard.h"
#include "screens/plants/SeedEditor.h"
#include "screens/plants/SeedsView.h"
#include "services/ReferenceLibrary.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class SeedsTest : public PlantsFixture {
protected:
    Seed sampleSeed() { return store->seeds().first(); }

    Seed add(const QString& crop, const QString& variety = QString())
    {
        Seed seed{.crop = crop, .variety = variety};
        store->save(seed);
        return seed;
    }
};

TEST_F(SeedsTest, CardsShowFactsRateAndTests)
{
    addSample();
    SeedsView view;
    ASSERT_EQ(view.cards().size(), 1);
    SeedCard* card = view.cards().first();
    EXPECT_EQ(card->findChild<QLabel*>("seedTitle")->text(), "Lettuce — Buttercrunch (sample)");
    EXPECT_EQ(card->findChild<QLabel*>("seedFacts")->text(),
              QString("Sample seed company · Lot S-1 · Packed for %1 · 400.00 seeds left").arg(OVDay::today().year));
    const QList<GermTest> tests = store->germTests(sampleSeed().id);
    EXPECT_EQ(SeedCard::tagText(tests), "90% germination");
    auto* row = card->findChild<GermTestRow*>();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->findChild<QLabel*>("germCounts")->text(), "18 of 20 sprouted in 6 days");
    EXPECT_EQ(row->findChild<QLabel*>("germRate")->text(), "= 90%");

    // Names are plain text, never markup.
    add("<b>Kale</b> & Co");
    view.rebuild();
    QLabel* marked = nullptr;
    for (SeedCard* c : view.cards())
        if (c->seed().crop.startsWith("<b>"))
            marked = c->findChild<QLabel*>("seedTitle");
    ASSERT_NE(marked, nullptr);
    EXPECT_EQ(marked->textFormat(), Qt::PlainText);
    EXPECT_EQ(marked->text(), "<b>Kale</b> & Co");

    Seed bare{.crop = "Kale", .lot = "7"};
    EXPECT_EQ(SeedCard::facts(bare), "Lot 7 · 0.00 seeds left");
    EXPECT_EQ(SeedCard::title(bare), "Kale");
    GermTest t{.sown = 3, .sprouted = 2};
    EXPECT_EQ(GermTestRow::countText(t), "2 of 3 sprouted");
    EXPECT_EQ(GermTestRow::rateText(t), "= 67%");
}

TEST_F(SeedsTest, SearchAndEmptyStates)
{
    SeedsView view;
    EXPECT_EQ(view.emptyTitle(), "No seed packets yet");
    addSample();
    add("Kale", "Red Russian");
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    settle();
    EXPECT_EQ(view.cards().size(), 2);
    QTest::keyClicks(view.searchField()->lineEdit(), "butter");
    settle();
    ASSERT_EQ(view.cards().size(), 1);
    EXPECT_EQ(view.cards().first()->seed().crop, "Lettuce");
    view.setSearch("lettuce butter"); // across crop and variety
    settle();
    EXPECT_EQ(view.cards().size(), 1);
    view.setSearch("Sample packet"); // notes are not searched
    settle();
    EXPECT_EQ(view.cards().size(), 0);
    EXPECT_EQ(view.emptyTitle(), "Nothing matches");

    view.exportCSV(); // every packet whatever the search
    testsupport::finishJobs();
    EXPECT_EQ(savedName, "Seeds.csv");
    const QString csv = QString::fromUtf8(testsupport::readAll(scratch.file("Seeds.csv")));
    EXPECT_TRUE(csv.contains("Kale"));
    EXPECT_TRUE(csv.contains("Lettuce"));
}

TEST_F(SeedsTest, PlantFromSeedOpensANewGerminatingPlant)
{
    addSample();
    SeedsView view;
    view.plantFromSeed(sampleSeed());
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    const Plant plant = *AppModel::shared().sheet()->get<Plant>();
    EXPECT_EQ(plant.id, 0);
    EXPECT_EQ(plant.source, "Sample seed company, lot S-1");
    EXPECT_EQ(plant.status, PlantStatus::germinating);
    EXPECT_EQ(plant.sowDate, OVDay::today());
    EXPECT_EQ(plant.variety, "Buttercrunch (sample)");
    EXPECT_FALSE(plant.refCropID.isEmpty());
    EXPECT_EQ(plant.quantity, 1);

    const qint64 before = store->count("plant");
    PlantEditor editor(plant, *OVStore::shared());
    editor.frame()->cancelButton()->click();
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(store->count("plant"), before);

    Seed unknown{.crop = "Moonflower"};
    const Plant bare = SeedsView::plantFrom(unknown, ReferenceLibrary::shared());
    EXPECT_EQ(bare.source, "");
    EXPECT_EQ(bare.refCropID, "");
    unknown.lot = "9";
    EXPECT_EQ(SeedsView::plantFrom(unknown, ReferenceLibrary::shared()).source, "lot 9");
}

TEST_F(SeedsTest, TestRowsEditAndDeleteAfterConfirming)
{
    addSample();
    const Seed seed = sampleSeed();
    SeedsView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    settle();
    view.addTest(seed);
    const GermTest fresh = *AppModel::shared().sheet()->get<GermTest>();
    EXPECT_EQ(fresh.seedID, seed.id);
    EXPECT_EQ(fresh.sown, 10);
    EXPECT_EQ(fresh.sprouted, 0);

    auto* row = view.cards().first()->findChild<GermTestRow*>();
    const auto buttons = row->findChildren<QNChromeButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[1], Qt::LeftButton); // Delete
    ASSERT_TRUE(AppModel::shared().confirm().has_value());
    EXPECT_EQ(AppModel::shared().confirm()->title, "Delete this germination test?");
    EXPECT_EQ(AppModel::shared().confirm()->message, "This can't be undone (a backup made earlier can bring it back).");
    confirm();
    EXPECT_TRUE(store->germTests(seed.id).isEmpty());
    settle();
    EXPECT_EQ(view.cards().first()->findChild<GermTestRow*>(), nullptr);
}

TEST_F(SeedsTest, SeedEditorReadsAmountAndYear)
{
    SeedEditor fresh{Seed(), *OVStore::shared()};
    EXPECT_EQ(fresh.amountField()->text(), "");
    EXPECT_EQ(fresh.yearField()->text(), "");
    EXPECT_EQ(fresh.deleteButton(), nullptr);

    fresh.cropField()->setText("Lettuce");
    fresh.amountField()->setText("1,5");
    fresh.yearField()->setText("2026.0");
    fresh.save();
    EXPECT_EQ(fresh.error(), "The year should be a number like 2026.");
    EXPECT_EQ(store->count("seed"), 0);
    fresh.yearField()->setText("1850");
    fresh.save();
    EXPECT_EQ(fresh.error(), "The packed-for year doesn't look right.");
    fresh.yearField()->setText(" 2026 ");
    fresh.amountField()->setText("250 g");
    fresh.save();
    EXPECT_EQ(fresh.error(), "“250 g” is not a number.");
    fresh.amountField()->setText("-3");
    fresh.save();
    EXPECT_EQ(fresh.error(), "The amount of seed can't be negative.");
    EXPECT_EQ(fresh.amountField()->text(), "-3");
    fresh.amountField()->setText("1,5");
    AppModel::shared().setSheet(EditSheet(Seed()));
    fresh.save();
    EXPECT_EQ(fresh.error(), std::nullopt);
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    Seed stored = store->seeds().first();
    EXPECT_EQ(stored.quantity, 1.5);
    EXPECT_EQ(stored.year, 2026);

    SeedEditor thousands(stored, *OVStore::shared());
    EXPECT_EQ(thousands.amountField()->text(), "1.50");
    thousands.amountField()->setText("1,500");
    thousands.save();
    EXPECT_EQ(store->get<Seed>(stored.id)->quantity, 1500);
}

TEST_F(SeedsTest, UntouchedAmountKeepsTheStoredValue)
{
    Seed seed{.crop = "Carrot", .quantity = 0.125};
    store->save(seed);
    SeedEditor editor(seed, *OVStore::shared());
    EXPECT_EQ(editor.amountField()->text(), "0.12"); // two decimals, C rounding
    editor.notesField()->setText("Keep cool");
    editor.save();
    EXPECT_EQ(store->get<Seed>(seed.id)->quantity, 0.125);
    EXPECT_EQ(store->get<Seed>(seed.id)->notes, "Keep cool");

    Seed zero{.crop = "Pea"};
    store->save(zero);
    EXPECT_EQ(SeedEditor(zero, *OVStore::shared()).amountField()->text(), "0.00");
}

TEST_F(SeedsTest, AmountShownIsTheAmountSavedAfterARefusal)
{
    Seed seed{.crop = "Carrot", .quantity = 0.125};
    store->save(seed);
    SeedEditor editor(seed, *OVStore::shared());
    const QString opened = editor.amountField()->text();
    editor.amountField()->setText("20");
    editor.yearField()->setText("twenty");
    editor.save();
    EXPECT_EQ(editor.error(), "The year should be a number like 2026.");
    editor.yearField()->setText("1800");
    editor.save();
    EXPECT_EQ(editor.error(), "The packed-for year doesn't look right.");
    editor.amountField()->setText(opened);
    editor.yearField()->clear();
    editor.save();
    EXPECT_FALSE(editor.error().has_value());
    EXPECT_EQ(store->get<Seed>(seed.id)->quantity, 0.125);

    // The refusal quotes the amount exactly as typed, blanks around it included.
    SeedEditor typo(seed, *OVStore::shared());
    typo.amountField()->setText("  a few\t");
    typo.save();
    EXPECT_EQ(typo.error(), "“  a few\t” is not a number.");
    EXPECT_EQ(store->get<Seed>(seed.id)->quantity, 0.125);
}

TEST_F(SeedsTest, SeedDeleteNamesThePacketAndTakesItsTests)
{
    addSample();
    const Seed seed = sampleSeed();
    EXPECT_EQ(SeedEditor::deleteName(Seed{.crop = "Lettuce"}), "seed packet “Lettuce”");
    EXPECT_EQ(SeedEditor::deleteName(Seed{.crop = "Lettuce", .variety = "Buttercrunch"}),
              "seed packet “Lettuce Buttercrunch”");
    AppModel::shared().setSheet(EditSheet(seed));
    SeedEditor editor(seed, *OVStore::shared());
    editor.askDelete();
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    ASSERT_TRUE(AppModel::shared().confirm().has_value());
    EXPECT_TRUE(AppModel::shared().confirm()->message.startsWith("Its germination tests are deleted too.\n\n"));
    EXPECT_FALSE(store->germTests(seed.id).isEmpty());
    confirm();
    EXPECT_EQ(store->count("seed"), 0);
    EXPECT_EQ(store->count("germ_test"), 0);
}

TEST_F(SeedsTest, GermTestEditorRateDaysAndRefusals)
{
    const Seed seed = add("Lettuce");
    GermTestEditor editor(SeedsView::newTest(seed), *OVStore::shared());
    EXPECT_EQ(editor.frame()->findChild<QLabel*>("editorTitle")->text(), "New Germination Test");
    EXPECT_EQ(editor.rateLine()->text(), "Germination rate: 0%");
    EXPECT_EQ(editor.daysField()->text(), "");

    // The steppers change the rate at once: 3 tested, 2 sprouted.
    auto set = [](OVStepper* stepper, int value) {
        stepper->setValue(value);
        emit stepper->changed(); // as a user's step reports it
    };
    set(editor.sownStepper(), 3);
    set(editor.sproutedStepper(), 2);
    EXPECT_EQ(editor.item().sown, 3);
    EXPECT_EQ(editor.rateLine()->text(), "Germination rate: 67%");
    EXPECT_EQ(editor.sownStepper()->minimum(), 1);
    EXPECT_EQ(editor.sproutedStepper()->maximum(), 10000);

    // 10 tested, 12 sprouted shows 120% and is refused on save.
    set(editor.sownStepper(), 10);
    set(editor.sproutedStepper(), 12);
    EXPECT_EQ(editor.rateLine()->text(), "Germination rate: 120%");
    editor.save();
    EXPECT_EQ(editor.error(), "Sprouted seeds must be between 0 and the number sown.");
    EXPECT_EQ(store->count("germ_test"), 0);

    set(editor.sproutedStepper(), 8);
    editor.daysField()->setText("12.5");
    editor.save();
    EXPECT_EQ(editor.error(), "Days should be a whole number.");
    editor.daysField()->setText("-1");
    editor.save();
    EXPECT_EQ(editor.error(), "Days can't be negative.");
    editor.daysField()->setText(" +5 ");
    AppModel::shared().setSheet(EditSheet(SeedsView::newTest(seed)));
    editor.save();
    EXPECT_EQ(editor.error(), std::nullopt);
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    const GermTest stored = store->germTests(seed.id).first();
    EXPECT_EQ(stored.days, 5);
    EXPECT_EQ(stored.sprouted, 8);

    GermTestEditor reopened(stored, *OVStore::shared());
    EXPECT_EQ(reopened.frame()->findChild<QLabel*>("editorTitle")->text(), "Edit Germination Test");
    EXPECT_EQ(reopened.daysField()->text(), "5");
}

TEST_F(SeedsTest, GermCountsBeyondTheSteppersSaveAsStored)
{
    const Seed seed = add("Onion");
    GermTest test = SeedsView::newTest(seed);
    test.sown = 20000;
    test.sprouted = 15000;
    store->save(test);
    GermTestEditor editor(test, *OVStore::shared());
    EXPECT_EQ(editor.sownStepper()->value(), 20000);
    editor.daysField()->setText("9");
    editor.save();
    ASSERT_FALSE(editor.error().has_value());
    const GermTest after = store->germTests(seed.id).first();
    EXPECT_EQ(after.sown, 20000);
    EXPECT_EQ(after.sprouted, 15000);
}
