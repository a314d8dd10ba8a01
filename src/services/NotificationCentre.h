#pragma once
// The program's own table of pending notification requests, fired by a timer while
// the program runs, delivered through the desktop's notification service.
//
// A request has an identifier and either a fire instant (kept pending until the
// clock reaches it) or none (delivered at once). Adding an identifier that is
// already pending replaces it. A request whose time has come is delivered once and
// leaves the table. The timer never sleeps longer than a minute, so a suspended
// machine or a changed clock is noticed soon after.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

class NotificationCentre : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    using Deliver = std::function<void(const QString& title, const QString& body)>;

    explicit NotificationCentre(QObject* parent = nullptr);
    static NotificationCentre& shared();

    // Replaces the clock (tests pin the time) and looks at the table again.
    void setClock(Clock clock);
    // Replaces the delivery (by default the session bus's notification service).
    void setDeliver(Deliver deliver);

    // Identifiers of the pending requests, earliest first.
    QStringList pendingIdentifiers() const;
    // When the pending request fires; nothing when no such request is pending.
    std::optional<QDateTime> pendingFire(const QString& id) const;

    void removePending(const QStringList& ids);
    void add(const QString& id, const QString& title, const QString& body,
             const std::optional<QDateTime>& fireAt);

signals:
    void delivered(const QString& id);

private:
    struct Pending {
        QString id;
        QString title;
        QString body;
        QDateTime fireAt;
    };

    QDateTime now() const;
    void deliver(const QString& id, const QString& title, const QString& body);
    void fireDue();
    void arm();

    QList<Pending> m_pending; // ascending by fireAt, stable for equal times
    QTimer m_timer;
    Clock m_clock;
    Deliver m_deliver;
};
