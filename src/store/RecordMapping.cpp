// The two-way mapping between the thirteen record types and their table rows.
//
// Column lists, value lists and readers stand side by side per type so that their
// orders can be compared at a glance: columns()[i] is the column of
// columnValues()[i]. Readers go by column name, ignore columns they do not know,
// and give each column's own fallback, which is not always a new record's default
// (an unknown task kind reads as maintenance, a missing `sown` as 0, a missing
// instant as 1970-01-01 UTC, and so on): a damaged row loads as something a user
// can see and correct, never as an error.

#include "records/GermTest.h"
#include "records/Greenhouse.h"
#include "records/Harvest.h"
#include "records/LedgerEntry.h"
#include "records/OVTask.h"
#include "records/PestRecord.h"
#include "records/Photo.h"
#include "records/Plant.h"
#include "records/Reading.h"
#include "records/Seed.h"
#include "records/Spot.h"
#include "records/TaskLog.h"
#include "records/Zone.h"
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

QStringList Greenhouse::columns()
{
    static const QStringList names = list({"name", "location", "size", "glazing", "notes"});
    return names;
}

SQLArgs Greenhouse::columnValues() const
{
    return {name, location, size, glazing, notes};
}

Greenhouse Greenhouse::fromRow(const SQLRow& row)
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

QStringList Zone::columns()
{
    static const QStringList names = [] {
        QStringList result = list({"greenhouse_id", "name", "notes"});
        for (const Metric m : Metric::allCases())
            result << m.column() + QStringLiteral("_min") << m.column() + QStringLiteral("_max");
        return result;
    }();
    return names;
}

SQLArgs Zone::columnValues() const
{
    SQLArgs args{greenhouseID, name, notes};
    for (const Metric m : Metric::allCases()) {
        const auto entry = limits.find(m);
        if (entry == limits.end()) {
            args.emplace_back();
            args.emplace_back();
        } else {
            args.emplace_back(entry->second.min);
            args.emplace_back(entry->second.max);
        }
    }
    return args;
}

Zone Zone::fromRow(const SQLRow& row)
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

QStringList Spot::columns()
{
    static const QStringList names = list({"zone_id", "kind", "name", "size", "notes"});
    return names;
}

SQLArgs Spot::columnValues() const
{
    return {zoneID, kind.rawValue(), name, size, notes};
}

Spot Spot::fromRow(const SQLRow& row)
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

QStringList Plant::columns()
{
    static const QStringList names =
        list({"crop", "variety", "source", "ref_crop", "sow_date", "transplant_date", "expected_harvest",
              "greenhouse_id", "zone_id", "spot_id", "status", "quantity", "notes"});
    return names;
}

SQLArgs Plant::columnValues() const
{
    return {crop,         variety,      source,           refCropID, dayValue(sowDate), dayValue(transplantDate),
            dayValue(expectedHarvest), greenhouseID, zoneID, spotID,  status.rawValue(), quantity, notes};
}

Plant Plant::fromRow(const SQLRow& row)
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

QStringList Photo::columns()
{
    static const QStringList names = list({"plant_id", "data", "caption", "added"});
    return names;
}

SQLArgs Photo::columnValues() const
{
    return {plantID, data, caption, added};
}

Photo Photo::fromRow(const SQLRow& row)
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

QStringList Seed::columns()
{
    static const QStringList names =
        list({"crop", "variety", "supplier", "lot", "year", "quantity", "unit", "notes"});
    return names;
}

SQLArgs Seed::columnValues() const
{
    return {crop, variety, supplier, lot, year, quantity, unit, notes};
}

Seed Seed::fromRow(const SQLRow& row)
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

QStringList GermTest::columns()
{
    static const QStringList names = list({"seed_id", "started", "sown", "sprouted", "days", "notes"});
    return names;
}

SQLArgs GermTest::columnValues() const
{
    return {seedID, dayValue(started), sown, sprouted, days, notes};
}

GermTest GermTest::fromRow(const SQLRow& row, std::optional<OVDay> today)
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

QStringList Reading::columns()
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

SQLArgs Reading::columnValues() const
{
    SQLArgs args;
    args.reserve(12);
    args.emplace_back(zoneID);
    args.emplace_back(taken);
    for (const Metric m : Metric::allCases()) {
        const auto entry = values.find(m);
        if (entry == values.end())
            args.emplace_back();
        else
            args.emplace_back(entry->second);
    }
    args.emplace_back(source);
    args.emplace_back(note);
    return args;
}

Reading Reading::fromRow(const SQLRow& row)
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

QStringList OVTask::columns()
{
    static const QStringList names =
        list({"kind", "category", "title", "zone_id", "plant_id", "amount", "rule", "start", "hour", "minute",
              "last_done", "remind", "active", "notes"});
    return names;
}

SQLArgs OVTask::columnValues() const
{
    return {kind.rawValue(), category, title, zoneID, plantID, amount, rule.encoded(), dayValue(start),
            hour, minute, lastDone, remind, active, notes};
}

OVTask OVTask::fromRow(const SQLRow& row, std::optional<OVDay> today)
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

QStringList TaskLog::columns()
{
    static const QStringList names = list({"task_id", "done_at", "note"});
    return names;
}

SQLArgs TaskLog::columnValues() const
{
    return {taskID, doneAt, note};
}

TaskLog TaskLog::fromRow(const SQLRow& row)
{
    return TaskLog{
        .id = readID(row),
        .taskID = row.intValue(QStringLiteral("task_id")).value_or(0),
        .doneAt = RowCodec::instant(row, QStringLiteral("done_at")),
        .note = row.str(QStringLiteral("note")),
    };
}

// ---- PestRecord

QStringList PestRecord::columns()
{
    static const QStringList names =
        list({"observed", "plant_id", "zone_id", "problem", "kind", "severity", "treatment", "treated", "result",
              "resolved", "notes"});
    return names;
}

SQLArgs PestRecord::columnValues() const
{
    return {dayValue(observed), plantID,  zoneID,          problem, kind.rawValue(), severity,
            treatment,          dayValue(treated), result, resolved, notes};
}

PestRecord PestRecord::fromRow(const SQLRow& row, std::optional<OVDay> today)
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

QStringList Harvest::columns()
{
    static const QStringList names = list({"plant_id", "crop", "date", "quantity", "unit", "quality", "notes"});
    return names;
}

SQLArgs Harvest::columnValues() const
{
    return {plantID, crop, dayValue(date), quantity, unit.rawValue(), quality, notes};
}

Harvest Harvest::fromRow(const SQLRow& row, std::optional<OVDay> today)
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

QStringList LedgerEntry::columns()
{
    static const QStringList names =
        list({"date", "item", "category", "quantity", "unit", "cost", "vendor", "plant_id", "crop", "notes"});
    return names;
}

SQLArgs LedgerEntry::columnValues() const
{
    return {dayValue(date), item, category.rawValue(), quantity, unit, cost, vendor, plantID, crop, notes};
}

LedgerEntry LedgerEntry::fromRow(const SQLRow& row, std::optional<OVDay> today)
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
