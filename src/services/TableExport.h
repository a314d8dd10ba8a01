#pragma once
// A screen's one-table "Export CSV": asks where to save first, then writes the table
// on a background job through a connection of its own, straight into a QSaveFile, so
// a screen of a million readings never builds its CSV in memory on the main thread.
//
// Invariants: the bytes are those of the table's text function; the chosen file is
// replaced whole or not at all (a failure or a cancel leaves what stood there); a
// failed write says "The file could not be saved: " + the reason, as every export
// does; a read of the table that failed says "The export could not be written: " +
// the reason; a cancelled dialog or a cancelled job says nothing.

#include <QString>

class BackgroundJob;
class OVStore;

namespace TableExport {

// The job's name while it runs.
extern const QString jobName;

// Asks for the place of the table named Exporter::fileNames()[table] and starts its
// job; nothing (no job) when the dialog is cancelled or a restore is running.
BackgroundJob* start(const OVStore& store, qsizetype table);

} // namespace TableExport
