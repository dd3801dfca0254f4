#include "menu/menu_wrapper.h"

#include <algorithm>

#include "input/control_binding.h"
#include "menu/menu_buttons.h"
#include "menu/menu_pictures.h"
#include "menu/menu_sliders.h"
#include "menu/menu_text_fields.h"
#include "render/display.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"
#include "script/zarnik_script.h"

const char* const kMenuActionNames[kMenuActionCount] = {
    "",          "START",       "EXIT",     "DEACTIVATEMENU", "FULLSCREEN",
    "TRUECOLOR", "AUDIOVOLUME", "NEXTGAME", "PREVGAME",       "GAMESELECTOR",
};

const MenuClassDef kMenuClasses[12] = {
    {"MenuWrapper", MENU_WRAPPER},
    {"MenuPicture", MENU_PICTURE},
    {"MenuAnimation", MENU_ANIMATION},
    {"MenuButton", MENU_BUTTON},
    {"MenuSlider", MENU_SLIDER},
    {"MenuSwitch", MENU_SWITCH},
    {"MenuMsgWindow", MENU_MSGWINDOW},
    {"MenuEditControl", MENU_EDITCONTROL},
    {"MenuRoundSlider", MENU_ROUNDSLIDER},
    {"MenuGetControl", MENU_GETCONTROL},
    {"MenuSwitchButton", MENU_SWITCHBUTTON},
    {nullptr, 0},
};

int MenuActionFromName(std::string_view name) {
    for (int i = 1; i < kMenuActionCount; ++i) {
        if (name == kMenuActionNames[i])
            return i;
    }
    return ACTION_NONE;
}

int MenuClassFromName(std::string_view name) {
    for (const MenuClassDef& c : kMenuClasses) {
        if (c.name == nullptr)
            break;
        if (name == c.name)
            return c.number;
    }
    return MENU_NONE;
}

std::unique_ptr<MenuWrapper> CreateMenuControl(int classNumber, MenuWrapper* parent) {
    switch (classNumber) {
        case MENU_WRAPPER:
            return std::make_unique<MenuWrapper>(parent);
        case MENU_PICTURE:
            return std::make_unique<MenuPicture>(parent);
        case MENU_ANIMATION:
            return std::make_unique<MenuAnimation>(parent);
        case MENU_BUTTON:
            return std::make_unique<MenuButton>(parent);
        case MENU_SLIDER:
            return std::make_unique<MenuSlider>(parent);
        case MENU_SWITCH:
            return std::make_unique<MenuSwitch>(parent);
        case MENU_MSGWINDOW:
            return std::make_unique<MenuMsgWindow>(parent);
        case MENU_EDITCONTROL:
            return std::make_unique<MenuEditControl>(parent);
        case MENU_ROUNDSLIDER:
            return std::make_unique<MenuRoundSlider>(parent);
        case MENU_GETCONTROL:
            return std::make_unique<MenuGetControl>(parent);
        case MENU_SWITCHBUTTON:
            return std::make_unique<MenuSwitchButton>(parent);
        default:
            return nullptr;
    }
}

void HoldCoords(std::initializer_list<std::int32_t*> values) {
    for (std::int32_t* v : values)
        *v = std::clamp(*v, -kMenuMaxCoord, kMenuMaxCoord);
}

void DrawMenuOutline(Picture* target, std::int64_t left, std::int64_t top, std::int64_t right,
                     std::int64_t bottom) {
    Display* d = CurrentDisplay();
    if (!d || !target)
        return;
    auto hold = [](std::int64_t v, int size) { return int(std::clamp<std::int64_t>(v, -1, size)); };
    d->DrawOutline(target, hold(left, target->Width()), hold(top, target->Height()),
                   hold(right, target->Width()), hold(bottom, target->Height()));
}

// ---------------------------------------------------------------------------

MenuWrapper::MenuWrapper(MenuWrapper* parentControl) : parent(parentControl) {
    depth = parent ? parent->depth + 1 : 0;
}

MenuWrapper::~MenuWrapper() {
    MenuWrapper::Clear();
    // The globals must not point at a control that is gone.
    MenuSystem& m = Menus();
    if (m.hintControl == this)
        m.hintControl = nullptr;
    if (m.lastClicked == this)
        m.lastClicked = nullptr;
    m.navigator.Forget(this);
}

