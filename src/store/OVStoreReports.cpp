// Sums computed by the engine for the reports and the dashboard. Three small SQL functions make a row read
// exactly as RowMapping reads it (crop key, day with its fallback, numbers with
// theirs), so the grouped sums equal what the record lists would give; window
// frames over whole partitions fix the order the sums are added in.

#include "store/OVStore.h"

#include "records/CropKey.h"
#include "records/HarvestUnit.h"
#include "store/RowCodec.h"

#include <QDate>
#include <QHash>

#include <sqlite3.h>

namespace {

SQLValue valueOf(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return SQLValue::integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return SQLValue::real(sqlite3_value_double(v));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const int bytes = sqlite3_value_bytes(v);
        return SQLValue::text(text ? QString::fromUtf8(text, bytes) : QString());
    }
    case SQLITE_BLOB:
        return SQLValue::blob(QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v)));
    default:
        return SQLValue::null();
    }
}

// Days travel as yyyymmdd numbers: they order as the days do, whatever the year's width.
qint64 dayNumber(const OVDay& day) { return day.year * 10000 + day.month * 100 + day.day; }
OVDay dayOfNumber(qint64 n) { return OVDay(n / 10000, int(n / 100 % 100), int(n % 100)); }

void cropKeyFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const QByteArray key = cropKey(valueOf(argv[0]).toText().value_or(QString())).toUtf8();
    sqlite3_result_text(context, key.constData(), int(key.size()), SQLITE_TRANSIENT);
}

// ov_day(text, today): the day a fetch would read, as a number; `today` when unreadable.
void dayFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_bytes(argv[0]) == 10) {
        // The form every save writes, read without leaving the engine's bytes.
        const auto* t = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[0]));
        const auto digit = [t](int i) { return t[i] >= '0' && t[i] <= '9'; };
        if (digit(0) && digit(1) && digit(2) && digit(3) && t[4] == '-' && digit(5) && digit(6) && t[7] == '-' &&
            digit(8) && digit(9)) {
            const int y = (t[0] - '0') * 1000 + (t[1] - '0') * 100 + (t[2] - '0') * 10 + (t[3] - '0');
            const int m = (t[5] - '0') * 10 + (t[6] - '0');
            const int d = (t[8] - '0') * 10 + (t[9] - '0');
            if (y > 1800 && QDate(y, m, d).isValid()) {
                sqlite3_result_int64(context, dayNumber(OVDay(y, m, d)));
                return;
            }
        }
    }
    const std::optional<OVDay> day = OVDay::fromIso(valueOf(argv[0]).toText().value_or(QString()));
    sqlite3_result_int64(context, day ? dayNumber(*day) : sqlite3_value_int64(argv[1]));
}

// ov_real(value, fallback): the number a fetch would read.
void realFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    }
    sqlite3_result_double(context, valueOf(argv[0]).toDouble().value_or(sqlite3_value_double(argv[1])));
}

// Registered on every call: a restore replaces the connection, and registering again
// costs next to nothing. Direct-only: a stored view or trigger can never call them.
void registerFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    sqlite3_create_function_v2(db, "ov_crop_key", 1, flags, nullptr, cropKeyFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ov_day", 2, flags, nullptr, dayFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ov_real", 2, flags, nullptr, realFunction, nullptr, nullptr, nullptr);
}

// A harvest's weight factor from its unit text, NULL for a count; unknown units read as lb.
// ?1 .. ?4: oz, kg, g and lb factors.
const char* const unitFactor = "CASE unit WHEN 'oz' THEN ?1 WHEN 'kg' THEN ?2 WHEN 'g' THEN ?3 WHEN 'count' THEN NULL "
                               "ELSE ?4 END";

SQLArgs commonArgs(const std::optional<OVDay>& from, const std::optional<OVDay>& to)
{
    const auto factor = [](HarvestUnit unit) { return unit.pounds().value_or(0); };
    const auto bound = [](const std::optional<OVDay>& day) {
        return day ? SQLValue(dayNumber(*day)) : SQLValue(nullptr);
    };
    return {factor(HarvestUnit::oz), factor(HarvestUnit::kg), factor(HarvestUnit::g), factor(HarvestUnit::lb),
            dayNumber(OVDay::today()), bound(from), bound(to)};
}

// ?5: today; ?6, ?7: the period's ends or NULL.
const char* const inPeriod = "(?6 IS NULL OR d >= ?6) AND (?7 IS NULL OR d <= ?7)";

} // namespace

QList<OVStore::CropYield> OVStore::yieldByCrop(const std::optional<OVDay>& from,
                                               const std::optional<OVDay>& to) const
{
    const QString sql = QStringLiteral(
        "WITH h AS (SELECT ov_crop_key(crop) AS k, crop, ov_day(date, ?5) AS d, id, ov_real(quantity, 0) AS q, "
        "%1 AS f FROM harvest), "
        "w AS (SELECT k, crop, d, id, ROW_NUMBER() OVER byDay AS rn, COUNT(*) OVER whole AS n, "
        "TOTAL(q * f) OVER whole AS lb, TOTAL(CASE WHEN f IS NULL THEN q END) OVER whole AS cnt, "
        "MIN(d) OVER whole AS first, MAX(d) OVER whole AS last FROM h WHERE %2 "
        "WINDOW byDay AS (PARTITION BY k ORDER BY d, id), "
        "whole AS (byDay ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING)) "
        "SELECT crop, n, lb, cnt, first, last FROM w WHERE rn = 1 ORDER BY d, id")
                            .arg(QLatin1String(unitFactor), QLatin1String(inPeriod));
    QList<CropYield> result;
    if (!m_db->handle())
        return result;
    try {
        registerFunctions(m_db->handle());
        for (const SQLRow& row : m_db->query(sql, commonArgs(from, to))) {
            result.append(CropYield{
                .crop = row.str(QStringLiteral("crop")),
                .harvests = int(row.intValue(QStringLiteral("n")).value_or(0)),
                .pounds = row.doubleValue(QStringLiteral("lb")).value_or(0),
                .count = row.doubleValue(QStringLiteral("cnt")).value_or(0),
                .first = dayOfNumber(row.intValue(QStringLiteral("first")).value_or(0)),
                .last = dayOfNumber(row.intValue(QStringLiteral("last")).value_or(0)),
            });
        }
    } catch (const OVError&) {
        return {};
    }
    return result;
}

