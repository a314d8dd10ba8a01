#include "services/ExportFolder.h"

#include "services/Exporter.h"
#include "services/JobState.h"
#include "store/OVStore.h"

#include "ExportFixture.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <future>
#include <stdio.h>
#include <thread>
#include <utility>
#include <vector>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// Export Everything's folder transaction, seen through the exporter: runs that fail,
// are killed at any step, or meet what a person or another run left in the folder.

namespace {

using Fixture = ExportFixture;

const QByteArray crlf("\r\n");

// The name of the file a descriptor of this process stands for.
QString nameOf(int fd)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd))).fileName();
}

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

// Every entry of `folder` with its bytes; an entry that is no regular file is told
// by its kind (a symbolic link by its target too) and never opened.
QMap<QString, QByteArray> contents(const QDir& folder)
{
    QMap<QString, QByteArray> all;
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat st {};
        char target[4096] = {};
        if (::lstat(path.constData(), &st) != 0)
            all.insert(name, "(gone)");
        else if (S_ISLNK(st.st_mode) && ::readlink(path.constData(), target, sizeof target - 1) >= 0)
            all.insert(name, QByteArray("symbolic link to ") + target);
        else if (S_ISFIFO(st.st_mode))
            all.insert(name, "FIFO");
        else if (S_ISDIR(st.st_mode))
            all.insert(name, "folder");
        else
            all.insert(name, testsupport::readAll(folder.filePath(name)));
    }
    return all;
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

// What an export into `folder` (cancelled from the start when `cancelled`) says when
// it fails with a file error: the path and the reason. Empty, and a failure of the
// test, when it ends otherwise.
QString fileErrorOf(const OVStore& store, const QDir& folder, bool cancelled = false)
{
    JobState job;
    if (cancelled)
        job.requestCancel();
    try {
        Exporter::everything(store, folder.path(), &job);
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::file) << e.what();
        return e.payload();
    } catch (const JobCancelled&) {
    }
    ADD_FAILURE() << "expected a file error";
    return {};
}

void expectFileError(const OVStore& store, const QDir& folder, const QString& target, int error)
{
    EXPECT_EQ(fileErrorOf(store, folder), QDir::toNativeSeparators(folder.filePath(target)) + QStringLiteral(": ") +
                                              QString::fromLocal8Bit(std::strerror(error)));
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

// A record, or a copy of one file, that cannot be made durable fails the export
// before anything is placed, naming the folder or that file: the earlier files stay,
// and nothing of the run is left.
TEST(ExportFolderPlacing, ARecordThatCannotBeSyncedPlacesNothing)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    const auto sync = ExportFolder::syncFile;
    const auto restore = qScopeGuard([&sync] { ExportFolder::syncFile = sync; });
    // The record, then the temporary copy of Seeds.csv, written after two others.
    for (const QString& failing : {QStringLiteral(".record"), QStringLiteral("Seeds.csv")}) {
        SCOPED_TRACE(failing.toStdString());
        int failedSyncs = 0;
        ExportFolder::syncFile = [&](int fd) {
            const QString name = nameOf(fd);
            if (failing.startsWith(u'.') ? !name.endsWith(failing)
                                         : !(name.startsWith(u'.' + failing) && name.endsWith(QStringLiteral(".tmp"))))
                return sync(fd);
            ++failedSyncs;
            return std::make_error_code(std::errc::io_error);
        };
        const QString named = failing.startsWith(u'.') ? folder.path() : folder.filePath(failing);
        EXPECT_EQ(fileErrorOf(f.store, folder),
                  QDir::toNativeSeparators(named) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(EIO)));
        EXPECT_EQ(failedSyncs, 1);
        expectEarlier(folder);
    }
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

// The second names of the earlier files in `folder`.
QStringList secondNamesIn(const QDir& folder)
{
    return folder.entryList({QStringLiteral(".*.orvane-export-*.previous")},
                            QDir::AllEntries | QDir::Hidden | QDir::System);
}

} // namespace

// What a killed export left beside its files goes at the next export into the
// folder, a second name that is an extra link of its name too, though no record of
// the run is left. Other hidden files stay. An earlier file left only under its
// second name, its name empty, by a run with no record goes back, and the rest of the
// run goes, before the export's own reads fail.
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
    try {
        Exporter::everything(f.store, folder.path());
        ADD_FAILURE() << "expected a failed read";
    } catch (const OVError& e) {
        EXPECT_EQ(e.kind(), OVError::Kind::database) << e.what();
    }
    expectEarlier(folder, {mine});
}

// ---- A run killed part way

