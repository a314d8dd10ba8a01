// The reports summed by the store must read, cell for cell, exactly as the reports
// built from the fetched record lists: on random stores with look-alike crop names,
// every unit, empty and damaged values, in every period the Reports screen offers.

#include "services/Reports.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QDate>
#include <gtest/gtest.h>

#include <random>

namespace {

using Period = std::pair<std::optional<OVDay>, std::optional<OVDay>>;

// Names that join (case, blanks, line breaks), names that only look alike, and no crop.
const QStringList cropTexts = {QStringLiteral("Tomato"),    QStringLiteral(" tomato"), QStringLiteral("TOMATO\t"),
                               QStringLiteral("Tomato\n"),  QStringLiteral("Tomatoes"), QStringLiteral("Bean"),
                               QStringLiteral("bean "),     QStringLiteral("Ärtor"),    QStringLiteral("ärtor"),
                               QStringLiteral("Radish"),    QStringLiteral(""),         QStringLiteral("  "),
                               QStringLiteral("Pak choi")};

class RandomStore {
public:
    RandomStore(OVStore& store, unsigned seed) : m_store(store), m_random(seed) {}

    // Plants with every status, unknown status texts and damaged harvest days.
    void fillPlants(int count)
    {
        static const QStringList statuses = {QStringLiteral("planned"),  QStringLiteral("growing"),
                                             QStringLiteral("finished"), QStringLiteral("failed"),
                                             QStringLiteral("harvesting"), QStringLiteral("Growing"),
                                             QStringLiteral("")};
        for (int i = 0; i < count; ++i) {
            const SQLValue expected = pick(4) == 0 ? SQLValue(nullptr) : date();
            m_store.db().run(QStringLiteral("INSERT INTO plant (crop, status, expected_harvest) VALUES (?, ?, ?)"),
                             {crop(), statuses[pick(int(statuses.size()))], expected});
        }
    }

    void fill(int harvests, int costs)
    {
        m_store.db().transaction([&] {
            for (int i = 0; i < harvests; ++i) {
                m_store.db().run(QStringLiteral("INSERT INTO harvest (crop, date, quantity, unit) VALUES (?, ?, ?, ?)"),
                                 {crop(), date(), quantity(), unit()});
            }
            for (int i = 0; i < costs; ++i) {
                m_store.db().run(
                    QStringLiteral("INSERT INTO ledger (date, item, category, cost, crop) VALUES (?, 'x', 'other', ?, ?)"),
                    {date(), quantity(), crop()});
            }
        });
    }

    // Either end may be any day of its month, the last one included.
    Period customPeriod()
    {
        std::optional<OVDay> from, to;
        if (pick(4) != 0)
            from = anyDay(2018 + pick(6));
        if (pick(4) != 0)
            to = anyDay(2020 + pick(6));
        return {from, to};
    }

