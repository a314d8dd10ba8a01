#include "support/FifteenYears.h"

#include "records/MaintenanceCategory.h"
#include "store/OVStore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <unistd.h>

namespace FifteenYears {
namespace {

constexpr qint64 spanDays = 5479; // fifteen years
// Raised whenever fill() writes something different, so an old cached file is not reused.
constexpr int generatorVersion = 1;

struct CropName {
    const char* crop;
    const char* refID;
    const char* varieties[3];
};

// Reference ids as the data folder's crop list spells them; a missing one only
// leaves the link unresolved.
constexpr std::array<CropName, 16> crops{{
    {"Tomato", "tomato", {"Celebrity", "Sungold", "Brandywine"}},
    {"Lettuce", "lettuce-leaf", {"Buttercrunch", "Black Seeded Simpson", "Red Sails"}},
    {"Pepper", "pepper", {"California Wonder", "Jalapeño", "Carmen"}},
    {"Cucumber", "cucumber", {"Marketmore", "Diva", "Lemon"}},
    {"Kale", "kale", {"Lacinato", "Red Russian", "Winterbor"}},
    {"Spinach", "spinach", {"Bloomsdale", "Space", "Giant Winter"}},
    {"Eggplant", "eggplant", {"Black Beauty", "Ichiban", "Fairy Tale"}},
    {"Bean", "bean", {"Provider", "Blue Lake", "Dragon Tongue"}},
    {"Beet", "beet", {"Detroit Dark Red", "Chioggia", "Golden"}},
    {"Carrot", "carrot", {"Nantes", "Danvers", "Paris Market"}},
    {"Broccoli", "broccoli", {"Calabrese", "Green Magic", "De Cicco"}},
    {"Swiss Chard", "chard", {"Bright Lights", "Fordhook", "Ruby Red"}},
    {"Radish", "radish", {"Cherry Belle", "French Breakfast", "Watermelon"}},
    {"Pea", "pea", {"Sugar Snap", "Little Marvel", "Oregon Giant"}},
    {"Celery", "celery", {"Tango", "Utah", "Golden Self-Blanching"}},
    {"Garlic", "garlic", {"Music", "Chesnok Red", "Inchelium"}},
}};

constexpr std::array<const char*, 12> problems{
    "Aphids", "Whitefly", "Spider mites", "Thrips", "Fungus gnats", "Powdery mildew",
    "Botrytis", "Damping off", "Blossom end rot", "Leaf miners", "Mealybugs", "Downy mildew"};

constexpr std::array<const char*, 6> treatments{
    "Insecticidal soap", "Neem oil", "Yellow sticky cards", "Removed affected leaves",
    "Released beneficials", "Improved air flow"};

constexpr std::array<const char*, 10> items{
    "Potting mix", "Seed packets", "Fish emulsion", "Propane refill", "Water bill",
    "Drip fittings", "Shade cloth", "Vent opener", "Plug trays", "Sticky cards"};

constexpr std::array<const char*, 5> vendors{"Johnny's", "Farm store", "Hardware store", "Utility", "Online"};

// One prepared INSERT per record type, bound once per record after the record's
// own validation. Row ids are written back like save() does.
template <typename T>
class Inserter {
public:
    explicit Inserter(OVStore& store) : m_store(store), m_statement(store.db().prepare(sql())) {}

    qint64 add(T& record)
    {
        record.prepare(m_store);
        record.id = m_statement.run(RowMapping<T>::values(record));
        return record.id;
    }

private:
    static QString sql()
    {
        const QStringList columns = RowMapping<T>::columns();
        QStringList marks;
        for (qsizetype i = 0; i < columns.size(); ++i)
            marks.append(QStringLiteral("?"));
        return QStringLiteral("INSERT INTO ") + RowMapping<T>::table + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
               QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
    }

    OVStore& m_store;
    SQLiteDB::Statement m_statement;
};

class Random {
public:
    explicit Random(quint32 seed) : m_engine(seed) {}
    // Uniform in [low, high], both ends included.
    qint64 between(qint64 low, qint64 high) { return std::uniform_int_distribution<qint64>(low, high)(m_engine); }
    double real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(m_engine); }
    bool chance(double p) { return real(0, 1) < p; }
    template <typename Array>
    auto pick(const Array& a) -> decltype(a[0])
    {
        return a[size_t(between(0, qint64(a.size()) - 1))];
    }

private:
    std::mt19937 m_engine;
};

// A noisy landscape JPEG of roughly 100 KB: noise keeps the encoder from shrinking
// it, so decoding costs what a real photo costs.
QByteArray photoBytes(Random& random)
{
    QImage image(640, 480, QImage::Format_RGB32);
    const int hue = int(random.between(60, 140));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int light = 60 + (y * 120) / image.height() + int(random.between(0, 70));
            line[x] = QColor::fromHsv(hue, 150, std::min(255, light)).rgb();
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", 80)) {
        bytes.clear();
        buffer.seek(0);
        image.save(&buffer, "PNG");
    }
    return bytes;
}

