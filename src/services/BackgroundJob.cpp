#include "services/BackgroundJob.h"

#include "services/BackgroundJobs.h"

#include <QtConcurrent/QtConcurrentRun>

BackgroundJob::BackgroundJob(const QString& name, Stop stop, Work work, Ended ended, QObject* parent)
    : QObject(parent), m_name(name), m_stop(stop), m_work(std::move(work)), m_ended_callback(std::move(ended))
{
    m_progress.setInterval(progressIntervalMs);
    connect(&m_progress, &QTimer::timeout, this, &BackgroundJob::progressed);
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, &BackgroundJob::end);
}

BackgroundJob::~BackgroundJob()
{
    // A job is only destroyed after its work returned; this covers a parent that goes
    // first (the worker must never outlive the state it writes to).
    if (m_started && !m_ended)
        m_future.waitForFinished();
    BackgroundJobs::shared().remove(this);
}

BackgroundJob* BackgroundJob::start(const QString& name, Stop stop, Work work, Ended ended)
{
    auto* job = new BackgroundJob(name, stop, std::move(work), std::move(ended));
    job->run();
    return job;
}

void BackgroundJob::run()
{
    m_started = true;
    BackgroundJobs::shared().add(this);
    m_future = QtConcurrent::run([this] {
        try {
            m_work(m_state);
        } catch (...) {
            m_error = std::current_exception();
        }
    });
    m_watcher.setFuture(m_future);
    m_progress.start();
}

void BackgroundJob::cancel()
{
    if (cancellable())
        m_state.requestCancel();
}

void BackgroundJob::wait()
{
    if (!m_started || m_ended)
        return;
    m_future.waitForFinished();
    end();
}

void BackgroundJob::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_progress.stop();
    BackgroundJobs::shared().remove(this);
    if (m_ended_callback)
        m_ended_callback(m_error);
    emit finished();
    deleteLater();
}

bool BackgroundJob::wasCancelled(const std::exception_ptr& error)
{
    if (!error)
        return false;
    try {
        std::rethrow_exception(error);
    } catch (const JobCancelled&) {
        return true;
    } catch (...) {
        return false;
    }
}
