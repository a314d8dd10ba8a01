#include "services/NotificationBus.h"

#include "records/OVInfo.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QTimer>
#include <QVariantMap>

namespace {

constexpr int answerTimeoutMs = 5000;
const QString interfaceName = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage methodCall(const QString& method)
{
    return QDBusMessage::createMethodCall(NotificationBus::service, NotificationBus::path, interfaceName, method);
}

} // namespace

NotificationBus::NotificationBus(QObject* parent) : QObject(parent) {}

NotificationBus& NotificationBus::shared()
{
    static NotificationBus* instance = new NotificationBus();
    return *instance;
}

bool NotificationBus::sessionBusConfigured()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

bool NotificationBus::connected() const
{
    return sessionBusConfigured() && QDBusConnection::sessionBus().isConnected();
}

void NotificationBus::checkService(std::function<void(bool)> done)
{
    if (!done)
        return;
    if (!connected()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false); });
        return;
    }
    // Any answer at all means the service is there; asking also starts a service
    // that the bus activates on demand.
    const QDBusPendingCall call =
        QDBusConnection::sessionBus().asyncCall(methodCall(QStringLiteral("GetServerInformation")), answerTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [done = std::move(done)](QDBusPendingCallWatcher* w) {
        const bool answered = !w->isError();
        w->deleteLater();
        done(answered);
    });
}

QString NotificationBus::escapeMarkup(const QString& body)
{
    QString out;
    out.reserve(body.size());
    for (QChar c : body) {
        if (c == u'&')
            out += QStringLiteral("&amp;");
        else if (c == u'<')
            out += QStringLiteral("&lt;");
        else if (c == u'>')
            out += QStringLiteral("&gt;");
        else
            out += c;
    }
    return out;
}

void NotificationBus::notify(const QString& title, const QString& body)
{
    if (!connected())
        return;
    if (m_markup) {
        send({title, body});
        return;
    }
    m_waiting.append({title, body});
    if (m_askingCapabilities)
        return;
    m_askingCapabilities = true;
    const QDBusPendingCall call =
        QDBusConnection::sessionBus().asyncCall(methodCall(QStringLiteral("GetCapabilities")), answerTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QStringList> reply = *w;
        w->deleteLater();
        // No answer: assume plain text, and ask again with the next notification.
        const bool knows = !reply.isError();
        m_markup = knows && reply.value().contains(QStringLiteral("body-markup"));
        m_askingCapabilities = false;
        const QList<Message> waiting = std::exchange(m_waiting, {});
        for (const Message& m : waiting)
            send(m);
        if (!knows)
            m_markup.reset();
    });
}

void NotificationBus::send(const Message& message)
{
    QDBusMessage call = methodCall(QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    call << OVInfo::appName                                  // app_name
         << uint(0)                                          // replaces_id
         << QString()                                        // app_icon
         << message.title                                    // summary (never markup)
         << (m_markup.value_or(false) ? escapeMarkup(message.body) : message.body)
         << QStringList()                                    // actions
         << hints
         << int(-1);                                         // expire_timeout: the service decides
    QDBusConnection::sessionBus().send(call);
}
