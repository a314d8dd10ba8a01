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
#include <system_error>

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
// it (see below), then
// writes the eight files into it and returns their paths in fileNames() order. The
// files are written complete to temporary files beside their targets first and put
// in place together at the end, so the folder holds either the files it held before
// or all eight new ones. Whatever ends the export early leaves the folder as it was
// (and removes it when this run made it): a file that cannot be written
// (OVError::file with the system's reason, naming the target), a failed read
// (OVError::database with the reason: a table, or a look-up for one of its cells),
// and, with a job, a cancel request (JobCancelled, honoured between rows). With a
// job, its stage and steps (one per reading) are kept up to date.
// A killed export leaves hidden files beside the eight, all with one random token
// per run: temporary copies ".<name>.orvane-export-<token>.tmp" and second names of
// earlier files ".<name>.orvane-export-<token>.previous". Only one export runs at a
// time and the program once per user, so each is stale. They are settled first, in
// one pass, run by run:
// - A run with no temporary copy left had put all eight files in place: it has
//   finished, and its second names (earlier files the new set replaced) go.
// - A run with a temporary copy left was cut while it wrote or placed its files: it
//   is taken back. Each second name that is not the same file as its name goes back
//   under that name (OVError::file naming the file when a put-back fails, with
//   nothing removed and nothing written), so the folder holds the whole earlier set
//   again, except where the file under the name was changed after the run (modified
//   more than two seconds after the run's newest leftover, the two seconds allowing
//   for file systems that keep coarse times): a person's edit stays, and the second
//   name goes. Where several cut runs left a second name of one file, the earliest
//   run's goes back (it holds what stood there before any of them) and the others go.
// - Then every other second name and, last, the temporaries go.
// Nothing else is touched: neither a person's own hidden files nor leftovers named
// otherwise (those of earlier versions included). In the other folders named as
// folderName() names them (for a real date), the same is done, except that a failed
// put-back leaves that folder as it is and the export goes on.
QStringList everything(const OVStore& store, const QString& folder, JobState* job = nullptr);

// The calls that give an earlier file its second name, put finished files in place
// and remove the hidden names, returning the system's error. Tests replace them to
// make a call fail part way, to stand for a file system without hard links (FAT,
// exFAT), or to kill a run at a given step.
extern std::function<std::error_code(const QString& from, const QString& to)> renameFile;
extern std::function<std::error_code(const QString& existing, const QString& newName)> linkFile;
extern std::function<std::error_code(const QString& path)> removeFile;

// Hands the CSV text of the table named fileNames()[table] to `sink` in pieces of
// UTF-8 (the readings streamed, a line at a time into pieces of about 64 KiB), the
// same bytes as the table's text function gives. Returns false as soon as `sink`
// does. Throws OVError::database when any read of the table fails (before or after
// pieces were handed out: the owner of `sink` discards them), and, with a job,
// JobCancelled between rows once a cancel is requested.
bool writeTable(const OVStore& store, qsizetype table, const std::function<bool(const QByteArray&)>& sink,
                JobState* job = nullptr);

} // namespace Exporter