    // Days that date() also gives now and then: a period's first and last days, where
    // an off-by-one bound would drop or take a record.
    void addEdges(const Period& period)
    {
        for (const std::optional<OVDay>& end : {period.first, period.second})
            if (end)
                m_edges.append(*end);
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    OVDay anyDay(int year)
    {
        const int month = 1 + pick(12);
        return OVDay(year, month, 1 + pick(QDate(year, month, 1).daysInMonth()));
    }

    SQLValue crop() { return cropTexts[pick(int(cropTexts.size()))]; }

    // Mostly days as a save writes them; some in forms a fetch still reads, some it
    // reads as today, and some repeated so sums meet ties on the day.
    SQLValue date()
    {
        const OVDay today = OVDay::today();
        if (!m_edges.isEmpty() && pick(5) == 0)
            return m_edges[pick(int(m_edges.size()))].iso();
        switch (pick(20)) {
        case 0:
            return QStringLiteral("not a day");
        case 1:
            return QStringLiteral("2023-2-30");
        case 2:
            return QStringLiteral(" 2021-3-7");
        case 3:
            return today.iso();
        case 4:
            return QStringLiteral("2022-06-15");
        default:
            return anyDay(2017 + pick(10)).iso();
        }
    }

    SQLValue quantity()
    {
        switch (pick(12)) {
        case 0:
            return QStringLiteral("2.5");
        case 1:
            return QStringLiteral("lots");
        case 2:
            return qint64(pick(9));
        case 3:
            return 0.1;
        default:
            return std::uniform_real_distribution<double>(0, 60)(m_random);
        }
    }

    SQLValue unit()
    {
        static const QStringList units = {QStringLiteral("lb"), QStringLiteral("oz"), QStringLiteral("kg"),
                                          QStringLiteral("g"),  QStringLiteral("count"), QStringLiteral("KG"),
                                          QStringLiteral("")};
        return units[pick(int(units.size()))];
    }

    OVStore& m_store;
    std::mt19937 m_random;
    QList<OVDay> m_edges;
};

void expectSameTable(const ReportTableText& fromLists, const ReportTableText& fromStore, const QString& what)
{
    EXPECT_EQ(fromStore.header, fromLists.header) << what.toStdString();
    ASSERT_EQ(fromStore.rows.size(), fromLists.rows.size()) << what.toStdString();
    for (qsizetype i = 0; i < fromLists.rows.size(); ++i)
        EXPECT_EQ(fromStore.rows[i].join(u'|').toStdString(), fromLists.rows[i].join(u'|').toStdString())
            << what.toStdString() << " row " << i;
    EXPECT_EQ(fromStore.total.join(u'|').toStdString(), fromLists.total.join(u'|').toStdString()) << what.toStdString();
}

void expectSameReports(const OVStore& store, const Period& period, const QString& what)
{
    const QList<Harvest> harvests = store.harvests();
    const QList<LedgerEntry> ledger = store.ledger();
    const auto [from, to] = period;
    const Reports::BothReports fromStore = Reports::fromStore(store, from, to);
    expectSameTable(Reports::yieldTable(Reports::yield(harvests, from, to)), Reports::yieldTable(fromStore.yield),
                    QStringLiteral("yield, ") + what);
    expectSameTable(Reports::costTable(Reports::costs(harvests, ledger, from, to)),
                    Reports::costTable(fromStore.costs), QStringLiteral("cost, ") + what);
}

} // namespace

TEST(ReportSums, EqualTheListReportsOnRandomStoresInEveryPeriod)
{
    const OVDay today = OVDay::today();
    for (unsigned seed = 1; seed <= 24; ++seed) {
        testsupport::ScratchDir dir;
        OVStore store(dir.file(QStringLiteral("r.sqlite")));
        RandomStore random(store, seed);
        const QList<std::pair<QString, Period>> periods = {
            {QStringLiteral("this year"), {OVDay(today.year, 1, 1), OVDay(today.year, 12, 31)}},
            {QStringLiteral("last year"), {OVDay(today.year - 1, 1, 1), OVDay(today.year - 1, 12, 31)}},
            {QStringLiteral("all dates"), {std::nullopt, std::nullopt}},
            {QStringLiteral("custom"), random.customPeriod()},
            {QStringLiteral("custom"), random.customPeriod()},
        };
        for (const auto& [name, period] : periods)
            random.addEdges(period);
        random.fill(int(seed * 7 % 90), int(seed * 5 % 40));
        for (const auto& [name, period] : periods)
            expectSameReports(store, period, name + QStringLiteral(", seed ") + QString::number(seed));
    }
}

// A period holds both of its end days: a harvest or cost on 31 December counts for
// "this year", one on a custom period's end day for that period; the day after and
// the day before do not.
TEST(ReportSums, APeriodHoldsItsFirstAndLastDays)
{
    testsupport::ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("r.sqlite")));
    const int year = int(OVDay::today().year);
    const auto add = [&](const OVDay& day, double cost) {
        Harvest harvest{.crop = QStringLiteral("Tomato"), .date = day, .quantity = 1};
        store.save(harvest);
        LedgerEntry entry{.date = day, .item = QStringLiteral("Compost"), .cost = cost};
        store.save(entry);
    };
    add(OVDay(year - 1, 12, 31), 1);
    add(OVDay(year, 1, 1), 10);
    add(OVDay(year, 12, 31), 100);
    add(OVDay(year + 1, 1, 1), 1000);
    add(OVDay(2024, 3, 4), 2);
    add(OVDay(2024, 3, 5), 20);
    add(OVDay(2024, 6, 30), 200);
    add(OVDay(2024, 7, 1), 2000);

    const OVStore::ReportSums thisYear = store.reportSums(OVDay(year, 1, 1), OVDay(year, 12, 31));
    EXPECT_EQ(thisYear.totalHarvests, 2);
    EXPECT_DOUBLE_EQ(thisYear.totalPounds, 2);
    EXPECT_DOUBLE_EQ(thisYear.totalCost, 110);
    ASSERT_EQ(thisYear.yield.size(), 1);
    EXPECT_EQ(thisYear.yield[0].harvests, 2);
    EXPECT_EQ(thisYear.yield[0].first, OVDay(year, 1, 1));
    EXPECT_EQ(thisYear.yield[0].last, OVDay(year, 12, 31));

    const OVStore::ReportSums custom = store.reportSums(OVDay(2024, 3, 5), OVDay(2024, 6, 30));
    EXPECT_EQ(custom.totalHarvests, 2);
    EXPECT_DOUBLE_EQ(custom.totalCost, 220);
    ASSERT_EQ(custom.yield.size(), 1);
    EXPECT_EQ(custom.yield[0].last, OVDay(2024, 6, 30));

    // Open at one end: the other end's day still counts.
    EXPECT_EQ(store.reportSums(std::nullopt, OVDay(2024, 6, 30)).totalHarvests, 3);
    EXPECT_EQ(store.reportSums(OVDay(year, 12, 31), std::nullopt).totalHarvests, 2);
}

