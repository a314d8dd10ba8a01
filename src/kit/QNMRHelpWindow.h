#pragma once
// The help window: 860 x 600, titled "<app> Help", made on the first open and kept for
// the life of the process (closing only hides it, so it keeps its place and size; its
// geometry is also remembered across runs under "qnmr.helpWindow"). Every open shows a
// fresh viewer on the topic (empty search, nothing clicked) and raises the window.
// The window never keeps the program running once the main window has closed.
// installOpener() makes it the help opener (QNMRHelp::setOpener).

#include <QString>
#include <optional>

class QWidget;

namespace QNMRHelpWindow {

// Shows the window on the topic (the first topic when none), raising the one window.
void show(const std::optional<QString>& topic = std::nullopt);
void installOpener();

// The one window, or nullptr before the first show().
QWidget* window();

} // namespace QNMRHelpWindow
