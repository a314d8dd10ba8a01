#include "kit/QtFilePanels.h"
#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "services/Opener.h"
#include "store/OVStore.h"
#include "store/SQLiteDB.h"

#include "TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMap>
#include <QPointer>
#include <QProcess>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Puts a backend with fixed answers in force and records what it was asked.
class FakePanels {
public:
    explicit FakePanels(std::optional<QString> answer)
    {
        m_saved = FilePanels::backend();
        FilePanels::backend().save = [this, answer](const QString& name, const QList<FileType>& types) {
            askedName = name;
            askedTypes = types;
            return answer;
        };
        FilePanels::backend().reveal = [this](const QString& path) { revealed.append(path); };
        AppModel::shared().clearMessage();
    }
    ~FakePanels() { FilePanels::backend() = m_saved; }

    QString askedName;
    QList<FileType> askedTypes;
    QStringList revealed;

private:
    FilePanels::Backend m_saved;
};

} // namespace

TEST(FilePanelsExport, CancelWritesNothingAndSaysNothing)
{
    FakePanels panels(std::nullopt);
    int notices = 0;
    const QMetaObject::Connection counter =
        QObject::connect(&AppModel::shared(), &AppModel::messageChanged, [&notices] { ++notices; });
    FilePanels::exportCSV(QStringLiteral("a,b\r\n"), QStringLiteral("Plants.csv"));
    FilePanels::exportData(QByteArray("%PDF"), QStringLiteral("Yield.pdf"), FileType::pdf());
    EXPECT_EQ(panels.askedName, QStringLiteral("Yield.pdf"));
    EXPECT_EQ(panels.askedTypes, QList<FileType>{FileType::pdf()});
    QObject::disconnect(counter);
    EXPECT_EQ(notices, 0);
    EXPECT_FALSE(AppModel::shared().message().has_value());
    EXPECT_TRUE(panels.revealed.isEmpty());
}

TEST(FilePanelsExport, CsvReplacesAnExistingFileWholeAndRevealsIt)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Plants.csv"));
    ASSERT_TRUE(testsupport::writeAll(path, QByteArray(10000, 'x')));
    FakePanels panels(path);
    const QString text = QStringLiteral("Crop,Notes\r\nTomato,Côte d’Or\r\n");
    FilePanels::exportCSV(text, QStringLiteral("Plants.csv"));
    EXPECT_EQ(panels.askedName, QStringLiteral("Plants.csv"));
    EXPECT_EQ(panels.askedTypes, QList<FileType>{FileType::commaSeparatedText()});
    EXPECT_EQ(testsupport::readAll(path), text.toUtf8());
    EXPECT_EQ(panels.revealed, QStringList{path});
    EXPECT_FALSE(AppModel::shared().message().has_value());
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Plants.csv")});
}

TEST(FilePanelsExport, FailedWriteBecomesTheNoticeAndKeepsTheOldFile)
{
    testsupport::ScratchDir dir;
    // A file where a folder should be: no write can succeed, whoever runs the test.
    const QString blocker = dir.file(QStringLiteral("blocker"));
    ASSERT_TRUE(testsupport::writeAll(blocker, "keep"));
    FakePanels panels(blocker + QStringLiteral("/Plants.csv"));
    FilePanels::exportCSV(QStringLiteral("a\r\n"), QStringLiteral("Plants.csv"));
    ASSERT_TRUE(AppModel::shared().message().has_value());
    EXPECT_TRUE(AppModel::shared().message()->startsWith(QStringLiteral("The file could not be saved: ")));
    EXPECT_GT(AppModel::shared().message()->size(), QStringLiteral("The file could not be saved: ").size());
    EXPECT_TRUE(panels.revealed.isEmpty());

    AppModel::shared().clearMessage();
    FilePanels::exportData(QByteArray("%PDF"), QStringLiteral("Yield.pdf"), FileType::pdf());
    ASSERT_TRUE(AppModel::shared().message().has_value());
    EXPECT_TRUE(AppModel::shared().message()->startsWith(QStringLiteral("The file could not be saved: ")));
    EXPECT_EQ(testsupport::readAll(blocker), QByteArray("keep"));
}

