#pragma once
// The two child modes of the self-check's relaunch checks. Each opens the store at
// the path after its flag, does its one job, prints "|"-separated lines on standard
// output and returns the process's exit code:
//   --ov-child-write PATH  writes one record of every type, then "DIGEST|<digest>"
//   --ov-child-read PATH   "COUNT|<table>|<rows>" for all 13 tables, one PLANT, ZONE,
//                          TASK and PHOTO line when such a record exists, then DIGEST
// Exit codes: 0 done; 3 the store could not be opened or created (nothing printed);
// 4 writing failed part-way ("ERROR|<error>" printed, the rows already written stay).

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

namespace OVSelfTest {

// Runs the child mode the arguments (program path first) name and returns its exit
// code; nothing when they name none.
std::optional<int> handleChild(const QStringList& arguments);

int childWrite(const QString& path);
int childRead(const QString& path);

// The fixture: one record of each of the thirteen types, each through the store's
// own save, import or completion. The first failure is thrown; what was written
// before it stays.
void writeEverything(OVStore& store);

} // namespace OVSelfTest
