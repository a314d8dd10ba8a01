#include "services/ExportFolder.h"

#include "services/Exporter.h"
#include "services/JobState.h"
#include "store/OVStore.h"

#include "ExportFixture.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <utility>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Export Everything's folder transaction, seen through the exporter: runs that fail,
// are killed at any step, or meet what a person or another run left in the folder.

namespace {

using Fixture = ExportFixture;

const QByteArray crlf("\r\n");

} // namespace

// A file that cannot be put in place takes back the ones renamed before it: the
// earlier files are there again, byte for byte, and nothing of the run is left.
TEST(ExportFolderPlacing, AFileThatCannotBePutInPlaceLeavesTheEarlierFiles)
{
    Fixture f;
    const QString folder = f.dir.file(QStringLiteral("export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString greenhouses = QDir(folder).filePath(QStringLiteral("Greenhouses and zones.csv"));
    ASSERT_TRUE(testsupport::writeAll(greenhouses, "earlier greenhouses\r\n"));
    // A folder where the third file should go: its rename cannot succeed.
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Seeds.csv")));
    try {
        Exporter::everything(f.store, folder);
        ADD_FAILURE() << "expected a file error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::file);
        EXPECT_TRUE(e.payload().startsWith(QDir::toNativeSeparators(folder + QStringLiteral("/Seeds.csv: "))))
            << e.what();
    }
    EXPECT_EQ(testsupport::readAll(greenhouses), QByteArray("earlier greenhouses\r\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("Greenhouses and zones.csv"), QStringLiteral("Seeds.csv")}));
}

// ---- Putting the files in place

namespace {

// Sets a file's modification time, to the nanosecond, without opening it.
void setModified(const QString& path, const timespec& when)
{
    const timespec times[2] = {when, when};
    EXPECT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0)
        << path.toStdString();
}

void setModified(const QString& path, const QDateTime& when)
{
    const qint64 ms = when.toMSecsSinceEpoch();
    setModified(path, timespec{time_t(ms / 1000), long(ms % 1000) * 1000000});
}

// A folder holding an earlier export: each of the eight files says "earlier <name>",
// and was written an hour ago, as an earlier export's files are in real use.
QDir earlierExport(const Fixture& f, const QString& name = QStringLiteral("export"))
{
    const QDir folder(f.dir.file(name));
    EXPECT_TRUE(QDir().mkpath(folder.path()));
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString& name : Exporter::fileNames()) {
        EXPECT_TRUE(testsupport::writeAll(folder.filePath(name), "earlier " + name.toUtf8()));
        setModified(folder.filePath(name), hourAgo);
    }
    return folder;
}

// The earlier export is there byte for byte, with nothing else but `others`.
void expectEarlier(const QDir& folder, const QStringList& others = {})
{
    for (const QString& name : Exporter::fileNames())
        EXPECT_EQ(testsupport::readAll(folder.filePath(name)), "earlier " + name.toUtf8()) << name.toStdString();
    QStringList expected = Exporter::fileNames() + others;
    expected.sort();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);
}

// Makes the file-system calls of everything() fail as `fail` says while it lives.
template <typename... Args>
class FailingCalls {
public:
    using Call = std::function<std::error_code(Args...)>;
    FailingCalls(std::function<std::error_code(Args...)>& call, std::function<bool(int n)> fail)
        : m_call(call), m_real(call)
    {
        call = [this, fail = std::move(fail)](Args... args) {
            return fail(++count) ? std::make_error_code(std::errc::io_error) : m_real(args...);
        };
    }
    ~FailingCalls() { m_call = m_real; }
    FailingCalls(const FailingCalls&) = delete;
    FailingCalls& operator=(const FailingCalls&) = delete;
    int count = 0;

private:
    Call& m_call;
    Call m_real;
};

void expectFileError(const OVStore& store, const QDir& folder, const QString& target, int error)
{
    try {
        Exporter::everything(store, folder.path());
        ADD_FAILURE() << "expected a file error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.payload(), QDir::toNativeSeparators(folder.filePath(target)) + QStringLiteral(": ") +
                                   QString::fromLocal8Bit(std::strerror(error)));
    }
}

// An export over an earlier one whose `failing`-th rename, the one that puts the fifth
// file in place, fails: the earlier export is there again, and nothing else.
void expectFifthPlacingFailure(const Fixture& f, int failing)
{
    const QDir folder = earlierExport(f);
    FailingCalls renames(ExportFolder::renameFile, [failing](int n) { return n == failing; });
    expectFileError(f.store, folder, Exporter::fileNames()[4], EIO);
    expectEarlier(folder);
}

} // namespace

// A rename that fails part way takes back the ones before it.
TEST(ExportFolderPlacing, ARenameFailingPartWayPutsTheEarlierFilesBack)
{
    expectFifthPlacingFailure(Fixture(), 5);
}

