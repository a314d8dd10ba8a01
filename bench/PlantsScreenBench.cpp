// The Plants & Crops screen and the plant editor on a long-kept store: the screen's
// rebuild after a store change (target < 100 ms), a keystroke in its search box
// (< 50 ms) and opening the plant editor on a plant with 30 photos (< 200 ms), each
// laid out at 1380 px wide on the offscreen platform.
//
// The store is the shared fifteen-year store when the bench support provides it;
// otherwise one made here with 2,000 plants and 200 photos. Either way one plant is
// given 30 photos (full-size 1600 × 1200 JPEGs) in a private copy of the file.

#include "kit/KitMetrics.h"
#include "kit/OVRebuilder.h"
#include "kit/OVRender.h"
#include "records/Photo.h"
#include "screens/plants/PlantEditor.h"
#include "screens/plants/PlantPhotoTile.h"
#include "screens/plants/PlantsView.h"
#include "services/AppModel.h"
#include "services/PhotoTools.h"
#include "store/OVStore.h"

#if __has_include("support/FifteenYears.h")
#include "support/FifteenYears.h"
#include "support/ScreenHarness.h"
#define OV_HAVE_FIFTEEN_YEARS 1
#endif

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

QByteArray photoBytes()
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 1600, 1200);
    gradient.setColorAt(0, QColor(30, 90, 40));
    gradient.setColorAt(1, QColor(200, 220, 120));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i)
        painter.fillRect((i * 97) % 1600, (i * 61) % 1200, 40, 30, QColor((i * 13) % 255, (i * 7) % 255, 90));
    painter.end();
    return PhotoTools::jpeg(image).value_or(QByteArray());
}

// Fills an empty store: 4 greenhouses with 3 zones and 4 beds each, 2,000 plants over
// fifteen seasons (most finished), 200 photos.
void fill(OVStore& store)
{
    QList<qint64> spots;
    for (int h = 0; h < 4; ++h) {
        Greenhouse house{.name = QStringLiteral("House %1").arg(h + 1)};
        store.save(house);
        for (int z = 0; z < 3; ++z) {
            Zone zone{.greenhouseID = house.id, .name = QStringLiteral("Zone %1").arg(z + 1)};
            store.save(zone);
            for (int s = 0; s < 4; ++s) {
                Spot spot{.zoneID = zone.id, .name = QString::number(s + 1)};
                store.save(spot);
                spots.append(spot.id);
            }
        }
    }
    const QStringList crops{"Tomato", "Lettuce", "Basil", "Pepper", "Cucumber", "Kale", "Bean", "Squash"};
    const QByteArray jpeg = photoBytes();
    store.db().transaction([&] {
        for (int i = 0; i < 2000; ++i) {
            const int year = 2012 + i / 134;
            Plant plant{.crop = crops[i % crops.size()], .variety = QStringLiteral("Variety %1").arg(i % 37),
                        .source = QStringLiteral("Seed company %1").arg(i % 5),
                        .sowDate = OVDay(year, 3, 1 + i % 28), .expectedHarvest = OVDay(year, 6, 1 + i % 28),
                        .spotID = spots[i % spots.size()],
                        .status = year >= 2026 ? PlantStatus::growing : PlantStatus::finished,
                        .quantity = 1 + i % 12, .notes = QStringLiteral("Planting %1").arg(i)};
            store.save(plant);
            if (i % 10 == 0) {
                Photo photo{.plantID = plant.id, .data = jpeg, .caption = QStringLiteral("Photo")};
                store.save(photo);
            }
        }
    });
}

struct Data {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<OVStore> store;
    qint64 photoPlant = 0;
    QString source;
};

