// The Pests & Diseases screen and the pest editor over a scratch store.

#include "JobTestSupport.h"
#include "RecordsTestSupport.h"

#include "kit/OVColors.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVEmpty.h"
#include "kit/OVOptionalDayPicker.h"
#include "kit/OVRebuilder.h"
#include "kit/OVStepper.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "records/Greenhouse.h"
#include "screens/records/PestEditor.h"
#include "screens/records/PestRow.h"
#include "screens/records/PestsView.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QToolButton>

using recordstest::RecordsFixture;

namespace {

PestRecord pest(const QString& problem, int severity, bool resolved, OVDay observed = OVDay(2026, 5, 1))
{
    PestRecord record;
    record.problem = problem;
    record.severity = severity;
    record.resolved = resolved;
    record.observed = observed;
    return record;
}

QStringList problems(const PestsView& view)
{
    QStringList out;
    for (const PestRow* row : view.rows())
        out.append(row->record().problem);
    return out;
}

} // namespace

class PestsScreen : public RecordsFixture {};

TEST_F(PestsScreen, ResolvedSwitchFiltersAndAllResolvedShowsTheEmptyState)
{
    add(pest(QStringLiteral("Aphids"), 2, true, OVDay(2026, 5, 1)));
    add(pest(QStringLiteral("Mildew"), 3, false, OVDay(2026, 5, 3)));
    add(pest(QStringLiteral("Whitefly"), 1, true, OVDay(2026, 5, 3)));
    PestsView view;
    EXPECT_TRUE(view.showResolved());
    // Newest day first; of one day the later entry first.
    EXPECT_EQ(problems(view), (QStringList{QStringLiteral("Whitefly"), QStringLiteral("Mildew"), QStringLiteral("Aphids")}));

    view.setShowResolved(false);
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(problems(view), QStringList{QStringLiteral("Mildew")});

    PestRecord mildew = store->pests().at(1);
    ASSERT_EQ(mildew.problem, QStringLiteral("Mildew"));
    mildew.resolved = true;
    store->save(mildew);
    view.rebuilder()->rebuildNow();
    EXPECT_TRUE(view.rows().isEmpty());
    EXPECT_TRUE(recordstest::labelTexts(view.list()).contains(QStringLiteral("No problems logged")));

    // The export holds every record whatever the switch says.
    view.exportButton()->click();
    testsupport::finishJobs();
    EXPECT_EQ(suggested, QStringLiteral("Pests and diseases.csv"));
    const QStringList lines = exportedLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Seen,Problem,Type")));
}

TEST_F(PestsScreen, RowsShowHighlightTagsPlaceAndTreatment)
{
    Greenhouse house;
    house.name = QStringLiteral("North");
    store->save(house);
    Zone zone;
    zone.name = QStringLiteral("Bench");
    zone.greenhouseID = house.id;
    store->save(zone);
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.variety = QStringLiteral("Sungold");
    store->save(plant);

    PestRecord heavy = pest(QStringLiteral("Spider mites"), 4, false, OVDay(2026, 5, 9));
    heavy.plantID = plant.id;
    heavy.zoneID = zone.id;
    heavy.treatment = QStringLiteral("Predatory mites");
    add(heavy);
    PestRecord done = pest(QStringLiteral("Blight"), 5, true, OVDay(2026, 5, 8));
    done.kind = ProblemKind::disorder;
    done.treated = OVDay(2026, 5, 8); // a treated day without treatment text shows no line
    done.result = QStringLiteral("Gone");
    add(done);
    PestRecord bare = pest(QStringLiteral("Damping-off"), 2, false, OVDay(2026, 5, 7));
    bare.zoneID = zone.id;
    bare.plantID = plant.id;
    bare.treatment = QStringLiteral("Fan");
    bare.treated = OVDay(2026, 5, 8);
    add(bare);
    store->remove<Plant>(plant.id); // the link empties; the zone stays

    PestsView view;
    const QList<PestRow*> rows = view.rows();
    ASSERT_EQ(rows.size(), 3);
    const OVColors colors;

    const PestRow* first = rows.at(0);
    EXPECT_TRUE(first->highlight());
    EXPECT_EQ(first->symbol(), QStringLiteral("ladybug.fill"));
    EXPECT_EQ(first->symbolColor(), OVColors::alert());
    ASSERT_EQ(first->tags().size(), 2);
    EXPECT_EQ(first->tags().at(0).text, QStringLiteral("Pest"));
    EXPECT_EQ(first->tags().at(1).text, QStringLiteral("Severity 4/5"));
    EXPECT_EQ(first->tags().at(1).color, OVColors::alert());
    EXPECT_EQ(first->placeText(), QStringLiteral("North · Bench")); // plant deleted
    EXPECT_EQ(first->treatmentText(), QStringLiteral("Treatment: Predatory mites"));
    EXPECT_TRUE(first->resultText().isEmpty());

    const PestRow* second = rows.at(1);
    EXPECT_FALSE(second->highlight()) << "resolved rows are never highlighted";
    EXPECT_EQ(second->symbol(), QStringLiteral("exclamationmark.triangle.fill"));
    EXPECT_EQ(second->symbolColor(), OVColors::good());
    ASSERT_EQ(second->tags().size(), 3);
    EXPECT_EQ(second->tags().at(0).text, QStringLiteral("Disorder"));
    EXPECT_EQ(second->tags().at(1).color, OVColors::alert());
    EXPECT_EQ(second->tags().at(2).text, QStringLiteral("Resolved"));
    EXPECT_EQ(second->placeText(), QString());
    EXPECT_TRUE(second->treatmentText().isEmpty());
    EXPECT_EQ(second->resultText(), QStringLiteral("Result: Gone"));

    const PestRow* third = rows.at(2);
    EXPECT_FALSE(third->highlight());
    EXPECT_EQ(third->tags().at(1).color, colors.accent());
    EXPECT_EQ(third->treatmentText(),
              QStringLiteral("Treatment: Fan (") + OVDay(2026, 5, 8).display() + QStringLiteral(")"));
    EXPECT_EQ(third->dayText(), OVDay(2026, 5, 7).display());
}

