#include "services/Exporter.h"

#include "records/OVPrefs.h"
#include "services/OVCSV.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include "JobTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <thread>
#include <utility>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::ScratchDir;

namespace {

const QByteArray crlf("\r\n");

QDateTime utc(int year, int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

QString localStamp(const QDateTime& instant)
{
    return instant.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<QStringList> rowsOf(const QString& csv)
{
    QList<QStringList> rows;
    for (const OVCSV::Row& row : OVCSV::parse(csv))
        rows.append(row.fields);
    return rows;
}

// Caps the size of any file this process writes, so a write fails part way through
// with EFBIG whoever runs the test (root included). Restored when it ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool active() const { return m_active; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_active = false;
};

struct Fixture {
    ScratchDir dir;
    OVStore store{dir.file(QStringLiteral("g.sqlite"))};

    Zone addZone(qint64 houseID, const QString& name)
    {
        Zone zone{.greenhouseID = houseID, .name = name};
        store.save(zone);
        return zone;
    }
    qint64 addHouse(const QString& name)
    {
        Greenhouse house{.name = name};
        store.save(house);
        return house.id;
    }
};

} // namespace

// ---- Writing everything

TEST(ExporterEverything, EmptyStoreWritesEightHeaderLines)
{
    Fixture f;
    const QString folder = f.dir.file(QStringLiteral("out/QNMR Orvane export 2026-06-10"));
    const QStringList paths = Exporter::everything(f.store, folder);

    const QList<QPair<QString, QByteArray>> expected{
        {"Greenhouses and zones.csv", "Greenhouse,Location,Size,Glazing,Zone,Beds and benches,Alert ranges,Notes"},
        {"Plants.csv", "Crop,Variety,Source,Status,Plants,Sown,Transplanted,Expected harvest,Location,Photos,Notes"},
        {"Seeds.csv", "Crop,Variety,Supplier,Lot,Packed for,Amount,Unit,Germination tests,Latest germination %,"
                      "Latest test date,Notes"},
        {"Climate readings.csv",
         "timestamp,zone,greenhouse,temp_f,humidity,light,co2,soil_moisture,soil_temp_f,ph,ec,source,note"},
        {"Schedules and maintenance.csv", "Type,Category,Title,Where,Amount / product,Repeats,Starts,Time,Next due,"
                                          "Last done,Reminder,Active,Notes"},
        {"Pests and diseases.csv",
         "Seen,Problem,Type,Severity (1-5),Plant,Zone,Treatment,Treated,Result,Resolved,Notes"},
        {"Harvests.csv", "Date,Crop,Plant,Quantity,Unit,Weight (lb),Quality,Notes"},
        {"Supplies and costs.csv", "Date,Item,Category,Quantity,Unit,Cost ($),Vendor,Crop,Notes"},
    };
    ASSERT_EQ(paths.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(paths[i], QDir(folder).filePath(expected[i].first));
        // Exactly the header and CR LF: no byte-order mark, nothing else.
        EXPECT_EQ(testsupport::readAll(paths[i]), expected[i].second + crlf) << expected[i].first.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 8);

    // An existing folder is fine, and its files are replaced.
    EXPECT_EQ(Exporter::everything(f.store, folder), paths);
}

TEST(ExporterEverything, ParentThatIsAFileFailsWithTheSystemReasonAndWritesNothing)
{
    Fixture f;
    const QString blocker = f.dir.file(QStringLiteral("blocker"));
    ASSERT_TRUE(testsupport::writeAll(blocker, "keep"));
    const QStringList before = QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    try {
        Exporter::everything(f.store, blocker + QStringLiteral("/export"));
        FAIL() << "expected a file error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::file);
        EXPECT_TRUE(e.errorDescription().contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
            << e.what();
    }
    EXPECT_EQ(testsupport::readAll(blocker), QByteArray("keep"));
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

// A file that cannot be put in place takes back the ones renamed before it: the
// earlier files are there again, byte for byte, and nothing of the run is left.
TEST(ExporterEverything, AFileThatCannotBePutInPlaceLeavesTheEarlierFiles)
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
    FailingCalls renames(Exporter::renameFile, [failing](int n) { return n == failing; });
    expectFileError(f.store, folder, Exporter::fileNames()[4], EIO);
    expectEarlier(folder);
}

} // namespace

// A rename that fails part way takes back the ones before it.
TEST(ExporterEverything, ARenameFailingPartWayPutsTheEarlierFilesBack)
{
    expectFifthPlacingFailure(Fixture(), 5);
}

// Where the file system has no hard links, each earlier file is moved aside and put
// back from there; a replaced file keeps its permissions.
TEST(ExporterEverything, WithoutHardLinksEarlierFilesAreMovedAsideAndPutBack)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    const QString plants = folder.filePath(QStringLiteral("Plants.csv"));
    ASSERT_TRUE(QFile::setPermissions(plants, QFile::ReadOwner | QFile::WriteOwner));
    FailingCalls links(Exporter::linkFile, [](int) { return true; });
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
TEST(ExporterEverything, AKilledExportsLeftoversAreTidiedByTheNext)
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
        : m_before(std::move(before)), m_rename(Exporter::renameFile), m_link(Exporter::linkFile),
          m_remove(Exporter::removeFile)
    {
        Exporter::renameFile = [this](const QString& from, const QString& to) {
            m_before(++count, to);
            return m_rename(from, to);
        };
        Exporter::linkFile = [this](const QString& existing, const QString& newName) {
            m_before(++count, newName);
            return m_link(existing, newName);
        };
        Exporter::removeFile = [this](const QString& path) {
            m_before(++count, path);
            return m_remove(path);
        };
    }
    ~EachStep()
    {
        Exporter::renameFile = m_rename;
        Exporter::linkFile = m_link;
        Exporter::removeFile = m_remove;
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
            Exporter::linkFile = noLink;
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
TEST(ExporterEverything, APlacingThatCannotBeTakenBackWholeIsFinishedByTheNextExport)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    {
        // The fifth file cannot be put in place, then the third cannot be put back.
        FailingCalls renames(Exporter::renameFile, [](int n) { return n == 5 || n == 7; });
        expectFileError(f.store, folder, Exporter::fileNames()[4], EIO);
    }
    EXPECT_NE(testsupport::readAll(folder.filePath(Exporter::fileNames()[2])), "earlier " + Exporter::fileNames()[2].toUtf8());
    expectCancelled(f.store, folder);
    expectEarlier(folder);
}

TEST(ExporterKilled, ARunKilledWhilePlacingIsTakenBackFirst) { expectKilledRunTakenBack(true); }

TEST(ExporterKilled, ARunKilledWhilePlacingWithoutHardLinksIsTakenBackFirst) { expectKilledRunTakenBack(false); }

// Hidden files whose names only look like the exporter's are a person's own and stay,
// as do an earlier version's leftovers.
TEST(ExporterKilled, OnlyTheExportersOwnHiddenNamesAreTouched)
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
TEST(ExporterKilled, AFailedPutBackFailsTheExportAndTouchesNothingElse)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    exportKilledAtPlacing(f, folder, 4, false);
    // A temporary of a name that is put back before the one that fails.
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(leftover(Exporter::fileNames()[0], ".tmp")), "part"));
    QMap<QString, QByteArray> before = contents(folder);
    {
        FailingCalls renames(Exporter::renameFile, [](int n) { return n == 1; });
        expectFileError(f.store, folder, Exporter::fileNames()[0], EIO);
    }
    EXPECT_EQ(contents(folder), before);

    {
        FailingCalls renames(Exporter::renameFile, [](int n) { return n == 2; });
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
TEST(ExporterKilled, ASecondNameBesideAFolderStays)
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
TEST(ExporterKilled, OtherDaysExportFoldersAreTidiedToo)
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
    const auto rename = Exporter::renameFile;
    Exporter::renameFile = [&](const QString& from, const QString& to) {
        return to.startsWith(thirdPath) ? std::make_error_code(std::errc::io_error) : rename(from, to);
    };
    const auto restore = qScopeGuard([&] { Exporter::renameFile = rename; });
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
    const auto link = Exporter::linkFile;
    const auto restore = qScopeGuard([&link] { Exporter::linkFile = link; });
    if (!row.links)
        Exporter::linkFile = noLink;
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
TEST(ExporterKilled, AKillAtAnyStepOfARunLeavesOneWholeSet)
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
TEST(ExporterKilled, ATidyKilledAtAnyStepIsFinishedByTheNext)
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
TEST(ExporterKilled, ASecondNameThatCannotBeRemovedGoesWithTheNextExport)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    {
        FailingCalls removals(Exporter::removeFile, [](int n) { return n == 3; });
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
TEST(ExporterKilled, TakingARunBackKeepsTheFilesAPersonChangedSince)
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
TEST(ExporterKilled, LeftoversThatCannotBeRemovedStopTheExport)
{
    Fixture f;
    for (const bool links : {true, false}) {
        const QDir folder = earlierExport(f, QStringLiteral("export %1").arg(links));
        const QMap<QString, QByteArray> earlier = contents(folder);
        exportKilledAtPlacing(f, folder, 4, links);
        {
            FailingCalls removals(Exporter::removeFile, [](int) { return true; });
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
TEST(ExporterKilled, OnlyExactNamesAndRealDaysAreTidied)
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
TEST(ExporterKilled, SecondNamesOfSeveralCutRunsAreSettledInOnePass)
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
TEST(ExporterEverything, ASecondExportIntoTheFolderMeanwhileFailsAtOnce)
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
        const auto rename = Exporter::renameFile;
        bool first = true;
        Exporter::renameFile = [&](const QString& from, const QString& to) {
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

// The single-table export fails like everything() when the readings stop part way,
// instead of handing back a shortened table as if it were complete.
TEST(ExporterReadings, ReadFailurePartWayThrows)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    QList<Reading> batch;
    for (int i = 0; i < 3000; ++i)
        batch.append(Reading{.zoneID = zone.id, .taken = utc(2026, 1, 1, 0).addSecs(60 * i),
                             .values = {{Metric::temp, 70.25}}});
    f.store.addReadings(batch);
    ASSERT_EQ(rowsOf(Exporter::readings(f.store)).size(), 3001);

    // The engine is interrupted after some thousands of steps: well inside the
    // readings, after the zone and greenhouse look-ups.
    int calls = 0;
    const auto interrupt = [](void* context) { return ++*static_cast<int*>(context) > 300 ? 1 : 0; };
    sqlite3_progress_handler(f.store.db().handle(), 100, interrupt, &calls);
    try {
        Exporter::readings(f.store);
        ADD_FAILURE() << "expected a database error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
    }
    sqlite3_progress_handler(f.store.db().handle(), 0, nullptr, nullptr);
    EXPECT_GT(calls, 300);
}

TEST(ExporterEverything, FailedWriteKeepsTheOldFileWhole)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    QList<Reading> batch;
    for (int i = 0; i < 3000; ++i)
        batch.append(Reading{.zoneID = zone.id, .taken = utc(2026, 1, 1, 0).addSecs(60 * i),
                             .values = {{Metric::temp, 70.25}, {Metric::humidity, 55}}});
    f.store.addReadings(batch);

    const QString folder = f.dir.file(QStringLiteral("export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString old = QDir(folder).filePath(QStringLiteral("Climate readings.csv"));
    ASSERT_TRUE(testsupport::writeAll(old, "old export\r\n"));
    {
        FileSizeLimit limit(32 * 1024); // the readings file needs well over 100 KiB
        ASSERT_TRUE(limit.active());
        try {
            Exporter::everything(f.store, folder);
            ADD_FAILURE() << "expected a file error";
        } catch (const OVError& e) {
            EXPECT_EQ(e.kind(), OVError::Kind::file);
            EXPECT_EQ(e.payload(), QDir::toNativeSeparators(old) + QStringLiteral(": ") +
                                       QString::fromLocal8Bit(std::strerror(EFBIG)));
        }
    }
    EXPECT_EQ(testsupport::readAll(old), QByteArray("old export\r\n"));
    // Nothing of the run is left: no temporary file, and none of the files before it.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Climate readings.csv")});
}

TEST(ExporterEverything, UnreadableReadingsAreReportedNotLeftOut)
{
    Fixture f;
    f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    f.store.db().exec(QStringLiteral("DROP TABLE reading"));
    const QString folder = f.dir.file(QStringLiteral("export"));
    try {
        Exporter::everything(f.store, folder);
        FAIL() << "expected an error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
    }
    // The three files written before the readings went with the folder it made.
    EXPECT_FALSE(QFileInfo::exists(folder));
}

// ---- Reads that fail

namespace {

// The table whose records make each file's lines, in fileNames() order.
const QStringList ownTables{"greenhouse", "plant", "seed", "reading", "task", "pest", "harvest", "ledger"};

// One table's bytes through writeTable(), or nothing when a read failed.
std::optional<QByteArray> tableBytes(const OVStore& store, qsizetype table)
{
    QByteArray bytes;
    try {
        EXPECT_TRUE(Exporter::writeTable(store, table, [&bytes](const QByteArray& piece) {
            bytes += piece;
            return true;
        }));
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database) << e.what();
        return std::nullopt;
    }
    return bytes;
}

void addSampleWithReadings(OVStore& store)
{
    SampleData::add(store);
    QList<Reading> batch;
    for (const Zone& zone : store.zones())
        batch.append(Reading{.zoneID = zone.id, .taken = utc(2026, 1, 1, 0), .values = {{Metric::temp, 70.5}}});
    store.addReadings(batch);
}

} // namespace

// Whichever table cannot be read, no export hands out a table with its rows or
// cells left out: a table that reads it fails with the engine's reason, the others
// are whole, and the full export fails and removes what it wrote.
TEST(ExporterUnreadable, ADroppedTableFailsEveryExportThatReadsIt)
{
    for (const QString& dropped : OVStore::tables) {
        SCOPED_TRACE(dropped.toStdString());
        Fixture f;
        addSampleWithReadings(f.store);
        QList<QByteArray> whole;
        for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i)
            whole.append(tableBytes(f.store, i).value_or(QByteArray()));
        f.store.db().exec(QStringLiteral("PRAGMA foreign_keys = OFF")); // no cascades: drop this table alone
        f.store.db().exec(QStringLiteral("DROP TABLE ") + dropped);

        bool anyFailed = false;
        for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i) {
            const std::optional<QByteArray> bytes = tableBytes(f.store, i);
            if (ownTables[i] == dropped) {
                EXPECT_FALSE(bytes) << "a table without its records: " << i;
            }
            if (bytes) {
                EXPECT_EQ(*bytes, whole[i]) << i;
            }
            anyFailed = anyFailed || !bytes;
        }

        const QString folder = f.dir.file(QStringLiteral("export"));
        if (!anyFailed) {
            EXPECT_EQ(Exporter::everything(f.store, folder).size(), 8); // the history of done tasks is not exported
            continue;
        }
        try {
            Exporter::everything(f.store, folder);
            ADD_FAILURE() << "expected a database error";
        } catch (const OVError& e) {
            EXPECT_EQ(e.kind(), OVError::Kind::database);
            EXPECT_EQ(e.payload(), QStringLiteral("no such table: ") + dropped);
        }
        EXPECT_FALSE(QFileInfo::exists(folder));
    }
}

TEST(ExporterUnreadable, AClosedConnectionFailsEveryTableAndKeepsAnExistingFolder)
{
    Fixture f;
    addSampleWithReadings(f.store);
    const QString folder = f.dir.file(QStringLiteral("export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(testsupport::writeAll(QDir(folder).filePath(QStringLiteral("mine.txt")), "keep"));
    f.store.db().close();

    for (qsizetype i = 0; i < Exporter::fileNames().size(); ++i)
        EXPECT_FALSE(tableBytes(f.store, i)) << i;
    EXPECT_THROW(Exporter::readings(f.store), OVError);
    try {
        Exporter::everything(f.store, folder);
        ADD_FAILURE() << "expected a database error";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("mine.txt")});
}

// ---- Readings

TEST(ExporterReadings, ZonesByGreenhouseThenNameEachOldestFirst)
{
    Fixture f;
    const qint64 first = f.addHouse(QStringLiteral("Zed"));
    const qint64 second = f.addHouse(QStringLiteral("Alpha"));
    const Zone late = f.addZone(second, QStringLiteral("aa"));
    const Zone b = f.addZone(first, QStringLiteral("b"));
    const Zone a = f.addZone(first, QStringLiteral("A2"));
    f.store.addReadings({
        Reading{.zoneID = b.id, .taken = utc(2026, 3, 2, 9), .values = {{Metric::humidity, 55}}},
        Reading{.zoneID = b.id, .taken = utc(2026, 3, 1, 9), .values = {{Metric::temp, 70.125}}},
        Reading{.zoneID = late.id, .taken = utc(2026, 1, 1, 9), .values = {{Metric::ec, 1.5}}},
        Reading{.zoneID = a.id, .taken = utc(2026, 5, 1, 9, 30).addMSecs(999), .values = {{Metric::co2, 420}},
                .source = QStringLiteral("csv"), .note = QStringLiteral("=1+1, checked")},
    });

    const QList<QStringList> rows = rowsOf(Exporter::readings(f.store));
    ASSERT_EQ(rows.size(), 5);
    QStringList zones;
    for (qsizetype i = 1; i < rows.size(); ++i)
        zones.append(rows[i][1]);
    EXPECT_EQ(zones, (QStringList{"A2", "b", "b", "aa"}));

    // Only humidity measured: 55.00 there, the seven other metric cells empty.
    const QStringList humid = rows[3];
    ASSERT_EQ(humid.size(), 13);
    EXPECT_EQ(humid[0], localStamp(utc(2026, 3, 2, 9)));
    EXPECT_EQ(humid[2], QStringLiteral("Zed"));
    EXPECT_EQ(humid.mid(3, 8), (QStringList{"", "55.00", "", "", "", "", "", ""}));
    EXPECT_EQ(humid[11], QStringLiteral("manual"));
    EXPECT_EQ(rows[2][3], QStringLiteral("70.12")); // "%.2f": the exact binary value, halves to even
    // No fractional seconds in the timestamp.
    EXPECT_EQ(rows[1][0], localStamp(utc(2026, 5, 1, 9, 30)));
    EXPECT_EQ(rows[1][12], QStringLiteral("=1+1, checked"));
}

TEST(ExporterReadings, EveryReadingOfABigZoneWithoutACap)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    // Inserted newest first; two share one instant and must keep their id order.
    auto& db = f.store.db();
    db.transaction([&] {
        auto insert = db.prepare(QStringLiteral("INSERT INTO reading (zone_id, taken, temp_f, note) VALUES (?, ?, ?, ?)"));
        for (int i = 6000; i >= 1; --i)
            insert.run({zone.id, 1.7e9 + 60.0 * i, double(i), QString::number(i)});
        insert.run({zone.id, 1.7e9 + 60.0, 0.5, QStringLiteral("tie")});
    });
    const QList<QStringList> rows = rowsOf(Exporter::readings(f.store));
    ASSERT_EQ(rows.size(), 6002);
    EXPECT_EQ(rows[1][12], QStringLiteral("1"));
    EXPECT_EQ(rows[2][12], QStringLiteral("tie"));
    EXPECT_EQ(rows[6001][12], QStringLiteral("6000"));
    EXPECT_EQ(rows[6001][3], QStringLiteral("6000.00"));
}

// ---- Tables

TEST(ExporterTables, GreenhouseLinesAndAlertRanges)
{
    Fixture f;
    Greenhouse house{.name = QStringLiteral("Main"), .location = QStringLiteral("North"), .size = QStringLiteral("10 × 20"),
                     .glazing = QStringLiteral("Glass"), .notes = QStringLiteral("house notes")};
    f.store.save(house);
    Zone hot{.greenhouseID = house.id, .name = QStringLiteral("Hot"), .notes = QStringLiteral("zone notes")};
    hot.limits = {{Metric::temp, MetricRange(std::nullopt, 86)}};
    f.store.save(hot);
    Zone cold{.greenhouseID = house.id, .name = QStringLiteral("Cold")};
    cold.limits = {{Metric::humidity, MetricRange(40, 85)}, {Metric::temp, MetricRange(50, std::nullopt)}};
    f.store.save(cold);
    Spot bench{.zoneID = cold.id, .kind = SpotKind::bench, .name = QStringLiteral("B1")};
    Spot bed{.zoneID = cold.id, .kind = SpotKind::bed, .name = QStringLiteral("2")};
    f.store.save(bench);
    f.store.save(bed);
    Greenhouse empty{.name = QStringLiteral("Spare"), .notes = QStringLiteral("unused")};
    f.store.save(empty);

    QList<QStringList> rows = rowsOf(Exporter::greenhouses(f.store));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[1], (QStringList{"Main", "North", "10 × 20", "Glass", "Cold", "Bed 2; Bench B1",
                                    "Air 50°F…–; RH 40%…85%", ""}));
    EXPECT_EQ(rows[2], (QStringList{"Main", "North", "10 × 20", "Glass", "Hot", "", "Air –…86°F", "zone notes"}));
    EXPECT_EQ(rows[3], (QStringList{"Spare", "", "", "", "", "", "", "unused"}));

    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    rows = rowsOf(Exporter::greenhouses(f.store));
    OVPrefs::remove(OVPrefs::unitKey);
    EXPECT_EQ(rows[2][6], QStringLiteral("Air –…30°C"));
}

TEST(ExporterTables, SeedsTasksHarvestsAndGuardedNotes)
{
    Fixture f;
    Seed untested{.crop = QStringLiteral("Beet"), .quantity = 12.5};
    f.store.save(untested);
    Seed tested{.crop = QStringLiteral("Carrot"), .year = 2026, .quantity = 400};
    f.store.save(tested);
    GermTest older{.seedID = tested.id, .started = OVDay(2026, 1, 1), .sown = 10, .sprouted = 2};
    GermTest newer{.seedID = tested.id, .started = OVDay(2026, 2, 1), .sown = 10, .sprouted = 9};
    f.store.save(older);
    f.store.save(newer);
    QList<QStringList> rows = rowsOf(Exporter::seeds(f.store));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1].mid(4, 6), (QStringList{"", "12.50", "seeds", "0", "", ""}));
    EXPECT_EQ(rows[2].mid(4, 6), (QStringList{"2026", "400.00", "seeds", "2", "90", "2026-02-01"}));

    OVTask paused{.title = QStringLiteral("Vents"), .start = OVDay(2026, 1, 1)};
    paused.category = QStringLiteral("not a known category");
    paused.hour = 7;
    paused.minute = 5;
    paused.active = false;
    f.store.save(paused);
    rows = rowsOf(Exporter::tasks(f.store));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1][1], QStringLiteral("not a known category"));
    EXPECT_EQ(rows[1][7], QStringLiteral("07:05"));
    EXPECT_EQ(rows[1][8], QString()); // no next due for a paused task
    EXPECT_EQ(rows[1].mid(10, 2), (QStringList{"yes", "no"}));

    Harvest ounces{.crop = QStringLiteral("Bean"), .date = OVDay(2026, 7, 1), .quantity = 8, .unit = HarvestUnit::oz,
                   .notes = QStringLiteral("=HYPERLINK(\"x\")")};
    f.store.save(ounces);
    const QString text = Exporter::harvests(f.store);
    rows = rowsOf(text);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].mid(3, 3), (QStringList{"8.00", "oz", "0.50"}));
    // The formula guard: quoted (it holds quotes), so it is doubled, not run.
    EXPECT_TRUE(text.contains(QStringLiteral("\"=HYPERLINK(\"\"x\"\")\"\r\n"))) << text.toStdString();
}

