// Pests & Diseases keeps rows by record id: a store change remakes only the rows
// whose record or place name changed, and rows the switch hides come back as they were.

#include "RecordsTestSupport.h"

#include "kit/OVRebuilder.h"
#include "records/Greenhouse.h"
#include "records/Zone.h"
#include "screens/records/PestRow.h"
#include "screens/records/PestsView.h"

#include <QPointer>

using recordstest::RecordsFixture;

namespace {

PestRecord pest(const QString& problem, bool resolved, OVDay observed)
{
    PestRecord record;
    record.problem = problem;
    record.resolved = resolved;
    record.observed = observed;
    return record;
}

} // namespace

class PestsReuse : public RecordsFixture {};

TEST_F(PestsReuse, UnchangedRowsStayAndChangedOnesShowTheNewRecord)
{
    Greenhouse house{.name = QStringLiteral("North")};
    store->save(house);
    Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Bench")};
    store->save(zone);
    PestRecord aphids = pest(QStringLiteral("Aphids"), false, OVDay(2026, 5, 1));
    aphids.zoneID = zone.id;
    aphids = add(aphids);
    PestRecord mildew = add(pest(QStringLiteral("Mildew"), true, OVDay(2026, 5, 3)));
    PestsView view;
    ASSERT_EQ(view.rows().size(), 2);
    const QPointer<PestRow> aphidsRow = view.rows().at(1);
    const QPointer<PestRow> mildewRow = view.rows().at(0);
    EXPECT_EQ(aphidsRow->placeText(), QStringLiteral("North · Bench"));

    mildew.treatment = QStringLiteral("Sulphur");
    store->save(mildew);
    view.rebuilder()->rebuildNow();
    settle();
    EXPECT_EQ(view.rows().at(1), aphidsRow.data());
    EXPECT_TRUE(mildewRow.isNull());
    EXPECT_EQ(view.rows().at(0)->treatmentText(), QStringLiteral("Treatment: Sulphur"));

    // A renamed zone changes the place line of the row that names it.
    zone.name = QStringLiteral("Shelf");
    store->save(zone);
    view.rebuilder()->rebuildNow();
    settle();
    EXPECT_TRUE(aphidsRow.isNull());
    EXPECT_EQ(view.rows().at(1)->placeText(), QStringLiteral("North · Shelf"));

    // A later day moves a record to the top.
    aphids = store->pests().at(1);
    aphids.observed = OVDay(2026, 6, 1);
    store->save(aphids);
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(view.rows().at(0)->record().problem, QStringLiteral("Aphids"));
    EXPECT_EQ(view.rows().at(1)->record().problem, QStringLiteral("Mildew"));

    // The switch hides the resolved row and shows the same one again.
    const QPointer<PestRow> resolved = view.rows().at(1);
    view.setShowResolved(false);
    view.rebuilder()->rebuildNow();
    ASSERT_EQ(view.rows().size(), 1);
    EXPECT_TRUE(resolved->isHidden());
    view.setShowResolved(true);
    view.rebuilder()->rebuildNow();
    ASSERT_EQ(view.rows().size(), 2);
    EXPECT_EQ(view.rows().at(1), resolved.data());
    EXPECT_FALSE(resolved->isHidden());

    store->remove<PestRecord>(mildew.id);
    view.rebuilder()->rebuildNow();
    settle();
    EXPECT_TRUE(resolved.isNull());
    ASSERT_EQ(view.rows().size(), 1);
}
