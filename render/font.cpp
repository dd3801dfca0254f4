#include "render/font.h"

#include "render/cache_entries.h"

#include <cstring>
#include <string>
#include <vector>

#include "script/file_access.h"
#include "script/message.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"

namespace {

// Glyph coordinates beyond this are refused: no picture is that large, and it
// keeps width sums far from overflow.
constexpr std::int32_t kMaxCoord = 1 << 16;

std::int32_t Read32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

std::string LowerCopy(const char* s) {
    std::string out(s ? s : "");
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

}  // namespace

Font::~Font() {
    if (picture)
        PictureCacheRelease(picture);
}

int Font::Height() const {
    return glyphs[0].bottom;
}

int Font::TextWidth(const char* text) const {
    long long w = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); p && *p; ++p)
        w += glyphs[*p].right - glyphs[*p].left;
    return w > 0x3FFFFFFF ? 0x3FFFFFFF : w < -0x3FFFFFFF ? -0x3FFFFFFF : int(w);
}

void Font::DrawText(Picture* target, int x, int y, const char* text, unsigned flags) const {
    if (!text || !target)
        return;
    int h = Height();
    if (flags & TEXT_CENTER_X)
        x -= TextWidth(text) / 2;
    if (flags & TEXT_CENTER_Y)
        y -= h / 2;
    const int startX = x;
    const int tw = target->Width(), th = target->Height();
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (p[0] == '\\' && p[1] == 'n') {
            y += h;
            x = startX;
            ++p;
            continue;
        }
        const PictureRect& g = glyphs[*p];
        int gw = g.right - g.left, gh = g.bottom - g.top;
        // A glyph is wholly above the top by its own height; an empty one
        // (zero height) is measured by the line, so it never ends a line
        // that is still on screen.
        if (y + (gh > 0 ? gh : h) <= 0 || y >= th)
            break;  // wholly above or below
        if (x + gw > 0 && x < tw && picture)
            picture->DrawRect(target, x, y, g);
        x += gw;
    }
}

GridFont::GridFont(const char* fileName) {
    picture = PictureCacheGet(fileName, PICTURE_SURFACE | PICTURE_TRANSPARENT, false);
    int cw = picture ? picture->Width() / 16 : 0;
    int ch = picture ? picture->Height() / 16 : 0;
    for (int c = 0; c < 256; ++c) {
        int r = c / 16, k = c % 16;
        glyphs[c] = {k * cw, r * ch, (k + 1) * cw, (r + 1) * ch};
    }
}

bool ParseFnt(const std::uint8_t* bytes, std::size_t size, char (&pictureName)[33],
              PictureRect (&glyphs)[256]) {
    pictureName[0] = '\0';
    for (PictureRect& g : glyphs)
        g = {};
    if (!bytes || size < FntFont::kFileSize)
        return false;
    std::memcpy(pictureName, bytes, 32);
    pictureName[32] = '\0';
    for (int c = 0; c < 256; ++c) {
        const std::uint8_t* r = bytes + 32 + c * 16;
        PictureRect g{Read32(r), Read32(r + 4), Read32(r + 8), Read32(r + 12)};
        bool sane = g.left >= -kMaxCoord && g.top >= -kMaxCoord && g.right <= kMaxCoord &&
                    g.bottom <= kMaxCoord && g.left <= g.right && g.top <= g.bottom;
        glyphs[c] = sane ? g : PictureRect{};
    }
    return true;
}

FixedString<260> FntPicturePath(const char* fntPath, const char* pictureName) {
    std::string path(fntPath ? fntPath : "");
    std::size_t cut = path.find_last_of("\\/");
    path = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    path += pictureName ? pictureName : "";
    return FixedString<260>(std::string_view(path));
}

FntFont::FntFont(const char* fileName) {
    std::vector<std::uint8_t> bytes;
    char pictureName[33];
    if (!ReadDataFile(fileName, &bytes) ||
        !ParseFnt(bytes.data(), bytes.size(), pictureName, glyphs)) {
        ReportMessage("Failed to load %s !", fileName);
        return;
    }
    FixedString<260> path = FntPicturePath(fileName, pictureName);
    picture = PictureCacheGet(path.c_str(), PICTURE_SURFACE | PICTURE_TRANSPARENT, false);
}

Font* CreateFont(const char* fileName) {
    if (!fileName)
        return nullptr;
    std::string lower = LowerCopy(fileName);
    auto endsWith = [&](const char* ext) {
        std::size_t n = std::strlen(ext);
        return lower.size() >= n && lower.compare(lower.size() - n, n, ext) == 0;
    };
    if (endsWith(".bmp"))
        return new GridFont(fileName);
    if (endsWith(".fnt"))
        return new FntFont(fileName);
    return nullptr;
}

// ---------------------------------------------------------------------------

Font* FontCache::Get(const char* fileName) {
    FixedString<260> lowered{std::string_view(LowerCopy(fileName))};
    for (int i = entries.Count - 1; i >= 0; --i) {
        Entry& e = entries[i];
        if (!e.name.empty() && e.name == lowered.view()) {
            ++e.count;
            return e.font;
        }
    }
    Entry entry;
    entry.name = lowered;
    entry.count = 1;
    entry.font = CreateFont(fileName);
    entries.Append(entry);
    return entry.font;
}

void FontCache::Release(Font*& font) {
    ReleaseCacheEntry(entries, &Entry::font, font);
}

int FontCache::CountOf(const Font* font) const {
    return CacheEntryCount(entries, &Entry::font, font);
}

void FontCache::Clear() {
    ClearCacheEntries(entries, &Entry::font);
}

FontCache& GlobalFontCache() {
    // Fonts release their pictures to the picture cache when deleted, so that
    // cache is made first and therefore destroyed after this one.
    GlobalPictureCache();
    static FontCache cache;
    return cache;
}

// ---------------------------------------------------------------------------

flist<FontListEntry>& FontList() {
    static flist<FontListEntry> list;
    return list;
}

bool LoadFontList(const char* path) {
    ReleaseFontList();
    ZarnikScr script(path);
    if (script.TokenCount() == 0) {
        ReportMessage("Warning: can't read fonts ... text messages will be failed.");
        return false;
    }
    static const SubBlockDef kBlocks[] = {{"font", 0}};
    ForEachSubBlock(WholeScript(script), kBlocks, [](int, const ScriptBlock& block, int) {
        FontListEntry entry;
        ReadKeys(block, {KeyDef::Word("fontname", &entry.fontname),
                         KeyDef::Word("filename", &entry.filename)});
        entry.fontname = std::string_view(LowerCopy(entry.fontname.c_str()));
        entry.filename = std::string_view(LowerCopy(entry.filename.c_str()));
        entry.font = FontCacheGet(entry.filename.c_str());
        FontList().Append(entry);
    });
    return true;
}

void ReleaseFontList() {
    flist<FontListEntry>& list = FontList();
    // Null fonts are cached too, so they are released like the others.
    for (FontListEntry& e : list)
        GlobalFontCache().Release(e.font);
    list.Clear();
}

Font* FindFont(const char* name) {
    if (!name)
        return nullptr;
    for (const FontListEntry& e : FontList())
        if (e.fontname == std::string_view(name))
            return e.font;
    return nullptr;
}
