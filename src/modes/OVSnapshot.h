#pragma once
// The documentation-screenshot mode: `--ov-snapshot DIR` builds the sample greenhouse
// in DIR/snapshot-sample.sqlite, renders every screen as the window shows it (side
// rail, divider and screen, 1380 wide and as tall as the whole page; some again in
// other themes, one in Celsius, one offline), three editors and the help viewer to PNG
// files, writes the cost report as a PDF, prints one line per file and returns the
// exit code.
//
// Invariants: the user's database is never opened; the three look settings
// ("qnmr.theme", "ov.tempUnit", "qnmr.zoom") and the settings file's bytes are put back
// on every way out; a file that could not be rendered or written is reported and makes
// the exit code 1 without stopping the run. Renders have no zoom host and draw at 1.0.
// Main thread only, with a QApplication running.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "services/Screen.h"

namespace OVSnapshot {

// One screen shot: file name without ".png", screen, theme id, unit, network state.
struct Shot {
    QString name;
    Screen screen;
    QString theme;
    QString unit;
    bool online;
};
const QList<Shot>& shots();

// Nothing when "--ov-snapshot" is absent or last; otherwise runs the mode into the
// folder after it and returns the exit code.
std::optional<int> handle(const QStringList& arguments);

// Runs the mode into the folder; each output line goes to `print` (standard output by
// default). 0 when every file was made, else 1.
using Printer = std::function<void(const QString& line)>;
int run(const QString& folder, const Printer& print = {});

// Writes the settings file's old bytes back over it at the end of a run; false when
// it could not. The look settings are put back through the settings before it, so
// they hold even then. Tests replace it to make that write fail.
extern std::function<bool(const QString& path, const QByteArray& bytes)> rewriteFile;

} // namespace OVSnapshot
