#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/surface.h"
#include "script/fixed_string.h"
#include "script/flist.h"

enum : unsigned {
    PICTURE_SURFACE = 1,      // create the surface as soon as the image is read
    PICTURE_TRANSPARENT = 2,  // black is the colour key of the surface and its blits
    PICTURE_SYSMEM = 4,       // system memory (every surface is, here)
    PICTURE_KEEPPIXELS = 8,   // keep an owned 32-bit top-down copy of the pixels
};

struct PictureRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

// Offsets (bytes, into a 32-bit pixel array of the same size) that bend a
// picture: the ball's glass uses one built from a height image.
struct DisplacementMap {
    int width = 0, height = 0;
    std::vector<std::uint32_t> offsets;
};

// One image and its surface in the display's pixel format.
//   Picture* p = new Picture("data\\ball.bmp", PICTURE_SURFACE | PICTURE_TRANSPARENT);
//   p->Draw(display.BackPicture(), x, y);
// A picture that failed to load has no surface and draws nothing; it is safe
// to keep and delete. Every picture registers with the current display so the
// display can rebuild its surface after a mode change.
class Picture {
public:
    // From a file (".bmp"; ".tga"/".targa" are recognised but not read).
    Picture(const char* fileName, unsigned flags);
    // From a BMP image in memory.
    Picture(const std::uint8_t* data, std::size_t size, unsigned flags);
    // Blank white picture with kept pixels and a surface.
    Picture(int width, int height, unsigned flags);
    // Wraps a surface it neither owns nor ever releases (the back surface).
    explicit Picture(platform::Surface* surface);
    virtual ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool CreateSurface();
    bool ReleaseSurface();
    // Reloads a named picture from its file, then creates and fills the surface.
    bool Rebuild();

    // Surface -> owned 32-bit copy (made when missing), and back.
    bool ReadBack();
    bool Upload();

    // Clipped blits into target; the colour key is used when this picture is
    // PICTURE_TRANSPARENT.
    void Draw(Picture* target, int x, int y) const;
    // Source rectangle (0, 0, w, h); w < 0 or > width means the whole width.
    void DrawPart(Picture* target, int x, int y, int w, int h) const;
    // Nothing is drawn unless the rectangle lies inside this picture.
    void DrawRect(Picture* target, int x, int y, const PictureRect& source) const;
    // Copies source's pixels at (x, y) into this picture (no key).
    void Grab(const Picture* source, int x, int y);

    // Pixel operations on owned copies (B, G, R; the fourth byte kept).
    void Remap(const Picture* source, const DisplacementMap& map);
    void Add(const Picture* other);
    void Subtract(const Picture* other);  // below zero gives 4, not 0
    void Blend(const Picture* other, int weightThis, int weightOther);

    // Writes the surface as a BMP, or a PNG when the name ends in ".png".
    bool SaveImage(const char* path) const;

    const char* Name() const { return name.c_str(); }
    unsigned Flags() const { return flags; }
    // Whether Draw writes every pixel of the picture's rectangle: a surface
    // drawn without the key, or one that has no black.
    bool DrawsEveryPixel() const;
    int Width() const { return width; }
    int Height() const { return height; }
    bool HasSurface() const { return surface != nullptr && surface->IsValid(); }
    // Owned 32-bit top-down pixels (0x00RRGGBB), nullptr when none are kept.
    std::uint32_t* Pixels() { return kept.empty() ? nullptr : kept.data(); }
    const std::uint32_t* Pixels() const { return kept.empty() ? nullptr : kept.data(); }
    platform::Surface* Surface() const { return surface; }

    FixedString<260> name;
    unsigned flags = 0;
    bool loaded = false;
    bool ownsSurface = true;
    int width = 0, height = 0;

private:
    bool ReadByExtension(const char* fileName);
    bool ReadBmpFile(const char* fileName);
    bool Decode(const std::uint8_t* bytes, std::size_t size);
    bool FillFromFileRows();
    void KeepForRebuild();
    void Register();
    static const char* PathExtensionOf(const char* path);

    platform::Surface* surface = nullptr;  // owned when ownsSurface
    // Decoded 24-bit rows, bottom-up, padded to 4 bytes: valid only while
    // pixelsInFile and until the next image is read.
    const std::uint8_t* fileRows = nullptr;
    std::size_t fileStride = 0;
    bool pixelsInFile = false;
    bool hasImage = false;  // decoded or blank at least once
    std::vector<std::uint32_t> kept;
    // Pixels of a picture with no file name, kept so a rebuild restores them.
    std::vector<std::uint32_t> rebuildCopy;
};

// Checks a BMP image held in memory: "BM", no compression, 24 bits, sizes
// above zero and every row inside the bytes given. On success fills the
// size and where the bottom row starts. Reports its own messages.
struct BmpInfo {
    int width = 0, height = 0;
    std::size_t dataOffset = 0;
    std::size_t stride = 0;
};
bool DecodeBmpHeader(const std::uint8_t* bytes, std::size_t size, BmpInfo* info);

// The shared buffer every image is copied into before decoding; it grows to
// the largest image seen.
std::uint8_t* LoadBufferFor(std::size_t size);

// Pictures shared by lower-cased file name, with reference counts.
//   Picture* p = PictureCacheGet("data\\x.bmp", PICTURE_SURFACE, false);
//   ...; PictureCacheRelease(p);   // p becomes nullptr
class PictureCache {
public:
    struct Entry {
        FixedString<260> name;
        int count = 0;
        Picture* picture = nullptr;
    };

    PictureCache() = default;
    ~PictureCache() { Clear(); }
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    Picture* Get(const char* fileName, unsigned flags, bool unique);
    void Release(Picture*& picture);
    int CountOf(const Picture* picture) const;
    int Size() const { return entries.Count; }
    void Clear();  // deletes every picture (shutdown, tests)

    flist<Entry> entries;
};

PictureCache& GlobalPictureCache();
inline Picture* PictureCacheGet(const char* fileName, unsigned flags, bool unique = false) {
    return GlobalPictureCache().Get(fileName, flags, unique);
}
inline void PictureCacheRelease(Picture*& picture) {
    GlobalPictureCache().Release(picture);
}

// Builds the map from an image's blue channel; false (with "Failed to load %s !")
// when the image can't be read.
bool BuildDisplacementMap(const char* fileName, DisplacementMap* map);
// The same from 32-bit pixels already in memory (width x height, top-down).
void BuildDisplacementMapFromPixels(const std::uint32_t* pixels, int width, int height,
                                    DisplacementMap* map);
