#pragma once
// Helpers for tests of work that runs on background jobs.

#include "records/Reading.h"
#include "services/BackgroundJobs.h"
#include "services/JobState.h"
#include "store/OVStore.h"

namespace testsupport {

// Waits for every running job and runs its end here, as the event loop would.
inline void finishJobs()
{
    BackgroundJobs::shared().waitAll();
}

// Slows every job down while it lives, so a test can act while one runs.
struct SlowJobs {
    SlowJobs(int stageMs, int stepUs)
    {
        JobState::testStageDelayMs = stageMs;
        JobState::testStepDelayUs = stepUs;
    }
    ~SlowJobs()
    {
        JobState::testStageDelayMs = 0;
        JobState::testStepDelayUs = 0;
    }
    SlowJobs(const SlowJobs&) = delete;
    SlowJobs& operator=(const SlowJobs&) = delete;
};

// Makes every job fail as when memory runs out, while it lives.
struct FailingJobs {
    FailingJobs() { JobState::testStageFails = true; }
    ~FailingJobs() { JobState::testStageFails = false; }
    FailingJobs(const FailingJobs&) = delete;
    FailingJobs& operator=(const FailingJobs&) = delete;
};

// Saves `count` readings a minute apart into the store's first zone: enough rows for
// an export to be caught while it writes them.
inline void addMinuteReadings(OVStore& store, int count)
{
    const qint64 zone = store.zones().first().id;
    const QDateTime start(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    QList<Reading> batch;
    for (int i = 0; i < count; ++i)
        batch.append(Reading{.zoneID = zone, .taken = start.addSecs(60 * i), .values = {{Metric::temp, 70}}});
    store.addReadings(batch);
}

} // namespace testsupport
