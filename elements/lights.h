#pragma once

#include <memory>
#include <string>

#include "script/fixed_string.h"
#include "table/table.h"
#include "table/table_object.h"

class FrameAnimation;
class Picture;

// What the two indicator lights share: a place, an on/off state and a timer
// that inverts it.
class IndicatorLight : public TableObject {
public:
    explicit IndicatorLight(Table& table) : table_(table) {}

    void Reset() override;
    void Step(float dt) override;
    void MoveBy(float dx, float dy) override;

    float atX = 0.0f, atY = 0.0f;
    bool lit = false;
    bool toggle_pending = false;
    float toggle_timer = 0.0f;

protected:
    Table& table_;
};

// A two-frame light: frame 0 off, frame 1 on. Activation does nothing; it
// shows the state links give it through tres mode.
class Switch : public IndicatorLight {
public:
    explicit Switch(Table& table);
    ~Switch() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    bool GetAnchor(int* x, int* y) override;

    const FrameAnimation* Animation() const { return animation_.get(); }

    FixedString<260> filestart, fileend;

private:
    std::unique_ptr<FrameAnimation> animation_;
};

// A timed light: an activation lights it for 0.1 to 0.6 seconds.
class TSwitch : public IndicatorLight {
public:
    explicit TSwitch(Table& table);
    ~TSwitch() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Activate() override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    void DrawEditor(Picture* surface) override;
    bool GetAnchor(int* x, int* y) override;

    // Whether Draw would show the picture now.
    bool Shows() const;

    FixedString<260> filename;

private:
    Picture* picture_ = nullptr;  // from the picture cache
};
