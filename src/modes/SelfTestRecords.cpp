#include "modes/SelfTestRecords.h"

#include "modes/SelfTestErrors.h"

#include "modes/SelfTestStore.h"

#include "modes/OVSelfTest.h"
#include "modes/SelfTestImage.h"
#include "store/OVStore.h"

#include <QDir>
#include <QImage>

#include <exception>
#include <functional>
#include <memory>

namespace {

// The group's store stays shared after the group returns, so it must outlive it.
std::unique_ptr<OVStore>& recordStore()
{
    static std::unique_ptr<OVStore> store;
    return store;
}


} // namespace

namespace OVSelfTest {

void recordTests(OVTestRun& run, const QString& folder)
{
    run.begin(QStringLiteral("Records: create, edit and delete for every type, with validation"));

    recordStore() = openGroupStore(run, folder, QStringLiteral("records.sqlite"));
    if (!recordStore())
        return;
    OVStore& store = *recordStore();
    OVStore::setShared(&store);

    // A step that must succeed; a throw fails it with the error's text.
    const auto ok = [&run](const QString& label, const std::function<void()>& body) {
        try {
            body();
        } catch (...) {
            run.check(false, label + QStringLiteral(" — ") + errorText(std::current_exception()));
            return;
        }
        run.check(true, label);
    };
    // A save that must be refused with one of the store's own errors.
    const auto refused = [&run](const QString& label, const std::function<void()>& body) {
        try {
            body();
        } catch (const OVError&) {
            run.check(true, label);
            return;
        } catch (...) {
            run.check(false, label);
            return;
        }
        run.check(false, label + QStringLiteral(" (was accepted)"));
    };

    const QDateTime T = QDateTime::fromSecsSinceEpoch(1790000000, Qt::UTC);

    // ---- Greenhouse
    Greenhouse house;
    house.name = QStringLiteral("  North House ");
    house.location = QStringLiteral("Grand Junction");
    ok(QStringLiteral("greenhouse: create"), [&] { store.save(house); });
    {
        const auto back = store.get<Greenhouse>(house.id);
        run.check(back && back->name == QStringLiteral("North House"),
                  QStringLiteral("greenhouse: read back (name trimmed)"));
    }
    ok(QStringLiteral("greenhouse: edit"), [&] {
        house.glazing = QStringLiteral("Polycarbonate");
        store.save(house);
    });
    {
        const auto back = store.get<Greenhouse>(house.id);
        run.check(back && back->glazing == QStringLiteral("Polycarbonate"), QStringLiteral("greenhouse: edit saved"));
    }
    refused(QStringLiteral("greenhouse: empty name refused"), [&] {
        Greenhouse blank;
        blank.name = QStringLiteral("  ");
        store.save(blank);
    });

    // ---- Zone
    Zone zone;
    zone.greenhouseID = house.id;
    zone.name = QStringLiteral("Propagation");
    zone.limits[Metric::temp] = MetricRange(55.0, 85.0);
    ok(QStringLiteral("zone: create with alert range"), [&] { store.save(zone); });
    ok(QStringLiteral("zone: edit alert ranges"), [&] {
        zone.limits[Metric::humidity] = MetricRange(40.0, 80.0);
        store.save(zone);
    });
    {
        const auto back = store.get<Zone>(zone.id);
        const std::map<Metric, MetricRange> expected = {{Metric::temp, MetricRange(55.0, 85.0)},
                                                        {Metric::humidity, MetricRange(40.0, 80.0)}};
        run.check(back && back->limits == expected, QStringLiteral("zone: alert ranges read back exactly"));
    }
    refused(QStringLiteral("zone: low above high refused"), [&] {
        Zone copy = zone;
        copy.limits[Metric::temp] = MetricRange(90.0, 50.0);
        store.save(copy);
    });
    refused(QStringLiteral("zone: impossible humidity limit refused"), [&] {
        Zone copy = zone;
        copy.limits[Metric::humidity] = MetricRange(0.0, 140.0);
        store.save(copy);
    });
    refused(QStringLiteral("zone: missing greenhouse refused"), [&] {
        Zone orphan;
        orphan.greenhouseID = 999;
        orphan.name = QStringLiteral("X");
        store.save(orphan);
    });

    // ---- Beds and benches
    Spot bed;
    bed.zoneID = zone.id;
    bed.kind = SpotKind::bed;
    bed.name = QStringLiteral("1");
    ok(QStringLiteral("bed: create"), [&] { store.save(bed); });
    Spot bench;
    bench.zoneID = zone.id;
    bench.kind = SpotKind::bench;
    bench.name = QStringLiteral("A");
    ok(QStringLiteral("bench: create"), [&] { store.save(bench); });
    ok(QStringLiteral("bed: edit"), [&] {
        bed.size = QStringLiteral("4 x 8 ft");
        store.save(bed);
    });
    {
        const auto back = store.get<Spot>(bed.id);
        run.check(store.spots(zone.id).size() == 2 && back && back->size == QStringLiteral("4 x 8 ft"),
                  QStringLiteral("beds and benches read back"));
    }

    // ---- Plant
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.variety = QStringLiteral("Celebrity");
    plant.source = QStringLiteral("Seed Co");
    plant.refCropID = QStringLiteral("tomato");
    plant.sowDate = OVDay(2026, 3, 1);
    plant.spotID = bed.id;
    plant.status = PlantStatus::seedling;
    plant.quantity = 1;
    ok(QStringLiteral("plant: create in a bed"), [&] { store.save(plant); });
    {
        const auto back = store.get<Plant>(plant.id);
        run.check(back && back->zoneID == zone.id && back->greenhouseID == house.id,
                  QStringLiteral("plant: bed fills in its zone and greenhouse"));
    }
    ok(QStringLiteral("plant: edit dates, status, notes"), [&] {
        plant.transplantDate = OVDay(2026, 4, 15);
        plant.status = PlantStatus::growing;
        plant.notes = QStringLiteral("Staked");
        store.save(plant);
    });
    {
        const auto back = store.get<Plant>(plant.id);
        run.check(back && back->transplantDate == OVDay(2026, 4, 15) && back->status == PlantStatus::growing &&
                      back->notes == QStringLiteral("Staked"),
                  QStringLiteral("plant: edit saved"));
    }
    refused(QStringLiteral("plant: transplant before sowing refused"), [&] {
        Plant copy = plant;
        copy.transplantDate = OVDay(2026, 2, 1);
        store.save(copy);
    });
    refused(QStringLiteral("plant: empty crop refused"), [&] {
        Plant empty;
        store.save(empty);
    });

    // ---- Photo
    Photo photo;
    photo.plantID = plant.id;
    photo.data = testImageData();
    photo.caption = QStringLiteral("first");
    photo.added = QDateTime::currentDateTimeUtc();
    ok(QStringLiteral("photo: add"), [&] { store.save(photo); });
    ok(QStringLiteral("photo: edit caption"), [&] {
        photo.caption = QStringLiteral("renamed");
        store.save(photo);
    });
    {
        const QList<Photo> first = store.photos(plant.id);
        const QList<Photo> second = store.photos(plant.id);
        run.check(!first.isEmpty() && first.first().caption == QStringLiteral("renamed") && !second.isEmpty() &&
                      !QImage::fromData(second.first().data).isNull(),
                  QStringLiteral("photo: stored and still an image"));
    }

    // ---- Seed packet
    Seed seed;
    seed.crop = QStringLiteral("Lettuce");
    seed.variety = QStringLiteral("Buttercrunch");
    seed.supplier = QStringLiteral("Co");
    seed.year = 2026;
    seed.quantity = 200;
    seed.unit = QStringLiteral("seeds");
    ok(QStringLiteral("seed: create"), [&] { store.save(seed); });
    ok(QStringLiteral("seed: edit amount"), [&] {
        seed.quantity = 150;
        store.save(seed);
    });
    refused(QStringLiteral("seed: negative amount refused"), [&] {
        Seed copy = seed;
        copy.quantity = -1;
        store.save(copy);
    });

    // ---- Germination test
    GermTest test;
    test.seedID = seed.id;
    test.started = OVDay::today();
    test.sown = 20;
    test.sprouted = 17;
    ok(QStringLiteral("germination test: create"), [&] { store.save(test); });
    {
        const QList<GermTest> tests = store.germTests(seed.id);
        run.check(!tests.isEmpty() && near(tests.first().rate(), 85.0), QStringLiteral("germination rate 17/20 = 85%"));
    }
    ok(QStringLiteral("germination test: edit"), [&] {
        test.sprouted = 18;
        store.save(test);
    });
    refused(QStringLiteral("germination test: more sprouted than sown refused"), [&] {
        GermTest copy = test;
        copy.sprouted = 21;
        store.save(copy);
    });

    // ---- Reading
    Reading reading;
    reading.zoneID = zone.id;
    reading.taken = T;
    reading.values = {{Metric::temp, 72.0}, {Metric::humidity, 55.0}, {Metric::ph, 6.4}};
    ok(QStringLiteral("reading: create"), [&] { store.addReadings({reading}); });
    ok(QStringLiteral("reading: edit"), [&] {
        const QList<Reading> newest = store.readings(zone.id);
        Reading edited = newest.isEmpty() ? reading : newest.first();
        edited.values[Metric::temp] = 73.5;
        store.save(edited);
    });
    {
        const QList<Reading> newest = store.readings(zone.id);
        const std::map<Metric, double> expected = {{Metric::temp, 73.5}, {Metric::humidity, 55.0}, {Metric::ph, 6.4}};
        run.check(!newest.isEmpty() && newest.first().values == expected,
                  QStringLiteral("reading: values read back exactly"));
    }
    refused(QStringLiteral("reading: humidity 140% refused"), [&] {
        Reading wild;
        wild.zoneID = zone.id;
        wild.taken = QDateTime::currentDateTimeUtc();
        wild.values = {{Metric::humidity, 140.0}};
        store.save(wild);
    });
    refused(QStringLiteral("reading: empty reading refused"), [&] {
        Reading empty;
        empty.zoneID = zone.id;
        empty.taken = QDateTime::currentDateTimeUtc();
        store.save(empty);
    });

    // ---- Task
    OVTask task;
    task.kind = TaskKind::maintenance;
    task.category = QStringLiteral("vents");
    task.zoneID = zone.id;
    task.rule = Recurrence::monthlyDay(1, 31);
    task.start = OVDay(2026, 1, 31);
    task.hour = 8;
    task.minute = 0;
    task.remind = true;
    task.active = true;
    ok(QStringLiteral("maintenance task: create"), [&] { store.save(task); });
    {
        const auto back = store.get<OVTask>(task.id);
        run.check(back && back->title == QStringLiteral("Vents"),
                  QStringLiteral("task: empty title becomes the category name"));
    }
    ok(QStringLiteral("task: edit"), [&] {
        task.rule = Recurrence::everyDays(14);
        task.remind = false;
        store.save(task);
    });
    {
        const auto back = store.get<OVTask>(task.id);
        const auto again = store.get<OVTask>(task.id);
        run.check(back && back->rule == Recurrence::everyDays(14) && again && !again->remind,
                  QStringLiteral("task: edit saved"));
    }
    ok(QStringLiteral("task: mark done"), [&] { store.markDone(task, T, QStringLiteral("oiled")); });
    {
        const QList<TaskLog> history = store.taskLog(task.id);
        const auto back = store.get<OVTask>(task.id);
        run.check(!history.isEmpty() && history.first().note == QStringLiteral("oiled") && back &&
                      back->lastDone == T,
                  QStringLiteral("task: done history and last-done saved"));
    }
    refused(QStringLiteral("task: bad time refused"), [&] {
        OVTask copy = task;
        copy.hour = 25;
        store.save(copy);
    });

    // ---- Pest record
    PestRecord pest;
    pest.observed = OVDay(2026, 5, 1);
    pest.plantID = plant.id;
    pest.problem = QStringLiteral("Whitefly");
    pest.kind = ProblemKind::pest;
    pest.severity = 3;
    ok(QStringLiteral("pest record: create"), [&] { store.save(pest); });
    {
        const auto back = store.get<PestRecord>(pest.id);
        run.check(back && back->zoneID == zone.id, QStringLiteral("pest record: zone filled in from the plant"));
    }
    ok(QStringLiteral("pest record: edit treatment"), [&] {
        pest.treatment = QStringLiteral("Yellow sticky cards");
        pest.treated = OVDay(2026, 5, 2);
        pest.resolved = true;
        store.save(pest);
    });
    refused(QStringLiteral("pest record: severity 6 refused"), [&] {
        PestRecord copy = pest;
        copy.severity = 6;
        store.save(copy);
    });
    refused(QStringLiteral("pest record: treated before seen refused"), [&] {
        PestRecord copy = pest;
        copy.treated = OVDay(2026, 4, 1);
        store.save(copy);
    });

    // ---- Harvest
    Harvest harvest;
    harvest.plantID = plant.id;
    harvest.date = OVDay(2026, 7, 1);
    harvest.quantity = 2.5;
    harvest.unit = HarvestUnit::lb;
    ok(QStringLiteral("harvest: create from a plant"), [&] { store.save(harvest); });
    {
        const auto back = store.get<Harvest>(harvest.id);
        run.check(back && back->crop == QStringLiteral("Tomato"), QStringLiteral("harvest: crop filled in from the plant"));
    }
    ok(QStringLiteral("harvest: edit"), [&] {
        harvest.quantity = 3;
        harvest.unit = HarvestUnit::kg;
        store.save(harvest);
    });
    {
        const auto back = store.get<Harvest>(harvest.id);
        run.check(back && near(back->pounds(), 6.6138678654), QStringLiteral("harvest: 3 kg = 6.61 lb"));
    }
    refused(QStringLiteral("harvest: zero amount refused"), [&] {
        Harvest copy = harvest;
        copy.quantity = 0;
        store.save(copy);
    });

    // ---- Cost entry
    LedgerEntry cost;
    cost.date = OVDay::today();
    cost.item = QStringLiteral("Tomato feed");
    cost.category = LedgerCategory::fertilizer;
    cost.quantity = 1;
    cost.cost = 12.5;
    cost.plantID = plant.id;
    ok(QStringLiteral("cost: create"), [&] { store.save(cost); });
    {
        const auto back = store.get<LedgerEntry>(cost.id);
        run.check(back && back->crop == QStringLiteral("Tomato"), QStringLiteral("cost: crop filled in from the plant"));
    }
    ok(QStringLiteral("cost: edit"), [&] {
        cost.cost = 13.25;
        store.save(cost);
    });
    refused(QStringLiteral("cost: negative refused"), [&] {
        LedgerEntry copy = cost;
        copy.cost = -2;
        store.save(copy);
    });
    refused(QStringLiteral("edit of a deleted record refused"), [&] {
        LedgerEntry copy = cost;
        copy.id = 9999;
        store.save(copy);
    });

    // ---- Deletions and what they take with them
    ok(QStringLiteral("photo: delete"), [&] { store.remove<Photo>(photo.id); });
    run.check(store.photos(plant.id).isEmpty(), QStringLiteral("photo: gone"));
    ok(QStringLiteral("germination test: delete"), [&] { store.remove<GermTest>(test.id); });
    ok(QStringLiteral("seed: delete"), [&] { store.remove<Seed>(seed.id); });
    ok(QStringLiteral("pest record: delete"), [&] { store.remove<PestRecord>(pest.id); });
    ok(QStringLiteral("task: delete (with history)"), [&] { store.remove<OVTask>(task.id); });
    run.check(store.count(QStringLiteral("task_log")) == 0, QStringLiteral("task: its done-history went with it"));
    ok(QStringLiteral("plant: delete"), [&] { store.remove<Plant>(plant.id); });
    {
        const auto keptHarvest = store.get<Harvest>(harvest.id);
        const bool held = keptHarvest && keptHarvest->crop == QStringLiteral("Tomato") && !keptHarvest->plantID &&
                          store.get<LedgerEntry>(cost.id).has_value();
        run.check(held, QStringLiteral("plant deleted: its harvest and cost stay with the crop name"));
    }
    ok(QStringLiteral("harvest: delete"), [&] { store.remove<Harvest>(harvest.id); });
    ok(QStringLiteral("cost: delete"), [&] { store.remove<LedgerEntry>(cost.id); });
    ok(QStringLiteral("bench: delete"), [&] { store.remove<Spot>(bench.id); });
    ok(QStringLiteral("zone: delete"), [&] { store.remove<Zone>(zone.id); });
    run.check(store.count(QStringLiteral("reading")) == 0 && store.count(QStringLiteral("spot")) == 0,
              QStringLiteral("zone deleted: its readings, beds and benches went with it"));
    ok(QStringLiteral("greenhouse: delete"), [&] { store.remove<Greenhouse>(house.id); });
    bool allEmpty = true;
    for (const QString& table : OVStore::tables) {
        if (store.count(table) != 0) {
            allEmpty = false;
            break;
        }
    }
    run.check(allEmpty, QStringLiteral("everything deleted cleanly (all tables empty)"));
}

} // namespace OVSelfTest
