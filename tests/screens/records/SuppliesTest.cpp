// The Supplies & Costs screen and the cost editor over a scratch store.

#include "JobTestSupport.h"
#include "RecordsTestSupport.h"

#include "kit/OVCard.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVRebuilder.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "records/OVFormat.h"
#include "screens/records/LedgerEditor.h"
#include "screens/records/LedgerRow.h"
#include "screens/records/SuppliesView.h"

#include <QLineEdit>
#include <QTest>

using recordstest::RecordsFixture;

namespace {

LedgerEntry entry(const QString& item, LedgerCategory category, double cost, OVDay date)
{
    LedgerEntry e;
    e.item = item;
    e.category = category;
    e.cost = cost;
    e.date = date;
    return e;
}

QStringList items(const SuppliesView& view)
{
    QStringList out;
    for (const LedgerRow* row : view.rows())
        out.append(row->entry().item);
    return out;
}

} // namespace

class SuppliesScreen : public RecordsFixture {};

TEST_F(SuppliesScreen, EmptyStoreShowsZeroSpendAndNoCostsYet)
{
    SuppliesView view;
    const QString year = QString::number(OVDay::today().year);
    EXPECT_TRUE(recordstest::labelTexts(view.yearCard())
                    .contains(QStringLiteral("Spent in ") + year + QStringLiteral(": ") + OVFormat::cash(0)));
    EXPECT_TRUE(recordstest::labelTexts(view.listCard()).contains(QStringLiteral("No costs yet")));
}

TEST_F(SuppliesScreen, SearchFindsCategoryNamesButNeverNarrowsTheYear)
{
    const qint64 year = OVDay::today().year;
    LedgerEntry heat = entry(QStringLiteral("Propane refill"), LedgerCategory::energy, 40, OVDay(year, 2, 1));
    heat.notes = QStringLiteral("compost"); // notes are never searched
    add(heat);
    LedgerEntry mix = entry(QStringLiteral("Potting mix"), LedgerCategory::media, 12.5, OVDay(year, 3, 1));
    mix.vendor = QStringLiteral("Farm Store");
    mix.crop = QStringLiteral("Tomato");
    add(mix);
    add(entry(QStringLiteral("Old hose"), LedgerCategory::water, 9, OVDay(year - 1, 3, 1)));
    add(entry(QStringLiteral("Free seeds"), LedgerCategory::seeds, 0, OVDay(year, 4, 1)));

    SuppliesView view;
    view.show();
    recordstest::settleEvents();
    const QStringList yearTexts = recordstest::labelTexts(view.yearCard());
    EXPECT_TRUE(yearTexts.contains(QStringLiteral("Spent in ") + QString::number(year) + QStringLiteral(": ") +
                                   OVFormat::cash(52.5)));
    EXPECT_TRUE(yearTexts.contains(QStringLiteral("Heating & electricity")));
    EXPECT_TRUE(yearTexts.contains(QStringLiteral("Soil & growing media")));
    EXPECT_FALSE(yearTexts.contains(QStringLiteral("Water"))) << "last year's spending";
    EXPECT_FALSE(yearTexts.contains(QStringLiteral("Seeds & plants"))) << "a zero total has no cell";

    const QList<LedgerRow*> rows = view.rows();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows.at(1)->detailText(), QStringLiteral("Soil & growing media · Farm Store · for Tomato"));
    EXPECT_EQ(rows.at(2)->detailText(), QStringLiteral("Heating & electricity · shared"));

    OVCard* yearCard = view.yearCard();
    const int yearBuilds = view.yearRebuilder()->rebuildCount();
    QTest::keyClicks(view.searchField()->lineEdit(), QStringLiteral("heating"));
    recordstest::settleEvents();
    EXPECT_EQ(items(view), QStringList{QStringLiteral("Propane refill")});

    view.searchField()->setText(QStringLiteral("COMPOST"));
    recordstest::settleEvents();
    EXPECT_TRUE(view.rows().isEmpty());
    EXPECT_TRUE(recordstest::labelTexts(view.listCard()).contains(QStringLiteral("Nothing matches")));
    EXPECT_EQ(view.yearCard(), yearCard) << "the search leaves the year card as it was";
    EXPECT_EQ(view.yearRebuilder()->rebuildCount(), yearBuilds);

    view.searchField()->setText(QStringLiteral(" "));
    recordstest::settleEvents();
    EXPECT_EQ(view.rows().size(), 4) << "a single blank matches every entry";

    view.exportButton()->click();
    testsupport::finishJobs();
    EXPECT_EQ(suggested, QStringLiteral("Supplies and costs.csv"));
    EXPECT_EQ(exportedLines().size(), 5);
}

