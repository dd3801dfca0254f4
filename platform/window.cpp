#include "platform/window.h"

#include <SDL.h>

#include <cstring>

#include "platform/keyboard.h"
#include "platform/surface.h"
#include "script/message.h"

namespace platform {

static_assert(KEYCODE_RETURN == SDLK_RETURN && KEYCODE_KEYPAD_ENTER == SDLK_KP_ENTER);
static_assert(KEYCODE_F2 == SDLK_F2);
static_assert('q' == SDLK_q && 'f' == SDLK_f);
static_assert(SCANCODE_INSERT == SDL_SCANCODE_INSERT && SCANCODE_DELETE == SDL_SCANCODE_DELETE &&
              SCANCODE_KEYPAD_MINUS == SDL_SCANCODE_KP_MINUS &&
              SCANCODE_KEYPAD_PLUS == SDL_SCANCODE_KP_PLUS &&
              SCANCODE_KEYPAD_2 == SDL_SCANCODE_KP_2 && SCANCODE_KEYPAD_4 == SDL_SCANCODE_KP_4 &&
              SCANCODE_KEYPAD_5 == SDL_SCANCODE_KP_5 && SCANCODE_KEYPAD_6 == SDL_SCANCODE_KP_6 &&
              SCANCODE_KEYPAD_8 == SDL_SCANCODE_KP_8);

bool InitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void QuitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool OpenDisplay(std::string* why) {
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const bool named = asked && *asked;
    if (!named && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY")) {
        *why =
            "zarnik: no display to open a window on (DISPLAY is not set); for headless runs use "
            "zarnik-sim, or SDL_VIDEODRIVER=dummy";
        return false;
    }
    if (!InitVideo()) {
        *why = std::string("zarnik: can't open the display (") + SDL_GetError() +
               "); for headless runs use zarnik-sim, or SDL_VIDEODRIVER=dummy";
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!named && driver && std::strcmp(driver, "offscreen") == 0) {
        QuitVideo();
        *why =
            "zarnik: no display to open a window on; for headless runs use zarnik-sim, or "
            "SDL_VIDEODRIVER=dummy";
        return false;
    }
    return true;
}

bool HasRealDisplay() {
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

bool DesktopMode(int* width, int* height, int* bits) {
    SDL_DisplayMode mode;
    if (!InitVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    *width = mode.w;
    *height = mode.h;
    // Bytes, not bits: SDL calls XRGB8888 a 24-bit format stored in 4 bytes.
    int bytes = SDL_BYTESPERPIXEL(mode.format);
    *bits = bytes <= 2 ? 16 : bytes == 3 ? 24 : 32;
    return true;
}

Window::~Window() {
    Destroy();
}

bool Window::Create(const char* title, int width, int height, bool fullscreen) {
    Destroy();
    if (!InitVideo())
        return false;
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               flags);
    if (!window_)
        return false;
    logicalW_ = width;
    logicalH_ = height;
    fullscreen_ = fullscreen;
    return true;
}

void Window::Destroy() {
    DropPresenter();
    if (window_)
        SDL_DestroyWindow(window_);
    window_ = nullptr;
}

bool Window::SetFullscreen(bool fullscreen) {
    if (!window_)
        return false;
    if (SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    fullscreen_ = fullscreen;
    if (!fullscreen) {
        SDL_SetWindowSize(window_, logicalW_, logicalH_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    return true;
}

void Window::SetLogicalSize(int width, int height) {
    logicalW_ = width;
    logicalH_ = height;
    if (window_ && !fullscreen_)
        SDL_SetWindowSize(window_, width, height);
}

void Window::PlaceWindowed(bool framed) {
    if (!window_ || fullscreen_)
        return;
    SDL_SetWindowBordered(window_, framed ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(window_, logicalW_, logicalH_);
    if (framed)
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    else
        SDL_SetWindowPosition(window_, 0, 0);
}

void Window::ClientRect(int* x, int* y, int* w, int* h) const {
    *x = *y = 0;
    *w = logicalW_;
    *h = logicalH_;
    if (!window_)
        return;
    SDL_GetWindowPosition(window_, x, y);
    SDL_GetWindowSize(window_, w, h);
}

void Window::SetScaleMode(ScaleMode mode) {
    scaleMode_ = mode;
}

void Window::SetClientSize(int width, int height) {
    if (window_ && !fullscreen_)
        SDL_SetWindowSize(window_, width, height);
}

void Window::OutputSize(int* w, int* h) const {
    *w = logicalW_;
    *h = logicalH_;
    if (renderer_ && SDL_GetRendererOutputSize(renderer_, w, h) == 0)
        return;
    if (window_)
        SDL_GetWindowSizeInPixels(window_, w, h);
}

void Window::ToLogical(int wx, int wy, int* x, int* y) const {
    *x = wx;
    *y = wy;
    if (!window_)
        return;
    int ww = 0, wh = 0, ow = 0, oh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    OutputSize(&ow, &oh);
    const ViewRect dest = FitBackSurface(ow, oh, logicalW_, logicalH_, scaleMode_);
    WindowToBackSurface(wx, wy, ww, wh, ow, oh, dest, logicalW_, logicalH_, x, y);
}

bool Window::Translate(const SDL_Event& e, WindowEvent* event) {
    *event = WindowEvent();
    event->x = pointerX_;
    event->y = pointerY_;
    switch (e.type) {
        case SDL_QUIT:
            event->type = WindowEventType::Close;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_ENTER:
                    event->type = WindowEventType::PointerEnter;
                    return true;
                case SDL_WINDOWEVENT_LEAVE:
                    event->type = WindowEventType::PointerLeave;
                    return true;
                case SDL_WINDOWEVENT_MOVED:
                    event->type = WindowEventType::Moved;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    event->type = WindowEventType::FocusLost;
                    return true;
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    event->type = WindowEventType::FocusGained;
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    event->type = WindowEventType::Minimized;
                    return true;
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_MAXIMIZED:
                    event->type = WindowEventType::Restored;
                    return true;
                case SDL_WINDOWEVENT_CLOSE:
                    event->type = WindowEventType::Close;
                    return true;
                default:
                    return false;
            }
        case SDL_MOUSEMOTION:
            ToLogical(e.motion.x, e.motion.y, &pointerX_, &pointerY_);
            event->type = WindowEventType::PointerMove;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            if (e.button.button == SDL_BUTTON_LEFT)
                event->type = down ? WindowEventType::LeftDown : WindowEventType::LeftUp;
            else if (e.button.button == SDL_BUTTON_RIGHT)
                event->type = down ? WindowEventType::RightDown : WindowEventType::RightUp;
            else
                return false;
            ToLogical(e.button.x, e.button.y, &pointerX_, &pointerY_);
            break;
        }
        case SDL_KEYDOWN:
            NoteKeyPressed(e.key.keysym.scancode);
            event->type = WindowEventType::KeyDown;
            event->keyCode = e.key.keysym.sym;
            event->scanCode = e.key.keysym.scancode;
            event->alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            event->ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
            return true;
        default:
            return false;
    }
    event->x = pointerX_;
    event->y = pointerY_;
    return true;
}

bool Window::PollEvent(WindowEvent* event) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (Translate(e, event))
            return true;
    }
    return false;
}

bool Window::WaitEvent(WindowEvent* event, int timeoutMs) {
    SDL_Event e;
    while (SDL_WaitEventTimeout(&e, timeoutMs)) {
        if (Translate(e, event))
            return true;
    }
    return false;
}

void Window::PointerPosition(int* x, int* y) const {
    *x = pointerX_;
    *y = pointerY_;
}

void Window::ShowSystemPointer(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void Window::CapturePointer(bool capture) {
    if (window_)
        SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

bool Window::EnsurePresenter(const Surface& back) {
    SDL_Surface* s = back.Raw();
    if (!s)
        return false;
    if (!renderer_) {
        renderer_ =
            SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (!renderer_)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_)
            return false;
    }
    if (!texture_ || textureFormat_ != s->format->format || textureW_ != s->w ||
        textureH_ != s->h) {
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, s->format->format, SDL_TEXTUREACCESS_STREAMING,
                                     s->w, s->h);
        if (!texture_)
            return false;
        textureNearest_ = -1;
        textureFormat_ = s->format->format;
        textureW_ = s->w;
        textureH_ = s->h;
    }
    return true;
}

void Window::DropPresenter() {
    if (texture_)
        SDL_DestroyTexture(texture_);
    if (renderer_)
        SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
}

bool Window::PreparePresent(const Surface& back) {
    if (!window_ || !HasRealDisplay())
        return true;
    return EnsurePresenter(back);
}

bool Window::Present(const Surface& back) {
    if (!window_ || !HasRealDisplay())
        return true;
    if (!EnsurePresenter(back))
        return false;
    SDL_Surface* s = back.Raw();
    SDL_UpdateTexture(texture_, nullptr, s->pixels, s->pitch);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    int ow = 0, oh = 0;
    OutputSize(&ow, &oh);
    dest_ = FitBackSurface(ow, oh, s->w, s->h, scaleMode_);
    const int nearest = CopiesUnfiltered(dest_, s->w, s->h, scaleMode_) ? 1 : 0;
    if (nearest != textureNearest_) {
        SDL_SetTextureScaleMode(texture_, nearest ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        textureNearest_ = nearest;
    }
    const SDL_Rect rect{dest_.x, dest_.y, dest_.w, dest_.h};
    SDL_RenderCopy(renderer_, texture_, nullptr, &rect);
    SDL_RenderPresent(renderer_);
    return true;
}

namespace {

void ShowMessageBox(const char* text) {
    if (!HasRealDisplay()) {
        ShowMessageOnStderr(text);
        return;
    }
    // No owner: a report may come before the window exists or after it is
    // gone, and from the editor's thread.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Message", text, nullptr) != 0)
        ShowMessageOnStderr(text);
}

}  // namespace

void InstallMessageBox() {
    if (HasRealDisplay())
        SetMessageDisplay(ShowMessageBox);
}

}  // namespace platform
