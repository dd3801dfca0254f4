#include "physics/spring.h"

#include "physics/animated_part.h"
#include "physics/collision_form.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "render/display.h"
#include "render/frame_animation.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"
#include "table/table.h"

Spring::Spring(Table& table) : table_(table) {
    type = ELEMENT_SPRING;
}

Spring::~Spring() {
    Spring::Clear();
}

void Spring::Clear() {
    animation_.reset();
    SetEnabled(false);
}

bool Spring::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY), KeyDef::Real("fspeed", &fspeed),
              KeyDef::Real("bspeed", &bspeed), KeyDef::Real("maxangle", &travel),
              KeyDef::Real("kmax", &kmax), KeyDef::Word("filestart", &filestart),
              KeyDef::Word("fileend", &fileend), KeyDef::Int("filecount", &filecount),
              KeyDef::Int("control", &control), KeyDef::Int("form", &form)});
    animation_ =
        std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), filecount, 0, 0);
    // The plunger starts raised and falls to where the script put its form.
    if (CollisionForm* f = Form())
        f->ShiftY(-travel);
    animation_->SetFrame(animation_->Count() - 1);
    SetEnabled(true);
    return true;
}

void Spring::Save(std::string* out) {
    AppendFormat(out,
                 "Spring {\r\n atX = %.4f;\r\n atY = %.4f;\r\n filestart = \"%s\";\r\n"
                 " fileend = \"%s\";\r\n filecount = %d;\r\n fspeed = %.4f;\r\n bspeed = %.4f;\r\n"
                 " maxangle = %.4f;\r\n kmax = %.4f;\r\n control = %d;\r\n form = %d;\r\n"
                 "};;\r\n",
                 double(atX), double(atY), filestart.c_str(), fileend.c_str(), filecount,
                 double(fspeed), double(bspeed), double(travel), double(kmax), control, form);
}

CollisionForm* Spring::Form() const {
    TableObject* e = table_.Element(form);
    return (e != nullptr && e->type == ELEMENT_FORM) ? static_cast<CollisionForm*>(e) : nullptr;
}

int Spring::Frame() const {
    return animation_ ? animation_->frame : 0;
}

void Spring::Step(float dt) {
    const float p0 = p;
    event_flag = 0;
    if (control == 3) {
        if (table_.SpringPressed() && !table_.tiltMode) {
            armed = true;
            p = MovedBy(p, dt * fspeed);
            charge = p;
        } else {
            p = MovedBy(p, -(dt * bspeed));
            if (p < 0.0f && armed) {
                event_flag = 1;
                armed = false;
            }
        }
    }
    if (p < 0.0f)
        p = 0.0f;
    if (p > 1.0f)
        p = 1.0f;
    const float dp = p - p0;
    if (CollisionForm* f = Form()) {
        if (dp != 0.0f)
            f->ShiftY(-dp * travel);
        for (int i = 0; i < table_.BallCount(); ++i) {
            MainBall& ball = *static_cast<MainBall*>(table_.Ball(i));
            if (ball.contact == f || ball.previousContact == f)
                ball.state = BALL_SERVED;
            if (ball.state == BALL_SERVED && dp < 0.0f) {
                ball.SetMotion(ball.startupPosition, (charge * kmax) * kLaunchDirection);
                ball.state = BALL_IN_PLAY;
            }
        }
    }
    if (animation_)
        animation_->SetFrame(int(float(animation_->Count() - 1) * (1.0f - p)));
}

void Spring::Draw(Picture* target, int offsetX, int offsetY) {
    DrawAnimatedPart(table_, animation_.get(), atX, atY, target, offsetX, offsetY);
}

void Spring::DrawEditor(Picture* surface) {
    DrawAnimatedPartEditor(table_, animation_.get(), atX, atY, Form(), surface);
}

void Spring::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}

bool Spring::GetAnchor(int* x, int* y) {
    return AnimatedPartAnchor(table_, animation_.get(), atX, atY, x, y);
}
