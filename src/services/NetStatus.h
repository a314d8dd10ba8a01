#pragma once
// Whether the machine is online, for the screens that link to the web.
// Invariants: `online` is true until the network monitor has said otherwise
// (a machine without a monitoring backend counts as online); `start()` loads the
// monitor at most once per instance; `isOnline()` is `override` whenever that is
// set, whatever the monitor says. All reads and writes happen on the main thread:
// the monitor's changes arrive there as queued signals.

#include <QObject>
#include <optional>

class NetStatus : public QObject {
    Q_OBJECT
public:
    // The one instance, made on first use and kept for the life of the process.
    static NetStatus& shared();

    // Forces the state seen by isOnline() and VideoAccess; set only by the
    // self-check and the snapshot mode.
    static inline std::optional<bool> override;

    NetStatus() = default;

    // The monitored state (true before the first report).
    bool online() const { return m_online; }
    // `override` when set, else the monitored state.
    bool isOnline() const;
    // Starts watching the network once; later calls do nothing.
    void start();
    bool started() const { return m_started; }

    // Feeds one report of the monitor; public so the monitor's replacement in
    // tests can drive it. Emits onlineChanged on every report, changed or not.
    void report(bool reachable);

signals:
    void onlineChanged(bool online);

private:
    bool m_online = true;
    bool m_started = false;
};
