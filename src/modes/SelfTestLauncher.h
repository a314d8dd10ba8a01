#pragma once
// Runs the program's own executable as a child process for the relaunch checks and
// collects what it printed. The child's standard error is discarded, its standard
// input and environment are inherited, and a child that outlives the time limit is
// killed so a hung child can never hang the run.

#include <QString>
#include <QStringList>

namespace OVSelfTest {

struct ChildResult {
    int exitCode = 0;
    QString output; // standard output as UTF-8; empty when it was not valid UTF-8
};

// Exit codes the launcher reports itself, when no child result exists.
inline constexpr int childCrashed = 96;     // ended by a signal
inline constexpr int childTimedOut = 97;    // killed after the time limit
inline constexpr int childNotStarted = 98;  // the process could not be started
inline constexpr int childNoExecutable = 99; // the program's own path is unknown

// Runs `program` (the running executable when empty) with `arguments`.
ChildResult runChild(const QStringList& arguments, const QString& program = QString(),
                     int timeLimitMs = 120000);

} // namespace OVSelfTest
