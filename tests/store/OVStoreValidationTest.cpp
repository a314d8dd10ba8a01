// Validation before every save: the exact sentences the user reads, the tidying
// that is stored, and the links that saves fill in or clear.

#include "records/OVPrefs.h"
#include "store/OVStore.h"

#include "StoreLayout.h"
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using storetest::errorOf;
using storetest::StoreLayout;

namespace {

// The sentence of the OVError::invalid that saving `record` throws.
template <typename T>
QString refusal(OVStore& store, T record)
{
    const OVError e = errorOf([&] { store.save(record); });
    EXPECT_EQ(e.kind(), OVError::Kind::invalid) << e.errorDescription().toStdString();
    return e.payload();
}

} // namespace

TEST(GreenhouseValidation, NameIsTrimmedAndRequired)
{
    StoreLayout s;
    Greenhouse blank;
    blank.name = QStringLiteral(" \t\n ");
    EXPECT_EQ(refusal(*s, blank), QStringLiteral("Please give the greenhouse a name."));

    Greenhouse padded;
    padded.name = QStringLiteral("  South \n");
    s->save(padded);
    EXPECT_EQ(padded.name, QStringLiteral("South"));
    EXPECT_EQ(s->get<Greenhouse>(padded.id)->name, QStringLiteral("South"));
}

TEST(ZoneValidation, AlertRanges)
{
    StoreLayout s;
    Zone zone = s.zone;
    zone.limits = {{Metric::humidity, MetricRange(80.0, 80.0)}};
    EXPECT_NO_THROW(s->save(zone));

    zone.limits = {{Metric::humidity, MetricRange(80.0, 70.0)}};
    EXPECT_EQ(refusal(*s, zone), QStringLiteral("Humidity: the low alert value is higher than the high one."));
    zone.limits = {{Metric::soilTemp, MetricRange(170.0, std::nullopt)}};
    EXPECT_EQ(refusal(*s, zone), QStringLiteral("Soil temperature: the low alert value is not a possible reading."));
    zone.limits = {{Metric::ph, MetricRange(std::nullopt, std::nan(""))}};
    EXPECT_EQ(refusal(*s, zone), QStringLiteral("Soil / solution pH: the high alert value is not a possible reading."));
    // The first faulty metric in the metrics' own order is the one named.
    zone.limits = {{Metric::ec, MetricRange(5.0, 1.0)}, {Metric::temp, MetricRange(90.0, 50.0)}};
    EXPECT_EQ(refusal(*s, zone), QStringLiteral("Air temperature: the low alert value is higher than the high one."));
}

TEST(ZoneValidation, EmptyRangesAreDroppedAndParentComesAfterName)
{
    StoreLayout s;
    Zone zone = s.zone;
    zone.limits = {{Metric::co2, MetricRange()}, {Metric::light, MetricRange(100.0, std::nullopt)}};
    s->save(zone);
    const std::map<Metric, MetricRange> kept = {{Metric::light, MetricRange(100.0, std::nullopt)}};
    EXPECT_EQ(zone.limits, kept);
    EXPECT_EQ(s->get<Zone>(zone.id)->limits, kept);

    Zone orphan;
    orphan.name = QStringLiteral(" ");
    EXPECT_EQ(refusal(*s, orphan), QStringLiteral("Please give the zone a name."));
    orphan.name = QStringLiteral("East");
    EXPECT_EQ(refusal(*s, orphan), QStringLiteral("Choose which greenhouse this zone is in."));
}

TEST(SpotValidation, MessagesNameTheKind)
{
    StoreLayout s;
    Spot bench;
    bench.kind = SpotKind::bench;
    EXPECT_EQ(refusal(*s, bench), QStringLiteral("Please give the bench a name or number."));
    bench.name = QStringLiteral("B1");
    EXPECT_EQ(refusal(*s, bench), QStringLiteral("Choose which zone this bench is in."));
    Spot bed;
    bed.name = QStringLiteral("2");
    bed.zoneID = 4242;
    EXPECT_EQ(refusal(*s, bed), QStringLiteral("Choose which zone this bed is in."));
}

TEST(PlantValidation, MostSpecificPlaceDecidesTheOthers)
{
    StoreLayout s;
    Greenhouse other;
    other.name = QStringLiteral("Other");
    s->save(other);

    Plant plant;
    plant.crop = QStringLiteral(" Tomato ");
    plant.spotID = s.bed.id;
    plant.zoneID = 999;            // stale
    plant.greenhouseID = other.id; // contradicts the bed
    s->save(plant);
    EXPECT_EQ(plant.crop, QStringLiteral("Tomato"));
    EXPECT_EQ(plant.zoneID, s.zone.id);
    EXPECT_EQ(plant.greenhouseID, s.house.id);

    Plant zoneOnly;
    zoneOnly.crop = QStringLiteral("Basil");
    zoneOnly.zoneID = s.zone.id;
    s->save(zoneOnly);
    EXPECT_EQ(zoneOnly.greenhouseID, s.house.id);
    EXPECT_FALSE(zoneOnly.spotID.has_value());
}

