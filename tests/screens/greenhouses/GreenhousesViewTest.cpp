#include "screens/greenhouses/GreenhouseCard.h"
#include "screens/greenhouses/GreenhousesView.h"
#include "screens/greenhouses/SpotChip.h"
#include "screens/greenhouses/ZoneRow.h"

#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "services/SampleData.h"

#include "JobTestSupport.h"
#include "GreenhousesTestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace greenhousetest;

namespace {

class GreenhousesViewTest : public StoreFixture {
protected:
    QStringList cardNames(const GreenhousesView& view)
    {
        QStringList names;
        for (const GreenhouseCard* card : view.cards())
            names << card->greenhouse().name;
        return names;
    }
};

TEST_F(GreenhousesViewTest, EmptyStoreShowsTheEmptyCardAndStillAdds)
{
    GreenhousesView view;
    EXPECT_TRUE(view.cards().isEmpty());
    EXPECT_NE(view.list()->findChild<QWidget*>(QStringLiteral("emptyCard")), nullptr);

    QTest::mouseClick(view.addButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet());
    const Greenhouse* fresh = AppModel::shared().sheet()->get<Greenhouse>();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(*fresh, Greenhouse());

    addGreenhouse(QStringLiteral("North"));
    view.rebuilder()->rebuildNow();
    EXPECT_EQ(view.list()->findChild<QWidget*>(QStringLiteral("emptyCard")), nullptr);
}

TEST_F(GreenhousesViewTest, SampleGreenhouseShowsItsZonesRangesAndChips)
{
    SampleData::add(*store);
    GreenhousesView view;
    ASSERT_EQ(view.cards().size(), 1);
    const GreenhouseCard* card = view.cards().first();
    EXPECT_EQ(labelTexts(card, QStringLiteral("greenhouseName")), QStringList{QStringLiteral("Sample Greenhouse")});

    QStringList zones;
    for (const ZoneRow* row : card->zoneRows())
        zones << row->zone().name;
    EXPECT_EQ(zones, (QStringList{QStringLiteral("Main House"), QStringLiteral("Propagation")}));

    const ZoneRow* propagation = card->zoneRows().at(1);
    EXPECT_EQ(labelTexts(propagation, QStringLiteral("zoneLimits")),
              QStringList{QStringLiteral("Alerts: Air 60°F to 85°F · RH 50% to 85%")});
    QStringList chips;
    for (const SpotChip* chip : card->findChildren<SpotChip*>())
        chips << chip->title();
    EXPECT_TRUE(chips.contains(QStringLiteral("Bench A · 3 × 8 ft")));
    EXPECT_TRUE(chips.contains(QStringLiteral("Bed 1 · 4 × 10 ft")));
}

TEST_F(GreenhousesViewTest, CardsFollowCaseBlindNameOrderAcrossRenames)
{
    addGreenhouse(QStringLiteral("beta"));
    Greenhouse gamma = addGreenhouse(QStringLiteral("Gamma"));
    addGreenhouse(QStringLiteral("Alpha"));
    GreenhousesView view;
    view.resize(1380, 900);
    view.show();
    EXPECT_EQ(cardNames(view), (QStringList{"Alpha", "beta", "Gamma"}));

    gamma.name = QStringLiteral("aardvark");
    store->save(gamma);
    settle();
    EXPECT_EQ(cardNames(view), (QStringList{"aardvark", "Alpha", "beta"}));
}

TEST_F(GreenhousesViewTest, DetailsLineLeavesOutEmptyPartsAndNotesShowOnlyWhenSet)
{
    Greenhouse bare = addGreenhouse(QStringLiteral("Bare"));
    Greenhouse sized;
    sized.name = QStringLiteral("Sized");
    sized.size = QStringLiteral("10 × 12 ft");
    sized.notes = QStringLiteral("Vent <b>opens</b> at 80");
    store->save(sized);
    Greenhouse full{.name = QStringLiteral("Full"), .location = QStringLiteral("Yard"), .size = QStringLiteral("S"),
                    .glazing = QStringLiteral("Glass")};
    EXPECT_EQ(GreenhouseCard::detailsLine(full), QStringLiteral("Yard · S · Glass"));

    GreenhousesView view;
    ASSERT_EQ(view.cards().size(), 2);
    const GreenhouseCard* bareCard = view.cards().at(0);
    const GreenhouseCard* sizedCard = view.cards().at(1);
    EXPECT_EQ(bareCard->greenhouse().id, bare.id);
    EXPECT_EQ(labelTexts(bareCard, QStringLiteral("greenhouseDetails")), QStringList{QString()});
    EXPECT_TRUE(labelTexts(bareCard, QStringLiteral("greenhouseNotes")).isEmpty());
    EXPECT_EQ(labelTexts(sizedCard, QStringLiteral("greenhouseDetails")), QStringList{QStringLiteral("10 × 12 ft")});
    const QLabel* notes = sizedCard->findChild<QLabel*>(QStringLiteral("greenhouseNotes"));
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->textFormat(), Qt::PlainText);
    EXPECT_TRUE(notes->wordWrap());
}