bool MenuWrapper::Play(int, bool) {
    return false;
}

void MenuWrapper::Step(int) {}

void MenuWrapper::Clear() {
    for (int i = children.Count - 1; i >= 0; --i)
        children.element[i].reset();
    children.Clear();
    focused = -1;
}

void MenuWrapper::ReadNestedControl(const ScriptBlock& block, int number, int brace) {
    MenuSystem& m = Menus();
    // A hostile script may nest or repeat controls without end: what is
    // beyond the bounds is skipped whole.
    if (depth + 1 > kMenuMaxDepth || children.Count >= kMenuMaxChildren || m.readBudget <= 0)
        return;
    --m.readBudget;
    ScriptBlock sub = SubBlock(block, brace);
    std::unique_ptr<MenuWrapper> child = CreateMenuControl(number, this);
    if (!child)
        return;
    // A control whose read finds its required keys missing is kept all the same.
    child->Read(sub);
    children.Append(std::move(child));
}

bool MenuWrapper::Read(const ScriptBlock& block) {
    if (parent == nullptr)
        Menus().readBudget = kMenuMaxControls;
    const KeyDef keys[] = {
        KeyDef::Word("name", &name), KeyDef::Word("hint", &hint),      KeyDef::Int("x", &x),
        KeyDef::Int("y", &y),        KeyDef::Int("cascade", &cascade),
    };
    // One walk, in script order: a nested control sees its ancestors' keys
    // as far as the script has set them before its block.
    int i = 0;
    while (i < block.count) {
        int end = SkipStatement(block, i);
        int number = block.Type(i) == TOK_WORD ? MenuClassFromName(block.Text(i)) : MENU_NONE;
        if (number != MENU_NONE && i + 1 < block.count && block.IsPunct(i + 1, '{')) {
            ReadNestedControl(block, number, i + 1);
        } else {
            ScriptBlock statement{block.script, &block, block.first + i, end - i};
            ReadKeys(statement, keys);
        }
        i = end;
    }
    HoldCoords({&x, &y});
    action = MenuActionFromName(name.view());
    return true;
}

bool MenuWrapper::Load(const char* fileName) {
    Clear();
    ZarnikScr scr(fileName);
    const ScriptBlock whole = WholeScript(scr);
    // The first block of the file is this control, whatever it is called.
    int i = 0;
    while (i < whole.count) {
        if (whole.Type(i) == TOK_WORD && whole.IsPunct(i + 1, '{'))
            return Read(SubBlock(whole, i + 1));
        i = SkipStatement(whole, i);
    }
    return false;
}

void MenuWrapper::UpdateChildren(float dt) {
    if (cascade == 0 && focused >= 0 && focused < children.Count) {
        children.element[focused]->Update(dt);
        return;
    }
    for (int i = children.Count - 1; i >= 0; --i) {
        // A child's click may change what is open, never the list itself.
        if (i < children.Count)
            children.element[i]->Update(dt);
    }
}

void MenuWrapper::DrawChildren(Picture* target, int ox, int oy) {
    if (cascade == 0 && focused >= 0 && focused < children.Count) {
        children.element[focused]->Draw(target, ox, oy);
        return;
    }
    for (int i = children.Count - 1; i >= 0; --i)
        children.element[i]->Draw(target, ox, oy);
}

void MenuWrapper::Update(float dt) {
    if (active)
        UpdateChildren(dt);
}

void MenuWrapper::Draw(Picture* target, int px, int py) {
    if (active)
        DrawChildren(target, px + x, py + y);
}

void MenuWrapper::EditMove() {
    MenuSystem& m = Menus();
    x += (m.KeyDown(205) ? 1 : 0) - (m.KeyDown(203) ? 1 : 0);  // RIGHT, LEFT
    y += (m.KeyDown(208) ? 1 : 0) - (m.KeyDown(200) ? 1 : 0);  // DOWN, UP
}

void MenuWrapper::EditDraw(Picture*, int, int) {}

void MenuWrapper::Activate(MenuWrapper*) {
    active = true;
    if (parent)
        parent->Activate(this);
}

