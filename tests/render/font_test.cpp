#include <gtest/gtest.h>

#include <vector>

#include "render/font.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

// A 16 x 16 grid of 4 x 6 cells; every cell is filled with its character's
// code in blue, except character 0 which is black (transparent).
std::string GridBmp() {
    return MakeBmp(64, 96, [](int x, int y) { return std::uint32_t((y / 6) * 16 + x / 4); });
}

std::string Fnt(const std::string& picture, const std::vector<PictureRect>& first) {
    std::string s = picture;
    s.resize(32, '\0');
    for (int c = 0; c < 256; ++c) {
        PictureRect r = c < int(first.size()) ? first[c] : PictureRect{0, 0, 0, 0};
        for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
            for (int k = 0; k < 4; ++k)
                s.push_back(char(std::uint32_t(v) >> (8 * k)));
    }
    return s;
}

class Fonts : public DisplayTest {
protected:
    void SetUp() override {
        StartDisplay(32, 64, 48);
        WriteFile(dir.File("grid.bmp"), GridBmp());
    }
    void TearDown() override {
        GlobalFontCache().Clear();
        DisplayTest::TearDown();
    }
    ScratchDir dir{"fonts"};
};

TEST_F(Fonts, GridCellsFollowTheCharacterCode) {
    WriteFile(dir.File("wide.bmp"), SolidBmp(250, 16, 0x010101));
    std::unique_ptr<Font> wide(CreateFont(dir.File("wide.bmp").c_str()));
    EXPECT_EQ(wide->glyphs[1].right, 30);  // 250 / 16 = 15
    std::unique_ptr<Font> f(CreateFont(dir.File("GRID.BMP").c_str()));
    ASSERT_NE(f, nullptr);
    const PictureRect& a = f->glyphs['A'];
    EXPECT_EQ(std::vector<int>({a.left, a.top, a.right, a.bottom}),
              std::vector<int>({4, 24, 8, 30}));
    EXPECT_EQ(f->TextWidth("AB\\n"), 16);
    EXPECT_EQ(CreateFont("x.ttf"), nullptr);
}

TEST_F(Fonts, TextDrawsGlyphsInOrderCentresAndBreaksLines) {
    std::unique_ptr<Font> f(CreateFont(dir.File("grid.bmp").c_str()));
    ClearBack();
    f->DrawText(Back(), 20, 10, "AB\\nC", TEXT_CENTER_X | TEXT_CENTER_Y);
    // Width of "AB\nC" is 5 glyphs = 20: x starts at 10; y at 10 - 3.
    ExpectPixels(Back(), {{10, 7, std::uint32_t('A')},
                          {14, 7, std::uint32_t('B')},
                          {10, 13, std::uint32_t('C')},
                          {14, 13, 0u},
                          {9, 7, 0u}});
}

TEST_F(Fonts, TextIsCutAtTheTargetEdgesAndEndsAtTheFirstGlyphWhollyAboveOrBelow) {
    std::unique_ptr<Font> f(CreateFont(dir.File("grid.bmp").c_str()));
    ClearBack();
    f->DrawText(Back(), -6, 0, "ABC", 0);  // A hidden, B cut in half, C whole
    ExpectPixels(
        Back(),
        {{0, 0, std::uint32_t('B')}, {1, 0, std::uint32_t('B')}, {2, 0, std::uint32_t('C')}});
    ClearBack();
    f->DrawText(Back(), 0, 45, "A\\nB", 0);  // the second line lies wholly below
    ExpectPixels(Back(), {{0, 47, std::uint32_t('A')}, {0, 45, std::uint32_t('A')}});
    // Character 2 is 3 pixels high, the line 6: a glyph counts as wholly above
    // by its own height, and the text ends there.
    WriteFile(dir.File("short.fnt"), Fnt("grid.bmp", {{0, 0, 0, 6}, {4, 0, 8, 6}, {8, 0, 12, 3}}));
    std::unique_ptr<Font> shortGlyph(CreateFont(dir.File("short.fnt").c_str()));
    for (auto [y, shown] : {std::pair{-3, 0u}, {-2, 1u}}) {
        ClearBack();
        shortGlyph->DrawText(Back(), 0, y, "\x02\x01", 0);
        EXPECT_EQ(PixelAt(Back(), 4, 0), shown) << y;
    }
    f->DrawText(Back(), 0, 0, nullptr, 0);
}

