#include "elements/locker.h"

#include "elements/element_common.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

Locker::Locker(Table& table) : table_(table) {
    type = ELEMENT_LOCKER;
}

Locker::~Locker() {
    Locker::Clear();
}

int Locker::LastFrame() const {
    return animation_->Count() > 0 ? animation_->Count() - 1 : 0;
}

bool Locker::AnimationEnded() const {
    // Without frames there is nothing to play: each move of the gate ends
    // at the next step, so a frameless gate still opens, times out and closes.
    return !animation_->playing || animation_->Count() == 0;
}

bool Locker::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY),
                     KeyDef::Real("maxtime", &maxtime), KeyDef::Real("frametime", &frametime),
                     KeyDef::Word("filestart", &filestart), KeyDef::Word("fileend", &fileend),
                     KeyDef::Int("filecount", &filecount), KeyDef::Int("keycontrol", &keycontrol)});
    animation_ =
        std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), filecount, 0, 0);
    animation_->frameTime = frametime;
    SetEnabled(true);
    Reset();
    return true;
}

void Locker::Clear() {
    animation_.reset();
    SetEnabled(false);
}

void Locker::Save(std::string* out) {
    AppendFormat(out,
                 "Locker {\r\n atX = %.4f;\r\n atY = %.4f;\r\n maxtime = %.4f;\r\n"
                 " filestart = \"%s\";\r\n fileend = \"%s\";\r\n filecount = %d;\r\n"
                 " frametime = %.4f;\r\n keycontrol = %d;\r\n};;\r\n",
                 double(atX), double(atY), double(maxtime), filestart.c_str(), fileend.c_str(),
                 filecount, double(frametime), keycontrol);
}

void Locker::Reset() {
    gate_state = GATE_CLOSED;
    open_left = 0.0f;
}

void Locker::PlayOnce(int frame, bool forward) {
    FrameAnimation& a = *animation_;
    a.remaining = -1;
    a.frame = frame;
    a.playing = true;
    a.forward = forward;
    a.elapsed = 0.0f;
    a.loop = false;
}

void Locker::Activate() {
    if (!animation_)
        return;
    if (gate_state == GATE_CLOSED) {
        gate_state = GATE_OPENING;
        PlayOnce(0, true);
        open_left = maxtime;
        event_flag = 1;
    } else if (gate_state == GATE_OPEN) {
        open_left = maxtime;
    }
}

void Locker::Step(float dt) {
    if (!animation_)
        return;
    FrameAnimation& a = *animation_;
    const bool held = keycontrol != 0 && table_.SpringPressed() && !table_.tiltMode;
    if (!held) {
        switch (gate_state) {
            case GATE_OPEN:
                open_left -= dt;
                if (open_left <= 0.0f) {
                    gate_state = GATE_CLOSING;
                    PlayOnce(LastFrame(), false);
                }
                break;
            case GATE_CLOSING:
                if (AnimationEnded()) {
                    gate_state = GATE_CLOSED;
                    a.SetFrame(0);
                }
                break;
            case GATE_OPENING:
                if (AnimationEnded()) {
                    gate_state = GATE_OPEN;
                    a.SetFrame(LastFrame());
                    if (keycontrol != 0)
                        open_left = maxtime;
                }
                break;
            default:
                a.SetFrame(0);
                break;
        }
    } else {
        switch (gate_state) {
            case GATE_OPEN:
            case GATE_OPENING:
                open_left = maxtime;
                break;
            case GATE_CLOSING:
            default:
                gate_state = GATE_OPENING;
                PlayOnce(0, true);
                open_left = maxtime;
                break;
        }
    }
    a.Advance(dt);
}

void Locker::Draw(Picture* target, int offsetX, int offsetY) {
    if (!animation_)
        return;
    if (gate_state == GATE_CLOSED)
        animation_->SetFrame(0);
    else if (gate_state == GATE_OPEN)
        animation_->SetFrame(LastFrame());
    animation_->Draw(target, table_.ScreenX(atX) + offsetX, table_.ScreenY(atY) + offsetY);
}

void Locker::DrawEditor(Picture* surface) {
    if (!animation_)
        return;
    if (const Picture* frame = animation_->Frame(animation_->frame))
        DrawEditorOutline(surface, table_.ScreenX(atX), table_.ScreenY(atY), frame->Width(),
                          frame->Height());
}

bool Locker::GetAnchor(int* x, int* y) {
    if (!animation_)
        return false;
    const Picture* frame = animation_->Frame(animation_->frame);
    *x = table_.ScreenX(atX) + (frame ? frame->Width() / 2 : 0);
    *y = table_.ScreenY(atY) + (frame ? frame->Height() / 2 : 0);
    return true;
}

void Locker::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}
