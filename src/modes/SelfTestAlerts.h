#pragma once
// Self-check group on climate alerts: where a reading lies against a zone's low and
// high limits (on a limit is no alert), which zone's reading counts as current,
// which readings fall into the recent window, what the alert sentence says, and how
// temperatures and humidity show and are typed in °F and °C. The probes are unsaved
// readings; the current and recent checks use their own scratch store.

#include "modes/OVTestRun.h"

#include <QString>

namespace OVSelfTest {

// Makes "alerts.sqlite" in `folder`; leaves "ov.tempUnit" set to "F" (the run puts
// the user's own value back).
void alertTests(OVTestRun& run, const QString& folder);

} // namespace OVSelfTest