// ---- Numbers

TEST(ExporterNumbers, CommaDecimalLocaleStillWritesPoints)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    f.store.addReadings({Reading{.zoneID = zone.id, .taken = utc(2026, 3, 1, 9), .values = {{Metric::ph, 6.25}}}});
    Seed seed{.crop = QStringLiteral("Pea"), .quantity = 1.5};
    f.store.save(seed);
    LedgerEntry cost{.date = OVDay(2026, 1, 1), .item = QStringLiteral("Mix"), .quantity = 2.5, .cost = 1234.5};
    f.store.save(cost);
    Harvest harvest{.crop = QStringLiteral("Pea"), .date = OVDay(2026, 7, 1), .quantity = 1.25,
                    .unit = HarvestUnit::kg};
    f.store.save(harvest);

    // No comma-decimal locale may be installed for the C library; Qt's default locale
    // is set either way, and the C locale too when the system has one.
    const QLocale oldDefault;
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name))
            break;
    }
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));

    const QString folder = f.dir.file(QStringLiteral("export"));
    const QStringList paths = Exporter::everything(f.store, folder);
    QLocale::setDefault(oldDefault);
    std::setlocale(LC_ALL, oldC.c_str());

    const auto cells = [&](int file) { return rowsOf(QString::fromUtf8(testsupport::readAll(paths[file]))); };
    EXPECT_EQ(cells(2)[1][5], QStringLiteral("1.50"));
    EXPECT_EQ(cells(3)[1][9], QStringLiteral("6.25"));
    EXPECT_EQ(cells(6)[1].mid(3, 3), (QStringList{"1.25", "kg", "2.76"}));
    EXPECT_EQ(cells(7)[1][3], QStringLiteral("2.50"));
    EXPECT_EQ(cells(7)[1][5], QStringLiteral("1234.50"));
}

