#pragma once
// The built-in self-check (`orvane --selftest`) and its child-process modes.
// A run prepares a quiet environment (scratch folder, fixed preferences), calls the
// check groups in a fixed order, prints one line per check and restores the
// preferences it touched. A failing check is a FAIL line, never an abort.

#include "modes/OVTestRun.h"

#include <QString>
#include <QStringList>
#include <QDateTime>
#include <cstdint>
#include <functional>
#include <optional>

namespace OVSelfTest {

// The whole self-check; 0 when every check held, else 1.
int run();

// Prints the summary line; 1 when any check failed, else 0.
int finish(const OVTestRun& run);

// Whether `found` lies within `tolerance` of `expected` (false for nothing or NaN).
bool near(std::optional<double> found, double expected, double tolerance = 0.000001);

// The header line of a run started at `nowUtc` with the raw OV_SELFTEST_MUTATE text.
QString headerLine(const QDateTime& nowUtc, const QString& mutateRaw);

} // namespace OVSelfTest
