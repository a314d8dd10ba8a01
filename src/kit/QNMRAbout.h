#pragma once
// The texts of the kit's About box: the version, the lines the application adds under
// it, the maker's credit and the copyright line. The window that shows them is built
// with the interface. Main thread only.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace QNMRAbout {

// Shown under the version; empty until start-up sets them.
const QStringList& extraLines();
void setExtraLines(const QStringList& lines);

// "Version " + the program's version, with " (" + build + ")" when a build is known.
QString version();
// The same rule for given values: a missing or empty short version reads as "1.0".
QString version(const std::optional<QString>& shortVersion, const std::optional<QString>& build);

// "© " + the year of `today` + " Quenmoor Softworks".
QString copyrightLine(const QDate& today = QDate::currentDate());

// "by Quenmoor Softworks (QNMR)", the one credit text of the program (OVInfo::creditLine).
QString creditLine();

} // namespace QNMRAbout
