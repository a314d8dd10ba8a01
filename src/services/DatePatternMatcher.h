#pragma once
// Reads date texts of climate logs against a list of Unicode date patterns
// ("yyyy-MM-dd HH:mm", "M/d/yy h:mm a", …), trying them in the order given; the
// first pattern that takes the whole text decides. It also takes a plain number of
// seconds since 1970 when it lies between 2000-01-01 and 2100-01-01 (both excluded).
//
// Our own matcher rather than QDateTime::fromString: Qt reads two-digit years as
// 1900-1999 and is far too slow to be tried sixteen times for every row of a big
// file. The rules it keeps, with the fixed POSIX (English) locale:
// - Matching is strict: literals must stand exactly as written (one space matches
//   one space), the whole text must be used, and field values must exist (no
//   30th of February, no hour 24).
// - "yyyy" takes exactly four digits. "yy" takes exactly two, placed in the
//   hundred-year window that starts 80 years before the current year (in 2026:
//   1946 to 2045). Other numeric fields (M, MM, d, dd, H, HH, h, hh, mm, ss) take one or
//   two digits; "S…" takes the fraction of a second (milliseconds kept).
// - "a" is AM or PM in any letter case; "XXXXX" is Z or ±HH:MM (optionally :SS).
// - A text without an offset is wall-clock time in the given zone, turned into an
//   instant by the program's Calendar rule: a wall time that a daylight-saving
//   change skips gives the moment of the change, a repeated hour its earlier
//   instant. Days without a change take a cached offset and never reach Calendar.
//
// A matcher holds small caches (time-zone offsets per local day) and is meant to
// be used by one thread for one file.

#include "records/Calendar.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

#include <optional>
#include <string_view>
#include <vector>

class DatePatternMatcher {
public:
    DatePatternMatcher(const QStringList& patterns, const QTimeZone& timeZone,
                       const QDateTime& now = QDateTime::currentDateTimeUtc());

    // The instant the text (UTF-8) stands for, as milliseconds since 1970 UTC.
    // Spaces and tabs around the text are ignored.
    std::optional<qint64> parseMSecs(std::string_view text);
    std::optional<QDateTime> parse(std::string_view text);

    // The instant of a wall-clock time in the matcher's zone, as seconds since
    // 1970 UTC (see above for skipped and repeated times).
    qint64 localToUtc(qint64 localSeconds);

    // The year a two-digit "yy" field stands for (see the window above).
    int yearOfTwoDigits(int twoDigits) const;

private:
    enum class Kind { Literal, Year4, Year2, Month, Day, Hour24, Hour12, Minute, Second, Fraction, AmPm, Offset };
    struct Token {
        Kind kind;
        std::string literal; // Kind::Literal only
    };
    struct Pattern {
        std::vector<Token> tokens;
        bool valid = true;
    };
    static Pattern compile(const QString& pattern);
    std::optional<qint64> match(const Pattern& pattern, std::string_view text);
    int offsetAt(qint64 utcSeconds) const;

    std::vector<Pattern> m_patterns;
    QTimeZone m_zone;
    Calendar m_calendar;
    int m_windowStart = 0; // first year of the two-digit century window
    // Offsets around the last local day converted: at its start minus a day and at
    // its end plus a day; equal offsets mean no change of offset that day.
    qint64 m_cachedDay = 0;
    int m_offsetBefore = 0;
    int m_offsetAfter = 0;
    bool m_haveCache = false;
};
