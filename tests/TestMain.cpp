// Test entry: every test process gets its own scratch home, settings and data
// folders before Qt starts, so no test can touch the user's real files.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    return RUN_ALL_TESTS();
}
