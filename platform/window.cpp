#include "platform/window.h"

#include <SDL.h>

#include <cstring>

#include "platform/surface.h"
#include "script/message.h"

namespace platform {

bool InitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void QuitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
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
    Uint32 flags = fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
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
    if (renderer_)
        SDL_RenderSetLogicalSize(renderer_, width, height);
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

void Window::ToLogical(int wx, int wy, int* x, int* y) const {
    // With a renderer SDL already reports logical coordinates.
    *x = wx;
    *y = wy;
    if (renderer_ || !window_ || !fullscreen_)
        return;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w > 0 && h > 0 && logicalW_ > 0 && logicalH_ > 0) {
        *x = int(long(wx) * logicalW_ / w);
        *y = int(long(wy) * logicalH_ / h);
    }
}

bool Window::PollEvent(WindowEvent* event) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        *event = WindowEvent();
        switch (e.type) {
            case SDL_QUIT:
                event->type = WindowEventType::Close;
                return true;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_ENTER:
                        event->type = WindowEventType::PointerEnter;
                        break;
                    case SDL_WINDOWEVENT_LEAVE:
                        event->type = WindowEventType::PointerLeave;
                        break;
                    case SDL_WINDOWEVENT_MOVED:
                        event->type = WindowEventType::Moved;
                        break;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        event->type = WindowEventType::FocusLost;
                        break;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        event->type = WindowEventType::FocusGained;
                        break;
                    case SDL_WINDOWEVENT_CLOSE:
                        event->type = WindowEventType::Close;
                        break;
                    default:
                        continue;
                }
                event->x = pointerX_;
                event->y = pointerY_;
                return true;
            case SDL_MOUSEMOTION:
                ToLogical(e.motion.x, e.motion.y, &pointerX_, &pointerY_);
                event->type = WindowEventType::PointerMove;
                event->x = pointerX_;
                event->y = pointerY_;
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT)
                    continue;
                ToLogical(e.button.x, e.button.y, &pointerX_, &pointerY_);
                event->type = e.type == SDL_MOUSEBUTTONDOWN ? WindowEventType::LeftDown
                                                            : WindowEventType::LeftUp;
                event->x = pointerX_;
                event->y = pointerY_;
                return true;
            case SDL_KEYDOWN:
                event->type = WindowEventType::KeyDown;
                event->keyCode = e.key.keysym.sym;
                event->scanCode = e.key.keysym.scancode;
                event->alt = (e.key.keysym.mod & KMOD_ALT) != 0;
                event->x = pointerX_;
                event->y = pointerY_;
                return true;
            default:
                continue;
        }
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
        SDL_RenderSetLogicalSize(renderer_, logicalW_, logicalH_);
    }
    if (!texture_ || textureFormat_ != s->format->format || textureW_ != s->w ||
        textureH_ != s->h) {
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, s->format->format, SDL_TEXTUREACCESS_STREAMING,
                                     s->w, s->h);
        if (!texture_)
            return false;
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
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    return true;
}

namespace {

Window* messageOwner = nullptr;

void ShowMessageBox(const char* text) {
    if (!HasRealDisplay()) {
        ShowMessageOnStderr(text);
        return;
    }
    SDL_Window* w = messageOwner ? messageOwner->Raw() : nullptr;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Message", text, w) != 0)
        ShowMessageOnStderr(text);
}

}  // namespace

void InstallMessageBox(Window* owner) {
    messageOwner = owner;
    if (HasRealDisplay())
        SetMessageDisplay(ShowMessageBox);
}

}  // namespace platform
