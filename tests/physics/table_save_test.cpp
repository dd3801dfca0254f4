#include <gtest/gtest.h>

#include <string>

#include "physics/collision_form.h"
#include "physics/physics_elements.h"
#include "table/table.h"
#include "tests/test_files.h"

namespace {

const char* kSaved =
    "ScreenRect{\r\n left = 0;\r\n right = 640;\r\n top = 0;\r\n bottom = 480;\r\n};;\r\n"
    "TableSettings{\r\n ball_count = 3;\r\n};;\r\n"
    "MainBall{\r\n name = \"Steel\";\r\n atX = 0.5000;\r\n atY = 0.2500;\r\n"
    " startup_position_x = 0.5000;\r\n startup_position_y = 0.2500;\r\n"
    " startup_speed_x = 0.1250;\r\n startup_speed_y = 0.0000;\r\n radius = 0.0300;\r\n"
    " opacity = 0.7500;\r\n dmap = \"\";\r\n dmplus = \"\";\r\n image = \"\";\r\n"
    " shadow = \"\";\r\n shX = 3;\r\n shY = 4;\r\n refX = -2;\r\n refY = 1;\r\n temp = "
    "0;\r\n};;\r\n"
    "CollisionForm {\r\n atX = 0.3000;\r\n atY = 0.4000;\r\n k_bounce = 0.5000;\r\n"
    " k_slide = 0.6000;\r\n f_type = \"CLOSED\";\r\n c_type = \"COLLISION_STOP\";\r\n"
    " Line {\r\n  toX = 0.1000;\r\n  toY = 0.2000;\r\n };;\r\n"
    " Line {\r\n  toX = 0.3000;\r\n  toY = 0.4000;\r\n };;\r\n};;\r\n"
    "Handle {\r\n atX = 0.2500;\r\n atY = 0.8000;\r\n filestart = \"data\\flip\";\r\n"
    " fileend = \".bmp\";\r\n filecount = 0;\r\n fspeed = 20.0000;\r\n bspeed = 15.0000;\r\n"
    " maxangle = 0.5000;\r\n length = 0.0620;\r\n control = 2;\r\n form = 1;\r\n};;\r\n"
    "Spring {\r\n atX = 0.9000;\r\n atY = 0.8500;\r\n filestart = \"\";\r\n fileend = \"\";\r\n"
    " filecount = 0;\r\n fspeed = 0.0100;\r\n bspeed = 0.0100;\r\n maxangle = 0.0400;\r\n"
    " kmax = 1.2500;\r\n control = 3;\r\n form = 9;\r\n};;\r\n";

TEST(TableSave, EveryElementWritesItsOwnTextAndReadsItBack) {
    RegisterPhysicsElements();
    ScratchDir dir("table_save");
    WriteFile(dir.File("in.script"), kSaved);
    Table table;
    ASSERT_TRUE(table.Load(dir.File("in.script").c_str(), "p"));
    std::string text;
    ASSERT_TRUE(table.SaveText(&text));
    EXPECT_EQ(text, kSaved);
    // Save writes the same text to its file.
    ASSERT_TRUE(table.Save(dir.File("out.script").c_str()));
    EXPECT_EQ(ReadFile(dir.File("out.script")), kSaved);
}

TEST(TableSave, AnElementLongerThan8192BytesIsWrittenWhole) {
    RegisterPhysicsElements();
    std::string script = "CollisionForm { ";
    for (int i = 0; i < 400; ++i)
        script += "Line { toX = 0." + std::to_string(100 + i) + "; toY = 0.5; };; ";
    script += "};;\r\nCollisionForm { Line { toX = 0.1; toY = 0.1; };; };;\r\n";
    Table table, again;
    table.LoadFromText(script.data(), int(script.size()), "big", "p");
    std::string saved;
    ASSERT_TRUE(table.SaveText(&saved));
    EXPECT_GT(saved.size(), 2u * 8192u);
    again.LoadFromText(saved.data(), int(saved.size()), "saved", "p");
    ASSERT_EQ(again.ElementCount(), 2);
    EXPECT_EQ(static_cast<CollisionForm*>(again.Element(0))->VertexCount(), 400);
    EXPECT_EQ(static_cast<CollisionForm*>(again.Element(1))->VertexCount(), 1);
}

}  // namespace
