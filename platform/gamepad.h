#pragma once

#include <vector>

struct _SDL_GameController;
struct _SDL_Joystick;

namespace platform {

// What the pads ask of the game this frame, every pad together.
struct PadState {
    bool leftFlip = false;   // left shoulder button or trigger
    bool rightFlip = false;  // right shoulder button or trigger
    bool plunge = false;     // A (south): hold to pull, let go to launch
    bool nudge = false;      // a quick push of the left stick, any way
    bool start = false;      // Start: the menu and back
    // The menus without a mouse: the D-pad moves the highlight, A (plunge)
    // clicks, B goes back.
    bool up = false, down = false, left = false, right = false;
    bool back = false;  // B (east)
};

// One pad's raw values as SDL's game controller reports them (axes -32768..
// 32767, triggers 0..32767).
struct PadRaw {
    bool a = false, b = false, leftShoulder = false, rightShoulder = false, start = false;
    bool dpadUp = false, dpadDown = false, dpadLeft = false, dpadRight = false;
    int leftTrigger = 0, rightTrigger = 0;
    int stickX = 0, stickY = 0;
};

// A trigger counts as held past half its travel. The stick nudges once it is
// pushed past kNudgePush and must come back inside kNudgeRest before it
// nudges again: a stick resting slightly off centre never nudges, and a held
// push is one nudge, as a held nudge key is.
inline constexpr int kTriggerHeld = 16384;
inline constexpr int kNudgePush = 24000;
inline constexpr int kNudgeRest = 8000;

// Adds one pad's raw values to *out; *nudgeLatch is that pad's stick state,
// kept between frames.
void MapPad(const PadRaw& raw, bool* nudgeLatch, PadState* out);

// Where the input module reads the pads once per frame.
class GamepadDevice {
public:
    virtual ~GamepadDevice() = default;
    virtual bool Read(PadState* state) = 0;
};

// Pads set by hand: tests and the headless runner.
class ManualGamepad : public GamepadDevice {
public:
    bool Read(PadState* state) override {
        *state = pad;
        return true;
    }
    PadState pad;
};

// SDL's game controllers. Every read takes in pads plugged in since the last
// one and lets go of pads pulled out, so a pad works the moment SDL reports
// it (at once where the event loop pumps; within kIdleReadsPerScan reads
// where nothing does). Starts SDL's controller part on the first read;
// without it no pad is ever down.
class SdlGamepads : public GamepadDevice {
public:
    SdlGamepads() = default;
    ~SdlGamepads() override;
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    bool Read(PadState* state) override;
    // Closes every pad and stops the controller part it started.
    void Close();
    int Count() const { return int(pads_.size()); }

private:
    struct Pad {
        _SDL_GameController* controller = nullptr;
        int instance = -1;
        bool nudgeLatch = false;
    };
    void Refresh();

    // Reads between SDL's device scans while no pad is open.
    static constexpr int kIdleReadsPerScan = 30;

    std::vector<Pad> pads_;
    int idleReads_ = 0;
    bool started_ = false;
    bool failed_ = false;
};

// A pad SDL takes for a plugged-in game controller (SDL's virtual joystick):
// tests play the game with it through the same path a real pad takes.
class VirtualPad {
public:
    enum class Button { A, Start, LeftShoulder, RightShoulder, B, Up, Down, Left, Right };
    enum class Axis { LeftX, LeftY, LeftTrigger, RightTrigger };

    VirtualPad() = default;
    ~VirtualPad();
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // Starts SDL's joystick part when needed; false when SDL refuses.
    bool Plug();
    void Unplug();
    bool Plugged() const { return joystick_ != nullptr; }
    // The pad's values take effect at SDL's next controller update.
    void SetButton(Button button, bool down);
    void SetAxis(Axis axis, int value);

private:
    _SDL_Joystick* joystick_ = nullptr;
    bool started_ = false;
};

}  // namespace platform
