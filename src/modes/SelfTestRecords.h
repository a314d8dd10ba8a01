#pragma once
// Self-check group: create, edit, reload and delete records of every type on a
// scratch store, with at least one save per type that validation must refuse, and
// the deletions' effect on linked records. Every record it makes is deleted again,
// so a clean run leaves all thirteen tables empty.

#include "modes/OVTestRun.h"

#include <QString>

namespace OVSelfTest {

// Makes "records.sqlite" in `folder` and leaves that store as OVStore::shared().
void recordTests(OVTestRun& run, const QString& folder);

} // namespace OVSelfTest