// Where the file system has no hard links, each earlier file is moved aside and put
// back from there; a replaced file keeps its permissions.
TEST(ExportFolderPlacing, WithoutHardLinksEarlierFilesAreMovedAsideAndPutBack)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    const QString plants = folder.filePath(QStringLiteral("Plants.csv"));
    ASSERT_TRUE(QFile::setPermissions(plants, QFile::ReadOwner | QFile::WriteOwner));
    FailingCalls links(ExportFolder::linkFile, [](int) { return true; });
    EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    EXPECT_EQ(links.count, 8);
    EXPECT_TRUE(testsupport::readAll(plants).startsWith("Crop,Variety"));
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 8);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(plants).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // Each file takes two renames: aside, then in. The fifth file is moved aside first.
    expectFifthPlacingFailure(f, 10);
}

namespace {

// A hidden name of the exporter's form for `name`, of a run that never was.
QString leftover(const QString& name, const char* suffix)
{
    return u'.' + name + QStringLiteral(".orvane-export-0123456789abcdef0123456789abcdef") +
           QString::fromLatin1(suffix);
}

} // namespace

// What a killed export left beside its files goes at the next export into the
// folder; an earlier file left only under its second name comes back under its own,
// even when that export then fails. Other hidden files stay.
TEST(ExportFolderPlacing, AKilledExportsLeftoversAreTidiedByTheNext)
{
    Fixture f;
    QDir folder = earlierExport(f);
    const QString mine = QStringLiteral(".notes.csv.abc.tmp");
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(mine), "not the export's"));
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(leftover(QStringLiteral("Climate readings.csv"), ".tmp")), "part"));
    ASSERT_EQ(::link(QFile::encodeName(folder.filePath(QStringLiteral("Seeds.csv"))).constData(),
                     QFile::encodeName(folder.filePath(leftover(QStringLiteral("Seeds.csv"), ".previous"))).constData()),
              0);
    ASSERT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    QStringList expected = Exporter::fileNames();
    expected.append(mine);
    expected.sort();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), expected);

    folder = earlierExport(f);
    ASSERT_TRUE(QFile::rename(folder.filePath(QStringLiteral("Plants.csv")),
                              folder.filePath(leftover(QStringLiteral("Plants.csv"), ".previous"))));
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(leftover(QStringLiteral("Plants.csv"), ".tmp")), "new, unfinished"));
    f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench")); // its readings are read
    f.store.db().exec(QStringLiteral("DROP TABLE reading"));
    EXPECT_THROW(Exporter::everything(f.store, folder.path()), OVError);
    expectEarlier(folder, {mine});
}

// ---- A run killed part way

namespace {

// Calls `before` ahead of each of the exporter's file-system calls (links, renames and
// removals), numbered from 1, with the name the call makes or removes.
class EachStep {
public:
    explicit EachStep(std::function<void(int step, const QString& name)> before)
        : m_before(std::move(before)), m_rename(ExportFolder::renameFile), m_link(ExportFolder::linkFile),
          m_remove(ExportFolder::removeFile)
    {
        ExportFolder::renameFile = [this](const QString& from, const QString& to) {
            m_before(++count, to);
            return m_rename(from, to);
        };
        ExportFolder::linkFile = [this](const QString& existing, const QString& newName) {
            m_before(++count, newName);
            return m_link(existing, newName);
        };
        ExportFolder::removeFile = [this](const QString& path) {
            m_before(++count, path);
            return m_remove(path);
        };
    }
    ~EachStep()
    {
        ExportFolder::renameFile = m_rename;
        ExportFolder::linkFile = m_link;
        ExportFolder::removeFile = m_remove;
    }
    EachStep(const EachStep&) = delete;
    EachStep& operator=(const EachStep&) = delete;
    int count = 0;

private:
    std::function<void(int, const QString&)> m_before;
    std::function<std::error_code(const QString&, const QString&)> m_rename, m_link;
    std::function<std::error_code(const QString&)> m_remove;
};

// Stands for a file system that has no hard links (FAT, exFAT).
std::error_code noLink(const QString&, const QString&) { return std::make_error_code(std::errc::operation_not_permitted); }

// Runs an export into `folder` in a child process that is killed just before the
// step (see EachStep) for which `killHere` says so; without `links`, as on a file
// system that has no hard links.
void exportKilledAt(const Fixture& f, const QDir& folder, bool links,
                    const std::function<bool(int step, const QString& name)>& killHere)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OVStore store(f.dir.file(QStringLiteral("g.sqlite")));
        if (!links)
            ExportFolder::linkFile = noLink;
        EachStep steps([&killHere](int step, const QString& name) {
            if (killHere(step, name))
                ::raise(SIGKILL);
        });
        try {
            Exporter::everything(store, folder.path());
        } catch (...) {
        }
        std::_Exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
}

