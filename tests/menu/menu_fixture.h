#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "input/control_binding.h"
#include "menu/menu_wrapper.h"
#include "render/display.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

// A headless 800 x 600 display, a keyboard the test presses, and a folder
// for the menu's pictures. The menu system's globals start fresh.
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        Menus().Reset();
        display.width = 800;
        display.height = 600;
        display.bpp = 32;
        ASSERT_TRUE(display.Initialise(nullptr));
        input.SetKeyboard(&keyboard);
        Menus().input = &input;
    }
    void TearDown() override {
        Menus().Reset();
        GlobalFontCache().Clear();
        GlobalPictureCache().Clear();
    }

    // The first block of the text becomes the root, opened.
    MenuWrapper* Root(const std::string& text) {
        ZarnikScr scr(text.data(), int(text.size()));
        ScriptBlock whole = WholeScript(scr);
        EXPECT_TRUE(Menus().ReadRoot(SubBlock(whole, 1)));
        Menus().root->active = true;
        return Menus().root.get();
    }
    template <typename T = MenuWrapper>
    T* Get(const char* name) {
        return dynamic_cast<T*>(Menus().Find(name));
    }
    // A solid picture file; returns its name as scripts write it.
    std::string Bmp(const std::string& name, std::uint32_t rgb, int w = 4, int h = 4) {
        WriteFile(dir.File(name + ".bmp"), SolidBmp(w, h, rgb));
        return dir.Path() + "\\" + name + ".bmp";
    }
    // A grid font of 8 x 8 white cells.
    std::string FontFile() { return Bmp("font", 0xFFFFFF, 128, 128); }

    void Pointer(int x, int y, bool left = false) {
        Menus().pointerX = x;
        Menus().pointerY = y;
        Menus().leftButton = left;
    }
    void Frame(float dt = 0.01f) { Menus().root->Update(dt); }
    void Click(int x, int y) {
        Pointer(x, y, true);
        Frame();
        Pointer(x, y, false);
        Frame();
    }
    void Keys(std::initializer_list<int> down) {
        keyboard.keys = platform::KeyState();
        for (int code : down)
            keyboard.Set(code, true);
        input.Poll();
        Frame();
    }
    void Redraw() {
        display.BackSurface()->Fill(0);
        Menus().root->Draw(display.BackPicture(), 0, 0);
    }
    std::uint32_t Pixel(int x, int y) { return PixelAt(display.BackPicture(), x, y); }

    Display display;
    platform::ManualKeyboard keyboard;
    InputManager input;
    ScratchDir dir{std::string("menu-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};
