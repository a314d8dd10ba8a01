#pragma once
// Coalesces a screen's rebuilds: schedule() marks the owner dirty and rebuilds it once
// on the next event-loop turn, and only while the owner is visible (a hidden owner
// rebuilds when it is shown). Many requests before that turn give one rebuild. The
// rebuild never runs inside the slot that asked for it, so it may delete the widget
// whose button asked.

#include <QObject>
#include <functional>

class OVStore;
class QWidget;

class OVRebuilder : public QObject {
    Q_OBJECT
public:
    OVRebuilder(QWidget* owner, std::function<void()> rebuild);

    void schedule();
    // Schedules on every revisionChanged of the store.
    void follow(OVStore& store);
    // Rebuilds at once (first build, tests).
    void rebuildNow();
    int rebuildCount() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    std::function<void()> m_rebuild;
    bool m_dirty = false;
    bool m_queued = false;
    int m_count = 0;
};
