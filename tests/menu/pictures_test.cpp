#include <string>

#include "menu/menu_pictures.h"
#include "script/file_access.h"
#include "tests/menu/menu_fixture.h"

namespace {

using MenuTempPictures = MenuTest;
using MenuMessages = MenuTest;

int CacheCount(const std::string& file) {
    for (const PictureCache::Entry& e : GlobalPictureCache().entries) {
        std::string lowered(file);
        for (char& c : lowered)
            c = LowerAscii(c);
        if (e.name == lowered)
            return e.count;
    }
    return 0;
}

TEST_F(MenuTempPictures, PicturesAreHeldOnlyWhileShown) {
    const std::string temp = Bmp("temp", 0x0000FF), kept = Bmp("kept", 0x00FF00);
    MenuWrapper* root = Root("MenuWrapper { MenuPicture { filename = \"" + temp +
                             "\"; temp = 1; transparent = 0; sysmem = 3; };"
                             " MenuPicture { filename = \"" +
                             kept + "\"; }; };");
    auto* pic = dynamic_cast<MenuPicture*>(root->Child(0));
    EXPECT_EQ(pic->flags, unsigned(PICTURE_SURFACE | 12)) << "flag values multiply as they stand";
    std::vector<int> counts = {CacheCount(temp)};
    Redraw();
    counts.push_back(CacheCount(temp));
    root->Deactivate();
    counts.push_back(CacheCount(temp));
    root->active = true;
    Redraw();
    counts.push_back(CacheCount(temp));
    EXPECT_EQ(counts, (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(Pixel(0, 0), 0x0000FFu);
    root->Deactivate();
    EXPECT_EQ(CacheCount(kept), 1) << "a picture without temp is held from the read on";
    Menus().root.reset();
    EXPECT_EQ(GlobalPictureCache().Size(), 0);
}

TEST_F(MenuTempPictures, TempAnimationHoldsOneFrameAtATime) {
    for (int i = 0; i < 10; ++i)
        Bmp("f" + std::to_string(1005 + i), 0x000010u * std::uint32_t(i + 1));
    Root("MenuWrapper { MenuAnimation { name = \"GAMESELECTOR\"; filestart = \"" + dir.Path() +
         "\\f\"; fileend = \".bmp\"; filecount = 10; startfile = 1005; frametime = 0.1;"
         " temp = 1; };"
         " MenuAnimation { name = \"BAD\"; filecount = 3; frametime = 0.0; }; };");
    auto* anim = Get<MenuAnimation>("GAMESELECTOR");
    EXPECT_EQ(anim->HeldFrames(), 0);
    EXPECT_TRUE(Menus().PlayByName("GAMESELECTOR", 10, true));
    std::vector<std::uint32_t> shown;
    int mostHeld = 0;
    for (int step = 0; step < 12; ++step) {
        Redraw();
        shown.push_back(Pixel(0, 0));
        mostHeld = std::max(mostHeld, GlobalPictureCache().Size());
        Frame(0.1f);
    }
    EXPECT_EQ(mostHeld, 1);
    EXPECT_EQ(shown.front(), 0x000010u) << "frame 0 is file number 1005";
    EXPECT_EQ(shown[9], 0x0000A0u);
    EXPECT_EQ(shown[10], 0x000010u) << "ten frames played, back at the start";
    EXPECT_FALSE(anim->animation->playing);
    anim->Deactivate();
    EXPECT_EQ(GlobalPictureCache().Size(), 0);
    auto* bad = Get<MenuAnimation>("BAD");
    ASSERT_NE(bad, nullptr) << "a control whose read fails is kept";
    EXPECT_EQ(bad->animation, nullptr);
    EXPECT_FALSE(bad->Play(1, true));
}

TEST_F(MenuMessages, MessageWindowStartsConnectingWithEmptyLinesBelow) {
    const std::string font = FontFile();
    Root("MenuWrapper { MenuMsgWindow { name = \"M\"; x = 20; y = 30; h = 3; font = \"" + font +
         "\"; }; MenuMsgWindow { name = \"NOFONT\"; h = 2; }; };");
    auto* w = Get<MenuMsgWindow>("M");
    ASSERT_EQ(w->lines.Count, 3);
    EXPECT_EQ(w->lines[0], "connecting...");
    EXPECT_EQ(w->lines[1], "");
    w->lines[2] = "x";
    Redraw();
    EXPECT_EQ(Pixel(20, 30), 0xFFFFFFu);
    EXPECT_EQ(Pixel(20, 38), 0u) << "the second line is empty";
    EXPECT_EQ(Pixel(20, 46), 0xFFFFFFu) << "the third line two font heights down";
    EXPECT_EQ(Pixel(28, 46), 0u);
    EXPECT_EQ(Get<MenuMsgWindow>("NOFONT")->font, nullptr);
}

}  // namespace
