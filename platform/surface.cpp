#include "platform/surface.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace platform {

namespace {

std::uint32_t SdlFormatForDepth(int bits) {
    switch (bits) {
        case 16:
            return SDL_PIXELFORMAT_RGB565;
        case 24:
            return SDL_PIXELFORMAT_BGR24;  // bytes B, G, R: masks as a 32-bit surface
        default:
            return SDL_PIXELFORMAT_RGB888;
    }
}

int HighBit(std::uint32_t m) {
    int h = -1;
    while (m) {
        ++h;
        m >>= 1;
    }
    return h;
}

std::uint32_t ReadValue(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

void WriteValue(std::uint8_t* p, int bytes, std::uint32_t v) {
    for (int i = 0; i < bytes; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace

PixelFormat FormatForDepth(int bits) {
    PixelFormat f;
    int bpp = 0;
    std::uint32_t a = 0;
    SDL_PixelFormatEnumToMasks(SdlFormatForDepth(bits), &bpp, &f.rmask, &f.gmask, &f.bmask, &a);
    f.bits = bits == 16 || bits == 24 ? bits : 32;
    return f;
}

std::uint32_t PackColor(const PixelFormat& f, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    auto channel = [](std::uint8_t c, std::uint32_t m) -> std::uint32_t {
        if (m == 0)
            return 0;
        return ((std::uint32_t(c) << 24) >> (31 - HighBit(m))) & m;
    };
    return channel(r, f.rmask) | channel(g, f.gmask) | channel(b, f.bmask);
}

void UnpackColor(const PixelFormat& f, std::uint32_t v, std::uint8_t* r, std::uint8_t* g,
                 std::uint8_t* b) {
    auto channel = [v](std::uint32_t m) -> std::uint8_t {
        if (m == 0)
            return 0;
        return std::uint8_t(((v & m) << (31 - HighBit(m))) >> 24);
    };
    *r = channel(f.rmask);
    *g = channel(f.gmask);
    *b = channel(f.bmask);
}

Surface::~Surface() {
    Release();
}

bool Surface::Create(int w, int h, const PixelFormat& format, bool colorKeyBlack) {
    Release();
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384)
        return false;
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, format.bits, SdlFormatForDepth(format.bits));
    if (!surface_)
        return false;
    format_.bits = surface_->format->BitsPerPixel;
    format_.rmask = surface_->format->Rmask;
    format_.gmask = surface_->format->Gmask;
    format_.bmask = surface_->format->Bmask;
    colorKey_ = colorKeyBlack;
    Changed();
    if (colorKeyBlack)
        SDL_SetColorKey(surface_, SDL_TRUE, 0);
    return true;
}

void Surface::Release() {
    if (surface_)
        SDL_FreeSurface(surface_);
    surface_ = nullptr;
    colorKey_ = false;
    Changed();
    keyRows_ = {};
    keyRunBounds_ = {};
}

int Surface::Width() const {
    return surface_ ? surface_->w : 0;
}
int Surface::Height() const {
    return surface_ ? surface_->h : 0;
}

namespace {

// Copies every pixel of the rows that is not the key (0). Rows go in blocks
// of 8 pixels, each loaded, merged and stored whole through a local copy: the
// compiler makes one or two vector blends of a block whatever the width, with
// no overlap test (a plain row loop is left scalar below its vector length,
// and glyphs are 8 to 16 pixels wide).
template <int Bytes>
void CopyKeyedRows(const std::uint8_t* src, int srcPitch, std::uint8_t* dst, int dstPitch, int w,
                   int h) {
    using Pixel = std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t>;
    constexpr int kBlock = 8;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* sRow = src + std::ptrdiff_t(y) * srcPitch;
        std::uint8_t* dRow = dst + std::ptrdiff_t(y) * dstPitch;
        int x = 0;
        for (; x + kBlock <= w; x += kBlock) {
            Pixel s[kBlock], d[kBlock];
            std::memcpy(s, sRow + std::ptrdiff_t(x) * Bytes, sizeof s);
            std::memcpy(d, dRow + std::ptrdiff_t(x) * Bytes, sizeof d);
            // A mask rather than a select: the compiler vectorises it.
            for (int k = 0; k < kBlock; ++k)
                d[k] = s[k] | (d[k] & Pixel(-Pixel(s[k] == 0)));
            std::memcpy(dRow + std::ptrdiff_t(x) * Bytes, d, sizeof d);
        }
        for (; x < w; ++x) {
            Pixel s;
            std::memcpy(&s, sRow + std::ptrdiff_t(x) * Bytes, Bytes);
            if (s != 0)
                std::memcpy(dRow + std::ptrdiff_t(x) * Bytes, &s, Bytes);
        }
    }
}

template <>
void CopyKeyedRows<3>(const std::uint8_t* src, int srcPitch, std::uint8_t* dst, int dstPitch, int w,
                      int h) {
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src + std::ptrdiff_t(y) * srcPitch;
        std::uint8_t* d = dst + std::ptrdiff_t(y) * dstPitch;
        for (int x = 0; x < 3 * w; x += 3) {
            if (s[x] | s[x + 1] | s[x + 2]) {
                d[x] = s[x];
                d[x + 1] = s[x + 1];
                d[x + 2] = s[x + 2];
            }
        }
    }
}

// Copies n bytes (at least 2) in fixed-size pieces, the last one ending at n
// and overlapping the one before: the compiler turns each piece into one
// load and one store, where a memcpy call costs more than a sprite's row.
inline void CopyRun(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    auto piece = [&](auto size) {
        constexpr std::size_t k = decltype(size)::value;
        std::size_t i = 0;
        for (; i + k < n; i += k)
            std::memcpy(d + i, s + i, k);
        std::memcpy(d + n - k, s + n - k, k);
    };
    if (n >= 16)
        piece(std::integral_constant<std::size_t, 16>{});
    else if (n >= 8)
        piece(std::integral_constant<std::size_t, 8>{});
    else if (n >= 4)
        piece(std::integral_constant<std::size_t, 4>{});
    else
        piece(std::integral_constant<std::size_t, 2>{});
}

// The same through the source's run table: each run that meets the columns
// [left, left + w) is copied whole, so the target is only written, never read.
// src and dst point at the rectangle's first row, src at column 0.
template <int Bytes>
void CopyKeyRuns(const std::uint8_t* src, int srcPitch, std::uint8_t* dst, int dstPitch, int left,
                 int w, int h, const KeyRunRow* rows, const std::uint16_t* bounds) {
    const int right = left + w;
    int y = 0;
    while (y < h) {
        const std::uint8_t* s = src + std::ptrdiff_t(y) * srcPitch;
        std::uint8_t* d = dst + std::ptrdiff_t(y) * dstPitch;
        if (rows[y].dense) {
            // Dense rows come in stretches (a line of text): one row loop.
            int end = y + 1;
            while (end < h && rows[end].dense)
                ++end;
            CopyKeyedRows<Bytes>(s + std::ptrdiff_t(left) * Bytes, srcPitch, d, dstPitch, w,
                                 end - y);
            y = end;
            continue;
        }
        const std::uint16_t* b = bounds + rows[y].first;
        const std::uint16_t* last = b + 2 * rows[y].runs;
        for (; b != last && b[0] < right; b += 2) {
            const int start = b[0] > left ? b[0] : left;
            const int end = b[1] < right ? b[1] : right;
            if (start < end)
                CopyRun(d + std::ptrdiff_t(start - left) * Bytes, s + std::ptrdiff_t(start) * Bytes,
                        std::size_t(end - start) * Bytes);
        }
        ++y;
    }
}

// A row keeps its runs while they average at least this many pixels; below
// that copying run by run costs more than the key test over the row.
constexpr int kMinRunPixels = 4;
// A rectangle narrower than this (a glyph) is a vector blend or two a row:
// cheaper than looking its runs up.
constexpr int kNarrowBlit = 16;

// Calls f with the pixel size, 2, 3 or 4 bytes, as a constant: each size gets
// loops of its own.
template <typename F>
void WithPixelBytes(int bytes, F&& f) {
    switch (bytes) {
        case 2:
            f(std::integral_constant<int, 2>{});
            break;
        case 3:
            f(std::integral_constant<int, 3>{});
            break;
        default:
            f(std::integral_constant<int, 4>{});
    }
}

template <int Bytes>
bool IsKeyPixel(const std::uint8_t* row, int x) {
    const std::uint8_t* p = row + std::ptrdiff_t(x) * Bytes;
    if constexpr (Bytes == 3) {
        return (p[0] | p[1] | p[2]) == 0;
    } else {
        std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t> v;
        std::memcpy(&v, p, Bytes);
        return v == 0;
    }
}

template <int Bytes>
void FindKeyRuns(const std::uint8_t* pixels, int pitch, int w, int h, std::vector<KeyRunRow>& rows,
                 std::vector<std::uint16_t>& bounds) {
    rows.resize(std::size_t(h));
    bounds.clear();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = pixels + std::ptrdiff_t(y) * pitch;
        KeyRunRow& row = rows[std::size_t(y)];
        row = {std::uint32_t(bounds.size()), 0, false};
        int runs = 0, opaque = 0, x = 0;
        while (x < w) {
            while (x < w && IsKeyPixel<Bytes>(p, x))
                ++x;
            if (x == w)
                break;
            const int start = x;
            while (x < w && !IsKeyPixel<Bytes>(p, x))
                ++x;
            bounds.push_back(std::uint16_t(start));
            bounds.push_back(std::uint16_t(x));
            ++runs;
            opaque += x - start;
        }
        if (opaque < runs * kMinRunPixels) {
            bounds.resize(row.first);
            row.dense = true;
        } else {
            row.runs = std::uint16_t(runs);  // at most 8192: widths stop at 16384
        }
    }
}

