#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "input/control_binding.h"
#include "physics/collision_form.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "table/table.h"

// A message element as the table sees it, remembering what it was told.
struct FakeMessage : TableMessage {
    bool IsActive() const override { return active; }
    void SetActive(bool on) override { active = on; }
    void ShowMessage(const char* text) override { shown = text; }
    void ShowLine(int) override {}
    int LineCount() const override { return 0; }

    bool active = false;
    std::string shown;
};

// A table with hand-made elements and a keyboard the test presses; the five
// game controls on left and right Shift, Space, Escape and T.
class PhysicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPhysicsElements();
        const char* names[] = {"LEFTHANDLE", "RIGHTHANDLE", "SPRING", "EXIT", "TILT"};
        const char* keys[] = {"LSHIFT", "RSHIFT", "SPACE", "ESCAPE", "T"};
        for (int i = 0; i < 5; ++i) {
            ControlBinding b;
            b.name = names[i], b.device = DEVICE_KEYBOARD, b.devicecode = KeyNameToCode(keys[i]);
            input.bindings.Append(b);
        }
        input.FindGameControls();
        input.SetKeyboard(&keyboard);
        table.SetInput(&input);
    }

    // A headless display with a 32-bit back surface of w x h.
    void StartDisplay(int w, int h) {
        display = std::make_unique<Display>();
        display->width = w, display->height = h, display->bpp = 32;
        ASSERT_TRUE(display->Initialise(nullptr));
    }

    void Press(const char* key, bool down) {
        keyboard.Set(KeyNameToCode(key), down);
        input.Poll();
    }

    // Loads an element of class T from the body text and appends it.
    template <typename T>
    T* Add(const std::string& body) {
        auto element = std::make_unique<T>(table);
        std::string text = "X { " + body + " };;";
        ZarnikScr scr(text.data(), int(text.size()));
        element->Load(SubBlock(WholeScript(scr), 1));
        T* raw = element.get();
        table.AppendElement(std::move(element));
        return raw;
    }

    // A straight two-vertex form.
    CollisionForm* Segment(float ax, float ay, float bx, float by, const char* cType,
                           const std::string& extra = "") {
        char body[512];
        std::snprintf(body, sizeof(body),
                      "c_type = \"%s\"; %s Line { toX = %.6f; toY = %.6f; };; "
                      "Line { toX = %.6f; toY = %.6f; };;",
                      cType, extra.c_str(), double(ax), double(ay), double(bx), double(by));
        return Add<CollisionForm>(body);
    }

    std::unique_ptr<Display> display;  // before the table: pictures go first
    platform::ManualKeyboard keyboard;
    InputManager input;
    Table table{7};
};
