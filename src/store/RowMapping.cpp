// The two-way mapping between the thirteen record types and their table rows.
//
// Column lists, value lists and readers stand side by side per type so that their
// orders can be compared at a glance: columns()[i] is the column of
// values(record)[i]. Readers go by column name, ignore columns they do not know,
// and give each column's own fallback, which is not always a new record's default
// (an unknown task kind reads as maintenance, a missing `sown` as 0, a missing
// instant as 1970-01-01 UTC, and so on): a damaged row loads as something a user
// can see and correct, never as an error.

#include "store/RowMapping.h"

#include "store/OVRecord.h"
#include "store/RowCodec.h"

static_assert(OVRecord<Greenhouse>);
static_assert(OVRecord<Zone>);
static_assert(OVRecord<Spot>);
static_assert(OVRecord<Plant>);
static_assert(OVRecord<Photo>);
static_assert(OVRecord<Seed>);
static_assert(OVRecord<GermTest>);
static_assert(OVRecord<Reading>);
static_assert(OVRecord<OVTask>);
static_assert(OVRecord<TaskLog>);
static_assert(OVRecord<PestRecord>);
static_assert(OVRecord<Harvest>);
static_assert(OVRecord<LedgerEntry>);

namespace {

const QString idColumn = QStringLiteral("id");

SQLValue dayValue(const OVDay& day)
{
    return day.iso();
}

SQLValue dayValue(const std::optional<OVDay>& day)
{
    return day ? SQLValue(day->iso()) : SQLValue();
}

qint64 readID(const SQLRow& row)
{
    return row.intValue(idColumn).value_or(0);
}

QStringList list(std::initializer_list<const char*> names)
{
    QStringList result;
    for (const char* name : names)
        result << QString::fromLatin1(name);
    return result;
}

} // namespace

// ---- Greenhouse

QStringList RowMapping<Greenhouse>::columns()
{
    static const QStringList names = list({"name", "location", "size", "glazing", "notes"});
    return names;
}

SQLArgs RowMapping<Greenhouse>::values(const Greenhouse& r)
{
    return {r.name, r.location, r.size, r.glazing, r.notes};
}

