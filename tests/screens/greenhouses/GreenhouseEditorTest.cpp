#include "screens/greenhouses/GreenhouseEditor.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"

#include "GreenhousesTestSupport.h"

#include <QLabel>

using namespace greenhousetest;

namespace {

class GreenhouseEditorTest : public StoreFixture {
protected:
    static QString title(const GreenhouseEditor& editor)
    {
        return editor.frame()->findChild<QLabel*>(QStringLiteral("editorTitle"))->text();
    }
};

TEST_F(GreenhouseEditorTest, SavesTheNameTrimmedAndTheOtherFieldsAsTyped)
{
    AppModel::shared().setSheet(EditSheet(Greenhouse()));
    GreenhouseEditor editor{Greenhouse(), *OVStore::shared()};
    EXPECT_EQ(title(editor), QStringLiteral("New Greenhouse"));
    editor.nameBox()->setText(QStringLiteral("  North  "));
    editor.sizeBox()->setText(QStringLiteral(" 12 × 20 ft "));
    editor.notesBox()->setText(QStringLiteral("line one\nline two\n"));
    editor.save();

    EXPECT_FALSE(editor.frame()->error());
    EXPECT_FALSE(AppModel::shared().sheet());
    const QList<Greenhouse> houses = store->greenhouses();
    ASSERT_EQ(houses.size(), 1);
    EXPECT_EQ(houses.first().name, QStringLiteral("North"));
    EXPECT_EQ(houses.first().size, QStringLiteral(" 12 × 20 ft "));
    EXPECT_EQ(houses.first().notes, QStringLiteral("line one\nline two\n"));
    EXPECT_EQ(editor.item().id, houses.first().id);
}

TEST_F(GreenhouseEditorTest, BlankNameIsRefusedWithNothingWrittenAndTheNextSaveStartsClean)
{
    AppModel::shared().setSheet(EditSheet(Greenhouse()));
    GreenhouseEditor editor{Greenhouse(), *OVStore::shared()};
    editor.nameBox()->setText(QStringLiteral(" \t "));
    editor.locationBox()->setText(QStringLiteral("Back yard"));
    const qint64 revision = store->revision();
    editor.save();

    EXPECT_EQ(editor.frame()->error(), std::optional<QString>(QStringLiteral("Please give the greenhouse a name.")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM greenhouse")), 0);
    EXPECT_EQ(store->revision(), revision);
    EXPECT_TRUE(AppModel::shared().sheet());
    EXPECT_EQ(editor.nameBox()->text(), QString()); // shown trimmed, as the store left it
    EXPECT_EQ(editor.locationBox()->text(), QStringLiteral("Back yard"));
    EXPECT_EQ(title(editor), QStringLiteral("New Greenhouse"));

    editor.nameBox()->setText(QStringLiteral("South"));
    editor.save();
    EXPECT_FALSE(editor.frame()->error());
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM greenhouse")), 1);
}

TEST_F(GreenhouseEditorTest, GreenhouseDeletedMeanwhileIsReported)
{
    const Greenhouse house = addGreenhouse(QStringLiteral("Gone"));
    GreenhouseEditor editor{house, *OVStore::shared()};
    store->remove<Greenhouse>(house.id);
    editor.save();
    EXPECT_EQ(editor.frame()->error(), std::optional<QString>(QStringLiteral("That record no longer exists.")));
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM greenhouse")), 0);
}

} // namespace
