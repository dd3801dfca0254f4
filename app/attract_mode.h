#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/replay_playback.h"
#include "table/game_random.h"

class Picture;
class Table;

// When the menu is left untouched long enough, recorded games play behind
// it: the replays of a folder, the last game first, one after another. They
// play on a table of their own with random numbers of their own, so a game
// paused in the menu goes on as it was. Any key, click or pointer move stops
// the show.
class AttractMode {
public:
    static constexpr const char* kFolder = "data\\replays";
    static constexpr const char* kLastName = "last.replay";

    AttractMode();
    ~AttractMode();
    AttractMode(const AttractMode&) = delete;
    AttractMode& operator=(const AttractMode&) = delete;

    // The player touched the menu: the show stops, the wait starts over.
    void Touch();
    // A frame of the menu, `ms` long: after `waitSeconds` untouched (0: never)
    // the show starts, then plays on.
    void Frame(std::int32_t ms, std::int32_t waitSeconds);
    // The show's table over the whole target (black around it).
    void Draw(Picture* target);
    void Stop();

    bool Running() const { return table_ != nullptr; }
    // The replay playing, for the curious (tests, the overlay).
    const std::string& Playing() const { return playing_; }
    // The replays of the folder, the last game first, then by name.
    static std::vector<std::string> ReplayFiles(const char* folder);

private:
    bool StartNext();

    std::unique_ptr<Table> table_;
    ReplayPlayback playback_;
    GameRandomState random_;
    std::int32_t quietMs_ = 0;
    std::size_t next_ = 0;
    std::string playing_;
};
