#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "elements/link.h"
#include "elements/sound_obj.h"
#include "elements/table_elements.h"
#include "tests/physics/physics_fixture.h"
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

// The physics table with every element class and an 800 x 600 display.
class ElementsTest : public PhysicsTest {
protected:
    void SetUp() override {
        PhysicsTest::SetUp();
        RegisterTableElements();
        StartDisplay(800, 600);
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
    RecordingScreen screen;
};