// Runs an export into `folder` in a child process that is killed just before it puts
// its `placing`-th file in place. The folder then holds a mix of new and earlier files.
void exportKilledAtPlacing(const Fixture& f, const QDir& folder, int placing, bool links)
{
    int placings = 0;
    exportKilledAt(f, folder, links, [&placings, placing](int, const QString& name) {
        return Exporter::fileNames().contains(QFileInfo(name).fileName()) && ++placings == placing;
    });
    ASSERT_TRUE(testsupport::readAll(folder.filePath(Exporter::fileNames()[0])).startsWith("Greenhouse,"));
    ASSERT_GT(folder.entryList(QDir::Files | QDir::Hidden).size(), 8);
}

void expectCancelled(const OVStore& store, const QDir& folder)
{
    JobState job;
    job.requestCancel();
    EXPECT_THROW(Exporter::everything(store, folder.path(), &job), JobCancelled);
}

// The eight new files of an empty store and nothing else.
void expectNewExport(const QDir& folder)
{
    QStringList names = Exporter::fileNames();
    names.sort();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name), names);
    for (const QString& name : Exporter::fileNames())
        EXPECT_TRUE(testsupport::readAll(folder.filePath(name)).endsWith(crlf)) << name.toStdString();
}

// Every entry of `folder` with its bytes.
QMap<QString, QByteArray> contents(const QDir& folder)
{
    QMap<QString, QByteArray> all;
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        all.insert(name, testsupport::readAll(folder.filePath(name)));
    return all;
}

// The next export takes the killed run back before it writes anything: when it is
// cancelled, the earlier export is there whole; one that runs to its end leaves its
// eight files and nothing hidden.
void expectKilledRunTakenBack(bool links)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    exportKilledAtPlacing(f, folder, 4, links);
    expectCancelled(f.store, folder);
    expectEarlier(folder);
    EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    expectNewExport(folder);
}

} // namespace

// When a failed placing cannot be taken back whole either, its temporaries stay to
// mark the run as cut, and the next export puts the earlier files back.
TEST(ExportFolderPlacing, APlacingThatCannotBeTakenBackWholeIsFinishedByTheNextExport)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    {
        // The fifth file cannot be put in place, then the third cannot be put back.
        FailingCalls renames(ExportFolder::renameFile, [](int n) { return n == 5 || n == 7; });
        expectFileError(f.store, folder, Exporter::fileNames()[4], EIO);
    }
    EXPECT_NE(testsupport::readAll(folder.filePath(Exporter::fileNames()[2])), "earlier " + Exporter::fileNames()[2].toUtf8());
    expectCancelled(f.store, folder);
    expectEarlier(folder);
}

TEST(ExportFolderKilled, ARunKilledWhilePlacingIsTakenBackFirst) { expectKilledRunTakenBack(true); }

TEST(ExportFolderKilled, ARunKilledWhilePlacingWithoutHardLinksIsTakenBackFirst) { expectKilledRunTakenBack(false); }

// Hidden files whose names only look like the exporter's are a person's own and stay,
// as do an earlier version's leftovers.
TEST(ExportFolderKilled, OnlyTheExportersOwnHiddenNamesAreTouched)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    const QStringList mine{QStringLiteral(".Harvests.csv.old.tmp"), QStringLiteral(".Seeds.csv.mine.tmp.previous"),
                           QStringLiteral(".Plants.csv.orvane-export-0123.tmp"),
                           QStringLiteral(".Pests and diseases.csv.k3x9.tmp.previous")};
    for (const QString& name : mine)
        ASSERT_TRUE(testsupport::writeAll(folder.filePath(name), "mine " + name.toUtf8()));
    exportKilledAtPlacing(f, folder, 4, true);
    expectCancelled(f.store, folder);
    expectEarlier(folder, mine);
    for (const QString& name : mine)
        EXPECT_EQ(testsupport::readAll(folder.filePath(name)), "mine " + name.toUtf8()) << name.toStdString();
}

