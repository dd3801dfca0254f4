#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "physics/vec2.h"
#include "script/fixed_string.h"
#include "table/table_object.h"

class CollisionForm;
class FrameAnimation;
class Table;

// The plunger: raises its collision form while its control is held and, as
// it falls back, launches the balls that wait on it.
class Spring : public TableObject {
public:
    static constexpr Vec2 kLaunchDirection{-0.1f, -1.5f};

    explicit Spring(Table& table);
    ~Spring() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Step(float dt) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    void MoveBy(float dx, float dy) override;
    bool GetAnchor(int* x, int* y) override;

    CollisionForm* Form() const;
    int Frame() const;

    float atX = 0.0f, atY = 0.0f;
    float kmax = 1.0f;
    float p = 1.0f;
    float charge = 0.0f;
    float fspeed = 0.01f;
    float bspeed = 0.01f;
    std::int32_t control = 0;
    std::int32_t form = 0;
    FixedString<260> filestart, fileend;
    std::int32_t filecount = 0;
    float travel = 0.04f;
    bool armed = false;

private:
    Table& table_;
    std::unique_ptr<FrameAnimation> animation_;
};
