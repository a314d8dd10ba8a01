#pragma once
// The desktop's notification service (org.freedesktop.Notifications) on the
// session bus.
//
// Nothing here blocks or fails loudly: every call is asynchronous, and without a
// session bus (a CI machine, a plain SSH login) checks answer "not available" and
// notifications are dropped. The bus is only touched when one is configured, so no
// bus is ever launched on our behalf. Texts are plain: when the service renders
// markup in bodies, the body is escaped first.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class NotificationBus : public QObject {
    Q_OBJECT
public:
    static inline const QString service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString path = QStringLiteral("/org/freedesktop/Notifications");

    explicit NotificationBus(QObject* parent = nullptr);
    static NotificationBus& shared();

    // Whether a session bus address is known (environment or the per-user socket).
    static bool sessionBusConfigured();

    // Calls `done` once, later, on this object's thread: true when the service
    // answered, false when there is no bus, no service or no answer in time.
    void checkService(std::function<void(bool)> done);

    // Hands one notification to the service (fire and forget).
    void notify(const QString& title, const QString& body);

    // `body` made safe for a service that reads markup: &, < and > as entities.
    static QString escapeMarkup(const QString& body);

private:
    struct Message {
        QString title;
        QString body;
    };
    bool connected() const;
    void send(const Message& message);

    std::optional<bool> m_markup; // known after the service listed its capabilities
    bool m_askingCapabilities = false;
    QList<Message> m_waiting;     // held while the capabilities are being asked for
};
