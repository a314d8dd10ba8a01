#include "store/OVSchema.h"

#include "records/Metric.h"

namespace {

// Up to the zone's alert-range columns.
constexpr char fixedText1[] =
    "CREATE TABLE greenhouse (id INTEGER PRIMARY KEY, name TEXT NOT NULL, location TEXT NOT NULL DEFAULT '', size TEXT NOT NULL DEFAULT '',\n"
    "    glazing TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE zone (id INTEGER PRIMARY KEY, greenhouse_id INTEGER NOT NULL REFERENCES greenhouse(id) ON DELETE CASCADE,\n"
    "    name TEXT NOT NULL, notes TEXT NOT NULL DEFAULT '', ";

// From the end of the zone table to the reading table's metric columns.
constexpr char fixedText2[] =
    ");\n"
    "CREATE TABLE spot (id INTEGER PRIMARY KEY, zone_id INTEGER NOT NULL REFERENCES zone(id) ON DELETE CASCADE, kind TEXT NOT NULL,\n"
    "    name TEXT NOT NULL, size TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE plant (id INTEGER PRIMARY KEY, crop TEXT NOT NULL, variety TEXT NOT NULL DEFAULT '', source TEXT NOT NULL DEFAULT '',\n"
    "    ref_crop TEXT NOT NULL DEFAULT '', sow_date TEXT, transplant_date TEXT, expected_harvest TEXT,\n"
    "    greenhouse_id INTEGER REFERENCES greenhouse(id) ON DELETE SET NULL, zone_id INTEGER REFERENCES zone(id) ON DELETE SET NULL,\n"
    "    spot_id INTEGER REFERENCES spot(id) ON DELETE SET NULL, status TEXT NOT NULL, quantity INTEGER NOT NULL DEFAULT 1,\n"
    "    notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE photo (id INTEGER PRIMARY KEY, plant_id INTEGER NOT NULL REFERENCES plant(id) ON DELETE CASCADE, data BLOB NOT NULL,\n"
    "    caption TEXT NOT NULL DEFAULT '', added REAL NOT NULL);\n"
    "CREATE TABLE seed (id INTEGER PRIMARY KEY, crop TEXT NOT NULL, variety TEXT NOT NULL DEFAULT '', supplier TEXT NOT NULL DEFAULT '',\n"
    "    lot TEXT NOT NULL DEFAULT '', year INTEGER, quantity REAL NOT NULL DEFAULT 0, unit TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE germ_test (id INTEGER PRIMARY KEY, seed_id INTEGER NOT NULL REFERENCES seed(id) ON DELETE CASCADE, started TEXT NOT NULL,\n"
    "    sown INTEGER NOT NULL, sprouted INTEGER NOT NULL, days INTEGER, notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE reading (id INTEGER PRIMARY KEY, zone_id INTEGER NOT NULL REFERENCES zone(id) ON DELETE CASCADE, taken REAL NOT NULL,\n"
    "    ";

// From the reading table's last columns to the end.
constexpr char fixedText3[] =
    ", source TEXT NOT NULL DEFAULT 'manual', note TEXT NOT NULL DEFAULT '');\n"
    "CREATE INDEX reading_zone_time ON reading(zone_id, taken);\n"
    "CREATE TABLE task (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', title TEXT NOT NULL DEFAULT '',\n"
    "    zone_id INTEGER REFERENCES zone(id) ON DELETE SET NULL, plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL,\n"
    "    amount TEXT NOT NULL DEFAULT '', rule TEXT NOT NULL, start TEXT NOT NULL, hour INTEGER NOT NULL, minute INTEGER NOT NULL,\n"
    "    last_done REAL, remind INTEGER NOT NULL DEFAULT 1, active INTEGER NOT NULL DEFAULT 1, notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE task_log (id INTEGER PRIMARY KEY, task_id INTEGER NOT NULL REFERENCES task(id) ON DELETE CASCADE, done_at REAL NOT NULL,\n"
    "    note TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE pest (id INTEGER PRIMARY KEY, observed TEXT NOT NULL, plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL,\n"
    "    zone_id INTEGER REFERENCES zone(id) ON DELETE SET NULL, problem TEXT NOT NULL, kind TEXT NOT NULL, severity INTEGER NOT NULL,\n"
    "    treatment TEXT NOT NULL DEFAULT '', treated TEXT, result TEXT NOT NULL DEFAULT '', resolved INTEGER NOT NULL DEFAULT 0,\n"
    "    notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE harvest (id INTEGER PRIMARY KEY, plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL, crop TEXT NOT NULL,\n"
    "    date TEXT NOT NULL, quantity REAL NOT NULL, unit TEXT NOT NULL, quality TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');\n"
    "CREATE TABLE ledger (id INTEGER PRIMARY KEY, date TEXT NOT NULL, item TEXT NOT NULL, category TEXT NOT NULL, quantity REAL NOT NULL DEFAULT 1,\n"
    "    unit TEXT NOT NULL DEFAULT '', cost REAL NOT NULL, vendor TEXT NOT NULL DEFAULT '', plant_id INTEGER REFERENCES plant(id) ON DELETE SET NULL,\n"
    "    crop TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');";

} // namespace

QString OVSchema::text()
{
    QStringList zoneColumns;
    QStringList readingColumns;
    for (const Metric m : Metric::allCases()) {
        const QString column = m.column();
        zoneColumns << column + QStringLiteral("_min REAL, ") + column + QStringLiteral("_max") + QStringLiteral(" REAL");
        readingColumns << column + QStringLiteral(" REAL");
    }
    return QString::fromUtf8(fixedText1) + zoneColumns.join(QStringLiteral(", ")) + QString::fromUtf8(fixedText2)
        + readingColumns.join(QStringLiteral(", ")) + QString::fromUtf8(fixedText3);
}

QStringList OVSchema::statements()
{
    QString all = text();
    all.chop(1); // the last statement's ";"
    return all.split(QStringLiteral(";\n"));
}
