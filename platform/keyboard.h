#pragma once

#include <cstdint>

namespace platform {

// Keyboard state by the table's scan codes (1 to 221): one byte per code,
// bit 7 set while the key is down.
struct KeyState {
    std::uint8_t keys[256] = {};

    void Set(int code, bool down) {
        if (code >= 0 && code < 256)
            keys[code] = down ? 0x80 : 0x00;
    }
    bool Down(int code) const { return code >= 0 && code < 256 && (keys[code] & 0x80) != 0; }
};

// Where the input module reads the keyboard once per frame. A read that
// fails leaves the state as the last good read left it.
class KeyboardDevice {
public:
    virtual ~KeyboardDevice() = default;
    virtual bool Read(KeyState* state) = 0;
};

// A keyboard whose keys are set by hand: tests and the headless runner.
class ManualKeyboard : public KeyboardDevice {
public:
    bool Read(KeyState* state) override {
        *state = keys;
        return true;
    }
    void Set(int code, bool down) { keys.Set(code, down); }

    KeyState keys;
};

// The SDL keyboard, mapped to the table's scan codes. Needs SDL's video
// subsystem; without a display SDL's state never changes.
class SdlKeyboard : public KeyboardDevice {
public:
    bool Read(KeyState* state) override;
};

// A key that went down since the SDL keyboard's last read counts as down in
// the next read, so a tap shorter than a frame is not lost. The window notes
// every key press here; forgetting them drops taps not yet read.
void NoteKeyPressed(int sdlScancode);
void ForgetKeyPresses();

// The table's scan code of an SDL scan code, or 0 for keys it has none for.
int ScanCodeFromSdl(int sdlScancode);

}  // namespace platform
