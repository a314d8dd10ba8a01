// The wood is a seeded pattern: fixed draws, the same picture for the same size and
// theme, whatever the canvas.

#include "kit/OVThemes.h"
#include "kit/WoodBackground.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(WoodBackground, DrawsTheSeededSequence)
{
    WoodBackground::Random rnd;
    const double expected[8] = {0.9633, 0.8675, 0.4792, 0.3382, 0.936, 0.5037, 0.8599, 0.0903};
    for (double e : expected)
        EXPECT_DOUBLE_EQ(rnd.next(), e);

    // The first grain line takes seven draws; the second starts from the eighth.
    WoodBackground::Random fresh;
    const WoodBackground::Grain g = WoodBackground::grain(0, fresh);
    EXPECT_NEAR(g.x0, -6.2202, 1e-9);
    EXPECT_NEAR(g.amp, 8.0725, 1e-9);
    EXPECT_NEAR(g.freq, 0.0068752, 1e-12);
    EXPECT_NEAR(g.phase, 2.123896, 1e-9);
    EXPECT_TRUE(g.panelColor);
    EXPECT_NEAR(g.opacity, 0.170518, 1e-9);
    EXPECT_NEAR(g.width, 2.14782, 1e-9);
    EXPECT_DOUBLE_EQ(fresh.next(), 0.0903);
}

TEST(WoodBackground, SameSizeAndThemeGiveTheSamePicture)
{
    const QNMRTheme grove = OVThemes::extras().at(0);
    const QNMRTheme cedar = OVThemes::extras().at(1);
    const QImage a = WoodBackground::render(QSize(1380, 900), grove);
    const QImage b = WoodBackground::render(QSize(1380, 900), grove);
    ASSERT_EQ(a.size(), QSize(1380, 900));
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == WoodBackground::render(QSize(1380, 900), cedar));

    // The widget shows the same picture on every grab.
    WoodBackground wood;
    wood.setAttribute(Qt::WA_DontShowOnScreen);
    wood.resize(1380, 900);
    wood.show();
    QApplication::processEvents();
    const QImage first = wood.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage second = wood.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(first.constBits()), first.sizeInBytes()),
              QByteArray(reinterpret_cast<const char*>(second.constBits()), second.sizeInBytes()));

    // Degenerate canvases still render.
    EXPECT_FALSE(WoodBackground::render(QSize(0, 0), grove).isNull());
    EXPECT_FALSE(WoodBackground::render(QSize(9, 0), grove).isNull());
}

TEST(WoodBackground, GroundIsTheThemeBackground)
{
    // The top-left corner is ground under the warm glow and faint grain: close to bg.
    const QNMRTheme grove = OVThemes::extras().at(0);
    const QImage img = WoodBackground::render(QSize(400, 300), grove);
    const QColor bg = grove.bg.color();
    const QColor corner = img.pixelColor(399, 0);
    EXPECT_NEAR(corner.red(), bg.red(), 40);
    EXPECT_NEAR(corner.blue(), bg.blue(), 40);
    EXPECT_EQ(corner.alpha(), 255);
}
