#include "app/frame_steps.h"

#include "table/table.h"

std::int32_t FrameClock::Tick(std::uint32_t reading) {
    now = reading;
    // Unsigned difference: the millisecond clock may wrap between frames.
    const std::uint32_t elapsed = started ? now - previous : std::uint32_t(kMaxFrameTime);
    frameTime = elapsed > std::uint32_t(kMaxFrameTime) ? kMaxFrameTime : std::int32_t(elapsed);
    previous = now;
    started = true;
    return frameTime;
}

float FramesPerSecond(std::int32_t frameTime) {
    return frameTime == 0 ? -1.0f : 1000.0f / float(frameTime);
}

bool ExitRepeat::Switches(bool down, std::uint32_t now) {
    if (!down)
        return false;
    if (armed_ && std::int32_t(now - last_) < kInterval)
        return false;
    armed_ = true;
    last_ = now;
    return true;
}

void NormalisePointer(int x, int y, const ScreenRect& rect, float* nx, float* ny) {
    const double w = double(rect.right) - double(rect.left);
    const double h = double(rect.bottom) - double(rect.top);
    *nx = w != 0.0 ? float((double(x) - rect.left) / w) : 0.0f;
    *ny = h != 0.0 ? float((double(y) - rect.top) / h) : 0.0f;
}
