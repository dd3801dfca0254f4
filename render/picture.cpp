#include "render/picture.h"

#include "render/cache_entries.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "render/display.h"
#include "script/file_access.h"
#include "script/message.h"

namespace {

// Bigger images are refused: nothing of the game comes near, and the size
// check keeps a hostile header from asking for gigabytes.
constexpr int kMaxDimension = 16384;

std::vector<std::uint8_t>& LoadBuffer() {
    static std::vector<std::uint8_t> buffer(800 * 600 * 3 + 64);
    return buffer;
}

std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

int HighBit(std::uint32_t m) {
    int h = -1;
    while (m) {
        ++h;
        m >>= 1;
    }
    return h;
}

// Shifts that move an 8-bit channel into a mask and back, worked out once
// per conversion rather than per pixel.
struct ChannelShifts {
    std::uint32_t rmask, gmask, bmask;
    int rshift, gshift, bshift;  // 31 - highest bit of the mask

    explicit ChannelShifts(const platform::PixelFormat& f)
        : rmask(f.rmask),
          gmask(f.gmask),
          bmask(f.bmask),
          rshift(Shift(f.rmask)),
          gshift(Shift(f.gmask)),
          bshift(Shift(f.bmask)) {}
    static int Shift(std::uint32_t mask) { return mask ? 31 - HighBit(mask) : 31; }
    // 32-bit XRGB: a surface value is the pixel itself.
    bool IsXrgb() const { return rmask == 0xFF0000 && gmask == 0xFF00 && bmask == 0xFF; }
    // 0x00RRGGBB -> surface value.
    std::uint32_t Pack(std::uint32_t rgb) const {
        std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        return (((r << 24) >> rshift) & rmask) | (((g << 24) >> gshift) & gmask) |
               (((b << 24) >> bshift) & bmask);
    }
    // surface value -> 0x00RRGGBB.
    std::uint32_t Unpack(std::uint32_t v) const {
        std::uint32_t r = ((v & rmask) << rshift) >> 24;
        std::uint32_t g = ((v & gmask) << gshift) >> 24;
        std::uint32_t b = ((v & bmask) << bshift) >> 24;
        return r << 16 | g << 8 | b;
    }
};

// One row between 32-bit pixels and a surface row. The pixel size is chosen
// once per row, never per pixel, so the compiler can vectorise each loop.
template <typename Pixel>
void PackRow(ChannelShifts cs, const std::uint32_t* src, std::uint8_t* row, int w) {
    Pixel* out = reinterpret_cast<Pixel*>(row);
    for (int x = 0; x < w; ++x)
        out[x] = Pixel(cs.Pack(src[x]));
}

void PackRow24(ChannelShifts cs, const std::uint32_t* src, std::uint8_t* row, int w) {
    for (int x = 0; x < w; ++x) {
        std::uint32_t v = cs.Pack(src[x]);
        row[3 * x] = std::uint8_t(v);
        row[3 * x + 1] = std::uint8_t(v >> 8);
        row[3 * x + 2] = std::uint8_t(v >> 16);
    }
}

void PackRowTo(const ChannelShifts& cs, int bytes, const std::uint32_t* src, std::uint8_t* row,
               int w) {
    switch (bytes) {
        case 4:
            if (cs.IsXrgb()) {
                auto* out = reinterpret_cast<std::uint32_t*>(row);
                for (int x = 0; x < w; ++x)
                    out[x] = src[x] & 0xFFFFFFu;
            } else {
                PackRow<std::uint32_t>(cs, src, row, w);
            }
            break;
        case 3:
            PackRow24(cs, src, row, w);
            break;
        case 2:
            PackRow<std::uint16_t>(cs, src, row, w);
            break;
        default:
            PackRow<std::uint8_t>(cs, src, row, w);
    }
}

// The fourth byte of each kept pixel stays as it was.
template <typename Pixel>
void UnpackRow(ChannelShifts cs, const std::uint8_t* row, std::uint32_t* out, int w) {
    const Pixel* in = reinterpret_cast<const Pixel*>(row);
    for (int x = 0; x < w; ++x)
        out[x] = (out[x] & 0xFF000000u) | cs.Unpack(in[x]);
}

void UnpackRow24(ChannelShifts cs, const std::uint8_t* row, std::uint32_t* out, int w) {
    for (int x = 0; x < w; ++x) {
        std::uint32_t v = std::uint32_t(row[3 * x]) | std::uint32_t(row[3 * x + 1]) << 8 |
                          std::uint32_t(row[3 * x + 2]) << 16;
        out[x] = (out[x] & 0xFF000000u) | cs.Unpack(v);
    }
}

void UnpackRowFrom(const ChannelShifts& cs, int bytes, const std::uint8_t* row, std::uint32_t* out,
                   int w) {
    switch (bytes) {
        case 4:
            if (cs.IsXrgb()) {
                const auto* in = reinterpret_cast<const std::uint32_t*>(row);
                for (int x = 0; x < w; ++x)
                    out[x] = (out[x] & 0xFF000000u) | (in[x] & 0xFFFFFFu);
            } else {
                UnpackRow<std::uint32_t>(cs, row, out, w);
            }
            break;
        case 3:
            UnpackRow24(cs, row, out, w);
            break;
        case 2:
            UnpackRow<std::uint16_t>(cs, row, out, w);
            break;
        default:
            UnpackRow<std::uint8_t>(cs, row, out, w);
    }
}

// Fills a surface from 32-bit top-down pixels.
bool FillSurface(platform::Surface* surface, const std::uint32_t* pixels, int width, int height) {
    platform::PixelLock lock;
    if (!surface->Lock(&lock))
        return false;
    const ChannelShifts cs(lock.format);
    const int bytes = lock.format.bits / 8;
    const int w = std::min(width, lock.width), h = std::min(height, lock.height);
    for (int y = 0; y < h; ++y)
        PackRowTo(cs, bytes, pixels + std::size_t(y) * width,
                  lock.pixels + std::size_t(y) * lock.pitch, w);
    surface->Unlock();
    return true;
}

// One BMP file row (B, G, R bytes) as 32-bit pixels.
void FileRowToPixels(const std::uint8_t* row, std::uint32_t* out, int w) {
    for (int x = 0; x < w; ++x)
        out[x] = std::uint32_t(row[x * 3]) | std::uint32_t(row[x * 3 + 1]) << 8 |
                 std::uint32_t(row[x * 3 + 2]) << 16;
}

std::string LowerCopy(const char* s) {
    std::string out(s ? s : "");
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

}  // namespace

std::uint8_t* LoadBufferFor(std::size_t size) {
    std::vector<std::uint8_t>& buffer = LoadBuffer();
    if (buffer.size() < size)
        buffer.resize(size);
    return buffer.data();
}

bool DecodeBmpHeader(const std::uint8_t* bytes, std::size_t size, BmpInfo* info) {
    static const char* kName = "_fileName";
    if (size < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        ReportMessage("the '%s' may not be of BMP format ?!", kName);
        return false;
    }
    if (Read32(bytes + 30) != 0) {
        ReportMessage("the '%s' is compressed (unsupported now) !", kName);
        return false;
    }
    std::int32_t width = std::int32_t(Read32(bytes + 18));
    std::int32_t height = std::int32_t(Read32(bytes + 22));
    std::uint16_t bitCount = std::uint16_t(bytes[28] | bytes[29] << 8);
    std::uint32_t offset = Read32(bytes + 10);
    if (bitCount != 24 || width <= 0 || height <= 0 || width > kMaxDimension ||
        height > kMaxDimension) {
        ReportMessage("'%s' have unsupported format !", kName);
        return false;
    }
    std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    // The last row need not carry its padding.
    std::size_t need = stride * std::size_t(height - 1) + std::size_t(width) * 3;
    if (offset < 14 || offset > size || size - offset < need) {
        ReportMessage("'%s' have unsupported format !", kName);
        return false;
    }
    info->width = width;
    info->height = height;
    info->dataOffset = offset;
    info->stride = stride;
    return true;
}

// ---------------------------------------------------------------------------

Picture::Picture(const char* fileName, unsigned f) {
    Register();
    flags = f;
    if (!ReadByExtension(fileName)) {
        ReportMessage("Failed to load %s !", fileName ? fileName : "");
    } else if (flags & PICTURE_SURFACE) {
        if (!CreateSurface())
            ReportMessage("Failed to create surface for %s !", name.c_str());
    }
    KeepForRebuild();
    loaded = true;
}

Picture::Picture(const std::uint8_t* data, std::size_t size, unsigned f) {
    Register();
    flags = f;
    std::uint8_t* buffer = LoadBufferFor(size);
    if (size > 0 && data)
        std::memmove(buffer, data, size);
    if (!data || !Decode(buffer, size)) {
        ReportMessage("Failed to load from memory - unsupported format...");
        ReportMessage("Failed to load from memory !");
    } else if (flags & PICTURE_SURFACE) {
        if (!CreateSurface())
            ReportMessage("Failed to create surface!");
    }
    KeepForRebuild();
    loaded = true;
}

Picture::Picture(int w, int h, unsigned f) {
    Register();
    flags = f | PICTURE_KEEPPIXELS;
    if (w > 0 && h > 0 && w <= kMaxDimension && h <= kMaxDimension) {
        width = w;
        height = h;
        kept.assign(std::size_t(w) * h, 0xFFFFFFFFu);
        hasImage = true;
    }
    if (!CreateSurface())
        ReportMessage("Failed to create surface for unnamed texture !");
    loaded = true;
}

Picture::Picture(platform::Surface* wrapped) {
    Register();
    ownsSurface = false;
    surface = wrapped;
    if (wrapped) {
        width = wrapped->Width();
        height = wrapped->Height();
    }
    loaded = true;
}

Picture::~Picture() {
    if (Display* d = CurrentDisplay())
        d->UnregisterPicture(this);
    ReleaseSurface();
}

void Picture::Register() {
    if (Display* d = CurrentDisplay())
        d->RegisterPicture(this);
}

void Picture::KeepForRebuild() {
    // The load buffer is overwritten by the next image: a picture that can't
    // be read again from its file keeps its own copy for a later rebuild.
    if (pixelsInFile && kept.empty() && (name.empty() || !HasSurface())) {
        rebuildCopy.resize(std::size_t(width) * height);
        for (int y = 0; y < height; ++y) {
            FileRowToPixels(fileRows + std::size_t(height - 1 - y) * fileStride,
                            rebuildCopy.data() + std::size_t(y) * width, width);
        }
    }
    pixelsInFile = false;
    fileRows = nullptr;
}

bool Picture::ReadByExtension(const char* fileName) {
    name = fileName ? fileName : "";
    std::string ext = LowerCopy(PathExtensionOf(name.c_str()));
    if (ext == ".bmp")
        return ReadBmpFile(name.c_str());
    if (ext == ".tga" || ext == ".targa")
        return false;
    ReportMessage("Failed to load '%s' - unsupported format...", name.c_str());
    return false;
}

const char* Picture::PathExtensionOf(const char* path) {
    const char* dot = nullptr;
    for (const char* p = path; *p; ++p) {
        if (*p == '.')
            dot = p;
        if (*p == '/' || *p == '\\')
            dot = nullptr;
    }
    return dot ? dot : "";
}

bool Picture::ReadBmpFile(const char* fileName) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    std::uint8_t* buffer = nullptr;
    std::size_t length = 0;
    if (FindResource(fileName, &data, &size)) {
        buffer = LoadBufferFor(size);
        if (size > 0)
            std::memcpy(buffer, data, size);
        length = size;
    } else {
        std::FILE* f = OpenLooseFile(fileName, "rb");
        if (!f)
            return false;
        long fileLength = -1;
        if (std::fseek(f, 0, SEEK_END) == 0)
            fileLength = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        if (fileLength <= 54) {
            std::fclose(f);
            ReportMessage("'%s' seems to be invalid !", fileName);
            return false;
        }
        buffer = LoadBufferFor(std::size_t(fileLength));
        length = std::fread(buffer, 1, std::size_t(fileLength), f);
        std::fclose(f);
        if (length != std::size_t(fileLength)) {
            ReportMessage("can't read data from '%s' !", fileName);
            return false;
        }
    }
    if (!Decode(buffer, length)) {
        ReportMessage("'%s' - Loading failed", fileName);
        return false;
    }
    return true;
}

