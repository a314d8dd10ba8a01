#include "services/LocalTimestamp.h"

#include <gtest/gtest.h>

namespace {

QString reference(const QDateTime& instant, const QTimeZone& zone)
{
    return instant.toTimeZone(zone).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

TEST(LocalTimestampText, MatchesQtAcrossClockChangesInOrderAndOutOfOrder)
{
    // Zones with summer time both sides of the equator, a half-hour shift, an odd
    // offset, and one without transitions.
    for (const char* id : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "Asia/Kathmandu",
                           "America/St_Johns", "UTC"}) {
        const QTimeZone zone(id);
        ASSERT_TRUE(zone.isValid()) << id;
        LocalTimestamp stamp(zone);
        // Every 7 minutes 13 seconds through 2026, in order (the export's case).
        const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
        for (qint64 s = 0; s < 366LL * 86400; s += 433) {
            const QDateTime t = start.addSecs(s);
            ASSERT_EQ(stamp.text(t), reference(t, zone)) << id << " " << t.toString(Qt::ISODate).toStdString();
        }
        // Jumping about, back and forth across decades.
        for (qint64 s : {3'000'000'000LL, 0LL, 1'700'000'000LL, 946'684'799LL, 1'616'893'200LL, 1'800'000'000LL}) {
            const QDateTime t = QDateTime::fromSecsSinceEpoch(s, Qt::UTC);
            EXPECT_EQ(stamp.text(t), reference(t, zone)) << id << " " << s;
        }
    }
}

TEST(LocalTimestampText, DropsFractionsTowardThePast)
{
    LocalTimestamp stamp(QTimeZone::utc());
    EXPECT_EQ(stamp.text(QDateTime::fromMSecsSinceEpoch(999, Qt::UTC)), QStringLiteral("1970-01-01 00:00:00"));
    EXPECT_EQ(stamp.text(QDateTime::fromMSecsSinceEpoch(-1, Qt::UTC)), QStringLiteral("1969-12-31 23:59:59"));
    EXPECT_EQ(stamp.text(QDateTime(QDate(812, 3, 1), QTime(4, 5, 6), Qt::UTC)), QStringLiteral("0812-03-01 04:05:06"));
}
