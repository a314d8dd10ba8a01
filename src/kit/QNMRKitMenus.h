#pragma once
// Fills the kit's menus: View (zoom commands and "Zoom Level"), Theme (one checkable
// item per theme) and Help (the help window on F1, the topics, the maker's website,
// "About <app>" last). The application's menu bar creates the menus in its order and
// hands them here. Shortcuts are application-wide.

class QMenu;

namespace QNMRKitMenus {

void populateViewMenu(QMenu* menu);
void populateThemeMenu(QMenu* menu);
void populateHelpMenu(QMenu* menu);

} // namespace QNMRKitMenus
