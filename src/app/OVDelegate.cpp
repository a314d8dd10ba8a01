#include "app/OVDelegate.h"

#include "records/OVPrefs.h"
#include "services/NetStatus.h"
#include "services/OVNotify.h"
#include "store/OVStore.h"

#include <algorithm>

OVDelegate::OVDelegate(OVStore* store, QObject* parent, Planner plan, int heartbeatInterval)
    : QObject(parent), m_store(store), m_plan(plan ? std::move(plan) : Planner([](const OVStore& s, const QDateTime& now) {
                                                  OVNotify::reschedule(s, now);
                                              }))
{
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(debounceMs);
    connect(&m_debounce, &QTimer::timeout, this, &OVDelegate::plan);
    m_heartbeat.setInterval(heartbeatInterval);
    // Whole seconds are precise enough for an hourly tick; short test intervals stay exact.
    if (heartbeatInterval >= 60 * 1000)
        m_heartbeat.setTimerType(Qt::VeryCoarseTimer);
}

void OVDelegate::launch()
{
    NetStatus::shared().start();
    if (!m_store)
        return;

    plan();
    if (OVPrefs::remindersOn()) {
        const QList<OVTask> tasks = m_store->tasks();
        if (std::any_of(tasks.begin(), tasks.end(), [](const OVTask& t) { return t.remind && t.active; }))
            OVNotify::requestPermission();
    }

    // Connected only now, so the revision at launch never starts the debounce; every
    // change restarts the one-second wait.
    connect(m_store, &OVStore::revisionChanged, &m_debounce, qOverload<>(&QTimer::start));
    connect(&m_heartbeat, &QTimer::timeout, m_store, &OVStore::changed);
    m_heartbeat.start();
}

void OVDelegate::plan()
{
    if (m_store)
        m_plan(*m_store, QDateTime::currentDateTimeUtc());
}