// A put-back that fails fails the export with that file's error, and everything not
// yet put back stays as it was: the second names and the temporaries alike.
TEST(ExportFolderKilled, AFailedPutBackFailsTheExportAndTouchesNothingElse)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    exportKilledAtPlacing(f, folder, 4, false);
    // A temporary of a name that is put back before the one that fails.
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(leftover(Exporter::fileNames()[0], ".tmp")), "part"));
    QMap<QString, QByteArray> before = contents(folder);
    {
        FailingCalls renames(ExportFolder::renameFile, [](int n) { return n == 1; });
        expectFileError(f.store, folder, Exporter::fileNames()[0], EIO);
    }
    EXPECT_EQ(contents(folder), before);

    {
        FailingCalls renames(ExportFolder::renameFile, [](int n) { return n == 2; });
        expectFileError(f.store, folder, Exporter::fileNames()[1], EIO);
    }
    // Only the first file is back, from its second name.
    const QString greenhouses = Exporter::fileNames()[0];
    const auto second = std::find_if(before.keyBegin(), before.keyEnd(), [&greenhouses](const QString& name) {
        return name.startsWith(u'.' + greenhouses) && name.endsWith(QStringLiteral(".previous"));
    });
    ASSERT_NE(second, before.keyEnd());
    before.insert(greenhouses, before.take(*second));
    EXPECT_EQ(before.value(greenhouses), "earlier " + greenhouses.toUtf8());
    EXPECT_EQ(contents(folder), before);

    EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    expectNewExport(folder);
}

// A second name cannot go back over a folder under the file's name: it stays, and the
// export fails.
TEST(ExportFolderKilled, ASecondNameBesideAFolderStays)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    exportKilledAtPlacing(f, folder, 4, true);
    const QString greenhouses = folder.filePath(Exporter::fileNames()[0]);
    ASSERT_TRUE(QFile::remove(greenhouses));
    ASSERT_TRUE(QDir().mkdir(greenhouses));
    const QMap<QString, QByteArray> before = contents(folder);
    ASSERT_TRUE(before.values().contains("earlier " + Exporter::fileNames()[0].toUtf8()));
    expectFileError(f.store, folder, Exporter::fileNames()[0], EISDIR);
    EXPECT_EQ(contents(folder), before);
}

// A run killed on another day left its files in that day's folder; the export tidies
// those folders beside its own too, and no other folder. A put-back that fails there
// leaves that folder as it is and does not stop the export.
TEST(ExportFolderKilled, OtherDaysExportFoldersAreTidiedToo)
{
    Fixture f;
    // Each killed run is made under a name of no day, then renamed: a child's export
    // would tidy the dated folders beside it.
    const auto killedRun = [&f](const QString& name, bool links) {
        const QDir staged = earlierExport(f, QStringLiteral("staged"));
        exportKilledAtPlacing(f, staged, 4, links);
        const QDir dated(f.dir.file(QStringLiteral("out/") + name));
        EXPECT_TRUE(QDir().mkpath(f.dir.file(QStringLiteral("out"))));
        EXPECT_TRUE(QDir().rename(staged.path(), dated.path()));
        return dated;
    };
    const auto dated = [](int day) { return Exporter::folderName(OVDay(2026, 6, day)); };
    const QDir first = killedRun(dated(1), true);
    const QDir second = killedRun(dated(2), false);
    ASSERT_FALSE(second.exists(Exporter::fileNames()[3])); // only under its second name
    const QDir third = killedRun(dated(3), true);
    const QDir copy = killedRun(dated(4) + QStringLiteral(" copy"), true);
    const QMap<QString, QByteArray> thirdBefore = contents(third);
    const QMap<QString, QByteArray> copyBefore = contents(copy);

    const QString thirdPath = third.path();
    const auto rename = ExportFolder::renameFile;
    ExportFolder::renameFile = [&](const QString& from, const QString& to) {
        return to.startsWith(thirdPath) ? std::make_error_code(std::errc::io_error) : rename(from, to);
    };
    const auto restore = qScopeGuard([&] { ExportFolder::renameFile = rename; });
    const QDir today(f.dir.file(QStringLiteral("out/") + dated(10)));
    EXPECT_EQ(Exporter::everything(f.store, today.path()).size(), 8);
    expectNewExport(today);
    expectEarlier(first);
    expectEarlier(second);
    EXPECT_EQ(contents(third), thirdBefore);
    EXPECT_EQ(contents(copy), copyBefore);
}