TEST_F(SuppliesScreen, ListsAtMost300AndFollowsTheStore)
{
    store->db().transaction([&] {
        for (int i = 0; i < 301; ++i)
            add(entry(QStringLiteral("Tray %1").arg(i), LedgerCategory::containers, 1, OVDay(2024, 1, 1).adding(i)));
    });
    SuppliesView view;
    view.show();
    recordstest::settleEvents();
    ASSERT_EQ(view.rows().size(), SuppliesView::listLimit);
    EXPECT_EQ(view.rows().first()->entry().item, QStringLiteral("Tray 300"));
    EXPECT_EQ(view.rows().last()->entry().item, QStringLiteral("Tray 1"));

    // A search that matches more than 300 entries lists the newest 300 of them.
    add(entry(QStringLiteral("Seed packet"), LedgerCategory::seeds, 3, OVDay(2028, 1, 1)));
    view.searchField()->setText(QStringLiteral("tray"));
    recordstest::settleEvents();
    ASSERT_EQ(view.rows().size(), SuppliesView::listLimit);
    EXPECT_EQ(view.rows().first()->entry().item, QStringLiteral("Tray 300"));
    EXPECT_EQ(view.rows().last()->entry().item, QStringLiteral("Tray 1"));
    view.searchField()->setText(QString());
    recordstest::settleEvents();

    add(entry(QStringLiteral("Heat mat"), LedgerCategory::equipment, 30, OVDay(2030, 1, 1)));
    recordstest::settleEvents();
    EXPECT_EQ(view.rows().first()->entry().item, QStringLiteral("Heat mat"));

    view.rows().first()->click();
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(AppModel::shared().sheet()->get<LedgerEntry>()->item, QStringLiteral("Heat mat"));
    view.addButton()->click();
    EXPECT_EQ(AppModel::shared().sheet()->get<LedgerEntry>()->id, 0);
}

class LedgerEditorTest : public RecordsFixture {
protected:
    // Saves a new entry with the typed cost and quantity; the stored entry or nothing.
    std::optional<LedgerEntry> saveTyped(const QString& cost, const QString& quantity, QString* error = nullptr)
    {
        for (const LedgerEntry& old : store->ledger())
            store->remove<LedgerEntry>(old.id);
        LedgerEditor editor(LedgerEntry{}, *OVStore::shared());
        editor.itemBox()->setText(QStringLiteral("Seed"));
        editor.costBox()->setText(cost);
        editor.quantityBox()->setText(quantity);
        editor.save();
        if (error)
            *error = editor.frame()->error().value_or(QString());
        const QList<LedgerEntry> saved = store->ledger();
        return saved.isEmpty() ? std::nullopt : std::optional<LedgerEntry>(saved.first());
    }
};

TEST_F(LedgerEditorTest, ReadsTypedCostsAndQuantities)
{
    LedgerEditor fresh(LedgerEntry{}, *OVStore::shared());
    EXPECT_EQ(fresh.frame()->title(), QStringLiteral("Add a Cost"));
    EXPECT_EQ(fresh.costBox()->text(), QString());
    EXPECT_EQ(fresh.quantityBox()->text(), QStringLiteral("1.00"));
    EXPECT_EQ(fresh.categoryPicker()->currentText(), QStringLiteral("Other"));
    EXPECT_EQ(fresh.deleteButton(), nullptr);

    const std::pair<QString, double> costs[] = {
        {QStringLiteral("$12.99"), 12.99}, {QStringLiteral("12.99$"), 12.99}, {QStringLiteral(" 12.99 "), 12.99},
        {QStringLiteral("12,99"), 12.99},  {QStringLiteral("1,299"), 1299},   {QStringLiteral("1,299.50"), 1299.5},
        {QStringLiteral("1,2,3"), 123},    {QStringLiteral("0"), 0}};
    for (const auto& [typed, expected] : costs) {
        const std::optional<LedgerEntry> saved = saveTyped(typed, QStringLiteral("1.00"));
        ASSERT_TRUE(saved) << typed.toStdString();
        EXPECT_EQ(saved->cost, expected) << typed.toStdString();
    }

    QString error;
    EXPECT_FALSE(saveTyped(QString(), QStringLiteral("1"), &error));
    EXPECT_EQ(error, QStringLiteral("Enter the total cost as a number, for example 12.99."));
    EXPECT_FALSE(saveTyped(QStringLiteral("-5"), QStringLiteral("1"), &error));
    EXPECT_EQ(error, QStringLiteral("The cost can't be negative."));
    EXPECT_FALSE(saveTyped(QStringLiteral("3"), QStringLiteral("two"), &error));
    EXPECT_EQ(error, QStringLiteral("The quantity should be a number."));
    EXPECT_EQ(saveTyped(QStringLiteral("3"), QString())->quantity, 1);
    EXPECT_EQ(saveTyped(QStringLiteral("3"), QStringLiteral(" \t "))->quantity, 1);
    EXPECT_EQ(saveTyped(QStringLiteral("3"), QStringLiteral("2,5"))->quantity, 2.5);
}

