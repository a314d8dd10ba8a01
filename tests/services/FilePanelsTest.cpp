#include "services/AppModel.h"
#include "services/FilePanels.h"
#include "services/Opener.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>
#include <sys/resource.h>

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