bool Picture::Decode(const std::uint8_t* bytes, std::size_t size) {
    BmpInfo info;
    if (!DecodeBmpHeader(bytes, size, &info))
        return false;
    width = info.width;
    height = info.height;
    hasImage = true;
    const std::uint8_t* rows = bytes + info.dataOffset;
    if (flags & PICTURE_KEEPPIXELS) {
        kept.resize(std::size_t(width) * height);
        for (int y = 0; y < height; ++y) {
            FileRowToPixels(rows + std::size_t(height - 1 - y) * info.stride,
                            kept.data() + std::size_t(y) * width, width);
        }
        pixelsInFile = false;
        fileRows = nullptr;
    } else {
        kept.clear();
        pixelsInFile = true;
        fileRows = rows;
        fileStride = info.stride;
    }
    rebuildCopy.clear();
    return true;
}

bool Picture::CreateSurface() {
    if (!ownsSurface)
        return true;
    Display* d = CurrentDisplay();
    if (!d || !d->IsInitialised() || width <= 0 || height <= 0)
        return false;
    ReleaseSurface();
    auto created = std::make_unique<platform::Surface>();
    if (!created->Create(width, height, d->Format(), (flags & PICTURE_TRANSPARENT) != 0))
        return false;
    surface = created.release();
    bool filled = true;
    if (pixelsInFile && fileRows)
        filled = FillFromFileRows();
    else if (!kept.empty())
        filled = FillSurface(surface, kept.data(), width, height);
    else if (!rebuildCopy.empty())
        filled = FillSurface(surface, rebuildCopy.data(), width, height);
    if (!filled) {
        ReleaseSurface();
        return false;
    }
    return true;
}

