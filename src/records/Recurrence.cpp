#include "records/Recurrence.h"

#include <algorithm>

namespace {

// An optional sign, then ASCII digits only, within the 64-bit range.
std::optional<qint64> readNumber(QStringView field)
{
    bool negative = false;
    if (!field.isEmpty() && (field.front() == u'+' || field.front() == u'-')) {
        negative = field.front() == u'-';
        field = field.mid(1);
    }
    if (field.isEmpty())
        return std::nullopt;
    // Accumulate towards the sign so that the 64-bit minimum reads too.
    qint64 value = 0;
    for (QChar c : field) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const qint64 digit = c.unicode() - u'0';
        if (__builtin_mul_overflow(value, qint64(10), &value)
            || (negative ? __builtin_sub_overflow(value, digit, &value)
                         : __builtin_add_overflow(value, digit, &value)))
            return std::nullopt;
    }
    return value;
}

std::optional<qint64> numberAt(const QList<QStringView>& fields, qsizetype index)
{
    if (index >= fields.size())
        return std::nullopt;
    return readNumber(fields[index]);
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

Recurrence Recurrence::everyDays(qint64 n)
{
    Recurrence r;
    r.m_kind = Kind::everyDays;
    r.m_every = n;
    return r;
}

Recurrence Recurrence::weekly(qint64 every, QList<int> weekdays)
{
    Recurrence r;
    r.m_kind = Kind::weekly;
    r.m_every = every;
    r.m_weekdays = std::move(weekdays);
    return r;
}

Recurrence Recurrence::monthlyDay(qint64 every, int day)
{
    Recurrence r;
    r.m_kind = Kind::monthlyDay;
    r.m_every = every;
    r.m_day = day;
    return r;
}

Recurrence Recurrence::monthlyLast(qint64 every)
{
    Recurrence r;
    r.m_kind = Kind::monthlyLast;
    r.m_every = every;
    return r;
}

Recurrence Recurrence::yearly(int month, int day)
{
    Recurrence r;
    r.m_kind = Kind::yearly;
    r.m_month = month;
    r.m_day = day;
    return r;
}

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
        const auto n = numberAt(fields, 1);
        if (!n || *n < 1)
            return std::nullopt;
        return everyDays(*n);
    }

    if (head == u"weeks") {
        const auto e = numberAt(fields, 1);
        if (!e || *e < 1 || fields.size() != 3)
            return std::nullopt;
        QList<int> days;
        for (QStringView piece : fields[2].split(u',', Qt::SkipEmptyParts)) {
            const auto w = readNumber(piece);
            if (w && *w >= 1 && *w <= 7 && !days.contains(int(*w)))
                days << int(*w);
        }
        if (days.isEmpty())
            return std::nullopt;
        std::sort(days.begin(), days.end());
        return weekly(*e, days);
    }

    if (head == u"monthday") {
        const auto e = numberAt(fields, 1);
        if (!e || *e < 1)
            return std::nullopt;
        const auto d = numberAt(fields, 2);
        if (!d || *d < 1 || *d > 31)
            return std::nullopt;
        return monthlyDay(*e, int(*d));
    }

    if (head == u"monthlast") {
        const auto e = numberAt(fields, 1);
        if (!e || *e < 1)
            return std::nullopt;
        return monthlyLast(*e);
    }

    if (head == u"yearly") {
        const auto m = numberAt(fields, 1);
        if (!m || *m < 1 || *m > 12)
            return std::nullopt;
        const auto d = numberAt(fields, 2);
        if (!d || *d < 1 || *d > 31)
            return std::nullopt;
        return yearly(int(*m), int(*d));
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
