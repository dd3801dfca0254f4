// The back surface in a window of any size, and the pointer mapped back.
#include "platform/viewport.h"

#include <gtest/gtest.h>

namespace {

using platform::FitBackSurface;
using platform::ScaleMode;
using platform::ViewRect;
using platform::WindowToBackSurface;

constexpr ScaleMode kSmooth = ScaleMode::Smooth;
constexpr ScaleMode kSharp = ScaleMode::Sharp;

TEST(FitBackSurface, ThePlainWindowIsOneToOneInBothModes) {
    EXPECT_EQ(FitBackSurface(800, 600, 800, 600, kSmooth), (ViewRect{0, 0, 800, 600}));
    EXPECT_EQ(FitBackSurface(800, 600, 800, 600, kSharp), (ViewRect{0, 0, 800, 600}));
}

TEST(FitBackSurface, WideOutputsGetBarsLeftAndRight) {
    EXPECT_EQ(FitBackSurface(1920, 1080, 800, 600, kSmooth), (ViewRect{240, 0, 1440, 1080}));
    EXPECT_EQ(FitBackSurface(1366, 768, 800, 600, kSmooth), (ViewRect{171, 0, 1024, 768}));
    EXPECT_EQ(FitBackSurface(1000, 701, 800, 600, kSmooth), (ViewRect{32, 0, 935, 701}));  // 934.67
    // 1.5 times does not count as a whole multiple: 1:1 in the middle.
    EXPECT_EQ(FitBackSurface(1920, 1080, 800, 600, kSharp), (ViewRect{560, 240, 800, 600}));
    EXPECT_EQ(FitBackSurface(1920, 1200, 800, 600, kSharp), (ViewRect{160, 0, 1600, 1200}));
    EXPECT_EQ(FitBackSurface(3840, 2160, 800, 600, kSharp), (ViewRect{720, 180, 2400, 1800}));
}

TEST(FitBackSurface, TallOutputsGetBarsAboveAndBelow) {
    EXPECT_EQ(FitBackSurface(800, 1000, 800, 600, kSmooth), (ViewRect{0, 200, 800, 600}));
    EXPECT_EQ(FitBackSurface(1000, 2000, 800, 600, kSmooth), (ViewRect{0, 625, 1000, 750}));
    EXPECT_EQ(FitBackSurface(1700, 2000, 800, 600, kSharp), (ViewRect{50, 400, 1600, 1200}));
}

TEST(FitBackSurface, SmallerThanTheBackSurfaceShrinksEvenWhenSharp) {
    EXPECT_EQ(FitBackSurface(400, 300, 800, 600, kSharp), (ViewRect{0, 0, 400, 300}));
    EXPECT_EQ(FitBackSurface(500, 300, 800, 600, kSmooth), (ViewRect{50, 0, 400, 300}));
    // A sliver of a window still gets a pixel, never a zero-sized copy.
    EXPECT_EQ(FitBackSurface(1000, 1, 800, 600, kSmooth), (ViewRect{499, 0, 1, 1}));
    EXPECT_EQ(FitBackSurface(0, 600, 800, 600, kSmooth), (ViewRect{0, 0, 0, 600}));
    EXPECT_EQ(FitBackSurface(-5, -5, 800, 600, kSharp), (ViewRect{0, 0, 0, 0}));
    // Huge sizes do not overflow.
    EXPECT_EQ(FitBackSurface(2000000000, 1500000000, 800, 600, kSmooth),
              (ViewRect{0, 0, 2000000000, 1500000000}));
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

struct Mapped {
    int x, y;
};

Mapped Map(int wx, int wy, int ww, int wh, int ow, int oh, ScaleMode mode) {
    Mapped m{};
    WindowToBackSurface(wx, wy, ww, wh, ow, oh, FitBackSurface(ow, oh, 800, 600, mode), 800, 600,
                        &m.x, &m.y);
    return m;
}

TEST(WindowToBackSurface, ThePlainWindowMapsEveryPixelToItself) {
    for (int x : {-7, 0, 1, 399, 799, 800, 850}) {
        const Mapped m = Map(x, x - 100, 800, 600, 800, 600, kSmooth);
        EXPECT_EQ(m.x, x);
        EXPECT_EQ(m.y, x - 100);  // a captured pointer past the edge stays past it
    }
}

TEST(WindowToBackSurface, LetterboxedSmoothScaling) {
    // 1920 x 1080: the picture spans x 240..1679 at 1.8 pixels a pixel.
    const Mapped first = Map(240, 0, 1920, 1080, 1920, 1080, kSmooth);
    const Mapped last = Map(1679, 1079, 1920, 1080, 1920, 1080, kSmooth);
    const Mapped middle = Map(960, 540, 1920, 1080, 1920, 1080, kSmooth);
    const Mapped bar = Map(239, 0, 1920, 1080, 1920, 1080, kSmooth);
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 0);
    EXPECT_EQ(last.x, 799);
    EXPECT_EQ(last.y, 599);
    EXPECT_EQ(middle.x, 400);
    EXPECT_EQ(middle.y, 300);
    EXPECT_EQ(bar.x, -1);  // the left bar lies left of the back surface
    EXPECT_EQ(Map(1680, 0, 1920, 1080, 1920, 1080, kSmooth).x, 800);
    // Bars above and below: 800 x 1000 has the picture at y 200..799.
    EXPECT_EQ(Map(10, 200, 800, 1000, 800, 1000, kSmooth).y, 0);
    EXPECT_EQ(Map(10, 799, 800, 1000, 800, 1000, kSmooth).y, 599);
    EXPECT_EQ(Map(10, 199, 800, 1000, 800, 1000, kSmooth).y, -1);
}

TEST(WindowToBackSurface, SharpScalingCoversWholeBlocks) {
    // Twice the size at (160, 0): window pixels 160 and 161 are back pixel 0.
    EXPECT_EQ(Map(160, 0, 1920, 1200, 1920, 1200, kSharp).x, 0);
    EXPECT_EQ(Map(161, 1, 1920, 1200, 1920, 1200, kSharp).x, 0);
    EXPECT_EQ(Map(162, 1, 1920, 1200, 1920, 1200, kSharp).x, 1);
    EXPECT_EQ(Map(1759, 1199, 1920, 1200, 1920, 1200, kSharp).x, 799);
    EXPECT_EQ(Map(1759, 1199, 1920, 1200, 1920, 1200, kSharp).y, 599);
    // 1.5 times is not whole: 1:1 at (560, 240).
    const Mapped m = Map(560, 240, 1920, 1080, 1920, 1080, kSharp);
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.y, 0);
    EXPECT_EQ(Map(1359, 839, 1920, 1080, 1920, 1080, kSharp).y, 599);
}

TEST(WindowToBackSurface, HiDpiWindowsMapPointsThroughTheirPixels) {
    // A 960 x 540 window drawn as 1920 x 1080 pixels: points are two pixels.
    const Mapped middle = Map(480, 270, 960, 540, 1920, 1080, kSmooth);
    EXPECT_EQ(middle.x, 400);
    EXPECT_EQ(middle.y, 300);
    EXPECT_EQ(Map(120, 0, 960, 540, 1920, 1080, kSmooth).x, 0);
    EXPECT_EQ(Map(119, 0, 960, 540, 1920, 1080, kSmooth).x, -1);
    // An 800 x 600 window on a 2x display: sharp shows each back pixel as 2x2.
    EXPECT_EQ(Map(799, 599, 800, 600, 1600, 1200, kSharp).x, 799);
    EXPECT_EQ(Map(799, 599, 800, 600, 1600, 1200, kSharp).y, 599);
    EXPECT_EQ(Map(300, 200, 800, 600, 1600, 1200, kSharp).x, 300);
}

}  // namespace