namespace {

// Calls `before` ahead of each of the exporter's file-system calls (links, renames,
// put-backs and removals), numbered from 1, with the name the call makes or removes.
class EachStep {
public:
    explicit EachStep(std::function<void(int step, const QString& name)> before)
        : m_before(std::move(before)), m_rename(ExportFolder::renameFile), m_link(ExportFolder::linkFile),
          m_noReplace(ExportFolder::renameNoReplace), m_remove(ExportFolder::removeFile)
    {
        ExportFolder::renameFile = [this](const QString& from, const QString& to) {
            m_before(++count, to);
            return m_rename(from, to);
        };
        ExportFolder::renameNoReplace = [this](const QString& from, const QString& to) {
            m_before(++count, to);
            return m_noReplace(from, to);
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
        ExportFolder::renameNoReplace = m_noReplace;
        ExportFolder::removeFile = m_remove;
    }
    EachStep(const EachStep&) = delete;
    EachStep& operator=(const EachStep&) = delete;
    int count = 0;

private:
    std::function<void(int, const QString&)> m_before;
    std::function<std::error_code(const QString&, const QString&)> m_rename, m_link, m_noReplace;
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
    ASSERT_TRUE(testsupport::waitForChild(child, status)) << "the export did not end";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
}

// Runs an export into `folder` in a child process that is killed just before it puts
// its `placing`-th file in place. The folder then holds a mix of new and earlier files.
// A placing after the eighth kills the run once it has placed every file, before its
// first removal: it has finished, and its second names and record are still there.
void exportKilledAtPlacing(const Fixture& f, const QDir& folder, int placing, bool links)
{
    int placings = 0;
    exportKilledAt(f, folder, links, [&placings, placing](int, const QString& name) {
        if (Exporter::fileNames().contains(QFileInfo(name).fileName()))
            return ++placings == placing;
        return placings == 8 && placing > 8;
    });
    if (placing > 1) {
        ASSERT_TRUE(testsupport::readAll(folder.filePath(Exporter::fileNames()[0])).startsWith("Greenhouse,"));
    }
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

    // A day's first export whose fifth placing fails, and whose undo cannot remove
    // the files it placed: its temporaries and record stay, so the next export's tidy
    // empties the folder.
    const QDir first(f.dir.file(QStringLiteral("first")));
    {
        FailingCalls renames(ExportFolder::renameFile, [](int n) { return n == 5; });
        FailingCalls removals(ExportFolder::removeFile, [](int) { return true; });
        expectFileError(f.store, first, Exporter::fileNames()[4], EIO);
    }
    EXPECT_TRUE(first.exists(Exporter::fileNames()[0]));
    expectCancelled(f.store, first);
    EXPECT_EQ(first.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
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

// A put-back that fails, or a file under a name that cannot be read, fails the export
// with that file's error, and everything not yet put back stays as it was: the second
// names and the temporaries alike.
TEST(ExportFolderKilled, AFailedPutBackFailsTheExportAndTouchesNothingElse)
{
    Fixture f;
    const QDir folder = earlierExport(f);
    exportKilledAtPlacing(f, folder, 4, false);
    // A temporary of a name that is put back before the one that fails.
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(leftover(Exporter::fileNames()[0], ".tmp")), "part"));
    QMap<QString, QByteArray> before = contents(folder);
    {
        // A file under a name that cannot be opened or read to tell whether it is the
        // run's own is never taken for a person's.
        const auto read = ExportFolder::readFile;
        const auto open = ExportFolder::openFile;
        const auto restore = qScopeGuard([&] {
            ExportFolder::readFile = read;
            ExportFolder::openFile = open;
        });
        const auto record = [](int fd) {
            return nameOf(fd).endsWith(QStringLiteral(".record"));
        };
        ExportFolder::readFile = [&](int fd, const std::function<bool(QByteArrayView)>& take) {
            return record(fd) ? read(fd, take) : std::make_error_code(std::errc::io_error);
        };
        expectFileError(f.store, folder, Exporter::fileNames()[0], EIO);
        EXPECT_EQ(contents(folder), before);
        ExportFolder::readFile = read;
        ExportFolder::openFile = [&](int pathFd, int& fd) {
            return record(pathFd) ? open(pathFd, fd) : std::make_error_code(std::errc::permission_denied);
        };
        expectFileError(f.store, folder, Exporter::fileNames()[0], EACCES);
    }
    EXPECT_EQ(contents(folder), before);
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

namespace {

#if defined(__x86_64__)
constexpr __u32 auditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr __u32 auditArch = AUDIT_ARCH_AARCH64;
#else
constexpr __u32 auditArch = 0; // no filter is made for this machine
#endif

// Makes renameat2 fail with `renameError` in this process from now on and, without
// `links`, link and linkat with EPERM, as a kernel or file system without them does;
// every other call goes through. For a forked child: the filter stays for the
// process's life. False where no filter could be installed.
bool refuseRenames(int renameError, bool links)
{
    if (auditArch == 0)
        return false;
    std::vector<sock_filter> program{
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        // The numbers of another ABI's calls name other calls: those pass.
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, auditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    const auto refuse = [&program](long call, int error) {
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __u32(call), 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (__u32(error) & SECCOMP_RET_DATA)));
    };
    refuse(__NR_renameat2, renameError);
    if (!links) {
#ifdef __NR_link
        refuse(__NR_link, EPERM);
#endif
        refuse(__NR_linkat, EPERM);
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// How the system takes the put-back's rename: as it is, or with renameat2 refused
// (EINVAL: a file system that cannot rename without replacing; ENOSYS: an old
// kernel), and links refused as well.
struct PutBackRow {
    const char* what;
    int renameError; // 0: nothing refused
    bool links;
};

// What a child's export said, and whether its calls were refused as asked.
struct ChildExport {
    enum { answered, noAnswer, noFilter, filterNotInEffect } setup;
    char said[1024];
};

} // namespace

// An earlier file left only under its second name goes back to its empty name by a
// rename that replaces nothing, however the system takes it: by renameat2, by a link
// and the removal of the second name, or after a last look. It then has one name,
// and the tidy goes on. A person's file saved under the name just before stays, as
// does the second name, and the export fails naming the name.
TEST(ExportFolderKilled, APutBackReplacesNothingHoweverTheSystemRenames)
{
    Fixture f;
    const PutBackRow rows[] = {{"renamed as the system is", 0, true},
                               {"renameat2 refused with EINVAL", EINVAL, true},
                               {"renameat2 refused with ENOSYS", ENOSYS, true},
                               {"renameat2 and links refused", EINVAL, false}};
    const QString plants = QStringLiteral("Plants.csv");
    const QByteArray persons("Crop\r\nBean, saved meanwhile\r\n");
    const QByteArray probe = QFile::encodeName(f.dir.file(QStringLiteral("probe")));
    const QByteArray probed = probe + " renamed";
    int n = 0;
    for (const PutBackRow& row : rows) {
        for (const bool saved : {false, true}) {
            SCOPED_TRACE(testing::Message() << row.what << (saved ? ", a file saved under the name" : ""));
            const QDir folder = earlierExport(f, QStringLiteral("put back %1").arg(++n));
            ASSERT_TRUE(QFile::rename(folder.filePath(plants), folder.filePath(leftover(plants, ".previous"))));
            ASSERT_TRUE(testsupport::writeAll(folder.filePath(leftover(plants, ".tmp")), "new, unfinished"));
            QMap<QString, QByteArray> before = contents(folder);
            const ChildExport child = testsupport::askAnotherProcess<ChildExport>(
                [&] {
                    ChildExport answer{ChildExport::answered, {}};
                    if (row.renameError) {
                        if (!refuseRenames(row.renameError, row.links))
                            return ChildExport{ChildExport::noFilter, {}};
                        // Asked as the put-back asks it: the caller sees the kernel's own error,
                        // ENOSYS too, which glibc's wrapper would tell as EINVAL (RenameAt2.cpp).
                        const bool refused =
                            testsupport::writeAll(QFile::decodeName(probe), "") &&
                            ::renameat2(AT_FDCWD, probe.constData(), AT_FDCWD, probed.constData(),
                                        RENAME_NOREPLACE) != 0 &&
                            errno == row.renameError &&
                            (row.links || (::link(probe.constData(), probed.constData()) != 0 && errno == EPERM));
                        ::unlink(probe.constData());
                        ::unlink(probed.constData());
                        if (!refused)
                            return ChildExport{ChildExport::filterNotInEffect, {}};
                    }
                    // Never closed: the child leaves by _exit.
                    const auto* store = new OVStore(f.dir.file(QStringLiteral("g.sqlite")));
                    EachStep steps([&](int, const QString& name) {
                        if (saved && QFileInfo(name).fileName() == plants && !QFileInfo::exists(name))
                            testsupport::writeAll(name, persons);
                    });
                    QByteArray said = "finished";
                    JobState job;
                    job.requestCancel();
                    try {
                        Exporter::everything(*store, folder.path(), &job);
                    } catch (const JobCancelled&) {
                        said = "cancelled";
                    } catch (const OVError& e) {
                        said = (e.kind() == OVError::Kind::file ? "file error: " : "other error: ") + e.payload().toUtf8();
                    }
                    qstrncpy(answer.said, said.constData(), sizeof answer.said);
                    return answer;
                },
                ChildExport{ChildExport::noAnswer, {}});
            if (child.setup == ChildExport::noFilter)
                GTEST_SKIP() << "this system refuses a seccomp filter, which stands for one that refuses renameat2";
            ASSERT_EQ(child.setup, ChildExport::answered) << "1: no answer in time; 3: the calls were not refused";
            if (saved) {
                EXPECT_EQ(child.said, "file error: " + QDir::toNativeSeparators(folder.filePath(plants)).toStdString() +
                                          ": " + std::strerror(EEXIST));
                before.insert(plants, persons);
                EXPECT_EQ(contents(folder), before);
            } else {
                EXPECT_STREQ(child.said, "cancelled");
                expectEarlier(folder);
            }
        }
    }
}

// A second name never goes while no file stands under its name: a folder there is
// none, whether its run was cut or had finished, and a name emptied while the tidy
// removes the second names keeps its earlier file as well. Beside a folder the export
// fails, since no file can be put over it. Once the name stands empty, the next
// export puts the earlier file back under it and goes through.
TEST(ExportFolderKilled, ASecondNameStaysWhileNoFileStandsUnderItsName)
{
    struct Row {
        const char* what;
        bool links;
        int placing; // the run is killed before it, 9 once it has finished
        bool folderUnderTheName;
    };
    const Row rows[] = {
        {"a folder under a name, cut run", true, 4, true},
        {"a folder under a name, finished run", true, 9, true},
        {"a folder under a name, finished run", false, 9, true},
        {"a name emptied during the removals, finished run", true, 9, false},
        {"a name emptied during the removals, finished run", false, 9, false},
    };
    Fixture f;
    int n = 0;
    // A row whose assertion fails ends; the next one still runs.
    const auto check = [&f, &n](const Row& row) {
        const QDir folder = earlierExport(f, QStringLiteral("export %1").arg(++n));
        exportKilledAtPlacing(f, folder, row.placing, row.links);
        // The cut run's is the first name taken back; the finished run's, the second
        // of its second names to go.
        const QString plain = Exporter::fileNames()[row.placing <= 8 ? 0 : 1];
        const QString name = folder.filePath(plain);
        if (row.folderUnderTheName) {
            ASSERT_TRUE(QFile::remove(name));
            ASSERT_TRUE(QDir().mkdir(name));
            const QMap<QString, QByteArray> before = contents(folder);
            expectFileError(f.store, folder, plain, EISDIR);
            // A cut run is left as it is; a finished one loses all but that second name.
            if (row.placing <= 8) {
                EXPECT_EQ(contents(folder), before);
            }
            ASSERT_TRUE(QDir().rmdir(name));
        } else {
            // The name is emptied as the tidy takes its first step, the removal of
            // the first name's second name.
            EachStep steps([&name](int step, const QString&) {
                if (step == 1) {
                    EXPECT_TRUE(QFile::remove(name));
                }
            });
            expectCancelled(f.store, folder);
            EXPECT_FALSE(QFileInfo::exists(name));
        }
        if (row.placing > 8) {
            const QStringList kept = secondNamesIn(folder);
            ASSERT_EQ(kept.size(), 1) << kept.join(u' ').toStdString();
            EXPECT_EQ(testsupport::readAll(folder.filePath(kept.first())), "earlier " + plain.toUtf8());
        }

        // The earlier file goes back under the name that stands empty.
        expectCancelled(f.store, folder);
        EXPECT_EQ(testsupport::readAll(name), "earlier " + plain.toUtf8());
        if (row.placing <= 8)
            expectEarlier(folder);
        EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
        expectNewExport(folder);
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.what << (row.links ? ", links" : ", no links"));
        check(row);
    }
}

// The open database, its log and its index hard-linked under names beside a cut run
// are a person's files to the tidy: never opened, so the engine keeps its locks (a
// process that closes any descriptor of a file drops all its locks on it), and left
// where they are.
TEST(ExportFolderKilled, TheOpenDatabaseUnderANameIsLeftUnread)
{
    Fixture f;
    f.addHouse(QStringLiteral("North"));
    const QString db = f.dir.file(QStringLiteral("g.sqlite"));
    const QString wal = db + QStringLiteral("-wal"), shm = db + QStringLiteral("-shm");
    ASSERT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
    ASSERT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
    for (const bool links : {true, false}) {
        SCOPED_TRACE(links ? "links" : "no links");
        const QDir folder = earlierExport(f, QStringLiteral("export %1").arg(links));
        exportKilledAtPlacing(f, folder, 4, links);
        // Seeds.csv and Plants.csv hold files the run placed; Harvests.csv it had not reached.
        const QList<QPair<QString, QString>> linked{{QStringLiteral("Seeds.csv"), db},
                                                    {QStringLiteral("Plants.csv"), shm},
                                                    {QStringLiteral("Harvests.csv"), wal}};
        for (const auto& [name, file] : linked) {
            ASSERT_TRUE(QFile::remove(folder.filePath(name)));
            ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(folder.filePath(name)).constData()),
                      0);
        }
        expectCancelled(f.store, folder);
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
        for (const auto& [name, file] : linked) {
            struct stat named {}, live {};
            ASSERT_EQ(::stat(QFile::encodeName(folder.filePath(name)).constData(), &named), 0);
            ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &live), 0);
            EXPECT_EQ(named.st_ino, live.st_ino) << name.toStdString();
        }
    }

    // A hard link of the database renamed under a name between the tidy's check of the
    // file there and its open: the file checked is the file read, so the engine keeps
    // its locks.
    const QDir folder = earlierExport(f, QStringLiteral("export swapped"));
    exportKilledAtPlacing(f, folder, 4, true);
    const QString dbLink = f.dir.file(QStringLiteral("db link"));
    ASSERT_EQ(::link(QFile::encodeName(db).constData(), QFile::encodeName(dbLink).constData()), 0);
    const auto open = ExportFolder::openFile;
    const auto restore = qScopeGuard([&open] { ExportFolder::openFile = open; });
    QString swapped;
    ExportFolder::openFile = [&](int pathFd, int& fd) {
        const QString name = nameOf(pathFd);
        if (swapped.isEmpty() && Exporter::fileNames().contains(name)) {
            swapped = name;
            EXPECT_EQ(::rename(QFile::encodeName(dbLink).constData(), QFile::encodeName(folder.filePath(name)).constData()),
                      0);
        }
        return open(pathFd, fd);
    };
    expectCancelled(f.store, folder);
    EXPECT_FALSE(swapped.isEmpty());
    EXPECT_EQ(testsupport::lockHolderSeenElsewhere(db), getpid());
    EXPECT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
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
// export or nothing yet (each day's first export makes its folder). The earlier
// export is either eight files unlike the run's, or one the exporter wrote from the
// same store, as when a grower exports twice a day: files alike, byte for byte.
struct KillRow {
    bool links;
    bool full;
    bool same = false;
    QString trace() const
    {
        return QStringLiteral("%1, %2").arg(links ? "links" : "no links",
                                             !full ? "first export"
                                             : same ? "over an earlier export of the same tables"
                                                    : "over an earlier export");
    }
    QString folder(const QString& name) const
    {
        return QStringLiteral("%1 %2 %3 %4").arg(name).arg(links).arg(full).arg(same);
    }
};
const KillRow killRows[] = {{true, true},  {false, true},       {true, false},
                            {false, false}, {true, true, true}, {false, true, true}};

