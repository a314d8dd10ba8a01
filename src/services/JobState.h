#pragma once
// What a piece of background work and the main thread share while it runs: the
// stage it is in ("Exporting readings…"), how far it has come and how far it goes,
// and whether the user asked it to stop.
//
// Invariants: the counters are atomics written by the worker and read by the main
// thread a few times a second, never one signal per row; the stage text is guarded
// by a mutex because it changes only a handful of times per job. Cancelling is a
// request: work that may stop calls checkCancel() between rows and leaves by
// throwing JobCancelled; work that must run to its end simply never asks.

#include <QMutex>
#include <QString>

#include <atomic>
#include <chrono>
#include <exception>

// Thrown by checkCancel(): the work stopped because the user asked it to.
struct JobCancelled : std::exception {
    const char* what() const noexcept override { return "cancelled"; }
};

class JobState {
public:
    // Starts a stage: its text, and its number of steps when known (else -1).
    void setStage(const QString& text, qint64 total = -1);
    void advance(qint64 steps = 1)
    {
        m_done.fetch_add(steps, std::memory_order_relaxed);
        if (const int delay = testStepDelayUs.load(std::memory_order_relaxed))
            pause(std::chrono::microseconds(delay));
    }

    void requestCancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool cancelRequested() const { return m_cancel.load(std::memory_order_relaxed); }
    // Throws JobCancelled once a cancel was requested.
    void checkCancel() const
    {
        if (cancelRequested())
            throw JobCancelled();
    }

    qint64 done() const { return m_done.load(std::memory_order_relaxed); }
    qint64 total() const { return m_total.load(std::memory_order_relaxed); }
    QString stage() const;
    // "Exporting readings… 420,000 of 1,000,000", or the stage alone when the total
    // is unknown.
    QString text() const;

    // Tests slow the work down to act while it runs: every stage start and every step
    // then waits this long on the worker. Zero (no wait) in the program.
    static inline std::atomic<int> testStageDelayMs{0};
    static inline std::atomic<int> testStepDelayUs{0};
    // Tests make the work fail as when memory runs out: every stage start then throws
    // std::bad_alloc on the worker. False in the program.
    static inline std::atomic<bool> testStageFails{false};

private:
    static void pause(std::chrono::microseconds delay);

    mutable QMutex m_mutex;
    QString m_stage;
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{-1};
    std::atomic<bool> m_cancel{false};
};
