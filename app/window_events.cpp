// What the game's window reports: the pointer, the buttons, the few keys the
// window handles itself (play keys come from the keyboard state instead).
#include <string>

#include "app/game_app.h"
#include "menu/menu_wrapper.h"

void GameApp::HandleWindowEvent(const platform::WindowEvent& e) {
    using platform::WindowEventType;
    switch (e.type) {
        case WindowEventType::PointerMove:
        case WindowEventType::LeftDown:
        case WindowEventType::LeftUp:
        case WindowEventType::RightDown:
        case WindowEventType::RightUp:
            // The mouse moved or clicked: it has the menus again.
            if (e.type != WindowEventType::PointerMove || e.x != mouseX || e.y != mouseY)
                Menus().navigator.PointerMoved();
            // The pointer in back-surface pixels, as the window saw it last.
            mouseX = e.x;
            mouseY = e.y;
            break;
        default:
            break;
    }
    // Any key, click or move wakes the menu from its show of recorded games;
    // the click that does is only that.
    if (menuMode &&
        (e.type == WindowEventType::KeyDown || e.type == WindowEventType::LeftDown ||
         e.type == WindowEventType::RightDown || e.type == WindowEventType::PointerMove)) {
        const bool showing = attract.Running();
        attract.Touch();
        if (showing && e.type == WindowEventType::LeftDown)
            return;
    }
    switch (e.type) {
        // Our own pointer is drawn in the client area; the system's shows
        // over the frame and outside.
        case WindowEventType::PointerEnter:
            if (cursorShown) {
                window.ShowSystemPointer(false);
                cursorShown = false;
            }
            break;
        case WindowEventType::PointerLeave:
            if (!cursorShown) {
                window.ShowSystemPointer(true);
                cursorShown = true;
            }
            break;
        case WindowEventType::Moved:
            display.UpdateScreenRect();
            break;
        case WindowEventType::Close:
            quit = true;
            break;
        case WindowEventType::LeftDown:
            leftButton = true;
            leftSeen = false;
            leftReleasePending = false;
            window.CapturePointer(true);
            break;
        case WindowEventType::LeftUp:
            window.CapturePointer(false);
            // A click shorter than a frame still reaches the menus: the
            // button is let go after the next frame has seen it down.
            if (leftSeen)
                leftButton = false;
            else
                leftReleasePending = true;
            break;
        case WindowEventType::RightDown:
        case WindowEventType::RightUp:
            input.SetRightButton(e.type == WindowEventType::RightDown);
            break;
        case WindowEventType::Minimized:
            minimised = true;
            break;
        case WindowEventType::Restored:
            minimised = false;
            break;
        case WindowEventType::KeyDown:
            // The developer's keys, before the keys of every mode.
            if (developer && !e.alt && e.keyCode == 'q')
                overlay = !overlay;
            if (developer)
                DeveloperKey(e);
            if (e.keyCode == platform::KEYCODE_RETURN ||
                e.keyCode == platform::KEYCODE_KEYPAD_ENTER) {
                // After the last ball, Enter starts a new game.
                if (table.currentBallNumber >= table.ball_count)
                    tableReload = true;
            } else if (e.alt && e.keyCode == 'f' && !safemode) {
                display.fullscreen = !display.fullscreen;
                videoChanged = true;
            } else if (!e.alt && e.keyCode == platform::KEYCODE_F2) {
                // The game so far (or the last one) under a name of its own.
                std::string saved;
                ShowNotice(SaveReplayAs(&saved) ? "Replay saved as " + saved
                                                : std::string("No game to save yet"),
                           3000);
            }
            break;
        default:
            break;
    }
}
