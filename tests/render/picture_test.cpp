#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "render/picture.h"
#include "script/message.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

constexpr unsigned kSurfaceKey = PICTURE_SURFACE | PICTURE_TRANSPARENT;

// What reading the file with `flags` adds to the log.
std::string LoadLog(const std::string& name, unsigned flags = PICTURE_SURFACE) {
    return LogAddedBy([&] { Picture p(name.c_str(), flags); });
}

using BmpReading = DisplayTest;

TEST_F(BmpReading, OnlyUncompressed24BitBmpIsReadAndEachRefusalSaysWhy) {
    ScratchDir dir("bmp_read");
    WriteFile(dir.File("Photo.BMP"), SolidBmp(3, 2, 0x00FF00));
    Picture photo(dir.File("Photo.BMP").c_str(), PICTURE_SURFACE);
    EXPECT_EQ(PixelAt(&photo, 2, 1), 0x00FF00u);
    std::string palette = SolidBmp(4, 4, 0x112233);
    palette[28] = 8;
    WriteFile(dir.File("pal.bmp"), palette);
    WriteFile(dir.File("a.bmp"), std::string(54, 'B'));          // a header only
    WriteFile(dir.File("b.bmp"), "MB" + std::string(53, '\0'));  // one byte more: decoded
    const std::string pal = dir.File("pal.bmp"), a = dir.File("a.bmp"), b = dir.File("b.bmp");
    const std::string png = dir.File("a.png");
    const std::pair<std::string, std::string> cases[] = {
        {png, "Failed to load '" + png + "' - unsupported format...\r\nFailed to load " + png +
                  " !\r\n"},
        {"x.tga", "Failed to load x.tga !\r\n"},  // known, not read: no reader's message
        {pal, "'_fileName' have unsupported format !\r\n'" + pal +
                  "' - Loading failed\r\nFailed to load " + pal + " !\r\n"},
        {a, "'" + a + "' seems to be invalid !\r\nFailed to load " + a + " !\r\n"},
        {b, "the '_fileName' may not be of BMP format ?!\r\n'" + b +
                "' - Loading failed\r\nFailed to load " + b + " !\r\n"},
    };
    for (const auto& [name, log] : cases)
        EXPECT_EQ(LoadLog(name), log);
    Picture refused(pal.c_str(), PICTURE_SURFACE);
    EXPECT_FALSE(refused.HasSurface());
    EXPECT_TRUE(refused.loaded);
    // Larger than the old 800 x 600 load buffer.
    WriteFile(dir.File("big.bmp"), MakeBmp(1024, 700, [](int x, int y) {
                  return std::uint32_t((x & 0xFF) << 8 | (y & 0xFF));
              }));
    Picture big(dir.File("big.bmp").c_str(), PICTURE_KEEPPIXELS);
    ASSERT_NE(big.Pixels(), nullptr);
    EXPECT_EQ(big.Pixels()[699 * 1024 + 1023] & 0xFFFFFF, std::uint32_t(0xFF << 8 | (699 & 0xFF)));
}

TEST_F(BmpReading, HostileHeadersAreRefusedWithoutReadingOutside) {
    std::string good = SolidBmp(5, 3, 0x123456);
    auto refused = [&](std::string bytes) {
        auto p = PictureFromBytes(bytes, PICTURE_SURFACE | PICTURE_KEEPPIXELS);
        return !p->HasSurface() && p->Pixels() == nullptr;
    };
    EXPECT_FALSE(refused(good));
    EXPECT_TRUE(refused(good.substr(0, good.size() - 2)));  // last row cut short
    // Height -1, width 0, width ~1e9, pixel data beyond the end.
    const std::pair<std::size_t, std::string> patches[] = {
        {22, "\xFF\xFF\xFF\xFF"}, {18, std::string(4, '\0')}, {21, "\x40"}, {10, "\xF0\xFF"}};
    for (const auto& [at, bytes] : patches)
        EXPECT_TRUE(refused(std::string(good).replace(at, bytes.size(), bytes))) << at;
    std::string log = LogAddedBy([&] { EXPECT_TRUE(refused(good.replace(30, 1, "\x01"))); });
    EXPECT_EQ(log,
              "the '_fileName' is compressed (unsupported now) !\r\nFailed to load from memory - "
              "unsupported format...\r\nFailed to load from memory !\r\n");
}

