#include "app/replay_playback.h"

#include <sys/stat.h>

#include "script/file_access.h"
#include "script/zarnik_script.h"
#include "table/game_random.h"
#include "table/table.h"

bool DataFileExists(const char* path) {
    const std::uint8_t* data = nullptr;
    std::uint32_t size = 0;
    if (FindResource(path, &data, &size))
        return true;
    struct stat st;
    return stat(ResolveLoosePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReplayPlayback::Start(Table* table, Replay replay, TableLoadObserver* observer,
                           std::string* error) {
    Stop();
    const std::string bin = ReplaceExtension(replay.table.c_str(), ".bin");
    if (!DataFileExists(replay.table.c_str()) && !DataFileExists(bin.c_str())) {
        *error = "the replay's table '" + std::string(replay.table.view()) + "' is not there";
        return false;
    }
    replay_ = std::move(replay);
    feeder_ = ReplayFeeder(&replay_);
    keys_ = platform::ManualKeyboard();
    BindReplayControls(&input_);
    input_.SetKeyboard(&keys_);
    input_.Poll();
    owed_ = 0;
    table_ = table;
    table->SetInput(&input_);
    // As the recorded game began: its seed right before the load, the welcome
    // message as it was.
    SeedGameRandom(replay_.seed);
    table->welcomePending = replay_.welcome;
    if (!table->Load(replay_.table.c_str(), "REPLAY", observer) || table->ElementCount() == 0) {
        *error = "the replay's table '" + std::string(replay_.table.view()) + "' does not load";
        table_ = nullptr;
        return false;
    }
    return true;
}

bool ReplayPlayback::Advance(std::int32_t realMs, GameScreenLink* screen) {
    if (!Active())
        return false;
    owed_ += realMs;
    for (int steps = 0; !feeder_.Done(); ++steps) {
        if (steps == kMaxStepsPerFrame) {
            owed_ = 0;
            break;
        }
        std::int32_t ms = replay_.FrameTime(feeder_.Frame());
        if (ms > owed_)
            break;
        owed_ -= ms;
        feeder_.Next(input_, &keys_, &ms);
        input_.Poll();
        // The game's frame time, as the game turned it into seconds.
        table_->Update(screen, float(ms) * 0.001f);
    }
    return !feeder_.Done();
}

void ReplayPlayback::Stop() {
    table_ = nullptr;
}