bool Picture::FillFromFileRows() {
    platform::PixelLock lock;
    if (!surface->Lock(&lock))
        return false;
    const ChannelShifts cs(lock.format);
    const int bytes = lock.format.bits / 8;
    const int w = std::min(width, lock.width);
    std::vector<std::uint32_t> line(std::size_t(w > 0 ? w : 0));
    for (int y = 0; y < height && y < lock.height; ++y) {
        FileRowToPixels(fileRows + std::size_t(height - 1 - y) * fileStride, line.data(), w);
        PackRowTo(cs, bytes, line.data(), lock.pixels + std::size_t(y) * lock.pitch, w);
    }
    surface->Unlock();
    return true;
}

bool Picture::ReleaseSurface() {
    if (ownsSurface && surface) {
        delete surface;
        surface = nullptr;
    }
    return true;
}

bool Picture::Rebuild() {
    if (!ownsSurface)
        return true;
    // A picture that never held an image has nothing to rebuild; it must not
    // stop the display from rebuilding the others.
    if (!hasImage)
        return true;
    if (!name.empty() && rebuildCopy.empty()) {
        FixedString<260> file = name;
        if (!ReadByExtension(file.c_str()))
            return false;
    }
    bool ok = CreateSurface();
    KeepForRebuild();
    return ok;
}

