#include "kit/KitEvents.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRHelpRow.h"
#include "kit/QNMRHelpViewer.h"
#include "kit/QNMRThemeRoot.h"
#include "kit/QNMRThemes.h"
#include "kit/OVRender.h"
#include "app/OVSetup.h"
#include "LookShot.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using Block = QNMRHelpViewer::Block;
using Kind = QNMRHelpViewer::Block::Kind;

namespace {

class HelpViewer : public ::testing::Test {
protected:
    void SetUp() override { OVSetup::configure(); }
};

QStringList texts(QWidget* w)
{
    QStringList out;
    for (const QLabel* l : w->findChildren<QLabel*>())
        if (!l->text().isEmpty() && l->isVisibleTo(w))
            out.append(l->text());
    return out;
}

} // namespace

TEST_F(HelpViewer, ListsAllTopicsStartFirstKitTopicsLast)
{
    QNMRHelpViewer viewer;
    const QStringList ids = viewer.listedIDs();
    ASSERT_EQ(ids.size(), 31);
    EXPECT_EQ(ids.first(), "start");
    EXPECT_EQ(ids.mid(29), QStringList({"look", "about"}));
    // No initial topic and no search: the first topic is shown and highlighted.
    EXPECT_EQ(viewer.shownTopicID(), "start");
    EXPECT_EQ(viewer.highlightedID(), "start");
    EXPECT_EQ(viewer.findChildren<QNMRHelpRow*>().size(), 31);
}

TEST_F(HelpViewer, SearchOrdersFoldsAndReportsNothingFound)
{
    QNMRHelpViewer viewer(QString("start"));
    viewer.setQuery("   ");
    EXPECT_EQ(viewer.listedIDs().size(), 31);

    viewer.setQuery("zoom");
    ASSERT_FALSE(viewer.listedIDs().isEmpty());
    EXPECT_EQ(viewer.listedIDs().first(), "look");

    viewer.setQuery("dst");
    EXPECT_TRUE(viewer.listedIDs().contains("recurrence"));
    viewer.setQuery("LEAP");
    EXPECT_TRUE(viewer.listedIDs().contains("recurrence"));
    viewer.setQuery("glóssäry");
    EXPECT_EQ(viewer.listedIDs().value(0), "glossary");

    viewer.setQuery("xyz");
    EXPECT_TRUE(viewer.listedIDs().isEmpty());
    EXPECT_EQ(viewer.emptyMessage(), "Nothing found for \"xyz\".");
    EXPECT_TRUE(texts(&viewer).contains("Nothing found for \"xyz\"."));
    // The topic opened on stays on the right.
    EXPECT_EQ(viewer.shownTopicID(), "start");
}

TEST_F(HelpViewer, PickedTopicStaysShownWhileTheSearchHidesIt)
{
    QNMRHelpViewer viewer(QString("start"));
    viewer.show();
    QNMRHelpRow* backupRow = nullptr;
    for (QNMRHelpRow* row : viewer.findChildren<QNMRHelpRow*>())
        if (row->topicID() == "backup")
            backupRow = row;
    ASSERT_NE(backupRow, nullptr);
    QTest::mouseClick(backupRow, Qt::LeftButton);
    EXPECT_EQ(viewer.shownTopicID(), "backup");
    EXPECT_EQ(viewer.highlightedID(), "backup");

    viewer.setQuery("zoom");
    EXPECT_FALSE(viewer.listedIDs().contains("backup"));
    EXPECT_EQ(viewer.shownTopicID(), "backup");
    EXPECT_EQ(viewer.highlightedID(), std::nullopt);
    for (QNMRHelpRow* row : viewer.findChildren<QNMRHelpRow*>())
        if (row->isVisible()) {
            EXPECT_FALSE(row->isShown());
        }

    viewer.setQuery("");
    EXPECT_EQ(viewer.highlightedID(), "backup");
}

TEST_F(HelpViewer, UnknownInitialTopicFallsBackAndNothingFoundLeavesThePaneEmpty)
{
    QNMRHelp::setTopics({{"a", "Alpha", "x", {}}, {"b", "Beta", "y", {}}});
    QNMRHelpViewer viewer(QString("no-such-topic"));
    EXPECT_EQ(viewer.shownTopicID(), "a");
    viewer.setQuery("qqq");
    // Neither picked nor a real initial topic: the right pane is empty.
    EXPECT_EQ(viewer.shownTopicID(), std::nullopt);
    EXPECT_TRUE(texts(viewer.topicPane()).isEmpty());
}

TEST(HelpViewerBlocks, LineMarkup)
{
    const QString body = "## Heading\n"
                         "  \t## Indented heading\t\n"
                         "• Bullet item\n"
                         "Plain paragraph.\n"
                         "\n"
                         "   \t  \n"
                         "## \n"
                         "• \n"
                         "##NoSpace\n"
                         "•Word\n"
                         "# one hash\n"
                         "Next line is its own block.";
    const QList<Block> expected = {
        {Kind::heading, "Heading"},
        {Kind::heading, "Indented heading"},
        {Kind::bullet, "Bullet item"},
        {Kind::paragraph, "Plain paragraph."},
        {Kind::paragraph, "##"},
        {Kind::paragraph, "•"},
        {Kind::paragraph, "##NoSpace"},
        {Kind::paragraph, "•Word"},
        {Kind::paragraph, "# one hash"},
        {Kind::paragraph, "Next line is its own block."},
    };
    EXPECT_EQ(QNMRHelpViewer::blocks(body), expected);
}

TEST_F(HelpViewer, TopicPaneShowsTitleAndBodyAsPlainText)
{
    QNMRHelp::setTopics({{"t", "Tags <b>&</b> more", "## Head <i>\n• A & B\nPara <b>x</b>", {}}});
    QNMRHelpViewer viewer(QString("t"));
    const QStringList shown = texts(viewer.topicPane());
    EXPECT_EQ(shown, QStringList({"Tags <b>&</b> more", "Head <i>", "•", "A & B", "Para <b>x</b>"}));
    for (const QLabel* l : viewer.topicPane()->findChildren<QLabel*>())
        EXPECT_EQ(l->textFormat(), Qt::PlainText);
}

// Renders the viewer as the snapshot shows it and follows a theme change.
TEST_F(HelpViewer, GrabOnStartAndThemeChange)
{
    QNMRThemeRoot root([] { return new QNMRHelpViewer(QString("start")); });
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(1000, 760);
    root.show();
    QApplication::processEvents();
    const QImage before = root.grab().toImage();
    EXPECT_EQ(before.size(), QSize(1000, 760));
    testsupport::keepLook(before, "help-start.png");

    QNMRThemes::setCurrentID("midnight-black");
    QImage after;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (after = root.grab().toImage()) != before; }, 3000));
    testsupport::keepLook(after, "help-start-midnight.png");
    EXPECT_NE(before, after);
    // The window background is Midnight Black's bg under the sheen.
    const QColor corner = after.pixelColor(990, 380);
    EXPECT_LT(corner.red() + corner.green() + corner.blue(), 40);
}
