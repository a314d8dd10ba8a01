#include "app/StartupDispatch.h"

#include <gtest/gtest.h>

namespace {
StartupDispatch decide(QStringList args)
{
    args.prepend(QStringLiteral("/usr/bin/orvane"));
    return StartupDispatch::decide(args);
}
using Mode = StartupDispatch::Mode;
} // namespace

TEST(StartupDispatch, ChildModesNeedAPath)
{
    auto d = decide({"--ov-child-read", "/tmp/a.sqlite", "--ov-child-write"});
    EXPECT_EQ(d.mode, Mode::ChildRead);
    EXPECT_EQ(d.path, "/tmp/a.sqlite");

    d = decide({"--ov-child-read", "/r.sqlite", "--ov-child-write", "/w.sqlite"});
    EXPECT_EQ(d.mode, Mode::ChildWrite);
    EXPECT_EQ(d.path, "/w.sqlite");

    d = decide({"--ov-child-write", "--ov-child-read"});
    EXPECT_EQ(d.mode, Mode::ChildWrite);
    EXPECT_EQ(d.path, "--ov-child-read");
}

TEST(StartupDispatch, ChildWinsOverSnapshotWhichWinsOverSelfTest)
{
    EXPECT_EQ(decide({"--selftest", "--ov-snapshot", "/out", "--ov-child-read", "/db"}).mode,
              Mode::ChildRead);
    auto d = decide({"--selftest", "--ov-snapshot", "/out"});
    EXPECT_EQ(d.mode, Mode::Snapshot);
    EXPECT_EQ(d.path, "/out");
    EXPECT_EQ(decide({"--selftest", "--ov-snapshot"}).mode, Mode::SelfTest);
    EXPECT_EQ(decide({"x", "y", "--selftest"}).mode, Mode::SelfTest);
}

TEST(StartupDispatch, OnlyExactWholeArgumentsMatch)
{
    EXPECT_EQ(decide({}).mode, Mode::Window);
    EXPECT_EQ(decide({"--ov-snapshot"}).mode, Mode::Window);
    EXPECT_EQ(decide({"--SELFTEST"}).mode, Mode::Window);
    EXPECT_EQ(decide({"--selftest=1"}).mode, Mode::Window);
    EXPECT_EQ(decide({"--ov-child-write=x"}).mode, Mode::Window);
    EXPECT_EQ(decide({"--ov-child-write"}).mode, Mode::Window);
    // The program path itself never counts as a flag.
    EXPECT_EQ(StartupDispatch::decide({"--selftest"}).mode, Mode::Window);
}
