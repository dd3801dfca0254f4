#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "physics/vec2.h"
#include "table/table.h"

class MainBall;

// Where the playfield ends, as a polygon in table units. Without a file it is
// the table's width from its top down past the drain: a ball may leave only
// through the bottom, where it is lost.
struct TableOutline {
    std::vector<Vec2> points;

    static constexpr std::size_t kMaxPoints = 100000;
    static constexpr std::size_t kMaxBytes = 8u << 20;

    static TableOutline Default();
    bool Inside(Vec2 p) const;
    // Bounding box of the points.
    Vec2 Min() const;
    Vec2 Max() const;
};

// An outline file: one "x y" point per line (the asset generator's
// tNNNN.outline), '#' comments. False with the line in *error for anything
// else: fewer than 3 points, more than kMaxPoints, a number out of
// -1000..1000.
bool ParseOutline(std::string_view text, TableOutline* outline, std::string* error);
bool ReadOutlineFile(const std::string& path, TableOutline* outline, std::string* error);

// A ball at rest: one that stays within `radius` of the point where it
// stopped for longer than `seconds`, while free to move (in play, not on the
// plunger, not held, no control held).
class RestTracker {
public:
    static constexpr float kDefaultRadius = 0.001f;
    static constexpr float kDefaultSeconds = 2.0f;

    RestTracker(float radius = kDefaultRadius, float seconds = kDefaultSeconds)
        : radius_(radius), seconds_(seconds) {}

    // After a frame of dt seconds; true once, when the rest passes the limit.
    bool Update(const MainBall& ball, bool free, float dt);
    void Reset() { resting_ = false; }
    Vec2 Mark() const { return mark_; }
    float Seconds() const { return elapsed_; }
    // Frames since the rest began.
    int Frames() const { return frames_; }

private:
    float radius_, seconds_;
    bool resting_ = false;
    bool reported_ = false;
    Vec2 mark_{};
    float elapsed_ = 0.0f;
    int frames_ = 0;
};

// Free to move: enabled, in play (not served onto the plunger, not out of
// balls), not parked above the table after a loss.
bool BallIsFree(const MainBall& ball);

// A table author's report of a run: balls at rest outside a rest place,
// balls outside the outline, steps stopped at the seventh hit or cut to the
// sub-step cap, links that never fired and forms never hit.
class SimReport : public TableProbe {
public:
    struct Rest {
        int ball = 0, element = -1;
        int from = 0, frame = 0;  // the rest began at `from`, passed 2 s at `frame`
        Vec2 at{};
        int touching = -1;
    };
    struct Outside {
        int ball = 0, element = -1, frame = 0;
        Vec2 at{};
        int touching = -1;
    };
    // Frames at which a ball's step hit a limit.
    struct Limit {
        int count = 0;
        std::vector<int> frames;  // the first few
    };

    // Attaches to the table (as its probe) and notes its elements.
    void Begin(Table* table, const TableOutline& outline);
    void End();
    void BeforeFrame(int frame) { frame_ = frame; }
    // After the frame's update: `controlHeld` while any of the table's
    // controls is down.
    void AfterFrame(float dt, bool controlHeld);
    void Write(std::FILE* out) const;

    const std::vector<Rest>& rests() const { return rests_; }
    const std::vector<Outside>& outsides() const { return outsides_; }
    // By ball element index.
    const std::map<int, Limit>& hitLimits() const { return hitLimits_; }
    const std::map<int, Limit>& subStepCaps() const { return subStepCaps_; }
    std::vector<int> LinksNeverFired() const;
    std::vector<int> FormsNeverHit() const;

    void FormHit(const TableObject& form) override;
    void HitLimit(const TableObject& ball) override;
    void SubStepCap(const TableObject& ball) override;
    void LinkFired(const TableObject& link) override;

private:
    static constexpr std::size_t kMaxListed = 50;  // findings of one kind written out
    void NoteLimit(std::map<int, Limit>* limits, const TableObject& ball);
    std::string Describe(int element) const;

    Table* table_ = nullptr;
    TableOutline outline_;
    int frame_ = 0;
    int frames_ = 0;
    // Per element of the loaded list (extra balls come after it).
    int elementCount_ = 0;
    std::vector<int> hits_, fired_;
    std::vector<bool> enabledOnce_;
    std::map<const TableObject*, int> indexOf_;
    std::map<const TableObject*, RestTracker> rest_;
    std::map<const TableObject*, bool> wasOutside_;
    std::vector<Rest> rests_;
    std::vector<Outside> outsides_;
    std::map<int, Limit> hitLimits_, subStepCaps_;
};
