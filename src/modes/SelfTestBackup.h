#pragma once

#include "modes/OVTestRun.h"

#include <QString>

namespace OVSelfTest {

// Backup, inspection and restore on a scratch store filled with the sample
// greenhouse, in the folder "backup-test" inside `folder`; bad files are refused
// without changing anything.
void backupTests(OVTestRun& run, const QString& folder);

} // namespace OVSelfTest