Recurrence ruleFor(int i)
{
    switch (i % 5) {
    case 0:
        return Recurrence::everyDays(1 + i % 7);
    case 1:
        return Recurrence::weekly(1 + i % 2, {1 + i % 7});
    case 2:
        return Recurrence::monthlyDay(1 + i % 3, 1 + i % 28);
    case 3:
        return Recurrence::monthlyLast(1);
    default:
        return Recurrence::yearly(1 + i % 12, 1 + i % 28);
    }
}

// The folder the benchmark programs run from (the build's bench folder).
QString programFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return QDir::currentPath();
    return QString::fromStdString(exe.parent_path().string());
}

} // namespace

void fill(OVStore& store, const QDateTime& now)
{
    Random random(20110407);
    const OVDay today = OVDay::today(now);
    const OVDay firstDay = today.adding(-spanDays);
    const double nowSeconds = double(now.toSecsSinceEpoch());
    const double spanSeconds = double(spanDays) * 86400.0;

    QList<qint64> zoneIDs;
    QList<qint64> spotIDs;
    QList<Plant> allPlants;
    QList<qint64> taskIDs;

    store.db().transaction([&] {
        Inserter<Greenhouse> greenhouseIn(store);
        Inserter<Zone> zoneIn(store);
        Inserter<Spot> spotIn(store);
        const std::array<const char*, 3> houseNames{"North House", "Hoop House", "Propagation House"};
        const std::array<const char*, 4> zoneNames{"East Benches", "West Benches", "Center Beds", "Cold Frame"};
        for (int h = 0; h < greenhouses; ++h) {
            Greenhouse house{.name = QString::fromUtf8(houseNames[size_t(h)]),
                             .location = QStringLiteral("Back field"),
                             .size = QStringLiteral("30 × 96 ft"),
                             .glazing = QStringLiteral("Twin-wall polycarbonate")};
            greenhouseIn.add(house);
            for (int z = 0; z < zonesPerGreenhouse; ++z) {
                Zone zone{.greenhouseID = house.id, .name = QString::fromUtf8(zoneNames[size_t(z)])};
                zone.limits = {{Metric::temp, MetricRange(50, 90)},
                               {Metric::humidity, MetricRange(40, 85)},
                               {Metric::soilMoisture, MetricRange(25, 60)}};
                zoneIn.add(zone);
                zoneIDs.append(zone.id);
                for (int s = 0; s < spotsPerZone; ++s) {
                    const bool bench = (s % 2) == 1;
                    Spot spot{.zoneID = zone.id,
                              .kind = bench ? SpotKind::bench : SpotKind::bed,
                              .name = QString::number(h * 100 + z * 10 + s + 1),
                              .size = QStringLiteral("4 × 12 ft")};
                    spotIn.add(spot);
                    spotIDs.append(spot.id);
                }
            }
        }

        // Plants: the oldest 1,400 are finished or failed, the newest 600 growing.
        Inserter<Plant> plantIn(store);
        const std::array<PlantStatus, 6> growing{PlantStatus::germinating, PlantStatus::seedling, PlantStatus::growing,
                                                 PlantStatus::flowering,   PlantStatus::fruiting, PlantStatus::harvesting};
        allPlants.reserve(plants);
        for (int i = 0; i < plants; ++i) {
            const CropName& c = crops[size_t(random.between(0, qint64(crops.size()) - 1))];
            const bool active = i >= plants - activePlants;
            const qint64 age = active ? random.between(1, 120)
                                      : spanDays - (qint64(i) * (spanDays - 130)) / (plants - activePlants);
            Plant plant{.crop = QString::fromUtf8(c.crop),
                        .variety = QString::fromUtf8(c.varieties[random.between(0, 2)]),
                        .source = QStringLiteral("Seed"),
                        .refCropID = QString::fromUtf8(c.refID),
                        .sowDate = today.adding(-age),
                        .spotID = spotIDs[i % spotIDs.size()],
                        .quantity = random.between(1, 24)};
            if (random.chance(0.5))
                plant.transplantDate = plant.sowDate->adding(random.between(14, 35));
            plant.expectedHarvest = plant.sowDate->adding(random.between(55, 110));
            plant.status = active ? growing[size_t(std::min<qint64>(5, age / 20))]
                                  : PlantStatus(random.chance(0.9) ? PlantStatus::finished : PlantStatus::failed);
            plantIn.add(plant);
            allPlants.append(plant);
        }

        Inserter<Photo> photoIn(store);
        for (int i = 0; i < photos; ++i) {
            const Plant& plant = allPlants[plants - activePlants + (i * 3) % activePlants];
            Photo photo{.plantID = plant.id,
                        .data = photoBytes(random),
                        .caption = QStringLiteral("Week %1").arg(1 + i % 12),
                        .added = now.addSecs(-qint64(i) * 3600 * 7)};
            photoIn.add(photo);
        }

        Inserter<Seed> seedIn(store);
        Inserter<GermTest> germIn(store);
        const qint64 thisYear = today.year;
        for (int i = 0; i < seeds; ++i) {
            const CropName& c = crops[size_t(i) % crops.size()];
            const qint64 year = thisYear - 14 + (qint64(i) * 15) / seeds;
            Seed seed{.crop = QString::fromUtf8(c.crop),
                      .variety = QString::fromUtf8(c.varieties[i % 3]),
                      .supplier = QString::fromUtf8(vendors[size_t(i) % vendors.size()]),
                      .lot = QStringLiteral("L%1").arg(10000 + i),
                      .year = year,
                      .quantity = double(random.between(0, 500)),
                      .unit = QStringLiteral("seeds")};
            seedIn.add(seed);
            for (int t = 0; t < germTests / seeds; ++t) {
                const qint64 sown = random.between(10, 50);
                OVDay started(year, int(1 + t * 3), int(random.between(1, 28)));
                if (started > today)
                    started = today.adding(-random.between(0, 60));
                GermTest test{.seedID = seed.id,
                              .started = started,
                              .sown = sown,
                              .sprouted = random.between(sown / 3, sown),
                              .days = random.between(5, 14)};
                germIn.add(test);
            }
        }

        // Schedules, each with the same share of completions spread evenly over the
        // fifteen years; the last one is the task's last-done instant.
        Inserter<OVTask> taskIn(store);
        Inserter<TaskLog> logIn(store);
        const int perTask = completions / schedules;
        const int maintenanceKinds = int(MaintenanceCategory::allCases().size());
        for (int i = 0; i < schedules; ++i) {
            const TaskKind kind = TaskKind(TaskKind::Case(i % 4));
            OVTask task{.kind = kind,
                        .zoneID = zoneIDs[i % zoneIDs.size()],
                        .amount = kind == TaskKind::water ? QStringLiteral("2 gal") : QString(),
                        .rule = ruleFor(i),
                        .start = firstDay,
                        .hour = 6 + i % 12,
                        .minute = (i * 5) % 60,
                        .remind = i % 3 != 0,
                        .active = i % 10 != 0};
            if (kind == TaskKind::maintenance)
                task.category = MaintenanceCategory::allCases()[size_t(i % maintenanceKinds)].rawValue();
            if (kind == TaskKind::feed)
                task.plantID = allPlants[plants - 1 - i].id;
            task.title = QStringLiteral("%1 %2").arg(kind.name(), QString::number(i + 1));
            QList<QDateTime> done;
            done.reserve(perTask);
            for (int j = 0; j < perTask; ++j) {
                const double at = nowSeconds - spanSeconds + spanSeconds * (j + random.real(0.0, 0.9)) / perTask;
                done.append(QDateTime::fromMSecsSinceEpoch(qint64(at * 1000.0), Qt::UTC));
            }
            task.lastDone = done.last();
            taskIn.add(task);
            taskIDs.append(task.id);
            for (int j = 0; j < perTask; ++j) {
                TaskLog entry{.taskID = task.id,
                              .doneAt = done[j],
                              .note = j % 50 == 0 ? QStringLiteral("Checked the lines too") : QString()};
                logIn.add(entry);
            }
        }

        Inserter<PestRecord> pestIn(store);
        for (int i = 0; i < pests; ++i) {
            const qint64 age = spanDays - (qint64(i) * spanDays) / pests;
            const Plant& plant = allPlants[random.between(0, plants - 1)];
            PestRecord pest{.observed = today.adding(-age),
                            .plantID = plant.id,
                            .zoneID = plant.zoneID,
                            .problem = QString::fromUtf8(random.pick(problems)),
                            .kind = ProblemKind(ProblemKind::Case(i % 4)),
                            .severity = random.between(1, 5),
                            .treatment = QString::fromUtf8(random.pick(treatments)),
                            .resolved = age > 30};
            if (random.chance(0.8))
                pest.treated = pest.observed.adding(random.between(0, std::min<qint64>(5, age)));
            if (pest.resolved)
                pest.result = QStringLiteral("Cleared up");
            pestIn.add(pest);
        }

        Inserter<Harvest> harvestIn(store);
        const std::array<HarvestUnit, 4> units{HarvestUnit::lb, HarvestUnit::oz, HarvestUnit::kg, HarvestUnit::count};
        for (int i = 0; i < harvests; ++i) {
            const Plant& plant = allPlants[random.between(0, plants - 1)];
            OVDay day = plant.sowDate->adding(random.between(50, 150));
            if (day > today)
                day = today.adding(-random.between(0, 10));
            Harvest harvest{.plantID = plant.id,
                            .crop = plant.crop,
                            .date = day,
                            .quantity = std::round(random.real(0.2, 25.0) * 10.0) / 10.0,
                            .unit = units[size_t(i) % units.size()],
                            .quality = i % 7 == 0 ? QStringLiteral("Excellent") : QString()};
            harvestIn.add(harvest);
        }

        Inserter<LedgerEntry> ledgerIn(store);
        for (int i = 0; i < costs; ++i) {
            const qint64 age = spanDays - (qint64(i) * spanDays) / costs;
            LedgerEntry entry{.date = today.adding(-age),
                              .item = QString::fromUtf8(random.pick(items)),
                              .category = LedgerCategory(LedgerCategory::Case(i % 10)),
                              .quantity = double(random.between(1, 10)),
                              .unit = QStringLiteral("each"),
                              .cost = std::round(random.real(1.0, 300.0) * 100.0) / 100.0,
                              .vendor = QString::fromUtf8(random.pick(vendors))};
            if (i % 5 == 0)
                entry.plantID = allPlants[random.between(0, plants - 1)].id;
            ledgerIn.add(entry);
        }
    });
    store.changed();

    // Climate readings, zone by zone, at a fixed step of whole minutes so none is a
    // same-minute duplicate; one bulk import refilling a single buffer.
    const qint64 zoneCount = zoneIDs.size();
    const qint64 endMinute = qint64(nowSeconds) / 60 - 1;
    qint64 zoneIndex = 0;
    qint64 inZone = 0;
    qint64 zoneTotal = readings / zoneCount + (0 < readings % zoneCount ? 1 : 0);
    qint64 step = (spanDays * 1440) / zoneTotal;
    Reading buffer;
    buffer.source = QStringLiteral("csv");
    const auto next = [&]() -> const Reading* {
        if (inZone == zoneTotal) {
            ++zoneIndex;
            inZone = 0;
            if (zoneIndex == zoneCount)
                return nullptr;
            zoneTotal = readings / zoneCount + (zoneIndex < readings % zoneCount ? 1 : 0);
            step = (spanDays * 1440) / zoneTotal;
        }
        const qint64 minute = endMinute - (zoneTotal - 1 - inZone) * step;
        const double dayPhase = double(minute % 1440) / 1440.0 * 2.0 * M_PI;
        const double yearPhase = double(minute % 525960) / 525960.0 * 2.0 * M_PI;
        const double sun = std::max(0.0, -std::cos(dayPhase));
        buffer.zoneID = zoneIDs[zoneIndex];
        buffer.taken = QDateTime::fromSecsSinceEpoch(minute * 60, Qt::UTC);
        buffer.values = {{Metric::temp, 68.0 - 10.0 * std::cos(yearPhase) + 12.0 * sun + random.real(-2, 2)},
                         {Metric::humidity, std::clamp(70.0 - 25.0 * sun + random.real(-5, 5), 0.0, 100.0)},
                         {Metric::light, 30000.0 * sun},
                         {Metric::co2, 420.0 + random.real(-30, 30)},
                         {Metric::soilMoisture, 35.0 + random.real(-8, 8)}};
        ++inZone;
        return &buffer;
    };
    store.addReadingsFrom(next);
}

