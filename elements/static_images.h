#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "script/fixed_string.h"
#include "table/table.h"
#include "table/table_object.h"

class FrameAnimation;
class Picture;

// A still image; with `noTilt` it stays put while the table shakes.
class StaticPicture : public TableObject {
public:
    explicit StaticPicture(Table& table);
    ~StaticPicture() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Draw(Picture* target, int offsetX, int offsetY) override;
    bool CoveredArea(int offsetX, int offsetY, PixelArea* area) const override;
    void DrawEditor(Picture* surface) override;
    bool GetAnchor(int* x, int* y) override;
    void MoveBy(float dx, float dy) override;

    float atX = 0.0f, atY = 0.0f;
    std::int32_t noTilt = 0;
    FixedString<260> filename;

private:
    Table& table_;
    Picture* picture_ = nullptr;  // from the picture cache
};

// An animated image: plays on activation (`loopcount` passes, or there and
// back), loops forever, counts one frame per activation, or loops while a
// current link highlights it. Raises its event when a play ends, when the
// counter wraps, and once per `frametime` while looping.
class StaticSprite : public TableObject {
public:
    explicit StaticSprite(Table& table);
    ~StaticSprite() override;

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
    void SetHighlight(bool on) override;

    const FrameAnimation* Animation() const { return animation_.get(); }

    float atX = 0.0f, atY = 0.0f;
    FixedString<260> filestart, fileend;
    std::int32_t filecount = 0;
    float frametime = 0.0f;
    std::int32_t reverse = 0;
    std::int32_t likecounter = 0;
    std::int32_t playalways = 0;
    std::int32_t playbackalso = 0;
    std::int32_t loopcount = 1;
    std::int32_t counter = 0;
    bool playing = false;
    bool first_pass = true;
    std::int32_t loops_left = 0;
    bool highlighted = false;
    float event_clock = 0.0f;

private:
    int StartFrame() const;
    // The running pass is over.
    bool AnimationStopped() const;
    // Starts the animation at a frame in a direction, looping or once.
    void Start(int frame, bool forward, bool loop);

    Table& table_;
    std::unique_ptr<FrameAnimation> animation_;
};
