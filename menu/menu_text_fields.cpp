#include "menu/menu_text_fields.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "input/control_binding.h"
#include "render/font.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

namespace {

constexpr int kKeyBackspace = 14, kKeySpace = 57, kKeyLShift = 42, kKeyRShift = 54;

// The characters the field types, by scan code; 0 types nothing.
char TypedChar(int code) {
    static constexpr struct {
        int first;
        const char* chars;
    } kRows[] = {{2, "1234567890"}, {16, "qwertyuiop"}, {30, "asdfghjkl"}, {44, "zxcvbnm"}};
    for (const auto& row : kRows) {
        int n = int(std::char_traits<char>::length(row.chars));
        if (code >= row.first && code < row.first + n)
            return row.chars[code - row.first];
    }
    return 0;
}

}  // namespace

MenuEditControl::MenuEditControl(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuEditControl";
    classNumber = MENU_EDITCONTROL;
    ParentChainPosition(&tx, &ty);
}

MenuEditControl::~MenuEditControl() {
    MenuEditControl::Clear();
}

void MenuEditControl::ReleaseResources() {
    if (font)
        GlobalFontCache().Release(font);
    caret.reset();
}

void MenuEditControl::LoadResources() {
    ReleaseResources();
    if (caretCount != 0 && !caretStart.empty()) {
        int count = std::clamp(caretCount, 0, kMenuMaxFrames);
        caret = std::make_unique<FrameAnimation>(caretStart.c_str(), caretEnd.c_str(), count, 0,
                                                 PICTURE_SYSMEM);
        caret->frameTime = caretTime;
        caret->Play(-1, true);
    }
    if (!fontFile.empty())
        font = FontCacheGet(fontFile.c_str());
}

void MenuEditControl::Clear() {
    MenuWrapper::Clear();
    ReleaseResources();
}

bool MenuEditControl::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    ReadKeys(block, {KeyDef::Word("font", &fontFile), KeyDef::Int("tx", &tx),
                     KeyDef::Int("ty", &ty), KeyDef::Int("tw", &tw), KeyDef::Int("th", &th),
                     KeyDef::Int("cx", &cx), KeyDef::Int("cy", &cy),
                     KeyDef::Int("editable", &editable), KeyDef::Word("Caption", &text),
                     KeyDef::Word("CFStart", &caretStart), KeyDef::Word("CFEnd", &caretEnd),
                     KeyDef::Int("CFCount", &caretCount), KeyDef::Real("CFFrTime", &caretTime)});
    HoldCoords({&tx, &ty, &tw, &th, &cx, &cy});
    if (!std::isfinite(caretTime))
        caretTime = kDefaultCaretTime;
    LoadResources();
    caretIndex = int(text.size());
    return true;
}

void MenuEditControl::Update(float dt) {
    MenuWrapper::Update(dt);
    if (!editable)
        return;
    const MenuSystem& m = Menus();
    inside = m.PointerIn(tx, ty, tw, th);
    if (m.leftButton) {
        if (inside) {
            active = true;
        } else if (active) {
            Deactivate();
        }
    }
    if (active) {
        Keys();
        if (caret)
            caret->Advance(dt);
    }
}

int MenuEditControl::TypedCode() {
    const MenuSystem& m = Menus();
    if (m.KeyDown(kKeyBackspace))
        return kBackspaceCode;
    // In scan-code order, so digits win over letters.
    for (int code = 2; code <= 50; ++code) {
        char c = TypedChar(code);
        if (c != 0 && m.KeyDown(code))
            return static_cast<unsigned char>(c);
    }
    if (m.KeyDown(kKeySpace))
        return ' ';
    return 0;
}

