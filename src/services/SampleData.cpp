#include "services/SampleData.h"

#include "records/Calendar.h"
#include "records/OVFormat.h"
#include "services/ReferenceLibrary.h"
#include "services/Schedule.h"
#include "store/OVStore.h"

#include <QTime>

namespace {

// The leaf-lettuce entry of the reference crops: the library is asked rather than
// trusting a fixed id, so a renamed entry still links up. Without a library the
// usual id is used; the plant then simply gets no expected harvest.
QString leafLettuceID(const ReferenceLibrary& library)
{
    for (const RefCrop& crop : library.search(QStringLiteral("lettuce"))) {
        if (crop.id.startsWith(QStringLiteral("lettuce")) && crop.name.contains(QStringLiteral("leaf"), Qt::CaseInsensitive))
            return crop.id;
    }
    return QStringLiteral("lettuce-") + QStringLiteral("leaf");
}

// A crop name that the library's matching takes for the reference crop `id`: the id
// with a capital first letter ("basil" -> "Basil").
QString cropNameFor(const QString& id)
{
    return id.isEmpty() ? id : id.left(1).toUpper() + id.mid(1);
}

Plant samplePlant(const ReferenceLibrary& library, const QString& crop, const QString& variety, const QString& source,
                  const QString& refCropID, const OVDay& sown, std::optional<OVDay> transplanted, qint64 spotID,
                  PlantStatus status, qint64 quantity)
{
    // Only the bed is given: validation fills in the zone and greenhouse.
    Plant plant{.crop = crop, .variety = variety, .source = source, .refCropID = refCropID, .sowDate = sown,
                .transplantDate = transplanted, .spotID = spotID, .status = status, .quantity = quantity,
                .notes = QStringLiteral("Sample planting.")};
    if (const std::optional<RefCrop> ref = library.crop(refCropID))
        plant.expectedHarvest = ref->expectedHarvest(plant.sowDate, plant.transplantDate);
    return plant;
}

} // namespace

