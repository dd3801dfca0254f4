#pragma once

#include <cstdint>
#include <vector>

struct SDL_Surface;

namespace platform {

// A pixel format of the drawing surfaces: 16-bit RGB565, 24-bit or 32-bit
// XRGB8888. Pixels are stored lowest byte first.
struct PixelFormat {
    int bits = 0;
    std::uint32_t rmask = 0, gmask = 0, bmask = 0;
};

PixelFormat FormatForDepth(int bits);  // 16, 24 or 32; anything else gives 32

// Pixel access while a surface is locked.
struct PixelLock {
    std::uint8_t* pixels = nullptr;
    int pitch = 0;  // bytes per row
    int width = 0, height = 0;
    PixelFormat format;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

// One row of a keyed surface's run table: the pixels that are not the key as
// runs [start, end), so that a keyed blit copies each run whole and never
// reads what lies under the picture. A row of many short runs (text, noise)
// is dense instead: copied pixel by pixel with the key test.
struct KeyRunRow {
    std::uint32_t first = 0;  // index of the row's first bound
    std::uint16_t runs = 0;
    bool dense = false;
};

// An off-screen image in a drawing format. Owns its SDL surface. Blits take
// rectangles already clipped by the caller (Picture clips with its own rules).
//   platform::Surface s;  s.Create(32, 32, platform::FormatForDepth(16), true);
class Surface {
public:
    Surface() = default;
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // A surface of w x h pixels; with colorKeyBlack, blits that ask for the key
    // skip pure black. Fails on sizes of 0 or less, or when memory runs out.
    bool Create(int w, int h, const PixelFormat& format, bool colorKeyBlack);
    void Release();
    bool IsValid() const { return surface_ != nullptr; }

    int Width() const;
    int Height() const;
    PixelFormat Format() const { return format_; }
    bool HasColorKey() const { return colorKey_; }

    // Copies src's rectangle to (x, y) of this surface; with useKey the
    // source's black pixels are skipped. The rectangle must lie inside both.
    bool Blit(const Surface& src, const Rect& srcRect, int x, int y, bool useKey);
    // Whether any pixel is the key (pure black). Worked out once after each
    // change: a picture without black is copied row by row, with no key test,
    // and one that is all black is not drawn at all.
    bool HasKeyPixels() const;

    bool Lock(PixelLock* lock);
    void Unlock();

    // Fills with a value of this surface's format (no clipping needed).
    void Fill(std::uint32_t value);
    // The same inside a rectangle, cut to the surface.
    void FillRect(const Rect& r, std::uint32_t value);

    // XOR with white: drawing the same line twice restores the pixels.
    // Points outside the surface are skipped.
    void XorLine(int x0, int y0, int x1, int y1);
    void XorOutline(const Rect& r);

    // Writes the pixels as a 24-bit BMP or (name ending in ".png") a PNG.
    bool SaveImage(const char* path);

    // For reading (present, tests). Pixels written through it bypass
    // Changed(), so the key's run table would no longer match them.
    SDL_Surface* Raw() const { return surface_; }

private:
    void XorPixel(PixelLock& lock, int x, int y);
    // Every write to the pixels (create, lock, blit or fill into this
    // surface) comes through here: what was worked out of the old pixels
    // is dropped.
    void Changed() {
        keyPixels_ = KEY_PIXELS_UNKNOWN;
        keyRunsValid_ = false;
        keyedBlitsSinceChange_ = 0;
    }

    enum KeyPixels { KEY_PIXELS_UNKNOWN, KEY_PIXELS_NONE, KEY_PIXELS_SOME, KEY_PIXELS_ALL };
    KeyPixels KeyPixelsOf() const;

    // Made at the second keyed blit after a change: a picture drawn once per
    // change (the ball) gains nothing from it.
    const KeyRunRow* KeyRunsOf() const;

    SDL_Surface* surface_ = nullptr;
    PixelFormat format_;
    bool colorKey_ = false;
    mutable KeyPixels keyPixels_ = KEY_PIXELS_UNKNOWN;
    mutable bool keyRunsValid_ = false;
    mutable int keyedBlitsSinceChange_ = 0;
    mutable std::vector<KeyRunRow> keyRows_;
    mutable std::vector<std::uint16_t> keyRunBounds_;
};

// A value of the format from 8-bit channels, and back.
std::uint32_t PackColor(const PixelFormat& f, std::uint8_t r, std::uint8_t g, std::uint8_t b);
void UnpackColor(const PixelFormat& f, std::uint32_t v, std::uint8_t* r, std::uint8_t* g,
                 std::uint8_t* b);

}  // namespace platform
