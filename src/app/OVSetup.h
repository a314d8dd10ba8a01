#pragma once
// Hands the shared kit what is particular to this product: Redwood Grove as the
// default theme, the application name, the help topics, the two extra themes and the
// About box's lines. Runs before the first kit window, view or menu is drawn (normal
// start, self-check and snapshot mode alike); running it again sets the same values
// and registers no theme twice. Main thread only.

#include <QStringList>

namespace OVSetup {

void configure();

// The two lines the About box shows under the version.
QStringList aboutLines();

} // namespace OVSetup
