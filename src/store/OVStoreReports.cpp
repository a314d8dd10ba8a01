// Sums computed by the engine for the reports and the dashboard. Three small SQL
// functions make a row read exactly as RowMapping reads it (crop key, day with its
// fallback, numbers with theirs), and two ordered aggregates add up and pick in the
// order the record lists have, so the grouped sums equal what the lists would give.

#include "store/OVStore.h"

#include "records/CropKey.h"
#include "records/HarvestUnit.h"
#include "store/RowCodec.h"

#include <QDate>
#include <QHash>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        // Plain ASCII, the usual case, is trimmed and lower-cased on the bytes; the
        // result is what cropKey() gives for it.
        const auto* t = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[0]));
        const int n = sqlite3_value_bytes(argv[0]);
        bool ascii = true;
        for (int i = 0; i < n && ascii; ++i)
            ascii = t[i] < 0x80;
        if (ascii) {
            const auto blank = [](unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
            int begin = 0;
            int end = n;
            while (begin < end && blank(t[begin]))
                ++begin;
            while (end > begin && blank(t[end - 1]))
                --end;
            std::string key(reinterpret_cast<const char*>(t) + begin, size_t(end - begin));
            for (char& c : key)
                if (c >= 'A' && c <= 'Z')
                    c = char(c - 'A' + 'a');
            sqlite3_result_text(context, key.data(), int(key.size()), SQLITE_TRANSIENT);
            return;
        }
    }
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


// ---- Ordered aggregates. SQLite adds a group's rows up in whatever order it meets
// them; these keep each value with its sort key and add up (or pick) in the order
// asked for, so a sum equals the one a loop over the sorted records makes.

// A sort key as SQLite orders values: NULL, then numbers, then text, then blobs (by
// their bytes). The first sixteen bytes of a text are kept as two big-endian words,
// so texts as short as a stored day compare with two integer comparisons.
struct SortKey {
    int rank = 0;
    bool integer = false;
    qint64 whole = 0;
    double real = 0;
    quint64 high = 0;
    quint64 low = 0;
    int length = 0;
    std::string rest; // the whole text, only when longer than sixteen bytes

    explicit SortKey(sqlite3_value* v)
    {
        switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            rank = 1;
            integer = true;
            whole = sqlite3_value_int64(v);
            real = double(whole);
            break;
        case SQLITE_FLOAT:
            rank = 1;
            real = sqlite3_value_double(v);
            break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            rank = sqlite3_value_type(v) == SQLITE_TEXT ? 2 : 3;
            const auto* data = static_cast<const unsigned char*>(sqlite3_value_blob(v));
            length = sqlite3_value_bytes(v);
            for (int i = 0; i < 16; ++i) {
                const quint64 byte = data && i < length ? data[i] : 0;
                (i < 8 ? high : low) |= byte << (8 * (7 - i % 8));
            }
            if (length > 16)
                rest.assign(reinterpret_cast<const char*>(data), size_t(length));
            break;
        }
        default:
            break;
        }
    }

    friend int compare(const SortKey& a, const SortKey& b)
    {
        const auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
        if (a.rank != b.rank)
            return order(a.rank, b.rank);
        if (a.rank == 1)
            return a.integer && b.integer ? order(a.whole, b.whole) : order(a.real, b.real);
        if (a.high != b.high)
            return order(a.high, b.high);
        if (a.low != b.low)
            return order(a.low, b.low);
        if (a.length > 16 && b.length > 16)
            return order(a.rest.compare(b.rest), 0);
        // Equal first sixteen bytes (zero-padded): the shorter text is the smaller.
        return order(a.length, b.length);
    }
};

// Whether (a1, a2) comes before (b1, b2) in direction `dir` (1 rising, -1 falling).
bool before(const SortKey& a1, const SortKey& a2, const SortKey& b1, const SortKey& b2, int dir)
{
    int c = compare(a1, b1);
    if (c == 0)
        c = compare(a2, b2);
    return dir < 0 ? c > 0 : c < 0;
}

template <typename State>
State* stateOf(sqlite3_context* context, bool create)
{
    auto** slot = static_cast<State**>(sqlite3_aggregate_context(context, create ? int(sizeof(State*)) : 0));
    if (!slot)
        return nullptr;
    if (!*slot && create)
        *slot = new State;
    return *slot;
}

template <typename State>
void dropState(sqlite3_context* context)
{
    if (auto** slot = static_cast<State**>(sqlite3_aggregate_context(context, 0))) {
        delete *slot;
        *slot = nullptr;
    }
}

