#include "elements/ball_launchers.h"

#include <memory>

#include "elements/element_common.h"
#include "physics/main_ball.h"
#include "script/script_block.h"
#include "script/script_writer.h"

void BallLauncher::Launch(MainBall* ball) const {
    ball->SetMotion(Vec2{atX, atY}, Vec2{speedX * speedValue, speedY * speedValue});
    ball->SetEnabled(true);
}

void BallLauncher::DrawEditor(Picture* surface) {
    const int x0 = table_.ScreenX(atX), y0 = table_.ScreenY(atY);
    const int x1 = table_.ScreenX(atX + speedX), y1 = table_.ScreenY(atY + speedY);
    DrawEditorLine(surface, x0, y0, x1, y1);
    const int hx = edit_position != 0 ? x0 : x1;
    const int hy = edit_position != 0 ? y0 : y1;
    DrawEditorOutline(surface, hx - 1, hy - 1, 3, 3);
}

void BallLauncher::MoveBy(float dx, float dy) {
    if (edit_position != 0) {
        atX += dx;
        atY += dy;
    } else {
        speedX += dx;
        speedY += dy;
    }
}

bool BallLauncher::GetAnchor(int* x, int* y) {
    *x = table_.ScreenX(atX);
    *y = table_.ScreenY(atY);
    return true;
}

void BallLauncher::ToggleHandle(int /*step*/) {
    edit_position = edit_position != 0 ? 0 : 1;
}

// --- BallGenerator ---

BallGenerator::BallGenerator(Table& table) : BallLauncher(table) {
    type = ELEMENT_BALL_GENERATOR;
}

BallGenerator::~BallGenerator() {
    BallGenerator::Clear();
}

bool BallGenerator::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY), KeyDef::Real("speedX", &speedX),
              KeyDef::Real("speedY", &speedY), KeyDef::Real("speedValue", &speedValue)});
    SetEnabled(true);
    return true;
}

void BallGenerator::Clear() {
    SetEnabled(false);
}

void BallGenerator::Save(std::string* out) {
    AppendFormat(out,
                 "BallGenerator {\r\n atX = %.4f;\r\n atY = %.4f;\r\n speedX = %.4f;\r\n"
                 " speedY = %.4f;\r\n speedValue = %.4f;\r\n};;\r\n",
                 double(atX), double(atY), double(speedX), double(speedY), double(speedValue));
}

void BallGenerator::Activate() {
    if (table_.BallCount() < 1 || !table_.HasRoomForBall())
        return;
    const MainBall* primary = dynamic_cast<const MainBall*>(table_.Ball(0));
    // A point beyond float range has no ball to give.
    if (primary == nullptr || !IsFinite(Vec2{atX, atY}))
        return;
    std::unique_ptr<MainBall> ball = primary->MakeCopy();
    Launch(ball.get());
    table_.AppendElement(std::move(ball));
}

// --- Teleporter ---

Teleporter::Teleporter(Table& table) : BallLauncher(table) {
    type = ELEMENT_TELEPORTER;
}

Teleporter::~Teleporter() {
    Teleporter::Clear();
}

bool Teleporter::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block,
             {KeyDef::Real("atX", &atX), KeyDef::Real("atY", &atY), KeyDef::Real("speedX", &speedX),
              KeyDef::Real("speedY", &speedY), KeyDef::Real("speedValue", &speedValue),
              KeyDef::Real("timeToRelease", &timeToRelease)});
    SetEnabled(true);
    return true;
}

void Teleporter::Clear() {
    // Held balls stay out of play.
    held.Clear();
    SetEnabled(false);
}

void Teleporter::Save(std::string* out) {
    AppendFormat(out,
                 "Teleporter {\r\n atX = %.4f;\r\n atY = %.4f;\r\n speedX = %.4f;\r\n"
                 " speedY = %.4f;\r\n speedValue = %.4f;\r\n timeToRelease = %.4f;\r\n};;\r\n",
                 double(atX), double(atY), double(speedX), double(speedY), double(speedValue),
                 double(timeToRelease));
}

MainBall* Teleporter::BallAt(int index) const {
    TableObject* e = table_.Element(index);
    if (e == nullptr || e->type != ELEMENT_BALL)
        return nullptr;
    return dynamic_cast<MainBall*>(e);
}

MainBall* Teleporter::Find(Held* h) const {
    if (table_.Element(h->ball) != h->object) {
        h->ball = table_.IndexOf(h->object);
        if (h->ball < 0)
            return nullptr;
    }
    return BallAt(h->ball);
}

void Teleporter::Activate() {
    // A link passes whatever index its source had; only a ball is taken.
    MainBall* ball = BallAt(ball_index);
    if (ball == nullptr)
        return;
    for (Held& h : held) {
        if (Find(&h) == ball)
            return;
    }
    held.Append(Held{ball_index, timeToRelease, ball});
    ball->SetEnabled(false);
}

void Teleporter::Step(float dt) {
    for (int i = held.Count - 1; i >= 0; --i) {
        Held& h = held.element[i];
        h.left -= dt;
        if (h.left > 0.0f)
            continue;
        if (MainBall* ball = Find(&h))
            Launch(ball);
        held.RemoveAt(i);
    }
}
