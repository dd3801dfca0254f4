#include "input/control_binding.h"

#include <utility>

#include "script/file_access.h"
#include "script/message.h"
#include "script/zarnik_script.h"

const KeyName kKeyNames[] = {
    {1, "ESCAPE"},
    {2, "1"},
    {3, "2"},
    {4, "3"},
    {5, "4"},
    {6, "5"},
    {7, "6"},
    {8, "7"},
    {9, "8"},
    {10, "9"},
    {11, "0"},
    {12, "MINUS"},
    {13, "EQUALS"},
    {14, "BACK"},
    {15, "TAB"},
    {16, "Q"},
    {17, "W"},
    {18, "E"},
    {19, "R"},
    {20, "T"},
    {21, "Y"},
    {22, "U"},
    {23, "I"},
    {24, "O"},
    {25, "P"},
    {26, "LBRACKET"},
    {27, "RBRACKET"},
    {28, "RETURN"},
    {29, "LCONTROL"},
    {30, "A"},
    {31, "S"},
    {32, "D"},
    {33, "F"},
    {34, "G"},
    {35, "H"},
    {36, "J"},
    {37, "K"},
    {38, "L"},
    {39, "SEMICOLON"},
    {40, "APOSTROPHE"},
    {41, "GRAVE"},
    {42, "LSHIFT"},
    {43, "BACKSLASH"},
    {44, "Z"},
    {45, "X"},
    {46, "C"},
    {47, "V"},
    {48, "B"},
    {49, "N"},
    {50, "M"},
    {51, "COMMA"},
    {52, "PERIOD"},
    {53, "SLASH"},
    {54, "RSHIFT"},
    {55, "MULTIPLY"},
    {56, "LMENU"},
    {57, "SPACE"},
    {58, "CAPITAL"},
    {59, "F1"},
    {60, "F2"},
    {61, "F3"},
    {62, "F4"},
    {63, "F5"},
    {64, "F6"},
    {65, "F7"},
    {66, "F8"},
    {67, "F9"},
    {68, "F10"},
    {69, "NUMLOCK"},
    {70, "SCROLL"},
    {71, "NUMPAD7"},
    {72, "NUMPAD8"},
    {73, "NUMPAD9"},
    {74, "SUBTRACT"},
    {75, "NUMPAD4"},
    {76, "NUMPAD5"},
    {77, "NUMPAD6"},
    {78, "ADD"},
    {79, "NUMPAD1"},
    {80, "NUMPAD2"},
    {81, "NUMPAD3"},
    {82, "NUMPAD0"},
    {83, "DECIMAL"},
    {87, "F11"},
    {88, "F12"},
    {100, "F13"},
    {101, "F14"},
    {102, "F15"},
    {112, "KANA"},
    {121, "CONVERT"},
    {123, "NOCONVERT"},
    {125, "YEN"},
    {141, "NUMPADEQUALS"},
    {144, "CIRCUMFLEX"},
    {145, "AT"},
    {146, "COLON"},
    {147, "UNDERLINE"},
    {148, "KANJI"},
    {149, "STOP"},
    {150, "AX"},
    {151, "UNLABELED"},
    {156, "NUMPADENTER"},
    {157, "RCONTROL"},
    {179, "NUMPADCOMMA"},
    {181, "DIVIDE"},
    {183, "SYSRQ"},
    {184, "RMENU"},
    {199, "HOME"},
    {200, "UP"},
    {201, "PRIOR"},
    {203, "LEFT"},
    {205, "RIGHT"},
    {207, "END"},
    {208, "DOWN"},
    {209, "NEXT"},
    {210, "INSERT"},
    {211, "DELETE"},
    {219, "LWIN"},
    {220, "RWIN"},
    {221, "APPS"},
};
const int kKeyNameCount = int(sizeof(kKeyNames) / sizeof(kKeyNames[0]));

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::int32_t DeviceNameToNumber(std::string_view text) {
    if (EqualNoCase(text, "SYSTEM_KEYBOARD"))
        return DEVICE_KEYBOARD;
    if (EqualNoCase(text, "SYSTEM_MOUSE"))
        return DEVICE_MOUSE;
    return DEVICE_NONE;
}

