#include "services/NetStatus.h"

#include <QNetworkInformation>

namespace {

// Only a plain "no network" counts as offline: a local-only answer often just
// means the backend could not probe the internet, and "unknown" is no answer.
bool reachable(QNetworkInformation::Reachability r)
{
    return r != QNetworkInformation::Reachability::Disconnected;
}

} // namespace

NetStatus& NetStatus::shared()
{
    static NetStatus* const instance = new NetStatus;
    return *instance;
}

bool NetStatus::isOnline() const
{
    return override ? *override : m_online;
}

void NetStatus::report(bool isReachable)
{
    m_online = isReachable;
    emit onlineChanged(m_online);
}

void NetStatus::start()
{
    if (m_started)
        return;
    m_started = true;

    // QNetworkInformation is process-wide; loading it again is harmless and
    // returns the backend that is already loaded.
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return; // no backend: stay online
    QNetworkInformation* info = QNetworkInformation::instance();
    if (!info)
        return;
    // The context object drops the connection when this instance goes away.
    connect(info, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability r) { report(reachable(r)); },
            Qt::QueuedConnection);
    // The backend's current answer stands in for the monitor's first report.
    report(reachable(info->reachability()));
}
