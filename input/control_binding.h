#pragma once

#include <cstdint>
#include <string_view>

#include "platform/gamepad.h"
#include "platform/keyboard.h"
#include "script/fixed_string.h"
#include "script/flist.h"
#include "script/script_block.h"

enum InputDevice : std::int32_t { DEVICE_NONE = 0, DEVICE_KEYBOARD = 1, DEVICE_MOUSE = 2 };

// One named control bound to a key.
struct ControlBinding {
    FixedString<32> name{"Unnamed"};
    std::int32_t device = DEVICE_NONE;
    std::int32_t devicecode = 0;
    std::int32_t pressed = 0;  // 128 while the key is down
};

// One row of the key-name table.
struct KeyName {
    std::int32_t code;
    const char* name;
};
extern const KeyName kKeyNames[];
extern const int kKeyNameCount;

// "SYSTEM_KEYBOARD" 1, "SYSTEM_MOUSE" 2, anything else 0; case ignored.
std::int32_t DeviceNameToNumber(std::string_view text);
// The scan code of a key name, case ignored; 0 for a name not in the table.
std::int32_t KeyNameToCode(std::string_view text);
// The key name of a code; false (text left alone) for a code not in the table.
bool KeyCodeToName(std::int32_t code, FixedString<32>* text);

// The indexes of the controls the game itself tests.
struct GameControls {
    int leftHandle = -1;
    int rightHandle = -1;
    int spring = -1;
    int exit = -1;
    int tilt = -1;
};

// The process's bindings and the keyboard they are read from.
class InputManager {
public:
    static constexpr const char* kInputScript = "data\\input.script";

    // The device is not owned; nullptr leaves every control up.
    void SetKeyboard(platform::KeyboardDevice* keyboard) { keyboard_ = keyboard; }
    // The pads, not owned: they press the game's controls (flippers, plunger,
    // nudge, menu) whatever keys those are bound to. nullptr for none.
    void SetGamepad(platform::GamepadDevice* gamepad) { gamepad_ = gamepad; }

    // Appends a binding for every `control { ... };` of the block.
    void ReadBindings(const ScriptBlock& block);
    // Reads the body of the first block of the script, whatever it is called.
    bool LoadBindings(const char* path);

    // Index of the first binding of that name (case ignored); reports
    // "control not found !" and gives 0 when there is none.
    int FindControl(std::string_view name) const;
    // Looks up LEFTHANDLE, RIGHTHANDLE, SPRING, EXIT and TILT.
    void FindGameControls();

    // Reads the keyboard and the pads and updates every keyboard binding.
    void Poll();
    // 128 while the control's key is down; 0 for an index without a binding.
    std::int32_t Pressed(int index) const;

    void Release();

    // The key states of the last poll, by scan code (bit 7 while down): the
    // menus type and capture keys from them.
    const platform::KeyState& KeyStates() const { return state_; }
    // The right mouse button as the program last saw it (the window reports
    // mouse buttons, not the keyboard); menu switches step back with it.
    void SetRightButton(bool down) { rightButton_ = down; }
    bool RightButtonDown() const { return rightButton_; }
    // Every pad together as the last poll read them; the menus are driven by them.
    const platform::PadState& Pads() const { return pad_; }

    flist<ControlBinding> bindings;
    GameControls controls;

private:
    platform::KeyboardDevice* keyboard_ = nullptr;
    platform::GamepadDevice* gamepad_ = nullptr;
    platform::KeyState state_;
    platform::PadState pad_;
    bool rightButton_ = false;
};
