// Shared set-up of the image fuzz targets: a small headless display, quiet
// messages, and a provider that serves the input under one name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "render/display.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "script/message.h"

class FuzzProvider : public ResourceProvider {
public:
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    const char* name = "";
    std::string fallbackBmp;  // served for every other ".bmp" name

    bool Find(const char* path, const std::uint8_t** out, std::uint32_t* outSize) const override {
        if (std::strcmp(path, name) == 0) {
            *out = data;
            *outSize = std::uint32_t(size);
            return true;
        }
        std::size_t n = std::strlen(path);
        if (!fallbackBmp.empty() && n >= 4 && std::strcmp(path + n - 4, ".bmp") == 0) {
            *out = reinterpret_cast<const std::uint8_t*>(fallbackBmp.data());
            *outSize = std::uint32_t(fallbackBmp.size());
            return true;
        }
        return false;
    }
};

inline void QuietMessage(const char*) {}

// A 24-bit w x h BMP with a pattern (no black, so colour keys are exercised too).
inline std::string PatternBmp(int w, int h) {
    auto le32 = [](std::string& s, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            s.push_back(char(v >> (8 * k)));
    };
    std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    std::string s = "BM";
    le32(s, std::uint32_t(54 + stride * h));
    le32(s, 0);
    le32(s, 54);
    le32(s, 40);
    le32(s, std::uint32_t(w));
    le32(s, std::uint32_t(h));
    s += std::string("\x01\x00\x18\x00", 4);
    for (int i = 0; i < 6; ++i)
        le32(s, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            s.push_back(char(x * 7 + 1));
            s.push_back(char(y * 5));
            s.push_back(char((x ^ y) & 0x80));
        }
        s.append(stride - std::size_t(w) * 3, '\0');
    }
    return s;
}

inline Display& FuzzDisplay() {
    static Display* display = [] {
        SetMessageDisplay(QuietMessage);
        auto* d = new Display;
        d->width = 96;
        d->height = 64;
        d->bpp = 16;
        d->Initialise(nullptr);
        return d;
    }();
    return *display;
}
