#include "services/LocalTimestamp.h"

#include "records/IntegerMath.h"

#include <charconv>
#include <cstdlib>

namespace {

constexpr qint64 minSeconds = std::numeric_limits<qint64>::min();
constexpr qint64 maxSeconds = std::numeric_limits<qint64>::max();

// Proleptic Gregorian date of a day count since 1970-01-01 (H. Hinnant's algorithm).
void civilFromDays(qint64 z, qint64& year, int& month, int& day)
{
    z += 719468;
    const qint64 era = IntegerMath::floorDiv(z, 146097);
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

char* twoDigits(char* p, int v)
{
    *p++ = char('0' + v / 10);
    *p++ = char('0' + v % 10);
    return p;
}

} // namespace

LocalTimestamp::LocalTimestamp(const QTimeZone& zone) : m_zone(zone.isValid() ? zone : QTimeZone::utc()) {}

void LocalTimestamp::lookUp(qint64 utcSeconds)
{
    const QDateTime at = QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC);
    m_offset = m_zone.offsetFromUtc(at);
    m_from = minSeconds;
    m_until = maxSeconds;
    if (!m_zone.hasTransitions()) {
        // A fixed zone keeps its offset for ever; a backend that cannot list the
        // transitions of a zone with daylight time only vouches for this second.
        if (m_zone.hasDaylightTime()) {
            m_from = utcSeconds;
            m_until = utcSeconds + 1;
        }
        return;
    }
    // The last transition at or before this second, and the next one after it.
    const QTimeZone::OffsetData before = m_zone.previousTransition(at.addSecs(1));
    const QTimeZone::OffsetData after = m_zone.nextTransition(at);
    if (before.atUtc.isValid())
        m_from = before.atUtc.toSecsSinceEpoch();
    if (after.atUtc.isValid())
        m_until = after.atUtc.toSecsSinceEpoch();
    // Never trust a span that does not hold the second asked about.
    if (m_from > utcSeconds || m_until <= utcSeconds) {
        m_from = utcSeconds;
        m_until = utcSeconds + 1;
    }
}

int LocalTimestamp::write(const QDateTime& instant, char* out)
{
    const qint64 utcSeconds = IntegerMath::floorDiv(instant.toMSecsSinceEpoch(), 1000);
    if (utcSeconds < m_from || utcSeconds >= m_until)
        lookUp(utcSeconds);
    const qint64 local = utcSeconds + m_offset;
    const qint64 days = IntegerMath::floorDiv(local, 86400);
    const qint64 secondOfDay = local - days * 86400;
    qint64 year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);

    char* p = out;
    if (year < 0) {
        *p++ = '-';
        year = -year;
    }
    char digits[24];
    const auto yearEnd = std::to_chars(digits, digits + sizeof digits, year).ptr;
    for (auto n = yearEnd - digits; n < 4; ++n)
        *p++ = '0';
    for (char* d = digits; d < yearEnd; ++d)
        *p++ = *d;
    *p++ = '-';
    p = twoDigits(p, month);
    *p++ = '-';
    p = twoDigits(p, day);
    *p++ = ' ';
    p = twoDigits(p, int(secondOfDay / 3600));
    *p++ = ':';
    p = twoDigits(p, int(secondOfDay / 60 % 60));
    *p++ = ':';
    p = twoDigits(p, int(secondOfDay % 60));
    return int(p - out);
}

QString LocalTimestamp::text(const QDateTime& instant)
{
    char buffer[32];
    const int n = write(instant, buffer);
    return QString::fromLatin1(buffer, n);
}
