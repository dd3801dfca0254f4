#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "editor/editor.h"
#include "elements/link.h"
#include "elements/table_elements.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "script/script_block.h"
#include "table/table.h"
#include "tests/test_files.h"

// A table with every element class registered and a headless display for
// pictures.
class TableWithDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPhysicsElements();
        RegisterTableElements();
        display.width = 800;
        display.height = 600;
        display.bpp = 32;
        ASSERT_TRUE(display.Initialise(nullptr));
        std::srand(7);
    }
    static std::string Dummies(int count) {
        std::string s;
        for (int i = 0; i < count; ++i)
            s += "Dummy { };;\r\n";
        return s;
    }
    // What a page that shows element `index` sends.
    EditorExpect At(int index) const { return {index, ElementId(table.Element(index))}; }
    Link* LinkAt(int index) const { return dynamic_cast<Link*>(table.Element(index)); }

    Display display;
    Table table;
};

// ... and an editor on it.
class EditorTest : public TableWithDisplay {
protected:
    void LoadTable(const std::string& text, const char* name = "data\\tables\\t.script") {
        table.LoadFromText(text.data(), int(text.size()), name, "Tester");
        editor.TableLoaded(name);
    }
    // Selects element `index` as the page would.
    EditorExpect Pick(int index) {
        EXPECT_EQ(editor.Select(At(index)).code, EditorResult::DONE);
        return At(index);
    }

    Editor editor{table};
};