namespace {

// What every step of a run does: the name each step makes or removes, and the step
// that puts the last file in place.
struct RunSteps {
    QStringList names;
    int lastPlacing = 0;
};

// How a killed run's folder starts: with or without hard links, holding an earlier
// export or nothing yet (each day's first export makes its folder).
struct KillRow {
    bool links;
    bool full;
    QString trace() const
    {
        return QStringLiteral("%1, %2").arg(links ? "links" : "no links", full ? "over an earlier export" : "first export");
    }
    QString folder(const QString& name) const { return QStringLiteral("%1 %2 %3").arg(name).arg(links).arg(full); }
};
const KillRow killRows[] = {{true, true}, {false, true}, {true, false}, {false, false}};

// The folder a row's run goes into: an earlier export, or a name with no folder yet.
QDir startingFolder(const Fixture& f, const KillRow& row, const QString& name)
{
    return row.full ? earlierExport(f, row.folder(name)) : QDir(f.dir.file(row.folder(name)));
}

RunSteps stepsOfARun(const Fixture& f, const KillRow& row)
{
    const QDir folder = startingFolder(f, row, QStringLiteral("counted"));
    const auto link = ExportFolder::linkFile;
    const auto restore = qScopeGuard([&link] { ExportFolder::linkFile = link; });
    if (!row.links)
        ExportFolder::linkFile = noLink;
    RunSteps run;
    EachStep steps([&run](int step, const QString& name) {
        run.names.append(QFileInfo(name).fileName());
        if (Exporter::fileNames().contains(run.names.last()))
            run.lastPlacing = step;
    });
    EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    return run;
}

// The steps the next export's tidy takes in a folder holding what a run killed
// before step `killedAt` left there.
int stepsOfATidy(const Fixture& f, const KillRow& row, int killedAt)
{
    const QDir folder = startingFolder(f, row, QStringLiteral("tidied %1").arg(killedAt));
    exportKilledAt(f, folder, row.links, [killedAt](int step, const QString&) { return step == killedAt; });
    int count = 0;
    {
        EachStep steps([&count](int, const QString&) { ++count; });
        expectCancelled(f.store, folder);
    }
    EXPECT_TRUE(QDir(folder).removeRecursively());
    return count;
}

// The two whole sets a folder may hold once tidied after a kill: what it held before
// (an earlier export's files, or nothing), and the eight files a run writes.
std::pair<QMap<QString, QByteArray>, QMap<QString, QByteArray>> wholeSets(const Fixture& f, const KillRow& row)
{
    const QMap<QString, QByteArray> earlier =
        row.full ? contents(earlierExport(f, QStringLiteral("earlier"))) : QMap<QString, QByteArray>();
    const QDir fresh(f.dir.file(QStringLiteral("fresh")));
    EXPECT_EQ(Exporter::everything(f.store, fresh.path()).size(), 8);
    return {earlier, contents(fresh)};
}

} // namespace

// A kill at any step of a run, the removals of the earlier files' second names and
// of its record after the last placing included, leaves a folder that the next
// export's tidy turns into one whole set: what the folder held before when the run
// was cut before its last file was in place (an earlier export, or nothing for the
// day's first), else the run's own eight files. An export that fails after the tidy
// leaves that set; one that succeeds leaves its eight files and nothing hidden.
TEST(ExportFolderKilled, AKillAtAnyStepOfARunLeavesOneWholeSet)
{
    Fixture f;
    for (const KillRow& row : killRows) {
        const auto [earlier, placed] = wholeSets(f, row);
        const RunSteps run = stepsOfARun(f, row);
        // Each earlier file is kept under a second name, each new one put in place,
        // and after the last placing the second names go, then the record.
        ASSERT_EQ(run.lastPlacing, !row.full ? 8 : row.links ? 16 : 24) << row.trace().toStdString();
        ASSERT_EQ(run.names.size(), run.lastPlacing + (row.full ? 9 : 1));
        for (int killedAt = 1; killedAt <= run.names.size(); ++killedAt) {
            SCOPED_TRACE(testing::Message() << row.trace().toStdString() << ", killed before step " << killedAt
                                            << " (" << run.names[killedAt - 1].toStdString() << ")");
            const QDir folder = startingFolder(f, row, QStringLiteral("killed %1").arg(killedAt));
            exportKilledAt(f, folder, row.links, [killedAt](int step, const QString&) { return step == killedAt; });
            expectCancelled(f.store, folder);
            EXPECT_EQ(contents(folder), killedAt <= run.lastPlacing ? earlier : placed);
            EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
            EXPECT_EQ(contents(folder), placed);
        }
    }
}

// A tidy killed at any of its steps, put-backs and removals alike, is finished by the
// next export's: the run it was settling still counts as cut or as finished.
TEST(ExportFolderKilled, ATidyKilledAtAnyStepIsFinishedByTheNext)
{
    Fixture f;
    for (const KillRow& row : killRows) {
        const auto [earlier, placed] = wholeSets(f, row);
        const RunSteps run = stepsOfARun(f, row);
        // Cut at its fourth placing, and cut at its last removal after the last
        // placing (the record's, or the third second name's).
        int fourthPlacing = 0;
        for (int step = 1, placings = 0; step <= run.names.size() && !fourthPlacing; ++step)
            if (Exporter::fileNames().contains(run.names[step - 1]) && ++placings == 4)
                fourthPlacing = step;
        for (const int killedAt : {fourthPlacing, row.full ? run.lastPlacing + 3 : run.lastPlacing + 1}) {
            const int tidySteps = stepsOfATidy(f, row, killedAt);
            ASSERT_GT(tidySteps, 0);
            for (int tidyKilledAt = 1; tidyKilledAt <= tidySteps; ++tidyKilledAt) {
                SCOPED_TRACE(testing::Message() << row.trace().toStdString() << ", run killed before step "
                                                << killedAt << ", tidy before step " << tidyKilledAt);
                const QDir folder = startingFolder(f, row, QStringLiteral("killed %1 %2").arg(killedAt).arg(tidyKilledAt));
                exportKilledAt(f, folder, row.links, [killedAt](int step, const QString&) { return step == killedAt; });
                exportKilledAt(f, folder, row.links, [tidyKilledAt](int step, const QString&) { return step == tidyKilledAt; });
                expectCancelled(f.store, folder);
                EXPECT_EQ(contents(folder), killedAt <= run.lastPlacing ? earlier : placed);
            }
        }
    }
}

