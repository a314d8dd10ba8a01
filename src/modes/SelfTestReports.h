#pragma once

#include "modes/OVTestRun.h"

#include <QString>

namespace OVSelfTest {

// Yield and cost reports on known in-memory records, their CSV and their PDF.
void reportTests(OVTestRun& run, const QString& folder);

} // namespace OVSelfTest
