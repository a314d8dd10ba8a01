#include "services/NotificationCentre.h"

#include "services/NotificationBus.h"

#include <algorithm>

namespace {

constexpr qint64 longestSleepMs = 60 * 1000;

} // namespace

NotificationCentre::NotificationCentre(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &NotificationCentre::fireDue);
}

NotificationCentre& NotificationCentre::shared()
{
    static NotificationCentre* instance = new NotificationCentre();
    return *instance;
}

void NotificationCentre::setClock(Clock clock)
{
    m_clock = std::move(clock);
    arm();
}

void NotificationCentre::setDeliver(Deliver deliver) { m_deliver = std::move(deliver); }

QDateTime NotificationCentre::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

QStringList NotificationCentre::pendingIdentifiers() const
{
    QStringList ids;
    ids.reserve(m_pending.size());
    for (const Pending& p : m_pending)
        ids.append(p.id);
    return ids;
}

std::optional<QDateTime> NotificationCentre::pendingFire(const QString& id) const
{
    for (const Pending& p : m_pending)
        if (p.id == id)
            return p.fireAt;
    return std::nullopt;
}

void NotificationCentre::removePending(const QStringList& ids)
{
    if (ids.isEmpty())
        return;
    m_pending.removeIf([&ids](const Pending& p) { return ids.contains(p.id); });
    arm();
}

void NotificationCentre::add(const QString& id, const QString& title, const QString& body,
                             const std::optional<QDateTime>& fireAt)
{
    m_pending.removeIf([&id](const Pending& p) { return p.id == id; });
    if (!fireAt || !fireAt->isValid()) {
        deliver(id, title, body);
        arm();
        return;
    }
    const auto at = std::upper_bound(m_pending.begin(), m_pending.end(), *fireAt,
                                     [](const QDateTime& t, const Pending& p) { return t < p.fireAt; });
    m_pending.insert(at, Pending{id, title, body, *fireAt});
    arm();
}

void NotificationCentre::deliver(const QString& id, const QString& title, const QString& body)
{
    if (m_deliver)
        m_deliver(title, body);
    else
        NotificationBus::shared().notify(title, body);
    emit delivered(id);
}

void NotificationCentre::fireDue()
{
    const QDateTime current = now();
    QList<Pending> due;
    while (!m_pending.isEmpty() && m_pending.first().fireAt <= current)
        due.append(m_pending.takeFirst());
    for (const Pending& p : due)
        deliver(p.id, p.title, p.body);
    arm();
}

void NotificationCentre::arm()
{
    if (m_pending.isEmpty()) {
        m_timer.stop();
        return;
    }
    const qint64 wait = std::clamp<qint64>(now().msecsTo(m_pending.first().fireAt), 0, longestSleepMs);
    m_timer.start(int(wait));
}
