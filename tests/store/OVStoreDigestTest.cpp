// The content digest: equal content gives equal fingerprints, any stored difference,
// photo bytes included, gives a different one.

#include "store/OVStore.h"

#include "StoreLayout.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

using storetest::StoreLayout;

TEST(OVStoreDigest, EmptyStoreIsTheHashOfNothing)
{
    testsupport::ScratchDir dir;
    OVStore store(dir.file(QStringLiteral("empty.sqlite")));
    EXPECT_EQ(store.digest(), QStringLiteral("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

TEST(OVStoreDigest, SameContentInTwoFilesGivesTheSameDigest)
{
    StoreLayout a;
    StoreLayout b;
    EXPECT_EQ(a->digest(), b->digest());
    EXPECT_EQ(a->digest().size(), 64);
    b.house.notes = QStringLiteral("x");
    b->save(b.house);
    EXPECT_NE(a->digest(), b->digest());
}

// One changed byte of a photo of the same length changes the digest.
TEST(OVStoreDigest, PhotoBytesAreHashed)
{
    StoreLayout s;
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    s->save(plant);
    Photo photo;
    photo.plantID = plant.id;
    photo.data = QByteArray(2048, '\x10');
    s->save(photo);
    const QString before = s->digest();

    photo.data[1000] = '\x11';
    s->save(photo);
    EXPECT_NE(s->digest(), before);
    photo.data[1000] = '\x10';
    s->save(photo);
    EXPECT_EQ(s->digest(), before);
}

TEST(OVStoreDigest, TextsThatLookAlikeStayApart)
{
    StoreLayout a;
    StoreLayout b;
    a.house.name = QStringLiteral("A\")|greenhouse.notes=text(\"");
    a->save(a.house);
    b.house.name = QStringLiteral("A");
    b.house.notes = QStringLiteral("\")|greenhouse.notes=text(\"");
    b->save(b.house);
    EXPECT_NE(a->digest(), b->digest());

    // An absent day and an empty text differ too.
    StoreLayout c;
    StoreLayout d;
    Plant plant;
    plant.crop = QStringLiteral("Tomato");
    c->save(plant);
    plant.id = 0;
    d->save(plant);
    SQLiteDB(d.path()).run(QStringLiteral("UPDATE plant SET sow_date = ''"));
    EXPECT_NE(c->digest(), d->digest());
}

TEST(OVStoreDigest, UnreadableTableAddsNothing)
{
    StoreLayout s;
    const QString before = s->digest();
    SQLiteDB(s.path()).exec(QStringLiteral("DROP TABLE ledger"));
    EXPECT_EQ(s->digest(), before);
}
