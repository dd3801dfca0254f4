#pragma once

#include <cstdint>
#include <string>

#include "script/flist.h"
#include "table/table.h"
#include "table/table_object.h"

class MainBall;

// What the generator and the teleporter share: the point where a ball
// appears and the velocity it leaves with.
class BallLauncher : public TableObject {
public:
    explicit BallLauncher(Table& table) : table_(table) {}

    void DrawEditor(Picture* surface) override;
    void MoveBy(float dx, float dy) override;
    bool GetAnchor(int* x, int* y) override;
    void ToggleHandle(int step) override;

    float atX = 0.5f, atY = 0.5f;
    float speedX = 0.707f, speedY = 0.707f;
    float speedValue = 0.5f;
    std::int32_t edit_position = 0;

protected:
    // Puts the ball at the launch point with the launch velocity, in play.
    void Launch(MainBall* ball) const;

    Table& table_;
};

// Each activation adds a ball: a copy of the primary ball at the launch point.
class BallGenerator : public BallLauncher {
public:
    explicit BallGenerator(Table& table);
    ~BallGenerator() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Activate() override;
};

// Captures the ball its link names, holds it out of play for
// `timeToRelease` seconds and puts it back at the launch point.
class Teleporter : public BallLauncher {
public:
    struct Held {
        std::int32_t ball = -1;  // element-list index
        float left = 0.0f;
        // Identifies the ball when the list has moved under the index.
        const TableObject* object = nullptr;
    };

    explicit Teleporter(Table& table);
    ~Teleporter() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Activate() override;
    void Step(float dt) override;

    float timeToRelease = 0.5f;
    flist<Held> held;

private:
    MainBall* BallAt(int index) const;
    // The held ball, found again by identity when other elements went.
    MainBall* Find(Held* h) const;
};
