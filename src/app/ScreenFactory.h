#pragma once
// Builds the widget the screen host shows for each screen, and the editor the editor
// host shows for each sheet. Screens take the shared store and app model themselves;
// editors are handed the shared store. Without an open store, a screen or editor that
// needs one gets a placeholder instead: the page header with an empty state, or an
// editor frame whose buttons close the sheet.

#include "services/EditSheet.h"
#include "services/Screen.h"

class QWidget;

namespace ScreenFactory {

QWidget* makeScreen(Screen screen, QWidget* parent = nullptr);
QWidget* makeEditor(const EditSheet& sheet, QWidget* parent = nullptr);

// Hands the application's commands the actions that screens own (Back Up Now and
// Export Everything as CSV run the Settings & Backup screen's actions). Called once
// at start-up, before the menus can be used.
void installCommands();

QWidget* placeholderScreen(Screen screen, QWidget* parent = nullptr);
QWidget* placeholderEditor(const EditSheet& sheet, QWidget* parent = nullptr);

} // namespace ScreenFactory
