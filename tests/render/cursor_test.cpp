#include <gtest/gtest.h>

#include "render/cursor.h"
#include "render/frame_animation.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/render/render_fixture.h"
#include "tests/test_files.h"

namespace {

class Cursors : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        WriteFile(dir.File("arrow.bmp"), MakeBmp(16, 16, [](int x, int y) {
                      return x == 8 && y == 8 ? 0xFF0000u : 0x000001u;
                  }));
        for (int i = 0; i < 4; ++i)
            WriteFile(dir.File("spin000" + std::to_string(i) + ".bmp"), SolidBmp(2, 2, 0x10u + i));
    }
    bool ReadSet(const std::string& text) {
        ZarnikScr script(text.c_str(), int(text.size()));
        return set.Read(WholeScript(script));
    }
    ScratchDir dir{"cursors"};
    CursorSet set;
};

TEST_F(Cursors, ReadsBothKindsSelectsWithoutCaseAndDrawsTheHotSpotUnderThePointer) {
    std::string text = "simple { name = \"ACTM\"; dx = -8; dy = -8; picture = \"" +
                       dir.File("arrow.bmp") + "\"; };\n" +
                       "animated { name = \"Wait\"; animFileStart = \"" + dir.File("spin") +
                       "\"; animFileEnd = \".bmp\"; animFileCount = 4; };\n" +
                       "simple { name = \"broken\"; };\nother { name = \"x\"; };\n";
    ASSERT_TRUE(ReadSet(text));
    ASSERT_EQ(set.cursors.Count, 3);
    EXPECT_TRUE(set.Select("actm"));
    EXPECT_FALSE(set.Select("nothing"));
    set.visible = true;
    ClearBack();
    set.Draw(Back());  // nothing selected: nothing drawn
    EXPECT_EQ(PixelAt(Back(), 0, 0), 0u);

    // The image is offset so its hot spot lies under the pointer.
    set.Select("ACTM");
    set.Update(0.0f, 20, 30);
    set.visible = false;
    set.Draw(Back());
    EXPECT_EQ(PixelAt(Back(), 20, 30), 0u) << "invisible set draws nothing";
    set.visible = true;
    set.Draw(Back());
    ExpectPixels(Back(), {{20, 30, 0xFF0000u}, {12, 22, 0x000001u}, {11, 22, 0u}});
    // The animated one steps every 0.03 s and carries the rest.
    set.Select("wait");
    auto* anim = static_cast<AnimatedCursor*>(set.cursors[1]);
    set.Update(0.1f, 5, 5);
    EXPECT_EQ(anim->image->frame, 3);
    EXPECT_NEAR(anim->image->elapsed, 0.01f, 1e-5f);
    set.Update(0.02f, 5, 5);
    set.Draw(Back());
    EXPECT_EQ(PixelAt(Back(), 5, 5), 0x10u) << "frame 0 again";
    EXPECT_FALSE(ReadSet("other { };"));
    EXPECT_FALSE(ReadSet("animated { animFileStart = \"a\"; animFileEnd = \".bmp\"; };"));
}

}  // namespace
