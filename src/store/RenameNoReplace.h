#pragma once
// Renaming a file to a name that must not be taken: the restore's safety copy and
// the export's put-back of an earlier file both need a rename that can never replace
// what appeared under the name meanwhile.

#include <QString>

#include <system_error>

// Renames `from` to `to` unless an entry stands under `to`: EEXIST when one does
// (nothing moved). Uses renameat2 with RENAME_NOREPLACE; where the file system cannot
// rename without replacing, a hard link (which refuses a taken name just as well)
// and the removal of `from` (a kill in between leaves an extra link of the same
// file). Where neither is to be had, operation_not_supported: the caller takes a
// last look and renames plainly.
std::error_code renameNoReplace(const QString& from, const QString& to);
