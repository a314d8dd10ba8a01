#pragma once
// The About window: fixed 440 x 380 (times the interface zoom), titled "About <app>",
// made once; showing it again retitles the same window, rebuilds its content (name,
// version, lines, theme) and raises it. It never keeps the program running once the
// main window has closed.

class QWidget;

namespace QNMRAboutWindow {

void show();

// The one window, or nullptr before the first show().
QWidget* window();
// The window's content: icon, name, version, the application's lines, the maker's
// credit and link, the copyright line.
QWidget* makeView();

} // namespace QNMRAboutWindow
