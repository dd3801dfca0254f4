#pragma once

#include <memory>

#include "menu/menu_wrapper.h"

class FrameAnimation;

// A value from 0 to 1 set by dragging across its rectangle and shown as one
// frame of an animation (frame 0 at 0, the last at 1).
class MenuSlider : public MenuWrapper {
public:
    explicit MenuSlider(MenuWrapper* parent = nullptr);
    ~MenuSlider() override;

    float* FloatValue() override { return &value; }
    void Clear() override;
    bool Read(const ScriptBlock& block) override;
    void Update(float dt) override;
    void Draw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    // The frame the value shows: trunc((count - 1) * value), value held to 0..1.
    int FrameForValue() const;

    std::int32_t tx = 0, ty = 0, tw = 50, th = 50;
    float value = 0.0f;
    std::unique_ptr<FrameAnimation> animation;

protected:
    void SaveSliderKeys(std::string* out, const std::string& indent) const;
};

// A slider turned around a centre point: the pointer's angle from the
// direction of value 0, over maxangle, is the value. It may also reveal a
// picture from the left in proportion to the value.
class MenuRoundSlider : public MenuSlider {
public:
    static constexpr float kFullTurn = 6.2831855f;

    explicit MenuRoundSlider(MenuWrapper* parent = nullptr);
    ~MenuRoundSlider() override;

    void Clear() override;
    bool Read(const ScriptBlock& block) override;
    void Update(float dt) override;
    void Draw(Picture* target, int x, int y) override;
    bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL) override;

    std::int32_t picx = 0, picy = 0;
    int shownWidth = 0;
    int pictureHeight = 0;
    bool dragging = false;
    float cx = 0.0f, cz = 0.0f;  // centre, client pixels
    float px = 0.0f, pz = 0.0f;  // unit direction of value 0
    float maxangle = kFullTurn;  // angle of value 1, radians
    FixedString<260> picname;
    Picture* picture = nullptr;  // from the PictureCache
};
