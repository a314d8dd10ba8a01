#include "app/OVHelp.h"
#include "app/OVSetup.h"
#include "kit/QNMRAbout.h"
#include "kit/QNMRHelp.h"
#include "records/OVInfo.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QList<QNMRHelpTopic>& topics() { return OVHelp::topics(); }

QStringList lines(const QString& body) { return body.split(QLatin1Char('\n')); }

QString trimmed(const QString& line)
{
    QString t = line;
    while (!t.isEmpty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove(0, 1);
    while (!t.isEmpty() && (t.back() == ' ' || t.back() == '\t'))
        t.chop(1);
    return t;
}

} // namespace

TEST(OVHelpTopics, TwentyNineUniqueIdsInOrder)
{
    ASSERT_EQ(topics().size(), 29);
    EXPECT_EQ(topics().first().id, "start");
    EXPECT_EQ(topics().last().id, "faq");
    QSet<QString> seen;
    for (const QNMRHelpTopic& t : topics()) {
        EXPECT_FALSE(seen.contains(t.id)) << t.id.toStdString();
        seen.insert(t.id);
        EXPECT_FALSE(t.title.isEmpty());
        EXPECT_FALSE(t.body.isEmpty());
    }
    EXPECT_EQ(&OVHelp::topics(), &OVHelp::topics()); // built once
}

TEST(OVHelpTopics, KeywordsAreLowerCase)
{
    for (const QNMRHelpTopic& t : topics()) {
        EXPECT_FALSE(t.keywords.isEmpty()) << t.id.toStdString();
        for (const QString& k : t.keywords)
            EXPECT_EQ(k, k.toLower()) << t.id.toStdString();
    }
}

TEST(OVHelpTopics, MarkupIsWellFormed)
{
    for (const QNMRHelpTopic& t : topics()) {
        const QStringList ls = lines(t.body);
        EXPECT_FALSE(trimmed(ls.first()).isEmpty()) << t.id.toStdString();
        for (int i = 0; i < ls.size(); ++i) {
            const QString line = trimmed(ls[i]);
            EXPECT_EQ(line, ls[i]) << t.id.toStdString() << ": stray indentation";
            if (line.startsWith("#")) {
                ASSERT_TRUE(line.startsWith("## ")) << t.id.toStdString() << ": " << line.toStdString();
                EXPECT_FALSE(trimmed(line.mid(3)).isEmpty()) << t.id.toStdString();
                ASSERT_LT(i + 1, ls.size()) << t.id.toStdString() << ": heading at the end";
                const QString next = trimmed(ls[i + 1]);
                EXPECT_FALSE(next.isEmpty() || next.startsWith("## "))
                    << t.id.toStdString() << ": heading not followed by text";
            }
            if (line.startsWith(QStringLiteral("•"))) {
                EXPECT_TRUE(line.startsWith(QStringLiteral("• ")) && line.size() > 2)
                    << t.id.toStdString();
            }
        }
    }
}

TEST(OVHelpTopics, CrossReferencesNameExistingTitles)
{
    QStringList titles;
    for (const QNMRHelpTopic& t : topics())
        titles.append(t.title);
    // A quoted phrase that looks like a topic title must name one, in full or as the
    // part before its parenthesis.
    static const QRegularExpression quoted(QStringLiteral("“([^”]+)”"));
    int references = 0;
    for (const QNMRHelpTopic& t : topics()) {
        auto it = quoted.globalMatch(t.body);
        while (it.hasNext()) {
            const QString phrase = it.next().captured(1);
            const bool looksLikeTitle = phrase.startsWith("Screen: ") ||
                                        phrase.startsWith("CSV import") ||
                                        phrase.startsWith("Repeating") ||
                                        phrase.startsWith("Backups");
            if (!looksLikeTitle)
                continue;
            ++references;
            const bool resolves =
                std::any_of(titles.cbegin(), titles.cend(), [&](const QString& title) {
                    return title == phrase || title.startsWith(phrase + " (");
                });
            EXPECT_TRUE(resolves) << t.id.toStdString() << ": " << phrase.toStdString();
        }
    }
    EXPECT_GE(references, 7);
}

TEST(OVHelpTopics, NoOtherPlatformInAnyText)
{
    OVSetup::configure();
    QStringList texts;
    for (const QNMRHelpTopic& t : QNMRHelp::allTopics())
        texts << t.title << t.body << t.keywords;
    texts << QNMRAbout::extraLines() << QNMRAbout::version() << QNMRAbout::copyrightLine()
          << QNMRAbout::creditLine();
    const QStringList banned = {"macOS", "Finder", "⌘", "⇧", "Mac", "~/Library",
                                "Time Machine", "System Settings", "Numbers,"};
    for (const QString& text : texts) {
        for (const QString& word : banned)
            EXPECT_FALSE(text.contains(word)) << word.toStdString() << " in: " << text.toStdString();
    }
}

TEST(OVHelpTopics, LinuxKeysAndFolderAreNamed)
{
    const auto body = [](const char* id) {
        for (const QNMRHelpTopic& t : topics()) {
            if (t.id == id)
                return t.body;
        }
        return QString();
    };
    EXPECT_TRUE(body("shortcuts").contains("Ctrl+Shift+R"));
    EXPECT_TRUE(body("shortcuts").contains("F1"));
    EXPECT_TRUE(body("data-privacy").contains("~/.local/share/QNMR Orvane/"));
    EXPECT_TRUE(body("data-privacy").contains("Show in File Manager"));
    EXPECT_TRUE(body("screen-library").contains(OVInfo::dataCheckedISO));
    EXPECT_TRUE(body("screen-videos").contains(OVInfo::dataCheckedISO));
    EXPECT_TRUE(body("screen-climate").contains("A value exactly on the limit is fine."));
}

TEST(OVHelpTopics, KeywordsAloneFindSchedules)
{
    QNMRHelp::setTopics(topics());
    for (const char* word : {"dst", "leap"}) {
        const QList<QNMRHelpTopic> found = QNMRHelp::search(word);
        ASSERT_FALSE(found.isEmpty()) << word;
        EXPECT_EQ(found.first().title, "Repeating schedules and reminders");
        EXPECT_FALSE(QNMRHelp::fold(found.first().body).contains(word));
    }
    EXPECT_EQ(QNMRHelp::search("zoom").first().id, "look");
    EXPECT_TRUE(QNMRHelp::search("xyz").isEmpty());
    QNMRHelp::setTopics({});
}
