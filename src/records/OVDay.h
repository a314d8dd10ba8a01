#pragma once
// A calendar day (year, month, day) with no time of day and no zone: the form of
// every day-valued record field, stored and exported as "yyyy-mm-dd".
//
// Invariants: the plain constructor checks nothing; fromIso() only ever yields real
// Gregorian days after 1800. Day arithmetic always starts from noon of the day in
// the given calendar, so a daylight-saving change cannot shift a result to a
// neighbouring day.

#include "records/Calendar.h"

#include <QDateTime>
#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <compare>
#include <optional>

struct OVDay {
    qint64 year = 2000;
    int month = 1;
    int day = 1;

    OVDay() = default;
    OVDay(qint64 year, int month, int day) : year(year), month(month), day(day) {}
    // The day on which `instant` falls in `calendar`.
    explicit OVDay(const QDateTime& instant, const Calendar& calendar = Calendar::current());

    // Parses the text form; nullopt on any failure (see the .cpp for the exact rules).
    static std::optional<OVDay> fromIso(QStringView text);

    static OVDay today(const QDateTime& now = QDateTime::currentDateTimeUtc(),
                       const Calendar& calendar = Calendar::current());

    // "%04d-%02d-%02d".
    QString iso() const;
    QString description() const { return iso(); }

    // The instant of this day at hour:minute in `calendar`; `fallback` (the current
    // instant by default) when the calendar cannot form it.
    QDateTime date(const Calendar& calendar = Calendar::current(), int hour = 12, int minute = 0,
                   const QDateTime& fallback = QDateTime::currentDateTimeUtc()) const;

    // The day `days` later (earlier when negative).
    OVDay adding(qint64 days, const Calendar& calendar = Calendar::current()) const;

    // Whole days from this day to `other` (negative when `other` is earlier).
    qint64 daysTo(const OVDay& other, const Calendar& calendar = Calendar::current()) const;

    // The day for people, in the user's medium date style.
    QString display() const;

    friend bool operator==(const OVDay&, const OVDay&) = default;
    friend std::strong_ordering operator<=>(const OVDay&, const OVDay&) = default;
};

size_t qHash(const OVDay& day, size_t seed = 0) noexcept;
