#include "physics/editor_lines.h"

#include <cstdlib>

#include "platform/surface.h"
#include "render/picture.h"

void DrawSolidLine(Picture* target, int x0, int y0, int x1, int y1, std::uint32_t rgb) {
    if (target == nullptr || !target->HasSurface())
        return;
    platform::Surface* surface = target->Surface();
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
