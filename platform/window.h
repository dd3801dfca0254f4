#pragma once

#include <cstdint>
#include <string>

#include "platform/viewport.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

class Surface;

// Starts SDL's video part (idempotent). False when no video driver works.
bool InitVideo();
void QuitVideo();

// Starts video on a display for the game's window. Without one (SDL would
// fall back to its slow offscreen driver) it stops video again and gives a
// one-line explanation. SDL_VIDEODRIVER=dummy or offscreen asked for by name
// are taken as they are: headless runs.
bool OpenDisplay(std::string* why);

// True when a real display is in use (not the dummy or offscreen driver).
bool HasRealDisplay();

// Desktop size and depth in bits per pixel (16, 24 or 32).
bool DesktopMode(int* width, int* height, int* bits);

enum class WindowEventType {
    None,
    PointerEnter,  // the pointer came into the client area
    PointerLeave,
    PointerMove,
    LeftDown,
    LeftUp,
    RightDown,
    RightUp,
    KeyDown,
    Moved,
    FocusLost,
    FocusGained,
    Minimized,  // nothing is seen until Restored: no frames needed
    Restored,
    Close,
};

// Key codes of WindowEvent::keyCode: ASCII for printable keys (lower case,
// 'q', 'f'), and these.
inline constexpr int KEYCODE_RETURN = '\r';
inline constexpr int KEYCODE_KEYPAD_ENTER = 0x40000058;
inline constexpr int KEYCODE_F2 = 0x4000003B;

// Scan codes of WindowEvent::scanCode for the developer editor's keys: by
// position, whatever Num Lock says.
inline constexpr int SCANCODE_INSERT = 73;
inline constexpr int SCANCODE_DELETE = 76;
inline constexpr int SCANCODE_KEYPAD_MINUS = 86;
inline constexpr int SCANCODE_KEYPAD_PLUS = 87;
inline constexpr int SCANCODE_KEYPAD_2 = 90;
inline constexpr int SCANCODE_KEYPAD_4 = 92;
inline constexpr int SCANCODE_KEYPAD_5 = 93;
inline constexpr int SCANCODE_KEYPAD_6 = 94;
inline constexpr int SCANCODE_KEYPAD_8 = 96;

struct WindowEvent {
    WindowEventType type = WindowEventType::None;
    int x = 0, y = 0;   // pointer, in back-surface pixels
    int keyCode = 0;    // SDL key code: ASCII for printable keys
    int scanCode = 0;   // SDL scan code (the input module maps it)
    bool alt = false;   // Alt held with the key (accelerators)
    bool ctrl = false;  // Ctrl held with the key
};

// The game's top-level window. It opens at the back surface's size and can be
// resized or maximised; full screen is the desktop's mode. The back surface is
// scaled to fit, letterboxed (FitBackSurface), at the display's own pixel
// size on HiDPI screens, and pointer positions are mapped back to it.
//   platform::Window w;  w.Create("Zarnik", 800, 600, false);
//   while (w.PollEvent(&e)) ...;  w.Present(backSurface);
class Window {
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool Create(const char* title, int width, int height, bool fullscreen);
    void Destroy();
    bool IsOpen() const { return window_ != nullptr; }

    // Switches mode; the back-surface size (logical size) stays.
    bool SetFullscreen(bool fullscreen);
    bool IsFullscreen() const { return fullscreen_; }
    void SetLogicalSize(int width, int height);
    // Sharp (whole multiples, unfiltered) or smooth scaling; smooth at first.
    void SetScaleMode(ScaleMode mode);
    ScaleMode GetScaleMode() const { return scaleMode_; }
    // Windowed: makes the client area that size, as a player's drag would.
    void SetClientSize(int width, int height);
    // Where the last present put the back surface, in output pixels.
    ViewRect LastDestination() const { return dest_; }
    // Windowed only: a window as large as the desktop loses its frame and sits
    // at the desktop's corner; otherwise it is framed and centred.
    void PlaceWindowed(bool framed);

    // Client rectangle origin on the desktop, and its size.
    void ClientRect(int* x, int* y, int* w, int* h) const;

    // Next waiting event, false when none waits.
    bool PollEvent(WindowEvent* event);
    // Sleeps until an event comes (or `timeoutMs` passes): false on timeout.
    bool WaitEvent(WindowEvent* event, int timeoutMs);

    // Last pointer position in back-surface pixels.
    void PointerPosition(int* x, int* y) const;
    void ShowSystemPointer(bool show);
    // While captured, the window keeps the pointer's events outside it too
    // (a slider dragged past the window's edge).
    void CapturePointer(bool capture);

    // Shows the back surface. Nothing happens without a real display.
    bool Present(const Surface& back);
    // Makes the renderer and texture for this back surface now, so a failure
    // shows at start-up rather than as a blank window. True without a display.
    bool PreparePresent(const Surface& back);

    SDL_Window* Raw() const { return window_; }

private:
    bool Translate(const SDL_Event& e, WindowEvent* event);
    bool EnsurePresenter(const Surface& back);
    void DropPresenter();
    void ToLogical(int wx, int wy, int* x, int* y) const;
    // The drawable size in pixels (larger than the window's on HiDPI).
    void OutputSize(int* w, int* h) const;

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::uint32_t textureFormat_ = 0;
    int textureW_ = 0, textureH_ = 0;
    int textureNearest_ = -1;  // the texture's scale mode: 1 nearest, 0 linear, -1 not set
    int logicalW_ = 0, logicalH_ = 0;
    int pointerX_ = 0, pointerY_ = 0;
    bool fullscreen_ = false;
    ScaleMode scaleMode_ = ScaleMode::Smooth;
    ViewRect dest_;
};

// Shows report-message texts in a modal box captioned "Message", owned by no
// window, while a real display is in use; otherwise they stay on standard
// error.
void InstallMessageBox();

}  // namespace platform
