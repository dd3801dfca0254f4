#include "menu/menu_sliders.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

namespace {

// Script reals may be inf or nan; geometry keeps its default then.
void KeepFinite(float* v, float fallback) {
    if (!std::isfinite(*v))
        *v = fallback;
}

// Splits a frame file name around its frame number: the last run of at
// least four digits holds it, and the number is its last four digits (the
// first frame is number 0, "0000").
void SplitFrameName(std::string_view frameName, std::string* start, std::string* end) {
    std::size_t runEnd = frameName.size();
    while (runEnd > 0) {
        std::size_t i = runEnd;
        while (i > 0 && !(frameName[i - 1] >= '0' && frameName[i - 1] <= '9'))
            --i;
        std::size_t digitsEnd = i;
        while (i > 0 && frameName[i - 1] >= '0' && frameName[i - 1] <= '9')
            --i;
        if (digitsEnd - i >= 4) {
            *start = std::string(frameName.substr(0, digitsEnd - 4));
            *end = std::string(frameName.substr(digitsEnd));
            return;
        }
        runEnd = i;
    }
    *start = std::string(frameName);
    end->clear();
}

}  // namespace

// --- MenuSlider ---------------------------------------------------------------

MenuSlider::MenuSlider(MenuWrapper* parentControl) : MenuWrapper(parentControl) {
    className = "MenuSlider";
    classNumber = MENU_SLIDER;
    ParentChainPosition(&tx, &ty);
}

MenuSlider::~MenuSlider() {
    MenuSlider::Clear();
}

void MenuSlider::Clear() {
    animation.reset();
    MenuWrapper::Clear();
}

bool MenuSlider::Read(const ScriptBlock& block) {
    MenuWrapper::Read(block);
    FixedString<260> filestart, fileend;
    std::int32_t filecount = 0;
    ReadKeys(block, {KeyDef::Int("tx", &tx), KeyDef::Int("ty", &ty), KeyDef::Int("tw", &tw),
                     KeyDef::Int("th", &th), KeyDef::Word("filestart", &filestart),
                     KeyDef::Word("fileend", &fileend), KeyDef::Int("filecount", &filecount)});
    HoldCoords({&tx, &ty, &tw, &th});
    if (filestart.empty() || fileend.empty() || filecount <= 0)
        return false;
    animation = std::make_unique<FrameAnimation>(
        filestart.c_str(), fileend.c_str(), std::min(filecount, kMenuMaxFrames), 0, PICTURE_SYSMEM);
    animation->SetFrame(0);
    return true;
}

void MenuSlider::Update(float dt) {
    MenuWrapper::Update(dt);
    const MenuSystem& m = Menus();
    if (!animation || tw == 0 || !m.leftButton || !m.PointerIn(tx, ty, tw, th))
        return;
    value = float(double(m.pointerX - double(tx)) / double(tw));
    if (!name.empty())
        Menus().lastClicked = this;
}

int MenuSlider::FrameForValue() const {
    if (!animation)
        return 0;
    // Values set by name may be anything; the frame stays in range.
    float v = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    return int(float(animation->Count() - 1) * v);
}

void MenuSlider::Draw(Picture* target, int px, int py) {
    if (!animation)
        return;
    animation->SetFrame(FrameForValue());
    animation->Draw(target, px + x, py + y);
}

void MenuSlider::SaveSliderKeys(std::string* out, const std::string& indent) const {
    const char* in = indent.c_str();
    AppendFormat(out, "%stx = %d;\r\n%sty = %d;\r\n%stw = %d;\r\n%sth = %d;\r\n", in, tx, in, ty,
                 in, tw, in, th);
    std::string start, end;
    int count = 0;
    if (animation && animation->Count() > 0 && animation->Frame(0)) {
        SplitFrameName(animation->Frame(0)->Name(), &start, &end);
        count = animation->Count();
    }
    AppendFormat(out, "%sfilestart = \"%s\";\r\n%sfileend = \"%s\";\r\n%sfilecount = %d;\r\n", in,
                 start.c_str(), in, end.c_str(), in, count);
}

bool MenuSlider::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        SaveSliderKeys(out, *indent);
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}

// --- MenuRoundSlider ----------------------------------------------------------

MenuRoundSlider::MenuRoundSlider(MenuWrapper* parentControl) : MenuSlider(parentControl) {
    className = "MenuRoundSlider";
    classNumber = MENU_ROUNDSLIDER;
}

MenuRoundSlider::~MenuRoundSlider() {
    MenuRoundSlider::Clear();
}

