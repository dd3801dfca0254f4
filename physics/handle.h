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

enum HandleMotion : std::int32_t { MOTION_STILL = 0, MOTION_RISING = 1, MOTION_FALLING = 2 };

// The flipper: turns its collision form about the form's pivot while its
// control is held, and strikes the balls its sweep reaches.
class Handle : public TableObject {
public:
    explicit Handle(Table& table);
    ~Handle() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Step(float dt) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    void MoveBy(float dx, float dy) override;
    bool GetAnchor(int* x, int* y) override;

    // The driven form, resolved on every use; nullptr when `form` names none.
    CollisionForm* Form() const;
    // The frame the animation shows.
    int Frame() const;

    float atX = 0.0f, atY = 0.0f;
    float p = 0.0f;
    float previousP = 0.0f;
    float fspeed = 18.0f;
    float bspeed = 18.0f;
    float maxangle = 1.570796f;
    float length = 0.062f;
    std::int32_t control = 0;
    std::int32_t form = 0;
    FixedString<260> filestart, fileend;
    std::int32_t filecount = 0;
    std::int32_t motion = MOTION_STILL;
    bool released = true;

private:
    void Strike(CollisionForm& f, float angle);

    Table& table_;
    std::unique_ptr<FrameAnimation> animation_;
};
