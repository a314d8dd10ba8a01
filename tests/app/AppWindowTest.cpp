// The main window as a user drives it: rail, Go menu shortcuts, sheets, delete
// questions and notices, on the offscreen platform.

#include "AppModelReset.h"
#include "TestSupport.h"
#include "app/AppCommands.h"
#include "app/AppWindow.h"
#include "app/ConfirmAlert.h"
#include "app/EditorDialog.h"
#include "app/EditorHost.h"
#include "app/MainWindow.h"
#include "app/NoticeAlert.h"
#include "app/RailButton.h"
#include "app/ScreenHost.h"
#include "app/SideRail.h"
#include "kit/OVEditorFrame.h"
#include "kit/QNChromeButton.h"
#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "store/OVStore.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("frame.sqlite")));
        OVStore::setShared(store.get());
        AppModel& model = AppModel::shared();
        model.setScreen(Screen::today);
        testsupport::closeSheetAndAlerts(model);
        window = std::make_unique<AppWindow>();
        window->show();
        QApplication::setActiveWindow(window.get());
        settle();
    }

    void TearDown() override
    {
        AppModel::shared().setSheet(std::nullopt);
        AppModel::shared().setConfirm(std::nullopt);
        AppModel::shared().setMessage(std::nullopt);
        window.reset();
        settle();
        OVStore::setShared(nullptr);
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void key(int k, Qt::KeyboardModifiers mods = Qt::ControlModifier)
    {
        QWidget* target = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : window.get();
        // The offscreen platform has no window manager to hand activation back after
        // a dialog closes.
        QApplication::setActiveWindow(target);
        QTest::keyClick(target, Qt::Key(k), mods);
        settle();
    }

    QMenu* menu(const QString& title) const
    {
        for (QAction* action : window->menuBar()->actions())
            if (action->text() == title)
                return action->menu();
        return nullptr;
    }

    EditorDialog* dialog() const { return window->editorHost()->dialog(); }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
    std::unique_ptr<AppWindow> window;
};

} // namespace

TEST_F(AppWindowTest, WindowRailAndMenus)
{
    EXPECT_EQ(window->windowTitle(), "QNMR Orvane");
    EXPECT_EQ(window->centralWidget()->minimumSize(), QSize(900, 600));
    EXPECT_EQ(window->centralWidget()->width(), 1380);

    SideRail* rail = window->mainWindow()->rail();
    EXPECT_EQ(rail->QWidget::width(), 236);
    ASSERT_EQ(rail->buttons().size(), 14);
    for (RailButton* button : rail->buttons())
        EXPECT_EQ(button->selected(), button->screen() == Screen::today) << button->screen().title().toStdString();

    QStringList bar;
    for (QAction* action : window->menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(bar, QStringList({"File", "View", "Go", "Theme", "Help"}));

    // Nine numbered screens, a separator, the other five; "&" doubled so it shows.
    QMenu* go = menu("Go");
    ASSERT_NE(go, nullptr);
    const QList<QAction*> items = go->actions();
    ASSERT_EQ(items.size(), 15);
    EXPECT_TRUE(items.at(9)->isSeparator());
    const QStringList titles{"Today", "Greenhouses", "Plants && Crops", "Climate", "Watering && Feeding",
                             "Maintenance", "Harvests", "Reports", "Crop Library", "",
                             "Seed Inventory", "Pests && Diseases", "Supplies && Costs", "Video Library",
                             "Settings && Backup"};
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(items.at(i)->text(), titles.at(i));
        const QKeySequence expected = i < 9 ? QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1)) : QKeySequence();
        EXPECT_EQ(items.at(i)->shortcut(), expected) << i;
    }
    // The menu's own rendering of a doubled "&" is the single character.
    EXPECT_EQ(QAction(titles.at(2)).iconText(), "Plants & Crops");

    QStringList file;
    for (QAction* action : menu("File")->actions())
        file << action->text() + "|" + action->shortcut().toString();
    EXPECT_EQ(file, QStringList({"New Plant…|Ctrl+N", "New Climate Reading…|Ctrl+Shift+R",
                                 "Import Climate CSV…|Ctrl+Shift+I", "|", "New Greenhouse…|", "Log a Harvest…|",
                                 "Log a Pest or Disease…|", "Add a Cost…|", "|", "Back Up Now…|Ctrl+Shift+B",
                                 "Export Everything as CSV…|", "|", "Quit|Ctrl+Q"}));
}

