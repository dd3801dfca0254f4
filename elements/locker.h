#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "script/fixed_string.h"
#include "table/table.h"
#include "table/table_object.h"

class FrameAnimation;

enum GateState : std::int32_t {
    GATE_CLOSED = 0,
    GATE_OPEN = 1,
    GATE_OPENING = 2,
    GATE_CLOSING = 3,
};

// An animated gate: plays forward to open, stays open `maxtime` seconds,
// plays backward to close. Links open it; with `keycontrol` the launch
// control holds it open.
class Locker : public TableObject {
public:
    explicit Locker(Table& table);
    ~Locker() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Reset() override;
    void Activate() override;
    void Step(float dt) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    bool GetAnchor(int* x, int* y) override;
    void MoveBy(float dx, float dy) override;

    const FrameAnimation* Animation() const { return animation_.get(); }

    float atX = 0.0f, atY = 0.0f;
    std::int32_t gate_state = GATE_CLOSED;
    float open_left = 0.0f;
    float maxtime = 1.0f;
    FixedString<260> filestart, fileend;
    std::int32_t filecount = 1;
    float frametime = 0.03f;
    std::int32_t keycontrol = 0;

private:
    void PlayOnce(int frame, bool forward);
    int LastFrame() const;
    // The opening or closing play is over.
    bool AnimationEnded() const;

    Table& table_;
    std::unique_ptr<FrameAnimation> animation_;
};