// An earlier file whose second name cannot be removed once the run has placed its
// files does not fail the export, and it never comes back: the next export removes
// it, even when that export then fails.
TEST(ExportFolderKilled, ASecondNameThatCannotBeRemovedGoesWithTheNextExport)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    {
        FailingCalls removals(ExportFolder::removeFile, [](int n) { return n == 3; });
        EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    }
    QMap<QString, QByteArray> placed = contents(folder);
    EXPECT_EQ(placed.size(), 9);
    for (auto entry = placed.begin(); entry != placed.end();)
        entry = entry.key().startsWith(u'.') ? placed.erase(entry) : std::next(entry);
    ASSERT_EQ(placed.size(), 8);
    EXPECT_FALSE(placed.values().contains("earlier " + Exporter::fileNames()[2].toUtf8()));
    expectCancelled(f.store, folder);
    EXPECT_EQ(contents(folder), placed);
}

namespace {

// Saves `bytes` under `path` as a person's program does: a new file renamed over the
// name, modified at `when`.
void saveOver(const QString& path, const QByteArray& bytes, const QDateTime& when)
{
    const QString fresh = path + QStringLiteral("~");
    ASSERT_TRUE(testsupport::writeAll(fresh, bytes));
    setModified(fresh, when);
    ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()), 0);
}

void appendInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Copies every entry of `folder` to a new inode with its modification time kept to
// the nanosecond, as a FAT drive plugged in again shows the same files.
void copyToNewInodes(const QDir& folder)
{
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const QString path = folder.filePath(name);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        const QString copy = folder.filePath(QStringLiteral("copying"));
        ASSERT_TRUE(testsupport::writeAll(copy, testsupport::readAll(path)));
        setModified(copy, st.st_mtim);
        ASSERT_EQ(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()), 0);
    }
}

// One way a run cut at its fourth placing is found, and what the folder must hold
// once it has been taken back.
struct TakeBackRow {
    const char* what;
    bool links;
    bool full;      // the folder held an earlier export
    bool ownFolder; // taken back by a cancelled export into it, else by an export into the next day's
    std::function<void(const QDir& cut, QMap<QString, QByteArray>& expected)> change;
};

const QByteArray mine("Crop\r\nBean, my own\r\n");

} // namespace

