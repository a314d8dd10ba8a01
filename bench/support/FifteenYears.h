#pragma once
// A store filled with fifteen years of a busy grower's records, for benchmarks that
// need realistic volume behind a screen, a report or an export.
//
// What fill() writes (the counts are exact):
//   3 greenhouses, 12 zones (4 each, with alert ranges), 36 beds and benches,
//   2,000 plants of which 600 are active (sown within the last four months),
//   200 photos of about 100 KB (JPEG), 300 seed packets with 1,200 germination tests,
//   300 schedules with 300,000 completions in their history, 3,000 pest and disease
//   records, 20,000 harvests, 20,000 cost entries and 1,000,000 climate readings
//   (about one every 95 minutes per zone).
// Everything lies in the fifteen years up to `now` and is derived from a fixed seed,
// so two stores filled with the same `now` hold the same rows.
//
// Records go through each type's validation and the store's row mapping (prepare(),
// RowMapping) inside one transaction; the readings through the store's bulk
// import. A failure throws the store's OVError and leaves the file without the
// records of that transaction.

#include <QDateTime>
#include <QString>

class OVStore;

namespace FifteenYears {

inline constexpr int greenhouses = 3;
inline constexpr int zonesPerGreenhouse = 4;
inline constexpr int spotsPerZone = 3;
inline constexpr int plants = 2000;
inline constexpr int activePlants = 600;
inline constexpr int photos = 200;
inline constexpr int seeds = 300;
inline constexpr int germTests = 1200;
inline constexpr int schedules = 300;
inline constexpr int completions = 300000;
inline constexpr int pests = 3000;
inline constexpr int harvests = 20000;
inline constexpr int costs = 20000;
inline constexpr int readings = 1000000;

// Writes the whole set into `store`, which should be empty.
void fill(OVStore& store, const QDateTime& now = QDateTime::currentDateTimeUtc());

// The path of a filled store kept in the build folder (next to the benchmark
// programs). It is built on the first call and reused afterwards; it is built anew
// when it is more than a week old, so "recent" records stay recent. Several
// benchmark programs may call this at once: each builds under a private name and
// renames the finished file into place. Benchmarks must not write to it: use
// scratchCopy() for that. Throws OVError when it cannot be built.
QString storePath();

// A copy of the cached store inside `folder` (which must exist), for a benchmark
// that writes. Returns the copy's path; throws OVError::file when copying fails.
QString scratchCopy(const QString& folder);

// One scratch copy per benchmark process, opened and made OVStore::shared() on the
// first call; it lives (and its folder with it) until the process ends.
OVStore& sharedScratchStore();

} // namespace FifteenYears
