#pragma once
// Fills the kit's menus: View (zoom commands and "Zoom Level"), Theme (one checkable
// item per theme) and Help (the help window on F1, the topics, the maker's website,
// "About <app>" last). The application's menu bar creates the menus in its order and
// hands them here. Shortcuts are application-wide, so they work from the help window.
//
// The zoom items only write the factor (QNZoom::setValue) and announce it
// (KitEvents::zoomChanged); they are never disabled or checked. The Theme menu writes
// "qnmr.theme" only when the user picks an item; its check mark follows the stored id
// (none when the stored id names no theme). Titles built from data show "&" literally.

#include <QString>

class QMenu;

namespace QNMRKitMenus {

void populateViewMenu(QMenu* menu);
void populateThemeMenu(QMenu* menu);
void populateHelpMenu(QMenu* menu);

} // namespace QNMRKitMenus