TEST(ReportSums, EmptyStoreAndEmptyPeriodGiveOnlyTheFixedLines)
{
    testsupport::ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("r.sqlite")));
    expectSameReports(store, {std::nullopt, std::nullopt}, QStringLiteral("empty store"));
    RandomStore(store, 99).fill(30, 30);
    // A period that ends before it starts holds nothing, in both forms.
    const Period backwards{OVDay(2024, 5, 2), OVDay(2024, 5, 1)};
    expectSameReports(store, backwards, QStringLiteral("backwards period"));
    const Reports::BothReports empty = Reports::fromStore(store, backwards.first, backwards.second);
    EXPECT_TRUE(empty.yield.isEmpty());
    const CostReport& costs = empty.costs;
    EXPECT_TRUE(costs.rows.isEmpty());
    EXPECT_EQ(costs.totalHarvests, 0);
}

TEST(ReportSums, ALaterHarvestDoesNotRenameTheCropOrMoveItsFirstDay)
{
    testsupport::ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("r.sqlite")));
    Harvest late{.crop = QStringLiteral("TOMATO"), .date = OVDay(2024, 8, 1), .quantity = 1};
    Harvest early{.crop = QStringLiteral("Tomato "), .date = OVDay(2024, 7, 1), .quantity = 16, .unit = HarvestUnit::oz};
    store.save(late);
    store.save(early);
    const QList<YieldRow> rows = Reports::fromStore(store, std::nullopt, std::nullopt).yield;
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].crop, QStringLiteral("Tomato"));
    EXPECT_EQ(rows[0].harvests, 2);
    EXPECT_DOUBLE_EQ(rows[0].pounds, 2.0);
    EXPECT_EQ(rows[0].first, OVDay(2024, 7, 1));
    EXPECT_EQ(rows[0].last, OVDay(2024, 8, 1));
}

TEST(ReportSums, DashboardFiguresEqualWhatTheRecordListsGive)
{
    const OVDay today = OVDay::today();
    for (unsigned seed = 1; seed <= 8; ++seed) {
        testsupport::ScratchDir dir;
        OVStore store(dir.file(QStringLiteral("r.sqlite")));
        RandomStore random(store, seed);
        random.fill(60, 0);
        random.fillPlants(40);

        const QList<Plant> plants = store.plants();
        qint64 active = 0;
        QList<qint64> due;
        for (const Plant& plant : plants) {
            active += plant.status.active() ? 1 : 0;
            if (plant.expectedHarvest && plant.status != PlantStatus::finished && plant.status != PlantStatus::failed)
                due.append(plant.id);
        }
        EXPECT_EQ(store.activePlantCount(), active) << "seed " << seed;
        QList<qint64> dueFromStore;
        // The store leaves a day that does not read as one to the caller to drop.
        for (const Plant& plant : store.unfinishedPlantsWithHarvestDay())
            if (plant.expectedHarvest)
                dueFromStore.append(plant.id);
        EXPECT_EQ(dueFromStore, due) << "seed " << seed;

        for (const qint64 year : {today.year, qint64(2022), qint64(2019)}) {
            // As the dashboard reads them: the year's list, then the day each reads as.
            double pounds = 0;
            for (const Harvest& harvest : store.harvestsBetween(OVDay(year, 1, 1), OVDay(year, 12, 31))) {
                if (harvest.date.year == year)
                    pounds += harvest.pounds().value_or(0);
            }
            EXPECT_EQ(store.poundsHarvestedIn(year), pounds) << "seed " << seed << ", year " << year;
        }
    }
}