// The folder a row's run goes into: an earlier export, or a name with no folder yet.
QDir startingFolder(const Fixture& f, const KillRow& row, const QString& name)
{
    if (!row.full)
        return QDir(f.dir.file(row.folder(name)));
    if (!row.same)
        return earlierExport(f, row.folder(name));
    const QDir folder(f.dir.file(row.folder(name)));
    EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    return folder;
}

// The record a run keeps in `folder`, checked to be whole: a heading, a line for each
// of the eight names (whether a file stood there, and the size and digest of the new
// one), and an end. Empty when there is none or more than one.
QString wholeRecordIn(const QDir& folder, bool earlierFiles)
{
    const QStringList records =
        folder.entryList({QStringLiteral(".orvane-export-*.record")}, QDir::Files | QDir::Hidden);
    if (records.size() != 1)
        return {};
    const QList<QByteArray> lines = testsupport::readAll(folder.filePath(records.first())).split('\n');
    EXPECT_EQ(lines.size(), 11);
    EXPECT_EQ(lines.value(0), "QNMR Orvane export run");
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^%1 [0-9]+ [0-9a-f]{64}$").arg(earlierFiles ? 1 : 0))
                        .match(QString::fromLatin1(lines.value(i)))
                        .hasMatch())
            << lines.value(i).toStdString();
    EXPECT_EQ(lines.value(9), "end");
    EXPECT_EQ(lines.value(10), "");
    return folder.filePath(records.first());
}

