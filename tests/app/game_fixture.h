#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/game_app.h"
#include "menu/menu_wrapper.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

inline std::uint32_t fakeNow = 1000;
inline std::uint32_t FakeClock() {
    return fakeNow;
}

// A small game in a folder of its own on a fake clock: the configuration with
// the given video keys, the main menu, the system font and `tables` copies of
// one table (data\t0000.script on).
class GameTest : public ::testing::Test {
protected:
    void WriteGame(const std::string& video, const std::string& menu, int tables,
                   const std::string& table) {
        WriteFile(
            dir.File("data/config.script"),
            "video { " + video +
                " };; startup { mainmenu = \"data\\main.script\"; };; tables { tablecount = " +
                std::to_string(tables) + "; filestart = \"data\\t\"; fileend = \".script\"; };;");
        WriteFile(dir.File("data/main.script"), menu);
        WriteFile(dir.File("data/fonts/default.bmp"), SolidBmp(64, 64, 0xFFFFFF));
        for (int t = 0; t < tables; ++t)
            WriteFile(dir.File("data/t000" + std::to_string(t) + ".script"), table);
        std::filesystem::current_path(dir.Path());
    }
    void Start(bool safemode = false, bool developer = false) {
        app = std::make_unique<GameApp>();
        app->keyboard = &keys;
        app->clock = &FakeClock;
        app->safemode = safemode;
        app->developer = developer;
        ASSERT_TRUE(app->Initialise());
    }
    void TearDown() override {
        if (app)
            app->Shutdown();
        app.reset();
        std::filesystem::current_path(home);
    }
    // Frames `ms` milliseconds apart.
    void Frames(int n, int ms = 10) {
        for (int i = 0; i < n; ++i) {
            fakeNow += std::uint32_t(ms);
            ASSERT_TRUE(app->Frame());
        }
    }
    void Event(platform::WindowEventType type, int keyCode = 0, bool alt = false, int scanCode = 0,
               bool ctrl = false) {
        platform::WindowEvent e;
        e.type = type;
        e.keyCode = keyCode;
        e.scanCode = scanCode;
        e.alt = alt;
        e.ctrl = ctrl;
        e.x = 120;
        e.y = 110;
        app->HandleWindowEvent(e);
    }

    std::filesystem::path home = std::filesystem::current_path();
    ScratchDir dir{"game"};
    platform::ManualKeyboard keys;
    std::unique_ptr<GameApp> app;
};
