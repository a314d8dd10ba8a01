#pragma once
// Measures how long the main thread stops answering: a heartbeat timer fires every
// few milliseconds on the main thread's event loop, and the meter keeps the longest
// gap between two beats. Work that holds the main thread shows up as one long gap;
// work on a worker thread leaves the beats regular.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class StallMeter : public QObject {
public:
    explicit StallMeter(int intervalMs = 5);

    // Starts `work` from the event loop, then runs the loop until `done` says the
    // work has ended (checked at every beat), and returns the longest gap in
    // milliseconds seen from the start to the end, the last beat included.
    double measure(const std::function<void()>& work, const std::function<bool()>& done);

    double longestGapMs() const { return m_longest / 1e6; }
    double elapsedMs() const { return m_total / 1e6; }

private:
    void beat();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_total = 0;
};
