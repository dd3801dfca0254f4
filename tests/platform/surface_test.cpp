#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "platform/surface.h"
#include "render/picture.h"
#include "tests/test_files.h"

namespace {

using platform::FormatForDepth;
using platform::PixelLock;
using platform::Surface;

// The pixels only, not the rows' padding.
std::vector<std::uint8_t> Pixels(Surface& s) {
    PixelLock lock;
    EXPECT_TRUE(s.Lock(&lock));
    std::vector<std::uint8_t> out;
    for (int y = 0; y < lock.height; ++y)
        out.insert(out.end(), lock.pixels + y * lock.pitch,
                   lock.pixels + y * lock.pitch + lock.width * (lock.format.bits / 8));
    s.Unlock();
    return out;
}

class SurfaceDepth : public ::testing::TestWithParam<int> {};

TEST_P(SurfaceDepth, XorOutlineTwiceRestoresEveryPixelAndSkipsOutsidePoints) {
    Surface s;
    ASSERT_TRUE(s.Create(20, 10, FormatForDepth(GetParam()), false));
    const std::uint32_t fill = platform::PackColor(s.Format(), 10, 200, 30);
    s.Fill(fill);
    const std::vector<std::uint8_t> before = Pixels(s);
    s.XorOutline({-5, 2, 30, 8});
    const std::vector<std::uint8_t> marked = Pixels(s);
    // (0, 2) lies on the top edge: the complement of the fill.
    std::uint32_t v = 0;
    std::memcpy(&v, marked.data() + 2 * (marked.size() / 10), std::size_t(GetParam() / 8));
    const platform::PixelFormat& f = s.Format();
    EXPECT_EQ(v, fill ^ (f.rmask | f.gmask | f.bmask));
    s.XorOutline({-5, 2, 30, 8});
    s.XorLine(3, 3, 3, 3);  // empty line: nothing
    EXPECT_EQ(Pixels(s), before);
}

// Random pixels, one in `blackOneIn` pure black (the key; 0 for none). The
// fourth byte of a 32-bit pixel stays 0, as in every surface the game fills.
void FillRandom(Surface& s, std::mt19937& rng, int blackOneIn) {
    PixelLock lock;
    ASSERT_TRUE(s.Lock(&lock));
    const int bytes = lock.format.bits / 8;
    for (int y = 0; y < lock.height; ++y) {
        for (int x = 0; x < lock.width; ++x) {
            std::uint32_t v = rng() & (lock.format.rmask | lock.format.gmask | lock.format.bmask);
            if (v == 0 || (blackOneIn > 0 && rng() % blackOneIn == 0))
                v = blackOneIn > 0 ? 0 : 1;
            std::memcpy(lock.pixels + y * lock.pitch + x * bytes, &v, std::size_t(bytes));
        }
    }
    s.Unlock();
}

// Our row copies against SDL's own blit, which drew the game before: with
// and without the key, sources with black everywhere, nowhere, or in one
// row, any size and place.
TEST_P(SurfaceDepth, BlitsMatchSdlsBlitPixelForPixel) {
    std::mt19937 rng{unsigned(GetParam())};
    const platform::PixelFormat format = FormatForDepth(GetParam());
    for (int trial = 0; trial < 400; ++trial) {
        const int sw = 1 + int(rng() % 40), sh = 1 + int(rng() % 40);
        const int dw = 1 + int(rng() % 60), dh = 1 + int(rng() % 60);
        Surface src, ours, sdl;
        const bool keyed = rng() % 4 != 0;
        ASSERT_TRUE(src.Create(sw, sh, format, keyed));
        ASSERT_TRUE(ours.Create(dw, dh, format, false));
        ASSERT_TRUE(sdl.Create(dw, dh, format, false));
        const int kind = trial % 3;
        FillRandom(src, rng, kind == 0 ? 0 : 4);
        if (kind == 2) {
            FillRandom(src, rng, 0);
            const int row = int(rng() % unsigned(sh));
            src.FillRect({int(rng() % unsigned(sw)), row, sw, row + 1}, 0);
        }
        FillRandom(ours, rng, 5);
        SDL_Rect all{0, 0, dw, dh};
        ASSERT_EQ(SDL_LowerBlit(ours.Raw(), &all, sdl.Raw(), &all), 0);
        const int w = 1 + int(rng() % unsigned(std::min(sw, dw)));
        const int h = 1 + int(rng() % unsigned(std::min(sh, dh)));
        const int sx = int(rng() % unsigned(sw - w + 1)), sy = int(rng() % unsigned(sh - h + 1));
        const int x = int(rng() % unsigned(dw - w + 1)), y = int(rng() % unsigned(dh - h + 1));
        const bool useKey = rng() % 3 != 0;
        ASSERT_TRUE(ours.Blit(src, {sx, sy, sx + w, sy + h}, x, y, useKey));
        SDL_Rect s{sx, sy, w, h}, d{x, y, w, h};
        SDL_SetColorKey(src.Raw(), keyed && useKey ? SDL_TRUE : SDL_FALSE, 0);
        ASSERT_EQ(SDL_LowerBlit(src.Raw(), &s, sdl.Raw(), &d), 0);
        ASSERT_EQ(Pixels(ours), Pixels(sdl)) << "trial " << trial;
    }
}

// A source copied row by row while it had no black must take the key again
// once black appears in it, however it got there.
TEST_P(SurfaceDepth, KeyIsTestedAgainAfterEveryKindOfChange) {
    const platform::PixelFormat format = FormatForDepth(GetParam());
    const std::uint32_t red = platform::PackColor(format, 255, 0, 0);
    const std::uint32_t blue = platform::PackColor(format, 0, 0, 255);
    Surface src, black, dst;
    ASSERT_TRUE(src.Create(4, 2, format, true));
    ASSERT_TRUE(black.Create(4, 2, format, false));
    ASSERT_TRUE(dst.Create(4, 2, format, false));
    black.Fill(0);
    // A keyed blit of src over red: a copy of src unless black in it is skipped.
    auto copied = [&] {
        dst.Fill(red);
        EXPECT_TRUE(dst.Blit(src, {0, 0, 4, 2}, 0, 0, true));
        return Pixels(dst) == Pixels(src);
    };
    auto changes = std::vector<std::function<void()>>{
        [&] { src.Fill(0); },
        [&] {
            src.FillRect({1, 1, 2, 2}, 0);
        },
        [&] {
            EXPECT_TRUE(src.Blit(black, {0, 0, 4, 2}, 0, 0, false));
        },
        [&] {
            PixelLock lock;
            ASSERT_TRUE(src.Lock(&lock));
            std::memset(lock.pixels + lock.pitch, 0, std::size_t(lock.pitch));
            src.Unlock();
        },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        src.Fill(blue);
        EXPECT_TRUE(copied()) << i;
        EXPECT_FALSE(src.HasKeyPixels());
        changes[i]();
        EXPECT_FALSE(copied()) << i;
        EXPECT_TRUE(src.HasKeyPixels());
    }
}

// The pixels read through the SDL surface: a lock would count as a change
// and drop what the surface worked out of its pixels.
std::vector<std::uint8_t> PixelsUnlocked(const Surface& s) {
    const SDL_Surface* raw = s.Raw();
    const auto* p = static_cast<const std::uint8_t*>(raw->pixels);
    const std::size_t rowBytes = std::size_t(raw->w) * raw->format->BytesPerPixel;
    std::vector<std::uint8_t> out;
    for (int y = 0; y < raw->h; ++y)
        out.insert(out.end(), p + std::ptrdiff_t(y) * raw->pitch,
                   p + std::ptrdiff_t(y) * raw->pitch + rowBytes);
    return out;
}

// Rows of black and colour in stretches of 1 to `longest` pixels: long
// stretches make rows of runs, short ones rows tested pixel by pixel.
void FillStretches(Surface& s, std::mt19937& rng, int longest) {
    PixelLock lock;
    ASSERT_TRUE(s.Lock(&lock));
    const int bytes = lock.format.bits / 8;
    const std::uint32_t colours = lock.format.rmask | lock.format.gmask | lock.format.bmask;
    for (int y = 0; y < lock.height; ++y) {
        bool black = rng() % 2 == 0;
        for (int x = 0; x < lock.width;) {
            const int n = 1 + int(rng() % unsigned(longest));
            for (int k = 0; k < n && x < lock.width; ++k, ++x) {
                const std::uint32_t v = black ? 0 : (rng() & colours) | lock.format.bmask;
                std::memcpy(lock.pixels + y * lock.pitch + x * bytes, &v, std::size_t(bytes));
            }
            black = !black;
        }
    }
    s.Unlock();
}

// The same picture drawn again and again, cut at each of its edges as a
// clipped sprite or a glyph is, changed between drawings in every way a
// picture's pixels change: every drawing must follow the plain rule (a pixel
// that is not black replaces the target's, black leaves it).
TEST_P(SurfaceDepth, RepeatedKeyedBlitsFollowThePerPixelRuleThroughChanges) {
    std::mt19937 rng{unsigned(GetParam()) * 7u};
    const platform::PixelFormat format = FormatForDepth(GetParam());
    const int bytes = GetParam() / 8;
    const int dw = 90, dh = 50;
    Surface dst, other;
    ASSERT_TRUE(dst.Create(dw, dh, format, false));
    ASSERT_TRUE(other.Create(dw, dh, format, false));
    FillRandom(dst, rng, 0);
    for (int trial = 0; trial < 40; ++trial) {
        const int sw = 1 + int(rng() % 80), sh = 1 + int(rng() % 40);
        Surface src;
        ASSERT_TRUE(src.Create(sw, sh, format, true));
        FillStretches(src, rng, trial % 2 ? 3 : 40);
        FillStretches(other, rng, 5);
        for (int draw = 0; draw < 12; ++draw) {
            // Whole, then cut at the left, right, top, bottom, then anywhere.
            const int cut = draw % 6;
            int left = 0, top = 0, right = sw, bottom = sh;
            if (cut == 1 || cut == 5)
                left = int(rng() % unsigned(sw));
            if (cut == 2 || cut == 5)
                right = left + 1 + int(rng() % unsigned(sw - left));
            if (cut == 3 || cut == 5)
                top = int(rng() % unsigned(sh));
            if (cut == 4 || cut == 5)
                bottom = top + 1 + int(rng() % unsigned(sh - top));
            const int w = right - left, h = bottom - top;
            if (w > dw || h > dh)
                continue;
            const int x = int(rng() % unsigned(dw - w + 1)), y = int(rng() % unsigned(dh - h + 1));
            std::vector<std::uint8_t> want = PixelsUnlocked(dst);
            const std::vector<std::uint8_t> from = PixelsUnlocked(src);
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) {
                    const std::uint8_t* s =
                        &from[(std::size_t(top + r) * sw + std::size_t(left + c)) * bytes];
                    if (std::any_of(s, s + bytes, [](std::uint8_t b) { return b != 0; }))
                        std::memcpy(&want[(std::size_t(y + r) * dw + std::size_t(x + c)) * bytes],
                                    s, std::size_t(bytes));
                }
            ASSERT_TRUE(dst.Blit(src, {left, top, right, bottom}, x, y, true));
            ASSERT_EQ(PixelsUnlocked(dst), want) << "trial " << trial << " draw " << draw;
            // Changes after the picture has been drawn a few times.
            if (draw % 4 == 3) {
                const int a = int(rng() % unsigned(sw)), b = int(rng() % unsigned(sh));
                switch ((trial + draw / 4) % 4) {
                    case 0:
                        src.FillRect({a, b, sw, b + 1 + int(rng() % 3)}, 0);
                        break;
                    case 1:
                        src.FillRect({0, b, a + 1, sh}, platform::PackColor(format, 200, 10, 90));
                        break;
                    case 2:
                        FillStretches(src, rng, 1 + int(rng() % 30));
                        break;
                    default:
                        ASSERT_TRUE(src.Blit(other, {0, 0, sw - a, sh - b}, a, b, false));
                }
            }
        }
    }
}