TEST_F(Fonts, FntFileNamesItsPictureBesideItAndShortFilesAreRefused) {
    WriteFile(dir.File("big.fnt"), Fnt("grid.bmp", {{0, 0, 0, 6}, {4, 0, 8, 6}, {60, 90, 70, 96}}));
    std::unique_ptr<Font> f(CreateFont(dir.File("big.fnt").c_str()));
    ASSERT_NE(f->picture, nullptr);
    ClearBack();
    f->DrawText(Back(), 0, 0, "\x01\x02\x01", 0);
    EXPECT_EQ(PixelAt(Back(), 0, 0), 1u);
    // Glyph 2 lies partly outside the picture: nothing drawn, but it advances.
    ExpectPixels(Back(), {{5, 0, 0u}, {14, 0, 1u}});
    // Character 3 has an empty rectangle: it draws nothing and ends nothing.
    ClearBack();
    f->DrawText(Back(), 0, 0, "\x03\x01", 0);
    EXPECT_EQ(PixelAt(Back(), 0, 0), 1u);

    // Impossible rectangles become empty.
    char name[33];
    PictureRect glyphs[256];
    const std::string odd =
        Fnt("x.bmp", {{0, 0, 4, 6}, {10, 0, 2, 6}, {INT32_MIN, 0, INT32_MAX, 6}});
    ASSERT_TRUE(
        ParseFnt(reinterpret_cast<const std::uint8_t*>(odd.data()), odd.size(), name, glyphs));
    EXPECT_EQ(glyphs[0].right, 4);
    EXPECT_EQ(glyphs[1].right - glyphs[1].left, 0);
    EXPECT_EQ(glyphs[2].right - glyphs[2].left, 0);
    std::string shortFile = Fnt("grid.bmp", {});
    shortFile.pop_back();
    WriteFile(dir.File("short.fnt"), shortFile);
    std::string log = LogAddedBy([&] {
        std::unique_ptr<Font> s(CreateFont(dir.File("short.fnt").c_str()));
        EXPECT_EQ(s->picture, nullptr);
        s->DrawText(Back(), 0, 0, "abc", 0);
    });
    EXPECT_NE(log.find("short.fnt !"), std::string::npos);
    EXPECT_STREQ(FntPicturePath("data\\fonts\\big.fnt", "big.bmp").c_str(), "data\\fonts\\big.bmp");
    EXPECT_STREQ(FntPicturePath("big.fnt", "big.bmp").c_str(), "big.bmp");
}

TEST_F(Fonts, ListNamesFontsInLowerCaseAndSharesThemThroughTheCache) {
    std::string list = "font { fontname = \"Big\"; filename = \"" + dir.File("GRID.bmp") +
                       "\"; };;\nfont { fontname = \"none\"; filename = \"x.ttf\"; };;\n";
    WriteFile(dir.File("fonts.script"), list);
    ASSERT_TRUE(LoadFontList(dir.File("fonts.script").c_str()));
    ASSERT_EQ(FontList().Count, 2);
    EXPECT_EQ(FindFont("big"), FontCacheGet(dir.File("grid.bmp").c_str()));
    EXPECT_EQ(GlobalFontCache().CountOf(FindFont("big")), 2);
    EXPECT_EQ(FindFont("Big"), nullptr);
    EXPECT_EQ(FindFont("none"), nullptr);
    Font* mine = FindFont("big");
    GlobalFontCache().Release(mine);
    ReleaseFontList();
    EXPECT_EQ(GlobalFontCache().entries.Count, 0);
    std::string log =
        LogAddedBy([&] { EXPECT_FALSE(LoadFontList(dir.File("no.script").c_str())); });
    EXPECT_NE(log.find("Warning: can't read fonts ... text messages will be failed.\r\n"),
              std::string::npos);
}

}  // namespace
