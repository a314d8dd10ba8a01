#include "records/OVDay.h"

#include "records/IntegerMath.h"
#include "records/SpaceTrim.h"

#include "records/OVFormat.h"

#include <QList>
#include <array>
#include <limits>

OVDay::OVDay(const QDateTime& instant, const Calendar& calendar)
{
    const QDate d = calendar.date(instant);
    if (d.isValid()) {
        year = d.year();
        month = d.month();
        day = d.day();
    }
}

std::optional<OVDay> OVDay::fromIso(QStringView text)
{
    // Spaces and tabs only: a line break at either end stays and makes the text fail.
    text = SpaceTrim::trimmed(text);

    std::array<qint64, 3> numbers{};
    int found = 0;
    for (QStringView piece : text.split(u'-', Qt::SkipEmptyParts)) {
        // The pieces hold no minus: it is the separator.
        const auto n = IntegerMath::readDecimal(piece);
        if (!n)
            continue; // unreadable pieces are dropped, not refused
        if (found == 3)
            return std::nullopt;
        numbers[found++] = *n;
    }
    if (found != 3)
        return std::nullopt;
    const auto [y, m, d] = numbers;
    if (m < 1 || m > 12 || d < 1 || d > 31 || y <= 1800)
        return std::nullopt;
    // Rejects days that would roll over (30 February) and years QDate cannot hold.
    if (y > std::numeric_limits<int>::max() || !QDate(int(y), int(m), int(d)).isValid())
        return std::nullopt;
    return OVDay(y, int(m), int(d));
}

OVDay OVDay::today(const QDateTime& now, const Calendar& calendar) { return OVDay(now, calendar); }

QString OVDay::iso() const
{
    // "%04d-%02d-%02d": a negative number pads after its sign, like printf.
    auto pad = [](qint64 v, int width) {
        const quint64 magnitude = v < 0 ? 0ULL - quint64(v) : quint64(v);
        QString digits = QString::number(magnitude);
        const int w = v < 0 ? width - 1 : width;
        if (digits.size() < w)
            digits.prepend(QString(w - digits.size(), u'0'));
        return v < 0 ? u'-' + digits : digits;
    };
    return pad(year, 4) + u'-' + pad(month, 2) + u'-' + pad(day, 2);
}

QDateTime OVDay::date(const Calendar& calendar, int hour, int minute, const QDateTime& fallback) const
{
    // The plain constructor checks nothing, so out-of-range fields roll over the way
    // calendar arithmetic does (month 13 is January of the next year, 30 February
    // is early March).
    const qint64 monthIndex = qint64(month) - 1;
    qint64 y = 0;
    if (__builtin_add_overflow(year, IntegerMath::floorDiv(monthIndex, 12), &y)
        || y < std::numeric_limits<int>::min() || y > std::numeric_limits<int>::max())
        return fallback;
    const int m = int(monthIndex - IntegerMath::floorDiv(monthIndex, 12) * 12) + 1;
    const QDate first(int(y), m, 1);
    if (!first.isValid())
        return fallback;
    const qint64 minutes = qint64(hour) * 60 + minute;
    const qint64 dayShift = qint64(day) - 1 + IntegerMath::floorDiv(minutes, 1440);
    const qint64 minuteOfDay = minutes - IntegerMath::floorDiv(minutes, 1440) * 1440;
    const QDate d = first.addDays(dayShift);
    const QDateTime result =
        d.isValid() ? calendar.instant(d, QTime(int(minuteOfDay / 60), int(minuteOfDay % 60))) : QDateTime();
    return result.isValid() ? result : fallback;
}

OVDay OVDay::adding(qint64 days, const Calendar& calendar) const
{
    const QDateTime noon = date(calendar);
    QDateTime moved = calendar.addingDays(noon, days);
    if (!moved.isValid())
        moved = noon;
    return OVDay(moved, calendar);
}

qint64 OVDay::daysTo(const OVDay& other, const Calendar& calendar) const
{
    // Counted as calendar dates, from each day's noon: where the clock skips midnight
    // a day starts at 01:00, so counting whole days between the days' first instants
    // would lose one.
    const QDate a = calendar.date(date(calendar));
    const QDate b = calendar.date(other.date(calendar));
    if (!a.isValid() || !b.isValid())
        return 0;
    return b.toJulianDay() - a.toJulianDay();
}

QString OVDay::display() const { return OVFormat::day(date(Calendar::current(), 12)); }

size_t qHash(const OVDay& day, size_t seed) noexcept { return qHashMulti(seed, day.year, day.month, day.day); }
