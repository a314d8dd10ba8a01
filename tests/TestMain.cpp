// Test entry: every test process gets its own scratch home, settings and data
// folders before Qt starts, so no test can touch the user's real files. Every test
// also gets a settings folder of its own, so tests run in one process (the binary
// without a filter) see no settings left by the tests before them.

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

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
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/ov-test-XXXXXX"));
    if (!scratch.isValid())
        return 2;
    const QByteArray root = scratch.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qunsetenv("OV_DB_PATH");
    qunsetenv("OV_SELFTEST_MUTATE");
    qputenv("OV_DATA_DIR", ORVANE_SOURCE_DATA_DIR);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsPerTest(scratch.path()));
    return RUN_ALL_TESTS();
}