QString storePath()
{
    const QString folder = programFolder();
    const QString path =
        folder + QStringLiteral("/fifteen-years-v%1.sqlite").arg(generatorVersion);
    const QFileInfo existing(path);
    if (existing.exists() && existing.lastModified().daysTo(QDateTime::currentDateTime()) < 7)
        return path;

    const QString building = path + QStringLiteral(".building-%1").arg(qint64(::getpid()));
    QFile::remove(building);
    {
        OVStore store(building);
        fill(store);
    }
    std::error_code error;
    std::filesystem::rename(building.toStdString(), path.toStdString(), error);
    if (error) {
        QFile::remove(building);
        throw OVError::file(path, error);
    }
    return path;
}

QString scratchCopy(const QString& folder)
{
    const QString source = storePath();
    const QString copy = QDir(folder).filePath(QStringLiteral("fifteen-years.sqlite"));
    QFile::remove(copy);
    std::error_code error;
    std::filesystem::copy_file(source.toStdString(), copy.toStdString(), error);
    if (error)
        throw OVError::file(copy, error);
    return copy;
}

OVStore& sharedScratchStore()
{
    static std::unique_ptr<QTemporaryDir> dir;
    static std::unique_ptr<OVStore> store;
    if (!store) {
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
        store = std::make_unique<OVStore>(scratchCopy(dir->path()));
        OVStore::setShared(store.get());
    }
    return *store;
}

} // namespace FifteenYears
