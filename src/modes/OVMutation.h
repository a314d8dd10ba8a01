#pragma once
// Fault-switch names taken from OV_SELFTEST_MUTATE for one self-check run. The run
// is the only writer; the names only show in the run's header.

#include <QSet>
#include <QString>

namespace OVMutation {

QSet<QString>& active();
bool on(const QString& name);

// Splits the raw variable text: pieces between commas, empty pieces dropped, each
// trimmed of blanks and tabs (a piece of blanks becomes the empty name).
QSet<QString> parse(const QString& raw);

} // namespace OVMutation