using PictureDrawing = DisplayTest;

TEST_F(PictureDrawing, DrawPartAndRectangleClipAgainstEveryEdge) {
    // Pixel (x, y) of the picture is 0x100 (y + 1) + x + 1, never black.
    auto p = PictureFromBytes(
        MakeBmp(20, 10, [](int x, int y) { return std::uint32_t(0x100 * (y + 1) + x + 1); }),
        PICTURE_SURFACE);
    p->Draw(Back(), -10, 0);  // left: (0, 0) shows column 10
    p->Draw(Back(), 54, 43);  // right and bottom of 64 x 48: 10 columns, 5 rows
    p->Draw(Back(), 30, -8);  // top: the last two rows
    p->Draw(Back(), -20, 0);  // wholly outside
    p->Draw(Back(), 0x7FFFFFF0, 0x7FFFFFF0);
    ExpectPixels(Back(), {{0, 0, 0x10Bu},
                          {9, 9, 0xA14u},
                          {10, 9, 0},
                          {63, 47, 0x50Au},
                          {53, 43, 0},
                          {54, 42, 0},
                          {30, 1, 0xA01u},
                          {30, 2, 0}});
    ClearBack();
    p->DrawPart(Back(), 0, 0, 2, 3);
    p->DrawPart(Back(), 30, 0, -1, 99);  // any size beyond: the whole
    PictureRect r{4, 5, 6, 8};
    p->DrawRect(Back(), -1, 20, r);              // clipped on the left: source column 5
    p->DrawRect(Back(), 0, 30, {18, 0, 21, 2});  // not inside the picture: nothing
    p->DrawRect(Back(), 0, 30, {-1, 0, 2, 2});
    ExpectPixels(Back(), {{1, 2, 0x302u},
                          {2, 0, 0},
                          {0, 3, 0},
                          {49, 9, 0xA14u},
                          {0, 20, 0x606u},
                          {1, 20, 0},
                          {0, 30, 0}});
    EXPECT_EQ(r.left, 4) << "the caller's rectangle stays";
}

