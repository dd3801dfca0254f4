#include "render/logo_film.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/surface.h"
#include "platform/video_decoder.h"
#include "platform/window.h"
#include "script/file_access.h"

namespace {

void FillSurface(platform::Surface* surface, const std::uint8_t* rows, int stride) {
    platform::PixelLock lock;
    if (!surface->Lock(&lock))
        return;
    int bytes = lock.format.bits / 8;
    for (int y = 0; y < lock.height; ++y) {
        const std::uint8_t* src = rows + std::ptrdiff_t(lock.height - 1 - y) * stride;
        std::uint8_t* dst = lock.pixels + std::ptrdiff_t(y) * lock.pitch;
        for (int x = 0; x < lock.width; ++x, src += 3, dst += bytes) {
            std::uint32_t v = platform::PackColor(lock.format, src[2], src[1], src[0]);
            for (int i = 0; i < bytes; ++i)
                dst[i] = std::uint8_t(v >> (8 * i));
        }
    }
    surface->Unlock();
}

}  // namespace

int PlayLogoFilm(const char* fileName, bool fullscreen) {
    platform::VideoDecoder film;
    std::string path = ResolveLoosePath(fileName);
    if (!film.Open(path.c_str()))
        return 0;
    if (!platform::InitVideo())
        return 0;
    int w = film.Width(), h = film.Height();
    platform::Window window;
    platform::Surface surface;
    if (!window.Create("Zarnik", w, h, fullscreen) ||
        !surface.Create(w, h, platform::FormatForDepth(32), false)) {
        return 0;
    }
    const platform::AviHeader& header = film.Header();
    double fps = header.scale > 0 ? double(header.rate) / header.scale : 0.0;
    int frameCount = int(header.length & 0x7FFFFFFF);
    int stride = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> rows(std::size_t(stride) * std::size_t(h));

    int shown = 0, current = -1;
    std::uint32_t start = platform::Ticks();
    for (;;) {
        platform::WindowEvent e;
        bool skip = false;
        while (window.PollEvent(&e)) {
            if (e.type == platform::WindowEventType::KeyDown ||
                e.type == platform::WindowEventType::LeftDown ||
                e.type == platform::WindowEventType::Close) {
                skip = true;
            }
        }
        if (skip)
            break;
        // A film without a rate shows its first frame only.
        int frame = fps > 0 ? int((platform::Ticks() - start) * fps / 1000.0) : 0;
        if (frame >= frameCount || (fps <= 0 && current == 0))
            break;
        if (frame != current) {
            if (!film.DecodeFrame(frame, rows.data(), stride))
                break;
            FillSurface(&surface, rows.data(), stride);
            window.Present(surface);
            current = frame;
            ++shown;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return shown;
}

void PlayLogoFilms(bool safemode) {
    // Headless runs (dummy video driver) would only wait out the films unseen.
    if (!platform::InitVideo() || !platform::HasRealDisplay())
        return;
    PlayLogoFilm("data\\logo\\logo.avi", !safemode);
    PlayLogoFilm("data\\logo\\wlogo.avi", !safemode);
}
