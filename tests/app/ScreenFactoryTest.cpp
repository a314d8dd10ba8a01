// Without an open store (a failed start-up) every screen and sheet is a placeholder,
// never a widget that reaches for the missing store.

#include "app/ScreenFactory.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVRecordEditor.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

TEST(ScreenFactoryTest, NoStoreMeansPlaceholdersForEveryScreenAndSheet)
{
    OVStore::setShared(nullptr);
    for (const Screen& screen : Screen::allCases()) {
        SCOPED_TRACE(screen.title().toStdString());
        std::unique_ptr<QWidget> page(ScreenFactory::makeScreen(screen));
        ASSERT_NE(page, nullptr);
    }
    const std::vector<EditSheet> sheets = {
        EditSheet(Greenhouse{}), EditSheet(Zone{}),       EditSheet(Spot{}),       EditSheet(Plant{}),
        EditSheet(Seed{}),       EditSheet(GermTest{}),   EditSheet(Reading{}),    EditSheet(OVTask{}),
        EditSheet(PestRecord{}), EditSheet(Harvest{}),    EditSheet(LedgerEntry{}), EditSheet::importCSV(std::nullopt),
    };
    for (const EditSheet& sheet : sheets) {
        SCOPED_TRACE(sheet.id().toStdString());
        std::unique_ptr<QWidget> editor(ScreenFactory::makeEditor(sheet));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(qobject_cast<OVRecordEditor*>(editor.get()), nullptr);
        // The placeholder's buttons still close the sheet.
        AppModel::shared().setSheet(sheet);
        auto* frame = qobject_cast<OVEditorFrame*>(editor.get());
        ASSERT_NE(frame, nullptr);
        emit frame->saveRequested();
        EXPECT_FALSE(AppModel::shared().sheet().has_value());
    }
}