// A run cut while placing is taken back by what it recorded, whatever the clocks say:
// what the folder held before comes back (nothing, for a day's first export), except
// under a name whose file is no longer exactly the run's own, which a person changed
// and which stays. In the export's own folder as in another day's.
TEST(ExportFolderKilled, TakingARunBackKeepsTheFilesAPersonChangedSince)
{
    const auto nothing = [](const QDir&, QMap<QString, QByteArray>&) {};
    const QString plants = QStringLiteral("Plants.csv"), seeds = QStringLiteral("Seeds.csv"),
                  readings = QStringLiteral("Climate readings.csv");
    // Seeds.csv holds the run's new file (placed third); Climate readings.csv, with hard
    // links, still the earlier one, also under its second name (being placed fourth).
    const auto savedBeforeAnEditInPlace = [&](int seconds) {
        return [=](const QDir& cut, QMap<QString, QByteArray>& expected) {
            const QDateTime now = QDateTime::currentDateTime();
            saveOver(cut.filePath(seeds), mine, now.addSecs(-seconds));
            appendInPlace(cut.filePath(readings), ", appended");
            setModified(cut.filePath(readings), now);
            expected[seeds] = mine;
            expected[readings] = "earlier " + readings.toUtf8() + ", appended";
        };
    };
    const auto movedInWithItsOldTime = [&](const QDir& cut, QMap<QString, QByteArray>& expected) {
        saveOver(cut.filePath(plants), mine, QDateTime::currentDateTime().addSecs(-7200));
        expected[plants] = mine;
    };
    const auto ownFileEditedInPlace = [&](const QDir& cut, QMap<QString, QByteArray>& expected) {
        appendInPlace(cut.filePath(plants), "Tomato, edited\r\n");
        expected[plants] = testsupport::readAll(cut.filePath(plants));
    };
    // The run's placed files look newer than its leftovers, as after a clock set back
    // while it wrote them.
    const auto clockSetBack = [](const QDir& cut, QMap<QString, QByteArray>&) {
        const QDateTime now = QDateTime::currentDateTime();
        for (const QString& name : cut.entryList(QDir::Files | QDir::Hidden))
            setModified(cut.filePath(name), name.startsWith(u'.') ? now.addSecs(-3600) : now.addSecs(3600));
    };
    const auto remounted = [](const QDir& cut, QMap<QString, QByteArray>&) { copyToNewInodes(cut); };

    const TakeBackRow rows[] = {
        {"a day's first export", true, false, true, nothing},
        {"a day's first export", false, false, true, nothing},
        {"a day's first export", true, false, false, nothing},
        {"a day's first export", false, false, false, nothing},
        {"saved over 60 s before an edit in place", true, true, true, savedBeforeAnEditInPlace(60)},
        {"saved over 3 s before an edit in place", true, true, false, savedBeforeAnEditInPlace(3)},
        {"saved over as an edit in place", true, true, true, savedBeforeAnEditInPlace(0)},
        {"moved in with its old time", true, true, true, movedInWithItsOldTime},
        {"moved in with its old time", false, true, false, movedInWithItsOldTime},
        {"its own file edited in place", true, true, false, ownFileEditedInPlace},
        {"its own file edited in place", false, true, true, ownFileEditedInPlace},
        {"clock set back", true, true, true, clockSetBack},
        {"clock set back", false, true, true, clockSetBack},
        {"clock set back, first export", true, false, true, clockSetBack},
        {"copied to new inodes", true, true, true, remounted},
        {"copied to new inodes", false, true, false, remounted},
        {"copied to new inodes, first export", false, false, true, remounted},
    };
    Fixture f;
    int n = 0;
    for (const TakeBackRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.what << (row.links ? ", links" : ", no links")
                                        << (row.ownFolder ? ", own folder" : ", another day's folder"));
        const QString out = QStringLiteral("out %1/").arg(++n);
        const QString day = out + Exporter::folderName(OVDay(2026, 11, 1));
        const QDir cut = row.full ? earlierExport(f, day) : QDir(f.dir.file(day));
        QMap<QString, QByteArray> expected = row.full ? contents(cut) : QMap<QString, QByteArray>();
        exportKilledAtPlacing(f, cut, 4, row.links);
        row.change(cut, expected);
        if (row.ownFolder)
            expectCancelled(f.store, cut);
        else
            EXPECT_EQ(Exporter::everything(f.store, f.dir.file(out + Exporter::folderName(OVDay(2026, 11, 2)))).size(), 8);
        EXPECT_EQ(contents(cut), expected);
        EXPECT_EQ(Exporter::everything(f.store, cut.path()).size(), 8);
        expectNewExport(cut);
    }
}

// In its own folder, an export that cannot remove a cut run's leftovers fails with
// the file named, before it writes anything: the earlier files are back, and no
// later tidy can take the old run for a new one. Once removals work again, an export
// leaves its eight files and nothing hidden.
TEST(ExportFolderKilled, LeftoversThatCannotBeRemovedStopTheExport)
{
    Fixture f;
    for (const bool links : {true, false}) {
        const QDir folder = earlierExport(f, QStringLiteral("export %1").arg(links));
        const QMap<QString, QByteArray> earlier = contents(folder);
        exportKilledAtPlacing(f, folder, 4, links);
        {
            FailingCalls removals(ExportFolder::removeFile, [](int) { return true; });
            try {
                Exporter::everything(f.store, folder.path());
                ADD_FAILURE() << "expected a file error";
            } catch (const OVError& e) {
                EXPECT_EQ(e.kind(), OVError::Kind::file);
                EXPECT_TRUE(e.payload().startsWith(QDir::toNativeSeparators(folder.filePath(QStringLiteral(".")))))
                    << e.what();
                EXPECT_TRUE(e.payload().contains(QStringLiteral(".orvane-export-"))) << e.what();
            }
            EXPECT_EQ(removals.count, 1);
        }
        QMap<QString, QByteArray> now = contents(folder);
        for (const QString& name : Exporter::fileNames())
            EXPECT_EQ(now.take(name), earlier.value(name)) << name.toStdString();
        EXPECT_FALSE(now.isEmpty()); // the leftovers that could not go
        EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
        expectNewExport(folder);
    }
}

