// What the kit's painting costs: the wood drawn anew for a window size (a resize)
// against a repaint from the cache, and a page of cards, rows and buttons grabbed.

#include "kit/OVCard.h"
#include "kit/OVPage.h"
#include "kit/OVRowBox.h"
#include "kit/OVTag.h"
#include "kit/OVThemeRoot.h"
#include "kit/OVThemes.h"
#include "kit/QNChromeButton.h"
#include "kit/WoodBackground.h"
#include "support/ScreenHarness.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

namespace {

void BM_WoodRender1380x900(benchmark::State& state)
{
    const QNMRTheme theme = OVThemes::extras().at(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(WoodBackground::render(QSize(1380, 900), theme));
}
BENCHMARK(BM_WoodRender1380x900)->Unit(benchmark::kMillisecond);

void BM_WoodCachedPaint1380x900(benchmark::State& state)
{
    QImage target(1380, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        WoodBackground::paint(p, target.rect(), 1.0);
    }
}
BENCHMARK(BM_WoodCachedPaint1380x900)->Unit(benchmark::kMillisecond);

// A page of 10 cards with 10 rows each (tags and buttons in every row), grabbed.
void BM_CardPageGrab(benchmark::State& state)
{
    OVThemeRoot root([] {
        auto* page = new OVPage(Screen::plants, QStringLiteral("Subtitle"));
        for (int c = 0; c < 10; ++c) {
            auto* card = new OVCard(QStringLiteral("Card %1").arg(c), QStringLiteral("leaf.fill"));
            for (int r = 0; r < 10; ++r) {
                auto* row = new OVRowBox(r == 3);
                auto* line = new QHBoxLayout;
                line->addWidget(new OVTag(QStringLiteral("Tag"), Qt::darkGreen));
                line->addStretch(1);
                line->addWidget(new QNChromeButton(QStringLiteral("Edit"), false, true));
                row->body()->addLayout(line);
                card->body()->addWidget(row);
            }
            page->content()->addWidget(card);
        }
        return page;
    });
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(1380, 900);
    root.show();
    QApplication::processEvents();
    for (auto _ : state)
        benchmark::DoNotOptimize(root.grab());
}
BENCHMARK(BM_CardPageGrab)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runWidgetBenchmarks(argc, argv);
}
