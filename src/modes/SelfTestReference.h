#pragma once
// Self-check group: the bundled reference data (crops, sources, videos) loads
// cleanly, holds the expected counts, traces every figure to a source, carries the
// published values of a few sample crops, and the library's lookups answer as the
// screens expect. Reads only; opens no store and writes no file.

#include "modes/OVTestRun.h"

class ReferenceLibrary;

namespace OVSelfTest {

// Checks ReferenceLibrary::shared().
void referenceTests(OVTestRun& run);
// The same checks on a given library.
void referenceTests(OVTestRun& run, const ReferenceLibrary& library);

} // namespace OVSelfTest
