#pragma once
// The repeat rule of a scheduled task and its stored text ("days:3", "weeks:2:2,5",
// "monthday:1:31", "monthlast:3", "yearly:2:29", "once").
//
// A value may be built with any numbers; it is canonical exactly when
// fromEncoded(encoded()) gives it back equal (counts >= 1, day 1...31, month
// 1...12, weekdays non-empty, strictly ascending, within 1...7). Only canonical
// rules are saved. Counts are 64-bit: a stored "days:9223372036854775807" is valid,
// and nothing here does arithmetic on counts.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

class Recurrence {
public:
    enum class Kind { everyDays, weekly, monthlyDay, monthlyLast, yearly, once };

    // A one-time rule.
    Recurrence() = default;

    static Recurrence everyDays(qint64 n);
    static Recurrence weekly(qint64 every, QList<int> weekdays);
    static Recurrence monthlyDay(qint64 every, int day);
    static Recurrence monthlyLast(qint64 every);
    static Recurrence yearly(int month, int day);
    static Recurrence once();

    Kind kind() const { return m_kind; }
    // N of everyDays, E of weekly, monthlyDay and monthlyLast; 0 for yearly and once.
    qint64 every() const { return m_every; }
    // weekly only, as given (not sorted, repeats kept).
    const QList<int>& weekdays() const { return m_weekdays; }
    // monthlyDay and yearly; 0 otherwise.
    int day() const { return m_day; }
    // yearly; 0 otherwise.
    int month() const { return m_month; }

    // The stored text. Weekly lists are written sorted, repeats kept.
    QString encoded() const;
    // Strict parser of the stored text; nullopt when refused.
    static std::optional<Recurrence> fromEncoded(QStringView text);

    // One English line, e.g. "Every 2 weeks on Mon, Thu". Defined for weekdays
    // 1...7 and months 1...12; other numbers are shown as "?".
    QString summary() const;

    // "Sun" ... "Sat" and "Jan" ... "Dec".
    static const QStringList& weekdayNames();
    static const QStringList& monthNames();

    friend bool operator==(const Recurrence&, const Recurrence&) = default;

private:
    Recurrence(Kind kind, qint64 every, int month, int day, QList<int> weekdays = {});

    Kind m_kind = Kind::once;
    qint64 m_every = 0;
    int m_month = 0;
    int m_day = 0;
    QList<int> m_weekdays;
};
