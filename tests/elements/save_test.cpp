#include <string>

#include "elements/text_messages.h"
#include "tests/elements/elements_fixture.h"

namespace {

using ElementSave = ElementsTest;

const char* kEveryKind =
    "ScreenRect { left = 0; right = 800; top = 0; bottom = 600; };;\r\n"
    "MainBall { name = \"Ball\"; };;\r\n"
    "StaticPicture { filename = \"pic.bmp\"; atX = 0.1; atY = 0.2; noTilt = 1; };;\r\n"
    "StaticSprite { atX = 0.3; filestart = \"s\"; fileend = \".bmp\"; filecount = 2; "
    "frametime = 0.05; reverse = 1; playalways = 1; loopcount = 4; };;\r\n"
    "Switch { atX = 0.5; atY = 0.25; filestart = \"sw\"; fileend = \".bmp\"; };;\r\n"
    "TSwitch { atX = 0.125; filename = \"t.bmp\"; };;\r\n"
    "Dummy { whatever = 3; };;\r\n"
    "Link { from = 4; next = 9; scores = 10; menu_name = \"clip\"; tres_time = 1.5; "
    "To { to = 5; };; To { current_only = 1; to = 9; };; };;\r\n"
    "SoundObj { filename = \"bell.wav\"; };;\r\n"
    "Teleporter { atX = 0.2; timeToRelease = 1.25; };;\r\n"
    "BallGenerator { speedValue = 0.75; };;\r\n"
    "TextMessage { message = \"score\"; atX = 0.5; SimpleMessage { string = \"a b\"; };; };;\r\n"
    "TravelingString { name = \"welcome\"; message = \"hi\"; type = 1; filestart = \"w\"; "
    "fileend = \".bmp\"; filecount = 3; frametime = 0.1; SimpleMessage { string = \"one\"; };; "
    "};;\r\n"
    "Locker { atX = 0.6; maxtime = 2.0; filestart = \"g\"; fileend = \".bmp\"; filecount = 4; "
    "keycontrol = 1; };;\r\n";

TEST_F(ElementSave, EveryKindSavesTextThatReloadsToTheSameText) {
    WriteFile(dir.File("a.script"), kEveryKind);
    ASSERT_TRUE(table.Load(dir.File("a.script").c_str(), "p"));
    ASSERT_EQ(table.ElementCount(), 13);
    EXPECT_TRUE(table.Element(6)->Enabled()) << "its target 9 comes later in the script";
    std::string first;
    ASSERT_TRUE(table.SaveText(&first));
    WriteFile(dir.File("b.script"), first);
    Table again;
    ASSERT_TRUE(again.Load(dir.File("b.script").c_str(), "p"));
    std::string second;
    ASSERT_TRUE(again.SaveText(&second));
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("};;\r\nDummy {\r\n ;;\r\n};;\r\nLink {"), std::string::npos);
    EXPECT_NE(first.find("Switch { atX = 0.5000;\r\n atY = 0.2500;\r\n"), std::string::npos);
    EXPECT_NE(first.find(" atY = 0.0000;\r\n filestart = \"w\";\r\n fileend = \".bmp\";\r\n"
                         " filecount = 3;\r\n frametime = 0.1000;\r\n SimpleMessage {\r\n"
                         "  string = \"one\";\r\n };;\r\n};;"),
              std::string::npos);
}

}  // namespace