template <typename Pixel>
std::size_t CountZeroPixels(const std::uint8_t* pixels, int pitch, int w, int h) {
    std::size_t zeros = 0;
    for (int y = 0; y < h; ++y) {
        const Pixel* row = reinterpret_cast<const Pixel*>(pixels + std::ptrdiff_t(y) * pitch);
        unsigned rowZeros = 0;
        for (int x = 0; x < w; ++x)
            rowZeros += row[x] == 0;
        zeros += rowZeros;
    }
    return zeros;
}

std::size_t CountZeroPixels24(const std::uint8_t* pixels, int pitch, int w, int h) {
    std::size_t zeros = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = pixels + std::ptrdiff_t(y) * pitch;
        for (int x = 0; x < 3 * w; x += 3)
            zeros += (row[x] | row[x + 1] | row[x + 2]) == 0;
    }
    return zeros;
}

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.bits == b.bits && a.rmask == b.rmask && a.gmask == b.gmask && a.bmask == b.bmask;
}

}  // namespace

Surface::KeyPixels Surface::KeyPixelsOf() const {
    if (keyPixels_ == KEY_PIXELS_UNKNOWN && surface_) {
        const auto* p = static_cast<const std::uint8_t*>(surface_->pixels);
        const int pitch = surface_->pitch, w = surface_->w, h = surface_->h;
        std::size_t zeros = 0;
        switch (format_.bits) {
            case 16:
                zeros = CountZeroPixels<std::uint16_t>(p, pitch, w, h);
                break;
            case 24:
                zeros = CountZeroPixels24(p, pitch, w, h);
                break;
            default:
                zeros = CountZeroPixels<std::uint32_t>(p, pitch, w, h);
        }
        keyPixels_ = zeros == 0                                 ? KEY_PIXELS_NONE
                     : zeros == std::size_t(w) * std::size_t(h) ? KEY_PIXELS_ALL
                                                                : KEY_PIXELS_SOME;
    }
    return keyPixels_;
}

