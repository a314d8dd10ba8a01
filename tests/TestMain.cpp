// Test entry: every test process gets its own scratch home, settings and data
// folders before Qt starts, so no test can touch the user's real files. Every test
// also gets a settings folder of its own, so tests run in one process (the binary
// without a filter) see no settings left by the tests before them.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const parentScratch = "ORVANE_TEST_PARENT_SCRATCH";

class FreshSettingsPerTest : public ::testing::EmptyTestEventListener {
public:
    explicit FreshSettingsPerTest(QString root) : m_root(std::move(root)) {}

    void OnTestStart(const ::testing::TestInfo&) override
    {
        const QString folder = m_root + QStringLiteral("/config-") + QString::number(++m_count);
        QDir().mkpath(folder);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
        // QSettings keeps the folder it found first; this makes it look again.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    }

private:
    QString m_root;
    int m_count = 0;
};

} // namespace

int main(int argc, char** argv)
{
    // A test that runs this program again (a death test in the threadsafe style) has
    // its child leave by _Exit, past the removal of the child's scratch folder: the
    // child makes its folder inside this one, which goes when this process ends.
    const QString parent = qEnvironmentVariable(parentScratch);
    const QString base = !parent.isEmpty() && QFileInfo(parent).isDir() ? parent : QDir::tempPath();
    QTemporaryDir scratch(base + QStringLiteral("/ov-test-XXXXXX"));
    if (!scratch.isValid())
        return 2;
    const QByteArray root = scratch.path().toUtf8();
    qputenv(parentScratch, root);
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qunsetenv("OV_DB_PATH");
    qunsetenv("OV_SELFTEST_MUTATE");
    qputenv("OV_DATA_DIR", ORVANE_SOURCE_DATA_DIR);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without one, Qt makes a runtime folder in the temporary folder and leaves it.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && QDir(scratch.path()).mkdir(QStringLiteral("runtime"))) {
        QFile::setPermissions(scratch.path() + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    }

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsPerTest(scratch.path()));
    return RUN_ALL_TESTS();
}