Data& data()
{
    static Data d;
    if (d.store)
        return d;
    d.dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/ov-bench-XXXXXX"));
    [[maybe_unused]] const QString path = d.dir->filePath(QStringLiteral("bench.sqlite"));
#ifdef OV_HAVE_FIFTEEN_YEARS
    // A private copy: the editor benchmark adds photos to it.
    const QString copied = FifteenYears::scratchCopy(d.dir->path());
    d.source = QStringLiteral("fifteen-year store");
    d.store = std::make_unique<OVStore>(copied);
#else
    d.store = std::make_unique<OVStore>(path);
#endif
    if (d.store->count(QStringLiteral("plant")) == 0) {
        fill(*d.store);
        d.source = QStringLiteral("store made here");
    }
    // The plant with the most photos is topped up to 30.
    const QList<Plant> plants = d.store->plants();
    qint64 most = -1;
    for (const Plant& plant : plants) {
        const qint64 n = d.store->photoCount(plant.id);
        if (n > most) {
            most = n;
            d.photoPlant = plant.id;
        }
    }
    const QByteArray jpeg = photoBytes();
    for (qint64 n = most; n < 30; ++n) {
        Photo photo{.plantID = d.photoPlant, .data = jpeg, .caption = QStringLiteral("Photo")};
        d.store->save(photo);
    }
    OVStore::setShared(d.store.get());
    std::printf("Data: %s, %lld plants, %lld photos, %lld photos of the edited plant\n", qPrintable(d.source),
                d.store->count(QStringLiteral("plant")), d.store->count(QStringLiteral("photo")),
                d.store->photoCount(d.photoPlant));
    return d;
}

void settle()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

std::unique_ptr<PlantsView> shownView()
{
    auto view = std::make_unique<PlantsView>();
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->resize(1380, 900);
    view->show();
    settle();
    return view;
}

void BM_PlantsFirstBuild(benchmark::State& state)
{
    Data& d = data();
    (void)d;
    KitMetrics::forgetAdvances();
    for (auto _ : state) {
        auto view = shownView();
        benchmark::DoNotOptimize(view.get());
        state.PauseTiming();
        view.reset();
        settle();
        KitMetrics::forgetAdvances();
        state.ResumeTiming();
    }
}

// The first switch to "All" on a fresh screen builds a row for every plant.
void BM_PlantsShowAllCold(benchmark::State& state)
{
    Data& d = data();
    (void)d;
    for (auto _ : state) {
        state.PauseTiming();
        // As after start-up: only the rows of the first list have been measured.
        KitMetrics::forgetAdvances();
        auto view = shownView();
        state.ResumeTiming();
        view->setStatusFilter(QStringLiteral("all"));
        settle();
        state.PauseTiming();
        state.counters["rows"] = double(view->rows().size());
        view.reset();
        settle();
        state.ResumeTiming();
    }
}

// A store change elsewhere: the list rereads the store and reuses unchanged rows.
void BM_PlantsRebuild(benchmark::State& state)
{
    Data& d = data();
    auto view = shownView();
    if (state.range(0) == 1)
        view->setStatusFilter(QStringLiteral("all"));
    settle();
    for (auto _ : state) {
        d.store->changed();
        settle();
    }
    state.counters["rows"] = double(view->rows().size());
}

void BM_PlantsSearchKeystroke(benchmark::State& state)
{
    Data& d = data();
    (void)d;
    auto view = shownView();
    view->setStatusFilter(QStringLiteral("all"));
    settle();
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        view->setSearch(longer ? QStringLiteral("tom") : QStringLiteral("to"));
        settle();
    }
    state.counters["rows"] = double(view->rows().size());
}

void BM_PlantEditorOpen30Photos(benchmark::State& state)
{
    Data& d = data();
    const Plant plant = *d.store->get<Plant>(d.photoPlant);
    for (auto _ : state) {
        auto editor = std::make_unique<PlantEditor>(plant, *d.store);
        editor->setAttribute(Qt::WA_DontShowOnScreen);
        editor->show();
        settle();
        benchmark::DoNotOptimize(editor.get());
        state.PauseTiming();
        editor.reset();
        settle();
        state.ResumeTiming();
    }
}

// Parts of opening the editor: reading the 30 photos, and decoding their thumbnails.
void BM_PlantPhotosRead(benchmark::State& state)
{
    Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(d.store->photos(d.photoPlant));
}

void BM_PlantPhotoThumbnails(benchmark::State& state)
{
    Data& d = data();
    const QList<Photo> photos = d.store->photos(d.photoPlant);
    for (auto _ : state)
        for (const Photo& photo : photos)
            benchmark::DoNotOptimize(PlantPhotoTile::thumbnail(photo.data, QSize(120, 90)));
}

} // namespace

BENCHMARK(BM_PlantPhotosRead)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PlantPhotoThumbnails)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PlantsFirstBuild)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlantsShowAllCold)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlantsRebuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PlantsSearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PlantEditorOpen30Photos)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
