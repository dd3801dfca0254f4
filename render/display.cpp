#include "render/display.h"

#include "platform/window.h"
#include "render/picture.h"
#include "script/message.h"

namespace {
Display* currentDisplay = nullptr;
}

Display* CurrentDisplay() {
    return currentDisplay;
}

Display::Display() {
    if (!currentDisplay)
        currentDisplay = this;
}

Display::~Display() {
    Release();
    if (currentDisplay == this)
        currentDisplay = nullptr;
}

bool Display::Initialise(platform::Window* win) {
    window = win;
    if (window) {
        if (!platform::InitVideo() || !window->IsOpen()) {
            ReportMessage("Can't create DirectDraw object - system error, unknown origin");
            return false;
        }
        if (!fullscreen) {
            int dw = 0, dh = 0, bits = 32;
            platform::DesktopMode(&dw, &dh, &bits);
            bpp = bits;
            if (window->IsFullscreen() && !window->SetFullscreen(false)) {
                ReportMessage("Can't setup screen mode.");
                return false;
            }
        } else {
            // Every depth can be drawn here, so true colour never needs 24.
            bpp = truecolor ? 32 : 16;
            if (!window->SetFullscreen(true)) {
                ReportMessage("Can't setup screen mode.");
                return false;
            }
        }
        window->SetLogicalSize(width, height);
        if (!fullscreen) {
            int dw = 0, dh = 0, bits = 0;
            bool larger = !platform::DesktopMode(&dw, &dh, &bits) || (dw > width && dh > height);
            window->PlaceWindowed(larger);
        }
        UpdateScreenRect();
    } else if (bpp != 16 && bpp != 24) {
        bpp = 32;
    }
    format = platform::FormatForDepth(bpp);
    if (!back.Create(width, height, format, false)) {
        ReportMessage("Can't create DirectDraw off-screen buffer - unknown origin");
        return false;
    }
    format = back.Format();
    if (window && !window->PreparePresent(back)) {
        ReportMessage("Can't create DirectDraw surface - unknown origin");
        return false;
    }
    backPicture = std::make_unique<Picture>(&back);
    return backPicture->HasSurface();
}

bool Display::Release() {
    backPicture.reset();
    back.Release();
    return true;
}

bool Display::ReCreate() {
    for (Picture* p : pictures)
        p->ReleaseSurface();
    Release();
    if (!Initialise(window))
        return false;
    // Initialise may have appended the new back picture; walk by index.
    for (int i = 0; i < pictures.Count; ++i) {
        if (!pictures[i]->Rebuild())
            return false;
    }
    return true;
}

bool Display::Present() {
    if (window && back.IsValid())
        window->Present(back);
    return true;
}

void Display::UpdateScreenRect() {
    if (!window)
        return;
    int w = 0, h = 0;
    window->ClientRect(&screenX, &screenY, &w, &h);
}

bool Display::DrawOutline(Picture* target, int left, int top, int right, int bottom) {
    if (!target || !target->HasSurface())
        return false;
    target->Surface()->XorOutline({left, top, right, bottom});
    return true;
}

bool Display::SaveBackSurface(const char* path) {
    return back.IsValid() && back.SaveImage(path);
}

void Display::RegisterPicture(Picture* picture) {
    pictures.Append(picture);
}

void Display::UnregisterPicture(Picture* picture) {
    for (int i = pictures.Count - 1; i >= 0; --i) {
        if (pictures[i] == picture) {
            pictures.RemoveAt(i);
            return;
        }
    }
}
