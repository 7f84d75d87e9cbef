#include "system/Desktop.h"

#include <gtest/gtest.h>

TEST(ScreenMetrics, TwipsBecomeTheNearestPixelHalvesAwayFromZero) {
    const ScreenMetrics screen{1024, 768, 15, 12, {}};
    const struct {
        double twips;
        int x;
        int y;
    } cases[] = {{7, 0, 1},     {7.5, 1, 1},     {8, 1, 1},    {-7.5, -1, -1},
                 {310, 21, 26}, {1440, 96, 120}, {22.5, 2, 2}, {-60, -4, -5}};
    for (const auto& c : cases) {
        EXPECT_EQ(screen.xPixels(c.twips), c.x) << c.twips;
        EXPECT_EQ(screen.yPixels(c.twips), c.y) << c.twips;
    }
    EXPECT_EQ(screen.toPixels(310, 60, 2715, 315), QRect(21, 5, 181, 26));
}
