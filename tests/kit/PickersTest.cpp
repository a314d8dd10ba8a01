// Zone and plant pickers over a scratch store: their rows, the bound id they never
// rewrite, and rows that follow the store.

#include "TestSupport.h"
#include "kit/PlantPicker.h"
#include "kit/ZonePicker.h"
#include "store/OVStore.h"
#include "store/OVStoreTemplates.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class Pickers : public ::testing::Test {
protected:
    testsupport::ScratchDir dir;
    OVStore store{dir.file(QStringLiteral("pickers.sqlite"))};
    qint64 northA = 0;
    qint64 southA = 0;
    qint64 southB = 0;

    void SetUp() override
    {
        Greenhouse south{.name = QStringLiteral("south house")};
        store.save(south);
        Greenhouse north{.name = QStringLiteral("North House")};
        store.save(north);
        Greenhouse empty{.name = QStringLiteral("Empty")};
        store.save(empty);
        Zone b{.greenhouseID = south.id, .name = QStringLiteral("Bench B")};
        store.save(b);
        Zone a{.greenhouseID = south.id, .name = QStringLiteral("bench a")};
        store.save(a);
        Zone na{.greenhouseID = north.id, .name = QStringLiteral("Bench A")};
        store.save(na);
        northA = na.id;
        southA = a.id;
        southB = b.id;
    }

    static QStringList rows(const QComboBox& box)
    {
        QStringList out;
        for (int i = 0; i < box.count(); ++i)
            out << box.itemText(i);
        return out;
    }
};

} // namespace

TEST_F(Pickers, ZoneRowsAndTheBoundID)
{
    ZonePicker picker(store);
    EXPECT_EQ(rows(picker), (QStringList{QStringLiteral("—"), QStringLiteral("North House · Bench A"),
                                         QStringLiteral("south house · bench a"), QStringLiteral("south house · Bench B")}));
    EXPECT_EQ(picker.currentIndex(), 0);
    ZonePicker noNone(store, false);
    EXPECT_EQ(noNone.count(), 3);
    EXPECT_EQ(noNone.currentIndex(), -1);
    EXPECT_FALSE(noNone.zoneID());

    picker.setZoneID(southA);
    EXPECT_EQ(picker.currentIndex(), 2);

    // An id of no row selects nothing and stays bound.
    picker.setZoneID(9999);
    EXPECT_EQ(picker.currentIndex(), -1);
    EXPECT_EQ(picker.zoneID(), 9999);

    // A store change refreshes the rows and leaves the bound id alone.
    QSignalSpy picked(&picker, &ZonePicker::picked);
    picker.setZoneID(southB);
    Zone late{.greenhouseID = store.greenhouses().first().id, .name = QStringLiteral("Annex")};
    store.save(late);
    EXPECT_EQ(picker.count(), 5);
    EXPECT_EQ(picker.zoneID(), southB);
    EXPECT_EQ(picker.itemData(picker.currentIndex()).toLongLong(), southB);
    EXPECT_EQ(picked.count(), 0);

    // The user's choice writes the row's id (none for "—").
    emit picker.activated(1);
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(picker.zoneID(), picker.itemData(1).toLongLong());
    emit picker.activated(0);
    EXPECT_FALSE(picker.zoneID());
}

TEST_F(Pickers, PlantRowsMarkPlantsThatAreNotActive)
{
    Plant basil{.crop = QStringLiteral("basil")};
    basil.status = PlantStatus::germinating;
    store.save(basil);
    Plant tomato{.crop = QStringLiteral("Tomato"), .variety = QStringLiteral("Sungold")};
    tomato.status = PlantStatus::planned;
    store.save(tomato);
    Plant pepper{.crop = QStringLiteral("Pepper")};
    pepper.status = PlantStatus::finished;
    store.save(pepper);

    PlantPicker picker(store);
    EXPECT_EQ(rows(picker), (QStringList{QStringLiteral("—"), QStringLiteral("basil"), QStringLiteral("Pepper (Finished)"),
                                         QStringLiteral("Tomato — Sungold (Planned)")}));
    picker.setPlantID(tomato.id);
    EXPECT_EQ(picker.currentIndex(), 3);
    store.remove<Plant>(tomato.id);
    EXPECT_EQ(picker.count(), 3);
    EXPECT_EQ(picker.currentIndex(), -1);
    EXPECT_EQ(picker.plantID(), tomato.id);
}
