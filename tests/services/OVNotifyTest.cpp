#include "records/OVPrefs.h"
#include "records/Greenhouse.h"
#include "records/OVTask.h"
#include "records/Zone.h"
#include "services/NotificationBus.h"
#include "services/NotificationCentre.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QTimeZone>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace {

// Humidity above a high limit of 85%: the first reads "Humidity 90% is above your
// high alert of 85%", the next 91%, and so on; zones 1 and 2 take turns.
QList<ClimateAlert> alerts(int count)
{
    QList<ClimateAlert> out;
    const QDateTime taken(QDate(2026, 10, 24), QTime(14, 0), QTimeZone::utc());
    for (int i = 0; i < count; ++i)
        out.append(ClimateAlert(i % 2 + 1, Metric::humidity, 90 + i, 85, ClimateAlert::Side::high, taken));
    return out;
}

QString zoneName(qint64 id) { return id == 1 ? QStringLiteral("North") : QStringLiteral("South"); }

// Spins the event loop until `done` holds or `ms` passed; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Puts the process-wide notification state back between tests.
class NotifyState : public ::testing::Test {
protected:
    void SetUp() override
    {
        OVNotify::enabled = true;
        OVNotify::authorized.reset();
        OVNotify::lastPlan.clear();
        OVNotify::sentAlerts.clear();
        OVPrefs::remove(OVPrefs::remindersKey);
        OVPrefs::remove(OVPrefs::alertsKey);
        NotificationCentre& centre = NotificationCentre::shared();
        centre.removePending(centre.pendingIdentifiers());
        centre.setClock([this] { return now; });
    }

    void TearDown() override
    {
        NotificationCentre& centre = NotificationCentre::shared();
        centre.removePending(centre.pendingIdentifiers());
        centre.setDeliver(nullptr);
        centre.setClock(nullptr);
        OVNotify::enabled = true;
    }

    void advanceTo(const QDateTime& t)
    {
        now = t;
        NotificationCentre::shared().setClock([this] { return now; });
    }

    QDateTime now = QDateTime::currentDateTimeUtc();
};

// Without a bus: deliveries are captured in the process.
class OVNotifyTest : public NotifyState {
protected:
    void SetUp() override
    {
        NotifyState::SetUp();
        NotificationCentre::shared().setDeliver(
            [this](const QString& title, const QString& body) { delivered.append({title, body}); });
    }

    QList<QStringList> delivered; // {title, body}
};

// A scratch store with one zone ("Main · Bench") and `count` daily 08:00 tasks in it,
// started in 2000 and never done.
class TaskStore {
public:
    explicit TaskStore(int count) : store(dir.file(QStringLiteral("notify.sqlite")))
    {
        Greenhouse greenhouse;
        greenhouse.name = QStringLiteral("Main");
        store.save(greenhouse);
        Zone zone;
        zone.greenhouseID = greenhouse.id;
        zone.name = QStringLiteral("Bench");
        store.save(zone);
        for (int i = 0; i < count; ++i) {
            OVTask t;
            t.title = QStringLiteral("Water %1").arg(i);
            t.rule = Recurrence::everyDays(1);
            t.start = OVDay(2000, 1, 1);
            t.hour = 8;
            t.zoneID = zone.id;
            store.save(t);
        }
    }

    testsupport::ScratchDir dir;
    OVStore store;
};
} // namespace

using OVNotifyReschedule = OVNotifyTest;

TEST_F(OVNotifyReschedule, DisabledRecordsThePlanAndLeavesPendingRequestsAlone)
{
    NotificationCentre::shared().add(QStringLiteral("ov.task.9.1"), QStringLiteral("old"), {}, now.addDays(1));
    OVNotify::enabled = false;
    TaskStore tasks(1);
    OVNotify::reschedule(tasks.store, now);
    EXPECT_EQ(OVNotify::lastPlan.size(), 3);
    EXPECT_EQ(OVNotify::lastPlan.first().body, QStringLiteral("Watering \u00B7 Main \u00B7 Bench"));
    EXPECT_EQ(NotificationCentre::shared().pendingIdentifiers(), QStringList{QStringLiteral("ov.task.9.1")});
}