bool MenuWrapper::Save(std::string* out, std::string* indent, unsigned parts) {
    if (parts & SAVE_OPEN) {
        AppendFormat(out, "%s%s {\r\n", indent->c_str(), className.c_str());
        indent->push_back('\t');
    }
    if (parts & SAVE_KEYS) {
        const char* in = indent->c_str();
        AppendFormat(out,
                     "%sname = \"%s\";\r\n%shint = \"%s\";\r\n%sx = %d;\r\n%sy = %d;\r\n"
                     "%scascade = %d;\r\n",
                     in, name.c_str(), in, hint.c_str(), in, x, in, y, in, cascade);
    }
    if (parts & SAVE_CHILDREN) {
        for (int i = 0; i < children.Count; ++i)
            children.element[i]->Save(out, indent, SAVE_ALL);
    }
    if (parts & SAVE_CLOSE) {
        if (!indent->empty())
            indent->pop_back();
        AppendFormat(out, "%s};\r\n", indent->c_str());
    }
    return true;
}

void MenuWrapper::Deactivate() {
    for (int i = children.Count - 1; i >= 0; --i)
        children.element[i]->Deactivate();
    if (parent && parent->focused >= 0 && parent->Child(parent->focused) == this)
        parent->focused = -1;
    active = false;
}

void MenuWrapper::SetHintText(MenuWrapper* from, std::string_view text) {
    if (from)
        from->SetString("HINT", text);
}

void MenuWrapper::HoverOnWith(MenuWrapper* hintOwner) {
    if (hovered)
        return;
    hovered = true;
    Menus().hintControl = this;
    SetHintText(hintOwner, hint.view());
}

void MenuWrapper::HoverOffWith(MenuWrapper* hintOwner) {
    if (!hovered)
        return;
    hovered = false;
    MenuSystem& m = Menus();
    // A hint another control has set since stays.
    if (m.hintControl != this)
        return;
    m.hintControl = nullptr;
    SetHintText(hintOwner, "");
}

void MenuWrapper::HoverOn() {
    HoverOnWith(parent);
}

void MenuWrapper::HoverOff() {
    HoverOffWith(parent);
}

MenuWrapper* MenuWrapper::Duplicate(int, int) {
    return nullptr;
}

void MenuWrapper::OpenChild(int index) {
    MenuWrapper* child = Child(index);
    if (!child)
        return;
    if (MenuWrapper* previous = Child(focused))
        previous->active = false;
    child->active = true;
    child->ResetSwitchChildren();
    focused = index;
}

void MenuWrapper::ResetSwitchChildren() {
    for (int i = 0; i < children.Count; ++i) {
        if (auto* sw = dynamic_cast<MenuSwitch*>(children.element[i].get()))
            sw->Reset();
    }
}

