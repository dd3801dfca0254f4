#include "physics/handle.h"

#include <cmath>

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

Handle::Handle(Table& table) : table_(table) {
    type = ELEMENT_HANDLE;
}

Handle::~Handle() {
    Handle::Clear();
}

void Handle::Clear() {
    animation_.reset();
    SetEnabled(false);
}

bool Handle::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY), KeyDef::Real("fspeed", &fspeed),
              KeyDef::Real("bspeed", &bspeed), KeyDef::Real("maxangle", &maxangle),
              KeyDef::Real("length", &length), KeyDef::Word("filestart", &filestart),
              KeyDef::Word("fileend", &fileend), KeyDef::Int("filecount", &filecount),
              KeyDef::Int("control", &control), KeyDef::Int("form", &form)});
    animation_ =
        std::make_unique<FrameAnimation>(filestart.c_str(), fileend.c_str(), filecount, 0, 0);
    animation_->SetFrame(0);
    SetEnabled(true);
    return true;
}

void Handle::Save(std::string* out) {
    AppendFormat(out,
                 "Handle {\r\n atX = %.4f;\r\n atY = %.4f;\r\n filestart = \"%s\";\r\n"
                 " fileend = \"%s\";\r\n filecount = %d;\r\n fspeed = %.4f;\r\n bspeed = %.4f;\r\n"
                 " maxangle = %.4f;\r\n length = %.4f;\r\n control = %d;\r\n form = %d;\r\n"
                 "};;\r\n",
                 double(atX), double(atY), filestart.c_str(), fileend.c_str(), filecount,
                 double(fspeed), double(bspeed), double(maxangle), double(length), control, form);
}

CollisionForm* Handle::Form() const {
    TableObject* e = table_.Element(form);
    return (e != nullptr && e->type == ELEMENT_FORM) ? static_cast<CollisionForm*>(e) : nullptr;
}

int Handle::Frame() const {
    return animation_ ? animation_->frame : 0;
}

void Handle::Step(float dt) {
    event_flag = 0;
    float sign = -1.0f;
    if (control == 1 || control == 2) {
        bool held;
        if (control == 1) {
            held = table_.RightHandlePressed();
        } else {
            held = table_.LeftHandlePressed();
            sign = 1.0f;
        }
        if (held && !table_.tiltMode) {
            if (released) {
                event_flag = 1;
                released = false;
            }
            p = MovedBy(p, dt * fspeed);
        } else {
            released = true;
            p = MovedBy(p, -(dt * bspeed));
        }
    }
    if (p < 0.0f)
        p = 0.0f;
    if (p > 1.0f)
        p = 1.0f;
    const float dp = p - previousP;
    previousP = p;
    motion = dp > 0.0f ? MOTION_RISING : (dp < 0.0f ? MOTION_FALLING : MOTION_STILL);
    if (CollisionForm* f = Form()) {
        f->rotating = false;
        float a = 0.0f;
        if (motion != MOTION_STILL) {
            a = sign * maxangle * dp;
            // An angle of no float size (maxangle of 400 digits) turns nothing.
            const float speed = a / dt;
            if (std::isfinite(speed)) {
                f->rotating = true;
                f->angularSpeed = speed;
            }
        }
        Strike(*f, a);
    }
    if (animation_)
        animation_->SetFrame(int(float(animation_->Count() - 1) * p));
}

void Handle::Strike(CollisionForm& f, float a) {
    if (f.VertexCount() < 1)
        return;
    const Vec2 o = f.pivot;
    const Vec2 arm = f.Vertex(0) - o;
    const float armLength = Length(arm);
    // A form whose first vertex sits on its pivot has no direction to strike in.
    if (!(armLength > 0.0f))
        return;
    const Vec2 u{arm.x / armLength, arm.y / armLength};
    const Vec2 uHat = NormalizedIfLong(arm);
    const float tanA = std::tan(std::fabs(a));
    for (int i = 0; i < table_.BallCount(); ++i) {
        MainBall& ball = *static_cast<MainBall*>(table_.Ball(i));
        const float reach = armLength + 0.5f * ball.radius;
        const Vec2 pc = ball.position;
        const Vec2 foot = o + uHat * Dot(pc - o, uHat);
        const Vec2 n = NormalizedIfLong(pc - foot);
        float k;
        if (n.y < 0.0f) {
            if (motion != MOTION_RISING)
                continue;
            k = fspeed;
        } else if (n.y > 0.0f) {
            if (motion != MOTION_FALLING)
                continue;
            k = bspeed;
        } else {
            // On the line itself: neither side, no kick.
            continue;
        }
        const float d = Dot(pc - o, n);
        const Vec2 g = pc - d * n - o;
        const float gLength = Length(g);
        if (!(Dot(g, u) >= 0.0f && gLength < reach))
            continue;
        const float gap = d - ball.radius;
        if (!(gap <= tanA * gLength))
            continue;
        const float push = tanA * gLength - gap;
        const Vec2 w = NormalizedIfLong(g + gap * n);
        const Vec2 m = NormalizedIfLong(pc - (o + w * Dot(pc - o, w)));
        Vec2 v = ball.velocity - (2.0f * Dot(ball.velocity, m)) * m;
        v += (gLength * k) * m;
        ball.SetMotion(ball.position + push * m, v);
        f.event_flag = 1;
    }
}

void Handle::Draw(Picture* target, int offsetX, int offsetY) {
    DrawAnimatedPart(table_, animation_.get(), atX, atY, target, offsetX, offsetY);
}

void Handle::DrawEditor(Picture* surface) {
    DrawAnimatedPartEditor(table_, animation_.get(), atX, atY, Form(), surface);
}

void Handle::MoveBy(float dx, float dy) {
    atX += dx;
    atY += dy;
}

bool Handle::GetAnchor(int* x, int* y) {
    return AnimatedPartAnchor(table_, animation_.get(), atX, atY, x, y);
}
