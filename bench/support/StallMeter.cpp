#include "support/StallMeter.h"

#include <QEventLoop>

StallMeter::StallMeter(int intervalMs)
{
    m_timer.setInterval(intervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { beat(); });
}

void StallMeter::beat()
{
    const qint64 now = m_clock.nsecsElapsed();
    m_longest = std::max(m_longest, now - m_last);
    m_last = now;
}

double StallMeter::measure(const std::function<void()>& work, const std::function<bool()>& done)
{
    QEventLoop loop;
    m_longest = 0;
    m_clock.start();
    m_last = 0;
    QTimer check;
    check.setInterval(m_timer.interval());
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(0, &loop, [&] {
        work();
        check.start();
    });
    m_timer.start();
    loop.exec();
    m_timer.stop();
    beat();
    m_total = m_clock.nsecsElapsed();
    return longestGapMs();
}
