// The generated main menu in the menu system itself, walked as a player
// walks it with the mouse: the table drum, the options screen's
// controls where they are drawn, the scores and the way back.
#include <functional>
#include <string>

#include "audio/sound_system.h"
#include "input/control_binding.h"
#include "menu/menu_buttons.h"
#include "menu/menu_pictures.h"
#include "menu/menu_wrapper.h"
#include "render/display.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/file_access.h"
#include "tests/assets/packed_data.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

class MainMenu : public PackedData {
protected:
    void SetUp() override {
        PackedData::SetUp();
        ASSERT_TRUE(GetSoundSystem().Initialise(nullptr));
        Menus().Reset();
        display_.width = 800;
        display_.height = 600;
        display_.bpp = 32;
        ASSERT_TRUE(display_.Initialise(nullptr));
        input_.SetKeyboard(&keyboard_);
        Menus().input = &input_;
        // Every picture, frame and font the menu names is packed: a missing
        // one would leave its message in the log. A missing sound stays
        // silent, so every sound named must have been read.
        bool loaded = false;
        EXPECT_EQ(LogAddedBy([&] { loaded = Menus().LoadRoot("data\\menu\\main.script"); }), "");
        ASSERT_TRUE(loaded);
        std::function<void(MenuWrapper*)> sounds = [&](MenuWrapper* c) {
            auto* b = dynamic_cast<MenuButton*>(c);
            for (int i = 0; b && i < b->sounds.slots.Count; ++i) {
                const SoundSlot& s = b->sounds.slots[i];
                EXPECT_TRUE(s.fileName.empty() || (s.sound && s.sound->HasBuffer())) << i;
            }
            for (int i = 0; i < c->ChildCount(); ++i)
                sounds(c->Child(i));
        };
        sounds(Menus().root.get());
        root_ = Menus().root.get();
        root_->Activate();
        // What the program publishes on entering the menu.
        Menus().SetInt("FULLSCREEN", 0);
        Menus().SetInt("TRUECOLOR", 0);
        Menus().SetFloat("AUDIOVOLUME", 1.0f);
        Menus().SetFloat("CDVOLUME", 1.0f);
        Menus().SetString("LAUNCH_CONTROL", "SPACE");
        Frame();
    }
    void TearDown() override {
        Menus().Reset();
        GlobalFontCache().Clear();
        GlobalPictureCache().Clear();
        GetSoundSystem().Release();
        PackedData::TearDown();
    }
    void Frame(float dt = 0.01f) {
        input_.Poll();
        root_->Update(dt);
    }
    void Pointer(int x, int y, bool left = false) {
        Menus().pointerX = x;
        Menus().pointerY = y;
        Menus().leftButton = left;
        Frame();
    }
    // A click in the middle of a control's rectangle; returns the name of
    // the control the program is told about ("" for none).
    std::string Click(int x, int y) {
        Pointer(x, y);
        Pointer(x, y, true);
        Pointer(x, y, false);
        MenuWrapper* c = Menus().TakeLastClicked();
        return c ? c->name.c_str() : "";
    }
    // The program's action 3: the back button's grandparent closes.
    void Back(MenuWrapper* button) { button->parent->parent->Deactivate(); }
    std::uint32_t Drawn(int x, int y) {
        display_.BackSurface()->Fill(0);
        root_->Draw(display_.BackPicture(), 0, 0);
        return PixelAt(display_.BackPicture(), x, y);
    }

    Display display_;
    platform::ManualKeyboard keyboard_;
    InputManager input_;
    MenuWrapper* root_ = nullptr;
};

TEST_F(MainMenu, TitleScreenStartsAndNamesTheDrumArrows) {
    EXPECT_EQ(Click(400, 420), "START");
    EXPECT_EQ(Click(540, 258), "NEXTGAME");
    EXPECT_NE(dynamic_cast<MenuAnimation*>(Menus().Find("GAMESELECTOR")), nullptr) << "the drum";
    EXPECT_EQ(Click(260, 258), "PREVGAME");
    EXPECT_NE(Drawn(400, 260), 0u) << "the drum's frame is drawn";
}

TEST_F(MainMenu, OptionsSwitchesSlidersAndFieldsChangeTheirValues) {
    EXPECT_EQ(Click(216, 487), "");  // OPTIONS opens its screen, nothing to act on
    MenuWrapper* options = Menus().Find("OPTIONSMENU");
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->IsShown());
    EXPECT_EQ(root_->Child(root_->focused), options->parent) << "the title screen steps aside";

    // Each row's control sits where the screen draws it; how a switch, a
    // slider, a knob or a key field takes the click is the menu system's own
    // test.
    std::int32_t full = -1;
    EXPECT_EQ(Click(200, 236), "FULLSCREEN");
    ASSERT_TRUE(Menus().GetInt("FULLSCREEN", &full));
    EXPECT_EQ(full, 1);
    EXPECT_EQ(Click(118 + 262 / 4, 381), "AUDIOVOLUME");
    EXPECT_EQ(Click(146, 444), "CDVOLUME");

    // Back to the title screen.
    EXPECT_EQ(Click(644, 508), "DEACTIVATEMENU");
    Back(options->Child(0));
    EXPECT_FALSE(options->IsShown());
    EXPECT_EQ(root_->focused, -1) << "the title screen is back";
}

TEST_F(MainMenu, ScoresOpenTheTableTheProgramDrawsAndCloseAgain) {
    MenuWrapper* scores = Menus().Find("SCORES_TABLE");
    ASSERT_NE(scores, nullptr);
    EXPECT_FALSE(scores->IsShown());
    Click(400, 487);
    EXPECT_TRUE(scores->IsShown());
    EXPECT_NE(Drawn(400, 150), 0u) << "the scores panel";
    EXPECT_EQ(Click(400, 350), "DEACTIVATEMENU");
    Back(scores->Child(0));
    EXPECT_FALSE(scores->IsShown());
    EXPECT_EQ(Click(584, 487), "EXIT");
}

}  // namespace
