#pragma once
// The self-check group on schedules and reminders: the occurrence walk across
// daylight-saving changes, short months, leap years and year ends, next-due and
// overdue answers, stored repeat rules, and the reminder planner's limits. Every
// date is a wall time in America/Denver; every task is built in memory, so the
// group opens no store, writes no file and posts nothing.

#include "modes/OVTestRun.h"

namespace OVSelfTest {

void recurrenceTests(OVTestRun& run);

} // namespace OVSelfTest
