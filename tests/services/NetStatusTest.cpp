#include "services/NetStatus.h"
#include "services/Opener.h"
#include "services/VideoAccess.h"

#include <gtest/gtest.h>

namespace {

// Swaps the opener for a recorder and puts the previous switches back afterwards.
class OpenerRecorder {
public:
    OpenerRecorder() : m_saved(Opener::open), m_override(NetStatus::override)
    {
        Opener::open = [this](const QUrl& url) { opened.append(url); };
    }
    ~OpenerRecorder()
    {
        Opener::open = m_saved;
        NetStatus::override = m_override;
    }
    QList<QUrl> opened;

private:
    Opener::Handler m_saved;
    std::optional<bool> m_override;
};

GrowVideo sampleVideo()
{
    GrowVideo v;
    v.id = QStringLiteral("abc123");
    v.title = QStringLiteral("Starting tomatoes");
    v.channel = QStringLiteral("Some Extension");
    v.url = QUrl(QStringLiteral("https://www.youtube.com/watch?v=abc123"));
    return v;
}

} // namespace

TEST(NetStatusState, OnlineUntilToldOtherwiseAndOverrideWins)
{
    NetStatus status;
    EXPECT_TRUE(status.online());
    EXPECT_TRUE(status.isOnline());
    int reports = 0;
    QObject::connect(&status, &NetStatus::onlineChanged, [&reports] { ++reports; });
    status.report(false);
    status.report(false); // every report is published, changed or not
    EXPECT_EQ(reports, 2);
    EXPECT_FALSE(status.isOnline());

    const std::optional<bool> saved = NetStatus::override;
    NetStatus::override = true;
    EXPECT_TRUE(status.isOnline());
    EXPECT_FALSE(status.online());
    NetStatus::override = saved;
}

TEST(NetStatusState, StartRunsOnce)
{
    NetStatus status;
    status.start();
    EXPECT_TRUE(status.started());
    const bool after = status.online();
    status.report(!after);
    status.start(); // must not reload and overwrite the state
    EXPECT_EQ(status.online(), !after);
}

TEST(VideoAccessWatch, OpensOnlyWhenOnline)
{
    OpenerRecorder recorder;
    const GrowVideo video = sampleVideo();

    NetStatus::override = false;
    EXPECT_FALSE(VideoAccess::watch(video));
    EXPECT_TRUE(recorder.opened.isEmpty());

    NetStatus::shared().report(false); // the monitor says offline; the override wins
    NetStatus::override = true;
    EXPECT_TRUE(VideoAccess::watch(video));
    EXPECT_EQ(recorder.opened, QList<QUrl>{video.url});

    NetStatus::override.reset();
    EXPECT_FALSE(VideoAccess::watch(video));
    NetStatus::shared().report(true);
    EXPECT_TRUE(VideoAccess::watch(video));
    EXPECT_EQ(recorder.opened.size(), 2);
    EXPECT_TRUE(VideoAccess::offlineMessage.startsWith(QStringLiteral("Needs internet")));
    EXPECT_TRUE(VideoAccess::offlineMessage.contains(QStringLiteral("nothing is downloaded")));
}

// The desktop gets web pages only: no file, program or custom-scheme address.
TEST(OpenerDefault, OnlyWebPagesReachTheDesktop)
{
    EXPECT_TRUE(Opener::isWebPage(QUrl(QStringLiteral("https://quenmoor.example/"))));
    EXPECT_TRUE(Opener::isWebPage(QUrl(QStringLiteral("HTTP://Example.org/a?b=c"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl(QStringLiteral("file:///etc/passwd"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl::fromLocalFile(QStringLiteral("/usr/bin/xterm"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl(QStringLiteral("javascript:alert(1)"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl(QStringLiteral("mailto:someone@example.org"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl(QStringLiteral("smb://server/share"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl(QStringLiteral("https:relative/path"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl(QStringLiteral("/just/a/path"))));
    EXPECT_FALSE(Opener::isWebPage(QUrl()));
}