void MenuWrapper::ParentChainPosition(std::int32_t* px, std::int32_t* py) const {
    std::int64_t sx = 0, sy = 0;
    for (const MenuWrapper* p = parent; p; p = p->parent) {
        sx += p->x;
        sy += p->y;
    }
    // Script values are any 32-bit number; the sum must stay one too.
    auto clamp = [](std::int64_t v) {
        return std::int32_t(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
    };
    *px = clamp(sx);
    *py = clamp(sy);
}

void MenuWrapper::AbsolutePosition(int* ax, int* ay) const {
    std::int32_t px = 0, py = 0;
    ParentChainPosition(&px, &py);
    *ax = px + x;
    *ay = py + y;
}

bool MenuWrapper::IsShown() const {
    for (const MenuWrapper* p = this; p; p = p->parent) {
        if (!p->active)
            return false;
    }
    return true;
}

int MenuWrapper::IndexOf(const MenuWrapper* child) const {
    for (int i = 0; i < children.Count; ++i) {
        if (children.element[i].get() == child)
            return i;
    }
    return -1;
}

// --- lookups by name --------------------------------------------------------

template <typename Pred>
MenuWrapper* MenuWrapper::FindIf(std::string_view wanted, Pred&& pred) {
    if (name.view() == wanted && pred(this))
        return this;
    for (int i = children.Count - 1; i >= 0; --i) {
        if (MenuWrapper* found = children.element[i]->FindIf(wanted, pred))
            return found;
    }
    return nullptr;
}

MenuWrapper* MenuWrapper::Find(std::string_view wanted) {
    return FindIf(wanted, [](MenuWrapper*) { return true; });
}

bool MenuWrapper::GetInt(std::string_view wanted, std::int32_t* out) {
    MenuWrapper* c = FindIf(wanted, [](MenuWrapper* w) { return w->IntValue() != nullptr; });
    if (!c)
        return false;
    *out = *c->IntValue();
    return true;
}

bool MenuWrapper::GetFloat(std::string_view wanted, float* out) {
    MenuWrapper* c = FindIf(wanted, [](MenuWrapper* w) { return w->FloatValue() != nullptr; });
    if (!c)
        return false;
    *out = *c->FloatValue();
    return true;
}

bool MenuWrapper::GetString(std::string_view wanted, FixedString<256>* out) {
    MenuWrapper* c = FindIf(wanted, [](MenuWrapper* w) { return w->StringValue() != nullptr; });
    if (!c)
        return false;
    *out = c->StringValue()->view();
    return true;
}

bool MenuWrapper::SetInt(std::string_view wanted, std::int32_t value) {
    MenuWrapper* c = FindIf(wanted, [](MenuWrapper* w) { return w->IntValue() != nullptr; });
    if (!c)
        return false;
    *c->IntValue() = value;
    return true;
}

bool MenuWrapper::SetFloat(std::string_view wanted, float value) {
    MenuWrapper* c = FindIf(wanted, [](MenuWrapper* w) { return w->FloatValue() != nullptr; });
    if (!c)
        return false;
    *c->FloatValue() = value;
    return true;
}

bool MenuWrapper::SetString(std::string_view wanted, std::string_view value) {
    MenuWrapper* c = FindIf(wanted, [](MenuWrapper* w) { return w->StringValue() != nullptr; });
    if (!c)
        return false;
    *c->StringValue() = value;
    return true;
}

bool MenuWrapper::PlayByName(std::string_view wanted, int frames, bool forward) {
    return FindIf(wanted, [&](MenuWrapper* w) { return w->Play(frames, forward); }) != nullptr;
}

// --- the menu system's state ------------------------------------------------

MenuSystem& Menus() {
    static MenuSystem menus;
    return menus;
}

bool MenuSystem::LoadRoot(const char* fileName) {
    root.reset();
    root = std::make_unique<MenuWrapper>();
    return root->Load(fileName);
}

bool MenuSystem::ReadRoot(const ScriptBlock& block) {
    root.reset();
    root = std::make_unique<MenuWrapper>();
    return root->Read(block);
}

MenuWrapper* MenuSystem::TakeLastClicked() {
    MenuWrapper* c = lastClicked;
    lastClicked = nullptr;
    return c;
}

bool MenuSystem::PointerIn(int tx, int ty, int tw, int th) const {
    // Inclusive on all sides; 64-bit so that script extremes can't overflow.
    return std::int64_t(tx) <= pointerX && pointerX <= std::int64_t(tx) + tw &&
           std::int64_t(ty) <= pointerY && pointerY <= std::int64_t(ty) + th;
}

bool MenuSystem::KeyDown(int scanCode) const {
    return input && input->KeyStates().Down(scanCode);
}

bool MenuSystem::RightButtonDown() const {
    return input && input->RightButtonDown();
}

MenuWrapper* MenuSystem::Find(std::string_view name) {
    return root ? root->Find(name) : nullptr;
}
bool MenuSystem::GetInt(std::string_view name, std::int32_t* out) {
    return root && root->GetInt(name, out);
}
bool MenuSystem::GetFloat(std::string_view name, float* out) {
    return root && root->GetFloat(name, out);
}
bool MenuSystem::GetString(std::string_view name, FixedString<256>* out) {
    return root && root->GetString(name, out);
}
bool MenuSystem::SetInt(std::string_view name, std::int32_t value) {
    return root && root->SetInt(name, value);
}
bool MenuSystem::SetFloat(std::string_view name, float value) {
    return root && root->SetFloat(name, value);
}
bool MenuSystem::SetString(std::string_view name, std::string_view value) {
    return root && root->SetString(name, value);
}
bool MenuSystem::PlayByName(std::string_view name, int frames, bool forward) {
    return root && root->PlayByName(name, frames, forward);
}

void MenuSystem::Reset() {
    root.reset();
    hintControl = nullptr;
    lastClicked = nullptr;
    pointerX = pointerY = 0;
    leftButton = false;
    deactivateMenuEnabled = true;
    input = nullptr;
    readBudget = kMenuMaxControls;
    navigator = MenuNavigator();
}
