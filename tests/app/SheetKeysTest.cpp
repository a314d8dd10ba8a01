// Sheets as a grower drives them from the keyboard, in the real editor dialog: Return
// saves once whatever button has the focus, Space still clicks, Escape cancels once;
// and a sheet stays within a small screen at a large zoom.

#include "TestSupport.h"
#include "app/EditorDialog.h"
#include "app/EditorHost.h"
#include "kit/KitMetrics.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVScroll.h"
#include "kit/OVStepper.h"
#include "kit/OVTextArea.h"
#include "kit/QNChromeButton.h"
#include "screens/plants/PlantEditor.h"
#include "screens/schedules/TaskEditor.h"
#include "screens/schedules/ToggleChip.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QBuffer>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class SheetKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("keys.sqlite")));
        OVStore::setShared(store.get());
        AppModel::shared().setSheet(std::nullopt);
        AppModel::shared().setConfirm(std::nullopt);
        window = std::make_unique<QWidget>();
        window->resize(900, 700);
        window->show();
        host = new EditorHost(AppModel::shared(), window.get());
        settle();
    }

    void TearDown() override
    {
        AppModel::shared().setSheet(std::nullopt);
        AppModel::shared().setConfirm(std::nullopt);
        settle();
        window.reset();
        settle();
        OVStore::setShared(nullptr);
        OVEditorFrame::setScreenAreaOverride(std::nullopt);
        KitMetrics::setZoom(1.0);
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    EditorDialog* open(const EditSheet& sheet)
    {
        AppModel::shared().setSheet(sheet);
        settle();
        EditorDialog* dialog = host->dialog();
        if (dialog)
            QApplication::setActiveWindow(dialog);
        return dialog;
    }

    // Focuses `target` in the open sheet and presses `key` on it; the store's changes
    // in between are counted.
    int press(QWidget* target, Qt::Key key)
    {
        QSignalSpy changes(store.get(), &OVStore::revisionChanged);
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, key);
        settle();
        return int(changes.count());
    }

    OVTask storedTask()
    {
        OVTask task;
        task.title = QStringLiteral("Water trays");
        task.start = OVDay(2026, 5, 1);
        task.rule = Recurrence::everyDays(2);
        store->save(task);
        return task;
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
    std::unique_ptr<QWidget> window;
    EditorHost* host = nullptr;
};

QByteArray jpeg(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

} // namespace