TEST_F(AppWindowTest, NumberShortcutsFollowTheGoOrder)
{
    const QList<Screen> expected{Screen::today,     Screen::greenhouses, Screen::plants,
                                 Screen::climate,   Screen::schedules,   Screen::maintenance,
                                 Screen::harvests,  Screen::reports,     Screen::library};
    for (int digit = 1; digit <= 9; ++digit) {
        key(Qt::Key_0 + digit);
        const Screen want = expected.at(digit - 1);
        EXPECT_EQ(AppModel::shared().screen(), want) << digit;
        ScreenHost* host = window->mainWindow()->screenHost();
        EXPECT_EQ(host->screen(), want);
        ASSERT_NE(host->current(), nullptr);
        for (RailButton* button : window->mainWindow()->rail()->buttons())
            EXPECT_EQ(button->selected(), button->screen() == want);
    }
}

TEST_F(AppWindowTest, ScreenWidgetLivesWhileItsScreenStays)
{
    AppModel& model = AppModel::shared();
    model.setScreen(Screen::plants);
    settle();
    QPointer<QWidget> plants = window->mainWindow()->screenHost()->current();
    model.setScreen(Screen::plants); // the same screen again
    store->changed();
    settle();
    EXPECT_EQ(window->mainWindow()->screenHost()->current(), plants.data());

    model.setScreen(Screen::seeds);
    settle();
    EXPECT_TRUE(plants.isNull());
}

