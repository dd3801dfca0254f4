#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/fixed_string.h"
#include "script/flist.h"
#include "table/table_object.h"

class InputManager;
class Picture;
class ScoresList;
class ZarnikScr;

// The game screen as the table sees it: a link's menu request shows the item
// of that name (a message window or a clip).
class GameScreenLink {
public:
    virtual ~GameScreenLink() = default;
    virtual void ShowItem(const char* name) = 0;
};

// Told about the progress of a table load, so the owner can animate its
// splash and present between statements.
class TableLoadObserver {
public:
    virtual ~TableLoadObserver() = default;
    virtual void LoadStarted() {}
    virtual void StatementRead(float /*seconds*/) {}
    virtual void LoadFinished() {}
};

// A game message element (welcome, game over, next ball) as the table and the
// ball use it.
class TableMessage {
public:
    virtual ~TableMessage() = default;
    virtual bool IsActive() const = 0;
    virtual void SetActive(bool on) = 0;
    virtual void ShowMessage(const char* text) = 0;
    virtual void ShowLine(int line) = 0;
    virtual int LineCount() const = 0;
};

enum MessageSlot : int { MESSAGE_WELCOME = 0, MESSAGE_GAMEOVER = 1, MESSAGE_NEXTBALL = 2 };

// A ball as the table needs it: drawn with the others at the ball entry and
// jolted by a nudge.
class TableBall {
public:
    virtual ~TableBall() = default;
    virtual TableObject* Object() = 0;
    virtual void Jolt(float dvx, float dvy) = 0;
};

// What a table author's report watches as the table plays (zarnik-sim
// --report). The game sets none; every call is a null test when unset.
class TableProbe {
public:
    virtual ~TableProbe() = default;
    // A ball hit the form (its event was raised).
    virtual void FormHit(const TableObject& /*form*/) {}
    // The ball's move ended at the seventh hit of one sub-step and was stopped.
    virtual void HitLimit(const TableObject& /*ball*/) {}
    // The ball's step was cut to the sub-step cap (longer sub-steps than a radius).
    virtual void SubStepCap(const TableObject& /*ball*/) {}
    // The link fired.
    virtual void LinkFired(const TableObject& /*link*/) {}
};

// The bounding circles of the table's collision forms, in list order, kept by
// the physics: a ball's sub-step walks these few floats instead of every
// element. A change to the list or to a form's circle marks it stale, and
// the physics builds it again when next needed.
struct FormBoundsIndex {
    std::vector<float> x, y, radius;
    std::vector<TableObject*> form;
    bool stale = true;
};

struct ScreenRect {
    std::int32_t left = 0, top = 0, right = 800, bottom = 600;
};

class Table {
public:
    // The jolt of a nudge, per axis (1/60 in single precision).
    static constexpr float kJolt = 0.016666668f;
    static constexpr float kShakeTime = 0.7f;
    static constexpr float kLightShowTime = 2.0f;

    // Seeds the game's random numbers (table/game_random.h) from the
    // millisecond clock; the second form takes the seed (replays, tests).
    Table();
    explicit Table(std::uint32_t seed);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Loads a table script (text or compiled). A missing script gives an
    // empty table that is still loaded.
    bool Load(const char* path, const char* playerName, TableLoadObserver* observer = nullptr);
    // The same from script text in memory (named `name` for messages).
    bool LoadFromText(const char* text, int size, const char* name, const char* playerName);
    // Writes the table back as script text.
    bool Save(const char* path) const;
    // The whole script text Save writes.
    bool SaveText(std::string* out) const;
    // Records the score (when loaded), destroys every element.
    bool Clear();

    void Update(GameScreenLink* screen, float dt);
    void Draw(Picture* target);
    // The areas the next Draw paints whole (its opaque pictures), up to max;
    // returns how many. The frame leaves them uncleared.
    int CoveredAreas(PixelArea* out, int max) const;