// Neither export is ever saved over the open database or a side file of it: the
// store would go on in a file that no longer has a name. The files are compared by
// stat alone: reading them here would drop the engine's locks on them. The -journal
// file, which the write-ahead log never makes, is refused by its name: no file may
// be made under it either. The database is opened through a symbolic link to its
// folder; another link and the folder itself reach the same names.
TEST(FilePanelsExport, TheOpenDatabaseIsNeverSavedOver)
{
    testsupport::ScratchDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("real"))));
    for (const QString& link : {QStringLiteral("linked"), QStringLiteral("also linked")})
        ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("real")), dir.file(link)));
    OVStore store(dir.file(QStringLiteral("linked/Greenhouse.sqlite")));
    Greenhouse house{.name = QStringLiteral("House")};
    store.save(house);
    OVStore::setShared(&store);
    const auto unshare = qScopeGuard([] { OVStore::setShared(nullptr); });
    ASSERT_FALSE(testsupport::stampOf(store.path() + QStringLiteral("-journal")).exists);
    for (const QString& path :
         {store.path(), store.path() + QStringLiteral("-wal"), store.path() + QStringLiteral("-shm"),
          store.path() + QStringLiteral("-journal"), dir.file(QStringLiteral("also linked/Greenhouse.sqlite-journal")),
          dir.file(QStringLiteral("real/Greenhouse.sqlite-journal"))}) {
        const testsupport::FileStamp before = testsupport::stampOf(path);
        for (const bool csv : {true, false}) {
            SCOPED_TRACE(testing::Message() << (csv ? "CSV into " : "PDF into ") << path.toStdString());
            FakePanels panels(path);
            if (csv)
                FilePanels::exportCSV(QStringLiteral("a\r\n"), QStringLiteral("Plants.csv"));
            else
                FilePanels::exportData(QByteArray("%PDF"), QStringLiteral("Yield.pdf"), FileType::pdf());
            EXPECT_EQ(AppModel::shared().message(),
                      QStringLiteral("The file could not be saved: choose a file other than the open database."));
            EXPECT_EQ(testsupport::stampOf(path), before);
            EXPECT_TRUE(panels.revealed.isEmpty());
        }
    }
    EXPECT_EQ(store.greenhouses().size(), 1);
    EXPECT_EQ(testsupport::lockHolderSeenElsewhere(store.path()), getpid());
    EXPECT_EQ(testsupport::lockHolderSeenElsewhere(store.path() + QStringLiteral("-shm")), getpid());
}

TEST(FilePanelsExport, DataIsWrittenAsGiven)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Yield.pdf"));
    FakePanels panels(path);
    const char raw[] = "%PDF-1.4\n\0\xff binary";
    const QByteArray bytes(raw, sizeof raw - 1); // the NUL inside included
    FilePanels::exportData(bytes, QStringLiteral("Yield.pdf"), FileType::pdf());
    EXPECT_EQ(testsupport::readAll(path), bytes);
    EXPECT_EQ(panels.revealed, QStringList{path});
}

// A file of several megabytes, written in pieces that end on and across the
// megabyte marks at which the written part is sent to the disk, arrives whole.
TEST(FilePanelsExport, BigFileWrittenInPiecesArrivesWhole)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Readings.csv"));
    QByteArray bytes(3 * (1 << 20) + 12345, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919) % 251);
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    qsizetype at = 0;
    for (const qsizetype piece : {qsizetype(1 << 20), qsizetype(65536), qsizetype(1 << 20), qsizetype(999999)})
        ASSERT_TRUE(FilePanels::writeAll(file, bytes.mid(std::exchange(at, at + piece), piece)));
    ASSERT_TRUE(FilePanels::writeAll(file, bytes.mid(at)));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(testsupport::readAll(path), bytes);
}

TEST(FilePanelsDialogs, WithoutAnInterfaceEveryDialogIsCancelled)
{
    const FilePanels::Backend saved = FilePanels::backend();
    FilePanels::backend().save = nullptr;
    FilePanels::backend().open = nullptr;
    FilePanels::backend().folder = nullptr;
    EXPECT_FALSE(FilePanels::save(QStringLiteral("x.csv"), {FileType::commaSeparatedText()}));
    EXPECT_FALSE(FilePanels::open({FileType::image()}, QStringLiteral("Choose a photo of this plant")));
    EXPECT_FALSE(FilePanels::folder(QStringLiteral("Choose a folder for the CSV files")));
    FilePanels::backend() = saved;
}