TEST_F(OVNotifyReschedule, RemindersOffClearsTaskRequestsOnly)
{
    NotificationCentre& centre = NotificationCentre::shared();
    centre.add(QStringLiteral("ov.task.9.1"), QStringLiteral("old"), {}, now.addDays(1));
    centre.add(QStringLiteral("other.1"), QStringLiteral("keep"), {}, now.addDays(2));
    OVNotify::lastPlan = {ReminderRequest{QStringLiteral("ov.task.9.1"), {}, {}, now.addDays(1)}};
    OVPrefs::setValue(OVPrefs::remindersKey, false);
    TaskStore tasks(1);
    OVNotify::reschedule(tasks.store, now);
    EXPECT_TRUE(OVNotify::lastPlan.isEmpty());
    EXPECT_EQ(centre.pendingIdentifiers(), QStringList{QStringLiteral("other.1")});
}

TEST_F(OVNotifyReschedule, ReplacesTaskRequestsWithTheNewPlan)
{
    NotificationCentre& centre = NotificationCentre::shared();
    centre.add(QStringLiteral("ov.task.9.1"), QStringLiteral("old"), {}, now.addDays(1));
    TaskStore tasks(2);
    OVNotify::reschedule(tasks.store, now);
    ASSERT_EQ(OVNotify::lastPlan.size(), 6);
    QStringList planned = testsupport::ids(OVNotify::lastPlan);
    QStringList pending = centre.pendingIdentifiers();
    std::sort(planned.begin(), planned.end());
    std::sort(pending.begin(), pending.end());
    EXPECT_EQ(pending, planned);
    EXPECT_TRUE(delivered.isEmpty());
}

TEST_F(OVNotifyReschedule, TriggersDropSecondsAndEmptyBodiesReadDueNow)
{
    const QDateTime base(QDate(2026, 10, 25), QTime(8, 0), QTimeZone::utc());
    advanceTo(base.addSecs(-3600));
    OVNotify::install({ReminderRequest{QStringLiteral("ov.task.1.a"), QStringLiteral("T"), QString(), base.addSecs(45)},
                       ReminderRequest{QStringLiteral("ov.task.2.b"), QStringLiteral("U"), QStringLiteral("Feeding"),
                                       base.addSecs(120)}});
    EXPECT_EQ(NotificationCentre::shared().pendingFire(QStringLiteral("ov.task.1.a")), base);
    advanceTo(base);
    ASSERT_TRUE(waitUntil([&] { return delivered.size() == 1; }));
    EXPECT_EQ(delivered[0], (QStringList{"T", "Due now"}));
    advanceTo(base.addSecs(120));
    ASSERT_TRUE(waitUntil([&] { return delivered.size() == 2; }));
    EXPECT_EQ(delivered[1], (QStringList{"U", "Feeding"}));
}

// New York's clocks go back at 02:00 EDT on 2026-11-01, so 01:00-01:59 comes twice:
// first at 05:00-05:59 UTC, then at 06:00-06:59 UTC. Chatham's offsets are not whole
// hours. Each fire time at :15:40 triggers at :15:00 of its own pass, never earlier.
TEST_F(OVNotifyReschedule, TriggerIsTheFireTimesMinuteInItsOwnPass)
{
    struct Case {
        const char* zone;
        QDateTime fire;
    };
    const Case cases[] = {
        {"America/New_York", QDateTime(QDate(2026, 11, 1), QTime(6, 15, 40), QTimeZone::utc())}, // second pass
        {"America/New_York", QDateTime(QDate(2026, 11, 1), QTime(5, 15, 40), QTimeZone::utc())}, // first pass
        {"America/New_York", QDateTime(QDate(2026, 10, 25), QTime(13, 15, 40), QTimeZone::utc())},
        {"Pacific/Chatham", QDateTime(QDate(2026, 10, 25), QTime(13, 15, 40), QTimeZone::utc())},
    };
    const auto utcText = [](const QDateTime& t) { return t.toUTC().toString(Qt::ISODate).toStdString(); };
    for (const Case& c : cases) {
        const Calendar calendar{QTimeZone(c.zone)};
        ASSERT_EQ(calendar.timeZone().id(), QByteArray(c.zone));
        const QString id = QStringLiteral("ov.task.7.") + QString::number(c.fire.toSecsSinceEpoch());
        SCOPED_TRACE(id.toStdString() + " " + c.zone);
        advanceTo(c.fire.addSecs(-7200));
        OVNotify::install({ReminderRequest{id, QStringLiteral("Vent"), {}, c.fire}}, calendar);
        const std::optional<QDateTime> trigger = NotificationCentre::shared().pendingFire(id);
        ASSERT_TRUE(trigger);
        EXPECT_EQ(utcText(*trigger), utcText(c.fire.addSecs(-40)));
    }
    EXPECT_TRUE(delivered.isEmpty());
}

