#include "records/CropKey.h"
#include "records/GermTest.h"
#include "records/Harvest.h"
#include "records/OVTask.h"
#include "records/Plant.h"
#include "records/Zone.h"

#include <gtest/gtest.h>

TEST(RecordDefaults, NewPlantAndTask)
{
    const Plant plant;
    EXPECT_EQ(plant.quantity, 1);
    EXPECT_FALSE(plant.greenhouseID || plant.zoneID || plant.spotID);

    // Bracketed by two readings of the day, so a run across midnight still passes.
    const OVDay before = OVDay::today();
    const OVTask task;
    const OVDay after = OVDay::today();
    EXPECT_TRUE(task.start == before || task.start == after);
    EXPECT_TRUE(task.remind && task.active);
    EXPECT_FALSE(task.lastDone.has_value());
}

TEST(RecordEquality, ZoneHashesItsIdOnly)
{
    Zone a{.id = 4, .name = QStringLiteral("North")};
    Zone b{.id = 4, .name = QStringLiteral("South")};
    EXPECT_NE(a, b);
    EXPECT_EQ(std::hash<Zone>()(a), std::hash<Zone>()(b));
    b.name = a.name;
    b.limits[Metric::humidity] = MetricRange(40, std::nullopt);
    EXPECT_NE(a, b);
    a.limits[Metric::humidity] = MetricRange(40, std::nullopt);
    EXPECT_EQ(a, b);
}

TEST(RecordEquality, PlantComparesAndHashesEveryField)
{
    Plant a{.crop = QStringLiteral("Tomato"), .sowDate = OVDay(2026, 3, 1), .zoneID = 2};
    Plant b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<Plant>()(a), std::hash<Plant>()(b));
    b.notes = QStringLiteral("staked");
    EXPECT_NE(a, b);
    EXPECT_NE(std::hash<Plant>()(a), std::hash<Plant>()(b));
    // An absent link and a link to row 0 are different values.
    Plant c = a;
    c.greenhouseID = 0;
    EXPECT_NE(a, c);
    EXPECT_NE(std::hash<Plant>()(a), std::hash<Plant>()(c));
}

TEST(RecordDerived, DisplayNameRateAndPounds)
{
    EXPECT_EQ((Plant{.crop = QStringLiteral("Tomato"), .variety = QStringLiteral("Sungold")}.displayName()),
              QStringLiteral("Tomato \u2014 Sungold"));
    EXPECT_EQ(Plant{.crop = QStringLiteral("Tomato ")}.displayName(), QStringLiteral("Tomato "));

    EXPECT_EQ((GermTest{.sown = 0, .sprouted = 3}.rate()), 0.0);
    EXPECT_EQ((GermTest{.sown = -2, .sprouted = 3}.rate()), 0.0);
    EXPECT_EQ((GermTest{.sown = 10, .sprouted = 7}.rate()), 70.0);

    EXPECT_EQ((Harvest{.quantity = 3, .unit = HarvestUnit::kg}.pounds()), 3 * 2.2046226218);
    EXPECT_EQ((Harvest{.quantity = 8, .unit = HarvestUnit::oz}.pounds()), 0.5);
    EXPECT_FALSE((Harvest{.quantity = 12, .unit = HarvestUnit::count}.pounds()).has_value());
}

TEST(CropKey, TrimsAndLowerCases)
{
    EXPECT_EQ(cropKey(u"  Tomato\n"), cropKey(u"tomato"));
    EXPECT_EQ(cropKey(u"\tSweet Pepper \r\n"), QStringLiteral("sweet pepper"));
    EXPECT_NE(cropKey(u"Sweet  Pepper"), cropKey(u"Sweet Pepper")); // inner spaces count
    EXPECT_EQ(cropKey(u"   "), QString());
}
