// The back surface in a window of any size, and the pointer mapped back.
#include "platform/viewport.h"

#include <gtest/gtest.h>

namespace {

using platform::FitBackSurface;
using platform::ScaleMode;
using platform::ViewRect;

constexpr ScaleMode kSmooth = ScaleMode::Smooth;
constexpr ScaleMode kSharp = ScaleMode::Sharp;

TEST(FitBackSurface, EveryOutputGetsItsExactRectangle) {
    const struct {
        int w, h;
        ScaleMode mode;
        ViewRect rect;
    } cases[] = {
        {800, 600, kSmooth, {0, 0, 800, 600}},  // the plain window: 1:1 in both modes
        {800, 600, kSharp, {0, 0, 800, 600}},
        // Wide: bars left and right.
        {1920, 1080, kSmooth, {240, 0, 1440, 1080}},
        {1000, 701, kSmooth, {32, 0, 935, 701}},     // 934.67
        {1920, 1080, kSharp, {560, 240, 800, 600}},  // 1.5 is not whole: 1:1 in the middle
        {1920, 1200, kSharp, {160, 0, 1600, 1200}},
        // Tall: bars above and below.
        {1000, 2000, kSmooth, {0, 625, 1000, 750}},
        {1700, 2000, kSharp, {50, 400, 1600, 1200}},
        // Smaller than the back surface shrinks, even when sharp.
        {400, 300, kSharp, {0, 0, 400, 300}},
        {500, 300, kSmooth, {50, 0, 400, 300}},
        {1000, 1, kSmooth, {499, 0, 1, 1}},  // a sliver still gets a pixel
        {0, 600, kSmooth, {0, 0, 0, 600}},
        {-5, -5, kSharp, {0, 0, 0, 0}},
        {2000000000, 1500000000, kSmooth, {0, 0, 2000000000, 1500000000}},  // no overflow
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitBackSurface(c.w, c.h, 800, 600, c.mode), c.rect) << c.w << " x " << c.h;
}

TEST(CopiesUnfiltered, SharpAlwaysSmoothOnlyAtWholeMultiples) {
    using platform::CopiesUnfiltered;
    EXPECT_TRUE(CopiesUnfiltered({0, 0, 800, 600}, 800, 600, kSmooth));    // 1:1
    EXPECT_TRUE(CopiesUnfiltered({0, 0, 1600, 1200}, 800, 600, kSmooth));  // a 2x screen
    EXPECT_FALSE(CopiesUnfiltered({240, 0, 1440, 1080}, 800, 600, kSmooth));
    EXPECT_FALSE(CopiesUnfiltered({0, 0, 1600, 600}, 800, 600, kSmooth));  // not one factor
    EXPECT_FALSE(CopiesUnfiltered({0, 0, 400, 300}, 800, 600, kSmooth));
    EXPECT_TRUE(CopiesUnfiltered({240, 0, 1440, 1080}, 800, 600, kSharp));
}

TEST(WindowToBackSurface, EveryPointerMapsToItsExactBackPixel) {
    // Window point, window size, output pixels, mode, back pixel.
    const struct {
        int wx, wy, ww, wh, ow, oh;
        ScaleMode mode;
        int x, y;
    } cases[] = {
        // The plain window maps to itself; a captured pointer past the edge stays past it.
        {-7, -107, 800, 600, 800, 600, kSmooth, -7, -107},
        {799, 699, 800, 600, 800, 600, kSmooth, 799, 699},
        // 1920 x 1080 smooth: the picture spans x 240..1679 at 1.8 pixels a pixel.
        {240, 0, 1920, 1080, 1920, 1080, kSmooth, 0, 0},
        {1679, 1079, 1920, 1080, 1920, 1080, kSmooth, 799, 599},
        {960, 540, 1920, 1080, 1920, 1080, kSmooth, 400, 300},
        {239, 0, 1920, 1080, 1920, 1080, kSmooth, -1, 0},  // the left bar
        // Bars above and below: 800 x 1000 has the picture at y 200..799.
        {10, 200, 800, 1000, 800, 1000, kSmooth, 10, 0},
        {10, 199, 800, 1000, 800, 1000, kSmooth, 10, -1},
        // Sharp, twice the size at (160, 0): window pixels 160 and 161 are back pixel 0.
        {161, 1, 1920, 1200, 1920, 1200, kSharp, 0, 0},
        {162, 1, 1920, 1200, 1920, 1200, kSharp, 1, 0},
        {1759, 1199, 1920, 1200, 1920, 1200, kSharp, 799, 599},
        // Sharp at 1.5 times: 1:1 at (560, 240).
        {1359, 839, 1920, 1080, 1920, 1080, kSharp, 799, 599},
        // High DPI: a 960 x 540 window drawn as 1920 x 1080 pixels.
        {480, 270, 960, 540, 1920, 1080, kSmooth, 400, 300},
        {119, 0, 960, 540, 1920, 1080, kSmooth, -1, 0},
        // An 800 x 600 window on a 2x display: sharp shows each back pixel as 2x2.
        {799, 599, 800, 600, 1600, 1200, kSharp, 799, 599},
    };
    for (const auto& c : cases) {
        int x = 0, y = 0;
        platform::WindowToBackSurface(c.wx, c.wy, c.ww, c.wh, c.ow, c.oh,
                                      FitBackSurface(c.ow, c.oh, 800, 600, c.mode), 800, 600, &x,
                                      &y);
        EXPECT_EQ(x, c.x) << c.wx << "," << c.wy << " in " << c.ww << " x " << c.wh;
        EXPECT_EQ(y, c.y) << c.wx << "," << c.wy << " in " << c.ww << " x " << c.wh;
    }
}

}  // namespace
