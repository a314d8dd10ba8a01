#include "store/OVSchema.h"
#include "store/SQLiteDB.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

// The file format as released. Existing databases and backups carry this exact
// text in sqlite_master; any difference here is a change of the file format.
const char* const releasedSchema = R"(
CREATE TABLE greenhouse (id INTEGER PRIMARY KEY, name TEXT NOT NULL, location TEXT NOT NULL DEFAULT '', size TEXT NOT NULL DEFAULT '',
    glazing TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');
CREATE TABLE zone (id INTEGER PRIMARY KEY, greenhouse_id INTEGER NOT NULL REFERENCES greenhouse(id) ON DELETE CASCADE,
    name TEXT NOT NULL, notes TEXT NOT NULL DEFAULT '', temp_f_min REAL, temp_f_max REAL, humidity_min REAL, humidity_max REAL, light_min REAL, light_max REAL, co2_min REAL, co2_max REAL, soil_moisture_min REAL, soil_moisture_max REAL, soil_temp_f_min REAL, soil_temp_f_max REAL, ph_min REAL, ph_max REAL, ec_min REAL, ec_max REAL);
CREATE TABLE spot (id INTEGER PRIMARY KEY, zone_id INTEGER NOT NULL REFERENCES zone(id) ON DELETE CASCADE, kind TEXT NOT NULL,
    name TEXT NOT NULL, size TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');
CREATE TABLE plant (id INTEGER PRIMARY KEY, crop TEXT NOT NULL, variety TEXT NOT NULL DEFAULT '', source TEXT NOT NULL DEFAULT '',
    ref_crop TEXT NOT NULL DEFAULT '', sow_date TEXT, transplant_date TEXT, expected_harvest TEXT,
    greenhouse_id INTEGER REFERENCES greenhouse(id) ON DELETE SET NULL, zone_id INTEGER REFERENCES zone(id) ON DELETE SET NULL,
    spot_id INTEGER REFERENCES spot(id) ON DELETE SET NULL, status TEXT NOT NULL, quantity INTEGER NOT NULL DEFAULT 1,
    notes TEXT NOT NULL DEFAULT '');
CREATE TABLE photo (id INTEGER PRIMARY KEY, plant_id INTEGER NOT NULL REFERENCES plant(id) ON DELETE CASCADE, data BLOB NOT NULL,
    caption TEXT NOT NULL DEFAULT '', added REAL NOT NULL);
CREATE TABLE seed (id INTEGER PRIMARY KEY, crop TEXT NOT NULL, variety TEXT NOT NULL DEFAULT '', supplier TEXT NOT NULL DEFAULT '',
    lot TEXT NOT NULL DEFAULT '', year INTEGER, quantity REAL NOT NULL DEFAULT 0, unit TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');
CREATE TABLE germ_test (id INTEGER PRIMARY KEY, seed_id INTEGER NOT NULL REFERENCES seed(id) ON DELETE CASCADE, started TEXT NOT NULL,
    sown INTEGER NOT NULL, sprouted INTEGER NOT NULL, days INTEGER, notes TEXT NOT NULL DEFAULT '');
CREATE TABLE reading (id INTEGER PRIMARY KEY, zone_id INTEGER NOT NULL REFERENCES zone(id) ON DELETE CASCADE, taken REAL NOT NULL,
    temp_f REAL, humidity REAL, light REAL, co2 REAL, soil_moisture REAL, soil_temp_f REAL, ph REAL, ec REAL, source TEXT NOT NULL DEFAULT 'manual', note TEXT NOT NULL DEFAULT '');
CREATE INDEX reading_zone_time ON reading(zone_id, taken);
CREATE TABLE task (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', title TEXT NOT NULL DEFAULT '',
    zone_id INTEGER REFERENCES zone(id) ON DELETE SET NULL, plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL,
    amount TEXT NOT NULL DEFAULT '', rule TEXT NOT NULL, start TEXT NOT NULL, hour INTEGER NOT NULL, minute INTEGER NOT NULL,
    last_done REAL, remind INTEGER NOT NULL DEFAULT 1, active INTEGER NOT NULL DEFAULT 1, notes TEXT NOT NULL DEFAULT '');
CREATE TABLE task_log (id INTEGER PRIMARY KEY, task_id INTEGER NOT NULL REFERENCES task(id) ON DELETE CASCADE, done_at REAL NOT NULL,
    note TEXT NOT NULL DEFAULT '');
CREATE TABLE pest (id INTEGER PRIMARY KEY, observed TEXT NOT NULL, plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL,
    zone_id INTEGER REFERENCES zone(id) ON DELETE SET NULL, problem TEXT NOT NULL, kind TEXT NOT NULL, severity INTEGER NOT NULL,
    treatment TEXT NOT NULL DEFAULT '', treated TEXT, result TEXT NOT NULL DEFAULT '', resolved INTEGER NOT NULL DEFAULT 0,
    notes TEXT NOT NULL DEFAULT '');
CREATE TABLE harvest (id INTEGER PRIMARY KEY, plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL, crop TEXT NOT NULL,
    date TEXT NOT NULL, quantity REAL NOT NULL, unit TEXT NOT NULL, quality TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');
CREATE TABLE ledger (id INTEGER PRIMARY KEY, date TEXT NOT NULL, item TEXT NOT NULL, category TEXT NOT NULL, quantity REAL NOT NULL DEFAULT 1,
    unit TEXT NOT NULL DEFAULT '', cost REAL NOT NULL, vendor TEXT NOT NULL DEFAULT '', plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL,
    crop TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');)";

QString released()
{
    return QString::fromUtf8(releasedSchema + 1); // skip the line break after R"(
}

struct SchemaDB {
    SQLiteDB db{QStringLiteral(":memory:")};
    SchemaDB() { db.exec(OVSchema::text()); }
    qint64 count(const QString& sql) { return db.scalarInt(sql); }
};

} // namespace

TEST(OVSchemaText, IsTheReleasedFormat)
{
    EXPECT_EQ(OVSchema::text(), released());
    EXPECT_EQ(OVSchema::text().size(), 4160);
    EXPECT_TRUE(OVSchema::text().endsWith(QStringLiteral("'');")));
    EXPECT_EQ(OVSchema::statements().join(QStringLiteral(";\n")) + QStringLiteral(";"), OVSchema::text());
}

TEST(OVSchemaText, StatementsAreStoredAsWritten)
{
    SchemaDB s;
    const QStringList statements = OVSchema::statements();
    ASSERT_EQ(statements.size(), 14);
    QSet<QString> stored;
    for (const SQLRow& row : s.db.query(QStringLiteral("SELECT sql FROM sqlite_master")))
        stored.insert(row.str(QStringLiteral("sql")));
    EXPECT_EQ(stored.size(), 14);
    for (const QString& statement : statements)
        EXPECT_TRUE(stored.contains(statement)) << statement.toStdString();
}

TEST(OVSchemaText, ThirteenTablesAndOneIndex)
{
    SchemaDB s;
    QStringList tables;
    for (const SQLRow& row : s.db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid")))
        tables << row.str(QStringLiteral("name"));
    EXPECT_EQ(tables, QStringList({"greenhouse", "zone", "spot", "plant", "photo", "seed", "germ_test", "reading",
                                   "task", "task_log", "pest", "harvest", "ledger"}));
    const auto index = s.db.query(QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'index'"));
    ASSERT_EQ(index.size(), 1);
    EXPECT_EQ(index[0].str(QStringLiteral("name")), QStringLiteral("reading_zone_time"));
    EXPECT_EQ(index[0].str(QStringLiteral("tbl_name")), QStringLiteral("reading"));
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM pragma_table_info('zone')")), 20);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM pragma_table_info('reading')")), 13);
}

TEST(OVSchemaLinks, RequiredLinksCascadeOptionalOnesClear)
{
    SchemaDB s;
    s.db.exec(QStringLiteral(
        "INSERT INTO greenhouse (id, name) VALUES (1, 'G');"
        "INSERT INTO zone (id, greenhouse_id, name) VALUES (1, 1, 'Z');"
        "INSERT INTO spot (id, zone_id, kind, name) VALUES (1, 1, 'bed', 'B');"
        "INSERT INTO reading (zone_id, taken) VALUES (1, 0);"
        "INSERT INTO plant (id, crop, greenhouse_id, zone_id, spot_id, status) VALUES (1, 'Tomato', 1, 1, 1, 'growing');"
        "INSERT INTO photo (plant_id, data, added) VALUES (1, x'ff', 0);"
        "INSERT INTO task (id, kind, rule, start, hour, minute, zone_id, plant_id) VALUES (1, 'water', 'once', '2026-03-07', 8, 0, 1, 1);"
        "INSERT INTO task_log (task_id, done_at) VALUES (1, 0);"
        "INSERT INTO pest (observed, plant_id, zone_id, problem, kind, severity) VALUES ('2026-03-07', 1, 1, 'Aphids', 'pest', 2);"
        "INSERT INTO harvest (plant_id, crop, date, quantity, unit) VALUES (1, 'Tomato', '2026-03-07', 1, 'lb');"
        "INSERT INTO ledger (date, item, category, cost, plant_id) VALUES ('2026-03-07', 'Stakes', 'equipment', 4, 1);"
        "INSERT INTO seed (id, crop) VALUES (1, 'Tomato');"
        "INSERT INTO germ_test (seed_id, started, sown, sprouted) VALUES (1, '2026-03-07', 10, 7);"));

    s.db.run(QStringLiteral("DELETE FROM plant WHERE id = 1"));
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM photo")), 0);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM task WHERE plant_id IS NULL")), 1);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM pest WHERE plant_id IS NULL")), 1);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM harvest WHERE plant_id IS NULL")), 1);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM ledger WHERE plant_id IS NULL")), 1);

    s.db.run(QStringLiteral("DELETE FROM seed WHERE id = 1"));
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM germ_test")), 0);

    s.db.run(QStringLiteral("DELETE FROM greenhouse WHERE id = 1"));
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM zone")), 0);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM spot")), 0);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM reading")), 0);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM task WHERE zone_id IS NULL")), 1);
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM pest WHERE zone_id IS NULL")), 1);

    s.db.run(QStringLiteral("DELETE FROM task WHERE id = 1"));
    EXPECT_EQ(s.count(QStringLiteral("SELECT count(*) FROM task_log")), 0);
}

TEST(OVSchemaLinks, PlantLinksClearWhenTheirPlaceGoes)
{
    SchemaDB s;
    s.db.exec(QStringLiteral(
        "INSERT INTO greenhouse (id, name) VALUES (1, 'G');"
        "INSERT INTO zone (id, greenhouse_id, name) VALUES (1, 1, 'Z');"
        "INSERT INTO spot (id, zone_id, kind, name) VALUES (1, 1, 'bed', 'B');"
        "INSERT INTO plant (crop, greenhouse_id, zone_id, spot_id, status) VALUES ('Tomato', 1, 1, 1, 'growing');"));
    s.db.run(QStringLiteral("DELETE FROM greenhouse WHERE id = 1"));
    EXPECT_EQ(s.count(QStringLiteral(
                  "SELECT count(*) FROM plant WHERE greenhouse_id IS NULL AND zone_id IS NULL AND spot_id IS NULL")),
              1);
}
