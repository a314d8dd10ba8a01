#include "app/AppMenus.h"

#include "app/AppCommands.h"
#include "app/OVSetup.h"
#include "kit/KitText.h"
#include "kit/QNMRKitMenus.h"
#include "screens/settings/SettingsView.h"
#include "services/BackgroundJobs.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <functional>

namespace AppMenus {
namespace {

QAction* addItem(QMenu* menu, const QString& title, const QKeySequence& keys, std::function<void()> run)
{
    QAction* action = menu->addAction(KitText::literal(title));
    if (!keys.isEmpty()) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    QObject::connect(action, &QAction::triggered, menu, [run = std::move(run)] { run(); });
    return action;
}

} // namespace

void build(QMenuBar* bar, QWidget* window)
{
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    addItem(file, QStringLiteral("New Plant…"), QKeySequence(QStringLiteral("Ctrl+N")), AppCommands::newPlant);
    addItem(file, QStringLiteral("New Climate Reading…"), QKeySequence(QStringLiteral("Ctrl+Shift+R")),
            AppCommands::newReading);
    QAction* importItem = addItem(file, QStringLiteral("Import Climate CSV…"),
                                  QKeySequence(QStringLiteral("Ctrl+Shift+I")), AppCommands::importCSV);
    file->addSeparator();
    addItem(file, QStringLiteral("New Greenhouse…"), {}, AppCommands::newGreenhouse);
    addItem(file, QStringLiteral("Log a Harvest…"), {}, AppCommands::logHarvest);
    addItem(file, QStringLiteral("Log a Pest or Disease…"), {}, AppCommands::logPest);
    addItem(file, QStringLiteral("Add a Cost…"), {}, AppCommands::addCost);
    file->addSeparator();
    QAction* backupItem = addItem(file, QStringLiteral("Back Up Now…"), QKeySequence(QStringLiteral("Ctrl+Shift+B")),
                                  AppCommands::backUpNow);
    QAction* exportItem = addItem(file, QStringLiteral("Export Everything as CSV…"), {}, AppCommands::exportEverything);
    // While a job runs, the items that would conflict with it wait: a second backup,
    // a second full export, and anything that reads or writes the records during a
    // restore.
    const auto guard = [backupItem, exportItem, importItem] {
        const BackgroundJobs& jobs = BackgroundJobs::shared();
        const bool restoring = jobs.runs(QStringLiteral("restore"));
        backupItem->setEnabled(!restoring && !jobs.runs(QStringLiteral("backup")));
        exportItem->setEnabled(!restoring && !SettingsView::exportAllRunning());
        importItem->setEnabled(!restoring);
    };
    QObject::connect(&BackgroundJobs::shared(), &BackgroundJobs::changed, file, guard);
    guard();
    file->addSeparator();
    QAction* quit = addItem(file, QStringLiteral("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")), [window] {
        if (window)
            window->close();
    });
    quit->setMenuRole(QAction::QuitRole);

    QNMRKitMenus::populateViewMenu(bar->addMenu(QStringLiteral("View")));

    QMenu* go = bar->addMenu(QStringLiteral("Go"));
    const QList<Screen>& numbered = OVSetup::goMenu();
    for (qsizetype i = 0; i < numbered.size(); ++i) {
        const Screen screen = numbered.at(i);
        addItem(go, screen.title(), QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1)),
                [screen] { AppCommands::go(screen); });
    }
    go->addSeparator();
    for (const Screen screen : Screen::allCases()) {
        if (!numbered.contains(screen))
            addItem(go, screen.title(), {}, [screen] { AppCommands::go(screen); });
    }

    QNMRKitMenus::populateThemeMenu(bar->addMenu(QStringLiteral("Theme")));
    QNMRKitMenus::populateHelpMenu(bar->addMenu(QStringLiteral("Help")));
}

} // namespace AppMenus