TEST(FilePanelsExport, FailedDataWriteKeepsTheOldFileWhole)
{
    testsupport::ScratchDir dir;
    const QString path = dir.file(QStringLiteral("Yield.pdf"));
    ASSERT_TRUE(testsupport::writeAll(path, "old report"));
    FakePanels panels(path);
    // Every file this process writes is capped at 16 KiB for the moment: the write
    // fails part way through with EFBIG, as root too.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = old;
    capped.rlim_cur = 16 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);
    FilePanels::exportData(QByteArray(64 * 1024, 'x'), QStringLiteral("Yield.pdf"), FileType::pdf());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(AppModel::shared().message().has_value());
    EXPECT_EQ(*AppModel::shared().message(),
              FilePanels::saveFailedMessage(QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(testsupport::readAll(path), QByteArray("old report"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Yield.pdf")});
    EXPECT_TRUE(panels.revealed.isEmpty());
}

// ---- The desktop's dialogs beside the open database ------------------------------------

namespace {

// The data folder as the program keeps it: the store open in the write-ahead log with
// a reading saved, so the engine holds its locks on the database and on its -shm
// file, and beside them a safety copy, a CSV file and a file with no name ending.
struct DataFolder {
    testsupport::ScratchDir dir;
    QString db = dir.file(QStringLiteral("Greenhouse.sqlite"));
    std::unique_ptr<OVStore> store = std::make_unique<OVStore>(db);
    qint64 zoneID = 0;

    DataFolder()
    {
        Greenhouse house;
        house.name = QStringLiteral("North");
        store->save(house);
        Zone zone;
        zone.greenhouseID = house.id;
        zone.name = QStringLiteral("Propagation");
        store->save(zone);
        zoneID = zone.id;
        saveReading(*store, 55.0);
        store->backup(QUrl::fromLocalFile(dir.file(QStringLiteral("Before restore 2026-03-07 101500.sqlite"))));
        testsupport::writeAll(dir.file(QStringLiteral("Readings.csv")), "Timestamp,Humidity\r\n");
        testsupport::writeAll(dir.file(QStringLiteral("notes")), "water on Sunday");
    }

    void saveReading(OVStore& into, double humidity) const
    {
        Reading reading;
        reading.zoneID = zoneID;
        reading.values = {{Metric::humidity, humidity}};
        into.save(reading);
    }
};

// What one of the desktop's dialogs showed of a folder.
struct PanelListing {
    bool listed = false;          // a file dialog came up and listed the folder
    bool qtDialog = false;        // it was Qt's own (DontUseNativeDialog)
    QMap<QString, QString> types; // the Type column of every entry listed, by name
};

// How long a dialog has to come up and list the folder before it is cancelled.
constexpr int panelListingMs = 10000;

// Runs `show`, which brings up one of the desktop's dialogs modally, turns the dialog
// to `folder` with every entry shown, whatever its name filter, and cancels it once
// the folder is listed and the icon and type of every entry have been asked for, as
// the view does when it draws them. The dialog is looked for until it comes up;
// after panelListingMs whatever modal dialog is up, or comes up later, is cancelled.
PanelListing listInPanel(const QString& folder, const std::function<void()>& show)
{
    PanelListing seen;
    QPointer<QFileDialog> dialog;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (seen.listed || clock.elapsed() > panelListingMs) {
            if (auto* up = qobject_cast<QDialog*>(modal))
                up->reject();
            return;
        }
        auto* shown = dialog ? nullptr : qobject_cast<QFileDialog*>(modal);
        auto* model = shown ? shown->findChild<QFileSystemModel*>() : nullptr;
        if (!model)
            return;
        dialog = shown;
        seen.qtDialog = shown->testOption(QFileDialog::DontUseNativeDialog);
        QObject::connect(model, &QFileSystemModel::directoryLoaded, shown, [&, model](const QString& path) {
            if (QFileInfo(path) != QFileInfo(folder))
                return;
            const QModelIndex parent = model->index(path);
            for (int row = 0; row < model->rowCount(parent); ++row) {
                model->data(model->index(row, 0, parent), Qt::DecorationRole);
                seen.types.insert(model->index(row, 0, parent).data().toString(),
                                  model->index(row, 2, parent).data().toString());
            }
            seen.listed = true;
        });
        model->setNameFilters({});
        model->setFilter(model->filter() | QDir::Files);
        shown->setDirectory(folder);
    });
    poll.start();
    show();
    return seen;
}

void showSavePanel() { QtFilePanels::backend().save(QStringLiteral("Greenhouse.ovbackup"), {FileType::backup()}); }

void showOpenPanel()
{
    QtFilePanels::backend().open({FileType::backup(), FileType{QStringLiteral("All files"), {QStringLiteral("*")}}},
                                 QStringLiteral("Choose a QNMR Orvane backup (.ovbackup)"));
}

void showFolderPanel() { QtFilePanels::backend().folder(QStringLiteral("Choose a folder for the CSV files")); }

// The readings another program finds when it opens the database, reads and closes
// it, as a backup script does (the sqlite3 command line); -1 when it could not.
qint64 readingsSeenElsewhere(const QString& db)
{
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {db, QStringLiteral("SELECT count(*) FROM reading;")});
    // Killed and reaped by the QProcess when it takes longer.
    if (!sqlite.waitForFinished(5000) || sqlite.exitStatus() != QProcess::NormalExit || sqlite.exitCode() != 0)
        return -1;
    bool ok = false;
    const qint64 n = sqlite.readAllStandardOutput().trimmed().toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace

// Closing any descriptor of a file drops every lock the process holds on it, the
// engine's included: a dialog that opened the files it lists to tell their types
// would leave the database unguarded, for the next program that closes it to take
// its log away.
TEST(QtFilePanelsListing, PanelOnTheDatabaseFolderLeavesTheEngineItsLocks)
{
    const struct {
        const char* name;
        void (*show)();
    } panels[] = {{"save", showSavePanel}, {"open", showOpenPanel}, {"folder", showFolderPanel}};
    for (const auto& panel : panels) {
        SCOPED_TRACE(panel.name);
        DataFolder data;
        const QString shm = data.db + QStringLiteral("-shm");
        ASSERT_TRUE(QFileInfo::exists(data.db + QStringLiteral("-wal")));
        ASSERT_EQ(testsupport::lockHolderSeenElsewhere(data.db), getpid());
        ASSERT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());

        const PanelListing listing = listInPanel(data.dir.path(), panel.show);
        ASSERT_TRUE(listing.listed);
        // Qt's own dialog: a desktop's dialog in this process would read the files to
        // type them. A name no pattern places is typed by its ending, not "unknown".
        EXPECT_TRUE(listing.qtDialog);
        EXPECT_EQ(listing.types.value(QStringLiteral("Greenhouse.sqlite")).toStdString(), "sqlite File");

        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(data.db), getpid());
        EXPECT_EQ(testsupport::lockHolderSeenElsewhere(shm), getpid());
    }
}

