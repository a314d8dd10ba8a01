#pragma once
// The launch work of the interactive application that needs a running event loop:
// the network-status monitor, the task reminders planned at launch, planned again one
// second after the last of a burst of store changes, and an hourly heartbeat that
// raises the store's revision so that plans and screens follow the clock.
//
// Invariants: the launch plan is the only one at start (the revision current at
// launch never triggers the debounced plan); every burst of changes gives exactly
// one plan, one debounce interval after its last change; the delegate holds its
// store object itself, which a restore keeps, so nothing is re-looked-up later.
// Main thread only.

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class OVStore;

class OVDelegate : public QObject {
    Q_OBJECT
public:
    using Planner = std::function<void(const OVStore&, const QDateTime&)>;

    static constexpr int debounceMs = 1000;
    static constexpr int heartbeatMs = 3600 * 1000;

    // `plan` replaces OVNotify::reschedule and the heartbeat interval can be shortened
    // (tests); the defaults are the application's.
    explicit OVDelegate(OVStore* store, QObject* parent = nullptr, Planner plan = {},
                        int heartbeatInterval = heartbeatMs);

    // Starts the network monitor; with a store, plans the reminders, asks for the
    // desktop's permission when a reminder is wanted, and starts following the store.
    void launch();

    int heartbeatInterval() const { return m_heartbeat.interval(); }

private:
    void plan();

    QPointer<OVStore> m_store;
    Planner m_plan;
    QTimer m_debounce;
    QTimer m_heartbeat;
};
