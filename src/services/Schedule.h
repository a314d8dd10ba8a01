#pragma once
// Due-date arithmetic of repeat rules: which instants a rule gives inside a window,
// when a task is next due, whether it is overdue, and how long a month is.
//
// All arithmetic runs on local wall-clock dates in the calendar passed in, so a
// daily job at 08:00 stays at 08:00 across clock changes; every candidate is worked
// out afresh from the start day (no drift from repeated addition). A walk never
// examines more than 20,000 periods, skips whole periods that lie before `from`,
// and ends quietly when period arithmetic would leave the 64-bit range.

#include "records/Calendar.h"
#include "records/OVDay.h"
#include "records/Recurrence.h"

#include <QDateTime>
#include <QList>
#include <optional>

struct OVTask;

namespace Schedule {

// The most periods one walk examines.
inline constexpr qint64 maxPeriods = 20000;

// The earliest instant a walk ever starts from (1 January of year 1, UTC).
QDateTime distantPast();

// Days in month `month` of `year`; 30 when the calendar cannot tell.
int daysInMonth(qint64 year, int month, const Calendar& calendar = Calendar::current());

// The instants of `rule` from `start` at hour:minute, not before `from`, not after
// `until` (when given), at most `limit` of them, ascending. All in UTC.
QList<QDateTime> occurrences(const Recurrence& rule, const OVDay& start, qint64 hour, qint64 minute,
                             const Calendar& calendar = Calendar::current(),
                             const QDateTime& from = distantPast(),
                             const std::optional<QDateTime>& until = std::nullopt,
                             qint64 limit = 50);

// The first occurrence at least one second after the task was last done (or the
// very first when never done); nothing for a paused task or a finished rule.
std::optional<QDateTime> nextDue(const OVTask& task, const Calendar& calendar = Calendar::current());

// True when the task's next due instant lies strictly before `now`.
bool isOverdue(const OVTask& task, const QDateTime& now = QDateTime::currentDateTimeUtc(),
               const Calendar& calendar = Calendar::current());

} // namespace Schedule