bool Picture::ReadBack() {
    if (!HasSurface())
        return false;
    platform::PixelLock lock;
    if (!surface->Lock(&lock))
        return false;
    if (kept.size() != std::size_t(width) * height)
        kept.assign(std::size_t(width) * height, 0);
    const ChannelShifts cs(lock.format);
    const int bytes = lock.format.bits / 8;
    const int w = std::min(width, lock.width), h = std::min(height, lock.height);
    for (int y = 0; y < h; ++y)
        UnpackRowFrom(cs, bytes, lock.pixels + std::size_t(y) * lock.pitch,
                      kept.data() + std::size_t(y) * width, w);
    surface->Unlock();
    return true;
}

bool Picture::Upload() {
    if (!HasSurface() || kept.size() != std::size_t(width) * height)
        return false;
    return FillSurface(surface, kept.data(), width, height);
}

namespace {

void BlitClipped(const Picture& src, Picture* target, int x, int y, PictureRect s) {
    if (!target || !target->HasSurface() || !src.HasSurface())
        return;
    long long tw = target->Surface()->Width(), th = target->Surface()->Height();
    long long dx = x, dy = y;
    long long left = s.left, top = s.top, right = s.right, bottom = s.bottom;
    if (dx < 0) {
        left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        top -= dy;
        dy = 0;
    }
    if (dx + (right - left) > tw)
        right -= dx + (right - left) - tw;
    if (dy + (bottom - top) > th)
        bottom -= dy + (bottom - top) - th;
    if (right <= left || bottom <= top)
        return;
    platform::Rect r{int(left), int(top), int(right), int(bottom)};
    target->Surface()->Blit(*src.Surface(), r, int(dx), int(dy),
                            (src.Flags() & PICTURE_TRANSPARENT) != 0);
}

}  // namespace

