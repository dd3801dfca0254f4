// The overlay's frame times: an average of the last 32 frames.
#include "app/frame_timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

TEST(FrameTiming, AveragesTheLast32FramesOfEachPart) {
    FrameTiming t;
    char text[64];
    t.Format(text, sizeof text);
    EXPECT_STREQ(text, "UPD 0.00 DRAW 0.00 PRES 0.00 ms");
    t.Add(1.0, 2.0, 3.0);
    t.Add(2.0, 4.0, 0.5);
    t.Format(text, sizeof text);
    EXPECT_STREQ(text, "UPD 1.50 DRAW 3.00 PRES 1.75 ms");
    // 32 frames of 10 push the first two out.
    for (int i = 0; i < 32; ++i)
        t.Add(10.0, 10.0, 10.0);
    EXPECT_EQ(t.Count(), 32);
    EXPECT_DOUBLE_EQ(t.Update(), 10.0);
    t.Add(42.0, 10.0, 10.0);  // one of 32 frames
    EXPECT_DOUBLE_EQ(t.Update(), 11.0);
    // Times that are not numbers or negative count as zero.
    FrameTiming odd;
    odd.Add(std::numeric_limits<double>::quiet_NaN(), -5.0,
            std::numeric_limits<double>::infinity());
    odd.Add(2.0, 2.0, 2.0);
    odd.Format(text, sizeof text);
    EXPECT_STREQ(text, "UPD 1.00 DRAW 1.00 PRES 1.00 ms");
}

}  // namespace
