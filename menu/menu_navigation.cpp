#include "menu/menu_navigation.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>

#include "input/control_binding.h"
#include "menu/menu_buttons.h"
#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "menu/menu_wrapper.h"
#include "render/frame_animation.h"

namespace {

constexpr int kKeyEscape = 1, kKeyReturn = 28, kKeyPadEnter = 156;
constexpr int kKeyUp = 200, kKeyLeft = 203, kKeyRight = 205, kKeyDown = 208;

// Keys down now that were up last frame.
MenuKeys PressedSince(const MenuKeys& before, const MenuKeys& now) {
    MenuKeys p;
    p.up = now.up && !before.up;
    p.down = now.down && !before.down;
    p.left = now.left && !before.left;
    p.right = now.right && !before.right;
    p.confirm = now.confirm && !before.confirm;
    p.back = now.back && !before.back;
    p.cancel = now.cancel && !before.cancel;
    return p;
}

bool AnyOf(const MenuKeys& k) {
    return k.up || k.down || k.left || k.right || k.confirm || k.back || k.cancel;
}

// A button the mouse can click to some effect: one the program hears of, one
// that opens a submenu, or one that steps its switch. The unnamed buttons
// under the options' rows only light their labels and show hints: the
// control in the row is the stop, and the pointer in its middle lights the
// row as well.
bool ButtonActs(const MenuButton* b) {
    const MenuSystem& m = Menus();
    if (b->action == ACTION_DEACTIVATEMENU && b->parent && !b->parent->parent &&
        !m.deactivateMenuEnabled)
        return false;
    if (!b->name.empty() || b->HasSubmenu())
        return true;
    return b->ClassNumber() == MENU_SWITCHBUTTON && dynamic_cast<MenuSwitch*>(b->parent);
}

void Collect(MenuWrapper* c, std::vector<MenuWrapper*>* out, bool* typing);

// The children the tree's update reaches, as the wrapper routes it.
void CollectRouted(MenuWrapper* c, std::vector<MenuWrapper*>* out, bool* typing) {
    if (c->cascade == 0 && c->Child(c->focused)) {
        Collect(c->Child(c->focused), out, typing);
        return;
    }
    for (int i = c->ChildCount() - 1; i >= 0; --i)
        Collect(c->Child(i), out, typing);
}

void AddStop(MenuWrapper* c, std::vector<MenuWrapper*>* out) {
    int x = 0, y = 0, w = 0, h = 0;
    // A rectangle of no size on a side, or turned inside out, is never under
    // the pointer.
    if (!MenuNavigator::StopRect(c, &x, &y, &w, &h) || w < 0 || h < 0)
        return;
    if (std::find(out->begin(), out->end(), c) == out->end())
        out->push_back(c);
}

void Collect(MenuWrapper* c, std::vector<MenuWrapper*>* out, bool* typing) {
    if (auto* b = dynamic_cast<MenuButton*>(c)) {
        if (b->active)
            CollectRouted(b, out, typing);
        else if (ButtonActs(b))
            AddStop(b, out);
        return;
    }
    if (c->active)
        CollectRouted(c, out, typing);
    if (auto* sw = dynamic_cast<MenuSwitch*>(c)) {
        if (sw->statecount == sw->ChildCount()) {
            AddStop(sw, out);
            return;
        }
        // Its extra children (switch buttons) take the pointer instead.
        for (int i = std::max(sw->statecount, 0); i < sw->ChildCount(); ++i)
            Collect(sw->Child(i), out, typing);
    } else if (auto* s = dynamic_cast<MenuSlider*>(c)) {
        if (s->animation && s->tw != 0)
            AddStop(s, out);
    } else if (auto* e = dynamic_cast<MenuEditControl*>(c)) {
        if (e->editable) {
            AddStop(e, out);
            if (e->active)
                *typing = true;
        }
    }
}

bool Holds(const std::vector<MenuWrapper*>& stops, const MenuWrapper* c) {
    return c && std::find(stops.begin(), stops.end(), c) != stops.end();
}

// Left or right on a slider or switch: one frame or one state. False for a
// control without such a value.
bool StepValue(MenuWrapper* c, int direction) {
    const bool forward = direction > 0;
    if (auto* s = dynamic_cast<MenuSlider*>(c)) {
        if (!s->animation || s->tw == 0)
            return false;
        // One frame of its picture per step, so every step shows.
        const int last = s->animation->Count() - 1;
        if (last < 1)
            return true;
        const int frame = std::clamp(s->FrameForValue() + (forward ? 1 : -1), 0, last);
        float v = float(frame) / float(last);
        if (int(float(last) * v) < frame)
            v = std::nextafter(v, 2.0f);  // the quotient rounded down a hair
        s->value = std::min(v, 1.0f);
        if (!s->name.empty())
            Menus().lastClicked = s;
        return true;
    }
    if (auto* sw = dynamic_cast<MenuSwitch*>(c)) {
        sw->latch = false;
        sw->Step(forward ? 1 : 2);
        return true;
    }
    if (auto* b = dynamic_cast<MenuSwitchButton*>(c)) {
        auto* sw = dynamic_cast<MenuSwitch*>(b->parent);
        if (!sw)
            return false;
        sw->latch = false;
        sw->Step(forward ? 1 : 2);
        sw->latch = false;
        b->sounds.Play(b->upSound);
        return true;
    }
    return false;
}

// Up (+1) or down (-1) through the entry's characters; one outside them
// counts as a space.
char EntryStep(char c, int direction) {
    const int n = int(std::strlen(MenuNavigator::kEntryChars));
    const char* at =
        c ? std::strchr(MenuNavigator::kEntryChars, std::toupper(static_cast<unsigned char>(c)))
          : nullptr;
    const int i = at ? int(at - MenuNavigator::kEntryChars) : n - 1;
    return MenuNavigator::kEntryChars[((i + (direction > 0 ? 1 : -1)) % n + n) % n];
}

}  // namespace

