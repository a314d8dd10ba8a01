#include "app/AppCommands.h"

#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "store/OVStore.h"

namespace AppCommands {
namespace {

BackupHandler& backupHandler()
{
    static BackupHandler handler;
    return handler;
}

ExportHandler& exportHandler()
{
    static ExportHandler handler;
    return handler;
}

} // namespace

void setBackupHandler(BackupHandler handler)
{
    backupHandler() = std::move(handler);
}

void setExportHandler(ExportHandler handler)
{
    exportHandler() = std::move(handler);
}

void newPlant()
{
    AppModel::shared().setSheet(EditSheet(Plant{}));
}

void newReading()
{
    AppModel& model = AppModel::shared();
    Reading reading;
    if (model.climateZoneID()) {
        reading.zoneID = *model.climateZoneID();
    } else if (OVStore* store = OVStore::shared()) {
        const QList<Zone> zones = store->zones();
        reading.zoneID = zones.isEmpty() ? 0 : zones.first().id;
    }
    model.setSheet(EditSheet(reading));
}

void importCSV()
{
    AppModel::shared().setSheet(EditSheet::importCSV(AppModel::shared().climateZoneID()));
}

void newGreenhouse()
{
    AppModel::shared().setSheet(EditSheet(Greenhouse{}));
}

void logHarvest()
{
    AppModel::shared().setSheet(EditSheet(Harvest{}));
}

void logPest()
{
    AppModel::shared().setSheet(EditSheet(PestRecord{}));
}

void addCost()
{
    AppModel::shared().setSheet(EditSheet(LedgerEntry{}));
}

void backUpNow()
{
    AppModel::shared().setScreen(Screen::settings);
    if (const BackupHandler& handler = backupHandler())
        handler();
}

void exportEverything()
{
    const ExportHandler& handler = exportHandler();
    if (!handler)
        return;
    const std::optional<QString> folder = FilePanels::folder(QStringLiteral("Choose a folder for the CSV files"));
    if (folder)
        handler(*folder);
}

void go(Screen screen)
{
    AppModel::shared().setScreen(screen);
}

} // namespace AppCommands
