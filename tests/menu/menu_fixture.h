#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "input/control_binding.h"
#include "menu/menu_buttons.h"
#include "menu/menu_pictures.h"
#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

// The menu tests' one fixture: a headless 800 x 600 display, a keyboard the
// test presses, and a folder for the menu's pictures. The menu system's
// globals start fresh.
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
        EXPECT_TRUE(Menus().ReadRoot(SubBlock(WholeScript(scr), 1)));
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
    // Frames name0000.bmp ... of 4 x 4 pixels, frame i of colour rgb * (i + 1);
    // returns the keys that name them.
    std::string Frames(const std::string& name, int count, std::uint32_t rgb, int first = 0) {
        for (int i = 0; i < count; ++i) {
            char number[8];
            std::snprintf(number, sizeof number, "%04d", first + i);
            Bmp(name + number, rgb * std::uint32_t(i + 1));
        }
        return "filestart = \"" + dir.Path() + "\\" + name +
               "\"; fileend = \".bmp\"; filecount = " + std::to_string(count) + ";";
    }
    static std::string Repeat(const std::string& text, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += text;
        return out;
    }
    static std::string Pic(const std::string& file) {
        return "MenuPicture { filename = \"" + file + "\"; };";
    }
    // A grid font of 8 x 8 white cells.
    std::string FontFile() { return Bmp("font", 0xFFFFFF, 128, 128); }

    void Frame(float dt = 0.01f) { Menus().root->Update(dt); }
    // One frame with the pointer at (x, y).
    void FrameAt(int x, int y, bool left = false) {
        Menus().pointerX = x;
        Menus().pointerY = y;
        Menus().leftButton = left;
        Frame();
    }
    void Click(int x, int y) {
        FrameAt(x, y, true);
        FrameAt(x, y);
    }
    // One frame with exactly these keys down.
    void Keys(const std::vector<int>& down) {
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
    void ExpectShown(std::initializer_list<PixelCheck> checks) {
        ExpectPixels(display.BackPicture(), checks);
    }

    Display display;
    platform::ManualKeyboard keyboard;
    InputManager input;
    ScratchDir dir{std::string("menu-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};
