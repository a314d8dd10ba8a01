#include "records/HarvestUnit.h"
#include "records/LedgerCategory.h"
#include "records/MaintenanceCategory.h"
#include "records/Metric.h"
#include "records/PlantStatus.h"
#include "records/ProblemKind.h"
#include "records/SpotKind.h"
#include "records/TaskKind.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <unordered_set>

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

// allCases() lists each case once, in case order, with its own raw text and hash;
// a default value is the first case.
template <typename E>
void expectCaseOrder()
{
    std::unordered_set<E> seen;
    QStringList raws;
    int index = 0;
    for (const E e : E::allCases()) {
        EXPECT_EQ(static_cast<int>(typename E::Case(e)), index++);
        seen.insert(e);
        raws << e.rawValue();
    }
    EXPECT_EQ(seen.size(), E::allCases().size());
    EXPECT_EQ(raws.removeDuplicates(), 0);
    EXPECT_EQ(E(), E::allCases().front());
}

} // namespace

TEST(RecordEnumCases, ListedOnceInCaseOrder)
{
    expectCaseOrder<SpotKind>();
    expectCaseOrder<PlantStatus>();
    expectCaseOrder<TaskKind>();
    expectCaseOrder<MaintenanceCategory>();
    expectCaseOrder<ProblemKind>();
    expectCaseOrder<HarvestUnit>();
    expectCaseOrder<LedgerCategory>();
    expectCaseOrder<Metric>();
    constexpr SpotKind bench = SpotKind::bench;
    static_assert(bench == SpotKind::bench && SpotKind() == SpotKind::bed);
}

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