// A rectangle outside either surface is refused, not copied.
TEST(SurfaceBlit, RefusesRectanglesOutsideEitherSurface) {
    Surface src, dst;
    ASSERT_TRUE(src.Create(8, 8, FormatForDepth(32), false));
    ASSERT_TRUE(dst.Create(8, 8, FormatForDepth(32), false));
    EXPECT_FALSE(
        dst.Blit(src, {0, 0, 9, 8}, 0, 0, false) || dst.Blit(src, {-1, 0, 4, 4}, 0, 0, false) ||
        dst.Blit(src, {0, 0, 4, 4}, 5, 0, false) || dst.Blit(src, {0, 0, 4, 4}, 0, -1, false));
    EXPECT_TRUE(dst.Blit(src, {4, 4, 8, 8}, 4, 4, false));
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
    for (const auto& [w, h] : {std::pair{0, 5}, {5, -1}, {1 << 20, 1 << 20}})
        EXPECT_FALSE(s.Create(w, h, FormatForDepth(32), false)) << w << " " << h;
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
    EXPECT_EQ(info.width * 10 + info.height, 53);
    EXPECT_EQ(std::uint8_t(bmp[info.dataOffset]), 0x08);      // B
    EXPECT_EQ(std::uint8_t(bmp[info.dataOffset + 2]), 0xF8);  // R

    ASSERT_TRUE(s.SaveImage(dir.File("shot.PNG").c_str()));
    std::string png = ReadFile(dir.File("shot.PNG"));
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_FALSE(s.SaveImage((dir.Path() + "/no/such/dir.bmp").c_str()));
}

}  // namespace