const KeyRunRow* Surface::KeyRunsOf() const {
    if (!keyRunsValid_ && surface_) {
        const auto* p = static_cast<const std::uint8_t*>(surface_->pixels);
        const int pitch = surface_->pitch, w = surface_->w, h = surface_->h;
        WithPixelBytes(format_.bits / 8, [&](auto bytes) {
            FindKeyRuns<bytes()>(p, pitch, w, h, keyRows_, keyRunBounds_);
        });
        keyRunsValid_ = true;
    }
    return keyRows_.data();
}

bool Surface::HasKeyPixels() const {
    if (!surface_)
        return false;
    return KeyPixelsOf() != KEY_PIXELS_NONE;
}

bool Surface::Blit(const Surface& src, const Rect& srcRect, int x, int y, bool useKey) {
    if (!surface_ || !src.surface_)
        return false;
    const int w = srcRect.right - srcRect.left, h = srcRect.bottom - srcRect.top;
    if (w <= 0 || h <= 0)
        return true;
    if (srcRect.left < 0 || srcRect.top < 0 || srcRect.right > src.surface_->w ||
        srcRect.bottom > src.surface_->h || x < 0 || y < 0 || w > surface_->w - x ||
        h > surface_->h - y)
        return false;
    const bool keyed = useKey && src.colorKey_;
    // A keyed picture that is all key (a sprite's empty frame) draws nothing.
    if (keyed && &src != this && src.KeyPixelsOf() == KEY_PIXELS_ALL)
        return true;
    Changed();
    if (&src == this || !SameFormat(src.format_, format_)) {
        // Onto itself (rows may overlap) or between formats: SDL's blit
        // knows both. The game never does either.
        SDL_Rect s{srcRect.left, srcRect.top, w, h};
        SDL_Rect d{x, y, w, h};
        bool toggle = src.colorKey_ && !useKey;
        if (toggle)
            SDL_SetColorKey(src.surface_, SDL_FALSE, 0);
        int rc = SDL_LowerBlit(src.surface_, &s, surface_, &d);
        if (toggle)
            SDL_SetColorKey(src.surface_, SDL_TRUE, 0);
        return rc == 0;
    }
    const int bytes = format_.bits / 8;
    const int srcPitch = src.surface_->pitch, dstPitch = surface_->pitch;
    const std::uint8_t* s = static_cast<const std::uint8_t*>(src.surface_->pixels) +
                            std::ptrdiff_t(srcRect.top) * srcPitch +
                            std::ptrdiff_t(srcRect.left) * bytes;
    std::uint8_t* d = static_cast<std::uint8_t*>(surface_->pixels) + std::ptrdiff_t(y) * dstPitch +
                      std::ptrdiff_t(x) * bytes;
    if (!keyed || src.KeyPixelsOf() == KEY_PIXELS_NONE) {
        const std::size_t rowBytes = std::size_t(w) * std::size_t(bytes);
        if (std::size_t(srcPitch) == rowBytes && std::size_t(dstPitch) == rowBytes) {
            // Whole rows of both (the full-screen picture): one block.
            std::memcpy(d, s, rowBytes * std::size_t(h));
            return true;
        }
        for (int row = 0; row < h; ++row)
            std::memcpy(d + std::ptrdiff_t(row) * dstPitch, s + std::ptrdiff_t(row) * srcPitch,
                        rowBytes);
        return true;
    }
    if (src.keyedBlitsSinceChange_ < 2)
        ++src.keyedBlitsSinceChange_;
    if (src.keyedBlitsSinceChange_ < 2 || w < kNarrowBlit) {
        WithPixelBytes(bytes,
                       [&](auto size) { CopyKeyedRows<size()>(s, srcPitch, d, dstPitch, w, h); });
        return true;
    }
    const KeyRunRow* rows = src.KeyRunsOf() + srcRect.top;
    const std::uint16_t* bounds = src.keyRunBounds_.data();
    const std::uint8_t* sRow = s - std::ptrdiff_t(srcRect.left) * bytes;
    WithPixelBytes(bytes, [&](auto size) {
        CopyKeyRuns<size()>(sRow, srcPitch, d, dstPitch, srcRect.left, w, h, rows, bounds);
    });
    return true;
}