TEST(ExporterNumbers, HugeAndNonFiniteValuesArePrintedNotConverted)
{
    Fixture f;
    const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    Harvest harvest{.crop = QStringLiteral("Pea"), .date = OVDay(2026, 7, 1), .quantity = 1};
    f.store.save(harvest);
    LedgerEntry cost{.date = OVDay(2026, 1, 1), .item = QStringLiteral("Mix")};
    f.store.save(cost);
    Seed seed{.crop = QStringLiteral("Pea")};
    f.store.save(seed);
    // Values no editor lets through, as a damaged or foreign file may hold them.
    f.store.db().exec(QStringLiteral("UPDATE harvest SET quantity = 1e300; UPDATE ledger SET cost = -1e999;"
                                     "UPDATE seed SET quantity = 9.3e18;"
                                     "INSERT INTO reading (zone_id, taken, light) VALUES (") +
                      QString::number(zone.id) + QStringLiteral(", 0, 1e999)"));

    const QStringList harvestRow = rowsOf(Exporter::harvests(f.store))[1];
    EXPECT_EQ(harvestRow[3].size(), 304); // 301 integer digits, the point, two decimals
    EXPECT_TRUE(harvestRow[3].startsWith(QStringLiteral("1000000000000000052504760255204420248704468581108")));
    EXPECT_TRUE(harvestRow[3].endsWith(QStringLiteral(".00")));
    EXPECT_EQ(rowsOf(Exporter::ledger(f.store))[1][5], QStringLiteral("-inf"));
    EXPECT_EQ(rowsOf(Exporter::seeds(f.store))[1][5], QStringLiteral("9300000000000000000.00"));
    EXPECT_EQ(rowsOf(Exporter::readings(f.store))[1][5], QStringLiteral("inf"));
}

