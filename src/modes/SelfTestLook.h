#pragma once
// The self-check group on the look and the help: the theme catalogue and the
// product's two themes (readability by contrast, switching reaches the palette), the
// zoom limits, the size and shape of the built-in Help, and the product and maker
// wording. Needs no store and no files; runs after OVSetup::configure().
// It leaves "qnmr.theme" on the last listed theme and removes "qnmr.zoom"; the run
// puts both keys back at its end.

#include "services/Screen.h"
#include "kit/QNMRHelpTopic.h"
#include "modes/OVTestRun.h"

#include <QList>
#include <QString>

namespace OVSelfTest {

void lookAndHelpTests(OVTestRun& run);

// True when every screen has a topic with the id "screen-" + its raw value (true for
// no screens).
bool everyScreenHasTopic(const QList<Screen>& screens, const QList<QNMRHelpTopic>& topics);

// True when the text names the maker only in full: with every "Quenmoor Softworks"
// taken out, no "Quenmoor" is left.
bool makerNamedInFull(const QString& text);

} // namespace OVSelfTest