bool Surface::Lock(PixelLock* lock) {
    if (!surface_ || SDL_LockSurface(surface_) != 0)
        return false;
    // The holder of the lock may write anything.
    Changed();
    lock->pixels = static_cast<std::uint8_t*>(surface_->pixels);
    lock->pitch = surface_->pitch;
    lock->width = surface_->w;
    lock->height = surface_->h;
    lock->format = format_;
    return true;
}

void Surface::Unlock() {
    if (surface_)
        SDL_UnlockSurface(surface_);
}

namespace {

template <typename Pixel>
void FillRows(std::uint8_t* first, int pitch, int w, int h, Pixel value) {
    for (int y = 0; y < h; ++y) {
        Pixel* row = reinterpret_cast<Pixel*>(first + std::ptrdiff_t(y) * pitch);
        for (int x = 0; x < w; ++x)
            row[x] = value;
    }
}

void FillRows24(std::uint8_t* first, int pitch, int w, int h, std::uint32_t value) {
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = first + std::ptrdiff_t(y) * pitch;
        for (int x = 0; x < 3 * w; x += 3)
            WriteValue(row + x, 3, value);
    }
}

}  // namespace

void Surface::Fill(std::uint32_t value) {
    FillRect({0, 0, Width(), Height()}, value);
}

