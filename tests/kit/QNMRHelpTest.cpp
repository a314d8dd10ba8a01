#include "kit/QNMRHelp.h"
#include "kit/QNMRKitHost.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testsupport::ids;

namespace {

// A small application topic list; the registry is process-wide, so each test sets
// its own and clears it afterwards.
class QNMRHelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QNMRHelp::setTopics({
            {"grow", "Growing lights", "Plants grow under lamps.\n## Heating\nA heater keeps frost out.", {"lamp"}},
            {"zoomy", "Reading charts", "Use View → Zoom In to read small labels.", {}},
            {"cafe", "Café corner", "Coffee grounds as mulch.", {"résumé"}},
            {"soil", "Soil", "Soil mixes for pots.", {"compost", "peat"}},
        });
    }
    void TearDown() override
    {
        QNMRHelp::setTopics({});
        QNMRHelp::setOpener({});
    }
};

} // namespace

TEST(QNMRHelpRegistry, WithoutApplicationTopicsOnlyTheKitTopics)
{
    QNMRHelp::setTopics({});
    EXPECT_EQ(ids(QNMRHelp::allTopics()), QStringList({"look", "about"}));
}

TEST(QNMRHelpRegistry, ApplicationTopicReplacesKitTopicInItsOwnPlace)
{
    QNMRHelp::setTopics({{"about", "About us", "Ours.", {}}, {"x", "X", "x", {}}});
    EXPECT_EQ(ids(QNMRHelp::allTopics()), QStringList({"about", "x", "look"}));
    EXPECT_EQ(QNMRHelp::allTopics().first().title, "About us");
    QNMRHelp::setTopics({});
}

TEST(QNMRHelpRegistry, AboutTopicFollowsTheApplicationName)
{
    const QString saved = QNMRKitHost::appName();
    QNMRKitHost::setAppName("Greenbook");
    EXPECT_TRUE(QNMRHelp::aboutTopic().body.startsWith("Greenbook is made by Quenmoor Softworks (QNMR)."));
    EXPECT_TRUE(QNMRHelp::aboutTopic().body.endsWith(
        "\n\nWebsite, updates and support: " + QNMRKitHost::creditURL().toString()));
    QNMRKitHost::setAppName(saved);
}

TEST_F(QNMRHelpTest, BlankQueryGivesEverythingInOrder)
{
    const QStringList all = ids(QNMRHelp::allTopics());
    EXPECT_EQ(ids(QNMRHelp::search("")), all);
    EXPECT_EQ(ids(QNMRHelp::search(" \t\n\r ")), all);
    EXPECT_EQ(ids(QNMRHelp::search(QString(QChar(0x2003)))), all); // em space
}

TEST_F(QNMRHelpTest, TitleHitsComeFirst)
{
    // "zoomy" mentions zoom only in its body and comes earlier in the list.
    const QStringList found = ids(QNMRHelp::search("zoom"));
    ASSERT_GE(found.size(), 2);
    EXPECT_EQ(found.first(), "look");
    EXPECT_TRUE(found.contains("zoomy"));
}

TEST_F(QNMRHelpTest, NothingFoundIsEmpty)
{
    EXPECT_TRUE(QNMRHelp::search("xyz").isEmpty());
    EXPECT_TRUE(QNMRHelp::search("soil xyz").isEmpty()); // every word must occur
}

TEST_F(QNMRHelpTest, CaseAndAccentsAreFolded)
{
    EXPECT_EQ(ids(QNMRHelp::search("CAFE")), QStringList({"cafe"}));
    EXPECT_EQ(ids(QNMRHelp::search("café")), QStringList({"cafe"}));
    EXPECT_EQ(ids(QNMRHelp::search("resume")), QStringList({"cafe"}));
    EXPECT_EQ(ids(QNMRHelp::search("RÉSUMÉ")), QStringList({"cafe"}));
    EXPECT_EQ(QNMRHelp::fold("Crème Brûlée"), "creme brulee");
}

TEST_F(QNMRHelpTest, WordsMatchInsideWordsAndAcrossFields)
{
    EXPECT_TRUE(ids(QNMRHelp::search("row")).contains("grow")); // inside "grow"
    EXPECT_EQ(ids(QNMRHelp::search("peat")), QStringList({"soil"})); // keyword only
    EXPECT_EQ(ids(QNMRHelp::search("growing frost")), QStringList({"grow"})); // title + body
    EXPECT_EQ(ids(QNMRHelp::search("frost lamp")), QStringList({"grow"})); // body + keyword
    EXPECT_TRUE(QNMRHelp::search("lampsoil").isEmpty());
    // The fields are joined by line breaks, so no word spans two of them.
    EXPECT_TRUE(QNMRHelp::search("lamps.##").isEmpty());
    EXPECT_TRUE(QNMRHelp::search("soilsoil").isEmpty());
}

TEST_F(QNMRHelpTest, ShowGoesThroughTheOpener)
{
    QNMRHelp::show("soil"); // no opener yet: nothing happens, nothing crashes
    QList<std::optional<QString>> calls;
    QNMRHelp::setOpener([&](const std::optional<QString>& id) { calls.append(id); });
    QNMRHelp::show("soil");
    QNMRHelp::show();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0], QString("soil"));
    EXPECT_EQ(calls[1], std::nullopt);
}
