#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "render/display.h"
#include "render/picture.h"

// A 24-bit BMP file image; colour(x, y) gives 0xRRGGBB, y counted from the top.
inline std::string MakeBmp(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    auto le = [](std::string& s, std::uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k)
            s.push_back(char(v >> (8 * k)));
    };
    std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    std::string s = "BM";
    for (std::uint32_t v : {std::uint32_t(54 + stride * h), 0u, 54u, 40u, std::uint32_t(w),
                            std::uint32_t(h), 1u | 24u << 16, 0u, 0u, 0u, 0u, 0u, 0u})
        le(s, v, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            le(s, colour(x, y), 3);
        s.append(stride - std::size_t(w) * 3, '\0');
    }
    return s;
}

inline std::string SolidBmp(int w, int h, std::uint32_t rgb) {
    return MakeBmp(w, h, [rgb](int, int) { return rgb; });
}

inline std::unique_ptr<Picture> PictureFromBytes(const std::string& bytes, unsigned flags) {
    return std::make_unique<Picture>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                     bytes.size(), flags);
}

// The colour of a pixel of a picture's surface, as 0xRRGGBB.
inline std::uint32_t PixelAt(const Picture* p, int x, int y) {
    platform::PixelLock lock;
    if (!p->Surface() || !p->Surface()->Lock(&lock))
        return 0xDEADBEEF;
    int bytes = lock.format.bits / 8;
    const std::uint8_t* q = lock.pixels + std::size_t(y) * lock.pitch + std::size_t(x) * bytes;
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint32_t(q[i]) << (8 * i);
    p->Surface()->Unlock();
    std::uint8_t r, g, b;
    platform::UnpackColor(lock.format, v, &r, &g, &b);
    return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
}

struct PixelCheck {
    int x, y;
    std::uint32_t rgb;
};
inline void ExpectPixels(const Picture* p, std::initializer_list<PixelCheck> checks) {
    for (const PixelCheck& c : checks)
        EXPECT_EQ(PixelAt(p, c.x, c.y), c.rgb) << "at (" << c.x << ", " << c.y << ")";
}

// A headless display (no window) with a back surface of the given depth.
class DisplayTest : public ::testing::Test {
protected:
    void StartDisplay(int bpp, int w = 64, int h = 48) {
        display.reset();  // the new display must become the current one
        display = std::make_unique<Display>();
        display->width = w;
        display->height = h;
        display->bpp = bpp;
        ASSERT_TRUE(display->Initialise(nullptr));
    }
    void SetUp() override { StartDisplay(32); }
    void TearDown() override {
        GlobalPictureCache().Clear();
        display.reset();
    }
    Picture* Back() { return display->BackPicture(); }
    void ClearBack(std::uint32_t value = 0) { display->BackSurface()->Fill(value); }

    std::unique_ptr<Display> display;
};
