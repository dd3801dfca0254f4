#pragma once

#include <cstddef>
#include <cstdint>

#include "render/picture.h"
#include "script/fixed_string.h"
#include "script/flist.h"

enum : unsigned {
    TEXT_CENTER_X = 1,  // x is the middle of the text
    TEXT_CENTER_Y = 2,  // y is the middle of the line
};

// A bitmap font: 256 glyph rectangles in one picture (black is transparent).
// Texts are bytes; the two characters backslash and n start a new line.
//   Font* f = FontCacheGet("data\\fonts\\default.bmp");
//   f->DrawText(display.BackPicture(), 400, 20, "Score\\n100", TEXT_CENTER_X);
class Font {
public:
    virtual ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    virtual int Height() const;
    virtual int TextWidth(const char* text) const;
    virtual void DrawText(Picture* target, int x, int y, const char* text, unsigned flags) const;

    PictureRect glyphs[256] = {};
    Picture* picture = nullptr;  // from the PictureCache

protected:
    Font() = default;
};

// A picture cut into a 16 x 16 grid: character c in row c / 16, column c % 16.
class GridFont : public Font {
public:
    explicit GridFont(const char* fileName);
};

// A ".fnt" file: a 32-byte picture name (relative to the .fnt's folder) and
// 256 glyph records {left, top, right, bottom} of 32-bit integers.
class FntFont : public Font {
public:
    static constexpr std::size_t kFileSize = 32 + 256 * 16;
    explicit FntFont(const char* fileName);
};

// Parses ".fnt" bytes: false when fewer than kFileSize. Glyphs that are not
// proper rectangles (or absurdly large) become empty.
bool ParseFnt(const std::uint8_t* bytes, std::size_t size, char (&pictureName)[33],
              PictureRect (&glyphs)[256]);

// The picture path of a ".fnt" font: the font's folder plus the name in it.
FixedString<260> FntPicturePath(const char* fntPath, const char* pictureName);

// ".bmp" -> grid font, ".fnt" -> .fnt font, any other extension -> nullptr.
Font* CreateFont(const char* fileName);

// Fonts shared by lower-cased file name, with reference counts.
class FontCache {
public:
    struct Entry {
        FixedString<260> name;
        int count = 0;
        Font* font = nullptr;
    };
    FontCache() = default;
    ~FontCache() { Clear(); }
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    Font* Get(const char* fileName);  // null entries are cached too
    void Release(Font*& font);
    int CountOf(const Font* font) const;
    void Clear();

    flist<Entry> entries;
};
FontCache& GlobalFontCache();
inline Font* FontCacheGet(const char* fileName) {
    return GlobalFontCache().Get(fileName);
}

// The named fonts of "data\fonts.script" (blocks `font { fontname; filename; }`).
struct FontListEntry {
    FixedString<260> fontname;  // lower case
    FixedString<260> filename;  // lower case
    Font* font = nullptr;
};

// Reads the list and loads every entry's font. When the script can't be read
// it warns ("Warning: can't read fonts ...") and returns false.
bool LoadFontList(const char* path = "data\\fonts.script");
void ReleaseFontList();
// First entry whose fontname equals name exactly (list names are lower case).
Font* FindFont(const char* name);
flist<FontListEntry>& FontList();
