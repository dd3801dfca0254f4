#include "menu/menu_buttons.h"

#include <algorithm>
#include <cstdint>

#include "menu/menu_pictures.h"
#include "render/display.h"
#include "script/script_block.h"
#include "script/script_writer.h"

namespace {

constexpr int kKeyLeft = 203, kKeyRight = 205, kKeyUp = 200, kKeyDown = 208;
constexpr int kKeyLShift = 42, kKeyRShift = 54;

std::int32_t ClampToInt(std::int64_t v) {
    return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Arrow keys held this call: -1, 0 or 1 on each axis.
void ArrowSteps(int* dx, int* dy) {
    const MenuSystem& m = Menus();
    *dx = (m.KeyDown(kKeyRight) ? 1 : 0) - (m.KeyDown(kKeyLeft) ? 1 : 0);
    *dy = (m.KeyDown(kKeyDown) ? 1 : 0) - (m.KeyDown(kKeyUp) ? 1 : 0);
}

}  // namespace

// --- MenuButton ---------------------------------------------------------------

MenuButton::MenuButton(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuButton";
    classNumber = MENU_BUTTON;
    ParentChainPosition(&tx, &ty);
    savedCascade = parent ? parent->cascade : 0;
    downSound = sounds.AddSlot("down");
    upSound = sounds.AddSlot("up");
}

MenuButton::~MenuButton() {
    sounds.Destroy();
}

bool MenuButton::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    sounds.Read(block);
    ReadKeys(block, {KeyDef::Int("tx", &tx), KeyDef::Int("ty", &ty), KeyDef::Int("tw", &tw),
                     KeyDef::Int("th", &th)});
    HoldCoords({&tx, &ty, &tw, &th});
    return true;
}

bool MenuButton::HasSubmenu() const {
    MenuWrapper* second = Child(1);
    return second != nullptr && dynamic_cast<MenuPicture*>(second) == nullptr;
}

bool MenuButton::PointerInside() const {
    const MenuSystem& m = Menus();
    if (action == ACTION_DEACTIVATEMENU && parent && !parent->parent && !m.deactivateMenuEnabled)
        return false;
    return m.PointerIn(tx, ty, tw, th);
}

void MenuButton::Update(float dt) {
    MenuWrapper::Update(dt);
    if (active) {
        // Open with its submenu closed under it (a level below went back):
        // the submenu opens again.
        MenuWrapper* second = Child(1);
        if (focused < 0 && second && second->ClassNumber() == MENU_WRAPPER)
            OpenChild(1);
        return;
    }
    inside = PointerInside();
    if (!inside) {
        HoverOff();
        pressed = false;
        return;
    }
    HoverOn();
    if (Menus().leftButton) {
        if (!pressed) {
            sounds.Play(downSound);
            pressed = true;
        }
        return;
    }
    if (pressed)
        Click();
}

void MenuButton::Click() {
    if (!name.empty())
        Menus().lastClicked = this;
    if (!HasSubmenu()) {
        sounds.Play(upSound);
        pressed = inside = false;
        return;
    }
    if (parent) {
        if (MenuWrapper* open = parent->Child(parent->focused))
            open->active = false;
    }
    active = true;
    ResetSwitchChildren();
    if (parent)
        parent->focused = parent->IndexOf(this);
    HoverOff();
    OpenChild(1);
    if (parent)
        parent->cascade = cascade;
    sounds.Play(upSound);
    pressed = inside = false;
}

void MenuButton::Draw(Picture* target, int px, int py) {
    const int ox = px + x, oy = py + y;
    if (active) {
        if (MenuWrapper* second = Child(1))
            second->Draw(target, ox, oy);
        return;
    }
    if (!inside || children.Count == 0)
        return;
    if (!pressed) {
        Child(0)->Draw(target, ox, oy);
        return;
    }
    if (children.Count >= 3) {
        Child(2)->Draw(target, ox, oy);
    } else if (children.Count == 2 && dynamic_cast<MenuPicture*>(Child(1))) {
        Child(1)->Draw(target, ox, oy);
    } else {
        Child(0)->Draw(target, ox + 1, oy + 1);
    }
}

void MenuButton::Deactivate() {
    MenuWrapper::Deactivate();
    if (parent)
        parent->cascade = savedCascade;
}

void MenuButton::EditMove() {
    int dx = 0, dy = 0;
    ArrowSteps(&dx, &dy);
    const MenuSystem& m = Menus();
    if (m.KeyDown(kKeyLShift) || m.KeyDown(kKeyRShift)) {
        tw += dx;
        th += dy;
        return;
    }
    x += dx;
    y += dy;
    tx += dx;
    ty += dy;
}

void MenuButton::EditDraw(Picture* target, int, int) {
    DrawMenuOutline(target, tx, ty, std::int64_t(tx) + tw, std::int64_t(ty) + th);
}

