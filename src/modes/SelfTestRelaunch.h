#pragma once
// Self-check group: records survive a real relaunch. One child process writes one
// record of every type into a scratch database and a second, fresh process reads
// them back; the second must see every table, the exact dates, limits, rule and
// photo, and the same content digest the first reported.

#include "modes/OVTestRun.h"

#include <QString>

namespace OVSelfTest {

// Makes "relaunch.sqlite" in `folder`.
void relaunchTests(OVTestRun& run, const QString& folder);

} // namespace OVSelfTest