TEST_F(PestsScreen, ButtonsAndRowsOpenTheEditorSheet)
{
    const PestRecord stored = add(pest(QStringLiteral("Thrips"), 2, false));
    PestsView view;
    view.addButton()->click();
    ASSERT_TRUE(AppModel::shared().sheet().has_value());
    const PestRecord* fresh = AppModel::shared().sheet()->get<PestRecord>();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->id, 0);
    EXPECT_EQ(fresh->severity, 2);
    EXPECT_EQ(fresh->observed, OVDay::today());

    view.rows().at(0)->click();
    ASSERT_NE(AppModel::shared().sheet()->get<PestRecord>(), nullptr);
    EXPECT_EQ(*AppModel::shared().sheet()->get<PestRecord>(), stored);
}

TEST_F(PestsScreen, FollowsTheStore)
{
    PestsView view;
    view.show();
    settle();
    EXPECT_TRUE(view.rows().isEmpty());
    add(pest(QStringLiteral("Slugs"), 3, false));
    settle();
    EXPECT_EQ(problems(view), QStringList{QStringLiteral("Slugs")});
}

class PestEditorTest : public RecordsFixture {};

TEST_F(PestEditorTest, NewRecordSavesAndReopensForEditing)
{
    AppModel::shared().setSheet(EditSheet(PestRecord()));
    PestEditor editor(PestRecord{}, *OVStore::shared());
    EXPECT_EQ(editor.frame()->title(), QStringLiteral("Log a Pest or Disease"));
    EXPECT_EQ(editor.deleteButton(), nullptr);
    EXPECT_EQ(editor.kindPicker()->count(), 4);
    EXPECT_EQ(editor.kindPicker()->itemText(2), QStringLiteral("Disorder (nutrient, heat, cold…)"));

    // Only blanks: refused, sheet stays open, the next save clears the message first.
    editor.problemBox()->setText(QStringLiteral("   "));
    editor.save();
    EXPECT_EQ(editor.frame()->error(),
              QStringLiteral("Describe the pest or problem (for example Aphids or Powdery mildew)."));
    EXPECT_TRUE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(store->count(QStringLiteral("pest")), 0);

    editor.problemBox()->setText(QStringLiteral("Aphids"));
    recordstest::pick(editor.kindPicker(), QStringLiteral("disease"));
    editor.treatedPicker()->checkBox()->click();
    editor.save();
    EXPECT_FALSE(editor.frame()->error().has_value());
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    const QList<PestRecord> saved = store->pests();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0).kind, ProblemKind::disease);
    EXPECT_EQ(saved.at(0).treated, OVDay::today());

    PestEditor again(saved.at(0), *OVStore::shared());
    EXPECT_EQ(again.frame()->title(), QStringLiteral("Edit Pest / Disease Record"));
    EXPECT_NE(again.deleteButton(), nullptr);
    EXPECT_EQ(again.item(), saved.at(0));
}

TEST_F(PestEditorTest, SeverityWordsAndTreatmentDateCheck)
{
    EXPECT_EQ(PestEditor::severityText(1), QStringLiteral("1 — a few seen"));
    EXPECT_EQ(PestEditor::severityText(4), QStringLiteral("4 — heavy"));
    EXPECT_EQ(PestEditor::severityText(5), QStringLiteral("5 — severe / spreading"));

    PestRecord record = pest(QStringLiteral("Mildew"), 5, false, OVDay(2026, 5, 10));
    record.treatment = QStringLiteral("Sulfur");
    record.treated = OVDay(2026, 5, 12);
    record = add(record);
    PestEditor editor(record, *OVStore::shared());
    EXPECT_EQ(editor.severityStepper()->value(), 5);
    EXPECT_EQ(editor.severityStepper()->maximum(), 5);
    // Stepping past 5 or below 1 is not offered.
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    for (QToolButton* step : editor.severityStepper()->findChildren<QToolButton*>())
        (step->text() == QStringLiteral("+") ? up : down) = step;
    ASSERT_TRUE(up && down);
    up->click();
    EXPECT_EQ(editor.severityStepper()->value(), 5);
    for (int i = 0; i < 6; ++i)
        down->click();
    EXPECT_EQ(editor.severityStepper()->value(), 1);

    editor.treatedPicker()->setDay(OVDay(2026, 5, 9));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("The treatment date is before the day the problem was seen."));
    EXPECT_EQ(store->pests().at(0).treated, OVDay(2026, 5, 12));
}

TEST_F(PestEditorTest, DeleteClosesTheSheetFirstAndAsks)
{
    const PestRecord record = add(pest(QStringLiteral("Scale"), 2, false));
    AppModel::shared().setSheet(EditSheet(record));
    PestEditor editor(record, *OVStore::shared());
    editor.problemBox()->setText(QStringLiteral("Changed, never saved"));
    editor.deleteButton()->click();
    expectDeleteQuestion(QStringLiteral("this pest / disease record"));
    EXPECT_EQ(store->pests().at(0).problem, QStringLiteral("Scale")) << "nothing deleted or saved before the answer";
    AppModel::shared().confirm()->action();
    EXPECT_TRUE(store->pests().isEmpty());
}
