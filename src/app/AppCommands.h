#pragma once
// The application's own commands, as the menus run them: the New items that open an
// editor sheet, Back Up Now and Export Everything as CSV, and going to a screen. They
// act on the shared app model and store and keep no state of their own, apart from
// the two handlers the Settings & Backup screen installs.
//
// Back Up Now switches to Settings & Backup first and then runs the backup handler;
// Export Everything asks for a folder and hands it to the export handler (a cancelled
// folder dialog does nothing). Both handlers are the Settings & Backup screen's own
// actions (the backup: save dialog, backup, notice; the export: the CSV files and
// notice), installed at start-up by ScreenFactory::installCommands(). Without them
// (tests that install none) Back Up Now only switches screens and Export Everything
// does nothing.

#include "services/Screen.h"

#include <QString>
#include <functional>

namespace AppCommands {

using BackupHandler = std::function<void()>;
using ExportHandler = std::function<void(const QString& folder)>;

// An empty function removes the handler.
void setBackupHandler(BackupHandler handler);
void setExportHandler(ExportHandler handler);

void newPlant();
// A new reading for the Climate screen's zone, else the first zone, else zone 0.
void newReading();
void importCSV();
void newGreenhouse();
void logHarvest();
void logPest();
void addCost();

void backUpNow();
void exportEverything();

void go(Screen screen);

} // namespace AppCommands