Greenhouse RowMapping<Greenhouse>::fromRow(const SQLRow& row)
{
    return Greenhouse{
        .id = readID(row),
        .name = row.str(QStringLiteral("name")),
        .location = row.str(QStringLiteral("location")),
        .size = row.str(QStringLiteral("size")),
        .glazing = row.str(QStringLiteral("glazing")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- Zone: three fixed columns, then the low and high alert value of every metric

QStringList RowMapping<Zone>::columns()
{
    static const QStringList names = [] {
        QStringList result = list({"greenhouse_id", "name", "notes"});
        for (const Metric m : Metric::allCases())
            result << m.column() + QStringLiteral("_min") << m.column() + QStringLiteral("_max");
        return result;
    }();
    return names;
}

SQLArgs RowMapping<Zone>::values(const Zone& r)
{
    SQLArgs args{r.greenhouseID, r.name, r.notes};
    for (const Metric m : Metric::allCases()) {
        const auto entry = r.limits.find(m);
        if (entry == r.limits.end()) {
            args.emplace_back();
            args.emplace_back();
        } else {
            args.emplace_back(entry->second.min);
            args.emplace_back(entry->second.max);
        }
    }
    return args;
}

Zone RowMapping<Zone>::fromRow(const SQLRow& row)
{
    Zone zone{
        .id = readID(row),
        .greenhouseID = row.intValue(QStringLiteral("greenhouse_id")).value_or(0),
        .name = row.str(QStringLiteral("name")),
        .notes = row.str(QStringLiteral("notes")),
        .limits = {},
    };
    for (const Metric m : Metric::allCases()) {
        const std::optional<double> low = row.doubleValue(m.column() + QStringLiteral("_min"));
        const std::optional<double> high = row.doubleValue(m.column() + QStringLiteral("_max"));
        if (low || high)
            zone.limits[m] = MetricRange(low, high);
    }
    return zone;
}

// ---- Spot

QStringList RowMapping<Spot>::columns()
{
    static const QStringList names = list({"zone_id", "kind", "name", "size", "notes"});
    return names;
}

SQLArgs RowMapping<Spot>::values(const Spot& r)
{
    return {r.zoneID, r.kind.rawValue(), r.name, r.size, r.notes};
}

Spot RowMapping<Spot>::fromRow(const SQLRow& row)
{
    return Spot{
        .id = readID(row),
        .zoneID = row.intValue(QStringLiteral("zone_id")).value_or(0),
        .kind = RowCodec::enumeration(row, QStringLiteral("kind"), SpotKind(SpotKind::bed)),
        .name = row.str(QStringLiteral("name")),
        .size = row.str(QStringLiteral("size")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- Plant

QStringList RowMapping<Plant>::columns()
{
    static const QStringList names =
        list({"crop", "variety", "source", "ref_crop", "sow_date", "transplant_date", "expected_harvest",
              "greenhouse_id", "zone_id", "spot_id", "status", "quantity", "notes"});
    return names;
}

SQLArgs RowMapping<Plant>::values(const Plant& r)
{
    return {r.crop,         r.variety,      r.source,           r.refCropID, dayValue(r.sowDate), dayValue(r.transplantDate),
            dayValue(r.expectedHarvest), r.greenhouseID, r.zoneID, r.spotID,  r.status.rawValue(), r.quantity, r.notes};
}

Plant RowMapping<Plant>::fromRow(const SQLRow& row)
{
    return Plant{
        .id = readID(row),
        .crop = row.str(QStringLiteral("crop")),
        .variety = row.str(QStringLiteral("variety")),
        .source = row.str(QStringLiteral("source")),
        .refCropID = row.str(QStringLiteral("ref_crop")),
        .sowDate = RowCodec::optionalDay(row, QStringLiteral("sow_date")),
        .transplantDate = RowCodec::optionalDay(row, QStringLiteral("transplant_date")),
        .expectedHarvest = RowCodec::optionalDay(row, QStringLiteral("expected_harvest")),
        .greenhouseID = row.intValue(QStringLiteral("greenhouse_id")),
        .zoneID = row.intValue(QStringLiteral("zone_id")),
        .spotID = row.intValue(QStringLiteral("spot_id")),
        .status = RowCodec::enumeration(row, QStringLiteral("status"), PlantStatus(PlantStatus::planned)),
        .quantity = row.intValue(QStringLiteral("quantity")).value_or(1),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- Photo

QStringList RowMapping<Photo>::columns()
{
    static const QStringList names = list({"plant_id", "data", "caption", "added"});
    return names;
}

SQLArgs RowMapping<Photo>::values(const Photo& r)
{
    return {r.plantID, r.data, r.caption, r.added};
}

Photo RowMapping<Photo>::fromRow(const SQLRow& row)
{
    return Photo{
        .id = readID(row),
        .plantID = row.intValue(QStringLiteral("plant_id")).value_or(0),
        .data = row.data(QStringLiteral("data")).value_or(QByteArray()),
        .caption = row.str(QStringLiteral("caption")),
        .added = RowCodec::instant(row, QStringLiteral("added")),
    };
}

// ---- Seed

QStringList RowMapping<Seed>::columns()
{
    static const QStringList names =
        list({"crop", "variety", "supplier", "lot", "year", "quantity", "unit", "notes"});
    return names;
}

SQLArgs RowMapping<Seed>::values(const Seed& r)
{
    return {r.crop, r.variety, r.supplier, r.lot, r.year, r.quantity, r.unit, r.notes};
}

Seed RowMapping<Seed>::fromRow(const SQLRow& row)
{
    return Seed{
        .id = readID(row),
        .crop = row.str(QStringLiteral("crop")),
        .variety = row.str(QStringLiteral("variety")),
        .supplier = row.str(QStringLiteral("supplier")),
        .lot = row.str(QStringLiteral("lot")),
        .year = row.intValue(QStringLiteral("year")),
        .quantity = row.doubleValue(QStringLiteral("quantity")).value_or(0),
        .unit = row.str(QStringLiteral("unit")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- GermTest

QStringList RowMapping<GermTest>::columns()
{
    static const QStringList names = list({"seed_id", "started", "sown", "sprouted", "days", "notes"});
    return names;
}

SQLArgs RowMapping<GermTest>::values(const GermTest& r)
{
    return {r.seedID, dayValue(r.started), r.sown, r.sprouted, r.days, r.notes};
}

GermTest RowMapping<GermTest>::fromRow(const SQLRow& row, std::optional<OVDay> today)
{
    return GermTest{
        .id = readID(row),
        .seedID = row.intValue(QStringLiteral("seed_id")).value_or(0),
        .started = RowCodec::day(row, QStringLiteral("started"), today),
        .sown = row.intValue(QStringLiteral("sown")).value_or(0),
        .sprouted = row.intValue(QStringLiteral("sprouted")).value_or(0),
        .days = row.intValue(QStringLiteral("days")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- Reading: zone and time, one column per metric, then source and note

QStringList RowMapping<Reading>::columns()
{
    static const QStringList names = [] {
        QStringList result = list({"zone_id", "taken"});
        for (const Metric m : Metric::allCases())
            result << m.column();
        result << QStringLiteral("source") << QStringLiteral("note");
        return result;
    }();
    return names;
}

SQLArgs RowMapping<Reading>::values(const Reading& r)
{
    SQLArgs args;
    args.reserve(12);
    args.emplace_back(r.zoneID);
    args.emplace_back(r.taken);
    for (const Metric m : Metric::allCases()) {
        const auto entry = r.values.find(m);
        if (entry == r.values.end())
            args.emplace_back();
        else
            args.emplace_back(entry->second);
    }
    args.emplace_back(r.source);
    args.emplace_back(r.note);
    return args;
}

Reading RowMapping<Reading>::fromRow(const SQLRow& row)
{
    Reading reading{
        .id = readID(row),
        .zoneID = row.intValue(QStringLiteral("zone_id")).value_or(0),
        .taken = RowCodec::instant(row, QStringLiteral("taken")),
        .values = {},
        .source = row.str(QStringLiteral("source")),
        .note = row.str(QStringLiteral("note")),
    };
    for (const Metric m : Metric::allCases()) {
        if (const auto value = row.doubleValue(m.column()))
            reading.values[m] = *value;
    }
    return reading;
}

// ---- OVTask

QStringList RowMapping<OVTask>::columns()
{
    static const QStringList names =
        list({"kind", "category", "title", "zone_id", "plant_id", "amount", "rule", "start", "hour", "minute",
              "last_done", "remind", "active", "notes"});
    return names;
}

SQLArgs RowMapping<OVTask>::values(const OVTask& r)
{
    return {r.kind.rawValue(), r.category, r.title, r.zoneID, r.plantID, r.amount, r.rule.encoded(), dayValue(r.start),
            r.hour, r.minute, r.lastDone, r.remind, r.active, r.notes};
}

OVTask RowMapping<OVTask>::fromRow(const SQLRow& row, std::optional<OVDay> today)
{
    return OVTask{
        .id = readID(row),
        .kind = RowCodec::enumeration(row, QStringLiteral("kind"), TaskKind(TaskKind::maintenance)),
        .category = row.str(QStringLiteral("category")),
        .title = row.str(QStringLiteral("title")),
        .zoneID = row.intValue(QStringLiteral("zone_id")),
        .plantID = row.intValue(QStringLiteral("plant_id")),
        .amount = row.str(QStringLiteral("amount")),
        .rule = Recurrence::fromEncoded(row.str(QStringLiteral("rule"))).value_or(Recurrence::once()),
        .start = RowCodec::day(row, QStringLiteral("start"), today),
        .hour = row.intValue(QStringLiteral("hour")).value_or(8),
        .minute = row.intValue(QStringLiteral("minute")).value_or(0),
        .lastDone = RowCodec::optionalInstant(row, QStringLiteral("last_done")),
        .remind = row.boolValue(QStringLiteral("remind")),
        .active = row.boolValue(QStringLiteral("active")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- TaskLog

QStringList RowMapping<TaskLog>::columns()
{
    static const QStringList names = list({"task_id", "done_at", "note"});
    return names;
}

SQLArgs RowMapping<TaskLog>::values(const TaskLog& r)
{
    return {r.taskID, r.doneAt, r.note};
}

TaskLog RowMapping<TaskLog>::fromRow(const SQLRow& row)
{
    return TaskLog{
        .id = readID(row),
        .taskID = row.intValue(QStringLiteral("task_id")).value_or(0),
        .doneAt = RowCodec::instant(row, QStringLiteral("done_at")),
        .note = row.str(QStringLiteral("note")),
    };
}

// ---- PestRecord

QStringList RowMapping<PestRecord>::columns()
{
    static const QStringList names =
        list({"observed", "plant_id", "zone_id", "problem", "kind", "severity", "treatment", "treated", "result",
              "resolved", "notes"});
    return names;
}

SQLArgs RowMapping<PestRecord>::values(const PestRecord& r)
{
    return {dayValue(r.observed), r.plantID,  r.zoneID,          r.problem, r.kind.rawValue(), r.severity,
            r.treatment,          dayValue(r.treated), r.result, r.resolved, r.notes};
}

PestRecord RowMapping<PestRecord>::fromRow(const SQLRow& row, std::optional<OVDay> today)
{
    return PestRecord{
        .id = readID(row),
        .observed = RowCodec::day(row, QStringLiteral("observed"), today),
        .plantID = row.intValue(QStringLiteral("plant_id")),
        .zoneID = row.intValue(QStringLiteral("zone_id")),
        .problem = row.str(QStringLiteral("problem")),
        .kind = RowCodec::enumeration(row, QStringLiteral("kind"), ProblemKind(ProblemKind::other)),
        .severity = row.intValue(QStringLiteral("severity")).value_or(2),
        .treatment = row.str(QStringLiteral("treatment")),
        .treated = RowCodec::optionalDay(row, QStringLiteral("treated")),
        .result = row.str(QStringLiteral("result")),
        .resolved = row.boolValue(QStringLiteral("resolved")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- Harvest

QStringList RowMapping<Harvest>::columns()
{
    static const QStringList names = list({"plant_id", "crop", "date", "quantity", "unit", "quality", "notes"});
    return names;
}

SQLArgs RowMapping<Harvest>::values(const Harvest& r)
{
    return {r.plantID, r.crop, dayValue(r.date), r.quantity, r.unit.rawValue(), r.quality, r.notes};
}

Harvest RowMapping<Harvest>::fromRow(const SQLRow& row, std::optional<OVDay> today)
{
    return Harvest{
        .id = readID(row),
        .plantID = row.intValue(QStringLiteral("plant_id")),
        .crop = row.str(QStringLiteral("crop")),
        .date = RowCodec::day(row, QStringLiteral("date"), today),
        .quantity = row.doubleValue(QStringLiteral("quantity")).value_or(0),
        .unit = RowCodec::enumeration(row, QStringLiteral("unit"), HarvestUnit(HarvestUnit::lb)),
        .quality = row.str(QStringLiteral("quality")),
        .notes = row.str(QStringLiteral("notes")),
    };
}

// ---- LedgerEntry

QStringList RowMapping<LedgerEntry>::columns()
{
    static const QStringList names =
        list({"date", "item", "category", "quantity", "unit", "cost", "vendor", "plant_id", "crop", "notes"});
    return names;
}

SQLArgs RowMapping<LedgerEntry>::values(const LedgerEntry& r)
{
    return {dayValue(r.date), r.item, r.category.rawValue(), r.quantity, r.unit, r.cost, r.vendor, r.plantID, r.crop, r.notes};
}

LedgerEntry RowMapping<LedgerEntry>::fromRow(const SQLRow& row, std::optional<OVDay> today)
{
    return LedgerEntry{
        .id = readID(row),
        .date = RowCodec::day(row, QStringLiteral("date"), today),
        .item = row.str(QStringLiteral("item")),
        .category = RowCodec::enumeration(row, QStringLiteral("category"), LedgerCategory(LedgerCategory::other)),
        .quantity = row.doubleValue(QStringLiteral("quantity")).value_or(1),
        .unit = row.str(QStringLiteral("unit")),
        .cost = row.doubleValue(QStringLiteral("cost")).value_or(0),
        .vendor = row.str(QStringLiteral("vendor")),
        .plantID = row.intValue(QStringLiteral("plant_id")),
        .crop = row.str(QStringLiteral("crop")),
        .notes = row.str(QStringLiteral("notes")),
    };
}
