#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/surface.h"
#include "render/picture.h"
#include "tests/test_files.h"

namespace {

using platform::FormatForDepth;
using platform::PixelLock;
using platform::Surface;

std::vector<std::uint8_t> Snapshot(Surface& s) {
    PixelLock lock;
    EXPECT_TRUE(s.Lock(&lock));
    std::vector<std::uint8_t> bytes(lock.pixels,
                                    lock.pixels + std::size_t(lock.pitch) * lock.height);
    s.Unlock();
    return bytes;
}

class SurfaceDepth : public ::testing::TestWithParam<int> {};

TEST_P(SurfaceDepth, XorOutlineTwiceRestoresEveryPixelAndSkipsOutsidePoints) {
    Surface s;
    ASSERT_TRUE(s.Create(20, 10, FormatForDepth(GetParam()), false));
    const std::uint32_t fill = platform::PackColor(s.Format(), 10, 200, 30);
    s.Fill(fill);
    const std::vector<std::uint8_t> before = Snapshot(s);
    s.XorOutline({-5, 2, 30, 8});
    std::vector<std::uint8_t> marked = Snapshot(s);
    // (0, 2) lies on the top edge: the complement of the fill.
    std::uint32_t v = 0;
    std::memcpy(&v, marked.data() + 2 * (marked.size() / 10), std::size_t(GetParam() / 8));
    const platform::PixelFormat& f = s.Format();
    EXPECT_EQ(v, fill ^ (f.rmask | f.gmask | f.bmask));
    s.XorOutline({-5, 2, 30, 8});
    s.XorLine(3, 3, 3, 3);  // empty line: nothing
    EXPECT_EQ(Snapshot(s), before);
}

INSTANTIATE_TEST_SUITE_P(Depths, SurfaceDepth, ::testing::Values(16, 24, 32));

// Fills only what lies inside both the rectangle and the surface, whatever
// the rectangle's numbers.
TEST(SurfaceFillRect, CutsToTheSurfaceAndIgnoresEmptyOrFarRectangles) {
    Surface s;
    ASSERT_TRUE(s.Create(8, 4, FormatForDepth(32), false));
    const platform::Rect cases[] = {{-2000000000, -2000000000, 2, 1},
                                    {6, 3, 2000000000, 2000000000},
                                    {5, 0, 5, 4},
                                    {3, 2, 1, 3},
                                    {2000000000, 0, 2100000000, 4}};
    s.Fill(0);
    for (const platform::Rect& r : cases)
        s.FillRect(r, 0x01010101u);
    PixelLock lock;
    ASSERT_TRUE(s.Lock(&lock));
    std::string filled;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x)
            filled += lock.pixels[y * lock.pitch + x * 4] ? '#' : '.';
        filled += '/';
    }
    s.Unlock();
    EXPECT_EQ(filled, "##....../......../......../......##/");
}

TEST(SurfaceCreate, RefusesEmptyAndAbsurdSizes) {
    Surface s;
    EXPECT_FALSE(s.Create(0, 5, FormatForDepth(32), false));
    EXPECT_FALSE(s.Create(5, -1, FormatForDepth(32), false));
    EXPECT_FALSE(s.Create(1 << 20, 1 << 20, FormatForDepth(32), false));
    EXPECT_FALSE(s.IsValid());
}

TEST(SurfaceSave, BmpReadsBackThroughOurDecoderAndPngHasItsSignature) {
    ScratchDir dir("save");
    Surface s;
    ASSERT_TRUE(s.Create(5, 3, FormatForDepth(16), false));
    s.Fill(platform::PackColor(s.Format(), 0xF8, 0x00, 0x08));
    ASSERT_TRUE(s.SaveImage(dir.File("shot.bmp").c_str()));
    std::string bmp = ReadFile(dir.File("shot.bmp"));
    BmpInfo info;
    ASSERT_TRUE(
        DecodeBmpHeader(reinterpret_cast<const std::uint8_t*>(bmp.data()), bmp.size(), &info));
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(std::uint8_t(bmp[info.dataOffset]), 0x08);      // B
    EXPECT_EQ(std::uint8_t(bmp[info.dataOffset + 2]), 0xF8);  // R

    ASSERT_TRUE(s.SaveImage(dir.File("shot.PNG").c_str()));
    std::string png = ReadFile(dir.File("shot.PNG"));
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    EXPECT_FALSE(s.SaveImage((dir.Path() + "/no/such/dir.bmp").c_str()));
}

}  // namespace
