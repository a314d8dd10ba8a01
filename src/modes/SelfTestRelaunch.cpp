#include "modes/SelfTestRelaunch.h"

#include "modes/SelfTestLauncher.h"
#include "store/OVStore.h"

#include <QDir>
#include <QSet>

namespace {

QStringList nonEmptyLines(const QString& output)
{
    return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The first "DIGEST|" line of a child's output; null when there is none.
QString digestLine(const QString& output)
{
    for (const QString& line : nonEmptyLines(output)) {
        if (line.startsWith(QLatin1String("DIGEST|")))
            return line;
    }
    return QString();
}

} // namespace

namespace OVSelfTest {

void relaunchTests(OVTestRun& run, const QString& folder)
{
    run.begin(QStringLiteral("Records survive a real relaunch (separate app processes)"));
    const QString path = QDir(folder).filePath(QStringLiteral("relaunch.sqlite"));

    const ChildResult writer = runChild({QStringLiteral("--ov-child-write"), path});
    run.check(writer.exitCode == 0, QStringLiteral("process 1 wrote one of every record (exit ") +
                                        QString::number(writer.exitCode) + QStringLiteral(")"));
    const ChildResult reader = runChild({QStringLiteral("--ov-child-read"), path});
    run.check(reader.exitCode == 0, QStringLiteral("process 2 opened the same database (exit ") +
                                        QString::number(reader.exitCode) + QStringLiteral(")"));

    const QStringList readLines = nonEmptyLines(reader.output);
    const QSet<QString> lines(readLines.cbegin(), readLines.cend());

    bool everyTable = true;
    for (const QString& table : OVStore::tables)
        everyTable = everyTable && lines.contains(QStringLiteral("COUNT|") + table + QStringLiteral("|1"));
    run.check(everyTable, QStringLiteral("every record type is there after relaunch (13 tables, 1 each)"));

    run.check(lines.contains(QStringLiteral("PLANT|Pepper|Carmen|2026-02-01|2026-03-20|2026-05-29|growing|"
                                            "Relaunch House · Bench Zone · Bench B1")),
              QStringLiteral("plant dates, status and location intact"));
    run.check(lines.contains(QStringLiteral("ZONE|Bench Zone|50.0|90.0|85.0")),
              QStringLiteral("zone alert ranges intact"));
    run.check(lines.contains(QStringLiteral("TASK|Water bench|weeks:1:2,5|true")),
              QStringLiteral("task repeat rule and last-done intact"));

    bool photo = false;
    for (const QString& line : readLines)
        photo = photo || (line.startsWith(QLatin1String("PHOTO|")) && line.endsWith(QLatin1String("|true")));
    run.check(photo, QStringLiteral("photo intact and still an image"));

    const QString written = digestLine(writer.output);
    const QString read = digestLine(reader.output);
    run.check(!written.isNull() && !read.isNull() && written == read,
              QStringLiteral("byte-for-byte the same records after relaunch (fingerprint matches)"));
}

} // namespace OVSelfTest