MenuKeys ReadMenuKeys(const InputManager* input) {
    MenuKeys k;
    if (!input)
        return k;
    const platform::KeyState& keys = input->KeyStates();
    const platform::PadState& pad = input->Pads();
    k.up = keys.Down(kKeyUp) || pad.up;
    k.down = keys.Down(kKeyDown) || pad.down;
    k.left = keys.Down(kKeyLeft) || pad.left;
    k.right = keys.Down(kKeyRight) || pad.right;
    k.confirm = keys.Down(kKeyReturn) || keys.Down(kKeyPadEnter) || pad.plunge;
    k.back = pad.back;
    k.cancel = keys.Down(kKeyEscape);
    return k;
}

bool MenuNavigator::StopRect(const MenuWrapper* c, int* x, int* y, int* w, int* h) {
    if (auto* b = dynamic_cast<const MenuButton*>(c)) {
        *x = b->tx, *y = b->ty, *w = b->tw, *h = b->th;
    } else if (auto* sw = dynamic_cast<const MenuSwitch*>(c)) {
        *x = sw->tx, *y = sw->ty, *w = sw->tw, *h = sw->th;
    } else if (auto* s = dynamic_cast<const MenuSlider*>(c)) {
        *x = s->tx, *y = s->ty, *w = s->tw, *h = s->th;
    } else if (auto* e = dynamic_cast<const MenuEditControl*>(c)) {
        *x = e->tx, *y = e->ty, *w = e->tw, *h = e->th;
    } else {
        return false;
    }
    return true;
}

void MenuNavigator::CollectStops(MenuWrapper* root, std::vector<MenuWrapper*>* out, bool* typing) {
    out->clear();
    *typing = false;
    if (!root)
        return;
    Collect(root, out, typing);
    std::stable_sort(out->begin(), out->end(), [](const MenuWrapper* a, const MenuWrapper* b) {
        int ax = 0, ay = 0, aw = 0, ah = 0, bx = 0, by = 0, bw = 0, bh = 0;
        StopRect(a, &ax, &ay, &aw, &ah);
        StopRect(b, &bx, &by, &bw, &bh);
        return ay != by ? ay < by : ax < bx;
    });
}

