#include "elements/lights.h"

#include "elements/element_common.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

void IndicatorLight::Reset() {
    lit = false;
    toggle_pending = false;
    toggle_timer = 0.0f;
}

void IndicatorLight::Step(float dt) {
    StepTresMode(this, dt);
    if (toggle_pending) {
        toggle_timer -= dt;
        if (toggle_timer <= 0.0f) {
            lit = !lit;
            toggle_pending = false;
        }
    }
}

void IndicatorLight::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}

// --- Switch ---

Switch::Switch(Table& table) : IndicatorLight(table) {
    type = ELEMENT_SWITCH;
}

Switch::~Switch() {
    Switch::Clear();
}

bool Switch::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY),
                     KeyDef::Word("filestart", &filestart), KeyDef::Word("fileend", &fileend)});
    animation_ = std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), 2, 0, 0);
    SetEnabled(true);
    Reset();
    return true;
}

void Switch::Clear() {
    animation_.reset();
    SetEnabled(false);
}

void Switch::Save(std::string* out) {
    AppendFormat(out,
                 "Switch { atX = %.4f;\r\n atY = %.4f;\r\n filestart = \"%s\";\r\n"
                 " fileend = \"%s\";\r\n};;\r\n",
                 double(atX), double(atY), filestart.c_str(), fileend.c_str());
}

void Switch::Draw(Picture* target, int offsetX, int offsetY) {
    if (!animation_)
        return;
    if (!tres_mode) {
        animation_->SetFrame(lit ? 1 : 0);
    } else {
        if (GameRand() % 32 == 0)
            animation_->SetFrame(0);
        if (!BlinkShows(*this))
            return;
    }
    animation_->Draw(target, table_.ScreenX(atX) + offsetX, table_.ScreenY(atY) + offsetY);
}

void Switch::DrawEditor(Picture* surface) {
    if (!animation_)
        return;
    const Picture* frame = animation_->Frame(animation_->frame);
    if (frame != nullptr)
        DrawEditorOutline(surface, table_.ScreenX(atX), table_.ScreenY(atY), frame->Width(),
                          frame->Height());
}

bool Switch::GetAnchor(int* x, int* y) {
    if (!animation_)
        return false;
    const Picture* frame = animation_->Frame(animation_->frame);
    *x = table_.ScreenX(atX) + (frame ? frame->Width() / 2 : 0);
    *y = table_.ScreenY(atY) + (frame ? frame->Height() / 2 : 0);
    return true;
}

// --- TSwitch ---

TSwitch::TSwitch(Table& table) : IndicatorLight(table) {
    type = ELEMENT_TSWITCH;
}

TSwitch::~TSwitch() {
    TSwitch::Clear();
}

bool TSwitch::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY),
                     KeyDef::Word("filename", &filename)});
    picture_ = PictureCacheGet(filename.c_str(), PICTURE_SURFACE | PICTURE_TRANSPARENT, false);
    SetEnabled(true);
    Reset();
    return true;
}

void TSwitch::Clear() {
    if (picture_ != nullptr)
        PictureCacheRelease(picture_);
    SetEnabled(false);
}

void TSwitch::Save(std::string* out) {
    AppendFormat(out, "TSwitch {\r\n atX = %.4f;\r\n atY = %.4f;\r\n filename = \"%s\";\r\n};;\r\n",
                 double(atX), double(atY), filename.c_str());
}

void TSwitch::Activate() {
    lit = true;
    toggle_timer = 0.1f + 0.5f * float(GameRand()) / 32767.0f;
    toggle_pending = true;
}

bool TSwitch::Shows() const {
    return tres_mode ? BlinkShows(*this) : lit;
}

void TSwitch::Draw(Picture* target, int offsetX, int offsetY) {
    if (picture_ != nullptr && Shows())
        picture_->Draw(target, table_.ScreenX(atX) + offsetX, table_.ScreenY(atY) + offsetY);
}

void TSwitch::DrawEditor(Picture* surface) {
    if (picture_ == nullptr)
        return;
    const int x = table_.ScreenX(atX), y = table_.ScreenY(atY);
    picture_->Draw(surface, x, y);
    DrawEditorOutline(surface, x, y, picture_->Width(), picture_->Height());
}

bool TSwitch::GetAnchor(int* x, int* y) {
    if (picture_ == nullptr)
        return false;
    *x = table_.ScreenX(atX) + picture_->Width() / 2;
    *y = table_.ScreenY(atY) + picture_->Height() / 2;
    return true;
}