TEST(PlantValidation, Refusals)
{
    StoreLayout s;
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.quantity = 0;
    EXPECT_NO_THROW(s->save(plant));
    plant.quantity = -1;
    EXPECT_EQ(refusal(*s, plant), QStringLiteral("The number of plants can't be negative."));
    plant.quantity = 1;
    plant.sowDate = OVDay(2026, 3, 1);
    plant.transplantDate = OVDay(2026, 3, 1);
    EXPECT_NO_THROW(s->save(plant));

    Plant lost;
    lost.crop = QStringLiteral("Bean");
    lost.spotID = 777;
    EXPECT_EQ(refusal(*s, lost), QStringLiteral("That bed or bench no longer exists."));
    lost.spotID.reset();
    lost.zoneID = 777;
    EXPECT_EQ(refusal(*s, lost), QStringLiteral("That zone no longer exists."));
    lost.zoneID.reset();
    lost.greenhouseID = 777;
    EXPECT_EQ(refusal(*s, lost), QStringLiteral("That greenhouse no longer exists."));
}

TEST(PhotoValidation, NeedsBytesAndAPlant)
{
    StoreLayout s;
    Photo photo;
    photo.plantID = 5;
    EXPECT_EQ(refusal(*s, photo), QStringLiteral("The photo is empty."));
    photo.data = QByteArray("jpeg", 4);
    EXPECT_EQ(refusal(*s, photo), QStringLiteral("That plant no longer exists."));
}

TEST(SeedValidation, AmountAndYear)
{
    StoreLayout s;
    Seed seed;
    seed.crop = QStringLiteral("Lettuce");
    for (const qint64 year : {1900, 2200}) {
        seed.id = 0;
        seed.year = year;
        EXPECT_NO_THROW(s->save(seed)) << year;
    }
    for (const qint64 year : {1899, 2201}) {
        seed.year = year;
        EXPECT_EQ(refusal(*s, seed), QStringLiteral("The packed-for year doesn't look right.")) << year;
    }
    seed.year.reset();
    // Not a number and infinity are refused like a negative amount (as costs are).
    for (const double amount : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        seed.quantity = amount;
        EXPECT_EQ(refusal(*s, seed), QStringLiteral("The amount of seed can't be negative.")) << amount;
    }
    seed.crop = QString();
    EXPECT_EQ(refusal(*s, seed), QStringLiteral("Please enter the crop (for example Lettuce)."));
}

TEST(GermTestValidation, SproutedWithinSown)
{
    StoreLayout s;
    Seed seed;
    seed.crop = QStringLiteral("Lettuce");
    s->save(seed);
    GermTest test;
    test.seedID = seed.id;
    test.sown = 10;
    test.sprouted = 10;
    EXPECT_NO_THROW(s->save(test));
    for (const qint64 sprouted : {11, -1}) {
        test.sprouted = sprouted;
        EXPECT_EQ(refusal(*s, test), QStringLiteral("Sprouted seeds must be between 0 and the number sown."));
    }
    test.sprouted = 1;
    test.days = -1;
    EXPECT_EQ(refusal(*s, test), QStringLiteral("Days can't be negative."));
    test.days.reset();
    test.sown = 0;
    EXPECT_EQ(refusal(*s, test), QStringLiteral("Enter how many seeds were tested (more than 0)."));
    test.sown = 10;
    s->remove<Seed>(seed.id);
    EXPECT_EQ(refusal(*s, test), QStringLiteral("That seed packet no longer exists."));
}

TEST(ReadingValidation, ValuesNamedAsTheUserSeesThem)
{
    StoreLayout s;
    Reading reading;
    reading.zoneID = s.zone.id;
    reading.values = {{Metric::humidity, 101.0}};
    EXPECT_EQ(refusal(*s, reading), QStringLiteral("Humidity 101% is not a possible reading. Please check it."));

    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
    reading.values = {{Metric::temp, 200.0}};
    EXPECT_EQ(refusal(*s, reading), QStringLiteral("Air temperature 93.3°C is not a possible reading. Please check it."));
    OVPrefs::remove(OVPrefs::unitKey);

    reading.zoneID = 0;
    EXPECT_EQ(refusal(*s, reading), QStringLiteral("Choose the zone this reading is for."));
}

TEST(TaskValidation, DefaultTitles)
{
    StoreLayout s;
    OVTask task;
    task.kind = TaskKind::maintenance;
    task.category = QStringLiteral("fans");
    s->save(task);
    EXPECT_EQ(task.title, QStringLiteral("Fans & cooling"));

    OVTask unknown;
    unknown.kind = TaskKind::maintenance;
    unknown.category = QStringLiteral("Fans");
    unknown.title = QStringLiteral("   ");
    s->save(unknown);
    EXPECT_EQ(unknown.title, QStringLiteral("Maintenance"));
    EXPECT_EQ(s->get<OVTask>(unknown.id)->category, QStringLiteral("Fans"));

    OVTask feed;
    feed.kind = TaskKind::nutrient;
    s->save(feed);
    EXPECT_EQ(feed.title, QStringLiteral("Nutrient / pH check"));
}

