#pragma once

#include <cstdint>
#include <string>

#include "input/control_binding.h"
#include "input/replay.h"
#include "platform/keyboard.h"

class GameScreenLink;
class Table;
class TableLoadObserver;

// A recorded game played on a table at its recorded speed: the replay's
// controls go through a keyboard of its own into the table, as a player's
// keys go through the game's, and each frame takes its recorded time.
class ReplayPlayback {
public:
    // Most recorded frames one real frame catches up; beyond, the replay slows.
    static constexpr int kMaxStepsPerFrame = 8;

    ReplayPlayback() = default;
    ReplayPlayback(const ReplayPlayback&) = delete;
    ReplayPlayback& operator=(const ReplayPlayback&) = delete;

    // Loads the replay's table into `table` as the recorded game began (its
    // seed, its welcome) and gives the table the replay's controls. The
    // caller keeps scores away from the table while it plays. False, with a
    // message, when the replay's table is nowhere to be found.
    bool Start(Table* table, Replay replay, TableLoadObserver* observer, std::string* error);
    // The recorded frames that fall due in `realMs` of real time; false once
    // the last one has been played.
    bool Advance(std::int32_t realMs, GameScreenLink* screen);
    // The table keeps the replay's controls until its owner hands it others.
    void Stop();

    bool Active() const { return table_ != nullptr; }
    bool Finished() const { return feeder_.Done(); }
    std::int32_t Frame() const { return feeder_.Frame(); }
    const Replay& replay() const { return replay_; }
    const InputManager& input() const { return input_; }

private:
    Table* table_ = nullptr;
    Replay replay_;
    ReplayFeeder feeder_;
    platform::ManualKeyboard keys_;
    InputManager input_;
    std::int32_t owed_ = 0;  // real milliseconds not yet played
};

// The file is in data.pak or a loose file of the data tree (the script
// loader's places).
bool DataFileExists(const char* path);