bool Picture::DrawsEveryPixel() const {
    if (!HasSurface())
        return false;
    return (flags & PICTURE_TRANSPARENT) == 0 || !surface->HasColorKey() ||
           !surface->HasKeyPixels();
}

void Picture::Draw(Picture* target, int x, int y) const {
    BlitClipped(*this, target, x, y, {0, 0, width, height});
}

void Picture::DrawPart(Picture* target, int x, int y, int w, int h) const {
    if (w < 0 || w > width)
        w = width;
    if (h < 0 || h > height)
        h = height;
    BlitClipped(*this, target, x, y, {0, 0, w, h});
}

void Picture::DrawRect(Picture* target, int x, int y, const PictureRect& source) const {
    if (source.left < 0 || source.top < 0 || source.right > width || source.bottom > height)
        return;
    BlitClipped(*this, target, x, y, source);
}

void Picture::Grab(const Picture* source, int x, int y) {
    if (!source || !source->HasSurface() || !HasSurface())
        return;
    long long sw = source->Surface()->Width(), sh = source->Surface()->Height();
    long long left = std::max<long long>(x, 0), top = std::max<long long>(y, 0);
    long long right = std::min<long long>((long long)x + width, sw);
    long long bottom = std::min<long long>((long long)y + height, sh);
    if (right <= left || bottom <= top)
        return;
    platform::Rect r{int(left), int(top), int(right), int(bottom)};
    surface->Blit(*source->Surface(), r, int(left - x), int(top - y), false);
}

void Picture::Remap(const Picture* source, const DisplacementMap& map) {
    if (!source)
        return;
    const std::size_t n = std::min<std::size_t>(map.offsets.size(), kept.size());
    const std::size_t limit = source->kept.size();
    const std::uint32_t* offsets = map.offsets.data();
    const std::uint32_t* src = source->kept.data();
    std::uint32_t* dst = kept.data();
    // A gather: no vector form on the base instruction set, so the check of
    // each offset as it is read costs next to nothing (the branch always
    // goes the same way for a map of the source's size), where a pass over
    // the whole map first cost more than the copy itself.
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = offsets[i] >> 2;
        if (k < limit)
            dst[i] = src[k];
    }
}

namespace {

// Works op(this byte, other byte) out for the pixels' bytes, all four alike
// so that the compiler vectorises the loop, a block at a time; then each
// pixel gets its own fourth byte back.
template <typename Op>
void ForColourBytes(std::uint32_t* d, const std::uint32_t* s, std::size_t n, Op op) {
    constexpr std::size_t kBlock = 256;
    std::uint32_t block[kBlock];
    for (std::size_t start = 0; start < n; start += kBlock) {
        const std::size_t m = std::min(kBlock, n - start);
        auto* out = reinterpret_cast<std::uint8_t*>(block);
        const auto* a = reinterpret_cast<const std::uint8_t*>(d + start);
        const auto* b = reinterpret_cast<const std::uint8_t*>(s + start);
        for (std::size_t j = 0; j < 4 * m; ++j)
            out[j] = op(a[j], b[j]);
        for (std::size_t i = 0; i < m; ++i)
            d[start + i] = (block[i] & 0x00FFFFFFu) | (d[start + i] & 0xFF000000u);
    }
}

}  // namespace

void Picture::Add(const Picture* other) {
    if (!other)
        return;
    const std::size_t n = std::min(kept.size(), other->kept.size());
    // min(a, 255 - b) + b is a + b held at 255, in bytes alone.
    ForColourBytes(kept.data(), other->kept.data(), n, [](std::uint8_t a, std::uint8_t b) {
        const std::uint8_t room = std::uint8_t(255 - b);
        return std::uint8_t((a < room ? a : room) + b);
    });
}

void Picture::Subtract(const Picture* other) {
    if (!other)
        return;
    const std::size_t n = std::min(kept.size(), other->kept.size());
    ForColourBytes(kept.data(), other->kept.data(), n, [](std::uint8_t a, std::uint8_t b) {
        return (a > b ? a : b) == a ? std::uint8_t(a - b) : std::uint8_t(4);
    });
}

