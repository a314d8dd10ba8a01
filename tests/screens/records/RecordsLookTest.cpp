// Renders the three record screens and their editors over the sample greenhouse to
// PNG files for a person to look at. Runs only when OV_SHOTS_DIR names a folder.

#include "RecordsTestSupport.h"

#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "screens/records/HarvestEditor.h"
#include "screens/records/HarvestsView.h"
#include "screens/records/LedgerEditor.h"
#include "screens/records/PestEditor.h"
#include "screens/records/PestsView.h"
#include "screens/records/SuppliesView.h"
#include "services/SampleData.h"

#include "LookShot.h"

#include <QDir>
#include <QPixmap>

using recordstest::RecordsFixture;

namespace {

bool shoot(const std::function<QWidget*()>& make, int width, const QString& path)
{
    OVThemeRoot root(make);
    return testsupport::lookShot(root, width).save(path);
}

} // namespace

class RecordsLook : public RecordsFixture {};

TEST_F(RecordsLook, WritesPNGs)
{
    const QString out = qEnvironmentVariable("OV_SHOTS_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set OV_SHOTS_DIR to write the pictures";
    QDir().mkpath(out);
    SampleData::add(*store);
    // A few more records so every row variant shows.
    const QList<Plant> plants = store->plants();
    const QList<Zone> zones = store->zones();
    PestRecord heavy;
    heavy.problem = QStringLiteral("Two-spotted spider mites");
    heavy.severity = 4;
    heavy.plantID = plants.value(0).id;
    heavy.zoneID = zones.value(0).id;
    heavy.treatment = QStringLiteral("Released Phytoseiulus");
    heavy.treated = OVDay::today();
    store->save(heavy);
    PestRecord old;
    old.kind = ProblemKind::disorder;
    old.problem = QStringLiteral("Blossom-end rot");
    old.severity = 5;
    old.resolved = true;
    old.observed = OVDay::today().adding(-40);
    old.result = QStringLiteral("Even watering fixed it");
    store->save(old);

    OVRender::snapshotMode = true;
    EXPECT_TRUE(shoot([] { return new PestsView; }, 1380, out + QStringLiteral("/pests.png")));
    EXPECT_TRUE(shoot([] { return new HarvestsView; }, 1380, out + QStringLiteral("/harvests.png")));
    EXPECT_TRUE(shoot([] { return new SuppliesView; }, 1380, out + QStringLiteral("/supplies.png")));
    const PestRecord pest = store->pests().at(0);
    EXPECT_TRUE(shoot([pest] { return new PestEditor(pest, *OVStore::shared()); }, 760, out + QStringLiteral("/pest-editor.png")));
    const Harvest harvest = store->harvests().at(0);
    EXPECT_TRUE(shoot([harvest] { return new HarvestEditor(harvest, *OVStore::shared()); }, 680, out + QStringLiteral("/harvest-editor.png")));
    const LedgerEntry cost = store->ledger().at(0);
    EXPECT_TRUE(shoot([cost] { return new LedgerEditor(cost, *OVStore::shared()); }, 720, out + QStringLiteral("/ledger-editor.png")));
    OVRender::snapshotMode = false;
}
