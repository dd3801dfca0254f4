#include <gtest/gtest.h>

#include <string>

#include "input/control_binding.h"
#include "script/script_block.h"
#include "script/zarnik_script.h"
#include "tests/test_files.h"

namespace {

// A keyboard whose reads can be made to fail, as when the window is in the
// background.
class FlakyKeyboard : public platform::KeyboardDevice {
public:
    bool Read(platform::KeyState* state) override {
        if (!fail)
            *state = keys;
        return !fail;
    }
    platform::KeyState keys;
    bool fail = false;
};

TEST(KeyNames, LookupsIgnoreCaseAndUnknownNamesOrCodesGiveNothing) {
    EXPECT_EQ(KeyNameToCode("lshift"), 42);
    EXPECT_EQ(KeyNameToCode("F16"), 0);
    FixedString<32> name("kept");
    EXPECT_FALSE(KeyCodeToName(84, &name));
    EXPECT_EQ(name, "kept");
    EXPECT_TRUE(KeyCodeToName(221, &name));
    EXPECT_EQ(name, "APPS");
    EXPECT_EQ(DeviceNameToNumber("system_keyboard"), DEVICE_KEYBOARD);
    EXPECT_EQ(DeviceNameToNumber("JOYSTICK"), DEVICE_NONE);
}

TEST(Controls, OnlyKeyboardBindingsWithKnownKeysArePressed) {
    const std::string text =
        "control { name = \"LEFTHANDLE\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"lshift\"; "
        "};\n"
        "control { name = \"FUTURE\"; device = \"SYSTEM_KEYBOARD\"; devicecode = \"F16\"; };\n"
        "control { name = \"POINT\"; device = \"SYSTEM_MOUSE\"; devicecode = \"LSHIFT\"; };\n"
        "other { name = \"SKIPPED\"; };\n"
        "control { devicecode = \"SPACE\"; };\n";
    ZarnikScr scr(text.data(), int(text.size()));
    InputManager input;
    input.ReadBindings(WholeScript(scr));
    ASSERT_EQ(input.bindings.Count, 4);
    EXPECT_EQ(input.bindings[3].name, "Unnamed");
    EXPECT_EQ(input.bindings[3].device, DEVICE_NONE);
    platform::ManualKeyboard keyboard;
    input.SetKeyboard(&keyboard);
    for (int code = 0; code < 256; ++code)
        keyboard.Set(code, true);
    input.Poll();
    EXPECT_EQ(input.Pressed(0), 128);
    for (int control : {1, 2, 99, -1})
        EXPECT_EQ(input.Pressed(control), 0) << control;
    EXPECT_EQ(input.FindControl("lefthandle"), 0);
    // A missing game control is reported and reads the first binding.
    std::string log = LogAddedBy([&] { input.FindGameControls(); });
    EXPECT_NE(log.find("control not found !"), std::string::npos);
    EXPECT_EQ(input.controls.tilt, 0);
}

TEST(Controls, FailedReadKeepsTheLastStateAndBindingsComeFromTheFirstBlock) {
    ScratchDir dir("input_test");
    WriteFile(dir.File("input.script"),
              "junk = 1;\r\nkeys {\r\n control { name = \"TILT\"; device = \"SYSTEM_KEYBOARD\"; "
              "devicecode = \"T\"; };\r\n};;\r\nlater { control { name = \"X\"; }; };;\r\n");
    InputManager input;
    ASSERT_TRUE(input.LoadBindings(dir.File("input.script").c_str()));
    ASSERT_EQ(input.bindings.Count, 1);
    EXPECT_FALSE(InputManager().LoadBindings(dir.File("missing.script").c_str()));
    FlakyKeyboard keyboard;
    input.SetKeyboard(&keyboard);
    keyboard.keys.Set(KeyNameToCode("T"), true);
    input.Poll();
    EXPECT_NE(input.Pressed(0), 0);
    keyboard.fail = true;
    keyboard.keys.Set(KeyNameToCode("T"), false);
    input.Poll();
    EXPECT_NE(input.Pressed(0), 0);
    keyboard.fail = false;
    input.Poll();
    EXPECT_EQ(input.Pressed(0), 0);
}

}  // namespace