using OVNotifyAlerts = OVNotifyTest;

TEST_F(OVNotifyAlerts, SwitchedOffOrEmptyChangesNothing)
{
    OVPrefs::setValue(OVPrefs::alertsKey, false);
    OVNotify::climateAlerts(alerts(3), zoneName);
    OVPrefs::setValue(OVPrefs::alertsKey, true);
    OVNotify::climateAlerts(QList<ClimateAlert>(), zoneName);
    EXPECT_TRUE(OVNotify::sentAlerts.isEmpty());
    EXPECT_TRUE(delivered.isEmpty());
}

TEST_F(OVNotifyAlerts, DisabledRecordsLinesWithoutPosting)
{
    OVNotify::enabled = false;
    OVNotify::climateAlerts(alerts(6), zoneName);
    ASSERT_EQ(OVNotify::sentAlerts.size(), 4);
    EXPECT_EQ(OVNotify::sentAlerts[1], QStringLiteral("South: Humidity 91% is above your high alert of 85%"));
    EXPECT_TRUE(delivered.isEmpty());
    OVNotify::climateAlerts(alerts(1), zoneName);
    EXPECT_EQ(OVNotify::sentAlerts.size(), 5); // appended, never cleared
}

TEST_F(OVNotifyAlerts, OneAlertIsTitledInTheSingular)
{
    OVNotify::climateAlerts(alerts(1), zoneName);
    ASSERT_EQ(delivered.size(), 1);
    EXPECT_EQ(delivered[0], (QStringList{"Climate alert", "North: Humidity 90% is above your high alert of 85%"}));
}

using OVNotifyPermission = OVNotifyTest;

TEST_F(OVNotifyPermission, DisabledAnswersNothingAtOnce)
{
    OVNotify::enabled = false;
    int calls = 0;
    std::optional<bool> answer = true;
    OVNotify::refreshStatus([&](std::optional<bool> a) {
        ++calls;
        answer = a;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(answer.has_value());
    OVNotify::requestPermission();
    spin(50);
    EXPECT_FALSE(OVNotify::authorized.has_value());
}

TEST_F(OVNotifyPermission, NoSessionBusMeansUnavailableWithoutBlocking)
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("XDG_RUNTIME_DIR");
    std::optional<std::optional<bool>> answer;
    OVNotify::refreshStatus([&](std::optional<bool> a) { answer = a; });
    EXPECT_FALSE(answer.has_value()); // answered later, on the event loop
    OVNotify::requestPermission();
    EXPECT_TRUE(waitUntil([&] { return answer.has_value() && OVNotify::authorized.has_value(); }, 2000));
    EXPECT_EQ(answer, std::optional<std::optional<bool>>(false));
    EXPECT_EQ(OVNotify::authorized, std::optional<bool>(false));
    // Alerts still go through the motions and are recorded.
    NotificationCentre::shared().setDeliver(nullptr);
    OVNotify::climateAlerts(alerts(2), zoneName);
    EXPECT_EQ(OVNotify::sentAlerts.size(), 2);
    if (!address.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    if (!runtime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", runtime);
}

// ---------------------------------------------------------------------------------
// On a private session bus (ctest runs these under dbus-run-session with
// OV_PRIVATE_BUS=1; elsewhere they skip): a stand-in notification service on its own
// connection records every Notify call.

class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString app;
        QString summary;
        QString body;
    };
    QList<Call> calls;

public slots:
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("body-markup")}; }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion)
    {
        vendor = QStringLiteral("test");
        version = QStringLiteral("1");
        specVersion = QStringLiteral("1.2");
        return QStringLiteral("fake");
    }
    uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int)
    {
        calls.append({app, summary, body});
        return uint(calls.size());
    }
};

