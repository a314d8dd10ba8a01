#pragma once
// The menu bar of the main window, in this order: File (the New items, Back Up Now
// and Export Everything as CSV, Quit), View (zoom), Go (the nine screens on Ctrl+1 to
// Ctrl+9, a separator, the other five), Theme and Help; the kit fills View, Theme
// and Help. Every shortcut is application-wide, so it also works from the help
// window; a sheet's modality still blocks it. "&" in a title shows as itself.

#include <QString>

class QMenuBar;
class QWidget;

namespace AppMenus {

// Fills `bar`; Quit closes `window`.
void build(QMenuBar* bar, QWidget* window);

} // namespace AppMenus