void MenuNavigator::Reset() {
    // Everything counts as held: a key down now acts after it is let go.
    held_ = MenuKeys{true, true, true, true, true, true, true};
    driving_ = false;
    highlight_ = pressed_ = capturePending_ = opener_ = nullptr;
    if (entry_)
        EndEntry(true);
    holdMenuKey_ = false;
    stops_.clear();
    trail_.clear();
}

void MenuNavigator::Forget(const MenuWrapper* control) {
    if (highlight_ == control)
        highlight_ = nullptr;
    if (pressed_ == control)
        pressed_ = nullptr;
    if (capturePending_ == control)
        capturePending_ = nullptr;
    if (entry_ == control)
        entry_ = nullptr;
    if (opener_ == control)
        opener_ = nullptr;
    std::erase(stops_, control);
    std::erase(trail_, control);
}

void MenuNavigator::NewScreen() {
    // Back on a screen left through one of its buttons: that button again.
    for (std::size_t k = trail_.size(); k-- > 0;) {
        if (Holds(stops_, trail_[k])) {
            highlight_ = trail_[k];
            trail_.resize(k);
            opener_ = nullptr;
            return;
        }
    }
    // A screen opened by the button just clicked: remembered for the way back.
    if (opener_ && !Holds(stops_, opener_)) {
        if (trail_.size() >= kTrailLength)
            trail_.erase(trail_.begin());
        trail_.push_back(opener_);
    }
    opener_ = nullptr;
    highlight_ = stops_.empty() ? nullptr : stops_.front();
}

void MenuNavigator::PointerMoved() {
    if (entry_)
        EndEntry(true);
    driving_ = false;
    highlight_ = pressed_ = capturePending_ = nullptr;
}

void MenuNavigator::Move(int direction) {
    if (stops_.empty())
        return;
    const auto at = std::find(stops_.begin(), stops_.end(), highlight_);
    const int n = int(stops_.size());
    const int i = at == stops_.end() ? 0 : int(at - stops_.begin());
    highlight_ = stops_[std::size_t(((i + direction) % n + n) % n)];
}

void MenuNavigator::StartEntry(MenuEditControl* field) {
    entry_ = field;
    entryOld_ = field->text.c_str();
    // Focused as a click focuses it: the caret shows where the entry is.
    field->active = true;
    field->caretIndex = 0;
}

void MenuNavigator::EndEntry(bool keep) {
    MenuEditControl* field = entry_;
    entry_ = nullptr;
    holdMenuKey_ = true;
    std::string text = keep ? std::string(field->text.c_str()) : entryOld_;
    // The blanks of shortening a name go; what typing leaves stays.
    if (keep) {
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
    }
    field->text = text;
    field->caretIndex = int(field->text.size());
    field->Deactivate();
}

void MenuNavigator::EntryKeys(const MenuKeys& pressed) {
    MenuEditControl* field = entry_;
    std::string text(field->text.c_str());
    // The field's own limit, as typing has it.
    const int limit = int(field->text.capacity()) - 1;
    int& at = field->caretIndex;
    at = std::clamp(at, 0, std::min(int(text.size()), limit - 1));
    if (pressed.up || pressed.down) {
        const int direction = pressed.up ? 1 : -1;
        if (at < int(text.size())) {
            text[std::size_t(at)] = EntryStep(text[std::size_t(at)], direction);
        } else {
            // Past the end a space waits: a character other than it is added.
            const char c = EntryStep(' ', direction);
            if (c != ' ')
                text.push_back(c);
        }
        field->text = text;
    }
    if (pressed.left)
        at = std::max(at - 1, 0);
    if (pressed.right)
        at = std::min({at + 1, int(text.size()), limit - 1});
    if (pressed.confirm)
        EndEntry(true);
    else if (pressed.back || pressed.cancel)
        EndEntry(false);
}

