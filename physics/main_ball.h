#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "physics/vec2.h"
#include "script/fixed_string.h"
#include "table/table.h"
#include "table/table_object.h"

struct DisplacementMap;

// The pictures a ball draws its glass with. Copies of a ball share them, so
// they go when the last ball using them goes.
struct BallPictures {
    BallPictures();
    ~BallPictures();
    BallPictures(const BallPictures&) = delete;
    BallPictures& operator=(const BallPictures&) = delete;

    std::unique_ptr<Picture> workA, workB, workC, workD, workE;
    Picture* highlight = nullptr;  // from the picture cache
    Picture* image = nullptr;
    Picture* shadow = nullptr;
    std::unique_ptr<DisplacementMap> map;
};

enum BallState : std::int32_t { BALL_IN_PLAY = 0, BALL_SERVED = 2, BALL_OUT_OF_BALLS = 4 };

// The ball: moves under gravity in sub-steps of at most one radius, collides
// with the other balls and the collision forms, serves itself and is lost
// below the table.
class MainBall : public TableObject, public TableBall {
public:
    static constexpr float kGravity = 0.7f;
    static constexpr float kMaxSpeed = 1.3f;
    static constexpr float kLossY = 1.1f;
    static constexpr float kExchangeKeep = 0.6f;
    // A step never takes more sub-steps than this, however fast the ball
    // was thrown; beyond it the sub-steps get longer than a radius.
    static constexpr int kMaxSubSteps = 4096;

    explicit MainBall(Table& table);
    ~MainBall() override;

    // A copy for multi-ball: shares the source's pictures, counts in play,
    // starts disabled.
    std::unique_ptr<MainBall> MakeCopy() const;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Step(float dt) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    void MoveBy(float dx, float dy) override;
    bool GetAnchor(int* x, int* y) override;

    TableObject* Object() override { return this; }
    void Jolt(float dvx, float dvy) override {
        velocity.x += dvx;
        velocity.y += dvy;
    }

    // One sub-step of time h: the other balls, then the forms.
    void Move(float h);
    // Puts the ball at `at` moving at `speed` (launchers, flippers, the
    // plunger). A speed beyond float range becomes 0; a point outside it
    // loses the ball at once, so the game serves the next.
    void SetMotion(Vec2 at, Vec2 speed);
    // A lost ball waits above the table until it is served again.
    bool Parked() const { return position.y < -0.5f; }

    float radius = 0.025f;
    std::int32_t temp = 0;
    Vec2 startupPosition{0.755f, 0.6967f};
    Vec2 startupSpeed{0.0f, 0.0f};
    float opacity = 1.0f;
    std::int32_t shX = 0, shY = 0;
    std::int32_t refX = 0, refY = 0;
    FixedString<260> dmap, dmplus, image, shadow;
    Vec2 position{0.755f, 0.6967f};
    Vec2 velocity{0.0f, 0.0f};
    std::int32_t state = BALL_IN_PLAY;
    bool generated = false;

    // Sub-steps the last Step took (for tests and the runner's trace).
    int lastSubSteps = 0;

    Table& table() const { return table_; }
    const BallPictures* Pictures() const { return pictures_.get(); }

private:
    void Serve();
    // Out of play: parked above the table, or destroyed next update if a copy.
    void Lose();
    void LoadPictures();

    Table& table_;
    std::shared_ptr<BallPictures> pictures_;
};