TEST_F(PictureDrawing, BlackIsTransparentOnlyForTransparentPicturesAndGrabTakesNoKey) {
    std::string bmp = MakeBmp(2, 1, [](int x, int) { return x == 0 ? 0u : 0x0000FFu; });
    display->BackSurface()->Fill(platform::PackColor(display->Format(), 0xFF, 0, 0));
    PictureFromBytes(bmp, kSurfaceKey)->Draw(Back(), 0, 0);
    PictureFromBytes(bmp, PICTURE_SURFACE)->Draw(Back(), 0, 1);
    ExpectPixels(Back(), {{0, 0, 0xFF0000u}, {1, 0, 0x0000FFu}, {0, 1, 0u}});
    // Grab copies the overlap, black included; the rest stays as it was (white).
    Picture glass(4, 4, kSurfaceKey);
    glass.Grab(Back(), -3, -3);
    glass.ReadBack();
    EXPECT_EQ(glass.Pixels()[0] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(glass.Pixels()[3 * 4 + 3] & 0xFFFFFF, 0xFF0000u);  // back (0, 0)
    glass.Grab(Back(), 0, 0);
    glass.ReadBack();
    EXPECT_EQ(glass.Pixels()[4] & 0xFFFFFF, 0u);  // back (0, 1)
}

class PixelRoundTrip : public DisplayTest, public ::testing::WithParamInterface<int> {
    void SetUp() override { StartDisplay(GetParam()); }
};

// A picture wider than a vector with a ragged end, so that every path of
// the conversion loops is taken.
TEST_P(PixelRoundTrip, UploadAndReadBackKeepWhatTheFormatCanHold) {
    const std::uint32_t in[4] = {0xAAFF0000, 0x0000FF00, 0x000000FF, 0x00123456};
    // 565 keeps the top 5/6/5 bits; the fourth byte is left alone.
    const std::uint32_t out[4] = {0x77FF0000u, 0x7700FF00u, 0x770000FFu, 0x77123456u};
    const std::uint32_t out16[4] = {0x77F80000u, 0x7700FC00u, 0x770000F8u, 0x77103450u};
    const std::uint32_t* expected = GetParam() == 16 ? out16 : out;
    Picture p(37, 5, PICTURE_SURFACE);
    const int n = 37 * 5;
    for (int i = 0; i < n; ++i)
        p.Pixels()[i] = in[i % 4];
    ASSERT_TRUE(p.Upload());
    std::fill(p.Pixels(), p.Pixels() + n, 0x77000000u);
    ASSERT_TRUE(p.ReadBack());
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(p.Pixels()[i], expected[i % 4]) << "pixel " << i;
}

INSTANTIATE_TEST_SUITE_P(Depths, PixelRoundTrip, ::testing::Values(16, 24, 32));

// The rules written out channel by channel, as plainly as they read.
std::uint32_t EachChannel(std::uint32_t self, std::uint32_t other,
                          const std::function<int(int, int)>& rule) {
    std::uint32_t out = self & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        out |= std::uint32_t(rule(int(self >> shift & 0xFF), int(other >> shift & 0xFF))) << shift;
    return out;
}

TEST(PixelOperations, MatchTheirRulesOnRandomPixelsAndWeights) {
    std::mt19937 rng(5);
    const int n = 333;  // more than one block of the vectorised loops, and a ragged end
    auto random = [&](Picture& p) {
        for (int i = 0; i < n; ++i) {
            std::uint32_t v = rng();
            if (rng() % 4 == 0)
                v &= 0xFF00FF00u;  // zero channels choose the blend's other branch
            p.Pixels()[i] = v;
        }
    };
    Picture self(n, 1, 0), other(n, 1, 0), before(n, 1, 0);
    auto expectRule = [&](const char* what, const std::function<int(int, int)>& rule) {
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(self.Pixels()[i], EachChannel(before.Pixels()[i], other.Pixels()[i], rule))
                << what << " pixel " << i;
        }
    };
    for (int trial = 0; trial < 20; ++trial) {
        random(self);
        random(other);
        std::copy(self.Pixels(), self.Pixels() + n, before.Pixels());
        self.Add(&other);
        expectRule("add", [](int a, int b) { return std::min(255, a + b); });

        std::copy(before.Pixels(), before.Pixels() + n, self.Pixels());
        self.Subtract(&other);
        expectRule("subtract", [](int a, int b) { return a >= b ? a - b : 4; });

        const int weights[][2] = {{255, 127}, {0, 256}, {256, 0}, {-40, 300}, {70000, -9}};
        for (const auto& w : weights) {
            std::copy(before.Pixels(), before.Pixels() + n, self.Pixels());
            self.Blend(&other, w[0], w[1]);
            // Each weighted channel is shifted down on its own, then added
            // (1 and 1 at 255:255 give 0, not 1); 0 where the other's channel is 0.
            expectRule("blend", [&w](int a, int b) {
                if (b == 0)
                    return 0;
                const long long v = ((b * (long long)w[1]) >> 8) + ((a * (long long)w[0]) >> 8);
                return int(std::clamp<long long>(v, 0, 255));
            });
        }
    }
    // Remap: every offset inside the source, then some outside it.
    DisplacementMap map{n, 1, std::vector<std::uint32_t>(n)};
    for (int inside = 1; inside >= 0; --inside) {
        random(other);
        random(self);
        std::copy(self.Pixels(), self.Pixels() + n, before.Pixels());
        for (std::uint32_t& o : map.offsets)
            o = (rng() % std::uint32_t(inside ? n : 2 * n)) * 4;
        self.Remap(&other, map);
        for (int i = 0; i < n; ++i) {
            const std::uint32_t k = map.offsets[i] / 4;
            EXPECT_EQ(self.Pixels()[i],
                      k < std::uint32_t(n) ? other.Pixels()[k] : before.Pixels()[i]);
        }
    }
}

