#include "app/ScreenFactory.h"

#include "app/AppCommands.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVEmpty.h"
#include "kit/OVPage.h"
#include "services/AppModel.h"

#include <QVBoxLayout>

// The screens and editors, by screen folder.
// greenhouses
#include "screens/greenhouses/GreenhouseEditor.h"
#include "screens/greenhouses/GreenhousesView.h"
#include "screens/greenhouses/SpotEditor.h"
#include "screens/greenhouses/ZoneEditor.h"
// climate
#include "screens/climate/CSVImportSheet.h"
#include "screens/climate/ClimateView.h"
#include "screens/climate/ReadingEditor.h"
// plants
#include "screens/plants/GermTestEditor.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantsView.h"
#include "screens/plants/SeedEditor.h"
#include "screens/plants/SeedsView.h"
// records
#include "screens/records/HarvestEditor.h"
#include "screens/records/HarvestsView.h"
#include "screens/records/LedgerEditor.h"
#include "screens/records/PestEditor.h"
#include "screens/records/PestsView.h"
#include "screens/records/SuppliesView.h"
// schedules
#include "screens/schedules/TaskEditor.h"
#include "screens/schedules/TasksView.h"
// today
#include "screens/today/TodayView.h"
// settings
#include "screens/settings/ReportsView.h"
#include "screens/settings/SettingsView.h"
// library
#include "screens/library/LibraryView.h"
#include "screens/library/VideosView.h"
#include "store/OVStore.h"

namespace ScreenFactory {

QWidget* makeScreen(Screen screen, QWidget* parent)
{
    switch (screen) {
    case Screen::today:
        return OVStore::shared() ? new TodayView(parent) : placeholderScreen(screen, parent);

    case Screen::greenhouses:
        return OVStore::shared() ? new GreenhousesView(parent) : placeholderScreen(screen, parent);

    case Screen::plants:
        return OVStore::shared() ? new PlantsView(parent) : placeholderScreen(screen, parent);

    case Screen::seeds:
        return OVStore::shared() ? new SeedsView(parent) : placeholderScreen(screen, parent);

    case Screen::harvests:
        return OVStore::shared() ? new HarvestsView(parent) : placeholderScreen(screen, parent);

    case Screen::climate:
        return OVStore::shared() ? new ClimateView(parent) : placeholderScreen(screen, parent);

    case Screen::schedules:
        return OVStore::shared() ? new TasksView(TasksView::scheduleKinds(), screen, parent)
                                 : placeholderScreen(screen, parent);

    case Screen::maintenance:
        return OVStore::shared() ? new TasksView(TasksView::maintenanceKinds(), screen, parent)
                                 : placeholderScreen(screen, parent);

    case Screen::pests:
        return OVStore::shared() ? new PestsView(parent) : placeholderScreen(screen, parent);

    case Screen::supplies:
        return OVStore::shared() ? new SuppliesView(parent) : placeholderScreen(screen, parent);

    case Screen::reports:
        return OVStore::shared() ? new ReportsView(parent) : placeholderScreen(screen, parent);

    case Screen::library:
        return new LibraryView(parent);

    case Screen::videos:
        return new VideosView(parent);

    case Screen::settings:
        return OVStore::shared() ? new SettingsView(parent) : placeholderScreen(screen, parent);
    }
    return placeholderScreen(screen, parent);
}

QWidget* makeEditor(const EditSheet& sheet, QWidget* parent)
{
    switch (sheet.kind()) {
    case EditSheet::Kind::greenhouse:
        return OVStore::shared() ? new GreenhouseEditor(*sheet.get<Greenhouse>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::zone:
        return OVStore::shared() ? new ZoneEditor(*sheet.get<Zone>(), *OVStore::shared(), parent) : placeholderEditor(sheet, parent);

    case EditSheet::Kind::spot:
        return OVStore::shared() ? new SpotEditor(*sheet.get<Spot>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::plant:
        return OVStore::shared() ? new PlantEditor(*sheet.get<Plant>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::seed:
        return OVStore::shared() ? new SeedEditor(*sheet.get<Seed>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::germ:
        return OVStore::shared() ? new GermTestEditor(*sheet.get<GermTest>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::reading:
        return OVStore::shared() ? new ReadingEditor(*sheet.get<Reading>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::task:
        return OVStore::shared() ? new TaskEditor(*sheet.get<OVTask>(), *OVStore::shared(), parent)
                                 : placeholderEditor(sheet, parent);

    case EditSheet::Kind::pest:
        return OVStore::shared() ? new PestEditor(*sheet.get<PestRecord>(), *OVStore::shared(), parent) : placeholderEditor(sheet, parent);

    case EditSheet::Kind::harvest:
        return OVStore::shared() ? new HarvestEditor(*sheet.get<Harvest>(), *OVStore::shared(), parent) : placeholderEditor(sheet, parent);

    case EditSheet::Kind::ledger:
        return OVStore::shared() ? new LedgerEditor(*sheet.get<LedgerEntry>(), *OVStore::shared(), parent) : placeholderEditor(sheet, parent);

    case EditSheet::Kind::importCSV:
        return OVStore::shared()
                   ? new CSVImportSheet(sheet.get<EditSheet::ImportCSV>()->zoneID, *OVStore::shared(), parent)
                   : placeholderEditor(sheet, parent);
    }
    return placeholderEditor(sheet, parent);
}

void installCommands()
{
    AppCommands::setBackupHandler(&SettingsView::backupNow);
    AppCommands::setExportHandler(&SettingsView::exportAll);
}

QWidget* placeholderScreen(Screen screen, QWidget* parent)
{
    auto* page = new OVPage(screen, QString(), parent);
    page->content()->addWidget(new OVEmpty(screen.symbol(), screen.title(),
                                           QStringLiteral("This screen is on its way.")));
    return page;
}

QWidget* placeholderEditor(const EditSheet& sheet, QWidget* parent)
{
    auto* frame = new OVEditorFrame(sheet.id(), QStringLiteral("square.and.pencil"), 620, parent);
    QObject::connect(frame, &OVEditorFrame::cancelRequested, frame, [] { closeSheet(); });
    QObject::connect(frame, &OVEditorFrame::saveRequested, frame, [] { closeSheet(); });
    return frame;
}

} // namespace ScreenFactory