    // Where the table reaches its surroundings. All optional.
    void SetInput(const InputManager* input) { input_ = input; }
    void SetScores(ScoresList* scores, const char* path);
    void SetProbe(TableProbe* probe) { probe_ = probe; }
    TableProbe* Probe() const { return probe_; }

    // --- element list ---
    int ElementCount() const { return elements_.Count; }
    TableObject* Element(int i) const {
        return (i >= 0 && i < elements_.Count) ? elements_.element[i].get() : nullptr;
    }
    // Index of the element in the list, or -1.
    int IndexOf(const TableObject* object) const;
    // Appends an element the table then owns (loading, the editor, copies).
    void AppendElement(std::unique_ptr<TableObject> element);
    void QueueRemoval(int index) { removalQueue_.Append(index); }
    // The editor's list changes, between updates. Removal destroys the element
    // at once; both keep queued removals naming the elements they named.
    bool RemoveElement(int index);
    bool SwapElements(int a, int b);
    int QueuedRemovals() const { return removalQueue_.Count; }

    // The forms' circles; declared before the element list, so forms may mark
    // it while the list is destroyed.
    FormBoundsIndex formBounds;
    void FormsChanged() { formBounds.stale = true; }

    // --- balls (not owning) ---
    void AddBall(TableBall* ball);
    void RemoveBall(TableBall* ball);
    int BallCount() const { return balls_.Count; }
    TableBall* Ball(int i) const { return balls_[i]; }
    // Balls a table may hold at once: ball blocks past it are not loaded and
    // generators stop adding. Every ball costs its pixel work each frame and a
    // check against every other ball each sub-step.
    static constexpr int kMaxBalls = 64;
    bool HasRoomForBall() const { return balls_.Count < kMaxBalls; }
    // The ball being stepped; collision forms record its index.
    TableObject* currentBall = nullptr;

    // --- messages (not owning) ---
    void RegisterMessage(MessageSlot slot, TableObject* owner, TableMessage* message);
    TableMessage* Message(MessageSlot slot) const { return messages_[slot].message; }

    // --- controls ---
    // Control indexes come from the input manager's game controls.
    bool LeftHandlePressed() const;
    bool RightHandlePressed() const;
    bool SpringPressed() const;
    bool TiltPressed() const;

    // --- state ---
    std::int32_t score = 0;
    std::int32_t currentBallNumber = 0;
    std::int32_t ball_count = 10;
    std::int32_t ballsInPlay = 0;
    FixedString<260> playerName;
    FixedString<260> tablePath;
    ScreenRect screenRect;
    bool loaded = false;
    bool welcomePending = true;
    bool lightShow = false;
    float lightShowTime = 0.0f;
    bool shake = false;
    float shakeTime = 0.0f;
    std::int32_t tiltWarnings = 0;
    bool tiltMode = false;

    // The seed the generator got when the table was made.
    std::uint32_t Seed() const { return seed_; }

    // Screen pixel of a point in table units.
    int ScreenX(float x) const;
    int ScreenY(float y) const;

private:
    struct MessageRegistration {
        TableObject* owner = nullptr;
        TableMessage* message = nullptr;
    };

    void BeginLoad(const char* path, const char* player);
    void LoadScript(const ZarnikScr& scr, TableLoadObserver* observer);
    void FinishLoad();
    void DestroyElement(int index);
    void ProcessRemovals();
    bool StepLightShow(float dt);
    void ShakeOffset(int* x, int* y) const;
    void TiltCheck(float dt);
    void WelcomeCheck();
    bool ControlDown(int index) const;

    flist<std::unique_ptr<TableObject>> elements_;
    flist<TableBall*> balls_;
    flist<std::int32_t> removalQueue_;
    MessageRegistration messages_[3];
    const InputManager* input_ = nullptr;
    ScoresList* scores_ = nullptr;
    TableProbe* probe_ = nullptr;
    FixedString<260> scoresPath_;
    std::uint32_t seed_ = 0;
};
