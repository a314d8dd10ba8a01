#include "kit/QNMRTheme.h"

#include <gtest/gtest.h>

using RGB = QNMRTheme::RGB;

TEST(QNMRThemeRGB, HexSplitsBytesAndIgnoresTopByte)
{
    const RGB c = RGB::hex(0x2F7BF2);
    EXPECT_DOUBLE_EQ(c.r, 47.0 / 255.0);
    EXPECT_DOUBLE_EQ(c.g, 123.0 / 255.0);
    EXPECT_DOUBLE_EQ(c.b, 242.0 / 255.0);
    EXPECT_EQ(RGB::hex(0xFF2F7BF2), c);
    EXPECT_EQ(RGB::hex(0xFFFFFF), RGB(1.0, 1.0, 1.0));
}

TEST(QNMRThemeRGB, LuminanceAndContrastFollowWcag)
{
    const RGB white = RGB::hex(0xFFFFFF);
    const RGB black = RGB::hex(0x000000);
    EXPECT_DOUBLE_EQ(white.luminance(), 1.0);
    EXPECT_DOUBLE_EQ(black.luminance(), 0.0);
    EXPECT_DOUBLE_EQ(RGB::contrast(white, black), 21.0);
    EXPECT_DOUBLE_EQ(RGB::contrast(black, white), 21.0);
    EXPECT_DOUBLE_EQ(RGB::contrast(RGB::hex(0x2E7D32), RGB::hex(0x2E7D32)), 1.0);
}

TEST(QNMRThemeRGB, ThresholdChannelTakesLinearBranch)
{
    // Exactly 0.03928 is divided by 12.92; the power curve would give a different value.
    const RGB grey(0.03928, 0.03928, 0.03928);
    EXPECT_DOUBLE_EQ(grey.luminance(), 0.03928 / 12.92);
    const RGB red(1.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(red.luminance(), 0.2126);
}

TEST(QNMRThemeFamily, OnlyTheFiveExactRawTexts)
{
    EXPECT_EQ(QNMRTheme::familyFromRaw("extra"), QNMRTheme::Family::extra);
    EXPECT_EQ(QNMRTheme::familyFromRaw("Extra"), std::nullopt);
    EXPECT_EQ(QNMRTheme::familyFromRaw("grey"), std::nullopt);
}

TEST(QNMRThemeKit, ColoursComeFromTheTheme)
{
    QNMRTheme t{"t", "T", QNMRTheme::Family::extra, RGB::hex(0x14181F), RGB::hex(0x353C48),
                RGB::hex(0x1C2129), RGB::hex(0xF2F5FA), RGB::hex(0xA3AEC0), RGB::hex(0x2F7BF2)};
    const QNKitTheme k = t.kitTheme();
    EXPECT_EQ(k.bg, QColor(20, 24, 31));
    EXPECT_EQ(k.accent, QColor(0x2F, 0x7B, 0xF2));
}