TEST(TaskValidation, TimeAndRuleAreCheckedLinksAreCleared)
{
    StoreLayout s;
    OVTask task;
    task.hour = 24;
    EXPECT_EQ(refusal(*s, task), QStringLiteral("Please choose a valid time of day."));
    task.hour = 23;
    task.minute = 60;
    EXPECT_EQ(refusal(*s, task), QStringLiteral("Please choose a valid time of day."));
    task.minute = 59;
    // Stored as "weeks:1:2,9", it would come back as Mondays only.
    task.rule = Recurrence::weekly(1, {2, 9});
    EXPECT_EQ(refusal(*s, task), QStringLiteral("Please finish choosing how often this repeats."));
    task.rule = Recurrence::everyDays(0);
    EXPECT_EQ(refusal(*s, task), QStringLiteral("Please finish choosing how often this repeats."));

    task.rule = Recurrence::weekly(2, {2, 5});
    task.zoneID = 31337;
    task.plantID = 31337;
    s->save(task);
    EXPECT_FALSE(task.zoneID.has_value());
    EXPECT_FALSE(task.plantID.has_value());
}

TEST(PestValidation, ZoneFromThePlantOnlyWhenUnset)
{
    StoreLayout s;
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.spotID = s.bed.id;
    s->save(plant);

    PestRecord pest;
    pest.problem = QStringLiteral(" Aphids ");
    pest.plantID = plant.id;
    s->save(pest);
    EXPECT_EQ(pest.problem, QStringLiteral("Aphids"));
    EXPECT_EQ(pest.zoneID, s.zone.id);

    Zone other;
    other.greenhouseID = s.house.id;
    other.name = QStringLiteral("Other");
    s->save(other);
    PestRecord placed;
    placed.problem = QStringLiteral("Mildew");
    placed.plantID = plant.id;
    placed.zoneID = other.id;
    s->save(placed);
    EXPECT_EQ(placed.zoneID, other.id); // a zone already chosen stays

    PestRecord vanished;
    vanished.problem = QStringLiteral("Mildew");
    vanished.severity = 0;
    EXPECT_EQ(refusal(*s, vanished), QStringLiteral("Severity must be 1 (light) to 5 (severe)."));
    vanished.severity = 5;
    vanished.observed = OVDay(2026, 5, 2);
    vanished.treated = OVDay(2026, 5, 2);
    EXPECT_NO_THROW(s->save(vanished));
    vanished.treated = OVDay(2026, 5, 1);
    EXPECT_EQ(refusal(*s, vanished), QStringLiteral("The treatment date is before the day the problem was seen."));
}

TEST(HarvestValidation, PlantThenCropThenQuantity)
{
    StoreLayout s;
    Harvest harvest;
    harvest.plantID = 404;
    harvest.quantity = 0; // the plant is checked first
    EXPECT_EQ(refusal(*s, harvest), QStringLiteral("That plant no longer exists."));
    harvest.plantID.reset();
    EXPECT_EQ(refusal(*s, harvest), QStringLiteral("Choose a plant or type the crop you harvested."));
    harvest.crop = QStringLiteral("Kale");
    for (const double amount : {0.0, -1.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
        harvest.quantity = amount;
        EXPECT_EQ(refusal(*s, harvest), QStringLiteral("Enter how much you harvested (more than 0).")) << amount;
    }

    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    s->save(plant);
    Harvest picked;
    picked.plantID = plant.id;
    picked.crop = QStringLiteral("  ");
    picked.quantity = 2;
    s->save(picked);
    EXPECT_EQ(picked.crop, QStringLiteral("Tomato"));
    picked.crop = QStringLiteral(" Cherry tomato ");
    s->save(picked);
    EXPECT_EQ(picked.crop, QStringLiteral("Cherry tomato"));
}

TEST(LedgerValidation, CostAndPlant)
{
    StoreLayout s;
    LedgerEntry entry;
    entry.item = QStringLiteral("Twine");
    entry.cost = 0;
    EXPECT_NO_THROW(s->save(entry));
    EXPECT_EQ(entry.crop, QString());
    for (const double cost : {-0.01, std::numeric_limits<double>::infinity(), std::nan("")}) {
        entry.cost = cost;
        EXPECT_EQ(refusal(*s, entry), QStringLiteral("The cost can't be negative.")) << cost;
    }
    entry.cost = 1;
    entry.plantID = 12;
    EXPECT_EQ(refusal(*s, entry), QStringLiteral("That plant no longer exists."));
    entry.item = QString();
    EXPECT_EQ(refusal(*s, entry), QStringLiteral("Please describe what was bought or paid for."));
}