TEST(DisplacementMapBuild, BlueSlopesBendInnerPixelsAndEdgesStayPut) {
    // Blue rises by 64 per column: slope (b(x+1) - b(x-1)) = 128 -> trunc(8.03) = 8.
    std::vector<std::uint32_t> px(5 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            px[y * 5 + x] = std::uint32_t(x * 64);
    DisplacementMap map;
    BuildDisplacementMapFromPixels(px.data(), 5, 4, &map);
    ASSERT_EQ(map.offsets.size(), 20u);
    EXPECT_EQ(map.offsets[0], 0u);                        // corner: itself
    EXPECT_EQ(map.offsets[1 * 5 + 1], (5 * 1 + 4) * 4u);  // 1 + 8 clamped to 4
    EXPECT_EQ(map.offsets[2 * 5 + 4], (5 * 2 + 4) * 4u);  // right edge: itself
    // A slope of 15 gives 0.94: truncated to no move; -16 gives -1.
    px.assign(9, 0);
    px[1 * 3 + 2] = 15;
    px[0 * 3 + 1] = 16;
    BuildDisplacementMapFromPixels(px.data(), 3, 3, &map);
    EXPECT_EQ(map.offsets[4], (3 * 0 + 1) * 4u);
    std::string log = LogAddedBy([&] { EXPECT_FALSE(BuildDisplacementMap("nope.bmp", &map)); });
    EXPECT_EQ(log, "Failed to load nope.bmp !\r\n");
    EXPECT_TRUE(map.offsets.empty());
}

using PictureCacheTest = DisplayTest;

TEST_F(PictureCacheTest, SharesByLowerCaseNameUntilTheLastReleaseAndFailuresOnce) {
    ScratchDir dir("cache");
    WriteFile(dir.File("a.bmp"), SolidBmp(2, 2, 0x010203));
    const std::string name = dir.File("a.bmp");
    const std::string upper = name.substr(0, name.size() - 5) + "A.BMP";
    const int before = display->PictureCount();
    Picture* p1 = PictureCacheGet(name.c_str(), kSurfaceKey);
    Picture* p2 = PictureCacheGet(upper.c_str(), kSurfaceKey);
    Picture* own = PictureCacheGet(name.c_str(), kSurfaceKey, true);
    EXPECT_EQ(p1, p2);
    EXPECT_NE(own, p1) << "unique: a copy of its own";
    EXPECT_EQ(PictureCacheGet(name.c_str(), kSurfaceKey), p1);
    PictureCacheRelease(own);
    Picture* last = p1;
    PictureCacheRelease(p1);
    PictureCacheRelease(p2);
    EXPECT_EQ(p1, nullptr);
    EXPECT_EQ(display->PictureCount(), before + 1);
    Picture* stale = last;
    PictureCacheRelease(last);
    EXPECT_EQ(display->PictureCount(), before);
    PictureCacheRelease(stale);  // one release too many finds nothing
    EXPECT_NE(stale, nullptr);

    std::string log = LogAddedBy([] {
        Picture* a = PictureCacheGet("missing.bmp", kSurfaceKey);
        EXPECT_EQ(PictureCacheGet("missing.bmp", kSurfaceKey), a);
        EXPECT_FALSE(a->HasSurface());
        a->Draw(nullptr, 0, 0);
    });
    EXPECT_EQ(log, "Failed to load missing.bmp !\r\n");
}

TEST_F(PictureCacheTest, ReCreateRebuildsEveryPictureInTheNewFormat) {
    StartDisplay(16);
    ScratchDir dir("recreate");
    WriteFile(dir.File("f.bmp"), SolidBmp(2, 2, 0x00FF00));
    Picture fromFile(dir.File("f.bmp").c_str(), PICTURE_SURFACE);
    auto fromMemory = PictureFromBytes(SolidBmp(3, 3, 0x0000FF), kSurfaceKey);
    Picture blank(2, 2, PICTURE_SURFACE);
    blank.Pixels()[0] = 0xFF0000;
    blank.Upload();
    Picture failed("gone.bmp", PICTURE_SURFACE);
    // Another image through the load buffer after the memory picture.
    auto later = PictureFromBytes(SolidBmp(3, 3, 0xFFFFFF), PICTURE_SURFACE);
    display->truecolor = true;
    display->bpp = 32;
    ASSERT_TRUE(display->ReCreate());
    EXPECT_EQ(fromFile.Surface()->Format().bits, 32);
    EXPECT_EQ(PixelAt(&fromFile, 1, 1), 0x00FF00u);
    EXPECT_EQ(PixelAt(&blank, 0, 0), 0xFF0000u);
    EXPECT_TRUE(fromMemory->Surface()->HasColorKey());
    EXPECT_FALSE(failed.HasSurface());
    fromMemory->Draw(Back(), 0, 0);
    EXPECT_EQ(PixelAt(Back(), 0, 0), 0x0000FFu);
}

}  // namespace