TEST_F(AppWindowTest, SheetsAreKeyedByTheirID)
{
    AppModel& model = AppModel::shared();
    key(Qt::Key_N);
    ASSERT_TRUE(model.sheet().has_value());
    EXPECT_EQ(model.sheet()->id(), "p0");
    QPointer<EditorDialog> plantDialog = dialog();
    ASSERT_TRUE(plantDialog);
    EXPECT_TRUE(plantDialog->isVisible());
    EXPECT_EQ(plantDialog->windowModality(), Qt::WindowModal);

    // Typed text survives the same sheet set again and a store change. Held weakly:
    // a dialog replaced by mistake takes the box with it, which must fail, not crash.
    QPointer<QLineEdit> typed = new QLineEdit;
    ASSERT_NE(plantDialog->findChild<OVEditorFrame*>(), nullptr);
    plantDialog->findChild<OVEditorFrame*>()->body()->addWidget(typed);
    typed->setText(QStringLiteral("Sungold"));
    model.setSheet(EditSheet(Plant{}));
    store->changed();
    settle();
    EXPECT_EQ(dialog(), plantDialog.data());
    ASSERT_TRUE(typed) << "the dialog and the text typed into it went away";
    EXPECT_EQ(typed->text(), "Sungold");

    // Another id replaces the dialog.
    model.setSheet(EditSheet(Seed{}));
    settle();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_NE(dialog(), plantDialog.data());
    EXPECT_EQ(dialog()->sheetID(), "seed0");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(plantDialog.isNull());

    // Escape runs the editor's cancel, which closes the sheet.
    QTest::keyClick(dialog(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(model.sheet().has_value());
    EXPECT_EQ(dialog(), nullptr);

    // Closing the dialog's window closes the sheet too.
    model.setSheet(EditSheet(Greenhouse{}));
    settle();
    ASSERT_NE(dialog(), nullptr);
    dialog()->close();
    settle();
    EXPECT_FALSE(model.sheet().has_value());
}

TEST_F(AppWindowTest, EditorThatClosesItsSheetThenAsksToDelete)
{
    AppModel& model = AppModel::shared();
    model.setSheet(EditSheet(Plant{}));
    settle();
    auto* frame = dialog()->findChild<OVEditorFrame*>();
    ASSERT_NE(frame, nullptr);
    // A button inside the editor whose handler closes the sheet and then raises a
    // question: the dialog and its button must outlive the handler.
    auto* button = new QPushButton(QStringLiteral("Delete Plant"));
    frame->body()->addWidget(button);
    bool deleted = false;
    QObject::connect(button, &QPushButton::clicked, button, [&deleted] {
        closeSheet();
        AppModel::shared().askDelete(QStringLiteral("Tomato"), QString(), [&deleted] { deleted = true; });
    });
    button->click();
    settle();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(model.sheet().has_value());
    ASSERT_TRUE(model.confirm().has_value());
    QMessageBox* box = window->confirmAlert()->box();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());

    QAbstractButton* destroy = nullptr;
    for (QAbstractButton* b : box->buttons())
        if (box->buttonRole(b) == QMessageBox::DestructiveRole)
            destroy = b;
    ASSERT_NE(destroy, nullptr);
    destroy->click();
    settle();
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(model.confirm().has_value());
}

// An editor's delete button takes the sheet away before its question comes up: when
// the question shows, no sheet is set and its dialog is no longer on screen.
TEST_F(AppWindowTest, EditorDeleteButtonsCloseTheSheetBeforeTheQuestionShows)
{
    struct Shown : QObject {
        AppModel* model = nullptr;
        QPointer<EditorDialog> sheet;
        int questions = 0;
        bool sheetSet = false;
        bool sheetOnScreen = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Show && qobject_cast<QMessageBox*>(watched)) {
                ++questions;
                sheetSet = model->sheet().has_value();
                sheetOnScreen = sheet && sheet->isVisible();
            }
            return false;
        }
    };

    Plant plant{.crop = QStringLiteral("Tomato")};
    store->save(plant);
    Seed seed{.crop = QStringLiteral("Lettuce")};
    store->save(seed);
    Harvest harvest{.crop = QStringLiteral("Tomato"), .date = OVDay(2026, 5, 1), .quantity = 2};
    store->save(harvest);
    LedgerEntry cost{.date = OVDay(2026, 5, 1), .item = QStringLiteral("Compost"), .cost = 4};
    store->save(cost);
    OVTask task;
    task.title = QStringLiteral("Water trays");
    task.start = OVDay(2026, 5, 1);
    store->save(task);

    AppModel& model = AppModel::shared();
    for (const EditSheet& sheet :
         {EditSheet(plant), EditSheet(seed), EditSheet(harvest), EditSheet(cost), EditSheet(task)}) {
        SCOPED_TRACE(sheet.id().toStdString());
        model.setSheet(sheet);
        settle();
        ASSERT_NE(dialog(), nullptr);
        QNChromeButton* remove = nullptr;
        for (QNChromeButton* button : dialog()->findChildren<QNChromeButton*>())
            if (button->title().startsWith(QStringLiteral("Delete This ")))
                remove = button;
        ASSERT_NE(remove, nullptr);

        Shown shown;
        shown.model = &model;
        shown.sheet = dialog();
        qApp->installEventFilter(&shown);
        remove->click();
        qApp->removeEventFilter(&shown);
        EXPECT_EQ(shown.questions, 1);
        EXPECT_FALSE(shown.sheetSet) << "the sheet was still set when the question showed";
        EXPECT_FALSE(shown.sheetOnScreen) << "the sheet was still on screen when the question showed";

        // Cancel keeps the record.
        settle();
        ASSERT_NE(window->confirmAlert()->box(), nullptr);
        window->confirmAlert()->box()->button(QMessageBox::Cancel)->click();
        settle();
        EXPECT_FALSE(model.confirm().has_value());
        EXPECT_FALSE(model.sheet().has_value());
    }
    EXPECT_EQ(store->count(QStringLiteral("plant")), 1);
    EXPECT_EQ(store->count(QStringLiteral("seed")), 1);
    EXPECT_EQ(store->count(QStringLiteral("harvest")), 1);
    EXPECT_EQ(store->count(QStringLiteral("ledger")), 1);
    EXPECT_EQ(store->count(QStringLiteral("task")), 1);
}

