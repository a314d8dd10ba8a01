// The rail's symbols stand to their titles as the kit's other symbols do (1.2 times
// the text's size), and the pest kind tag has the gray of the other resting tags.

#include "app/RailButton.h"
#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "screens/records/PestRow.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

// Height of the rows holding pixels near `color` (any alpha) in the image's left `width` columns.
int inkHeight(const QImage& image, int width, const QColor& color)
{
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < std::min(width, image.width()); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 128 && std::abs(c.red() - color.red()) < 24 && std::abs(c.green() - color.green()) < 24
                && std::abs(c.blue() - color.blue()) < 24) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
    return top < 0 ? 0 : bottom - top + 1;
}

} // namespace

TEST(RailSymbol, DrawnAtTheKitsSymbolToTextRatio)
{
    RailButton button(Screen::plants, false);
    button.setAttribute(Qt::WA_DontShowOnScreen);
    button.resize(button.sizeHint());
    button.show();
    QApplication::processEvents();
    QImage shot = button.grab().toImage();
    shot.setDevicePixelRatio(1);
    const int column = KitMetrics::px(12 + 20);
    const int drawn = inkHeight(shot, column, OVColors::leaf());
    QImage expected = KitIcons::pixmap(Screen(Screen::plants).symbol(), OVColors::leaf(), 13.5 * 1.2, 1.0).toImage();
    const int wanted = inkHeight(expected, expected.width(), OVColors::leaf());
    ASSERT_GT(wanted, 0);
    EXPECT_NEAR(drawn, wanted, 1);
}

TEST(RailSymbol, PestKindTagIsTheStandardGray)
{
    PestRecord record;
    record.problem = QStringLiteral("Aphids");
    const PestRow row(record, QString(), QString(), OVColors());
    ASSERT_FALSE(row.tags().isEmpty());
    EXPECT_EQ(row.tags().first().color, OVColors::gray());
    EXPECT_EQ(OVColors::gray(), QColor(142, 142, 147));
}
