#include "services/AppModel.h"
#include "services/FilePanels.h"

#include "TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
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
    const QByteArray bytes("%PDF-1.4\n\0\xff binary", 20);
    FilePanels::exportData(bytes, QStringLiteral("Yield.pdf"), FileType::pdf());
    EXPECT_EQ(testsupport::readAll(path), bytes);
    EXPECT_EQ(panels.revealed, QStringList{path});
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
