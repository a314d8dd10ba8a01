#include "services/DatePatternMatcher.h"

#include "records/IntegerMath.h"

#include "services/OVCSV.h"

#include <cmath>

namespace {

constexpr qint64 kDay = 86400;
// Seconds-since-1970 texts are taken only strictly between these instants
// (2000-01-01 and 2100-01-01, 00:00 UTC).
constexpr double kEpochLow = 946684800.0;
constexpr double kEpochHigh = 4102444800.0;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days from 1970-01-01 to the given day of the proleptic Gregorian calendar.
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

// Reads min..max digits (greedy); false when fewer than min stand there.
bool readDigits(std::string_view t, size_t& pos, int minDigits, int maxDigits, int& value, int* count = nullptr)
{
    int n = 0;
    int v = 0;
    while (n < maxDigits && pos + size_t(n) < t.size() && isDigit(t[pos + size_t(n)])) {
        v = v * 10 + (t[pos + size_t(n)] - '0');
        ++n;
    }
    if (n < minDigits)
        return false;
    pos += size_t(n);
    value = v;
    if (count)
        *count = n;
    return true;
}

} // namespace

DatePatternMatcher::DatePatternMatcher(const QStringList& patterns, const QTimeZone& timeZone, const QDateTime& now)
    : m_zone(timeZone.isValid() ? timeZone : QTimeZone::systemTimeZone())
    , m_calendar(m_zone)
{
    m_patterns.reserve(size_t(patterns.size()));
    for (const QString& p : patterns)
        m_patterns.push_back(compile(p));
    const int currentYear = (now.isValid() ? now : QDateTime::currentDateTimeUtc()).toTimeZone(m_zone).date().year();
    m_windowStart = currentYear - 80;
}

DatePatternMatcher::Pattern DatePatternMatcher::compile(const QString& pattern)
{
    Pattern out;
    const QByteArray p = pattern.toUtf8();
    qsizetype i = 0;
    auto addLiteral = [&out](const std::string& text) {
        if (!out.tokens.empty() && out.tokens.back().kind == Kind::Literal)
            out.tokens.back().literal += text;
        else
            out.tokens.push_back({Kind::Literal, text});
    };
    while (i < p.size()) {
        const char c = p[i];
        if (c == '\'') {
            // Quoted literal; two apostrophes stand for one.
            if (i + 1 < p.size() && p[i + 1] == '\'') {
                addLiteral("'");
                i += 2;
                continue;
            }
            std::string lit;
            ++i;
            while (i < p.size()) {
                if (p[i] == '\'') {
                    if (i + 1 < p.size() && p[i + 1] == '\'') {
                        lit += '\'';
                        i += 2;
                        continue;
                    }
                    break;
                }
                lit += p[i++];
            }
            ++i; // closing apostrophe
            addLiteral(lit);
            continue;
        }
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            int count = 0;
            while (i < p.size() && p[i] == c) {
                ++count;
                ++i;
            }
            switch (c) {
            case 'y': out.tokens.push_back({count == 2 ? Kind::Year2 : Kind::Year4, {}}); break;
            case 'M': out.tokens.push_back({Kind::Month, {}}); break;
            case 'd': out.tokens.push_back({Kind::Day, {}}); break;
            case 'H': out.tokens.push_back({Kind::Hour24, {}}); break;
            case 'h': out.tokens.push_back({Kind::Hour12, {}}); break;
            case 'm': out.tokens.push_back({Kind::Minute, {}}); break;
            case 's': out.tokens.push_back({Kind::Second, {}}); break;
            case 'S': out.tokens.push_back({Kind::Fraction, {}}); break;
            case 'a': out.tokens.push_back({Kind::AmPm, {}}); break;
            case 'X': out.tokens.push_back({Kind::Offset, {}}); break;
            default: out.valid = false; break; // a field this reader does not know never matches
            }
            continue;
        }
        addLiteral(std::string(1, c));
        ++i;
    }
    return out;
}

