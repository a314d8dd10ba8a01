#include "screens/climate/ChartReadings.h"

#include "store/OVStore.h"

#include <sqlite3.h>

#include <cmath>
#include <memory>

QList<ClimateChart::Point> ChartReadings::load(OVStore& store, qint64 zoneID, Metric metric,
                                               const std::optional<QDateTime>& since, int limit)
{
    QList<ClimateChart::Point> out;
    sqlite3* handle = store.db().handle();
    if (!handle || limit <= 0)
        return out;
    // Rows without the metric are read too, so the limit counts the same readings as
    // the list's query does.
    const QByteArray sql = (QStringLiteral("SELECT taken, ") + metric.column()
                            + QStringLiteral(" FROM reading WHERE zone_id = ?")
                            + (since ? QStringLiteral(" AND taken >= ?") : QString())
                            + QStringLiteral(" ORDER BY taken DESC, id DESC LIMIT ?"))
                               .toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return out;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    int index = 1;
    sqlite3_bind_int64(raw, index++, zoneID);
    if (since)
        sqlite3_bind_double(raw, index++, double(since->toMSecsSinceEpoch()) / 1000.0);
    sqlite3_bind_int64(raw, index, limit);

    out.reserve(limit);
    while (sqlite3_step(raw) == SQLITE_ROW) {
        const int valueType = sqlite3_column_type(raw, 1);
        if (valueType != SQLITE_FLOAT && valueType != SQLITE_INTEGER)
            continue;
        // Times as the store reads them: REAL seconds, to the millisecond.
        const double seconds = sqlite3_column_double(raw, 0);
        if (!std::isfinite(seconds) || std::fabs(seconds) > 9.0e12)
            continue;
        out.append(ClimateChart::Point{QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0), Qt::UTC),
                                       sqlite3_column_double(raw, 1)});
    }
    return out;
}
