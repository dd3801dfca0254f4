#include "physics/editor_lines.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/surface.h"
#include "render/picture.h"

namespace {

// How far off the surface an end point may lie and the line still be walked
// as it is.
constexpr int kLineMargin = 1024;

}  // namespace

bool ClipEditorLine(int* x0, int* y0, int* x1, int* y1, int w, int h) {
    const double lo[2] = {-kLineMargin, -kLineMargin};
    const double hi[2] = {double(w) + kLineMargin, double(h) + kLineMargin};
    const double a[2] = {double(*x0), double(*y0)};
    const double b[2] = {double(*x1), double(*y1)};
    auto inside = [&](const double* p) {
        return p[0] >= lo[0] && p[0] <= hi[0] && p[1] >= lo[1] && p[1] <= hi[1];
    };
    if (inside(a) && inside(b))
        return true;
    // Liang-Barsky: the part of a + t (b - a), 0 <= t <= 1, inside the box.
    double t0 = 0.0, t1 = 1.0;
    for (int axis = 0; axis < 2; ++axis) {
        const double d = b[axis] - a[axis];
        if (d == 0.0) {
            if (a[axis] < lo[axis] || a[axis] > hi[axis])
                return false;
            continue;
        }
        double enter = (lo[axis] - a[axis]) / d, leave = (hi[axis] - a[axis]) / d;
        if (enter > leave)
            std::swap(enter, leave);
        t0 = std::fmax(t0, enter);
        t1 = std::fmin(t1, leave);
        if (t0 > t1)
            return false;
    }
    *x0 = int(std::lround(a[0] + t0 * (b[0] - a[0])));
    *y0 = int(std::lround(a[1] + t0 * (b[1] - a[1])));
    *x1 = int(std::lround(a[0] + t1 * (b[0] - a[0])));
    *y1 = int(std::lround(a[1] + t1 * (b[1] - a[1])));
    return true;
}

void DrawSolidLine(Picture* target, int x0, int y0, int x1, int y1, std::uint32_t rgb) {
    if (target == nullptr || !target->HasSurface())
        return;
    platform::Surface* surface = target->Surface();
    if (!ClipEditorLine(&x0, &y0, &x1, &y1, surface->Width(), surface->Height()))
        return;
    platform::PixelLock lock;
    if (!surface->Lock(&lock))
        return;
    const std::uint32_t value = platform::PackColor(lock.format, std::uint8_t(rgb >> 16),
                                                    std::uint8_t(rgb >> 8), std::uint8_t(rgb));
    const int bytes = lock.format.bits / 8;
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x0 >= 0 && y0 >= 0 && x0 < lock.width && y0 < lock.height) {
            std::uint8_t* p = lock.pixels + y0 * lock.pitch + x0 * bytes;
            for (int b = 0; b < bytes; ++b)
                p[b] = std::uint8_t(value >> (8 * b));
        }
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    surface->Unlock();
}
