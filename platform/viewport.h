#pragma once

// Where the back surface goes in a window of any size, and where a pointer in
// that window lands on the back surface. Plain arithmetic, no SDL: the window
// and the tests share it.

namespace platform {

enum class ScaleMode {
    Smooth,  // as large as fits, filtered
    Sharp,   // the largest whole multiple that fits, unfiltered
};

struct ViewRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const ViewRect&) const = default;
};

// The back surface (backW x backH) in an output of outW x outH pixels:
// centred, its shape kept, the rest black bars on two sides. Sharp mode
// falls back to Smooth's fit when the output is smaller than the back surface.
//   FitBackSurface(1920, 1080, 800, 600, ScaleMode::Smooth) == {240, 0, 1440, 1080}
ViewRect FitBackSurface(int outW, int outH, int backW, int backH, ScaleMode mode);

// Unfiltered copying for this destination: always when sharp, and in smooth
// mode at whole multiples (1:1, or the 2x of a HiDPI screen), where filtering
// would only blur.
bool CopiesUnfiltered(const ViewRect& dest, int backW, int backH, ScaleMode mode);

// A pointer at (wx, wy) in window coordinates (windowW x windowH, which a
// HiDPI display draws as outW x outH pixels) → the back-surface pixel under it.
// Not clamped: a pointer on a bar, or a captured one dragged past the
// window's edge, lies outside the back surface, as it does in a plain window.
void WindowToBackSurface(int wx, int wy, int windowW, int windowH, int outW, int outH,
                         const ViewRect& dest, int backW, int backH, int* bx, int* by);

}  // namespace platform