void Surface::FillRect(const Rect& r, std::uint32_t value) {
    if (!surface_)
        return;
    const int w = surface_->w, h = surface_->h;
    const int left = r.left < 0 ? 0 : r.left > w ? w : r.left;
    const int right = r.right < 0 ? 0 : r.right > w ? w : r.right;
    const int top = r.top < 0 ? 0 : r.top > h ? h : r.top;
    const int bottom = r.bottom < 0 ? 0 : r.bottom > h ? h : r.bottom;
    if (right <= left || bottom <= top)
        return;
    Changed();
    // Plain stores: SDL's fill writes past the cache, and the frame's
    // drawing reads these rows again at once.
    const int bytes = format_.bits / 8;
    std::uint8_t* first = static_cast<std::uint8_t*>(surface_->pixels) +
                          std::ptrdiff_t(top) * surface_->pitch + std::ptrdiff_t(left) * bytes;
    const int fw = right - left, fh = bottom - top;
    const std::uint8_t low = std::uint8_t(value);
    bool sameBytes = true;
    for (int k = 1; k < bytes; ++k)
        sameBytes = sameBytes && std::uint8_t(value >> (8 * k)) == low;
    if (sameBytes) {
        // Black (the usual fill) and white: each row is one memset.
        for (int y = 0; y < fh; ++y)
            std::memset(first + std::ptrdiff_t(y) * surface_->pitch, low,
                        std::size_t(fw) * std::size_t(bytes));
        return;
    }
    switch (bytes) {
        case 2:
            FillRows<std::uint16_t>(first, surface_->pitch, fw, fh, std::uint16_t(value));
            break;
        case 3:
            FillRows24(first, surface_->pitch, fw, fh, value);
            break;
        case 4:
            FillRows<std::uint32_t>(first, surface_->pitch, fw, fh, value);
            break;
        default:
            FillRows<std::uint8_t>(first, surface_->pitch, fw, fh, std::uint8_t(value));
    }
}

