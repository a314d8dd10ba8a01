#include "services/NotificationCentre.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

struct Delivery {
    QString title;
    QString body;
};

// A centre with a pinned clock that records what it delivers.
class NotificationCentreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        centre.setDeliver([this](const QString& title, const QString& body) { delivered.append({title, body}); });
        centre.setClock([this] { return now; });
    }

    // Lets the centre's timer run until `count` deliveries arrived (or 5 s passed).
    void waitFor(qsizetype count)
    {
        QElapsedTimer timer;
        timer.start();
        while (delivered.size() < count && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    void advanceTo(const QDateTime& t)
    {
        now = t;
        centre.setClock([this] { return now; });
    }

    QDateTime now{QDate(2026, 10, 24), QTime(12, 0), QTimeZone::utc()};
    NotificationCentre centre;
    QList<Delivery> delivered;
};

} // namespace

TEST_F(NotificationCentreTest, PendingRequestFiresOnceWhenItsTimeComes)
{
    centre.add(QStringLiteral("ov.task.1.100"), QStringLiteral("Water"), QStringLiteral("Watering"),
               now.addSecs(3600));
    QCoreApplication::processEvents();
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(centre.pendingIdentifiers(), QStringList{QStringLiteral("ov.task.1.100")});

    advanceTo(now.addSecs(3600));
    waitFor(1);
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0].title, QStringLiteral("Water"));
    EXPECT_TRUE(centre.pendingIdentifiers().isEmpty());

    advanceTo(now.addSecs(7200));
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered.size(), 1);
}

TEST_F(NotificationCentreTest, RequestsWithoutTimeAreDeliveredAtOnce)
{
    centre.add(QStringLiteral("ov.alert.X"), QStringLiteral("Climate alert"), QStringLiteral("line"), std::nullopt);
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0].body, QStringLiteral("line"));
    EXPECT_TRUE(centre.pendingIdentifiers().isEmpty());
}

TEST_F(NotificationCentreTest, SameIdentifierReplacesAndOrderFollowsTime)
{
    centre.add(QStringLiteral("b"), QStringLiteral("B"), {}, now.addSecs(200));
    centre.add(QStringLiteral("a"), QStringLiteral("A"), {}, now.addSecs(300));
    centre.add(QStringLiteral("c"), QStringLiteral("C"), {}, now.addSecs(200));
    EXPECT_EQ(centre.pendingIdentifiers(), (QStringList{"b", "c", "a"}));
    centre.add(QStringLiteral("a"), QStringLiteral("A2"), {}, now.addSecs(100));
    EXPECT_EQ(centre.pendingIdentifiers(), (QStringList{"a", "b", "c"}));

    centre.removePending({QStringLiteral("b"), QStringLiteral("nope")});
    EXPECT_EQ(centre.pendingIdentifiers(), (QStringList{"a", "c"}));

    advanceTo(now.addSecs(1000));
    waitFor(2);
    ASSERT_EQ(delivered.size(), 2);
    EXPECT_EQ(delivered[0].title, QStringLiteral("A2"));
    EXPECT_EQ(delivered[1].title, QStringLiteral("C"));
}

TEST_F(NotificationCentreTest, FarFutureRequestsWaitWithoutOverflowingTheTimer)
{
    // Thirty days is more milliseconds than a QTimer interval holds.
    centre.add(QStringLiteral("far"), QStringLiteral("Far"), {}, now.addDays(30));
    QCoreApplication::processEvents();
    EXPECT_TRUE(delivered.isEmpty());
    EXPECT_EQ(centre.pendingFire(QStringLiteral("far")), now.addDays(30));
    advanceTo(now.addDays(31));
    waitFor(1);
    EXPECT_EQ(delivered.size(), 1);
}
