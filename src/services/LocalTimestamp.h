#pragma once
// Writes instants as local wall-clock text "yyyy-MM-dd HH:mm:ss" (no zone, no
// fraction) in one time zone, fast enough for a million rows.
//
// Asking the zone for every instant is slow, so the UTC offset is kept together with
// the span between the zone's transitions in which it holds; instants that arrive in
// order (as an export's readings do) find it almost every time. The text is the same
// as converting each instant with QDateTime::toTimeZone. Seconds are truncated
// toward the past, so 12:00:00.999 is "12:00:00".

#include <QDateTime>
#include <QTimeZone>

#include <limits>

class LocalTimestamp {
public:
    explicit LocalTimestamp(const QTimeZone& zone = QTimeZone::systemTimeZone());

    QString text(const QDateTime& instant);
    // The 19 characters (more for a year beyond 9999) written to `out`; returns the
    // count. `out` holds at least 32 characters.
    int write(const QDateTime& instant, char* out);

private:
    void lookUp(qint64 utcSeconds);

    QTimeZone m_zone;
    qint64 m_from = 1; // the span [m_from, m_until) in UTC seconds; empty at first
    qint64 m_until = 0;
    qint64 m_offset = 0;
};