void MenuButton::SaveButtonKeys(std::string* out, const std::string& indent) const {
    const char* in = indent.c_str();
    AppendFormat(out,
                 "%stx = %d;\r\n%sty = %d;\r\n%stw = %d;\r\n%sth = %d;\r\n%sSoundPack {\r\n"
                 "%s\tup = \"%s\";\r\n%s\tdown = \"%s\";\r\n%s};\r\n",
                 in, tx, in, ty, in, tw, in, th, in, in, sounds.slots[upSound].fileName.c_str(), in,
                 sounds.slots[downSound].fileName.c_str(), in);
}

bool MenuButton::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        SaveButtonKeys(out, *indent);
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}

// --- MenuSwitch ---------------------------------------------------------------

MenuSwitch::MenuSwitch(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuSwitch";
    classNumber = MENU_SWITCH;
    ParentChainPosition(&tx, &ty);
}

bool MenuSwitch::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    ReadKeys(block, {KeyDef::Int("tx", &tx), KeyDef::Int("ty", &ty), KeyDef::Int("tw", &tw),
                     KeyDef::Int("th", &th), KeyDef::Int("statecount", &statecount)});
    HoldCoords({&tx, &ty, &tw, &th});
    // 0 (or a count below it) means every child is a state.
    if (statecount <= 0)
        statecount = children.Count;
    return true;
}

void MenuSwitch::Reset() {
    latch = false;
    Step(0);
    latch = false;
}

void MenuSwitch::Step(int direction) {
    if (latch)
        return;
    active = true;
    if (MenuWrapper* shown = Child(state)) {
        shown->Deactivate();
        shown->focused = -1;
    }
    std::int64_t next = state;
    if (direction == 1 || direction == 2) {
        if (!name.empty())
            Menus().lastClicked = this;
        next += direction == 1 ? 1 : -1;
    }
    if (statecount <= 0) {
        state = -1;  // no states
        latch = true;
        return;
    }
    state = next < 0 ? statecount - 1 : ClampToInt(next % statecount);
    OpenChild(state);
    latch = true;
}

void MenuSwitch::Update(float dt) {
    MenuWrapper::Update(dt);
    if (statecount != children.Count) {
        // The extra children (switch buttons) step the switch.
        for (int i = std::max(statecount, 0); i < children.Count; ++i)
            Child(i)->Update(dt);
        return;
    }
    const MenuSystem& m = Menus();
    const bool over = m.PointerIn(tx, ty, tw, th);
    if (over && m.leftButton) {
        Step(1);
    } else if (over && m.RightButtonDown()) {
        Step(2);
    } else {
        latch = false;
    }
}

void MenuSwitch::Draw(Picture* target, int px, int py) {
    const int ox = px + x, oy = py + y;
    if (MenuWrapper* shown = Child(state))
        shown->Draw(target, ox, oy);
    for (int i = std::max(statecount, 0); i < children.Count; ++i)
        Child(i)->Draw(target, ox, oy);
}

bool MenuSwitch::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        const char* in = indent->c_str();
        AppendFormat(out, "%stx = %d;\r\n%sty = %d;\r\n%stw = %d;\r\n%sth = %d;\r\n", in, tx, in,
                     ty, in, tw, in, th);
        AppendFormat(out, "%sstatecount = %d;\r\n", in,
                     statecount != children.Count ? statecount : 0);
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}

// --- MenuSwitchButton ---------------------------------------------------------

MenuSwitchButton::MenuSwitchButton(MenuWrapper* parentControl) : MenuButton(parentControl) {
    className = "MenuSwitchButton";
    classNumber = MENU_SWITCHBUTTON;
}

bool MenuSwitchButton::Read(const ScriptBlock& block) {
    MenuButton::Read(block);
    ReadKeys(block, {KeyDef::Int("affected", &affected), KeyDef::Int("add", &add)});
    return true;
}

void MenuSwitchButton::HoverOn() {
    HoverOnWith(parent ? parent->parent : nullptr);
}

void MenuSwitchButton::HoverOff() {
    HoverOffWith(parent ? parent->parent : nullptr);
}

void MenuSwitchButton::Click() {
    if (auto* sw = dynamic_cast<MenuSwitch*>(parent)) {
        if (affected >= 0)
            sw->state = ClampToInt(std::int64_t(affected) - add);
        if (add == -1) {
            sw->Step(2);
        } else if (add == 1) {
            sw->Step(1);
        }
        sw->latch = false;
    }
    sounds.Play(upSound);
    pressed = inside = false;
}

bool MenuSwitchButton::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        const char* in = indent->c_str();
        AppendFormat(out, "%saffected = %d;\r\n%sadd = %d;\r\n", in, affected, in, add);
        SaveButtonKeys(out, *indent);
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}
