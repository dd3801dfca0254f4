#include "tests/menu/menu_fixture.h"

namespace {

using MenuTempPictures = MenuTest;
using MenuMessages = MenuTest;

TEST_F(MenuTempPictures, PicturesAreHeldOnlyWhileShown) {
    MenuWrapper* root =
        Root("MenuWrapper { MenuPicture { filename = \"" + Bmp("temp", 0x0000FF) +
             "\"; temp = 1; transparent = 0; sysmem = 3; }; " + Pic(Bmp("kept", 0x00FF00)) + " };");
    EXPECT_EQ(dynamic_cast<MenuPicture*>(root->Child(0))->flags, unsigned(PICTURE_SURFACE | 12))
        << "flag values multiply as they stand";
    // The kept picture is held from the read on; the temp one while drawn.
    std::vector<int> held = {GlobalPictureCache().Size()};
    Redraw();
    held.push_back(GlobalPictureCache().Size());
    root->Deactivate();
    held.push_back(GlobalPictureCache().Size());
    root->active = true;
    Redraw();
    held.push_back(GlobalPictureCache().Size());
    EXPECT_EQ(held, (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(Pixel(0, 0), 0x0000FFu);
}

TEST_F(MenuTempPictures, TempAnimationHoldsOneFrameAtATime) {
    Root("MenuWrapper { MenuAnimation { name = \"GAMESELECTOR\"; " +
         Frames("f", 10, 0x000010, 1005) +
         " startfile = 1005; frametime = 0.1; temp = 1; };"
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
    // A control whose read fails is kept, and plays nothing.
    EXPECT_FALSE(Get("BAD")->Play(1, true));
}

TEST_F(MenuMessages, MessageWindowStartsConnectingWithEmptyLinesBelow) {
    Root("MenuWrapper { MenuMsgWindow { name = \"M\"; x = 20; y = 30; h = 3; font = \"" +
         FontFile() + "\"; }; };");
    auto* w = Get<MenuMsgWindow>("M");
    ASSERT_EQ(w->lines.Count, 3);
    EXPECT_EQ(w->lines[0], "connecting...");
    w->lines[2] = "x";
    Redraw();
    // One glyph on the first and the third line, font heights apart.
    ExpectShown({{20, 30, 0xFFFFFF}, {20, 38, 0}, {20, 46, 0xFFFFFF}, {28, 46, 0}});
}

}  // namespace
