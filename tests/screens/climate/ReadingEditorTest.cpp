#include "screens/climate/ReadingEditor.h"

#include "kit/OVEditorFrame.h"
#include "kit/QNChromeButton.h"
#include "kit/OVTextField.h"
#include "kit/ZonePicker.h"

#include "ClimateTestSupport.h"

#include <QDateTimeEdit>

using climatetest::ClimateFixture;

namespace {

class ReadingEditorTest : public ClimateFixture {
protected:
    void SetUp() override
    {
        ClimateFixture::SetUp();
        addSample();
        propagation = zoneNamed(QStringLiteral("Propagation"));
    }
    // A new reading of Propagation at a minute no sample reading uses.
    Reading fresh() const
    {
        Reading r;
        r.zoneID = propagation.id;
        r.taken = QDateTime::currentDateTimeUtc().addDays(1);
        return r;
    }
    // Opens the sheet as the main window would, so closing it is visible.
    void open(const Reading& r) { AppModel::shared().setSheet(EditSheet(r)); }
    bool sheetOpen() const { return AppModel::shared().sheet().has_value(); }

    Zone propagation;
};

} // namespace

TEST_F(ReadingEditorTest, ReadingInAnOccupiedMinuteIsRefusedAndNothingIsStored)
{
    const Reading existing = store->readings(propagation.id).first();
    Reading item = fresh();
    item.taken = existing.taken.addSecs(10 - existing.taken.time().second()); // same minute, other second
    open(item);
    ReadingEditor editor(item, *store);
    editor.field(Metric::humidity)->setText(QStringLiteral("61"));
    const qint64 before = store->count(QStringLiteral("reading"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), ReadingEditor::duplicateText);
    EXPECT_EQ(store->count(QStringLiteral("reading")), before);
    EXPECT_TRUE(sheetOpen());
    EXPECT_EQ(editor.field(Metric::humidity)->text(), QStringLiteral("61"));
}

TEST_F(ReadingEditorTest, BlankAndUnreadableBoxesStopTheSaveWithTheFirstProblem)
{
    Reading item = fresh();
    open(item);
    ReadingEditor editor(item, *store);
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("Enter at least one reading."));

    editor.field(Metric::light)->setText(QStringLiteral("bright"));
    editor.field(Metric::humidity)->setText(QStringLiteral(" abc\t"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("Humidity: “abc” is not a number."));
    EXPECT_TRUE(sheetOpen());
    EXPECT_TRUE(editor.item().values.empty());
}

TEST_F(ReadingEditorTest, ReadingAboveTheHighLimitSavesAndSendsOneAlertNamingTheZone)
{
    Reading item = fresh();
    open(item);
    ReadingEditor editor(item, *store);
    editor.field(Metric::temp)->setText(QStringLiteral(" 95 "));
    editor.field(Metric::humidity)->setText(QStringLiteral("60"));
    const qint64 before = store->count(QStringLiteral("reading"));
    editor.save();
    EXPECT_FALSE(editor.frame()->error());
    EXPECT_FALSE(sheetOpen());
    EXPECT_EQ(store->count(QStringLiteral("reading")), before + 1);
    ASSERT_EQ(OVNotify::sentAlerts.size(), 1);
    EXPECT_TRUE(OVNotify::sentAlerts.first().startsWith(QStringLiteral("Sample Greenhouse · Propagation: ")))
        << OVNotify::sentAlerts.first().toStdString();
    EXPECT_TRUE(OVNotify::sentAlerts.first().contains(QStringLiteral("95°F")));
}

TEST_F(ReadingEditorTest, NewReadingForAnUnknownZoneStartsInTheFirstZone)
{
    Reading item = fresh();
    item.zoneID = 424242;
    ReadingEditor editor(item, *store);
    EXPECT_EQ(editor.item().zoneID, zoneNamed(QStringLiteral("Main House")).id);
    EXPECT_EQ(editor.zonePicker()->zoneID(), editor.item().zoneID);
}