void MenuNavigator::PlacePointer(MenuSystem& m, const MenuKeys& keys) {
    int x = 0, y = 0, w = 0, h = 0;
    if (highlight_ && StopRect(highlight_, &x, &y, &w, &h)) {
        m.pointerX = int(x + std::int64_t(w) / 2);
        m.pointerY = int(y + std::int64_t(h) / 2);
    } else {
        // Off every rectangle: nothing is under the pointer.
        m.pointerX = m.pointerY = INT_MIN;
    }
    const bool held = keys.confirm || keys.back;
    if (!held)
        pressed_ = nullptr;
    m.leftButton = held && pressed_ != nullptr && pressed_ == highlight_;
}

bool MenuNavigator::Frame(MenuSystem& m, const MenuKeys& keys) {
    MenuKeys pressed = PressedSince(held_, keys);
    const MenuKeys released = PressedSince(keys, held_);
    held_ = keys;
    const bool acted = AnyOf(pressed);
    if (!entry_ && !keys.confirm && !keys.back && !keys.cancel)
        holdMenuKey_ = false;
    if (!driving_ && !acted)
        return false;
    bool typing = false;
    CollectStops(m.root.get(), &stops_, &typing);
    // The field of an entry closed under it (the menu went): what is entered stays.
    if (entry_ && (!Holds(stops_, entry_) || !entry_->active))
        EndEntry(true);
    if (entry_) {
        EntryKeys(pressed);
        PlacePointer(m, keys);
        return acted;
    }
    if (typing && !driving_)
        return acted;  // keys typed into a field the mouse focused
    if (!driving_) {
        // The first key shows the highlight: on the control under the
        // pointer, else on the first one. Back acts at once.
        driving_ = true;
        highlight_ = nullptr;
        for (MenuWrapper* s : stops_) {
            int x = 0, y = 0, w = 0, h = 0;
            StopRect(s, &x, &y, &w, &h);
            if (m.PointerIn(x, y, w, h)) {
                highlight_ = s;
                break;
            }
        }
        if (!highlight_ && !stops_.empty())
            highlight_ = stops_.front();
        pressed = MenuKeys{false, false, false, false, false, pressed.back, false};
    }
    if (!Holds(stops_, highlight_))
        NewScreen();
    if (typing) {
        // A field has the keyboard (a click focused it, or it waits for a
        // key to capture): the keys are its own.
        PlacePointer(m, keys);
        return acted;
    }
    if (pressed.up)
        Move(-1);
    if (pressed.down)
        Move(1);
    if (pressed.left && !StepValue(highlight_, -1))
        Move(-1);
    if (pressed.right && !StepValue(highlight_, 1))
        Move(1);
    if (pressed.back) {
        for (MenuWrapper* s : stops_) {
            if (s->action == ACTION_DEACTIVATEMENU) {
                highlight_ = pressed_ = s;
                break;
            }
        }
    }
    auto* field = dynamic_cast<MenuEditControl*>(highlight_);
    if (pressed.confirm) {
        if (field && field->ClassNumber() == MENU_GETCONTROL) {
            capturePending_ = field;  // opened once Enter is up, or it takes Enter
        } else if (field) {
            StartEntry(field);
        } else if (!dynamic_cast<MenuSlider*>(highlight_)) {
            // A slider pressed would take the pointer's place as its value.
            pressed_ = opener_ = highlight_;
        }
    }
    if (released.confirm && capturePending_ && capturePending_ == highlight_)
        capturePending_->active = true;  // as a click in it does
    if (!keys.confirm)
        capturePending_ = nullptr;
    // The click lands as confirm is let go; its screen shows a frame later.
    if (!keys.confirm && !released.confirm)
        opener_ = nullptr;
    PlacePointer(m, keys);
    return acted;
}
