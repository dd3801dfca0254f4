#include "physics/main_ball.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "physics/collision_form.h"
#include "render/display.h"
#include "render/picture.h"
#include "script/script_block.h"
#include "script/script_writer.h"

BallPictures::BallPictures() = default;

BallPictures::~BallPictures() {
    if (highlight)
        PictureCacheRelease(highlight);
    if (image)
        PictureCacheRelease(image);
    if (shadow)
        PictureCacheRelease(shadow);
}

MainBall::MainBall(Table& table) : table_(table) {
    type = ELEMENT_BALL;
    elementName = "Default Ball";
    table_.AddBall(this);
    table_.ballsInPlay += 1;
}

MainBall::~MainBall() {
    MainBall::Clear();
    table_.RemoveBall(this);
}

std::unique_ptr<MainBall> MainBall::MakeCopy() const {
    auto copy = std::make_unique<MainBall>(table_);
    // Ball fields only: the base fields, name included, stay those of a fresh ball.
    copy->radius = radius;
    copy->temp = temp;
    copy->startupPosition = startupPosition;
    copy->startupSpeed = startupSpeed;
    copy->opacity = opacity;
    copy->shX = shX;
    copy->shY = shY;
    copy->refX = refX;
    copy->refY = refY;
    copy->dmap = dmap.view();
    copy->dmplus = dmplus.view();
    copy->image = image.view();
    copy->shadow = shadow.view();
    copy->position = position;
    copy->velocity = velocity;
    copy->state = state;
    copy->generated = true;
    copy->pictures_ = pictures_;
    return copy;
}

bool MainBall::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &position.x), KeyDef::Real("atY", &position.y),
              KeyDef::Real("startup_position_x", &startupPosition.x),
              KeyDef::Real("startup_position_y", &startupPosition.y),
              KeyDef::Real("startup_speed_x", &startupSpeed.x),
              KeyDef::Real("startup_speed_y", &startupSpeed.y), KeyDef::Real("radius", &radius),
              KeyDef::Real("opacity", &opacity), KeyDef::Word("name", &elementName),
              KeyDef::Word("dmap", &dmap), KeyDef::Word("dmplus", &dmplus),
              KeyDef::Word("image", &image), KeyDef::Word("shadow", &shadow),
              KeyDef::Int("shX", &shX), KeyDef::Int("shY", &shY), KeyDef::Int("refX", &refX),
              KeyDef::Int("refY", &refY), KeyDef::Int("temp", &temp)});
    LoadPictures();
    position = startupPosition;
    velocity = startupSpeed;
    SetEnabled(true);
    if (temp != 0) {
        SetEnabled(false);
        table_.ballsInPlay -= 1;
    }
    return true;
}

void MainBall::Clear() {
    // A copy only lets go of its share; the pictures stay while others use them.
    pictures_.reset();
    SetEnabled(false);
}

void MainBall::LoadPictures() {
    auto pics = std::make_shared<BallPictures>();
    // An empty name is no picture (nothing to report).
    if (!dmap.empty()) {
        auto map = std::make_unique<DisplacementMap>();
        if (BuildDisplacementMap(dmap.c_str(), map.get()) && map->width > 0 && map->height > 0) {
            pics->map = std::move(map);
        }
    }
    const unsigned kept = PICTURE_TRANSPARENT | PICTURE_SYSMEM | PICTURE_KEEPPIXELS;
    if (!dmplus.empty())
        pics->highlight = PictureCacheGet(dmplus.c_str(), kept);
    if (!image.empty())
        pics->image = PictureCacheGet(image.c_str(), kept);
    if (!shadow.empty())
        pics->shadow = PictureCacheGet(shadow.c_str(), kept | PICTURE_SURFACE);
    if (pics->shadow && pics->shadow->Width() > 0 && pics->shadow->Height() > 0) {
        const int w = pics->shadow->Width(), h = pics->shadow->Height();
        pics->workD = std::make_unique<Picture>(w, h, PICTURE_TRANSPARENT);
        pics->workE = std::make_unique<Picture>(w, h, PICTURE_TRANSPARENT);
    }
    if (pics->map) {
        const int w = pics->map->width, h = pics->map->height;
        pics->workB = std::make_unique<Picture>(w, h, PICTURE_TRANSPARENT);
        pics->workA = std::make_unique<Picture>(w, h, PICTURE_TRANSPARENT);
        pics->workC = std::make_unique<Picture>(w, h, PICTURE_TRANSPARENT);
    }
    pictures_ = std::move(pics);
}