TEST_F(ReadingEditorTest, UntouchedBoxesKeepStoredValuesExactlyWhileEditedOnesAreConverted)
{
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    Reading stored = fresh();
    stored.values = {{Metric::temp, 72}, {Metric::light, 1200}, {Metric::ec, 1.4}};
    store->addReadings({stored});
    stored = store->readings(propagation.id).first();
    ASSERT_EQ(stored.values.size(), 3u);

    open(stored);
    ReadingEditor editor(stored, *store);
    EXPECT_EQ(editor.field(Metric::temp)->text(), QStringLiteral("22.22"));
    EXPECT_EQ(editor.field(Metric::ec)->text(), QStringLiteral("1.40"));
    EXPECT_EQ(editor.field(Metric::light)->text(), QStringLiteral("1200"));
    editor.field(Metric::light)->clear();
    editor.field(Metric::humidity)->setText(QStringLiteral("55,5"));
    editor.save();
    ASSERT_FALSE(editor.frame()->error());
    const Reading after = *store->get<Reading>(stored.id);
    EXPECT_EQ(after.values.at(Metric::temp), 72.0); // not 71.996
    EXPECT_EQ(after.values.at(Metric::ec), 1.4);
    EXPECT_EQ(after.values.count(Metric::light), 0u);
    EXPECT_DOUBLE_EQ(after.values.at(Metric::humidity), 55.5);
}

TEST_F(ReadingEditorTest, AfterARefusedSaveARetypedOpeningValueIsTheStoredOne)
{
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    Reading stored = fresh();
    stored.values = {{Metric::temp, 72}};
    store->addReadings({stored});
    stored = store->readings(propagation.id).first();

    open(stored);
    ReadingEditor editor(stored, *store);
    const QString opened = editor.field(Metric::temp)->text();
    editor.field(Metric::temp)->setText(QStringLiteral("20"));
    editor.field(Metric::humidity)->setText(QStringLiteral("500"));
    editor.save();
    ASSERT_TRUE(editor.frame()->error());
    editor.field(Metric::temp)->setText(QStringLiteral(" ") + opened);
    editor.field(Metric::humidity)->clear();
    editor.save();
    ASSERT_FALSE(editor.frame()->error());
    EXPECT_EQ(store->get<Reading>(stored.id)->values.at(Metric::temp), 72.0);
}

TEST_F(ReadingEditorTest, StoredReadingDeletedMeanwhileSaysSoAndDeleteAsksAfterClosing)
{
    Reading stored = store->readings(propagation.id).first();
    open(stored);
    ReadingEditor editor(stored, *store);
    ASSERT_NE(editor.deleteButton(), nullptr);
    store->remove<Reading>(stored.id);
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("That record no longer exists."));
    EXPECT_TRUE(sheetOpen());

    Reading other = store->readings(propagation.id).first();
    open(other);
    ReadingEditor second(other, *store);
    second.deleteButton()->click();
    EXPECT_FALSE(sheetOpen());
    ASSERT_TRUE(AppModel::shared().confirm());
    EXPECT_TRUE(store->get<Reading>(other.id)); // nothing gone before the yes
    AppModel::shared().confirm()->action();
    EXPECT_FALSE(store->get<Reading>(other.id));
}

TEST_F(ClimateFixture, NewReadingWithoutAnyZoneAsksForOne)
{
    Reading item;
    ReadingEditor editor(item, *store);
    EXPECT_EQ(editor.item().zoneID, 0);
    EXPECT_EQ(editor.zonePicker()->currentIndex(), -1);
    editor.field(Metric::temp)->setText(QStringLiteral("70"));
    editor.save();
    EXPECT_EQ(editor.frame()->error(), QStringLiteral("Choose the zone this reading is for."));
    EXPECT_EQ(editor.frame()->title(), QStringLiteral("New Climate Reading"));
}