class NotifyBus : public NotifyState {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("OV_PRIVATE_BUS") != QLatin1String("1"))
            GTEST_SKIP() << "needs a private session bus (ctest test NotifyBus.PrivateSession)";
        NotifyState::SetUp();
        static int serial = 0;
        m_name = QStringLiteral("ov-fake-notifications-%1").arg(++serial);
        m_connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name);
        ASSERT_TRUE(m_connection.isConnected());
        ASSERT_TRUE(m_connection.registerObject(NotificationBus::path, &server, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_connection.registerService(NotificationBus::service));
    }

    void TearDown() override
    {
        if (m_name.isEmpty())
            return;
        m_connection.unregisterService(NotificationBus::service);
        m_connection.unregisterObject(NotificationBus::path);
        QDBusConnection::disconnectFromBus(m_name);
        NotifyState::TearDown();
    }

    void dropService() { m_connection.unregisterService(NotificationBus::service); }

    FakeNotificationServer server;

private:
    QString m_name;
    QDBusConnection m_connection{QString()};
};

TEST_F(NotifyBus, SixAlertsMakeOneNotificationWithFourLines)
{
    OVNotify::climateAlerts(alerts(6), zoneName);
    ASSERT_TRUE(waitUntil([&] { return !server.calls.isEmpty(); }));
    spin(200);
    ASSERT_EQ(server.calls.size(), 1);
    EXPECT_EQ(server.calls[0].app, QStringLiteral("QNMR Orvane"));
    EXPECT_EQ(server.calls[0].summary, QStringLiteral("6 climate alerts"));
    const QStringList lines = server.calls[0].body.split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("North: Humidity 90% is above your high alert of 85%"));
    EXPECT_EQ(OVNotify::sentAlerts, lines);
}

TEST_F(NotifyBus, AlertsSwitchedOffSendNothing)
{
    OVPrefs::setValue(OVPrefs::alertsKey, false);
    OVNotify::climateAlerts(alerts(3), zoneName);
    // Calls from one connection arrive in order: had the first batch been sent, it
    // would come before this one.
    OVPrefs::setValue(OVPrefs::alertsKey, true);
    OVNotify::climateAlerts(alerts(1), zoneName);
    ASSERT_TRUE(waitUntil([&] { return !server.calls.isEmpty(); }));
    spin(200);
    ASSERT_EQ(server.calls.size(), 1);
    EXPECT_EQ(server.calls[0].summary, QStringLiteral("Climate alert"));
}

TEST_F(NotifyBus, DueReminderIsDeliveredByTheTimer)
{
    const QDateTime due = now.addSecs(600);
    OVNotify::install({ReminderRequest{QStringLiteral("ov.task.5.1"), QStringLiteral("Feed tomatoes"),
                                       QStringLiteral("Feeding \u00B7 North"), due}});
    spin(200);
    EXPECT_TRUE(server.calls.isEmpty());
    EXPECT_EQ(NotificationCentre::shared().pendingIdentifiers(), QStringList{QStringLiteral("ov.task.5.1")});

    advanceTo(due.addSecs(60));
    ASSERT_TRUE(waitUntil([&] { return !server.calls.isEmpty(); }));
    EXPECT_EQ(server.calls[0].summary, QStringLiteral("Feed tomatoes"));
    EXPECT_EQ(server.calls[0].body, QStringLiteral("Feeding \u00B7 North"));
    EXPECT_TRUE(NotificationCentre::shared().pendingIdentifiers().isEmpty());
}

TEST_F(NotifyBus, UserTextIsNeverReadAsMarkup)
{
    OVNotify::climateAlerts(alerts(1), [](qint64) { return QStringLiteral("A & B <b>x</b>"); });
    ASSERT_TRUE(waitUntil([&] { return !server.calls.isEmpty(); }));
    EXPECT_EQ(server.calls[0].body,
              QStringLiteral("A &amp; B &lt;b&gt;x&lt;/b&gt;: Humidity 90% is above your high alert of 85%"));
    EXPECT_EQ(OVNotify::sentAlerts.first(), QStringLiteral("A & B <b>x</b>: Humidity 90% is above your high alert of 85%"));
}

TEST_F(NotifyBus, PermissionFollowsTheService)
{
    OVNotify::requestPermission();
    ASSERT_TRUE(waitUntil([&] { return OVNotify::authorized.has_value(); }));
    EXPECT_EQ(OVNotify::authorized, std::optional<bool>(true));

    dropService();
    std::optional<std::optional<bool>> answer;
    OVNotify::refreshStatus([&](std::optional<bool> a) { answer = a; });
    ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));
    EXPECT_EQ(answer, std::optional<std::optional<bool>>(false));
}

#include "OVNotifyTest.moc"