TEST_F(LedgerEditorTest, UnchangedNumbersKeepTheirStoredValues)
{
    LedgerEntry stored = entry(QStringLiteral("Neem oil"), LedgerCategory::pestControl, 12.345, OVDay(2026, 4, 2));
    stored.quantity = 0.125;
    stored = add(stored);

    AppModel::shared().setSheet(EditSheet(stored));
    LedgerEditor editor(stored, *OVStore::shared());
    EXPECT_EQ(editor.frame()->title(), QStringLiteral("Edit Cost"));
    EXPECT_EQ(editor.costBox()->text(), QStringLiteral("12.35"));
    EXPECT_EQ(editor.quantityBox()->text(), QStringLiteral("0.12"));
    editor.notesBox()->setText(QStringLiteral("Half strength"));
    editor.save();
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    const LedgerEntry after = store->ledger().at(0);
    EXPECT_EQ(after.cost, 12.345);
    EXPECT_EQ(after.quantity, 0.125);
    EXPECT_EQ(after.notes, QStringLiteral("Half strength"));

    // A typed change is read from the text.
    LedgerEditor retyped(after, *OVStore::shared());
    retyped.costBox()->setText(QStringLiteral("12.30"));
    retyped.save();
    EXPECT_EQ(store->ledger().at(0).cost, 12.3);
    EXPECT_EQ(store->ledger().at(0).quantity, 0.125);
}

TEST_F(LedgerEditorTest, AfterARefusedSaveTheRetypedOpeningNumbersAreTheStoredOnes)
{
    LedgerEntry stored = entry(QStringLiteral("Neem oil"), LedgerCategory::pestControl, 12.345, OVDay(2026, 4, 2));
    stored.quantity = 0.125;
    stored = add(stored);
    LedgerEditor editor(stored, *OVStore::shared());
    const QString cost = editor.costBox()->text();
    const QString quantity = editor.quantityBox()->text();
    editor.costBox()->setText(QStringLiteral("20"));
    editor.quantityBox()->setText(QStringLiteral("20"));
    editor.itemBox()->clear();
    editor.save();
    ASSERT_TRUE(editor.frame()->error().has_value());
    editor.costBox()->setText(cost);
    editor.quantityBox()->setText(quantity);
    editor.itemBox()->setText(QStringLiteral("Neem oil"));
    editor.save();
    EXPECT_FALSE(editor.frame()->error().has_value());
    EXPECT_EQ(store->ledger().at(0).cost, 12.345);
    EXPECT_EQ(store->ledger().at(0).quantity, 0.125);
}

TEST_F(LedgerEditorTest, PlantChoiceFillsTheCropAndTheStoreTidies)
{
    Plant plant;
    plant.crop = QStringLiteral("Cucumber");
    store->save(plant);
    LedgerEntry stored = entry(QStringLiteral("Trellis"), LedgerCategory::equipment, 8, OVDay(2026, 4, 2));
    stored.plantID = plant.id;
    stored.crop = QStringLiteral("Shared trellis crop");
    stored = add(stored);

    LedgerEditor editor(stored, *OVStore::shared());
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Shared trellis crop")) << "opening never touches the crop";
    recordstest::pick(editor.plantPicker(), QVariant::fromValue<qint64>(plant.id));
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Shared trellis crop")) << "the plant already chosen";
    editor.plantPicker()->setCurrentIndex(0);
    emit editor.plantPicker()->activated(0);
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Shared trellis crop"));
    recordstest::pick(editor.plantPicker(), QVariant::fromValue<qint64>(plant.id));
    EXPECT_EQ(editor.cropBox()->text(), QStringLiteral("Cucumber"));

    // With the plant chosen and the crop emptied by hand the store fills it in.
    editor.cropBox()->clear();
    editor.itemBox()->setText(QStringLiteral("  "));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("Please describe what was bought or paid for."));
    EXPECT_EQ(editor.itemBox()->text(), QString()) << "the form shows what the store trimmed";
    editor.itemBox()->setText(QStringLiteral("Trellis net"));
    editor.save();
    EXPECT_FALSE(editor.frame()->error().has_value());
    EXPECT_EQ(store->ledger().at(0).crop, QStringLiteral("Cucumber"));
}

TEST_F(LedgerEditorTest, DeleteClosesTheSheetFirstAndAsks)
{
    const LedgerEntry stored = add(entry(QStringLiteral("Fan belt"), LedgerCategory::repairs, 15, OVDay(2026, 1, 5)));
    AppModel::shared().setSheet(EditSheet(stored));
    LedgerEditor editor(stored, *OVStore::shared());
    editor.deleteButton()->click();
    expectDeleteQuestion(QStringLiteral("this cost"));
    EXPECT_EQ(store->ledger().size(), 1);
    AppModel::shared().confirm()->action();
    EXPECT_TRUE(store->ledger().isEmpty());
}
