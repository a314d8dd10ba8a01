#include "app/DisplayCheck.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char*, const char*>> values)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    for (const auto& [name, value] : values)
        env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return env;
}

const QStringList plainStart{QStringLiteral("/usr/bin/orvane")};

} // namespace

TEST(DisplayCheck, AnyDisplayOrChosenPlatformLetsTheWindowTry)
{
    EXPECT_FALSE(DisplayCheck::missingDisplayMessage(environment({{"DISPLAY", ":0"}}), plainStart));
    EXPECT_FALSE(DisplayCheck::missingDisplayMessage(environment({{"WAYLAND_DISPLAY", "wayland-0"}}), plainStart));
    EXPECT_FALSE(DisplayCheck::missingDisplayMessage(environment({{"QT_QPA_PLATFORM", "offscreen"}}), plainStart));
    EXPECT_FALSE(DisplayCheck::missingDisplayMessage(
        environment({}), {QStringLiteral("orvane"), QStringLiteral("-platform"), QStringLiteral("offscreen")}));

    const auto missing = DisplayCheck::missingDisplayMessage(environment({{"DISPLAY", ""}}), plainStart);
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->contains(u'\n'));
    EXPECT_TRUE(missing->contains(QStringLiteral("xvfb-run")));
    EXPECT_TRUE(missing->contains(QStringLiteral("QT_QPA_PLATFORM=offscreen")));
    // "-platform" with nothing after it chooses nothing.
    EXPECT_TRUE(DisplayCheck::missingDisplayMessage(environment({}),
                                                    {QStringLiteral("orvane"), QStringLiteral("-platform")}));
}

// The program itself, started without a display: one plain line and exit 1, not
// Qt's abort; the self-check still runs there on its own.
TEST(DisplayCheck, ProgramWithoutADisplaySaysSoAndExitsOne)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ORVANE_BINARY), {});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(err, *DisplayCheck::missingDisplayMessage(env, plainStart) + u'\n');
}
