#pragma once
// Turns the records of the store into spreadsheet-ready CSV, one table per kind of
// record, and writes all eight tables as files into one folder. The texts are for
// people: ids become names, enums their display names, days "yyyy-mm-dd", lists one
// cell. The program never reads an export back.
//
// Invariants:
// - Every line goes through OVCSV's escaping and ends with CR LF; files are UTF-8
//   without a byte-order mark.
// - Numbers are C-style ("%.2f" and the like): a point as decimal mark, no grouping,
//   whatever the locale; values that are not finite or beyond the 64-bit range are
//   printed as they are, never converted to integers.
// - Every reading is exported, with no cap per zone. everything() streams them row
//   by row from the store to the file, so its memory does not grow with their number.
// - A file is replaced whole or not at all (written to a temporary file in the same
//   folder and renamed over it); a failure never leaves a truncated file behind.

#include <QString>
#include <QStringList>

class OVStore;

namespace Exporter {

// The table texts. A failing query gives an empty table, except for the readings:
// their table throws OVError::database when the readings cannot all be read, as
// everything() does, rather than pass a shortened table off as complete.
QString greenhouses(const OVStore& store);
QString plants(const OVStore& store);
QString seeds(const OVStore& store);
QString readings(const OVStore& store);
QString tasks(const OVStore& store);
QString pests(const OVStore& store);
QString harvests(const OVStore& store);
QString ledger(const OVStore& store);

// The eight file names, in the order everything() writes them.
const QStringList& fileNames();

// Creates `folder` with any missing parents (an existing folder is fine), then
// writes the eight files into it in fileNames() order and returns their paths in
// that order. Throws OVError::file with the system's reason for the first failure:
// files written before it stay, later ones are not written.
QStringList everything(const OVStore& store, const QString& folder);

} // namespace Exporter