std::optional<qint64> DatePatternMatcher::match(const Pattern& pattern, std::string_view t)
{
    if (!pattern.valid)
        return std::nullopt;
    int year = -1;
    bool twoDigitYear = false;
    int month = 1;
    int day = 1;
    int hour = 0;
    int hour12 = -1;
    int minute = 0;
    int second = 0;
    int millis = 0;
    int pm = -1; // -1: no marker, 0: AM, 1: PM
    std::optional<int> offset;
    size_t pos = 0;

    for (const Token& tok : pattern.tokens) {
        int v = 0;
        switch (tok.kind) {
        case Kind::Literal:
            if (t.substr(pos, tok.literal.size()) != tok.literal)
                return std::nullopt;
            pos += tok.literal.size();
            break;
        case Kind::Year4:
            // Exactly four digits: "6/15/26" is no year 26 for "yyyy".
            if (!readDigits(t, pos, 4, 4, v) || (pos < t.size() && isDigit(t[pos])) || v == 0)
                return std::nullopt;
            year = v;
            break;
        case Kind::Year2:
            if (!readDigits(t, pos, 2, 2, v) || (pos < t.size() && isDigit(t[pos])))
                return std::nullopt;
            year = v;
            twoDigitYear = true;
            break;
        case Kind::Month:
            if (!readDigits(t, pos, 1, 2, v) || v < 1 || v > 12)
                return std::nullopt;
            month = v;
            break;
        case Kind::Day:
            if (!readDigits(t, pos, 1, 2, v) || v < 1 || v > 31)
                return std::nullopt;
            day = v;
            break;
        case Kind::Hour24:
            if (!readDigits(t, pos, 1, 2, v) || v > 23)
                return std::nullopt;
            hour = v;
            break;
        case Kind::Hour12:
            if (!readDigits(t, pos, 1, 2, v) || v < 1 || v > 12)
                return std::nullopt;
            hour12 = v;
            break;
        case Kind::Minute:
            if (!readDigits(t, pos, 1, 2, v) || v > 59)
                return std::nullopt;
            minute = v;
            break;
        case Kind::Second:
            if (!readDigits(t, pos, 1, 2, v) || v > 59)
                return std::nullopt;
            second = v;
            break;
        case Kind::Fraction: {
            int count = 0;
            if (!readDigits(t, pos, 1, 9, v, &count) || (pos < t.size() && isDigit(t[pos])))
                return std::nullopt;
            while (count > 3) {
                v /= 10;
                --count;
            }
            while (count < 3) {
                v *= 10;
                ++count;
            }
            millis = v;
            break;
        }
        case Kind::AmPm: {
            if (t.size() - pos < 2)
                return std::nullopt;
            const char a = char(t[pos] | 0x20);
            const char m = char(t[pos + 1] | 0x20);
            if (m != 'm' || (a != 'a' && a != 'p'))
                return std::nullopt;
            pm = a == 'p' ? 1 : 0;
            pos += 2;
            break;
        }
        case Kind::Offset: {
            if (pos < t.size() && t[pos] == 'Z') {
                offset = 0;
                ++pos;
                break;
            }
            if (pos >= t.size() || (t[pos] != '+' && t[pos] != '-'))
                return std::nullopt;
            const int sign = t[pos] == '-' ? -1 : 1;
            ++pos;
            int oh = 0;
            int om = 0;
            int os = 0;
            if (!readDigits(t, pos, 2, 2, oh) || oh > 23 || pos >= t.size() || t[pos] != ':')
                return std::nullopt;
            ++pos;
            if (!readDigits(t, pos, 2, 2, om) || om > 59)
                return std::nullopt;
            if (pos < t.size() && t[pos] == ':') {
                ++pos;
                if (!readDigits(t, pos, 2, 2, os) || os > 59)
                    return std::nullopt;
            }
            offset = sign * (oh * 3600 + om * 60 + os);
            break;
        }
        }
    }
    if (pos != t.size() || year < 0)
        return std::nullopt;

    if (hour12 >= 0)
        hour = hour12 % 12 + (pm == 1 ? 12 : 0);
    if (twoDigitYear)
        year = yearOfTwoDigits(year);
    if (day > daysInMonth(year, month))
        return std::nullopt;

    const qint64 local = daysFromCivil(year, unsigned(month), unsigned(day)) * kDay + hour * 3600 + minute * 60 + second;
    const qint64 utc = offset ? local - *offset : localToUtc(local);
    return utc * 1000 + millis;
}

int DatePatternMatcher::yearOfTwoDigits(int twoDigits) const
{
    const int year = m_windowStart - m_windowStart % 100 + twoDigits;
    return year < m_windowStart ? year + 100 : year;
}

int DatePatternMatcher::offsetAt(qint64 utcSeconds) const
{
    return m_zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC));
}

qint64 DatePatternMatcher::localToUtc(qint64 local)
{
    const qint64 dayKey = IntegerMath::floorDiv(local, kDay);
    if (!m_haveCache || dayKey != m_cachedDay) {
        // Offsets a day before the local day starts and a day after it ends lie on
        // either side of any change of offset that can touch this day.
        const qint64 dayStart = dayKey * kDay;
        m_offsetBefore = offsetAt(dayStart - kDay);
        m_offsetAfter = offsetAt(dayStart + 2 * kDay);
        m_cachedDay = dayKey;
        m_haveCache = true;
    }
    if (m_offsetBefore == m_offsetAfter)
        return local - m_offsetBefore;

    // A day on which the offset changes: the program's one rule for wall times
    // that are skipped or repeated.
    const QDateTime wall = QDateTime::fromSecsSinceEpoch(local, Qt::UTC);
    const QDateTime at = m_calendar.instant(wall.date(), wall.time());
    return at.isValid() ? at.toSecsSinceEpoch() : local - m_offsetBefore;
}

std::optional<qint64> DatePatternMatcher::parseMSecs(std::string_view text)
{
    const std::string_view t = OVCSV::trimSpacesUtf8(text);
    if (t.empty())
        return std::nullopt;
    if (const std::optional<double> secs = OVCSV::plainNumberUtf8(t)) {
        if (*secs > kEpochLow && *secs < kEpochHigh)
            return qint64(std::llround(*secs * 1000.0));
    }
    for (const Pattern& p : m_patterns)
        if (const std::optional<qint64> ms = match(p, t))
            return ms;
    return std::nullopt;
}

std::optional<QDateTime> DatePatternMatcher::parse(std::string_view text)
{
    const std::optional<qint64> ms = parseMSecs(text);
    if (!ms)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC);
}
