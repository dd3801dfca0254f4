#include "platform/viewport.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {

// a * b / c rounded to nearest, in 64 bits (sizes up to 2^31 stay exact).
int MulDivRound(int a, int b, int c) {
    return int((std::int64_t(a) * b + c / 2) / c);
}

// floor(a * b / c) for c > 0, negative a included.
int MulDivFloor(std::int64_t a, int b, int c) {
    const std::int64_t n = a * b;
    return int(n >= 0 ? n / c : -((-n + c - 1) / c));
}

}  // namespace

ViewRect FitBackSurface(int outW, int outH, int backW, int backH, ScaleMode mode) {
    if (outW <= 0 || outH <= 0 || backW <= 0 || backH <= 0)
        return ViewRect{0, 0, std::max(outW, 0), std::max(outH, 0)};
    ViewRect r;
    const int k = std::min(outW / backW, outH / backH);
    if (mode == ScaleMode::Sharp && k >= 1) {
        r.w = k * backW;
        r.h = k * backH;
    } else if (std::int64_t(outW) * backH >= std::int64_t(outH) * backW) {
        // Wider than the back surface: bars left and right.
        r.h = outH;
        r.w = std::max(1, MulDivRound(outH, backW, backH));
    } else {
        r.w = outW;
        r.h = std::max(1, MulDivRound(outW, backH, backW));
    }
    r.x = (outW - r.w) / 2;
    r.y = (outH - r.h) / 2;
    return r;
}

bool CopiesUnfiltered(const ViewRect& dest, int backW, int backH, ScaleMode mode) {
    if (mode == ScaleMode::Sharp)
        return true;
    return backW > 0 && backH > 0 && dest.w > 0 && dest.w % backW == 0 && dest.h % backH == 0 &&
           dest.w / backW == dest.h / backH;
}

void WindowToBackSurface(int wx, int wy, int windowW, int windowH, int outW, int outH,
                         const ViewRect& dest, int backW, int backH, int* bx, int* by) {
    int px = wx, py = wy;
    if (windowW > 0 && windowH > 0 && outW > 0 && outH > 0) {
        // The pixel under the middle of the point (HiDPI: a point is several).
        px = MulDivFloor(2 * std::int64_t(wx) + 1, outW, 2 * windowW);
        py = MulDivFloor(2 * std::int64_t(wy) + 1, outH, 2 * windowH);
    }
    int x = px, y = py;
    if (dest.w > 0 && dest.h > 0) {
        x = MulDivFloor(px - dest.x, backW, dest.w);
        y = MulDivFloor(py - dest.y, backH, dest.h);
    }
    *bx = x;
    *by = y;
}

}  // namespace platform