std::int32_t KeyNameToCode(std::string_view text) {
    for (const KeyName& k : kKeyNames) {
        if (EqualNoCase(text, k.name))
            return k.code;
    }
    return 0;
}

bool KeyCodeToName(std::int32_t code, FixedString<32>* text) {
    for (const KeyName& k : kKeyNames) {
        if (k.code == code) {
            *text = k.name;
            return true;
        }
    }
    return false;
}

void InputManager::ReadBindings(const ScriptBlock& block) {
    static const SubBlockDef kControl[] = {{"control", 0}, {nullptr, 0}};
    ForEachSubBlock(block, kControl, [&](int, const ScriptBlock& sub, int) {
        ControlBinding binding;
        FixedString<32> device, devicecode, name("Unnamed");
        ReadKeys(sub, {KeyDef::Word("device", &device), KeyDef::Word("devicecode", &devicecode),
                       KeyDef::Word("name", &name)});
        binding.name = name.view();
        binding.device = DeviceNameToNumber(device.view());
        binding.devicecode = KeyNameToCode(devicecode.view());
        bindings.Append(binding);
    });
}

bool InputManager::LoadBindings(const char* path) {
    ZarnikScr scr(path);
    const ScriptBlock whole = WholeScript(scr);
    int i = 0;
    while (i < whole.count) {
        if (whole.Type(i) == TOK_WORD && whole.IsPunct(i + 1, '{')) {
            ReadBindings(SubBlock(whole, i + 1));
            return true;
        }
        i = SkipStatement(whole, i);
    }
    return false;
}

int InputManager::FindControl(std::string_view name) const {
    for (int i = 0; i < bindings.Count; ++i) {
        if (EqualNoCase(bindings[i].name.view(), name))
            return i;
    }
    ReportMessage("control not found !");
    return 0;
}

void InputManager::FindGameControls() {
    controls.leftHandle = FindControl("LEFTHANDLE");
    controls.rightHandle = FindControl("RIGHTHANDLE");
    controls.spring = FindControl("SPRING");
    controls.exit = FindControl("EXIT");
    controls.tilt = FindControl("TILT");
}

void InputManager::Poll() {
    if (keyboard_ != nullptr) {
        // A failed read keeps what the last good one left.
        platform::KeyState fresh = state_;
        if (keyboard_->Read(&fresh))
            state_ = fresh;
    }
    for (ControlBinding& b : bindings) {
        if (b.device != DEVICE_KEYBOARD)
            continue;
        const int code = b.devicecode;
        // Code 0 is "no key": never pressed.
        b.pressed = (code > 0 && code < 256) ? (state_.keys[code] & 0x80) : 0;
    }
    // A pad that can't be read is a pad with nothing held.
    pad_ = platform::PadState();
    if (gamepad_ != nullptr && !gamepad_->Read(&pad_))
        pad_ = platform::PadState();
    const std::pair<int, bool> pressed[] = {{controls.leftHandle, pad_.leftFlip},
                                            {controls.rightHandle, pad_.rightFlip},
                                            {controls.spring, pad_.plunge},
                                            {controls.tilt, pad_.nudge},
                                            {controls.exit, pad_.start}};
    for (const auto& [index, down] : pressed) {
        if (down && index >= 0 && index < bindings.Count)
            bindings[index].pressed = 0x80;
    }
}

std::int32_t InputManager::Pressed(int index) const {
    if (index < 0 || index >= bindings.Count)
        return 0;
    return bindings[index].pressed;
}

void InputManager::Release() {
    bindings.Clear();
    controls = GameControls();
    keyboard_ = nullptr;
    gamepad_ = nullptr;
}
