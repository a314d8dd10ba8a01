#pragma once
// A Gregorian calendar bound to one time zone: the single place where local
// wall-clock dates and times become instants and back. Weeks start on Sunday and
// weekdays are numbered 1 = Sunday ... 7 = Saturday everywhere in the program.
//
// Invariants: instants handed out are QDateTime values in UTC (invalid when the
// calendar cannot form them); local values are read in this calendar's zone only.
// A wall time the clock skips maps to the first instant after the gap; a wall time
// the clock repeats maps to the earlier of its two instants. Qt's own resolution
// differs (invalid in a gap, the later instant in a repeated hour), so every wall
// time -> instant conversion in the program goes through instant().

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>
#include <optional>

class Calendar {
public:
    // The system's time zone.
    Calendar();
    explicit Calendar(const QTimeZone& zone);

    static Calendar current();
    static Calendar utc();

    const QTimeZone& timeZone() const { return m_zone; }

    // The instant (UTC) at which the wall clock of this zone reads date + time.
    // Skipped wall times give the first instant after the gap (the moment of the
    // change); repeated ones give the earlier instant. Invalid for an invalid date
    // or time.
    QDateTime instant(QDate date, QTime time) const;

    // Same, from 64-bit year, month and day; invalid when those do not name a real
    // day (no rolling over) or lie outside QDate's range.
    QDateTime instant(qint64 year, int month, int day, int hour = 0, int minute = 0, int second = 0) const;

    // The local wall-clock view of an instant (invalid in, invalid out).
    QDateTime local(const QDateTime& instant) const;
    QDate date(const QDateTime& instant) const;
    QTime time(const QDateTime& instant) const;

    // The first instant of the local day.
    QDateTime startOfDay(QDate date) const;

    // The instant at the same local wall time `days` calendar days later (earlier
    // when negative). Invalid when the result is not representable.
    QDateTime addingDays(const QDateTime& instant, qint64 days) const;

    // Whole days from one instant to another, counted on the local wall clock
    // (a 23- or 25-hour day still counts as one). nullopt when either is invalid.
    std::optional<qint64> wholeDays(const QDateTime& from, const QDateTime& to) const;

    // 1 = Sunday ... 7 = Saturday; 0 for an invalid date.
    static int weekday(QDate date);
    int weekday(const QDateTime& instant) const;

    // Days in the month, nullopt for a month outside 1...12 or a year QDate cannot hold.
    static std::optional<int> daysInMonth(qint64 year, int month);

    bool operator==(const Calendar& other) const { return m_zone == other.m_zone; }

private:
    QTimeZone m_zone;
};
