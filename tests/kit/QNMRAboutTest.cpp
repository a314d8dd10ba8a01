#include "kit/QNMRAbout.h"

#include <gtest/gtest.h>

TEST(QNMRAboutVersion, ShortVersionAndBuild)
{
    EXPECT_EQ(QNMRAbout::version(QString("2.1"), QString("57")), "Version 2.1 (57)");
    EXPECT_EQ(QNMRAbout::version(std::nullopt, QString("57")), "Version 1.0 (57)");
    EXPECT_EQ(QNMRAbout::version(QString("2.1"), std::nullopt), "Version 2.1");
    EXPECT_EQ(QNMRAbout::version(QString(""), QString("")), "Version 1.0");
    EXPECT_TRUE(QNMRAbout::version().startsWith("Version "));
}

TEST(QNMRAboutTexts, CopyrightCarriesTheGivenYear)
{
    EXPECT_EQ(QNMRAbout::copyrightLine(QDate(2031, 1, 1)), "© 2031 Quenmoor Softworks");
    EXPECT_EQ(QNMRAbout::copyrightLine(),
              "© " + QString::number(QDate::currentDate().year()) + " Quenmoor Softworks");
}
