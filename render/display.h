#pragma once

#include <memory>

#include "platform/surface.h"
#include "script/flist.h"

namespace platform {
class Window;
}
class Picture;

// The drawing device: the back surface every frame is composed in, its
// presentation to the window, and the registry of every live Picture (so all
// surfaces can be rebuilt after a mode change).
//   Display d;  d.width = 800; d.height = 600;
//   d.Initialise(&window);          // or Initialise(nullptr): headless, d.bpp kept
//   picture->Draw(d.BackPicture(), x, y);  d.Present();
class Display {
public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // With a window: the depth comes from the desktop (windowed) or from
    // truecolor (full screen: 32 bits, else 16). Without one: a back surface
    // of width x height at `bpp` (16, 24 or 32), for tools and tests.
    bool Initialise(platform::Window* window);
    bool Release();
    bool ReCreate();
    bool Present();
    void UpdateScreenRect();
    // XOR outline in white; drawing it twice removes it.
    bool DrawOutline(Picture* target, int left, int top, int right, int bottom);

    Picture* BackPicture() const { return backPicture.get(); }
    platform::Surface* BackSurface() { return &back; }
    const platform::PixelFormat& Format() const { return format; }
    bool IsInitialised() const { return back.IsValid(); }

    // Saves the back surface (".png" by name, else BMP).
    bool SaveBackSurface(const char* path);

    void RegisterPicture(Picture* picture);
    void UnregisterPicture(Picture* picture);
    int PictureCount() const { return pictures.Count; }

    platform::Window* window = nullptr;
    platform::Surface back;
    std::unique_ptr<Picture> backPicture;
    platform::PixelFormat format;
    flist<Picture*> pictures;
    int screenX = 0, screenY = 0;  // client area origin on the desktop
    int width = 800;
    int height = 600;
    int bpp = 16;
    int refresh = 0;
    bool fullscreen = false;
    bool truecolor = false;
};

// The display pictures create their surfaces on and register with.
Display* CurrentDisplay();
