#pragma once
// Self-check group on the CSV codec and the climate CSV import: quoting and the
// formula guard, a logger file mixing good and bad rows (units in headings, zone
// names in any capitals, missing-value markers, four date spellings), the problem
// list with its line numbers, the file-level explanations, and the store's bulk
// import adding each good row once and skipping all of them on a second import.

#include "modes/OVTestRun.h"

#include <QString>

namespace OVSelfTest {

// Makes "csv.sqlite" in `folder` and leaves the six imported readings in it.
void csvTests(OVTestRun& run, const QString& folder);

} // namespace OVSelfTest