// The eight files come from one snapshot of the store: a harvest saved by another
// connection after the export has begun reading is in none of them, though the
// harvests are read after it was saved.
TEST(ExporterEverything, TablesComeFromTheStoreAsItWasWhenTheExportBegan)
{
    Fixture f;
    f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
    const QString folder = f.dir.file(QStringLiteral("export"));
    JobState job;
    std::optional<OVError> failure;
    {
        const testsupport::SlowJobs slow(150, 0);
        std::thread worker([&] {
            try {
                OVStore own(f.store.path());
                Exporter::everything(own, folder, &job);
            } catch (const OVError& error) {
                failure = error;
            }
        });
        // The second stage begins once the first table has been read.
        QString first;
        for (int i = 0; i < 3000 && (first.isEmpty() || job.stage() == first); ++i) {
            if (first.isEmpty())
                first = job.stage();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        Harvest late{.crop = QStringLiteral("Late crop"), .date = OVDay(2026, 6, 1), .quantity = 1};
        f.store.save(late);
        worker.join();
    }
    ASSERT_FALSE(failure) << failure->errorDescription().toStdString();
    const QString harvests = QString::fromUtf8(testsupport::readAll(QDir(folder).filePath(QStringLiteral("Harvests.csv"))));
    EXPECT_FALSE(harvests.contains(QStringLiteral("Late crop")));
    EXPECT_EQ(rowsOf(harvests).size(), 1); // the header alone
}