// Only names that are exactly the exporter's, and folders of a real day, are tidied:
// a name with a newline after the exporter's form is a person's, and so is a folder
// named for the thirteenth month.
TEST(ExportFolderKilled, OnlyExactNamesAndRealDaysAreTidied)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    const QStringList mine{leftover(QStringLiteral("Harvests.csv"), ".tmp\n"),
                           leftover(QStringLiteral("Seeds.csv"), ".previous\n")};
    for (const QString& name : mine)
        ASSERT_TRUE(testsupport::writeAll(folder.filePath(name), "mine"));
    expectCancelled(f.store, folder);
    expectEarlier(folder, mine);

    QDir out(f.dir.file(QStringLiteral("out")));
    const QDir odd = earlierExport(f, QStringLiteral("out/") + Exporter::folderName(OVDay(2026, 6, 1)));
    exportKilledAtPlacing(f, odd, 4, true);
    const QString oddName = QStringLiteral("QNMR Orvane export 2026-13-45");
    ASSERT_TRUE(out.rename(odd.dirName(), oddName));
    const QMap<QString, QByteArray> before = contents(QDir(out.filePath(oddName)));
    EXPECT_EQ(Exporter::everything(f.store, out.filePath(Exporter::folderName(OVDay(2026, 6, 2)))).size(), 8);
    EXPECT_EQ(contents(QDir(out.filePath(oddName))), before);
}

// Two cut runs in one folder, as only a folder written without the exporter's tidy
// can hold, are taken back in one pass, latest first, each putting back what stood
// before it: the earlier export comes back, except a file a person saved between the
// two runs, which stays, and nothing hidden is left.
TEST(ExportFolderKilled, SecondNamesOfSeveralCutRunsAreSettledInOnePass)
{
    Fixture f;
    for (const bool links : {true, false}) {
        SCOPED_TRACE(links ? "links" : "no links");
        const QDir folder = earlierExport(f, QStringLiteral("export %1").arg(links));
        QMap<QString, QByteArray> expected = contents(folder);
        const QDir aside(f.dir.file(QStringLiteral("aside %1").arg(links)));
        ASSERT_TRUE(QDir().mkpath(aside.path()));
        const auto move = [](const QDir& from, const QDir& to) {
            for (const QString& name : from.entryList(QDir::Files | QDir::Hidden)) {
                if (name.startsWith(u'.')) {
                    ASSERT_TRUE(QDir().rename(from.filePath(name), to.filePath(name)));
                }
            }
        };
        // The first run places three files; the person then saves over the second;
        // the second run, which does not see the first's leftovers, places five.
        exportKilledAtPlacing(f, folder, 4, links);
        saveOver(folder.filePath(QStringLiteral("Plants.csv")), mine, QDateTime::currentDateTime());
        expected[QStringLiteral("Plants.csv")] = mine;
        move(folder, aside);
        exportKilledAtPlacing(f, folder, 6, links);
        move(aside, folder);

        expectCancelled(f.store, folder);
        EXPECT_EQ(contents(folder), expected);
    }
}

// A second export into the folder while one is written there fails at once and
// touches nothing; the first finishes whole.
TEST(ExportFolderLock, ASecondExportIntoTheFolderMeanwhileFailsAtOnce)
{
    Fixture f;
    const QDir folder = earlierExport(f, QStringLiteral("out/") + Exporter::folderName(OVDay(2026, 11, 1)));
    int placing[2], go[2];
    ASSERT_EQ(::pipe(placing), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Holds its first placing until the parent has tried its own export.
        OVStore store(f.dir.file(QStringLiteral("g.sqlite")));
        const auto rename = ExportFolder::renameFile;
        bool first = true;
        ExportFolder::renameFile = [&](const QString& from, const QString& to) {
            char byte = 0;
            if (std::exchange(first, false) && (::write(placing[1], "p", 1) != 1 || ::read(go[0], &byte, 1) != 1))
                std::_Exit(4);
            return rename(from, to);
        };
        try {
            std::_Exit(Exporter::everything(store, folder.path()).size() == 8 ? 0 : 5);
        } catch (...) {
            std::_Exit(6);
        }
    }
    char byte = 0;
    ASSERT_EQ(::read(placing[0], &byte, 1), 1);
    const QMap<QString, QByteArray> during = contents(folder);
    for (const int day : {1, 2}) {
        try {
            Exporter::everything(f.store, f.dir.file(QStringLiteral("out/") + Exporter::folderName(OVDay(2026, 11, day))));
            ADD_FAILURE() << "expected the export to be refused";
        } catch (const OVError& e) {
            EXPECT_EQ(e.errorDescription(),
                      QStringLiteral("Another export is being written into this folder; try again when it has finished."));
        }
    }
    EXPECT_EQ(contents(folder), during);
    EXPECT_FALSE(QDir(f.dir.file(QStringLiteral("out/") + Exporter::folderName(OVDay(2026, 11, 2)))).exists());
    ASSERT_EQ(::write(go[1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    expectNewExport(folder);
    for (const int fd : {placing[0], placing[1], go[0], go[1]})
        ::close(fd);
}

