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
    std::uint32_t mask[3];
    int shift[3];  // 31 - highest bit of the mask
    int bytes;

    explicit ChannelShifts(const platform::PixelFormat& f) {
        mask[0] = f.rmask;
        mask[1] = f.gmask;
        mask[2] = f.bmask;
        for (int c = 0; c < 3; ++c)
            shift[c] = mask[c] ? 31 - HighBit(mask[c]) : 31;
        bytes = f.bits / 8;
    }
    // 0x00RRGGBB -> surface value.
    std::uint32_t Pack(std::uint32_t rgb) const {
        std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
        return (((r << 24) >> shift[0]) & mask[0]) | (((g << 24) >> shift[1]) & mask[1]) |
               (((b << 24) >> shift[2]) & mask[2]);
    }
    // surface value -> 0x00RRGGBB.
    std::uint32_t Unpack(std::uint32_t v) const {
        std::uint32_t r = ((v & mask[0]) << shift[0]) >> 24;
        std::uint32_t g = ((v & mask[1]) << shift[1]) >> 24;
        std::uint32_t b = ((v & mask[2]) << shift[2]) >> 24;
        return r << 16 | g << 8 | b;
    }
};

inline void Store(std::uint8_t* p, int bytes, std::uint32_t v) {
    switch (bytes) {
        case 4:
            std::memcpy(p, &v, 4);
            break;
        case 3:
            p[0] = std::uint8_t(v);
            p[1] = std::uint8_t(v >> 8);
            p[2] = std::uint8_t(v >> 16);
            break;
        case 2: {
            std::uint16_t s = std::uint16_t(v);
            std::memcpy(p, &s, 2);
            break;
        }
        default:
            p[0] = std::uint8_t(v);
    }
}

inline std::uint32_t Load(const std::uint8_t* p, int bytes) {
    switch (bytes) {
        case 4: {
            std::uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        case 3:
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
        case 2: {
            std::uint16_t s;
            std::memcpy(&s, p, 2);
            return s;
        }
        default:
            return p[0];
    }
}

// Fills a surface from 32-bit top-down pixels.
bool FillSurface(platform::Surface* surface, const std::uint32_t* pixels, int width, int height) {
    platform::PixelLock lock;
    if (!surface->Lock(&lock))
        return false;
    ChannelShifts cs(lock.format);
    int w = std::min(width, lock.width), h = std::min(height, lock.height);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = lock.pixels + std::size_t(y) * lock.pitch;
        const std::uint32_t* src = pixels + std::size_t(y) * width;
        if (cs.bytes == 4 && cs.mask[0] == 0xFF0000 && cs.mask[1] == 0xFF00 && cs.mask[2] == 0xFF) {
            for (int x = 0; x < w; ++x) {
                std::uint32_t v = src[x] & 0xFFFFFF;
                std::memcpy(row + x * 4, &v, 4);
            }
        } else {
            for (int x = 0; x < w; ++x)
                Store(row + x * cs.bytes, cs.bytes, cs.Pack(src[x]));
        }
    }
    surface->Unlock();
    return true;
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
            const std::uint8_t* row = fileRows + std::size_t(height - 1 - y) * fileStride;
            std::uint32_t* out = rebuildCopy.data() + std::size_t(y) * width;
            for (int x = 0; x < width; ++x)
                out[x] = std::uint32_t(row[x * 3]) | std::uint32_t(row[x * 3 + 1]) << 8 |
                         std::uint32_t(row[x * 3 + 2]) << 16;
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
            const std::uint8_t* row = rows + std::size_t(height - 1 - y) * info.stride;
            std::uint32_t* out = kept.data() + std::size_t(y) * width;
            for (int x = 0; x < width; ++x)
                out[x] = std::uint32_t(row[x * 3]) | std::uint32_t(row[x * 3 + 1]) << 8 |
                         std::uint32_t(row[x * 3 + 2]) << 16;
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
    ChannelShifts cs(lock.format);
    for (int y = 0; y < height && y < lock.height; ++y) {
        const std::uint8_t* row = fileRows + std::size_t(height - 1 - y) * fileStride;
        std::uint8_t* out = lock.pixels + std::size_t(y) * lock.pitch;
        for (int x = 0; x < width && x < lock.width; ++x) {
            std::uint32_t rgb = std::uint32_t(row[x * 3]) | std::uint32_t(row[x * 3 + 1]) << 8 |
                                std::uint32_t(row[x * 3 + 2]) << 16;
            Store(out + x * cs.bytes, cs.bytes, cs.Pack(rgb));
        }
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
    ChannelShifts cs(lock.format);
    int w = std::min(width, lock.width), h = std::min(height, lock.height);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = lock.pixels + std::size_t(y) * lock.pitch;
        std::uint32_t* out = kept.data() + std::size_t(y) * width;
        for (int x = 0; x < w; ++x)
            out[x] = (out[x] & 0xFF000000u) | cs.Unpack(Load(row + x * cs.bytes, cs.bytes));
    }
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
    std::size_t n = std::min<std::size_t>(map.offsets.size(), kept.size());
    std::size_t limit = source->kept.size();
    const std::uint32_t* src = source->kept.data();
    std::uint32_t* dst = kept.data();
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t k = map.offsets[i] >> 2;
        if (k < limit)
            dst[i] = src[k];
    }
}

void Picture::Add(const Picture* other) {
    if (!other)
        return;
    std::size_t n = std::min(kept.size(), other->kept.size());
    auto* d = reinterpret_cast<std::uint8_t*>(kept.data());
    auto* s = reinterpret_cast<const std::uint8_t*>(other->kept.data());
    for (std::size_t i = 0; i < n * 4; i += 4) {
        for (int c = 0; c < 3; ++c) {
            unsigned v = unsigned(d[i + c]) + s[i + c];
            d[i + c] = std::uint8_t(v > 255 ? 255 : v);
        }
    }
}

void Picture::Subtract(const Picture* other) {
    if (!other)
        return;
    std::size_t n = std::min(kept.size(), other->kept.size());
    auto* d = reinterpret_cast<std::uint8_t*>(kept.data());
    auto* s = reinterpret_cast<const std::uint8_t*>(other->kept.data());
    for (std::size_t i = 0; i < n * 4; i += 4) {
        for (int c = 0; c < 3; ++c)
            d[i + c] = d[i + c] >= s[i + c] ? d[i + c] - s[i + c] : 4;
    }
}

void Picture::Blend(const Picture* other, int weightThis, int weightOther) {
    if (!other)
        return;
    std::size_t n = std::min(kept.size(), other->kept.size());
    auto* d = reinterpret_cast<std::uint8_t*>(kept.data());
    auto* s = reinterpret_cast<const std::uint8_t*>(other->kept.data());
    for (std::size_t i = 0; i < n * 4; i += 4) {
        for (int c = 0; c < 3; ++c) {
            if (s[i + c] == 0) {
                d[i + c] = 0;
                continue;
            }
            int v = ((s[i + c] * weightOther) >> 8) + ((d[i + c] * weightThis) >> 8);
            d[i + c] = std::uint8_t(v > 255 ? 255 : v < 0 ? 0 : v);
        }
    }
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
