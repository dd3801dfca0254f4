#pragma once

#include <cstdint>

struct ScreenRect;

// The frame's clock: elapsed milliseconds since the previous frame, never
// more than 100, so physics and animation never take a longer step however
// long a frame took (the first frame counts as 100).
class FrameClock {
public:
    static constexpr std::int32_t kMaxFrameTime = 100;

    // Takes the clock's reading for this frame; returns the frame time.
    std::int32_t Tick(std::uint32_t now);
    float Seconds() const { return float(frameTime) * 0.001f; }

    std::uint32_t previous = 0;
    std::uint32_t now = 0;
    std::int32_t frameTime = 0;
    bool started = false;
};

// 1000 / frame time, or -1 for a frame that took no time.
float FramesPerSecond(std::int32_t frameTime);

// The menu key switches between menu and game at once, then not again for
// 250 ms: held down it switches about four times a second, not every frame.
class ExitRepeat {
public:
    static constexpr std::int32_t kInterval = 250;

    // True when a press (or a key still held) switches the mode now.
    bool Switches(bool down, std::uint32_t now);

private:
    std::uint32_t last_ = 0;
    bool armed_ = false;  // a switch happened; the interval counts from it
};

// The pointer in table units: 0..1 across the table's screen rectangle.
// A rectangle without width or height gives 0 on that axis.
void NormalisePointer(int x, int y, const ScreenRect& rect, float* nx, float* ny);
