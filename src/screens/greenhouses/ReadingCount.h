#pragma once
// Real counts of stored climate readings for the delete questions of the
// Greenhouses screen. Each is one COUNT query over the reading table's zone index,
// so a zone with a million readings is counted exactly and without loading a row
// (the list queries stop at their row cap). A failed count gives 0.

#include <QtGlobal>

class OVStore;

namespace ReadingCount {

qint64 ofZone(OVStore& store, qint64 zoneID);
// Every reading of every zone of the greenhouse.
qint64 ofGreenhouse(OVStore& store, qint64 greenhouseID);

} // namespace ReadingCount
