#include "records/Recurrence.h"

#include "records/IntegerMath.h"

#include <algorithm>
#include <limits>

namespace {

// The number in field `index` when it lies within low...high; nullopt when the
// field is missing, unreadable or out of range.
std::optional<qint64> numberIn(const QList<QStringView>& fields, qsizetype index, qint64 low,
                               qint64 high = std::numeric_limits<qint64>::max())
{
    if (index >= fields.size())
        return std::nullopt;
    const auto n = IntegerMath::readDecimal(fields[index]);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return n;
}

QString countPhrase(qint64 count, const char16_t* singular, const char16_t* plural)
{
    if (count == 1)
        return QStringLiteral("Every ") + QString::fromUtf16(singular);
    return QStringLiteral("Every ") + QString::number(count) + u' ' + QString::fromUtf16(plural);
}

QString nameAt(const QStringList& names, qint64 oneBased)
{
    if (oneBased < 1 || oneBased > names.size())
        return QStringLiteral("?");
    return names[oneBased - 1];
}

} // namespace

Recurrence::Recurrence(Kind kind, qint64 every, int month, int day, QList<int> weekdays)
    : m_kind(kind), m_every(every), m_month(month), m_day(day), m_weekdays(std::move(weekdays))
{
}

Recurrence Recurrence::everyDays(qint64 n) { return Recurrence(Kind::everyDays, n, 0, 0); }

Recurrence Recurrence::weekly(qint64 every, QList<int> weekdays)
{
    return Recurrence(Kind::weekly, every, 0, 0, std::move(weekdays));
}

Recurrence Recurrence::monthlyDay(qint64 every, int day) { return Recurrence(Kind::monthlyDay, every, 0, day); }
Recurrence Recurrence::monthlyLast(qint64 every) { return Recurrence(Kind::monthlyLast, every, 0, 0); }
Recurrence Recurrence::yearly(int month, int day) { return Recurrence(Kind::yearly, 0, month, day); }
Recurrence Recurrence::once() { return Recurrence(); }

QString Recurrence::encoded() const
{
    const QString e = QString::number(m_every);
    switch (m_kind) {
    case Kind::everyDays:
        return QStringLiteral("days:") + e;
    case Kind::weekly: {
        QList<int> sorted = m_weekdays;
        std::sort(sorted.begin(), sorted.end());
        QStringList parts;
        for (int w : sorted)
            parts << QString::number(w);
        return QStringLiteral("weeks:") + e + u':' + parts.join(u',');
    }
    case Kind::monthlyDay:
        return QStringLiteral("monthday:") + e + u':' + QString::number(m_day);
    case Kind::monthlyLast:
        return QStringLiteral("monthlast:") + e;
    case Kind::yearly:
        return QStringLiteral("yearly:") + QString::number(m_month) + u':' + QString::number(m_day);
    case Kind::once:
        break;
    }
    return QStringLiteral("once");
}

std::optional<Recurrence> Recurrence::fromEncoded(QStringView text)
{
    const QList<QStringView> fields = text.split(u':'); // empty fields kept
    const QStringView head = fields.front();

    if (head == u"once")
        return once();

    if (head == u"days") {
        const auto n = numberIn(fields, 1, 1);
        return n ? std::optional(everyDays(*n)) : std::nullopt;
    }

    if (head == u"weeks") {
        const auto e = numberIn(fields, 1, 1);
        if (!e || fields.size() != 3)
            return std::nullopt;
        QList<int> days;
        for (QStringView piece : fields[2].split(u',', Qt::SkipEmptyParts)) {
            const auto w = IntegerMath::readDecimal(piece);
            if (w && *w >= 1 && *w <= 7 && !days.contains(int(*w)))
                days << int(*w);
        }
        if (days.isEmpty())
            return std::nullopt;
        std::sort(days.begin(), days.end());
        return weekly(*e, days);
    }

    if (head == u"monthday") {
        const auto e = numberIn(fields, 1, 1);
        const auto d = numberIn(fields, 2, 1, 31);
        return e && d ? std::optional(monthlyDay(*e, int(*d))) : std::nullopt;
    }

    if (head == u"monthlast") {
        const auto e = numberIn(fields, 1, 1);
        return e ? std::optional(monthlyLast(*e)) : std::nullopt;
    }

    if (head == u"yearly") {
        const auto m = numberIn(fields, 1, 1, 12);
        const auto d = numberIn(fields, 2, 1, 31);
        return m && d ? std::optional(yearly(int(*m), int(*d))) : std::nullopt;
    }

    return std::nullopt;
}

QString Recurrence::summary() const
{
    switch (m_kind) {
    case Kind::everyDays:
        return countPhrase(m_every, u"day", u"days");
    case Kind::weekly: {
        QList<int> sorted = m_weekdays;
        std::sort(sorted.begin(), sorted.end());
        QStringList names;
        for (int w : sorted)
            names << nameAt(weekdayNames(), w);
        return countPhrase(m_every, u"week", u"weeks") + QStringLiteral(" on ") + names.join(QStringLiteral(", "));
    }
    case Kind::monthlyDay: {
        QString text = countPhrase(m_every, u"month", u"months") + QStringLiteral(" on day ") + QString::number(m_day);
        if (m_day >= 29)
            text += QStringLiteral(" (or the last day of shorter months)");
        return text;
    }
    case Kind::monthlyLast:
        return countPhrase(m_every, u"month", u"months") + QStringLiteral(" on the last day");
    case Kind::yearly: {
        QString text = QStringLiteral("Every year on ") + nameAt(monthNames(), m_month) + u' ' + QString::number(m_day);
        if (m_month == 2 && m_day == 29)
            text += QStringLiteral(" (Feb 28 in other years)");
        return text;
    }
    case Kind::once:
        break;
    }
    return QStringLiteral("One time");
}

const QStringList& Recurrence::weekdayNames()
{
    static const QStringList names{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                                   QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                                   QStringLiteral("Sat")};
    return names;
}

const QStringList& Recurrence::monthNames()
{
    static const QStringList names{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"),
                                   QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"),
                                   QStringLiteral("Jul"), QStringLiteral("Aug"), QStringLiteral("Sep"),
                                   QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    return names;
}
