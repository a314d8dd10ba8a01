#include "kit/OVThemes.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRKit.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemes.h"

#include <gtest/gtest.h>

TEST(QNMRKitInstall, NameTopicsAndThemes)
{
    const QNMRHelpTopic one{"one", "One", "Body", {}};
    QNMRKit::install(std::nullopt, {one}, OVThemes::extras());
    EXPECT_EQ(QNMRKitHost::appName(), "QNMR Orvane");
    EXPECT_EQ(QNMRHelp::topics(), QList<QNMRHelpTopic>({one}));
    EXPECT_EQ(QNMRThemes::all().size(), 8);

    const QNMRHelpTopic two{"two", "Two", "Body", {"k"}};
    QNMRKit::install(QString("  Other Name "), {two}, OVThemes::extras());
    EXPECT_EQ(QNMRKitHost::appName(), "  Other Name "); // taken as given
    EXPECT_EQ(QNMRHelp::topics(), QList<QNMRHelpTopic>({two}));
    EXPECT_EQ(QNMRThemes::all().size(), 8);
    EXPECT_EQ(QNMRThemes::all().at(6).name, "Redwood Grove");

    QNMRKit::install(std::nullopt, {}, {});
}