// ov_sum(value, direction, key1, key2): the non-NULL values added up from 0 in key order.
struct OrderedSum {
    struct Item {
        SortKey first;
        SortKey second;
        double value;
    };
    std::vector<Item> items;
    int dir = 1;
};

void orderedSumStep(sqlite3_context* context, int, sqlite3_value** argv)
{
    OrderedSum* sum = stateOf<OrderedSum>(context, true);
    if (!sum) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sum->dir = sqlite3_value_int(argv[1]) < 0 ? -1 : 1;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    sum->items.push_back({SortKey(argv[2]), SortKey(argv[3]), sqlite3_value_double(argv[0])});
}

void orderedSumFinal(sqlite3_context* context)
{
    double total = 0;
    if (OrderedSum* sum = stateOf<OrderedSum>(context, false)) {
        // The keys are large: an order of indices is sorted, not the items.
        const std::vector<OrderedSum::Item>& items = sum->items;
        const int dir = sum->dir;
        std::vector<quint32> order(items.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = quint32(i);
        std::sort(order.begin(), order.end(), [&items, dir](quint32 a, quint32 b) {
            return before(items[a].first, items[a].second, items[b].first, items[b].second, dir);
        });
        for (const quint32 i : order)
            total += items[i].value;
    }
    dropState<OrderedSum>(context);
    sqlite3_result_double(context, total);
}

// ov_first(value, direction, key1, key2): the value of the row that comes first in key order.
struct FirstValue {
    std::optional<SortKey> first;
    std::optional<SortKey> second;
    sqlite3_value* value = nullptr;
    ~FirstValue() { sqlite3_value_free(value); }
};

void firstValueStep(sqlite3_context* context, int, sqlite3_value** argv)
{
    FirstValue* state = stateOf<FirstValue>(context, true);
    if (!state) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const int dir = sqlite3_value_int(argv[1]) < 0 ? -1 : 1;
    SortKey first(argv[2]);
    SortKey second(argv[3]);
    if (state->first && !before(first, second, *state->first, *state->second, dir))
        return;
    sqlite3_value_free(state->value);
    state->value = sqlite3_value_dup(argv[0]);
    state->first = std::move(first);
    state->second = std::move(second);
}

void firstValueFinal(sqlite3_context* context)
{
    FirstValue* state = stateOf<FirstValue>(context, false);
    if (state && state->value)
        sqlite3_result_value(context, state->value);
    else
        sqlite3_result_null(context);
    dropState<FirstValue>(context);
}

// Registered on every call: a restore replaces the connection, and registering again
// costs next to nothing. Direct-only: a stored view or trigger can never call them.
void registerFunctions(sqlite3* db)
{
    if (!db)
        return; // closed: the query that follows fails with the connection's own error
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    sqlite3_create_function_v2(db, "ov_crop_key", 1, flags, nullptr, cropKeyFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ov_day", 2, flags, nullptr, dayFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ov_real", 2, flags, nullptr, realFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ov_sum", 4, flags, nullptr, nullptr, orderedSumStep, orderedSumFinal, nullptr);
    sqlite3_create_function_v2(db, "ov_first", 4, flags, nullptr, nullptr, firstValueStep, firstValueFinal, nullptr);
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

OVStore::ReportSums OVStore::reportSums(const std::optional<OVDay>& from, const std::optional<OVDay>& to) const
{
    // Yield adds up by (day, id); costs in the order of harvests() and ledger(): the
    // stored day text descending, then id descending (the text as stored, not the day
    // it reads as, decides which record comes first). One grouped pass per table, and
    // one ungrouped pass for each table's total, which is added up across crops. The
    // inner reads carry "LIMIT -1" so SQLite does not fold them into the grouping
    // query: folded, every use of a column would call its function again.
    const QString harvests = QStringLiteral(
        "(SELECT ov_crop_key(crop) AS k, crop, date, ov_day(date, ?5) AS d, id, ov_real(quantity, 0) AS q, "
        "%1 AS f FROM harvest LIMIT -1) WHERE %2")
                                 .arg(QLatin1String(unitFactor), QLatin1String(inPeriod));
    const QString ledger = QStringLiteral("(SELECT ov_crop_key(crop) AS k, crop, date, ov_day(date, ?5) AS d, id, "
                                          "ov_real(cost, 0) AS cost FROM ledger LIMIT -1) WHERE %1")
                               .arg(QLatin1String(inPeriod));
    const QString harvestsPerCrop = QStringLiteral(
        "SELECT k, COUNT(*) AS n, ov_first(crop, 1, d, id) AS yieldCrop, ov_sum(q * f, 1, d, id) AS yieldLb, "
        "ov_sum(CASE WHEN f IS NULL THEN q END, 1, d, id) AS cnt, MIN(d) AS first, MAX(d) AS last, "
        "ov_first(id, 1, d, id) AS firstID, ov_first(crop, -1, date, id) AS costCrop, "
        "ov_sum(COALESCE(q * f, 0), -1, date, id) AS costLb FROM ") +
                                    harvests + QStringLiteral(" GROUP BY k ORDER BY first, firstID");
    const QString ledgerPerCrop = QStringLiteral("SELECT k, ov_first(crop, -1, date, id) AS crop, "
                                                 "ov_sum(cost, -1, date, id) AS cost, ov_first(id, -1, date, id) AS "
                                                 "firstID FROM ") +
                                  ledger + QStringLiteral(" GROUP BY k ORDER BY MAX(date) DESC, firstID DESC");
    const QString harvestTotal =
        QStringLiteral("SELECT COUNT(*) AS n, ov_sum(COALESCE(q * f, 0), -1, date, id) AS lb FROM ") + harvests;
    const QString ledgerTotal = QStringLiteral("SELECT ov_sum(cost, -1, date, id) AS cost FROM ") + ledger;

    ReportSums sums;
    try {
        registerFunctions(m_db->handle());
        const SQLArgs args = commonArgs(from, to);
        QHash<QString, qsizetype> rowOfKey;
        for (const SQLRow& row : m_db->query(harvestsPerCrop, args)) {
            const int n = int(row.intValue(QStringLiteral("n")).value_or(0));
            sums.yield.append(CropYield{
                .crop = row.str(QStringLiteral("yieldCrop")),
                .harvests = n,
                .pounds = row.doubleValue(QStringLiteral("yieldLb")).value_or(0),
                .count = row.doubleValue(QStringLiteral("cnt")).value_or(0),
                .first = dayOfNumber(row.intValue(QStringLiteral("first")).value_or(0)),
                .last = dayOfNumber(row.intValue(QStringLiteral("last")).value_or(0)),
            });
            const QString key = row.str(QStringLiteral("k"));
            rowOfKey.insert(key, sums.costs.size());
            sums.costs.append(CropCost{.key = key,
                                       .crop = row.str(QStringLiteral("costCrop")),
                                       .harvests = n,
                                       .pounds = row.doubleValue(QStringLiteral("costLb")).value_or(0)});
        }
        for (const SQLRow& row : m_db->query(ledgerPerCrop, args)) {
            const QString key = row.str(QStringLiteral("k"));
            const double cost = row.doubleValue(QStringLiteral("cost")).value_or(0);
            if (key.isEmpty()) {
                sums.sharedCost = cost;
                continue;
            }
            auto found = rowOfKey.constFind(key);
            if (found == rowOfKey.constEnd()) {
                sums.costs.append(CropCost{.key = key, .crop = row.str(QStringLiteral("crop"))});
                found = rowOfKey.insert(key, sums.costs.size() - 1);
            }
            sums.costs[*found].cost = cost;
        }
        for (const SQLRow& row : m_db->query(harvestTotal, args)) {
            sums.totalHarvests = int(row.intValue(QStringLiteral("n")).value_or(0));
            sums.totalPounds = row.doubleValue(QStringLiteral("lb")).value_or(0);
        }
        for (const SQLRow& row : m_db->query(ledgerTotal, args))
            sums.totalCost = row.doubleValue(QStringLiteral("cost")).value_or(0);
    } catch (const OVError& error) {
        readFailed(error);
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
    } catch (const OVError& error) {
        readFailed(error);
        return 0;
    }
    return active;
}

double OVStore::poundsHarvestedIn(qint64 year) const
{
    // The stored text from the year's first to its last day finds the candidates, as
    // harvestsBetween() does; the day as a fetch reads it (a damaged one is today)
    // decides. Added up newest first, in that list's order.
    const QString sql = QStringLiteral(
        "SELECT ov_sum(ov_real(quantity, 0) * (%1), -1, date, id) AS lb FROM harvest "
        "WHERE date >= ?8 AND date <= ?9 AND ov_day(date, ?5) / 10000 = ?10")
                            .arg(QLatin1String(unitFactor));
    SQLArgs args = commonArgs(std::nullopt, std::nullopt);
    args.push_back(OVDay(year, 1, 1).iso());
    args.push_back(OVDay(year, 12, 31).iso());
    args.push_back(year);
    try {
        registerFunctions(m_db->handle());
        const QList<SQLRow> rows = m_db->query(sql, args);
        return rows.isEmpty() ? 0 : rows.first().doubleValue(QStringLiteral("lb")).value_or(0);
    } catch (const OVError& error) {
        readFailed(error);
        return 0;
    }
}
