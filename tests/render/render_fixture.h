#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "render/display.h"
#include "render/picture.h"

// A 24-bit BMP file image; colour(x, y) gives 0xRRGGBB, y counted from the top.
inline std::string MakeBmp(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    auto le32 = [](std::string& s, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            s.push_back(char(v >> (8 * k)));
    };
    auto le16 = [](std::string& s, std::uint32_t v) {
        s.push_back(char(v));
        s.push_back(char(v >> 8));
    };
    std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    std::string s = "BM";
    le32(s, std::uint32_t(54 + stride * h));
    le32(s, 0);
    le32(s, 54);
    le32(s, 40);
    le32(s, std::uint32_t(w));
    le32(s, std::uint32_t(h));
    le16(s, 1);
    le16(s, 24);
    for (int i = 0; i < 6; ++i)
        le32(s, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            std::uint32_t c = colour(x, y);
            s.push_back(char(c));
            s.push_back(char(c >> 8));
            s.push_back(char(c >> 16));
        }
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