RunSteps stepsOfARun(const Fixture& f, const KillRow& row)
{
    const QDir folder = startingFolder(f, row, QStringLiteral("counted"));
    const auto link = ExportFolder::linkFile;
    const auto restore = qScopeGuard([&link] { ExportFolder::linkFile = link; });
    if (!row.links)
        ExportFolder::linkFile = noLink;
    RunSteps run;
    EachStep steps([&](int step, const QString& name) {
        // The record is whole and on the disk before the first file gets a second
        // name or is put in place.
        if (step == 1) {
            EXPECT_FALSE(wholeRecordIn(folder, row.full).isEmpty()) << row.trace().toStdString();
        }
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

// Gives every hidden file of a run in `from` the token `token` and moves it to `to`.
void moveRun(const QDir& from, const QDir& to, const QString& token)
{
    static const QRegularExpression tokenPattern(QStringLiteral("orvane-export-[0-9a-f]{32}"));
    for (QString name : from.entryList(QDir::Files | QDir::Hidden)) {
        if (!name.startsWith(u'.'))
            continue;
        const QString path = from.filePath(name);
        ASSERT_TRUE(QDir().rename(path, to.filePath(name.replace(tokenPattern, QStringLiteral("orvane-export-") + token))));
    }
}

// `folder` with each run's token in the hidden names replaced by its rank among the
// tokens, so that two folders made alike by runs of other tokens compare equal.
QMap<QString, QByteArray> tokensRanked(const QMap<QString, QByteArray>& folder)
{
    static const QRegularExpression tokenPattern(QStringLiteral("orvane-export-([0-9a-f]{32})"));
    QStringList tokens;
    for (const QString& name : folder.keys())
        if (const QRegularExpressionMatch match = tokenPattern.match(name); match.hasMatch())
            tokens.append(match.captured(1));
    tokens.sort();
    tokens.removeDuplicates();
    QMap<QString, QByteArray> ranked;
    for (auto entry = folder.begin(); entry != folder.end(); ++entry) {
        QString name = entry.key();
        if (const QRegularExpressionMatch match = tokenPattern.match(name); match.hasMatch())
            name.replace(match.captured(1), QString::number(tokens.indexOf(match.captured(1))));
        ranked.insert(name, entry.value());
    }
    return ranked;
}

// An export into `folder` cancelled from the start, however it ends: its tidy is
// what it does there.
void tidyOnly(const OVStore& store, const QDir& folder)
{
    JobState job;
    job.requestCancel();
    try {
        Exporter::everything(store, folder.path(), &job);
    } catch (...) {
    }
}

// A folder the tidy cannot simply take back by one whole record, made from an earlier
// export by `make`.
struct OddFolderRow {
    const char* what;
    std::function<void(const Fixture& f, const QDir& folder)> make;
};

// The two whole sets a folder may hold once tidied after a kill: what it held before
// (an earlier export's files, or nothing), and the eight files a run writes.
std::pair<QMap<QString, QByteArray>, QMap<QString, QByteArray>> wholeSets(const Fixture& f, const KillRow& row)
{
    const QMap<QString, QByteArray> earlier =
        row.full ? contents(startingFolder(f, row, QStringLiteral("earlier"))) : QMap<QString, QByteArray>();
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
// next export's: the run it was settling still counts as cut or as finished. So it is
// in folders the tidy cannot take back by one whole record.
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

    // Folders the tidy cannot take back by one whole record: a tidy killed before any
    // of its put-backs and removals leaves what the next one settles as an unbroken
    // tidy does, and no name stands empty.
    const auto removeHidden = [](const QDir& folder, const QString& pattern) {
        for (const QString& name : folder.entryList({pattern}, QDir::Files | QDir::Hidden))
            ASSERT_TRUE(QFile::remove(folder.filePath(name)));
    };
    const auto killedAt = [](int placing, bool links, const QString& damage, const auto& removeHidden) {
        return [=](const Fixture& f, const QDir& folder) {
            exportKilledAtPlacing(f, folder, placing, links);
            removeHidden(folder, damage);
        };
    };
    const auto underPlants = [](bool fifo, bool links) {
        return [=](const Fixture& f, const QDir& folder) {
            const QString plants = folder.filePath(QStringLiteral("Plants.csv"));
            ASSERT_TRUE(QFile::remove(plants));
            if (fifo) {
                ASSERT_EQ(::mkfifo(QFile::encodeName(plants).constData(), 0600), 0);
            } else {
                ASSERT_TRUE(QFile::link(QStringLiteral("Seeds.csv"), plants));
            }
            exportKilledAtPlacing(f, folder, 4, links);
        };
    };
    // A finished run whose second names are still there, and a folder put under a name
    // it placed: that name's second name is the only copy of its earlier file.
    const auto folderUnderPlants = [](bool links) {
        return [=](const Fixture& f, const QDir& folder) {
            exportKilledAtPlacing(f, folder, 9, links);
            const QString plants = folder.filePath(QStringLiteral("Plants.csv"));
            ASSERT_TRUE(QFile::remove(plants));
            ASSERT_TRUE(QDir().mkdir(plants));
        };
    };
    const QString records = QStringLiteral(".orvane-export-*.record"), temporaries = QStringLiteral(".*.tmp");
    const OddFolderRow odd[] = {
        {"record removed, links", killedAt(4, true, records, removeHidden)},
        {"record removed, no links", killedAt(4, false, records, removeHidden)},
        {"record removed, no links, cut at the first placing", killedAt(1, false, records, removeHidden)},
        {"temporaries removed, links", killedAt(4, true, temporaries, removeHidden)},
        {"temporaries removed, no links", killedAt(4, false, temporaries, removeHidden)},
        {"a symbolic link under a name", underPlants(false, false)},
        {"a FIFO under a name", underPlants(true, true)},
        {"a folder under a finished run's name, links", folderUnderPlants(true)},
        {"a folder under a finished run's name, no links", folderUnderPlants(false)},
        {"two cut runs, no links",
         [](const Fixture& f, const QDir& folder) {
             const QDir aside(folder.path() + QStringLiteral(" aside"));
             ASSERT_TRUE(QDir().mkpath(aside.path()));
             exportKilledAtPlacing(f, folder, 1, false);
             moveRun(folder, aside, QString(32, u'0'));
             exportKilledAtPlacing(f, folder, 2, false);
             moveRun(folder, folder, QString(32, u'f'));
             moveRun(aside, folder, QString(32, u'0'));
         }},
    };
    int n = 0;
    for (const OddFolderRow& row : odd) {
        const auto made = [&](const QString& name) {
            const QDir folder = earlierExport(f, QStringLiteral("odd %1 %2").arg(++n).arg(name));
            row.make(f, folder);
            return folder;
        };
        const QDir whole = made(QStringLiteral("unbroken"));
        tidyOnly(f.store, whole);
        const QMap<QString, QByteArray> settled = tokensRanked(contents(whole));
        int tidySteps = 0;
        {
            const QDir counted = made(QStringLiteral("counted"));
            EachStep steps([&tidySteps](int, const QString&) { ++tidySteps; });
            tidyOnly(f.store, counted);
        }
        // A folder that is only refused takes no step at all.
        for (int tidyKilledAt = 1; tidyKilledAt <= tidySteps; ++tidyKilledAt) {
            SCOPED_TRACE(testing::Message() << row.what << ", tidy killed before step " << tidyKilledAt);
            const QDir folder = made(QStringLiteral("killed"));
            exportKilledAt(f, folder, true, [tidyKilledAt](int step, const QString&) { return step == tidyKilledAt; });
            tidyOnly(f.store, folder);
            EXPECT_EQ(tokensRanked(contents(folder)), settled);
        }
        for (const QString& name : Exporter::fileNames())
            EXPECT_TRUE(settled.contains(name)) << row.what << ": " << name.toStdString() << " stands empty";
    }
}

namespace {

// Whether a run left an earlier file under a second name that is neither merely
// another name of the file under its own name nor going back to a name that stands
// empty.
bool keptEarlierFiles(const QDir& folder)
{
    for (const QString& name : folder.entryList({QStringLiteral(".*.previous")}, QDir::Files | QDir::Hidden)) {
        struct stat kept {}, named {};
        const QString target = name.mid(1, name.indexOf(QStringLiteral(".orvane-export-")) - 1);
        if (::stat(QFile::encodeName(folder.filePath(target)).constData(), &named) != 0)
            continue;
        if (::stat(QFile::encodeName(folder.filePath(name)).constData(), &kept) != 0 || kept.st_ino != named.st_ino)
            return true;
    }
    return false;
}

// What `before` becomes when each name that stood empty gets back the one second
// name kept for it.
QMap<QString, QByteArray> withPutBacks(QMap<QString, QByteArray> folder)
{
    for (const QString& name : Exporter::fileNames()) {
        QStringList kept;
        for (const QString& entry : folder.keys())
            if (entry.startsWith(u'.' + name + QStringLiteral(".orvane-export-")) && entry.endsWith(QStringLiteral(".previous")))
                kept.append(entry);
        if (!folder.contains(name) && kept.size() == 1)
            folder.insert(name, folder.take(kept.first()));
    }
    return folder;
}

// Every earlier file's bytes are somewhere in `folder`, under its name or another,
// and no name where one stood is left empty but those a person `emptied`.
void expectEveryEarlierFileIn(const QDir& folder, const QMap<QString, QByteArray>& earlier,
                              const QStringList& emptied = {})
{
    const QMap<QString, QByteArray> now = contents(folder);
    const QList<QByteArray> there = now.values();
    for (auto file = earlier.begin(); file != earlier.end(); ++file) {
        EXPECT_TRUE(there.contains(file.value())) << file.key().toStdString();
        EXPECT_EQ(now.contains(file.key()), !emptied.contains(file.key())) << file.key().toStdString();
    }
}

// The refusal of a folder the tidy cannot account for names the folder, says where
// the earlier files are and the safe ways on, and names no single hidden file. It says
// that the one cut export was taken back when, and only when, `takenBack`, and that
// earlier files were put back under names that stood empty when, and only when, `putBack`.
void expectCannotTell(const QString& error, const QDir& folder, bool putBack, bool takenBack = false)
{
    const QString changed =
        takenBack && putBack ? QStringLiteral(" but for one cut-off export, which was taken back, and earlier files "
                                              "put back under names that stood empty")
        : takenBack          ? QStringLiteral(" but for one cut-off export, which was taken back")
        : putBack            ? QStringLiteral(" but for earlier files put back under names that stood empty")
                             : QString();
    EXPECT_TRUE(error.contains(QStringLiteral(", so nothing in it was changed") + changed + QStringLiteral(". ")))
        << error.toStdString();
    EXPECT_TRUE(error.startsWith(QDir::toNativeSeparators(folder.path()) +
                                 QStringLiteral(": an export into this folder was cut off")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("another folder"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("\".previous\""))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral(".orvane-export-"))) << error.toStdString();
}

// What `folder` becomes when the cut run of `token` is taken back by its record, every
// file of its under a name being its own: each of its second names goes back under its
// name, but for one holding the very bytes there, a mere extra link, which stays.
QMap<QString, QByteArray> withTakeBack(QMap<QString, QByteArray> folder, const QString& token)
{
    for (const QString& name : Exporter::fileNames()) {
        const QString kept = u'.' + name + QStringLiteral(".orvane-export-") + token + QStringLiteral(".previous");
        if (folder.contains(kept) && folder.value(kept) != folder.value(name))
            folder.insert(name, folder.take(kept));
    }
    return folder;
}

// Moves the second names out of `folder`, as the refusal asks, into `to`; returns
// the bytes moved.
QList<QByteArray> moveSecondNamesOut(const QDir& folder, const QDir& to)
{
    EXPECT_TRUE(QDir().mkpath(to.path()));
    QList<QByteArray> moved;
    for (const QString& name : secondNamesIn(folder)) {
        moved.append(contents(folder).value(name));
        EXPECT_TRUE(QDir().rename(folder.filePath(name), to.filePath(name))) << name.toStdString();
    }
    return moved;
}

// What may happen to a cut run: its record removed, cut short or unreadable, or its
// temporaries removed by a cleaning tool (the run then looks finished); or its record
// removed and a folder made under the first name, where the earlier file lies under
// its second name alone by then.
enum class RunDamage {
    recordRemoved,
    recordCutShort,
    recordUnreadable,
    temporariesRemoved,
    recordRemovedBesideAFolder
};

} // namespace

// A cut run that kept earlier files under second names but whose whole record cannot
// be read (removed, cut short, or failing to read) cannot be accounted for: whatever
// step it was killed at, only the second name of a name that stands empty goes back,
// and nothing else is put back or removed. In its own folder the export then fails,
// naming the folder and saying where the earlier files are (an unreadable record is
// named, with its reason); moving the second names out lets the next export through,
// and they are the earlier files. In another day's folder, that folder is left so and
// the export succeeds. A cut run that kept no earlier file under a second name placed
// nothing and is tidied. Either way every earlier file's bytes are still in the
// folder. A run whose temporaries a cleaning tool removed counts as finished, but a
// name it emptied gets its earlier file back. No name is left empty. A second name
// beside a folder under its name is an earlier file kept, not one going back to an
// empty name: the run is left as it is, though it keeps no other.
TEST(ExportFolderKilled, ACutRunWithoutItsWholeRecordIsLeftAsItIs)
{
    Fixture f;
    const QString eio = QString::fromLocal8Bit(std::strerror(EIO));
    for (const KillRow& row : {killRows[0], killRows[1]}) {
        const auto [earlier, placed] = wholeSets(f, row);
        const RunSteps run = stepsOfARun(f, row);
        for (int killedAt = 1; killedAt <= run.lastPlacing; ++killedAt) {
            for (const RunDamage damage : {RunDamage::recordRemoved, RunDamage::recordCutShort,
                                           RunDamage::recordUnreadable, RunDamage::temporariesRemoved,
                                           RunDamage::recordRemovedBesideAFolder}) {
                for (const bool ownFolder : {true, false}) {
                    SCOPED_TRACE(testing::Message()
                                 << row.trace().toStdString() << ", killed before step " << killedAt << ", "
                                 << (damage == RunDamage::recordRemoved      ? "record removed"
                                     : damage == RunDamage::recordCutShort   ? "record cut short"
                                     : damage == RunDamage::recordUnreadable ? "record unreadable"
                                     : damage == RunDamage::temporariesRemoved
                                         ? "temporaries removed"
                                         : "record removed, a folder under the first name")
                                 << (ownFolder ? ", own folder" : ", another day's folder"));
                    const QString out =
                        row.folder(QStringLiteral("unrecorded %1 %2 %3").arg(killedAt).arg(int(damage)).arg(ownFolder)) +
                        u'/';
                    const QDir staged = startingFolder(f, row, QStringLiteral("staged"));
                    exportKilledAt(f, staged, row.links, [killedAt](int step, const QString&) { return step == killedAt; });
                    const QDir folder(f.dir.file(out + Exporter::folderName(OVDay(2026, 11, 1))));
                    ASSERT_TRUE(QDir().mkpath(f.dir.file(out)));
                    ASSERT_TRUE(QDir().rename(staged.path(), folder.path()));
                    const QString record = wholeRecordIn(folder, true);
                    ASSERT_FALSE(record.isEmpty());
                    const QString first = folder.filePath(Exporter::fileNames()[0]);
                    if (damage == RunDamage::recordRemovedBesideAFolder) {
                        // Only once the first name's earlier file has a second name.
                        if (secondNamesIn(folder).filter(u'.' + QFileInfo(first).fileName()).isEmpty())
                            continue;
                        QFile::remove(first); // none stands there where it was moved aside
                        ASSERT_TRUE(QDir().mkdir(first));
                    }
                    if (damage == RunDamage::recordRemoved || damage == RunDamage::recordRemovedBesideAFolder) {
                        ASSERT_TRUE(QFile::remove(record));
                    }
                    if (damage == RunDamage::recordCutShort) {
                        ASSERT_TRUE(QFile::resize(record, QFileInfo(record).size() / 2));
                    }
                    if (damage == RunDamage::temporariesRemoved) {
                        for (const QString& temp : folder.entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden))
                            ASSERT_TRUE(QFile::remove(folder.filePath(temp)));
                    }
                    const bool kept = keptEarlierFiles(folder);
                    const QMap<QString, QByteArray> before = contents(folder);

                    const auto read = ExportFolder::readFile;
                    const auto restore = qScopeGuard([&read] { ExportFolder::readFile = read; });
                    if (damage == RunDamage::recordUnreadable)
                        ExportFolder::readFile = [](int, const std::function<bool(QByteArrayView)>&) {
                            return std::make_error_code(std::errc::io_error);
                        };
                    const bool refused =
                        damage == RunDamage::recordUnreadable || (kept && damage != RunDamage::temporariesRemoved);
                    if (!ownFolder) {
                        EXPECT_EQ(Exporter::everything(f.store, f.dir.file(out + Exporter::folderName(OVDay(2026, 11, 2))))
                                      .size(),
                                  8);
                    } else if (refused) {
                        const QString error = fileErrorOf(f.store, folder, true);
                        if (damage == RunDamage::recordUnreadable)
                            EXPECT_EQ(error, QDir::toNativeSeparators(record) + QStringLiteral(": ") + eio);
                        else
                            expectCannotTell(error, folder, withPutBacks(before) != before);
                    } else {
                        expectCancelled(f.store, folder);
                    }
                    if (refused) {
                        EXPECT_EQ(contents(folder), withPutBacks(before));
                    } else {
                        EXPECT_TRUE(folder.entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden).isEmpty());
                    }
                    // A name a run without hard links emptied holds its earlier file again.
                    for (const QString& name : Exporter::fileNames())
                        if (!before.contains(name)) {
                            EXPECT_EQ(contents(folder).value(name), earlier.value(name)) << name.toStdString();
                        }
                    // A run taken for finished leaves the new files it placed and no
                    // second names, but no name empty.
                    if (damage == RunDamage::temporariesRemoved) {
                        EXPECT_EQ(contents(folder).keys(), earlier.keys());
                    } else {
                        expectEveryEarlierFileIn(folder, earlier);
                    }

                    if (ownFolder && refused && damage != RunDamage::recordUnreadable) {
                        ExportFolder::readFile = read;
                        const QList<QByteArray> moved = moveSecondNamesOut(folder, QDir(f.dir.file(out + "moved")));
                        EXPECT_FALSE(moved.isEmpty());
                        for (const QByteArray& bytes : moved)
                            EXPECT_TRUE(earlier.values().contains(bytes));
                        if (damage == RunDamage::recordRemovedBesideAFolder) {
                            ASSERT_TRUE(QDir().rmdir(first));
                        }
                        EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
                        EXPECT_EQ(contents(folder), placed);
                    }
                }
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
    {
        // A finished run's leftover that still cannot be removed fails no export.
        const QMap<QString, QByteArray> before = contents(folder);
        FailingCalls removals(ExportFolder::removeFile, [](int) { return true; });
        expectCancelled(f.store, folder);
        EXPECT_EQ(contents(folder), before);
    }
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
    // What stands under a name before the run, where the folder held an earlier export.
    std::function<void(const QDir& folder)> before = {};
    int placing = 4; // the run is cut before it
};

const QByteArray mine("Crop\r\nBean, my own\r\n");

} // namespace

// A run cut while placing is taken back by what it recorded, whatever the clocks say:
// what the folder held before comes back (nothing, for a day's first export), except
// under a name whose file is no longer exactly the run's own, which a person changed
// and which stays. A symbolic link or a FIFO that stood under a name goes back as a
// file does, a link that names its own name too. A file of the run's of several MiB
// is told as its own by all its bytes. In the export's own folder as in another day's.
TEST(ExportFolderKilled, TakingARunBackKeepsTheFilesAPersonChangedSince)
{
    Fixture f;
    const auto nothing = [](const QDir&, QMap<QString, QByteArray>&) {};
    const QString plants = QStringLiteral("Plants.csv"), seeds = QStringLiteral("Seeds.csv"),
                  readings = QStringLiteral("Climate readings.csv"), harvests = QStringLiteral("Harvests.csv");
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
    // One character of the run's Seeds.csv changed in place, its size kept; on a day's
    // first export a person also saves Harvests.csv, a name the run had not reached.
    const auto oneCharacterEdited = [&](const QDir& cut, QMap<QString, QByteArray>& expected) {
        QByteArray bytes = testsupport::readAll(cut.filePath(seeds));
        ASSERT_TRUE(bytes.startsWith("Crop"));
        bytes[0] = 'D';
        QFile file(cut.filePath(seeds));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_EQ(file.write(bytes.left(1)), 1);
        expected[seeds] = bytes;
        if (!expected.contains(harvests)) {
            saveOver(cut.filePath(harvests), mine, QDateTime::currentDateTime());
            expected[harvests] = mine;
        }
    };
    // A person's symbolic link under Plants.csv, to a copy of the run's own file
    // beside the folder: the link is no file of the run's.
    const auto symbolicLink = [&](const QDir& cut, QMap<QString, QByteArray>& expected) {
        const QString target = cut.path() + QStringLiteral(" plants");
        ASSERT_TRUE(testsupport::writeAll(target, testsupport::readAll(cut.filePath(plants))));
        ASSERT_TRUE(QFile::remove(cut.filePath(plants)));
        ASSERT_TRUE(QFile::link(target, cut.filePath(plants)));
        expected[plants] = "symbolic link to " + QFile::encodeName(target);
    };

    const auto linkUnderPlants = [&](const QDir& folder) {
        ASSERT_TRUE(QFile::remove(folder.filePath(plants)));
        ASSERT_TRUE(QFile::link(folder.filePath(seeds), folder.filePath(plants)));
    };
    const auto fifoUnderPlants = [&](const QDir& folder) {
        ASSERT_TRUE(QFile::remove(folder.filePath(plants)));
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath(plants)).constData(), 0600), 0);
    };

    // A symbolic link under Plants.csv that names Plants.csv: its second name then points
    // at the run's own file under the name, and is still no other name of that file.
    const auto selfLinkUnderPlants = [&](const QDir& folder) {
        ASSERT_TRUE(QFile::remove(folder.filePath(plants)));
        ASSERT_TRUE(QFile::link(plants, folder.filePath(plants)));
    };
    // Readings enough for a Climate readings.csv of several MiB, read in more than one
    // piece to tell it is the run's own; added once, for the last rows.
    bool readingsAdded = false;
    const auto manyReadings = [&f, &readingsAdded](const QDir&) {
        if (std::exchange(readingsAdded, true))
            return;
        const Zone zone = f.addZone(f.addHouse(QStringLiteral("House")), QStringLiteral("Bench"));
        QList<Reading> batch;
        const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), QTimeZone::utc());
        for (int i = 0; i < 60000; ++i)
            batch.append(Reading{.zoneID = zone.id, .taken = start.addSecs(60 * i),
                                 .values = {{Metric::temp, 60.25 + i % 20}, {Metric::humidity, 40.5 + i % 50}}});
        f.store.addReadings(batch);
    };
    const auto severalMiB = [&](const QDir& cut, QMap<QString, QByteArray>&) {
        EXPECT_GT(QFileInfo(cut.filePath(readings)).size(), 3 << 20);
    };

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
        {"one character edited in place", true, true, true, oneCharacterEdited},
        {"one character edited in place", false, true, false, oneCharacterEdited},
        {"one character edited in place, first export", true, false, true, oneCharacterEdited},
        {"one character edited in place, first export", false, false, true, oneCharacterEdited},
        {"one character edited in place, first export", true, false, false, oneCharacterEdited},
        {"a symbolic link to the run's own bytes", true, true, true, symbolicLink},
        {"a symbolic link to the run's own bytes", false, false, false, symbolicLink},
        // A symbolic link and a FIFO under Plants.csv before the run: they get second
        // names like files, and go back by name, never opened.
        {"a symbolic link under a name before the run", true, true, true, nothing, linkUnderPlants},
        {"a symbolic link under a name before the run", false, true, false, nothing, linkUnderPlants},
        {"a FIFO under a name before the run", true, true, false, nothing, fifoUnderPlants},
        {"a FIFO under a name before the run", false, true, true, nothing, fifoUnderPlants},
        {"a symbolic link under a name to that name", true, true, true, nothing, selfLinkUnderPlants},
        {"a symbolic link under a name to that name", false, true, false, nothing, selfLinkUnderPlants},
        // Cut after placing a Climate readings.csv of several MiB.
        {"its own file of several MiB", true, true, true, severalMiB, manyReadings, 5},
        {"its own file of several MiB", false, true, false, severalMiB, manyReadings, 5},
        {"its own file of several MiB, first export", true, false, true, severalMiB, manyReadings, 5},
    };
    int n = 0;
    for (const TakeBackRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.what << (row.links ? ", links" : ", no links")
                                        << (row.ownFolder ? ", own folder" : ", another day's folder"));
        const QString out = QStringLiteral("out %1/").arg(++n);
        const QString day = out + Exporter::folderName(OVDay(2026, 11, 1));
        const QDir cut = row.full ? earlierExport(f, day) : QDir(f.dir.file(day));
        if (row.before)
            row.before(cut);
        QMap<QString, QByteArray> expected = row.full ? contents(cut) : QMap<QString, QByteArray>();
        exportKilledAtPlacing(f, cut, row.placing, row.links);
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
// later tidy can take the old run for a new one. So does one that cannot remove the
// record alone, which goes last. Once removals work again, an export leaves its
// eight files and nothing hidden.
TEST(ExportFolderKilled, LeftoversThatCannotBeRemovedStopTheExport)
{
    Fixture f;
    // With hard links or without; every removal failing, or the record's alone.
    const std::pair<bool, bool> rows[] = {{true, false}, {false, false}, {true, true}, {false, true}};
    for (const auto& [links, recordAlone] : rows) {
        SCOPED_TRACE(testing::Message() << (links ? "links" : "no links")
                                        << (recordAlone ? ", the record alone fails" : ", every removal fails"));
        const QDir folder = earlierExport(f, QStringLiteral("export %1 %2").arg(links).arg(recordAlone));
        const QMap<QString, QByteArray> earlier = contents(folder);
        exportKilledAtPlacing(f, folder, 4, links);
        {
            const auto remove = ExportFolder::removeFile;
            const auto restore = qScopeGuard([&remove] { ExportFolder::removeFile = remove; });
            int failed = 0;
            ExportFolder::removeFile = [&, recordAlone = recordAlone](const QString& path) {
                if (recordAlone && !path.endsWith(QStringLiteral(".record")))
                    return remove(path);
                ++failed;
                return std::make_error_code(std::errc::io_error);
            };
            const QString error = fileErrorOf(f.store, folder);
            EXPECT_TRUE(error.startsWith(QDir::toNativeSeparators(folder.filePath(QStringLiteral("."))))) << error.toStdString();
            EXPECT_TRUE(error.contains(QStringLiteral(".orvane-export-"))) << error.toStdString();
            if (recordAlone) {
                EXPECT_TRUE(error.endsWith(QStringLiteral(".record: ") + QString::fromLocal8Bit(std::strerror(EIO))))
                    << error.toStdString();
            }
            EXPECT_EQ(failed, 1);
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
                           leftover(QStringLiteral("Seeds.csv"), ".previous\n"),
                           QStringLiteral(".orvane-export-0123456789abcdef0123456789abcdef.record\n")};
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

namespace {

// How two runs come to be cut in one folder holding an earlier export (of the
// greenhouse "A"), or in a day's new folder: whether a greenhouse is added before
// each, at which placing each is killed (9: once it has finished, before its
// removals), whether a person saves a file under a name between them, and whether a
// person removes a file under a name after them. Where `thirdPlacing`, a third run
// follows them, after a greenhouse is added, killed at that placing. Where
// `keptOnceAfter`, a person then moves the second run's second name of that name out
// of the folder and removes the file under it, so that one second name is kept for it.
struct TwoRunsHistory {
    const char* what;
    bool addBeforeFirst;
    int firstPlacing;
    bool addBeforeSecond;
    int secondPlacing;
    QString savedBetween = {};
    bool firstExport = false;
    QString removedAfter = {};
    int thirdPlacing = 0;
    QString keptOnceAfter = {};
};

} // namespace

// Two cut runs in one folder, as only a folder written without the exporter's tidy
// can hold (an earlier version, a copied folder, two computers on a drive without
// locks), cannot be put in the order they ran: whatever the histories and whichever
// token sorts first, with or without hard links, only a name that stands empty gets
// back the one second name kept for it, nothing else is put back or removed, and the
// export fails saying where the earlier files are. Every earlier file and every file a
// person saved is still in the folder, and no name is left empty. So it is with two
// finished runs whose second names are still there, where a name stands empty with
// one of each: neither goes back. With the second names moved out, no run keeps an
// earlier file and none is taken back by its record: the files under the names stay
// as they are and only the runs' hidden files go; the next export goes through. A run
// cut after two finished ones is the one cut run: it is taken back by its record
// before the export fails, and the refusal says so, and no more.
TEST(ExportFolderKilled, SecondNamesOfSeveralCutRunsAreSettledInOnePass)
{
    const QString low(32, u'0'), high(32, u'f'), third(32, u'7');
    const QString greenhouses = Exporter::fileNames()[0];
    const TwoRunsHistory histories[] = {
        {"a greenhouse added before each run", true, 1, true, 2},
        {"no table changed", false, 1, false, 2},
        {"a person saves between the runs", false, 2, false, 2, greenhouses},
        {"one table changed before the first run only", true, 2, false, 3},
        {"tables change", true, 3, true, 3},
        {"a person saves another file between the runs", false, 4, false, 6, QStringLiteral("Plants.csv")},
        {"a day's first export, no table changed", false, 3, false, 2, {}, true},
        {"a day's first export, tables change", true, 3, true, 2, {}, true},
        {"two finished runs, a file removed since", true, 9, true, 9, {}, false, QStringLiteral("Plants.csv")},
        {"two finished runs, no table changed, a file removed since", false, 9, false, 9, {}, false,
         QStringLiteral("Seeds.csv")},
        {"two finished runs and a cut one, a file removed since", true, 9, true, 9, {}, false,
         QStringLiteral("Seeds.csv"), 2},
        {"two finished runs and a cut one, a file removed since, another with one second name", true, 9, true, 9,
         {}, false, QStringLiteral("Seeds.csv"), 2, QStringLiteral("Harvests.csv")},
    };
    for (const TwoRunsHistory& history : histories) {
        for (const bool links : {true, false}) {
            for (const bool firstSortsFirst : {true, false}) {
                SCOPED_TRACE(testing::Message() << history.what << (links ? ", links" : ", no links")
                                                << (firstSortsFirst ? ", first run sorts first" : ", second run sorts first"));
                Fixture f;
                const QDir folder(f.dir.file(QStringLiteral("export")));
                const QDir aside(f.dir.file(QStringLiteral("aside")));
                ASSERT_TRUE(QDir().mkpath(aside.path()));
                f.addHouse(QStringLiteral("A"));
                if (!history.firstExport) {
                    ASSERT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
                }
                const QMap<QString, QByteArray> kept = contents(folder);
                if (history.addBeforeFirst)
                    f.addHouse(QStringLiteral("B"));
                exportKilledAtPlacing(f, folder, history.firstPlacing, links);
                if (!history.savedBetween.isEmpty())
                    saveOver(folder.filePath(history.savedBetween), mine, QDateTime::currentDateTime());
                if (history.addBeforeSecond)
                    f.addHouse(QStringLiteral("C"));
                // The second run does not see the first's leftovers.
                moveRun(folder, aside, firstSortsFirst ? low : high);
                exportKilledAtPlacing(f, folder, history.secondPlacing, links);
                moveRun(folder, folder, firstSortsFirst ? high : low);
                if (history.thirdPlacing) {
                    const QDir second(f.dir.file(QStringLiteral("aside second")));
                    ASSERT_TRUE(QDir().mkpath(second.path()));
                    moveRun(folder, second, firstSortsFirst ? high : low);
                    f.addHouse(QStringLiteral("D"));
                    exportKilledAtPlacing(f, folder, history.thirdPlacing, links);
                    moveRun(folder, folder, third);
                    moveRun(second, folder, firstSortsFirst ? high : low);
                }
                moveRun(aside, folder, firstSortsFirst ? low : high);
                QStringList emptied;
                if (!history.removedAfter.isEmpty()) {
                    ASSERT_TRUE(QFile::remove(folder.filePath(history.removedAfter)));
                    emptied.append(history.removedAfter);
                }
                if (!history.keptOnceAfter.isEmpty()) {
                    const QString secondRuns = u'.' + history.keptOnceAfter + QStringLiteral(".orvane-export-") +
                                               (firstSortsFirst ? high : low) + QStringLiteral(".previous");
                    ASSERT_TRUE(QDir().rename(folder.filePath(secondRuns), aside.filePath(secondRuns)));
                    ASSERT_TRUE(QFile::remove(folder.filePath(history.keptOnceAfter)));
                }
                const QMap<QString, QByteArray> before = contents(folder);
                const QMap<QString, QByteArray> taken = history.thirdPlacing ? withTakeBack(before, third) : before;

                expectCannotTell(fileErrorOf(f.store, folder, true), folder, withPutBacks(taken) != taken,
                                 taken != before);
                EXPECT_EQ(contents(folder), withPutBacks(taken));
                expectEveryEarlierFileIn(folder, kept, emptied);
                if (!history.savedBetween.isEmpty()) {
                    EXPECT_TRUE(contents(folder).values().contains(mine));
                }

                EXPECT_FALSE(moveSecondNamesOut(folder, QDir(f.dir.file(QStringLiteral("moved")))).isEmpty());
                QMap<QString, QByteArray> named = contents(folder);
                named.removeIf([](const auto& entry) { return entry.key().startsWith(u'.'); });
                expectCancelled(f.store, folder);
                EXPECT_EQ(contents(folder), named);
                EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
                expectNewExport(folder);
            }
        }
    }

    // The first run's second name of Greenhouses and zones.csv made to hold what the
    // second run placed there: nothing is put back or removed either.
    Fixture f;
    const QDir folder(f.dir.file(QStringLiteral("export")));
    const QDir aside(f.dir.file(QStringLiteral("aside")));
    ASSERT_TRUE(QDir().mkpath(aside.path()));
    f.addHouse(QStringLiteral("A"));
    ASSERT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
    f.addHouse(QStringLiteral("B"));
    exportKilledAtPlacing(f, folder, 3, true);
    f.addHouse(QStringLiteral("C"));
    moveRun(folder, aside, low);
    exportKilledAtPlacing(f, folder, 3, true);
    moveRun(aside, folder, low);
    ASSERT_TRUE(testsupport::writeAll(folder.filePath(u'.' + greenhouses + QStringLiteral(".orvane-export-") + low +
                                                      QStringLiteral(".previous")),
                                      testsupport::readAll(folder.filePath(greenhouses))));
    const QMap<QString, QByteArray> before = contents(folder);
    expectCannotTell(fileErrorOf(f.store, folder, true), folder, false);
    EXPECT_EQ(contents(folder), before);
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
        ::close(placing[0]);
        ::close(go[1]);
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
    testsupport::ChildGuard guard{child};
    ::close(placing[1]);
    ::close(go[0]);
    // A child that has ended makes a write to its pipe fail rather than end the test.
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    const auto closing = qScopeGuard([&] {
        ::close(placing[0]);
        ::close(go[1]);
        std::signal(SIGPIPE, oldPipeHandler);
    });
    bool letGo = false;
    const auto letTheFirstGo = [&] { return std::exchange(letGo, true) || ::write(go[1], "g", 1) == 1; };
    char byte = 0;
    ASSERT_TRUE(testsupport::readWithin(placing[0], &byte, 1, 10000)) << "the first export never began to place its files";
    const QMap<QString, QByteArray> during = contents(folder);
    for (const int day : {1, 2}) {
        // Tried on a thread of its own with a connection of its own, so that an export
        // that waits for the lock fails the test instead of hanging it: the first is
        // then let go, or killed, and the wait ends. One that still has not ended is
        // left to run on a detached thread, whose future (unlike std::async's) never
        // waits for it: it holds copies of the names alone, nothing of this test, and
        // ends with the process.
        std::packaged_task<QString()> task([database = f.dir.file(QStringLiteral("g.sqlite")),
                                            target = f.dir.file(QStringLiteral("out/") +
                                                                Exporter::folderName(OVDay(2026, 11, day)))] {
            OVStore store(database);
            try {
                Exporter::everything(store, target);
                return QStringLiteral("exported");
            } catch (const OVError& e) {
                return e.errorDescription();
            }
        });
        std::future<QString> attempt = task.get_future();
        std::thread(std::move(task)).detach();
        if (attempt.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the second export waited for the first";
            EXPECT_TRUE(letTheFirstGo());
            // A first export that never ends is killed: its lock goes with it.
            if (attempt.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
                ::kill(child, SIGKILL);
            if (attempt.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                ADD_FAILURE() << "the second export did not end, though the first was killed";
                return;
            }
        }
        EXPECT_EQ(attempt.get(),
                  QStringLiteral("Another export is being written into this folder; try again when it has finished."));
    }
    EXPECT_EQ(contents(folder), during);
    EXPECT_FALSE(QDir(f.dir.file(QStringLiteral("out/") + Exporter::folderName(OVDay(2026, 11, 2)))).exists());
    ASSERT_TRUE(letTheFirstGo());
    int status = 0;
    ASSERT_TRUE(testsupport::waitForChild(child, status)) << "the first export did not end";
    guard.pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    expectNewExport(folder);
}

// Where the file system refuses the lock for another reason than another export's
// (NFS refuses an exclusive lock on a folder opened for reading: EBADF; or no locks
// are to be had: ENOLCK), the export goes on without it.
TEST(ExportFolderLock, ALockTheFileSystemRefusesIsDoneWithout)
{
    Fixture f;
    for (const std::errc refusal : {std::errc::bad_file_descriptor, std::errc::no_lock_available}) {
        const auto lock = ExportFolder::lockFolder;
        const auto restore = qScopeGuard([&lock] { ExportFolder::lockFolder = lock; });
        ExportFolder::lockFolder = [refusal](int) { return std::make_error_code(refusal); };
        const QDir folder(f.dir.file(QStringLiteral("out %1/").arg(int(refusal)) + Exporter::folderName(OVDay(2026, 11, 1))));
        EXPECT_EQ(Exporter::everything(f.store, folder.path()).size(), 8);
        expectNewExport(folder);
    }
}

