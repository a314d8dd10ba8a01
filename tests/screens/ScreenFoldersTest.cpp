// Each screen folder holds one area; what two areas share lives in src/kit or
// src/services, so no screen folder reaches into another.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(ScreenFolders, NoAreaIncludesAnotherAreasFiles)
{
    const QDir screens(QStringLiteral(ORVANE_SOURCE_DATA_DIR "/../src/screens"));
    const QStringList areas = screens.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_GE(areas.size(), 8);
    static const QRegularExpression include(QStringLiteral(R"(#\s*include\s*"screens/([^/"]+)/)"));
    for (const QString& area : areas) {
        QDirIterator it(screens.filePath(area), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            auto matches = include.globalMatch(QString::fromUtf8(file.readAll()));
            while (matches.hasNext()) {
                const QString other = matches.next().captured(1);
                EXPECT_EQ(other, area) << file.fileName().toStdString() << " includes from screens/"
                                       << other.toStdString();
            }
        }
    }
}
