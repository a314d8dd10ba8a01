#include "records/HarvestUnit.h"
#include "records/LedgerCategory.h"
#include "records/MaintenanceCategory.h"
#include "records/PlantStatus.h"
#include "records/ProblemKind.h"
#include "records/SpotKind.h"
#include "records/TaskKind.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

template <typename E>
QStringList rawValues()
{
    QStringList result;
    for (const E e : E::allCases())
        result << e.rawValue();
    return result;
}

// Every case's raw text reads back as that case and the id is the raw text.
template <typename E>
void expectRawRoundTrip()
{
    for (const E e : E::allCases()) {
        const auto back = E::fromRaw(e.rawValue());
        ASSERT_TRUE(back.has_value()) << e.rawValue().toStdString();
        EXPECT_EQ(*back, e);
        EXPECT_EQ(e.id(), e.rawValue());
        EXPECT_FALSE(e.name().isEmpty());
    }
}

} // namespace

// The raw texts are what the database holds: every case reads back as itself, and
// the camel-case ones keep their case.
TEST(RecordEnumRawValues, EveryCaseRoundTrips)
{
    expectRawRoundTrip<SpotKind>();
    expectRawRoundTrip<PlantStatus>();
    expectRawRoundTrip<TaskKind>();
    expectRawRoundTrip<MaintenanceCategory>();
    expectRawRoundTrip<ProblemKind>();
    expectRawRoundTrip<HarvestUnit>();
    expectRawRoundTrip<LedgerCategory>();
    EXPECT_EQ(LedgerCategory(LedgerCategory::pestControl).rawValue(), QStringLiteral("pestControl"));
    EXPECT_EQ(rawValues<HarvestUnit>(), QStringList({"lb", "oz", "kg", "g", "count"}));
}

TEST(RecordEnumRawValues, MatchExactly)
{
    EXPECT_FALSE(PlantStatus::fromRaw(u"Planned").has_value());
    EXPECT_FALSE(PlantStatus::fromRaw(u" planned").has_value());
    EXPECT_FALSE(LedgerCategory::fromRaw(u"pestcontrol").has_value());
    EXPECT_EQ(LedgerCategory::fromRaw(u"pestControl"), LedgerCategory::pestControl);
    EXPECT_FALSE(TaskKind::fromRaw(u"").has_value());
    EXPECT_FALSE(HarvestUnit::fromRaw(u"count (each)").has_value()); // the name is not the raw value
}

TEST(RecordEnumNames, FixedEnglishTexts)
{
    EXPECT_EQ(ProblemKind(ProblemKind::disorder).name(), QStringLiteral("Disorder (nutrient, heat, cold\u2026)"));
    EXPECT_EQ(ProblemKind(ProblemKind::disorder).name().size(), 32); // one character for the ellipsis
    EXPECT_EQ(LedgerCategory(LedgerCategory::containers).displayName(), QStringLiteral("Pots, trays & supplies"));
    EXPECT_EQ(HarvestUnit(HarvestUnit::count).name(), QStringLiteral("count (each)"));
    for (const PlantStatus s : PlantStatus::allCases())
        EXPECT_EQ(s.name(), s.rawValue().left(1).toUpper() + s.rawValue().mid(1));
}

TEST(RecordEnumProperties, ActiveStagesAndWeights)
{
    QStringList active;
    for (const PlantStatus s : PlantStatus::allCases()) {
        if (s.active())
            active << s.rawValue();
    }
    EXPECT_EQ(active, QStringList({"germinating", "seedling", "growing", "flowering", "fruiting", "harvesting"}));

    EXPECT_EQ(HarvestUnit(HarvestUnit::oz).pounds(), 0.0625);
    EXPECT_EQ(HarvestUnit(HarvestUnit::g).pounds(), 0.0022046226218);
    EXPECT_FALSE(HarvestUnit(HarvestUnit::count).pounds().has_value());
}