namespace {

// The program's side of the test below runs in a process of its own, made by exec
// rather than a bare fork, so that the dialog starts as it does in the program,
// whatever threads the tests before it left in this one. It is told the database,
// the zone and its two pipe ends through this variable.
constexpr const char* programRole = "OV_TEST_PANEL_PROGRAM";

// Shows a panel on the data folder, tells the test, saves a reading when told to,
// tells it again, and waits to be killed.
[[noreturn]] void runPanelProgram(const QString& role)
{
    const QStringList parts = role.split(u'\n');
    if (parts.size() != 4)
        _exit(5);
    const QString db = parts[0];
    const int told = parts[2].toInt(), go = parts[3].toInt();
    char step = 'x';
    try {
        OVStore store(db);
        if (listInPanel(QFileInfo(db).path(), showOpenPanel).listed)
            step = 'l';
        if (write(told, &step, 1) != 1 || read(go, &step, 1) != 1)
            _exit(4);
        Reading reading;
        reading.zoneID = parts[1].toLongLong();
        reading.values = {{Metric::humidity, 77.0}};
        store.save(reading);
        step = 's';
        if (write(told, &step, 1) == 1)
            read(go, &step, 1); // until killed
    } catch (...) {
    }
    _exit(3);
}

} // namespace

// The same as a grower meets it. The program (a child here) shows a panel on its data
// folder; a backup script opens the database, reads it and closes it; the program
// saves a reading, told it is done, and is killed. The script must not have taken
// itself for the last user and deleted the log the save then went into.
TEST(QtFilePanelsListing, SaveAfterAnotherProgramClosedTheDatabaseOutlivesAKill)
{
    if (const char* role = std::getenv(programRole))
        runPanelProgram(QString::fromLocal8Bit(role));
    DataFolder data;
    data.store.reset();
    int told[2];
    int go[2];
    ASSERT_EQ(pipe(told), 0);
    ASSERT_EQ(pipe(go), 0);
    const QByteArray role = QFile::encodeName(data.db) + '\n' + QByteArray::number(data.zoneID) + '\n' +
                            QByteArray::number(told[1]) + '\n' + QByteArray::number(go[0]);
    const QByteArray filter = QByteArray("--gtest_filter=") +
                              testing::UnitTest::GetInstance()->current_test_suite()->name() + '.' +
                              testing::UnitTest::GetInstance()->current_test_info()->name();
    testsupport::ChildGuard program{fork()};
    ASSERT_GE(program.pid, 0);
    if (program.pid == 0) {
        close(told[0]);
        close(go[1]);
        setenv(programRole, role.constData(), 1);
        execl("/proc/self/exe", "orvane_tests", filter.constData(), static_cast<char*>(nullptr));
        _exit(6);
    }
    close(told[1]);
    close(go[0]);
    const auto closePipes = qScopeGuard([&] {
        close(told[0]);
        close(go[1]);
    });
    // Each step has the time the panel has to list the folder and some more to start.
    constexpr int stepMs = panelListingMs + 5000;
    char step = 0;
    ASSERT_TRUE(testsupport::readWithin(told[0], &step, 1, stepMs));
    ASSERT_EQ(step, 'l');

    EXPECT_EQ(readingsSeenElsewhere(data.db), 1);
    ASSERT_EQ(write(go[1], &step, 1), 1);
    ASSERT_TRUE(testsupport::readWithin(told[0], &step, 1, stepMs));
    ASSERT_EQ(step, 's');
    kill(program.pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(program.pid, &status, 0), program.pid);
    program.pid = 0;
    ASSERT_TRUE(WIFSIGNALED(status));

    OVStore reopened(data.db);
    QList<double> humidities;
    for (const Reading& reading : reopened.readings(data.zoneID))
        humidities.append(reading.values.at(Metric::humidity));
    std::sort(humidities.begin(), humidities.end());
    EXPECT_EQ(humidities, (QList<double>{55.0, 77.0}));
}

