#include "services/JobState.h"

#include <QLocale>

#include <algorithm>
#include <new>
#include <thread>

void JobState::setStage(const QString& text, qint64 total)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_stage = text;
        m_done.store(0, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
    }
    if (const int delay = testStageDelayMs.load(std::memory_order_relaxed))
        pause(std::chrono::milliseconds(delay));
    if (testStageFails.load(std::memory_order_relaxed))
        throw std::bad_alloc();
}

void JobState::pause(std::chrono::microseconds delay)
{
    std::this_thread::sleep_for(delay);
}

QString JobState::stage() const
{
    const QMutexLocker lock(&m_mutex);
    return m_stage;
}

QString JobState::text() const
{
    const qint64 all = total();
    if (all < 0)
        return stage();
    // Grouped the same way on every system, as the rest of the program's counts.
    static const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return stage() + u' ' + grouped.toString(std::min(done(), all)) + QStringLiteral(" of ") + grouped.toString(all);
}