void MenuRoundSlider::Clear() {
    if (picture)
        PictureCacheRelease(picture);
    MenuSlider::Clear();
}

bool MenuRoundSlider::Read(const ScriptBlock& block) {
    bool ok = MenuSlider::Read(block);
    ReadKeys(block,
             {KeyDef::Int("picx", &picx), KeyDef::Int("picy", &picy), KeyDef::Real("cx", &cx),
              KeyDef::Real("cz", &cz), KeyDef::Real("px", &px), KeyDef::Real("pz", &pz),
              KeyDef::Real("maxangle", &maxangle), KeyDef::Word("picname", &picname)});
    HoldCoords({&picx, &picy});
    KeepFinite(&cx, 0.0f);
    KeepFinite(&cz, 0.0f);
    KeepFinite(&px, 0.0f);
    KeepFinite(&pz, 0.0f);
    // Value = angle / maxangle: only a positive, finite angle divides.
    if (!(maxangle > 0.0f) || !std::isfinite(maxangle))
        maxangle = kFullTurn;
    px -= cx;
    pz -= cz;
    float len2 = px * px + pz * pz;
    if (!std::isfinite(len2)) {
        px = pz = 0.0f;
    } else if (len2 >= 1e-6f) {
        float len = std::sqrt(len2);
        px /= len;
        pz /= len;
    }
    if (picture)
        PictureCacheRelease(picture);
    if (!picname.empty()) {
        picture = PictureCacheGet(picname.c_str(), PICTURE_SURFACE | PICTURE_SYSMEM);
        pictureHeight = picture->Height();
    }
    return ok;
}

void MenuRoundSlider::Update(float dt) {
    MenuWrapper::Update(dt);
    if (!animation)
        return;
    const MenuSystem& m = Menus();
    const bool inside = m.PointerIn(tx, ty, tw, th);
    if (inside && tw != 0 && m.leftButton) {
        if (!name.empty())
            Menus().lastClicked = this;
        dragging = true;
    }
    if (!m.leftButton)
        dragging = false;
    if (!dragging)
        return;
    float dx = float(m.pointerX) - cx, dy = float(m.pointerY) - cz;
    float len2 = dx * dx + dy * dy;
    if (len2 >= 1e-6f && std::isfinite(len2)) {
        float len = std::sqrt(len2);
        dx /= len;
        dy /= len;
    }
    // Rounding can carry the cosine a hair past 1, where acos has no value.
    const float cosine = std::clamp(dx * px + dy * pz, -1.0f, 1.0f);
    const float cross = dx * pz - dy * px;
    float angle = std::acos(cosine);
    if (cross > 0.0f) {
        angle = -angle;
    } else if (cross == 0.0f) {
        angle = 0.0f;
    }
    if (angle < 0.0f)
        angle += 6.283185f;
    if (angle > maxangle) {
        // Past the end of the scale: stay at the end the drag came from,
        // so the value does not jump from full to empty across the gap.
        if (value < 0.5f) {
            value = 0.0f;
            return;
        }
        angle = maxangle;
    }
    value = angle / maxangle;
}

void MenuRoundSlider::Draw(Picture* target, int px0, int py0) {
    MenuSlider::Draw(target, px0, py0);
    if (!picture)
        return;
    float v = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    shownWidth = int(std::floor(float(picture->Width()) * v));
    // A part 0 wide shows nothing (not the whole picture, as below 0 would).
    if (shownWidth > 0)
        picture->DrawPart(target, px0 + x + picx, py0 + y + picy, shownWidth, pictureHeight);
}

bool MenuRoundSlider::Save(std::string* out, std::string* indent, unsigned parts) {
    MenuWrapper::Save(out, indent, parts & SAVE_OPEN);
    if (parts & SAVE_KEYS) {
        MenuWrapper::Save(out, indent, SAVE_KEYS);
        SaveSliderKeys(out, *indent);
        const char* in = indent->c_str();
        // The direction of value 0 was read as a point: write it as one again.
        AppendFormat(out,
                     "%spicx = %d;\r\n%spicy = %d;\r\n%scx = %f;\r\n%scz = %f;\r\n%spx = %f;\r\n"
                     "%spz = %f;\r\n%smaxangle = %f;\r\n%spicname = \"%s\";\r\n",
                     in, picx, in, picy, in, double(cx), in, double(cz), in, double(px + cx), in,
                     double(pz + cz), in, double(maxangle), in, picname.c_str());
    }
    return MenuWrapper::Save(out, indent, parts & (SAVE_CHILDREN | SAVE_CLOSE));
}
