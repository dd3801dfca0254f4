#include "tests/menu/menu_fixture.h"

namespace {

using MenuSave = MenuTest;

// Saved, loaded and saved again, every control writes the same text: each
// key it writes reads back to the value it came from.
TEST_F(MenuSave, EveryControlReadsBackFromItsSaveAsItWas) {
    const std::string files = Frames("s", 2, 0x808080), s = dir.Path() + "\\s", font = FontFile();
    MenuWrapper* root = Root(
        "MenuWrapper { name = \"ROOT\"; hint = \"top\"; x = 1; y = -2; cascade = 1;"
        " MenuButton { name = \"B\"; tx = 5; ty = 6; tw = 7; th = 8;"
        "   SoundPack { up = \"u.wav\"; down = \"d.wav\"; }; MenuPicture { filename = \"" +
        s +
        "0000.bmp\"; transparent = 0; temp = 1; }; };"
        " MenuSwitch { statecount = 1; MenuWrapper { }; MenuSwitchButton { affected = 3; add = -1; "
        "}; };"
        " MenuSwitch { MenuWrapper { }; MenuWrapper { }; };"
        " MenuSlider { " +
        files +
        " };"
        " MenuRoundSlider { " +
        files +
        " picx = -4; cx = 400.0; cz = 300.0; px = 400.0;"
        "   pz = 200.0; maxangle = 3.5; picname = \"" +
        s +
        "0001.bmp\"; };"
        " MenuEditControl { editable = 1; Caption = \"hi there\"; font = \"" +
        font +
        "\"; CFStart = \"c\"; CFEnd = \".bmp\"; CFCount = 0; CFFrTime = 0.5; cx = 2; };"
        " MenuGetControl { Caption = \"LSHIFT\"; };"
        " MenuAnimation { " +
        files +
        " startfile = 0; frametime = 0.0625; playnow = 1; temp = 1; };"
        " MenuAnimation { name = \"BROKEN\"; filecount = 4; frametime = 0.0; };"
        " MenuMsgWindow { h = 2; font = \"" +
        font + "\"; }; };");
    std::string saved, again, indent;
    root->Save(&saved, &indent);
    EXPECT_EQ(indent, "");
    EXPECT_TRUE(saved.ends_with("\t};\r\n};\r\n")) << "a child closes a tab deeper";
    // The direction of value 0 is written as the point one pixel from the centre.
    for (const std::string& key : std::vector<std::string>{
             "MenuWrapper {\r\n\tname = \"ROOT\";\r\n\thint = \"top\";\r\n\tx = 1;\r\n\ty = -2;\r\n"
             "\tcascade = 1;\r\n\tMenuButton {\r\n\t\tname = \"B\";",
             "\t\tSoundPack {\r\n\t\t\tup = \"u.wav\";\r\n\t\t\tdown = \"d.wav\";\r\n\t\t};\r\n",
             "\ttransparent = 0;", "\t\tstatecount = 1;", "\t\tstatecount = 0;", "\taffected = 3;",
             "\tfilestart = \"" + s + "\";", "\tpz = 299.000000;", "\tCFFrTime = 0.500000;"})
        EXPECT_NE(saved.find(key), std::string::npos) << key;
    WriteFile(dir.File("saved.script"), saved);
    ASSERT_TRUE(Menus().LoadRoot((dir.Path() + "\\saved.script").c_str()));
    Menus().root->Save(&again, &indent);
    EXPECT_EQ(again, saved);
}

}  // namespace