TEST_F(GreenhousesViewTest, GreenhouseWithoutZonesSaysSoAndAddZoneOpensTheZoneEditor)
{
    const Greenhouse house = addGreenhouse(QStringLiteral("Hoop"));
    GreenhousesView view;
    const GreenhouseCard* card = view.cards().first();
    EXPECT_EQ(labelTexts(card, QStringLiteral("noZones")),
              QStringList{QStringLiteral(
                  "No zones yet. A zone is any area you want to track separately (it gets its own alert ranges).")});
    EXPECT_TRUE(card->zoneRows().isEmpty());

    QTest::mouseClick(card->addZoneButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().sheet());
    const Zone* zone = AppModel::shared().sheet()->get<Zone>();
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(*zone, (Zone{.greenhouseID = house.id}));
}

// The delete question counts every reading (not a capped list), and a confirmed
// delete takes zones, beds and readings and leaves the plants without a place.
TEST_F(GreenhousesViewTest, DeleteAsksWithRealCountsAndCascadesOnConfirm)
{
    const Greenhouse house = addGreenhouse(QStringLiteral("North"));
    const Zone east = addZone(house.id, QStringLiteral("East"));
    const Zone west = addZone(house.id, QStringLiteral("West"));
    const Spot bed = addSpot(east.id, SpotKind::bed, QStringLiteral("1"));
    addReadings(east.id, 6000);
    addReadings(west.id, 1000);
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    plant.spotID = bed.id;
    store->save(plant);
    const Greenhouse other = addGreenhouse(QStringLiteral("South"));
    addReadings(addZone(other.id, QStringLiteral("Only")).id, 5);

    GreenhousesView view;
    GreenhouseCard* card = view.cards().first();
    ASSERT_EQ(card->greenhouse().id, house.id);

    QTest::mouseClick(card->deleteButton(), Qt::LeftButton);
    const std::optional<ConfirmRequest>& ask = AppModel::shared().confirm();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->title, QStringLiteral("Delete “North”?"));
    EXPECT_EQ(ask->message, QStringLiteral("This also deletes its 2 zone(s), their beds and benches, and 7000 climate "
                                           "reading(s). Plants stay but lose their location.\n\nThis can't be undone "
                                           "(a backup made earlier can bring it back)."));
    // Asking deletes nothing.
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM greenhouse")), 2);

    ask->action();
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM greenhouse")), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM zone")), 1);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM spot")), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM reading")), 5);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM plant WHERE greenhouse_id IS NULL AND zone_id IS NULL "
                                  "AND spot_id IS NULL")),
              1);
    EXPECT_FALSE(AppModel::shared().message());

    // What is on disk, as another program reads it.
    const QString cli = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (cli.isEmpty())
        return;
    QProcess sqlite;
    sqlite.start(cli, {store->path(), QStringLiteral("SELECT (SELECT COUNT(*) FROM zone WHERE greenhouse_id = %1), "
                                                     "(SELECT COUNT(*) FROM spot), (SELECT COUNT(*) FROM reading), "
                                                     "(SELECT COUNT(*) FROM plant WHERE spot_id IS NULL AND zone_id IS "
                                                     "NULL AND greenhouse_id IS NULL);")
                                          .arg(house.id)});
    ASSERT_TRUE(sqlite.waitForFinished(10000));
    EXPECT_EQ(sqlite.readAllStandardOutput().trimmed(), QByteArray("0|0|5|1"));
}

TEST_F(GreenhousesViewTest, DeleteOfAnEmptyGreenhouseStillAsksAndAFailedDeleteBecomesTheNotice)
{
    addGreenhouse(QStringLiteral("Empty"));
    GreenhousesView view;
    QTest::mouseClick(view.cards().first()->deleteButton(), Qt::LeftButton);
    ASSERT_TRUE(AppModel::shared().confirm());
    EXPECT_TRUE(AppModel::shared().confirm()->message.startsWith(
        QStringLiteral("This also deletes its 0 zone(s), their beds and benches, and 0 climate reading(s).")));

    store->db().close();
    AppModel::shared().confirm()->action();
    ASSERT_TRUE(AppModel::shared().message());
    EXPECT_TRUE(AppModel::shared().message()->startsWith(QStringLiteral("The database reported a problem: ")));
}

TEST_F(GreenhousesViewTest, ExportWritesEveryGreenhouseUnderTheSuggestedName)
{
    SampleData::add(*store);
    const QString target = dir.file(QStringLiteral("out.csv"));
    QString suggested;
    FilePanels::Backend saved = FilePanels::backend();
    FilePanels::backend().save = [&](const QString& name, const QList<FileType>&) -> std::optional<QString> {
        suggested = name;
        return target;
    };
    FilePanels::backend().reveal = [](const QString&) {};
    GreenhousesView view;
    QTest::mouseClick(view.exportButton(), Qt::LeftButton);
    testsupport::finishJobs();
    FilePanels::backend() = saved;

    EXPECT_EQ(suggested, QStringLiteral("Greenhouses and zones.csv"));
    EXPECT_EQ(QString::fromUtf8(testsupport::readAll(target)), Exporter::greenhouses(*store));
}

} // namespace