OVStore::CostSums OVStore::costByCrop(const std::optional<OVDay>& from, const std::optional<OVDay>& to) const
{
    // Part 0 holds harvests, part 1 ledger entries; each part is added up in the order
    // of harvests() and ledger(): the stored day text descending, then id descending
    // (the text as stored, not the day it reads as, decides which entry is first).
    const QString sql = QStringLiteral(
        "WITH s AS (SELECT 0 AS part, ov_crop_key(crop) AS k, crop, date, ov_day(date, ?5) AS d, id, "
        "COALESCE(ov_real(quantity, 0) * (%1), 0) AS lb, 0 AS cost FROM harvest "
        "UNION ALL SELECT 1, ov_crop_key(crop), crop, date, ov_day(date, ?5), id, 0, ov_real(cost, 0) FROM ledger), "
        "w AS (SELECT part, k, crop, date, id, ROW_NUMBER() OVER byDay AS rn, COUNT(*) OVER whole AS n, "
        "TOTAL(lb) OVER whole AS lb, TOTAL(cost) OVER whole AS cost, "
        "COUNT(*) OVER allOfPart AS allN, TOTAL(lb) OVER allOfPart AS allLb, TOTAL(cost) OVER allOfPart AS allCost "
        "FROM s WHERE %2 "
        "WINDOW byDay AS (PARTITION BY part, k ORDER BY date DESC, id DESC), "
        "whole AS (byDay ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING), "
        "allOfPart AS (PARTITION BY part ORDER BY date DESC, id DESC ROWS BETWEEN UNBOUNDED PRECEDING AND "
        "UNBOUNDED FOLLOWING)) "
        "SELECT part, k, crop, n, lb, cost, allN, allLb, allCost FROM w WHERE rn = 1 ORDER BY part, date DESC, id DESC")
                            .arg(QLatin1String(unitFactor), QLatin1String(inPeriod));
    CostSums sums;
    if (!m_db->handle())
        return sums;
    try {
        registerFunctions(m_db->handle());
        QHash<QString, qsizetype> rowOfKey;
        for (const SQLRow& row : m_db->query(sql, commonArgs(from, to))) {
            const bool harvests = row.intValue(QStringLiteral("part")).value_or(0) == 0;
            const QString key = row.str(QStringLiteral("k"));
            if (harvests) {
                sums.totalHarvests = int(row.intValue(QStringLiteral("allN")).value_or(0));
                sums.totalPounds = row.doubleValue(QStringLiteral("allLb")).value_or(0);
            } else {
                sums.totalCost = row.doubleValue(QStringLiteral("allCost")).value_or(0);
                if (key.isEmpty()) {
                    sums.sharedCost = row.doubleValue(QStringLiteral("cost")).value_or(0);
                    continue;
                }
            }
            auto found = rowOfKey.constFind(key);
            if (found == rowOfKey.constEnd()) {
                sums.crops.append(CropCost{.key = key, .crop = row.str(QStringLiteral("crop"))});
                found = rowOfKey.insert(key, sums.crops.size() - 1);
            }
            CropCost& crop = sums.crops[*found];
            if (harvests) {
                crop.harvests = int(row.intValue(QStringLiteral("n")).value_or(0));
                crop.pounds = row.doubleValue(QStringLiteral("lb")).value_or(0);
            } else {
                crop.cost = row.doubleValue(QStringLiteral("cost")).value_or(0);
            }
        }
    } catch (const OVError&) {
        return {};
    }
    return sums;
}

qint64 OVStore::activePlantCount() const
{
    qint64 active = 0;
    try {
        const auto rows = m_db->query(QStringLiteral("SELECT status, COUNT(*) AS n FROM plant GROUP BY status"));
        for (const SQLRow& row : rows) {
            if (RowCodec::enumeration(row, QStringLiteral("status"), PlantStatus(PlantStatus::planned)).active())
                active += row.intValue(QStringLiteral("n")).value_or(0);
        }
    } catch (const OVError&) {
        return 0;
    }
    return active;
}

double OVStore::poundsHarvestedIn(qint64 year) const
{
    if (!m_db->handle())
        return 0;
    // The text range finds the candidates as the schema has no index on the day; the
    // day as a fetch reads it (a damaged one is today) decides.
    const QString sql = QStringLiteral(
        "SELECT TOTAL(ov_real(quantity, 0) * (%1)) AS lb FROM (SELECT quantity, unit, date FROM harvest "
        "WHERE date >= ?8 AND date < ?9 ORDER BY id) WHERE ov_day(date, ?5) / 10000 = ?10")
                            .arg(QLatin1String(unitFactor));
    SQLArgs args = commonArgs(std::nullopt, std::nullopt);
    args.push_back(OVDay(year, 1, 1).iso());
    args.push_back(OVDay(year + 1, 1, 1).iso());
    args.push_back(year);
    try {
        registerFunctions(m_db->handle());
        const QList<SQLRow> rows = m_db->query(sql, args);
        return rows.isEmpty() ? 0 : rows.first().doubleValue(QStringLiteral("lb")).value_or(0);
    } catch (const OVError&) {
        return 0;
    }
}
