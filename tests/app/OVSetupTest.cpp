#include "app/OVHelp.h"
#include "app/OVSetup.h"
#include "kit/QNMRAbout.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemes.h"
#include "records/OVInfo.h"
#include "records/OVPrefs.h"

#include <gtest/gtest.h>

TEST(OVSetupConfigure, InstallsTheProductIntoTheKit)
{
    OVPrefs::remove(QNMRThemes::key);
    OVSetup::configure();
    OVSetup::configure(); // a second run changes nothing

    EXPECT_EQ(QNMRThemes::defaultID(), "redwood-grove");
    EXPECT_EQ(QNMRThemes::current().name, "Redwood Grove");
    EXPECT_FALSE(OVPrefs::contains(QNMRThemes::key)); // reading the theme stores nothing
    EXPECT_EQ(QNMRThemes::all().size(), 8);
    EXPECT_EQ(QNMRKitHost::appName(), "QNMR Orvane");

    const QList<QNMRHelpTopic> all = QNMRHelp::allTopics();
    ASSERT_EQ(all.size(), 31);
    EXPECT_EQ(all.mid(0, 29), OVHelp::topics());
    EXPECT_EQ(all.at(29).id, "look");
    EXPECT_EQ(all.at(30).id, "about");

    EXPECT_EQ(QNMRAbout::extraLines(),
              QStringList({"Greenhouse records, climate logs, schedules, harvests and costs.",
                           "Crop Library from university extension sources (checked " +
                               OVInfo::dataCheckedISO + ")."}));
}
