// One running copy per user and database.

#include "TestSupport.h"
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QtConcurrent>
#include <gtest/gtest.h>

TEST(SingleInstance, NamesDifferPerDatabase)
{
    testsupport::ScratchDir scratch;
    testsupport::EnvGuard runtime("XDG_RUNTIME_DIR", scratch.path().toUtf8());
    const QString a = SingleInstance::serverName(scratch.file("a.sqlite"));
    EXPECT_EQ(a, SingleInstance::serverName(scratch.file("a.sqlite")));
    EXPECT_NE(a, SingleInstance::serverName(scratch.file("b.sqlite")));
    EXPECT_TRUE(a.startsWith(scratch.path()));
}

TEST(SingleInstance, SecondCopyAsksTheFirstToRaise)
{
    testsupport::ScratchDir scratch;
    testsupport::EnvGuard runtime("XDG_RUNTIME_DIR", scratch.path().toUtf8());
    const QString name = SingleInstance::serverName(scratch.file("db.sqlite"));

    SingleInstance first(name);
    ASSERT_FALSE(first.anotherCopyRuns());
    ASSERT_TRUE(first.listening());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);

    // The second copy runs its blocking check on another thread while this one
    // serves the first copy's event loop.
    QFuture<bool> second = QtConcurrent::run([name] {
        SingleInstance other(name);
        return other.anotherCopyRuns(15000); // answered at once; generous for a busy machine
    });
    QElapsedTimer clock;
    clock.start();
    while (!second.isFinished() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(second.isFinished());
    EXPECT_TRUE(second.result());
    EXPECT_EQ(raised.count(), 1);
}

TEST(SingleInstance, StaleSocketFromACrashedCopyIsTakenOver)
{
    testsupport::ScratchDir scratch;
    testsupport::EnvGuard runtime("XDG_RUNTIME_DIR", scratch.path().toUtf8());
    const QString name = SingleInstance::serverName(scratch.file("db.sqlite"));
    ASSERT_TRUE(testsupport::writeAll(name, "")); // a socket file nobody listens on

    SingleInstance copy(name);
    EXPECT_FALSE(copy.anotherCopyRuns(300));
    EXPECT_TRUE(copy.listening());
}