void Picture::Blend(const Picture* other, int weightThis, int weightOther) {
    if (!other)
        return;
    const std::size_t n = std::min(kept.size(), other->kept.size());
    if (weightThis >= 0 && weightThis <= 256 && weightOther >= 0 && weightOther <= 256) {
        // The common case (weights from an opacity between 0 and 1): every
        // product fits in 16 bits.
        const std::uint16_t wThis = std::uint16_t(weightThis), wOther = std::uint16_t(weightOther);
        ForColourBytes(kept.data(), other->kept.data(), n,
                       [wThis, wOther](std::uint8_t a, std::uint8_t b) {
                           // Each weighted byte is at most 255: their sum held
                           // at 255 is the same bytewise add as in Add.
                           const auto x = std::uint8_t(std::uint16_t(b * wOther) >> 8);
                           const auto y = std::uint8_t(std::uint16_t(a * wThis) >> 8);
                           const auto room = std::uint8_t(255 - x);
                           const auto v = std::uint8_t((y < room ? y : room) + x);
                           return b == 0 ? std::uint8_t(0) : v;
                       });
        return;
    }
    const std::int64_t wThis = weightThis, wOther = weightOther;
    ForColourBytes(
        kept.data(), other->kept.data(), n, [wThis, wOther](std::uint8_t a, std::uint8_t b) {
            const std::int64_t v = ((b * wOther) >> 8) + ((a * wThis) >> 8);
            return b == 0 ? std::uint8_t(0) : std::uint8_t(v > 255 ? 255 : v < 0 ? 0 : v);
        });
}

bool Picture::SaveImage(const char* path) const {
    return HasSurface() && surface->SaveImage(path);
}

// ---------------------------------------------------------------------------

Picture* PictureCache::Get(const char* fileName, unsigned flags, bool unique) {
    FixedString<260> lowered(std::string_view(LowerCopy(fileName)));
    bool found = false;
    for (int i = entries.Count - 1; i >= 0; --i) {
        Entry& e = entries[i];
        if (!e.name.empty() && e.name == lowered.view()) {
            if (!unique) {
                ++e.count;
                return e.picture;
            }
            found = true;
            break;
        }
    }
    Entry entry;
    entry.name = found ? FixedString<260>() : lowered;
    entry.count = 1;
    entry.picture = new Picture(fileName ? fileName : "", flags);
    entries.Append(entry);
    return entry.picture;
}

void PictureCache::Release(Picture*& picture) {
    ReleaseCacheEntry(entries, &Entry::picture, picture);
}

int PictureCache::CountOf(const Picture* picture) const {
    return CacheEntryCount(entries, &Entry::picture, picture);
}

void PictureCache::Clear() {
    ClearCacheEntries(entries, &Entry::picture);
}

PictureCache& GlobalPictureCache() {
    static PictureCache cache;
    return cache;
}

// ---------------------------------------------------------------------------

void BuildDisplacementMapFromPixels(const std::uint32_t* pixels, int width, int height,
                                    DisplacementMap* map) {
    map->width = width > 0 && height > 0 ? width : 0;
    map->height = width > 0 && height > 0 ? height : 0;
    map->offsets.assign(std::size_t(map->width) * map->height, 0);
    auto blue = [&](int x, int y) { return int(pixels[std::size_t(y) * width + x] & 0xFF); };
    const float factor = 16.0f / 255.0f;
    for (int y = 0; y < map->height; ++y) {
        for (int x = 0; x < map->width; ++x) {
            int sx = x, sy = y;
            if (x >= 1 && x < width - 1 && y >= 1 && y < height - 1) {
                sx = x + int(factor * float(blue(x + 1, y) - blue(x - 1, y)));
                sy = y + int(factor * float(blue(x, y + 1) - blue(x, y - 1)));
            }
            sx = std::clamp(sx, 0, width - 1);
            sy = std::clamp(sy, 0, height - 1);
            map->offsets[std::size_t(y) * width + x] = std::uint32_t((width * sy + sx) * 4);
        }
    }
}

bool BuildDisplacementMap(const char* fileName, DisplacementMap* map) {
    // No surface is needed for the offsets; the picture's own messages say why
    // a file could not be read.
    Picture image(fileName, PICTURE_TRANSPARENT | PICTURE_SYSMEM | PICTURE_KEEPPIXELS);
    if (!image.Pixels()) {
        map->width = map->height = 0;
        map->offsets.clear();
        return false;
    }
    BuildDisplacementMapFromPixels(image.Pixels(), image.Width(), image.Height(), map);
    return true;
}