TEST_F(SheetKeysTest, ReturnOnAnyButtonOfTheSheetSavesOnceAndCloses)
{
    // A sheet button the grower just clicked keeps the focus: Return must save, not
    // click it again.
    struct Case {
        const char* name;
        std::function<QWidget*(EditorDialog*)> target;
        bool stored; // a stored task rather than a new plant
    };
    const std::vector<Case> cases = {
        {"Fill From Crop Library", [](EditorDialog* d) { return d->findChild<PlantEditor*>()->fillButton(); }, false},
        {"Cancel", [](EditorDialog* d) { return d->findChild<OVEditorFrame*>()->cancelButton(); }, false},
        {"Save", [](EditorDialog* d) { return d->findChild<OVEditorFrame*>()->saveButton(); }, false},
        {"stepper arrow", [](EditorDialog* d) { return d->findChild<PlantEditor*>()->findChild<QToolButton*>(); },
         false},
        {"Delete This Task…", [](EditorDialog* d) { return d->findChild<TaskEditor*>()->deleteButton(); }, true},
        {"repeat chip", [](EditorDialog* d) { return d->findChild<TaskEditor*>()->ruleChip("weeks"); }, true},
        {"check box", [](EditorDialog* d) { return d->findChild<TaskEditor*>()->activeBox(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype plantsBefore = store->plants().size();
        EditorDialog* dialog = c.stored ? open(EditSheet(storedTask())) : open(EditSheet(Plant{.crop = "Tomato"}));
        ASSERT_NE(dialog, nullptr);
        QWidget* target = c.target(dialog);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(press(target, Qt::Key_Return), 1) << "exactly one save";
        EXPECT_FALSE(AppModel::shared().sheet().has_value()) << "the sheet closed";
        EXPECT_FALSE(AppModel::shared().confirm().has_value()) << "no delete question";
        if (!c.stored) {
            EXPECT_EQ(store->plants().size(), plantsBefore + 1);
        }
        for (const OVTask& task : store->tasks())
            store->remove<OVTask>(task.id);
    }
}

TEST_F(SheetKeysTest, ReturnInATextAreaAddsALineAndSpaceStillClicks)
{
    EditorDialog* dialog = open(EditSheet(Plant{.crop = "Tomato"}));
    ASSERT_NE(dialog, nullptr);
    auto* editor = dialog->findChild<PlantEditor*>();
    auto* notes = editor->findChild<OVTextArea*>();
    ASSERT_NE(notes, nullptr);
    notes->setFocus();
    QTest::keyClicks(notes, QStringLiteral("line"));
    EXPECT_EQ(press(notes, Qt::Key_Return), 0);
    EXPECT_TRUE(AppModel::shared().sheet().has_value());
    EXPECT_EQ(notes->text(), QStringLiteral("line\n"));

    // Space on the focused Fill button runs it (no sowing day yet: it says so).
    EXPECT_EQ(press(editor->fillButton(), Qt::Key_Space), 0);
    EXPECT_EQ(editor->error(), QStringLiteral("Enter a sowing or transplant date first."));
    EXPECT_TRUE(AppModel::shared().sheet().has_value());

    // An open list takes Return first: it picks its row and the sheet stays open.
    auto* status = editor->findChild<QComboBox*>();
    ASSERT_NE(status, nullptr);
    status->showPopup();
    settle();
    ASSERT_TRUE(status->view()->isVisible());
    EXPECT_EQ(press(status->view(), Qt::Key_Return), 0);
    EXPECT_FALSE(status->view()->isVisible());
    EXPECT_TRUE(AppModel::shared().sheet().has_value());

    // Escape cancels once: the sheet closes and nothing is stored.
    EXPECT_EQ(press(editor->fillButton(), Qt::Key_Escape), 0);
    EXPECT_FALSE(AppModel::shared().sheet().has_value());
    EXPECT_TRUE(store->plants().isEmpty());
}

TEST_F(SheetKeysTest, TallSheetsKeepTitleAndButtonsOnASmallScreenAtDoubleZoom)
{
    const QSize screen(1280, 800);
    OVEditorFrame::setScreenAreaOverride(screen);
    KitMetrics::setZoom(2.0);

    Plant plant{.crop = "Tomato"};
    store->save(plant);
    for (int i = 0; i < 4; ++i) {
        Photo photo;
        photo.plantID = plant.id;
        photo.data = jpeg(640, 480, QColor::fromHsv(40 * i, 160, 200));
        photo.added = QDateTime::currentDateTimeUtc();
        store->save(photo);
    }
    const std::vector<EditSheet> sheets = {EditSheet(plant), EditSheet(storedTask()), EditSheet(OVTask{})};
    for (const EditSheet& sheet : sheets) {
        SCOPED_TRACE(sheet.id().toStdString());
        EditorDialog* dialog = open(sheet);
        ASSERT_NE(dialog, nullptr);
        auto* frame = dialog->findChild<OVEditorFrame*>();
        ASSERT_NE(frame, nullptr);
        EXPECT_LE(dialog->height(), screen.height() - OVEditorFrame::windowChrome);
        EXPECT_LE(dialog->width(), screen.width());
        const QRect inside(QPoint(0, 0), dialog->size());
        for (QWidget* kept : {static_cast<QWidget*>(frame->saveButton()), static_cast<QWidget*>(frame->cancelButton()),
                              frame->findChild<QWidget*>(QStringLiteral("editorTitle"))}) {
            ASSERT_NE(kept, nullptr);
            EXPECT_TRUE(kept->isVisible());
            const QRect where(kept->mapTo(dialog, QPoint(0, 0)), kept->size());
            EXPECT_TRUE(inside.contains(where)) << where.y() << "+" << where.height() << " in " << inside.height();
        }
        // The form scrolls instead.
        EXPECT_GT(frame->findChild<QWidget*>(QStringLiteral("editorContent"))->height(),
                  frame->scroll()->viewport()->height());
        AppModel::shared().setSheet(std::nullopt);
        settle();
    }
}
