#pragma once

#include <cstddef>
#include <string>
#include <vector>

class InputManager;
class MenuEditControl;
class MenuSystem;
class MenuWrapper;

// What drives the menus without a mouse, as held this frame.
struct MenuKeys {
    bool up = false, down = false, left = false, right = false;
    bool confirm = false;  // Enter, the pad's A
    bool back = false;     // the pad's B: the open screen's back button
    bool cancel = false;   // Escape: ends a name entry (else it is the menu key)

    bool operator==(const MenuKeys&) const = default;
};

// The arrow keys, Enter, Escape and the pads of the last poll; nothing held
// without an input manager.
MenuKeys ReadMenuKeys(const InputManager* input);

// Drives the open menus from keys and pads. The controls the pointer can
// reach (buttons that do something, switches, sliders, fields) are the stops,
// in screen order; one of them is highlighted. While keys drive, the menus'
// pointer stands in the middle of the highlight, so it looks and hints as
// under the mouse, and confirm presses the left button there: a click is a
// mouse click, sounds and all. Moving the mouse hands the menus back.
//   each menu frame, after the pointer is written: navigator.Frame(m, ReadMenuKeys(input));
class MenuNavigator {
public:
    // The characters name entry steps through, in order.
    static constexpr const char* kEntryChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    // Screens deep the way back is remembered.
    static constexpr std::size_t kTrailLength = 16;

    // Before the tree's update. True when a key was pressed this frame.
    bool Frame(MenuSystem& m, const MenuKeys& keys);
    // The real pointer moved or clicked: a name being entered is kept and
    // the pointer has the menus again.
    void PointerMoved();
    // Keys held now act only once they are let go (entering the menu).
    void Reset();
    // A control that goes away.
    void Forget(const MenuWrapper* control);

    bool Driving() const { return driving_; }
    bool Entering() const { return entry_ != nullptr; }
    // The menu key is held off during a name entry and until the key that
    // ended it is let go.
    bool HoldsMenuKey() const { return entry_ != nullptr || holdMenuKey_; }
    MenuWrapper* Highlight() const { return highlight_; }

    // The stops of the open menus, top to bottom, then left to right.
    // *typing: a field has the keyboard (focused by a click or capturing a key).
    static void CollectStops(MenuWrapper* root, std::vector<MenuWrapper*>* out, bool* typing);
    // A stop's rectangle, absolute.
    static bool StopRect(const MenuWrapper* c, int* x, int* y, int* w, int* h);

private:
    void Move(int direction);
    void NewScreen();
    void StartEntry(MenuEditControl* field);
    void EndEntry(bool keep);
    void EntryKeys(const MenuKeys& pressed);
    void PlacePointer(MenuSystem& m, const MenuKeys& keys);

    std::vector<MenuWrapper*> stops_;
    MenuKeys held_;
    bool driving_ = false;
    bool holdMenuKey_ = false;
    MenuWrapper* highlight_ = nullptr;
    MenuWrapper* pressed_ = nullptr;         // where confirm or back pressed the button
    MenuWrapper* capturePending_ = nullptr;  // a key field that opens when confirm is let go
    MenuWrapper* opener_ = nullptr;          // the button confirm last clicked
    std::vector<MenuWrapper*> trail_;        // buttons that left their screen, oldest first
    MenuEditControl* entry_ = nullptr;       // the field of a name entry
    std::string entryOld_;                   // its text before the entry
};