void MainBall::Save(std::string* out) {
    AppendFormat(out,
                 "MainBall{\r\n name = \"%s\";\r\n atX = %.4f;\r\n atY = %.4f;\r\n"
                 " startup_position_x = %.4f;\r\n startup_position_y = %.4f;\r\n"
                 " startup_speed_x = %.4f;\r\n startup_speed_y = %.4f;\r\n radius = %.4f;\r\n"
                 " opacity = %.4f;\r\n dmap = \"%s\";\r\n dmplus = \"%s\";\r\n image = \"%s\";\r\n"
                 " shadow = \"%s\";\r\n shX = %d;\r\n shY = %d;\r\n refX = %d;\r\n refY = %d;\r\n"
                 " temp = %d;\r\n};;\r\n",
                 elementName.c_str(), double(position.x), double(position.y),
                 double(startupPosition.x), double(startupPosition.y), double(startupSpeed.x),
                 double(startupSpeed.y), double(radius), double(opacity), dmap.c_str(),
                 dmplus.c_str(), image.c_str(), shadow.c_str(), shX, shY, refX, refY, temp);
}

void MainBall::Serve() {
    Table& t = table_;
    t.currentBallNumber += 1;
    t.ballsInPlay = 1;
    position = startupPosition;
    velocity = startupSpeed;
    state = BALL_SERVED;
    t.tiltWarnings = 0;
    t.tiltMode = false;
    if (t.currentBallNumber > t.ball_count) {
        state = BALL_OUT_OF_BALLS;
        if (TableMessage* over = t.Message(MESSAGE_GAMEOVER)) {
            over->SetActive(true);
            t.currentBallNumber -= 1;
        }
        return;
    }
    if (TableMessage* next = t.Message(MESSAGE_NEXTBALL)) {
        next->SetActive(true);
        if (t.currentBallNumber == t.ball_count) {
            next->ShowMessage("Sorry, but it is your last ball!");
        } else {
            char text[64];
            std::snprintf(text, sizeof(text), "Ball %02d from %02d", t.currentBallNumber,
                          t.ball_count);
            next->ShowMessage(text);
        }
    }
}

void MainBall::Step(float dt) {
    lastSubSteps = 0;
    if (state == BALL_OUT_OF_BALLS)
        return;
    table_.currentBall = this;
    previousContact = contact;
    contact = nullptr;
    if (table_.ballsInPlay == 0 && !generated) {
        Serve();
        if (state == BALL_OUT_OF_BALLS)
            return;
    }
    if (!IsFinite(position)) {
        // Nothing can bring such a ball back into the table; play goes on.
        Lose();
        return;
    }
    if (Parked())
        return;
    velocity.y += kGravity * dt;
    float speed = Length(velocity);
    if (!std::isfinite(speed)) {
        // Nothing on the table can make sense of it; stop the ball rather than
        // let it poison its position.
        velocity = Vec2{};
        speed = 0.0f;
    }
    const float perStep = speed * dt / radius;
    float h = (perStep != 0.0f && std::isfinite(perStep)) ? dt / perStep : dt;
    if (dt > 0.0f && h < dt / float(kMaxSubSteps)) {
        h = dt / float(kMaxSubSteps);
        if (TableProbe* probe = table_.Probe())
            probe->SubStepCap(*this);
    }
    if (dt > 0.0f) {
        float t = 0.0f;
        do {
            t += h;
            if (t > dt) {
                h = h - (t - dt);
                t = dt;
            }
            const float v = Length(velocity);
            if (v > kMaxSpeed)
                velocity = velocity * (kMaxSpeed / v);
            Move(h);
            ++lastSubSteps;
        } while (t < dt);
    }
    // Below the table the ball is lost. So is one thrown above it, where lost
    // balls wait (a response factor of 1e20 does that), or out of float range:
    // either would be parked while counted in play and nothing would serve.
    if (position.y > kLossY || Parked() || !IsFinite(position))
        Lose();
}

void MainBall::Lose() {
    table_.ballsInPlay -= 1;
    position = Vec2{0.0f, -1.0f};
    if (generated)
        table_.QueueRemoval(table_.IndexOf(this));
}

void MainBall::SetMotion(Vec2 at, Vec2 speed) {
    velocity = FiniteSpeedOrZero(speed);
    if (IsFinite(at))
        position = at;
    else if (!Parked())
        Lose();
}

