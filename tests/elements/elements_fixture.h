#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "elements/link.h"
#include "elements/sound_obj.h"
#include "elements/table_elements.h"
#include "input/control_binding.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "table/table.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

// An element that counts what links do to it.
struct Probe : TableObject {
    bool Load(const ScriptBlock&) override { return true; }
    void Clear() override {}
    void Activate() override { ++activations; }
    void SetHighlight(bool on) override { highlighted = on; }
    int activations = 0;
    bool highlighted = false;
};

struct RecordingScreen : GameScreenLink {
    void ShowItem(const char* name) override { shown.push_back(name); }
    std::vector<std::string> shown;
};

// A table built element by element, with a headless display for pictures
// and a keyboard the test presses.
class ElementsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPhysicsElements();
        RegisterTableElements();
        const char* names[] = {"LEFTHANDLE", "RIGHTHANDLE", "SPRING", "EXIT", "TILT"};
        const char* keys[] = {"LSHIFT", "RSHIFT", "SPACE", "ESCAPE", "T"};
        for (int i = 0; i < 5; ++i) {
            ControlBinding b;
            b.name = names[i];
            b.device = DEVICE_KEYBOARD;
            b.devicecode = KeyNameToCode(keys[i]);
            input.bindings.Append(b);
        }
        input.FindGameControls();
        input.SetKeyboard(&keyboard);
        table.SetInput(&input);
        display.width = 800;
        display.height = 600;
        display.bpp = 32;
        ASSERT_TRUE(display.Initialise(nullptr));
        std::srand(7);
    }

    // `count` frames "<dir>/f000N.bmp" of 10 x 8 pixels; returns the keys
    // that name them.
    std::string Frames(int count) {
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof(name), "f%04d.bmp", i);
            WriteFile(dir.File(name), SolidBmp(10, 8, 0x102030u * std::uint32_t(i + 1)));
        }
        return "filestart = \"" + dir.File("f") +
               "\"; fileend = \".bmp\"; filecount = " + std::to_string(count) + "; ";
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

    Probe* AddProbe(bool enabled = true) {
        auto p = std::make_unique<Probe>();
        p->SetEnabled(enabled);
        Probe* raw = p.get();
        table.AppendElement(std::move(p));
        return raw;
    }

    void Update(float dt = 0.01f) { table.Update(&screen, dt); }
    // Raises the source's one-frame event `times` times, one update each.
    void Fire(TableObject* source, int times = 1, float dt = 0.01f) {
        for (int i = 0; i < times; ++i) {
            source->event_flag = 1;
            Update(dt);
        }
    }

    ScratchDir dir{"elements_test"};
    Display display;
    platform::ManualKeyboard keyboard;
    InputManager input;
    Table table;
    RecordingScreen screen;
};
