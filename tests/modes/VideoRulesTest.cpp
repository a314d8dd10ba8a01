#include "modes/VideoRules.h"

#include "records/OVInfo.h"

#include <gtest/gtest.h>

namespace {

GrowVideo video(const QString& id, const QString& channel)
{
    GrowVideo v;
    v.id = id;
    v.title = QStringLiteral("Starting seeds under lights");
    v.channel = channel;
    v.published = QStringLiteral("2024-03-15");
    v.url = QUrl(QStringLiteral("https://www.youtube.com/watch?v=") + id);
    v.checked = OVInfo::dataCheckedISO;
    return v;
}

// Good rows: two university programs and one established grower.
QList<GrowVideo> goodRows()
{
    return {video(QStringLiteral("abcDEF12345"), QStringLiteral("UF/IFAS Extension")),
            video(QStringLiteral("ghiJKL67890"), QStringLiteral("Michigan State University")),
            video(QStringLiteral("mnoPQR13579"), QStringLiteral("Bootstrap Farmer"))};
}

} // namespace

TEST(VideoRules, GoodRowsPassEveryRule)
{
    const VideoRules::Findings found = VideoRules::check(goodRows());
    EXPECT_EQ(found.videos, 3);
    EXPECT_TRUE(found.wellFormed);
    EXPECT_TRUE(found.noDuplicates);
    EXPECT_TRUE(found.approved);
    EXPECT_EQ(found.university, 2);
    // With fewer than 25 videos every one must come from a university program.
    EXPECT_FALSE(found.enoughUniversity());
    const QList<GrowVideo> university = goodRows().mid(0, 2);
    EXPECT_TRUE(VideoRules::check(university).enoughUniversity());
}

TEST(VideoRules, EachBadRowBreaksItsRule)
{
    struct Case {
        const char* what;
        std::function<void(GrowVideo&)> spoil;
    };
    const Case formed[] = {
        {"link on another site", [](GrowVideo& v) { v.url = QUrl(QStringLiteral("https://vimeo.com/") + v.id); }},
        {"link to another video", [](GrowVideo& v) { v.url = QUrl(QStringLiteral("https://www.youtube.com/watch?v=x")); }},
        {"no title", [](GrowVideo& v) { v.title = QStringLiteral("  "); }},
        {"no channel", [](GrowVideo& v) { v.channel.clear(); }},
        {"impossible publish day", [](GrowVideo& v) { v.published = QStringLiteral("2024-02-30"); }},
        {"checked on another day", [](GrowVideo& v) { v.checked = QStringLiteral("2020-01-01"); }},
    };
    for (const Case& c : formed) {
        QList<GrowVideo> rows = goodRows();
        c.spoil(rows[1]);
        const VideoRules::Findings found = VideoRules::check(rows);
        EXPECT_FALSE(found.wellFormed) << c.what;
        EXPECT_TRUE(found.noDuplicates) << c.what;
    }

    QList<GrowVideo> twice = goodRows();
    twice.append(twice[0]);
    EXPECT_FALSE(VideoRules::check(twice).noDuplicates);
    EXPECT_TRUE(VideoRules::check(twice).wellFormed);

    QList<GrowVideo> stranger = goodRows();
    stranger.append(video(QStringLiteral("stuVWX24680"), QStringLiteral("Some Influencer")));
    EXPECT_FALSE(VideoRules::check(stranger).approved);
}

// Labels say what was checked, so an empty list cannot pass unnoticed.
TEST(VideoRules, LabelsNameWhatWasChecked)
{
    const QStringList none = VideoRules::labels(VideoRules::check({}));
    ASSERT_EQ(none.size(), 4);
    for (const QString& label : none) {
        EXPECT_TRUE(label.endsWith(QStringLiteral("(no videos shipped)"))) << label.toStdString();
        EXPECT_FALSE(label.contains(QStringLiteral("25+")));
    }
    const QStringList three = VideoRules::labels(VideoRules::check(goodRows()));
    EXPECT_TRUE(three[0].endsWith(QStringLiteral("(3 checked)")));
    EXPECT_EQ(three[3], QStringLiteral("videos from university extension programs: 2 of 3 (at least 3 wanted)"));
}
