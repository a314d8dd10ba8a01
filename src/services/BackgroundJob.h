#pragma once
// One piece of long work (an export, an import, a backup, a restore) run on a worker
// thread so that the window keeps painting, with its progress and its end reported
// on the main thread.
//
// Invariants:
//   - The work never touches an object of the main thread's store: it opens its own
//     OVStore on the same file (SQLite connections are never shared between threads).
//     Whatever the main store must learn (a new revision) is done in `ended`, which
//     runs on the main thread exactly once, after the work has returned or thrown.
//   - progressed() fires from a main-thread timer a few times a second while the job
//     runs, never from the worker.
//   - A job that may be cancelled stops at the work's next checkCancel(); a job that
//     runs to its end (backup, restore) ignores cancel() and is waited for instead.
//   - Every running job is listed in BackgroundJobs::shared() from start() until its
//     `ended` has run; the job deletes itself afterwards.

#include "services/JobState.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <exception>
#include <functional>

class BackgroundJob : public QObject {
    Q_OBJECT
public:
    enum class Stop { cancellable, runsToEnd };
    using Work = std::function<void(JobState&)>;
    // The work's exception (nullptr when it returned; a JobCancelled when it stopped
    // on request).
    using Ended = std::function<void(std::exception_ptr error)>;

    // `name` names the job to the user ("export", "backup"): the quit notice says it.
    BackgroundJob(const QString& name, Stop stop, Work work, Ended ended, QObject* parent = nullptr);
    ~BackgroundJob() override;

    // Runs the job on the global thread pool and returns it (owned by itself).
    static BackgroundJob* start(const QString& name, Stop stop, Work work, Ended ended);

    const QString& name() const { return m_name; }
    bool cancellable() const { return m_stop == Stop::cancellable; }
    bool hasEnded() const { return m_ended; }
    const JobState& state() const { return m_state; }
    // Asks a cancellable job to stop; does nothing to one that runs to its end.
    void cancel();
    // Blocks until the work has returned, then runs `ended` at once (quitting, tests).
    void wait();

    // Whether `error` says the work stopped because it was cancelled.
    static bool wasCancelled(const std::exception_ptr& error);

    // How often progressed() fires while the job runs.
    static constexpr int progressIntervalMs = 200;

signals:
    void progressed();
    // After `ended` has run.
    void finished();

private:
    void run();
    void end();

    QString m_name;
    Stop m_stop;
    Work m_work;
    Ended m_ended_callback;
    JobState m_state;
    std::exception_ptr m_error;
    QFuture<void> m_future;
    QFutureWatcher<void> m_watcher;
    QTimer m_progress;
    bool m_started = false;
    bool m_ended = false;
};