void MenuEditControl::Keys() {
    const int code = TypedCode();
    if (code == lastKey)
        return;  // no repeat while a key is held
    lastKey = std::uint8_t(code);
    if (code == 0)
        return;
    std::string s(text.view());
    caretIndex = std::clamp(caretIndex, 0, int(s.size()));
    if (code == kBackspaceCode) {
        if (caretIndex > 0) {
            s.erase(std::size_t(caretIndex - 1), 1);
            --caretIndex;
        }
    } else {
        // The field holds 255 characters; what is typed beyond is ignored.
        if (s.size() + 1 >= text.capacity())
            return;
        char c = char(code);
        const MenuSystem& m = Menus();
        if (m.KeyDown(kKeyLShift) || m.KeyDown(kKeyRShift))
            c = char(std::toupper(static_cast<unsigned char>(c)));
        s.insert(std::size_t(caretIndex), 1, c);
        ++caretIndex;
    }
    text = s;
}

void MenuEditControl::Draw(Picture* target, int px, int py) {
    const int ox = px + x, oy = py + y;
    if ((inside || active) && children.Count > 0) {
        Child(0)->active = true;
        Child(0)->Draw(target, ox, oy);
    }
    if (!font)
        return;
    if (active && caret) {
        // Measured to the caret and the character at it.
        int len = int(text.size());
        int upTo = std::clamp(caretIndex + 1, 0, len);
        std::string measured(text.view().substr(0, std::size_t(upTo)));
        Picture* frame = caret->Frame(caret->frame);
        int frameHeight = frame ? frame->Height() : 0;
        caret->Draw(target, ox + cx + font->TextWidth(measured.c_str()),
                    oy + cy + (font->Height() - frameHeight) / 2);
    }
    font->DrawText(target, ox + cx, oy + cy, text.c_str(), 0);
}

bool MenuEditControl::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        const char* in = indent->c_str();
        AppendFormat(
            out,
            "%stx = %d;\r\n%sty = %d;\r\n%scx = %d;\r\n%scy = %d;\r\n%stw = %d;\r\n"
            "%sth = %d;\r\n%seditable = %d;\r\n%sCaption = \"%s\";\r\n%sfont = \"%s\";\r\n",
            in, tx, in, ty, in, cx, in, cy, in, tw, in, th, in, editable, in, text.c_str(), in,
            fontFile.c_str());
        AppendFormat(out,
                     "%sCFStart = \"%s\";\r\n%sCFEnd = \"%s\";\r\n%sCFCount = %d;\r\n"
                     "%sCFFrTime = %f;\r\n",
                     in, caretStart.c_str(), in, caretEnd.c_str(), in, caretCount, in,
                     double(caretTime));
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}

MenuWrapper* MenuEditControl::Duplicate(int dx, int dy) {
    if (!parent || parent->children.Count >= kMenuMaxChildren)
        return nullptr;
    auto copy = std::make_unique<MenuEditControl>(parent);
    copy->x = x + dx;
    copy->y = y + dy;
    copy->name = name.view();
    copy->hint = hint.view();
    copy->cascade = cascade;
    copy->action = action;
    copy->fontFile = fontFile.view();
    copy->tx = tx + dx;
    copy->ty = ty + dy;
    copy->tw = tw;
    copy->th = th;
    copy->cx = cx;
    copy->cy = cy;
    copy->editable = editable;
    copy->text = text.view();
    copy->caretStart = caretStart.view();
    copy->caretEnd = caretEnd.view();
    copy->caretCount = caretCount;
    copy->caretTime = caretTime;
    copy->LoadResources();
    copy->caretIndex = int(copy->text.size());
    MenuWrapper* made = copy.get();
    parent->children.Append(std::move(copy));
    return made;
}

// --- MenuGetControl -----------------------------------------------------------

MenuGetControl::MenuGetControl(MenuWrapper* parentControl) : MenuEditControl(parentControl) {
    className = "MenuGetControl";
    classNumber = MENU_GETCONTROL;
}

void MenuGetControl::Keys() {
    for (int code = 0; code < 255; ++code) {
        if (!Menus().KeyDown(code))
            continue;
        FixedString<32> keyName;
        if (!KeyCodeToName(code, &keyName))
            continue;  // a key without a name is passed over
        text = keyName.view();
        caretIndex = int(text.size());
        Deactivate();
        return;
    }
}
