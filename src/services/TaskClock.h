#pragma once
// The clock the schedule screens, task rows and the task editor read "now" from:
// overdue marks, the Done time, the editor's next-dates preview and the calendar's
// first month and today mark. The real clock unless a test or the snapshot mode
// pins it; whoever pins it puts the real clock back with reset().

#include <QDateTime>
#include <functional>

namespace TaskClock {

inline std::function<QDateTime()>& source()
{
    static std::function<QDateTime()> clock;
    return clock;
}

// The current instant (UTC).
inline QDateTime now()
{
    return source() ? source()() : QDateTime::currentDateTimeUtc();
}

inline void pin(const QDateTime& instant)
{
    source() = [instant] { return instant; };
}

inline void reset()
{
    source() = nullptr;
}

} // namespace TaskClock
