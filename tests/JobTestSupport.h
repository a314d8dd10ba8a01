#pragma once
// Helpers for tests of work that runs on background jobs.

#include "services/BackgroundJobs.h"
#include "services/JobState.h"

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

} // namespace testsupport
