#pragma once
// Where the climate chart's time axis puts its marks and what they say: on local
// calendar boundaries (whole seconds, minutes and hours, midnights, Sundays, the first
// of a month or of a year), one step apart, the step taken from a fixed ladder so
// that a handful of marks fall inside the span. No widgets: the chart hands the
// result to its axis.
//
// Invariants: marks lie inside [from, to], oldest first, strictly increasing, each
// on a boundary of the step's unit in the calendar's zone; consecutive marks are
// one step apart on the local wall clock (an hour the clock skips is not marked, so
// one step can span the gap; a day whose midnight is skipped is marked at its first
// instant; where the clock goes back, each wall time is marked once, at its first
// instant in the span, so the repeated hour's second run carries the marks its first
// run did not); labels are distinct and each names its own mark in a form that fits
// the step. The step chosen is the finest of a minute or longer whose marks number
// at most maxMarks; spans a few times wider than maxMarks of the ladder's next finer
// step therefore get at least three marks. Steps of seconds are taken only when
// whole minutes give fewer than two marks (a span of a minute or two), and a span
// too short for two whole seconds is marked at its two ends (step count 0; one mark
// for a span of one instant). Any valid span therefore has a mark, and two or more
// when it is longer than an instant.

#include "records/Calendar.h"

#include <QDateTime>
#include <QList>
#include <QString>

class TimeAxisMarks {
public:
    enum class Unit { second, minute, hour, day, week, month, year };
    struct Step {
        Unit unit = Unit::day;
        int count = 1;
        bool operator==(const Step&) const = default;
    };
    struct Mark {
        QDateTime at; // UTC
        QString label;
    };
    struct Marks {
        Step step;
        QList<Mark> marks;
    };

    static constexpr int maxMarks = 8;

    // The marks for the span from `from` to `to` (both included) on `calendar`'s wall
    // clock. An invalid or backward span gives no marks.
    static Marks between(const QDateTime& from, const QDateTime& to, const Calendar& calendar = Calendar::current());

    // The steps tried, finest first (those under a minute only for the shortest spans).
    static const QList<Step>& ladder();
    // The label of `instant` for marks of `step`, in the current locale.
    static QString label(const QDateTime& instant, Step step, const Calendar& calendar);
};
