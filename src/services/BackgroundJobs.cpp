#include "services/BackgroundJobs.h"

#include "services/BackgroundJob.h"

BackgroundJobs& BackgroundJobs::shared()
{
    static BackgroundJobs* instance = new BackgroundJobs; // lives until the process ends
    return *instance;
}

bool BackgroundJobs::runs(const QString& name) const
{
    for (BackgroundJob* job : m_running)
        if (job->name() == name)
            return true;
    return false;
}

BackgroundJob* BackgroundJobs::mustFinish() const
{
    for (BackgroundJob* job : m_running)
        if (!job->cancellable())
            return job;
    return nullptr;
}

void BackgroundJobs::stopAll()
{
    for (BackgroundJob* job : QList<BackgroundJob*>(m_running))
        job->cancel();
    // Each wait() runs the job's end, which takes it off the list.
    waitAll();
}

void BackgroundJobs::waitAll()
{
    while (!m_running.isEmpty())
        m_running.first()->wait();
}

void BackgroundJobs::add(BackgroundJob* job)
{
    if (!m_running.contains(job)) {
        m_running.append(job);
        emit changed();
    }
}

void BackgroundJobs::remove(BackgroundJob* job)
{
    if (m_running.removeOne(job))
        emit changed();
}