void MainBall::Move(float h) {
    // A pair further apart than this along either axis can't meet: it is
    // passed over without the square root. The margin is far beyond the
    // rounding of the exact test below, which decides every nearer pair.
    const float axisReach = 2.0f * radius * 1.001f;
    for (int i = 0; i < table_.BallCount(); ++i) {
        MainBall* other = static_cast<MainBall*>(table_.Ball(i));
        if (other == this || !other->Enabled())
            continue;
        const Vec2 d = other->position - position;
        const Vec2 w = velocity - other->velocity;
        const Vec2 gap = w * h - d;
        if (std::fabs(gap.x) > axisReach || std::fabs(gap.y) > axisReach)
            continue;
        if (!(Length(gap) < 2.0f * radius))
            continue;
        const float len = Length(d);
        // Coincident centres give no normal to exchange along.
        if (!(len > 0.0f))
            continue;
        const Vec2 n = Vec2{d.x / len, d.y / len};
        const float p = Dot(n, w);
        // A speed thrown out of float range by a script's factor stops the ball.
        other->velocity = FiniteSpeedOrZero(kExchangeKeep * (other->velocity + p * n));
        velocity = FiniteSpeedOrZero(kExchangeKeep * (velocity - p * n));
    }
    BallMotion motion{position, velocity, radius, contact};
    MoveAndCollide(table_, &motion, h);
    position = motion.position;
    velocity = motion.velocity;
    contact = motion.contact;
}

namespace {

// A point `offset` pixels from `base`: script offsets may be anything, the
// sum stays far outside any surface rather than overflow.
int OffsetPixel(int base, int offset) {
    return int(std::clamp<long long>((long long)base + offset, -100000000, 100000000));
}

// A blend weight from an opacity of any size (the pixel sums stay in range).
int BlendWeight(float w) {
    if (!(w > -65536.0f))
        return -65536;
    return w > 65536.0f ? 65536 : int(w);
}

}  // namespace

void MainBall::Draw(Picture* target, int offsetX, int offsetY) {
    TableMessage* over = table_.Message(MESSAGE_GAMEOVER);
    if (over != nullptr && over->IsActive())
        return;
    BallPictures* p = pictures_.get();
    if (p == nullptr || !p->workA || !p->workB || !p->map || p->highlight == nullptr)
        return;
    Picture& a = *p->workA;
    Picture& b = *p->workB;
    const int x0 = table_.ScreenX(position.x) - a.Width() / 2 + offsetX;
    const int y0 = table_.ScreenY(position.y) - a.Height() / 2 + offsetY;
    b.Grab(target, x0, y0);
    b.ReadBack();
    if (p->workC) {
        p->workC->Grab(target, OffsetPixel(x0, refX), OffsetPixel(y0, refY));
        p->workC->ReadBack();
        b.Blend(p->workC.get(), 255, 127);
    }
    a.Remap(&b, *p->map);
    if (opacity > 0.003f && p->image != nullptr) {
        a.Blend(p->image, BlendWeight((1.0f - opacity) * 255.0f), BlendWeight(opacity * 255.0f));
    }
    a.Add(p->highlight);
    a.Upload();
    a.Draw(target, x0, y0);
    if (p->workD && p->workE && p->shadow != nullptr) {
        Picture& d = *p->workD;
        const int sx = OffsetPixel(x0, shX), sy = OffsetPixel(y0, shY);
        d.Grab(target, sx, sy);
        d.ReadBack();
        d.Subtract(p->shadow);
        d.Upload();
        d.Draw(target, sx, sy);
    }
}

void MainBall::DrawEditor(Picture* surface) {
    const BallPictures* p = pictures_.get();
    Display* display = CurrentDisplay();
    if (p == nullptr || !p->workA || display == nullptr)
        return;
    const int w = p->workA->Width(), h = p->workA->Height();
    const int x = table_.ScreenX(position.x) - w / 2;
    const int y = table_.ScreenY(position.y) - h / 2;
    display->DrawOutline(surface, x, y, x + w, y + h);
}

void MainBall::MoveBy(float dx, float dy) {
    position.x += dx;
    position.y += dy;
}

bool MainBall::GetAnchor(int* x, int* y) {
    const BallPictures* p = pictures_.get();
    if (p == nullptr || !p->map)
        return false;
    *x = table_.ScreenX(position.x) + p->map->width / 2;
    *y = table_.ScreenY(position.y) + p->map->height / 2;
    return true;
}
