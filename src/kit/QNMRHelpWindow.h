#pragma once
// The help window: 860 x 600, titled "<app> Help", made once and kept (its geometry is
// remembered), hosting the two-pane help viewer. Installs itself as the help opener
// (QNMRHelp::setOpener) when installOpener() runs.

#include <QString>
#include <optional>

namespace QNMRHelpWindow {

// Shows the window on the topic (the first topic when none), raising the one window.
void show(const std::optional<QString>& topic = std::nullopt);
void installOpener();

} // namespace QNMRHelpWindow
