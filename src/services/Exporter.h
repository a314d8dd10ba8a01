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
//   folder and renamed over it); a failure never leaves a truncated file behind, and
//   a failed full export never leaves a mix of earlier and new files.
// - Every read an export makes is checked: the store reads a failed query as
//   "nothing", so everything() and writeTable() watch their reads and fail with the
//   read's reason rather than write a table with rows or cells left out.

#include <QString>
#include <QStringList>

#include <functional>

class JobState;
struct OVDay;
class OVStore;

namespace Exporter {

// The table texts. A failing query gives an empty table, except for the readings:
// their table throws OVError::database when any of its reads fails, as
// everything() and writeTable() do for every table, rather than pass a shortened
// table off as complete.
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

// The name of the folder that Export Everything makes for the day `day` inside the
// folder the user picks.
QString folderName(const OVDay& day);

// Creates `folder` with any missing parents (an existing folder is fine), tidies what
// an export killed part way left there and in the other dated export folders beside
// it (see ExportFolder.h), then writes the eight files into it and returns their
// paths in fileNames() order. The files are written complete to temporary files
// beside their targets first and put in place together at the end, so the folder
// holds either the files it held before or all eight new ones. Whatever ends the
// export early leaves the folder as it was (and removes it when this run made it): a
// file that cannot be written (OVError::file with the system's reason, naming the
// target), a failed read (OVError::database with the reason: a table, or a look-up
// for one of its cells), leftovers of a cut run in the folder that cannot be settled
// (OVError::file naming the file), and, with a job, a cancel request (JobCancelled,
// honoured between rows). With a job, its stage and steps (one per reading) are kept
// up to date.
// One export at a time writes into the folder's parent: an export that finds
// another one's lock on it fails at once with OVError::invalid and touches nothing.
// Where the file system takes no such lock, the export goes on without it.
QStringList everything(const OVStore& store, const QString& folder, JobState* job = nullptr);

// Hands the CSV text of the table named fileNames()[table] to `sink` in pieces of
// UTF-8 (the readings streamed, a line at a time into pieces of about 64 KiB), the
// same bytes as the table's text function gives. Returns false as soon as `sink`
// does. Throws OVError::database when any read of the table fails (before or after
// pieces were handed out: the owner of `sink` discards them), and, with a job,
// JobCancelled between rows once a cancel is requested.
bool writeTable(const OVStore& store, qsizetype table, const std::function<bool(const QByteArray&)>& sink,
                JobState* job = nullptr);

} // namespace Exporter