namespace SampleData {

void add(OVStore& store, const QDateTime& now)
{
    const Calendar calendar = Calendar::current();
    const OVDay today(now, calendar);
    const auto daysAgo = [&](qint64 n) { return today.adding(-n, calendar); };
    const ReferenceLibrary& library = ReferenceLibrary::shared();

    Greenhouse house;
    house.name = QStringLiteral("Sample Greenhouse");
    house.location = QStringLiteral("Example only — delete any time");
    house.size = QStringLiteral("12 × 20 ft");
    house.glazing = QStringLiteral("Twin-wall polycarbonate");
    house.notes = QStringLiteral("Sample data for learning the app.");
    store.save(house);

    Zone propagation{.greenhouseID = house.id, .name = QStringLiteral("Propagation"), .notes = QStringLiteral("Sample zone")};
    propagation.limits = {{Metric::temp, MetricRange(60, 85)}, {Metric::humidity, MetricRange(50, 85)}};
    store.save(propagation);
    Zone mainHouse{.greenhouseID = house.id, .name = QStringLiteral("Main House"), .notes = QStringLiteral("Sample zone")};
    mainHouse.limits = {{Metric::temp, MetricRange(55, 90)},
                        {Metric::humidity, MetricRange(40, 85)},
                        {Metric::soilMoisture, MetricRange(25, 60)}};
    store.save(mainHouse);

    Spot benchA{.zoneID = propagation.id, .kind = SpotKind::bench, .name = QStringLiteral("A"), .size = QStringLiteral("3 × 8 ft")};
    store.save(benchA);
    Spot bed1{.zoneID = mainHouse.id, .kind = SpotKind::bed, .name = QStringLiteral("1"), .size = QStringLiteral("4 × 10 ft")};
    store.save(bed1);
    Spot bed2{.zoneID = mainHouse.id, .kind = SpotKind::bed, .name = QStringLiteral("2"), .size = QStringLiteral("4 × 10 ft")};
    store.save(bed2);

    Plant tomato = samplePlant(library, QStringLiteral("Tomato"), QStringLiteral("Celebrity (sample)"),
                               QStringLiteral("Sample seed company"), QStringLiteral("tomato"), daysAgo(55), daysAgo(12),
                               bed1.id, PlantStatus::flowering, 6);
    store.save(tomato);
    Plant lettuce = samplePlant(library, QStringLiteral("Lettuce"), QStringLiteral("Buttercrunch (sample)"), QString(),
                                leafLettuceID(library), daysAgo(48), std::nullopt, bed2.id, PlantStatus::harvesting, 24);
    store.save(lettuce);
    const QString basilID = QStringLiteral("basil");
    Plant basil = samplePlant(library, cropNameFor(basilID), QStringLiteral("Genovese (sample)"), QString(), basilID,
                              daysAgo(20), std::nullopt, benchA.id, PlantStatus::seedling, 12);
    store.save(basil);

    Seed seed;
    seed.crop = QStringLiteral("Lettuce");
    seed.variety = QStringLiteral("Buttercrunch (sample)");
    seed.supplier = QStringLiteral("Sample seed company");
    seed.lot = QStringLiteral("S-1");
    seed.year = today.year;
    seed.quantity = 400;
    seed.unit = QStringLiteral("seeds");
    seed.notes = QStringLiteral("Sample packet.");
    store.save(seed);

    GermTest test{.seedID = seed.id, .started = daysAgo(60), .sown = 20, .sprouted = 18, .days = 6,
                  .notes = QStringLiteral("Paper-towel test (sample).")};
    store.save(test);

    // A week of readings, three a day, never after `now`. Day 5 at 14:00 is the one
    // out-of-range value the sample is meant to show.
    QList<Reading> readings;
    struct TimeOfDay {
        int hour;
        double f;
    };
    constexpr TimeOfDay times[] = {{7, 0.0}, {14, 1.0}, {20, 0.4}};
    for (int d = 0; d <= 6; ++d) {
        const QDateTime base = now.addSecs(-qint64(6 - d) * 86400);
        const QDate day = calendar.date(base);
        for (const TimeOfDay& t : times) {
            const QDateTime taken = calendar.instant(day, QTime(t.hour, 0, 0));
            if (!taken.isValid() || taken > now)
                continue;
            const double f = t.f;
            const bool ventsStuck = d == 5 && t.hour == 14;
            Reading prop{.zoneID = propagation.id, .taken = taken};
            prop.values = {{Metric::temp, 64 + 14 * f}, {Metric::humidity, 78 - 18 * f}, {Metric::soilTemp, 66 + 4 * f}};
            prop.source = QStringLiteral("manual");
            prop.note = QStringLiteral("Sample");
            readings.append(prop);
            Reading main{.zoneID = mainHouse.id, .taken = taken};
            main.values = {{Metric::temp, ventsStuck ? 94.5 : 58 + 24 * f},
                           {Metric::humidity, 70 - 22 * f},
                           {Metric::light, 2000 + 30000 * f},
                           {Metric::co2, 430 - 30 * f},
                           {Metric::soilMoisture, 44 - 8 * f}};
            main.source = QStringLiteral("manual");
            main.note = ventsStuck ? QStringLiteral("Sample: vents stuck closed") : QStringLiteral("Sample");
            readings.append(main);
        }
    }
    store.addReadings(readings);

    QList<OVTask> tasks = {
        {.kind = TaskKind::water, .title = QStringLiteral("Water propagation trays (sample)"), .zoneID = propagation.id,
         .amount = QStringLiteral("Bottom-water to moisture"), .rule = Recurrence::everyDays(1), .start = daysAgo(10),
         .hour = 8, .minute = 0},
        {.kind = TaskKind::feed, .title = QStringLiteral("Feed tomatoes (sample)"), .zoneID = mainHouse.id,
         .plantID = tomato.id, .amount = QStringLiteral("Balanced liquid feed, label rate"),
         .rule = Recurrence::everyDays(7), .start = daysAgo(3), .hour = 9, .minute = 0},
        {.kind = TaskKind::nutrient, .title = QStringLiteral("Check runoff pH and EC (sample)"), .zoneID = mainHouse.id,
         .amount = QStringLiteral("Write results in Climate"), .rule = Recurrence::weekly(1, {2}), .start = daysAgo(14),
         .hour = 10, .minute = 0},
        {.kind = TaskKind::maintenance, .category = QStringLiteral("vents"),
         .title = QStringLiteral("Check and oil vent openers (sample)"), .rule = Recurrence::monthlyDay(1, 1),
         .start = daysAgo(40), .hour = 9, .minute = 30},
        {.kind = TaskKind::maintenance, .category = QStringLiteral("fans"),
         .title = QStringLiteral("Clean fan blades and shutters (sample)"), .rule = Recurrence::monthlyDay(3, 15),
         .start = daysAgo(100), .hour = 10, .minute = 0},
        {.kind = TaskKind::maintenance, .category = QStringLiteral("glazing"),
         .title = QStringLiteral("Wash the glazing inside and out (sample)"), .rule = Recurrence::yearly(3, 15),
         .start = OVDay(today.year, 3, 15), .hour = 9, .minute = 0},
        {.kind = TaskKind::maintenance, .category = QStringLiteral("heaters"),
         .title = QStringLiteral("Test heater and thermostat before frost (sample)"), .rule = Recurrence::yearly(10, 1),
         .start = OVDay(today.year, 10, 1), .hour = 9, .minute = 0},
    };
    for (OVTask& task : tasks)
        store.save(task);

    // A history for the schedules: the daily job was done yesterday at this time,
    // the others half an hour after their latest due time (none yet for a start day
    // still ahead).
    store.markDone(tasks[0], now.addSecs(-86400), QString());
    for (qsizetype i = 1; i < tasks.size(); ++i) {
        const OVTask& task = tasks[i];
        const QList<QDateTime> due = Schedule::occurrences(task.rule, task.start, task.hour, task.minute, calendar,
                                                           Schedule::distantPast(), now, 500);
        if (!due.isEmpty())
            store.markDone(task, due.last().addSecs(1800), QString());
    }

    PestRecord pest{.observed = daysAgo(4)};
    pest.plantID = lettuce.id;
    pest.problem = QStringLiteral("Aphids (sample)");
    pest.kind = ProblemKind::pest;
    pest.severity = 2;
    pest.treatment = QStringLiteral("Strong water spray");
    pest.treated = daysAgo(3);
    pest.result = QStringLiteral("Fewer, keep watching");
    pest.resolved = false;
    store.save(pest);

    Harvest first{.plantID = lettuce.id, .crop = QStringLiteral("Lettuce"), .date = daysAgo(2), .quantity = 1.5,
                  .unit = HarvestUnit::lb, .quality = QStringLiteral("Sample")};
    store.save(first);
    const double heads = 12;
    Harvest second{.plantID = lettuce.id, .crop = QStringLiteral("Lettuce"), .date = daysAgo(1), .quantity = heads,
                   .unit = HarvestUnit::count,
                   .quality = QStringLiteral("Sample: ") + OVFormat::num(heads, 0) + QStringLiteral(" heads")};
    store.save(second);

    QList<LedgerEntry> costs = {
        {.date = daysAgo(60), .item = QStringLiteral("Potting mix (sample)"), .category = LedgerCategory::media,
         .quantity = 2, .unit = QStringLiteral("bags"), .cost = 25.98, .vendor = QStringLiteral("Sample store")},
        {.date = daysAgo(60), .item = QStringLiteral("Lettuce seed (sample)"), .category = LedgerCategory::seeds,
         .quantity = 1, .unit = QStringLiteral("packet"), .cost = 4.25, .vendor = QStringLiteral("Sample seed company"),
         .crop = QStringLiteral("Lettuce")},
        {.date = daysAgo(30), .item = QStringLiteral("Propane refill (sample)"), .category = LedgerCategory::energy,
         .quantity = 1, .unit = QStringLiteral("tank"), .cost = 22, .vendor = QStringLiteral("Sample store")},
    };
    for (LedgerEntry& entry : costs)
        store.save(entry);
}

} // namespace SampleData