void Surface::XorPixel(PixelLock& lock, int x, int y) {
    if (x < 0 || y < 0 || x >= lock.width || y >= lock.height)
        return;
    int bytes = lock.format.bits / 8;
    std::uint8_t* p = lock.pixels + std::size_t(y) * lock.pitch + std::size_t(x) * bytes;
    std::uint32_t white = lock.format.rmask | lock.format.gmask | lock.format.bmask;
    WriteValue(p, bytes, ReadValue(p, bytes) ^ white);
}

void Surface::XorLine(int x0, int y0, int x1, int y1) {
    PixelLock lock;
    if (!Lock(&lock))
        return;
    // Bresenham; the end point is excluded so that joined lines meet once.
    int dx = x1 > x0 ? x1 - x0 : x0 - x1, sx = x0 < x1 ? 1 : -1;
    int dy = y1 > y0 ? y0 - y1 : y1 - y0, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        XorPixel(lock, x0, y0);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    Unlock();
}

void Surface::XorOutline(const Rect& r) {
    XorLine(r.left, r.top, r.right, r.top);
    XorLine(r.right, r.top, r.right, r.bottom);
    XorLine(r.right, r.bottom, r.left, r.bottom);
    XorLine(r.left, r.bottom, r.left, r.top);
}

namespace {

void Put16(std::string& s, std::uint32_t v) {
    s.push_back(char(v));
    s.push_back(char(v >> 8));
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v);
    Put16(s, v >> 16);
}
void Put32BE(std::string& s, std::uint32_t v) {
    for (int i = 3; i >= 0; --i)
        s.push_back(char(v >> (8 * i)));
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
    Put32BE(out, std::uint32_t(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    Put32BE(out, Crc32(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()));
}

// RGB rows top-down -> PNG with stored (uncompressed) deflate blocks: no zlib needed.
std::string EncodePng(const std::vector<std::uint8_t>& rgb, int w, int h) {
    std::string raw;
    raw.reserve(std::size_t(h) * (std::size_t(w) * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        raw.append(reinterpret_cast<const char*>(rgb.data()) + std::size_t(y) * w * 3,
                   std::size_t(w) * 3);
    }
    std::string z = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    std::size_t pos = 0;
    do {
        std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        Put16(z, std::uint32_t(n));
        Put16(z, std::uint32_t(~n & 0xFFFF));
        z.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    Put32BE(z, (b << 16) | a);

    std::string out = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    Put32BE(ihdr, std::uint32_t(w));
    Put32BE(ihdr, std::uint32_t(h));
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", z);
    PngChunk(out, "IEND", "");
    return out;
}

std::string EncodeBmp(const std::vector<std::uint8_t>& rgb, int w, int h) {
    std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    std::string out;
    out += "BM";
    Put32(out, std::uint32_t(54 + stride * h));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, std::uint32_t(w));
    Put32(out, std::uint32_t(h));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, std::uint32_t(stride * h));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const std::uint8_t* row = rgb.data() + std::size_t(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            out.push_back(char(row[x * 3 + 2]));
            out.push_back(char(row[x * 3 + 1]));
            out.push_back(char(row[x * 3]));
        }
        out.append(stride - std::size_t(w) * 3, '\0');
    }
    return out;
}

}  // namespace

bool Surface::SaveImage(const char* path) {
    PixelLock lock;
    if (!path || !Lock(&lock))
        return false;
    int w = lock.width, h = lock.height, bytes = lock.format.bits / 8;
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = lock.pixels + std::size_t(y) * lock.pitch;
        for (int x = 0; x < w; ++x) {
            std::uint8_t* o = &rgb[(std::size_t(y) * w + x) * 3];
            UnpackColor(lock.format, ReadValue(row + x * bytes, bytes), &o[0], &o[1], &o[2]);
        }
    }
    Unlock();
    std::size_t len = std::strlen(path);
    bool png = len >= 4 && SDL_strcasecmp(path + len - 4, ".png") == 0;
    std::string data = png ? EncodePng(rgb, w, h) : EncodeBmp(rgb, w, h);
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace platform
