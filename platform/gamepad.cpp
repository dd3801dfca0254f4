#include "platform/gamepad.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>

namespace platform {

void MapPad(const PadRaw& raw, bool* nudgeLatch, PadState* out) {
    out->leftFlip = out->leftFlip || raw.leftShoulder || raw.leftTrigger >= kTriggerHeld;
    out->rightFlip = out->rightFlip || raw.rightShoulder || raw.rightTrigger >= kTriggerHeld;
    out->plunge = out->plunge || raw.a;
    out->start = out->start || raw.start;
    out->back = out->back || raw.b;
    out->up = out->up || raw.dpadUp;
    out->down = out->down || raw.dpadDown;
    out->left = out->left || raw.dpadLeft;
    out->right = out->right || raw.dpadRight;
    // The larger of the two directions, so a diagonal push counts as well.
    const int push = std::max(std::abs(raw.stickX), std::abs(raw.stickY));
    if (!*nudgeLatch && push >= kNudgePush)
        *nudgeLatch = true;
    else if (*nudgeLatch && push < kNudgeRest)
        *nudgeLatch = false;
    out->nudge = out->nudge || *nudgeLatch;
}

SdlGamepads::~SdlGamepads() {
    Close();
}

void SdlGamepads::Close() {
    // After SDL_Quit the controllers are gone already.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
        for (Pad& p : pads_)
            SDL_GameControllerClose(p.controller);
        if (started_)
            SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    pads_.clear();
    started_ = false;
}

void SdlGamepads::Refresh() {
    // Pads pulled out.
    for (std::size_t i = 0; i < pads_.size();) {
        if (!SDL_GameControllerGetAttached(pads_[i].controller)) {
            SDL_GameControllerClose(pads_[i].controller);
            pads_.erase(pads_.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    // Pads plugged in.
    const int count = SDL_NumJoysticks();
    for (int d = 0; d < count; ++d) {
        if (!SDL_IsGameController(d))
            continue;
        const int instance = SDL_JoystickGetDeviceInstanceID(d);
        const bool known = std::any_of(pads_.begin(), pads_.end(),
                                       [&](const Pad& p) { return p.instance == instance; });
        if (known)
            continue;
        if (SDL_GameController* c = SDL_GameControllerOpen(d))
            pads_.push_back(Pad{c, instance, false});
    }
}

bool SdlGamepads::Read(PadState* state) {
    *state = PadState();
    if (failed_)
        return false;
    if (!started_) {
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
            failed_ = true;
            return false;
        }
        started_ = true;
    }
    // Pads SDL knows of are taken in at once: the event pump, and SDL's
    // virtual pads, add them without our help. SDL's own update reads the
    // open pads' buttons, and also scans the system for new devices, which
    // costs a good part of a frame: with no pad open it runs only now and
    // then, so a pad is still found where nothing pumps events.
    Refresh();
    if (!pads_.empty() || ++idleReads_ >= kIdleReadsPerScan) {
        idleReads_ = 0;
        const bool scanOnly = pads_.empty();
        SDL_GameControllerUpdate();
        if (scanOnly)
            Refresh();
    }
    for (Pad& p : pads_) {
        SDL_GameController* c = p.controller;
        PadRaw raw;
        auto down = [c](SDL_GameControllerButton b) {
            return SDL_GameControllerGetButton(c, b) != 0;
        };
        raw.a = down(SDL_CONTROLLER_BUTTON_A);
        raw.b = down(SDL_CONTROLLER_BUTTON_B);
        raw.dpadUp = down(SDL_CONTROLLER_BUTTON_DPAD_UP);
        raw.dpadDown = down(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        raw.dpadLeft = down(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        raw.dpadRight = down(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        raw.leftShoulder = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_LEFTSHOULDER) != 0;
        raw.rightShoulder =
            SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) != 0;
        raw.start = SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_START) != 0;
        raw.leftTrigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
        raw.rightTrigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
        raw.stickX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        raw.stickY = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        MapPad(raw, &p.nudgeLatch, state);
    }
    return true;
}

VirtualPad::~VirtualPad() {
    Unplug();
    if (started_ && SDL_WasInit(SDL_INIT_JOYSTICK))
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool VirtualPad::Plug() {
    if (joystick_)
        return true;
    if (!started_) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            return false;
        started_ = true;
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    // Buttons and axes in SDL's controller order: SDL maps them one to one.
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Zarnik virtual pad";
    const int device = SDL_JoystickAttachVirtualEx(&desc);
    if (device < 0)
        return false;
    joystick_ = SDL_JoystickOpen(device);
    if (!joystick_) {
        SDL_JoystickDetachVirtual(device);
        return false;
    }
    // Triggers rest at 0, not at the middle of their travel.
    SetAxis(Axis::LeftTrigger, 0);
    SetAxis(Axis::RightTrigger, 0);
    return true;
}

void VirtualPad::Unplug() {
    if (!joystick_)
        return;
    const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int d = 0; d < SDL_NumJoysticks(); ++d) {
        if (SDL_JoystickGetDeviceInstanceID(d) == instance) {
            SDL_JoystickDetachVirtual(d);
            break;
        }
    }
}

void VirtualPad::SetButton(Button button, bool down) {
    static constexpr SDL_GameControllerButton kButtons[] = {SDL_CONTROLLER_BUTTON_A,
                                                            SDL_CONTROLLER_BUTTON_START,
                                                            SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                                            SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                                            SDL_CONTROLLER_BUTTON_B,
                                                            SDL_CONTROLLER_BUTTON_DPAD_UP,
                                                            SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                                                            SDL_CONTROLLER_BUTTON_DPAD_LEFT,
                                                            SDL_CONTROLLER_BUTTON_DPAD_RIGHT};
    if (joystick_)
        SDL_JoystickSetVirtualButton(joystick_, kButtons[int(button)], down ? 1 : 0);
}

void VirtualPad::SetAxis(Axis axis, int value) {
    static constexpr SDL_GameControllerAxis kAxes[] = {
        SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT,
        SDL_CONTROLLER_AXIS_TRIGGERRIGHT};
    if (joystick_)
        SDL_JoystickSetVirtualAxis(joystick_, kAxes[int(axis)],
                                   Sint16(std::clamp(value, -32768, 32767)));
}

}  // namespace platform