// ---- Revealing a file ----------------------------------------------------------------

namespace {

// Records the folders handed to Opener::showFolder while it lives.
class FolderRecorder {
public:
    FolderRecorder() : m_saved(Opener::showFolder)
    {
        Opener::showFolder = [this](const QUrl& url) { shown.append(url); };
    }
    ~FolderRecorder() { Opener::showFolder = m_saved; }
    // Runs the event loop until a folder was shown or `ms` have passed.
    bool waitForOne(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (shown.isEmpty() && clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !shown.isEmpty();
    }

    QList<QUrl> shown;

private:
    Opener::Handler m_saved;
};

// A file manager that takes the ShowItems call and never answers it.
class SilentFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList asked;

public slots:
    void ShowItems(const QStringList& uris, const QString&, const QDBusMessage& message)
    {
        message.setDelayedReply(true);
        asked += uris;
    }
};

} // namespace

TEST(FilePanelsReveal, WithoutASessionBusTheFolderGoesThroughOpener)
{
    if (QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "a session bus is present (covered by RevealBus.*)";
    testsupport::ScratchDir dir;
    const QString file = dir.file(QStringLiteral("Plants.csv"));
    FolderRecorder folders;
    FilePanels::revealInFileManager(file);
    EXPECT_EQ(folders.shown, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

// On a private session bus (ctest runs these under dbus-run-session with
// OV_PRIVATE_BUS=1; elsewhere they skip).
class RevealBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("OV_PRIVATE_BUS") != QLatin1String("1"))
            GTEST_SKIP() << "needs a private session bus (ctest test RevealBus.PrivateSession)";
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    }
};

// No file manager on the bus: the call returns at once and the folder is opened
// through Opener when the bus has answered with an error.
TEST_F(RevealBus, NoFileManagerOpensTheFolderThroughOpenerLater)
{
    testsupport::ScratchDir dir;
    FolderRecorder folders;
    FilePanels::revealInFileManager(dir.file(QStringLiteral("Plants.csv")));
    EXPECT_TRUE(folders.shown.isEmpty());
    ASSERT_TRUE(folders.waitForOne(5000));
    EXPECT_EQ(folders.shown, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

// A file manager that does not answer never holds up the caller (the window's thread).
TEST_F(RevealBus, SilentFileManagerDoesNotBlockTheCaller)
{
    const QString name = QStringLiteral("ov-silent-file-manager");
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    SilentFileManager manager;
    ASSERT_TRUE(connection.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(connection.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    testsupport::ScratchDir dir;
    const QString file = dir.file(QStringLiteral("Plants.csv"));
    FolderRecorder folders;
    QElapsedTimer clock;
    clock.start();
    FilePanels::revealInFileManager(file);
    // A blocking call would wait for the bus's 25 s timeout.
    EXPECT_LT(clock.elapsed(), 10000);
    while (manager.asked.isEmpty() && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(manager.asked, QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(folders.shown.isEmpty());

    connection.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    connection.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    QDBusConnection::disconnectFromBus(name);
}

#include "FilePanelsTest.moc"
