#include "services/EditSheet.h"

#include <gtest/gtest.h>

TEST(EditSheetId, KindPrefixAndRowId)
{
    Plant p;
    EXPECT_EQ(EditSheet(p).id(), "p0");
    EXPECT_EQ(EditSheet(Plant()).id(), EditSheet(p).id()); // two new plants share an id
    p.id = 42;
    EXPECT_EQ(EditSheet(p).id(), "p42");

    // Rows with one id in different tables never share a sheet id.
    Spot bed;
    bed.id = 5;
    Seed seed;
    seed.id = 5;
    PestRecord pest;
    pest.id = 5;
    GermTest germ;
    germ.id = 5;
    const QStringList five = {EditSheet(bed).id(), EditSheet(seed).id(), EditSheet(pest).id(),
                              EditSheet(germ).id(), "p5"};
    EXPECT_EQ(five, QStringList({"s5", "seed5", "pest5", "germ5", "p5"}));

    Greenhouse g;
    g.id = 9000000000LL;
    EXPECT_EQ(EditSheet(g).id(), "g9000000000");
}

TEST(EditSheetId, ImportSheetIgnoresItsZone)
{
    EXPECT_EQ(EditSheet::importCSV(std::nullopt).id(), "csv");
    EXPECT_EQ(EditSheet::importCSV(7).id(), "csv");
    EXPECT_NE(EditSheet::importCSV(7), EditSheet::importCSV(std::nullopt));
}

TEST(EditSheetPayload, KindAndCarriedValue)
{
    Harvest h;
    h.id = 3;
    const EditSheet sheet(h);
    EXPECT_EQ(sheet.kind(), EditSheet::Kind::harvest);
    ASSERT_NE(sheet.get<Harvest>(), nullptr);
    EXPECT_EQ(sheet.get<Harvest>()->id, 3);
    EXPECT_EQ(sheet.get<Plant>(), nullptr);

    const EditSheet import = EditSheet::importCSV(12);
    EXPECT_EQ(import.kind(), EditSheet::Kind::importCSV);
    ASSERT_NE(import.get<EditSheet::ImportCSV>(), nullptr);
    EXPECT_EQ(import.get<EditSheet::ImportCSV>()->zoneID, 12);
}
