#include "records/OVInfo.h"
#include "records/OVPrefs.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using testsupport::EnvGuard;

TEST(OVInfoLocations, DatabaseInDataFolderUnlessPathGiven)
{
    {
        EnvGuard env("OV_DB_PATH", "");
        EXPECT_EQ(OVInfo::databasePath(), OVInfo::dataFolder() + "/Greenhouse.sqlite");
        EXPECT_TRUE(OVInfo::dataFolder().endsWith("/QNMR Orvane"));
        EXPECT_TRUE(QFileInfo(OVInfo::dataFolder()).isDir()); // created on access
    }
    {
        EnvGuard env("OV_DB_PATH", "/nowhere/at/all/x.sqlite");
        EXPECT_EQ(OVInfo::databasePath(), "/nowhere/at/all/x.sqlite");
        EXPECT_EQ(OVInfo::databaseURL().toLocalFile(), "/nowhere/at/all/x.sqlite");
    }
}

TEST(OVPrefsReaders, FreshUserDefaults)
{
    EXPECT_FALSE(OVPrefs::useCelsius());
    EXPECT_TRUE(OVPrefs::remindersOn());
    EXPECT_TRUE(OVPrefs::alertsOn());
}

TEST(OVPrefsReaders, UnitIsCaseSensitive)
{
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("c"));
    EXPECT_FALSE(OVPrefs::useCelsius());
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    EXPECT_TRUE(OVPrefs::useCelsius());
    OVPrefs::setValue(OVPrefs::unitKey, 7);
    EXPECT_FALSE(OVPrefs::useCelsius());
}

TEST(OVPrefsReaders, StoredBooleans)
{
    OVPrefs::setValue(OVPrefs::remindersKey, false);
    EXPECT_FALSE(OVPrefs::remindersOn());
    OVPrefs::setValue(OVPrefs::alertsKey, 0); // not a boolean
    EXPECT_TRUE(OVPrefs::alertsOn());
    OVPrefs::setValue(OVPrefs::alertsKey, QStringLiteral("no"));
    EXPECT_TRUE(OVPrefs::alertsOn());
}

// The INI file gives a stored bool back as the text "false" after a restart; reading
// that text as true would switch reminders back on behind the user's back.
TEST(OVPrefsReaders, FalseSurvivesARestart)
{
    OVPrefs::setValue(OVPrefs::remindersKey, QStringLiteral("false"));
    EXPECT_FALSE(OVPrefs::remindersOn());
    OVPrefs::setValue(OVPrefs::remindersKey, QStringLiteral("true"));
    EXPECT_TRUE(OVPrefs::remindersOn());
}

TEST(OVPrefsReaders, NumbersReadBackFromText)
{
    OVPrefs::setValue(QStringLiteral("qnmr.zoom"), QStringLiteral("1.25"));
    EXPECT_EQ(OVPrefs::doubleValue(QStringLiteral("qnmr.zoom")), 1.25);
    OVPrefs::setValue(QStringLiteral("qnmr.zoom"), QStringLiteral("big"));
    EXPECT_FALSE(OVPrefs::doubleValue(QStringLiteral("qnmr.zoom")).has_value());
    EXPECT_FALSE(OVPrefs::doubleValue(QStringLiteral("qnmr.absent")).has_value());
}