TEST_F(AppWindowTest, DeleteQuestionShowsNamesLiterallyAndDefaultsToCancel)
{
    AppModel& model = AppModel::shared();
    int runs = 0;
    model.askDelete(QStringLiteral("<b>x</b>"), QString(), [&runs] { ++runs; });
    settle();
    QMessageBox* box = window->confirmAlert()->box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Delete <b>x</b>?");
    EXPECT_EQ(box->informativeText(), "This can't be undone (a backup made earlier can bring it back).");
    for (QLabel* label : box->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText);

    ASSERT_EQ(box->buttons().size(), 2);
    QAbstractButton* cancel = box->button(QMessageBox::Cancel);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(box->defaultButton(), cancel);
    EXPECT_EQ(box->escapeButton(), cancel);
    QAbstractButton* destroy = box->buttons().at(0) == cancel ? box->buttons().at(1) : box->buttons().at(0);
    EXPECT_EQ(box->buttonRole(destroy), QMessageBox::DestructiveRole);
    EXPECT_EQ(destroy->text(), "Delete");

    // Return answers Cancel: nothing is deleted.
    QTest::keyClick(box, Qt::Key_Return);
    settle();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(model.confirm().has_value());

    // A new request replaces the one shown.
    model.askDelete(QStringLiteral("A"), QString(), [&runs] { runs += 10; });
    settle();
    QPointer<QMessageBox> first = window->confirmAlert()->box();
    model.askDelete(QStringLiteral("B"), QStringLiteral("All its readings go too."), [&runs] { ++runs; });
    settle();
    QMessageBox* second = window->confirmAlert()->box();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first.data());
    EXPECT_EQ(second->informativeText(),
              "All its readings go too.\n\nThis can't be undone (a backup made earlier can bring it back).");
    for (QAbstractButton* b : second->buttons())
        if (second->buttonRole(b) == QMessageBox::DestructiveRole)
            b->click();
    settle();
    EXPECT_EQ(runs, 1);
}

TEST_F(AppWindowTest, NoticeShowsTextAndOKClearsIt)
{
    AppModel& model = AppModel::shared();
    model.setMessage(QStringLiteral("First & <i>second</i>\nline"));
    settle();
    QMessageBox* box = window->noticeAlert()->box();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), "QNMR Orvane");
    EXPECT_EQ(box->text(), "First & <i>second</i>\nline");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);

    model.setMessage(QStringLiteral("Replaced"));
    settle();
    EXPECT_EQ(window->noticeAlert()->box(), box);
    EXPECT_EQ(box->text(), "Replaced");

    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->buttons().at(0)->text(), "OK");
    box->buttons().at(0)->click();
    settle();
    EXPECT_FALSE(model.message().has_value());
    EXPECT_EQ(window->noticeAlert()->box(), nullptr);
}

TEST_F(AppWindowTest, BackUpNowShowsSettingsFirstAndExportAsksForAFolder)
{
    AppModel& model = AppModel::shared();
    std::optional<Screen> screenDuringBackup;
    AppCommands::setBackupHandler([&] { screenDuringBackup = AppModel::shared().screen(); });
    key(Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(screenDuringBackup.has_value());
    EXPECT_EQ(*screenDuringBackup, Screen::settings);
    EXPECT_EQ(window->mainWindow()->screenHost()->screen(), Screen::settings);

    QStringList exported;
    AppCommands::setExportHandler([&](const QString& folder) { exported << folder; });
    QStringList asked;
    std::optional<QString> answer;
    FilePanels::backend().folder = [&](const QString& message) {
        asked << message;
        return answer;
    };
    AppCommands::exportEverything(); // cancelled
    answer = scratch.path();
    AppCommands::exportEverything();
    EXPECT_EQ(asked, QStringList({"Choose a folder for the CSV files", "Choose a folder for the CSV files"}));
    EXPECT_EQ(exported, QStringList({scratch.path()}));
    AppCommands::setBackupHandler({});
    AppCommands::setExportHandler({});
    EXPECT_EQ(model.screen(), Screen::settings);
}

TEST_F(AppWindowTest, NewReadingTakesTheChosenZoneElseTheFirst)
{
    AppModel& model = AppModel::shared();
    Greenhouse house{.name = QStringLiteral("North")};
    store->save(house);
    Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Bench")};
    store->save(zone);

    model.setClimateZoneID(std::nullopt);
    key(Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(model.sheet().has_value());
    ASSERT_NE(model.sheet()->get<Reading>(), nullptr);
    EXPECT_EQ(model.sheet()->get<Reading>()->zoneID, zone.id);
    closeSheet();
    settle();

    model.setClimateZoneID(77);
    key(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(model.sheet().has_value());
    EXPECT_EQ(model.sheet()->id(), "csv");
    EXPECT_EQ(std::get<EditSheet::ImportCSV>(model.sheet()->payload()).zoneID, std::optional<qint64>(77));
    closeSheet();
    model.setClimateZoneID(std::nullopt);
}
